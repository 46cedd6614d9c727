#pragma once
// One LV2 plug-in instance hosted from the command line through lilv: finds the plug-in by URI
// among those lilv finds installed, checks that this host offers every feature it requires,
// instantiates it and connects every port. The first two audio inputs and outputs that are not
// sidechains carry the signal; other audio and CV inputs hear silence, other outputs land in
// buffers of their own; control inputs start at their defaults; atom ports get empty sequences.

#include <lilv/lilv.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Lv2HostFeatures.h"

class Lv2HostedPlugin
{
public:
  static constexpr int kMaxMainChannels = 2;

  Lv2HostedPlugin();  // loads what lilv finds on the LV2 path
  ~Lv2HostedPlugin();
  Lv2HostedPlugin(const Lv2HostedPlugin&) = delete;
  Lv2HostedPlugin& operator=(const Lv2HostedPlugin&) = delete;

  struct Listed
  {
    std::string uri, name;
  };
  std::vector<Listed> ListPlugins() const;

  // Instantiates the plug-in at the rate, for blocks of at most maxBlock frames; false with a
  // message for an unknown URI, a feature this host does not offer or a port it cannot connect.
  bool Load(const std::string& uri, double sampleRate, int maxBlock, std::string* pError);

  std::string Uri() const;
  std::string Name() const;
  std::string Author() const;
  std::string BundlePath() const;
  // "2 audio in (1 sidechain), 2 audio out, 7 control in, 3 control out" style summary.
  std::string PortSummary() const;

  struct Control
  {
    uint32_t port;
    std::string symbol, name;
    float min, max;
    std::vector<std::pair<float, std::string>> scalePoints;
  };
  const std::vector<Control>& Controls() const { return mControls; }
  float ControlValue(int idx) const { return mControlValues[mControls[(size_t)idx].port]; }
  void SetControl(int idx, float value) { mControlValues[mControls[(size_t)idx].port] = value; }
  int FindControl(const std::string& symbolOrName) const;  // -1 when none is called that

  int NumMainInputs() const { return (int)mMainIn.size(); }
  int NumMainOutputs() const { return (int)mMainOut.size(); }
  float* MainInput(int c) { return mBuffers[mMainIn[(size_t)c]].data(); }
  const float* MainOutput(int c) const { return mBuffers[mMainOut[(size_t)c]].data(); }

  void Activate();
  void Deactivate();
  // Runs one block of nFrames (at most maxBlock) over the connected buffers.
  void Run(int nFrames);

private:
  bool ConnectPorts(int maxBlock, std::string* pError);
  bool CheckFeatures(std::string* pError) const;

  struct Nodes;  // the URIs lilv is asked about, made once
  LilvWorld* mWorld = nullptr;
  std::unique_ptr<Nodes> mNodes;
  const LilvPlugin* mPlugin = nullptr;
  std::unique_ptr<Lv2HostFeatures> mFeatures;
  LilvInstance* mInstance = nullptr;
  bool mActive = false;

  std::vector<float> mControlValues;        // by port index; also the control outputs
  std::vector<Control> mControls;           // the control inputs
  std::vector<std::vector<float>> mBuffers;  // audio and CV, one per port that has one
  std::vector<size_t> mMainIn, mMainOut;    // into mBuffers
  std::vector<std::vector<uint64_t>> mAtomIn, mAtomOut;  // 64-bit words keep atoms aligned
  LV2_URID mSequenceType = 0, mChunkType = 0;
  int mNumSidechains = 0, mNumAudioIn = 0, mNumAudioOut = 0, mNumControlOut = 0, mNumCv = 0;
};
