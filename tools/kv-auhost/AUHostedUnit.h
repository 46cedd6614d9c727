#pragma once
// An Audio Unit driven the way a host drives one: found in its bundle, registered with the
// Component Manager and opened through its entry; stream formats and the block size set, inputs
// fed by a render callback or by a connection to a source unit, audio rendered in blocks,
// parameters, presets and the class-info state read and written through properties.

#include <string>
#include <vector>

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

#include "audio_buffer.h"

namespace kvau
{

// What a bundle's Info.plist says of its component.
struct ComponentEntry
{
  std::string bundlePath, identifier, name, entryName;
  ComponentDescription description = {};
  int version = 0;
};

// Loads the bundle's module, registers its component and returns it; null with a message on failure.
Component RegisterBundleComponent(const std::string& bundlePath, ComponentEntry* pEntry, std::string* pError);

// "aufx" for a four-character code.
std::string FourCC(UInt32 code);

// The stream format a host offers: 32-bit float, packed, non-interleaved, at a rate.
AudioStreamBasicDescription FloatFormat(double sampleRate, UInt32 nChannels);

struct ParamInfo
{
  AudioUnitParameterID id;
  std::string name, unitName;
  AudioUnitParameterUnit unit;
  float minValue, maxValue, defaultValue;
  UInt32 flags;
  std::vector<std::string> valueStrings;
};

// How the inputs reach the unit.
enum class InputKind
{
  kRenderCallback,    // the host's render callback on each input bus
  kSourceFastProc,    // a source unit the unit pulls through its fast render procedure
  kSourceEntry        // a source unit without one, pulled with AudioUnitRender
};

class AUHostedUnit
{
public:
  AUHostedUnit() = default;
  ~AUHostedUnit();
  AUHostedUnit(const AUHostedUnit&) = delete;
  AUHostedUnit& operator=(const AUHostedUnit&) = delete;

  bool Open(Component component, std::string* pError);
  void Close();
  AudioUnit Unit() const { return mUnit; }
  // How many input buses the unit has (a second one is its sidechain).
  int NumInputBuses();

  // Sets the block size, the sample rate and the formats: nMain channels on input bus 0, nSide on
  // bus 1 (0: left unset), nOut on the output bus; feeds the inputs as asked; initialises.
  OSStatus Prepare(double sampleRate, UInt32 maxFrames, int nMain, int nSide, int nOut, InputKind kind,
                   std::string* pError);

  // Renders the inputs in blocks into *pOut (nOut channels, as long as main); side may be null.
  OSStatus Process(const kvtool::AudioBuffer& main, const kvtool::AudioBuffer* side, int block,
                   kvtool::AudioBuffer* pOut, double* pCpuSeconds = nullptr);

  // Parameters and presets.
  std::vector<ParamInfo> Parameters();
  int FindParameter(const std::string& name);
  float GetParameter(AudioUnitParameterID id);
  OSStatus SetParameter(AudioUnitParameterID id, float value);
  std::string DisplayText(const ParamInfo& p, float value);
  // Sets a parameter by a value as the hosts' shared options take it (see kvtool::ChooseParamValue:
  // "-20", "-20 dB", "Fast", "On", "1"); false with a message naming the values it takes.
  // *pShown is what the unit then displays, *pName (when given) the parameter's own name.
  bool SetParameterByDisplay(const std::string& name, const std::string& display, std::string* pShown,
                             std::string* pError, std::string* pName = nullptr);
  std::vector<std::string> FactoryPresets();
  OSStatus ChoosePreset(int index);
  int CurrentPreset(std::string* pName);

  // The class-info state as an XML property list, and back.
  bool SaveState(std::string* pXml, std::string* pError);
  bool LoadState(const std::string& xml, std::string* pError);

  // One line per property the unit answers, for listing.
  std::vector<std::string> DescribeProperties();

  // An input bus's source (a render callback's or a source unit's).
  struct Feed;

private:
  static OSStatus InputCallback(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32 bus,
                                UInt32 nFrames, AudioBufferList* ioData);

  AudioUnit mUnit = nullptr;
  std::vector<AudioUnit> mSources;
  std::vector<Feed*> mFeeds;
  InputKind mKind = InputKind::kRenderCallback;
  int mNMain = 0, mNSide = 0, mNOut = 0;
};

// XML property-list text of a tree of dictionaries, arrays, strings, numbers, booleans and data.
std::string PropertyListToXml(CFPropertyListRef plist);

}  // namespace kvau
