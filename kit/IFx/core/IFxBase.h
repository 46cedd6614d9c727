#pragma once
// The host-independent heart of a plug-in instance: identity, parameters, presets, channel
// layouts and connections, sample buffers, state and the parameter flow between host and editor.
// A wrapper derives from it and fills the pure virtual operations; the product derives from the
// wrapper and overrides the processing and reaction hooks.

#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include "ByteChunk.h"
#include "IFxStructs.h"
#include "IGraphics.h"
#include "IParam.h"
#include "heapbuf.h"
#include "kitstring.h"
#include "mutex.h"
#include "ptrlist.h"

#define DEFAULT_SAMPLE_RATE 44100.0

// One parameter value of a factory preset: the parameter index and its plain value.
struct IPresetParam
{
  int mIdx;
  double mValue;
};

class IFxBase
{
public:
  // The largest block the scratch buffers are sized for; larger requests are refused.
  static constexpr int kMaxBlockSize = 1 << 18;

  IFxBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
          const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID,
          int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst);
  virtual ~IFxBase();

  IFxBase(const IFxBase&) = delete;
  IFxBase& operator=(const IFxBase&) = delete;

  // ----- Virtual operations, in slot order -----
  virtual void Reset();
  virtual void OnParamChange(int paramIdx);
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}
  virtual void OnIdle() {}
  virtual void OnActivate(bool active);
  virtual void ProcessMidiMsg(IMidiMsg* pMsg);
  virtual bool MidiNoteName(int noteNumber, char* noteName);
  virtual bool SerializeState(ByteChunk* pChunk);
  virtual int UnserializeState(ByteChunk* pChunk, int startPos);
  virtual void BeginInformHostOfParamChange(int idx) = 0;
  virtual void InformHostOfParamChange(int idx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int idx) = 0;
  virtual int GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* pNum, int* pDenom) = 0;
  virtual int GetHost() { return mHost; }
  virtual void ResizeGraphics(int w, int h) = 0;
  virtual void UserResizedWindow(const void* /*pRect*/) {}
  virtual void HostSpecificInit() = 0;
  virtual void AttachGraphics(IGraphics* pGraphics);
  virtual void SetBlockSize(int blockSize);
  virtual void SetLatency(int samples) { mLatency = samples; }
  virtual bool SendMidiMsg(IMidiMsg* pMsg) = 0;
  virtual bool SendMidiMsgs(KIT_TypedBuf<IMidiMsg>* pMsgs) = 0;

  // ----- Identity -----
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMfrName() const { return mMfrName; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  int GetEffectVersion(bool decimal) const;
  void GetEffectVersionStr(char* str) const;
  int GetHostVersion(bool decimal);
  void GetHostVersionStr(char* str) const;
  void SetHost(const char* host, int version);
  bool DoesStateChunks() const { return mStateChunks; }
  bool IsInst() const { return mIsInst; }

  // ----- Parameters -----
  int NParams() const { return mParams.GetSize(); }
  IParam* GetParam(int idx) const { return mParams.Get(idx); }
  IGraphics* GetGUI() const { return mGraphics; }
  KIT_Mutex* GetMutex() { return &mMutex; }

  // From the editor: sets the parameter, tells the host and the product, under the mutex.
  void SetParameterFromGUI(int idx, double normalizedValue);
  void RedrawParamControls();
  void OnParamReset();

  // ----- Audio -----
  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  double GetSamplesPerBeat();

  int NInChannels() const { return mInChannels.GetSize(); }
  int NOutChannels() const { return mOutChannels.GetSize(); }
  bool IsInChannelConnected(int chIdx) const;
  bool IsOutChannelConnected(int chIdx) const;
  bool LegalIO(int nIn, int nOut) const;
  int NChannelIO() const { return mChannelIO.GetSize(); }
  void GetChannelIO(int idx, int* pNIn, int* pNOut) const;

  void SetInputChannelConnections(int idx, int n, bool connected);
  void SetOutputChannelConnections(int idx, int n, bool connected);
  void AttachInputBuffers(int idx, int n, double** ppData, int nFrames);
  void AttachInputBuffers(int idx, int n, float** ppData, int nFrames);
  void AttachOutputBuffers(int idx, int n, double** ppData);
  void AttachOutputBuffers(int idx, int n, float** ppData);
  void ProcessBuffers(double sampleType, int nFrames);
  void ProcessBuffers(float sampleType, int nFrames);
  void ProcessBuffersAccumulating(float sampleType, int nFrames);
  void LimitToStereoIO();

  // ----- Presets -----
  int NPresets() const { return mPresets.GetSize(); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  const char* GetPresetName(int idx) const;
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  void ModifyCurrentPreset(const char* name = nullptr);

  void MakeDefaultPreset(const char* name = nullptr, int nPresets = 1);
  // A factory preset from (parameter index, value) pairs; unnamed parameters take their current
  // values. Each value is converted to double at the call, whatever its literal type, so an int
  // literal for a double parameter is read correctly:
  //   MakePresetFromNamedParams("Gentle", 2, kThreshold, -12, kRatio, 2.5);
  // The count is that of the pairs given; it stays for the form's sake and is not trusted.
  template <class... Args>
  void MakePresetFromNamedParams(const char* name, int /*nParamsNamed*/, Args... pairs)
  {
    static_assert(sizeof...(Args) % 2 == 0, "parameter index and value pairs");
    constexpr int kPairs = (int)(sizeof...(Args) / 2);
    IPresetParam params[kPairs + 1] = {};
    if constexpr (kPairs > 0) FillPresetPairs(params, pairs...);
    MakePresetFromNamedParams(name, params, kPairs);
  }
  void MakePresetFromNamedParams(const char* name, std::initializer_list<IPresetParam> params)
  {
    MakePresetFromNamedParams(name, params.begin(), (int)params.size());
  }
  void MakePresetFromNamedParams(const char* name, const IPresetParam* params, int nParams);

  // A preset from one value per parameter in index order; missing values keep the current ones.
  template <class... Args>
  void MakePreset(const char* name, Args... values)
  {
    const double flat[] = { 0.0, ToPresetNumber(values)... };
    MakePresetFromValues(name, flat + 1, (int)sizeof...(Args));
  }
  void MakePresetFromValues(const char* name, const double* values, int nValues);

  void EnsureDefaultPreset();
  void PruneUninitializedPresets();
  bool DumpPresetSrcCode(const char* filename, const char* paramEnumNames[]);

  // ----- State -----
  bool SerializeParams(ByteChunk* pChunk);
  int UnserializeParams(ByteChunk* pChunk, int startPos);
  bool SerializePresets(ByteChunk* pChunk);
  int UnserializePresets(ByteChunk* pChunk, int startPos);

protected:
  struct ChannelIO
  {
    int mIn, mOut;
    ChannelIO(int nIn, int nOut) : mIn(nIn), mOut(nOut) {}
  };

  // A channel's connection and buffers. The slot lives in the input or output data array handed
  // to the processing; the host buffers are those last attached, taken per sub-block.
  struct InChannel
  {
    bool mConnected = false;
    double** mSrc = nullptr;
    KIT_TypedBuf<double> mScratchBuf;
    const float* mHostFloat = nullptr;
    const double* mHostDouble = nullptr;
  };

  struct OutChannel
  {
    bool mConnected = false;
    double** mDest = nullptr;
    float* mFDest = nullptr;
    KIT_TypedBuf<double> mScratchBuf;
    double* mHostDouble = nullptr;
  };

  void SetParamFromState(int idx, double value);

  template <class I, class V, class... Rest>
  static void FillPresetPairs(IPresetParam* out, I idx, V value, Rest... rest)
  {
    static_assert(std::is_integral<I>::value || std::is_enum<I>::value, "a preset pair starts with a parameter index");
    *out = { (int)idx, ToPresetNumber(value) };
    if constexpr (sizeof...(Rest) > 0) FillPresetPairs(out + 1, rest...);
  }

  template <class T>
  static double ToPresetNumber(T v)
  {
    static_assert(std::is_arithmetic<T>::value || std::is_enum<T>::value, "preset values are numbers");
    return (double)v;
  }

private:
  void ProcessChunks(int nFrames, int outputMode);
  void PointSlotsAt(int offset);

  KIT_PtrList<ChannelIO> mChannelIO;
  char mEffectName[128] = {};
  char mProductName[128] = {};
  char mMfrName[128] = {};
  int mUniqueID, mMfrID, mVersion;
  int mHost = kHostUninit;
  int mHostVersion = 0;
  bool mStateChunks, mIsInst;
  double mSampleRate = DEFAULT_SAMPLE_RATE;
  int mBlockSize = 0;
  int mLatency;
  KIT_PtrList<IParam> mParams;
  IGraphics* mGraphics = nullptr;
  KIT_PtrList<IPreset> mPresets;
  int mCurrentPresetIdx = 0;
  KIT_TypedBuf<double*> mInData, mOutData;
  KIT_PtrList<InChannel> mInChannels;
  KIT_PtrList<OutChannel> mOutChannels;
  KIT_Mutex mMutex;
};

// The base-constructor call a product's initialiser list makes: the wrapper its build selected
// (IFxAPI, an alias each wrapper header defines) with the identity from the product's resource.h.
#define IFX_CTOR(nParams, nPresets, instanceInfo)                                                   \
  IFxAPI(instanceInfo, nParams, PLUG_CHANNEL_IO, nPresets, PLUG_NAME, PLUG_PRODUCT_NAME, PLUG_MFR, \
         PLUG_VER, PLUG_UNIQUE_ID, PLUG_MFR_ID, PLUG_LATENCY, PLUG_DOES_MIDI, PLUG_DOES_STATE_CHUNKS, \
         PLUG_IS_INST)
