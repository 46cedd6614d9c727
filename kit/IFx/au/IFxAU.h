#pragma once
// The Audio Unit wrapper: one IFxAU carries every Audio Unit instance. The component entry
// dispatches the host's selectors to it; its buses map the host's stream formats and inputs onto
// the core's channels; its properties publish parameters, presets, formats and the class-info
// state; its parameter procedures and events carry values between host and instance.

#include <atomic>
#include <limits>

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

#include "IFxBase.h"

// What the Audio Unit build hands the product's constructor.
// What the Audio Unit build hands the product's constructor (copyable, as the product takes it
// by value).
struct IFxInstanceInfo
{
  KIT_String mBundleID;
  KIT_String mCocoaViewFactoryClassName;

  IFxInstanceInfo() = default;
  IFxInstanceInfo(const char* bundleID, const char* viewClass)
  {
    mBundleID.Set(bundleID);
    mCocoaViewFactoryClassName.Set(viewClass);
  }
  IFxInstanceInfo(const IFxInstanceInfo& other) { *this = other; }
  IFxInstanceInfo& operator=(const IFxInstanceInfo& other)
  {
    if (this != &other)
    {
      mBundleID.Set(other.mBundleID.Get());
      mCocoaViewFactoryClassName.Set(other.mCocoaViewFactoryClassName.Get());
    }
    return *this;
  }
};

class IFxAU : public IFxBase
{
public:
  IFxAU(const IFxInstanceInfo& instanceInfo, int nParams, const char* channelIOStr, int nPresets,
        const char* effectName, const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
        int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst);
  ~IFxAU() override;

  // Rates at or above this are refused, as the VST wrapper refuses them: the plug-in's filters
  // take their rate as an integer.
  static constexpr double kMaxSampleRate = 1.0e7;

  // ----- IFxBase operations this wrapper provides -----
  void BeginInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  int GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* pNum, int* pDenom) override;
  int GetHost() override;
  void ResizeGraphics(int w, int h) override;
  void HostSpecificInit() override;
  void SetBlockSize(int blockSize) override;
  void SetLatency(int samples) override;
  bool SendMidiMsg(IMidiMsg* pMsg) override;
  bool SendMidiMsgs(KIT_TypedBuf<IMidiMsg>* pMsgs) override;

  // ----- Component entries -----
  static ComponentResult IFxAUEntry(ComponentParameters* params, void* storage);
  static ComponentResult IFxAUCarbonViewEntry(ComponentParameters* params, void* storage);

  // ----- Fast-dispatch procedures; the first argument is the IFxAU -----
  static ComponentResult GetParamProc(void* plug, AudioUnitParameterID id, AudioUnitScope scope,
                                      AudioUnitElement element, AudioUnitParameterValue* value);
  static ComponentResult SetParamProc(void* plug, AudioUnitParameterID id, AudioUnitScope scope,
                                      AudioUnitElement element, AudioUnitParameterValue value, UInt32 bufferOffset);
  static OSStatus RenderProc(void* plug, AudioUnitRenderActionFlags* ioActionFlags, const AudioTimeStamp* timeStamp,
                             UInt32 outputBusNumber, UInt32 nFrames, AudioBufferList* ioData);

  // ----- Buses -----
  struct BusChannels
  {
    bool mConnected = false;
    int mNHostChannels = -1;
    int mNPlugChannels = 0;
    int mPlugChannelStartIdx = 0;
  };

  enum EAUInputType
  {
    eNotConnected = 0,
    eDirectFastProc = 1,
    eDirectNoFastProc = 2,
    eRenderCallback = 3
  };

  struct InputBusConnection
  {
    void* mUpstreamObj = nullptr;
    AudioUnit mUpstreamUnit = nullptr;
    int mUpstreamBusIdx = 0;
    AudioUnitRenderProc mUpstreamRenderProc = nullptr;
    AURenderCallbackStruct mUpstreamRenderCallback = { nullptr, nullptr };
    EAUInputType mInputType = eNotConnected;
  };

  static const char* AUInputTypeStr(EAUInputType type);

  BusChannels* GetBus(AudioUnitScope scope, AudioUnitElement element);
  int NHostChannelsConnected(KIT_PtrList<BusChannels>* pBuses, int excludeIdx = -1);
  bool CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels);
  bool CheckLegalIO();
  void AssessInputConnections();
  void ClearConnections();

  // ----- Properties and state -----
  ComponentResult GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                              UInt32* pDataSize, Boolean* pWriteable, void* pData);
  ComponentResult SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                              UInt32* pDataSize, const void* pData);
  ComponentResult GetState(CFPropertyListRef* ppPropList);
  ComponentResult SetState(CFPropertyListRef pPropList);
  void InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope);

  // ----- What tests and tools read -----
  AudioUnit GetComponentInstance() const { return mCI; }
  bool IsActive() const { return mActive; }
  int NInputBuses() const { return mInBuses.GetSize(); }
  int NOutputBuses() const { return mOutBuses.GetSize(); }
  const InputBusConnection* GetInputConnection(int idx) const { return mInBusConnections.Get(idx); }
  const char* GetBundleID() const { return mBundleID.Get(); }
  const char* GetCocoaViewFactoryClassName() const { return mCocoaViewFactoryClassName.Get(); }
  const float* GetInputScratch() const { return mInScratchBuf.Get(); }
  const float* GetOutputScratch() const { return mOutScratchBuf.Get(); }

private:
  struct RenderNotify
  {
    AURenderCallback mFunc;
    void* mRefCon;
  };

  // An immutable copy of the render notifications that the render reads without a lock.
  struct RenderNotifySnapshot
  {
    KIT_TypedBuf<RenderNotify> mItems{ 256 };
    RenderNotifySnapshot* mNextRetired = nullptr;
  };

  struct PropertyListener
  {
    AudioUnitPropertyID mPropID;
    AudioUnitPropertyListenerProc mListenerProc;
    void* mProcArgs;
  };

  // Entry helpers.
  ComponentResult Dispatch(ComponentParameters* params);
  ComponentResult DoInitialize();
  ComponentResult DoScheduleParameters(const AudioUnitParameterEvent* events, UInt32 nEvents);
  ComponentResult AddRenderNotify(AURenderCallback proc, void* refCon);
  ComponentResult RemoveRenderNotify(AURenderCallback proc);
  ComponentResult AddPropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc, void* userData);
  ComponentResult RemovePropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc,
                                         bool matchUserData, void* userData);

  // Render helpers.
  void PublishRenderNotifies();
  void FreeRetiredSnapshots();
  static void SendRenderNotifies(const RenderNotifySnapshot* pSnapshot, AudioUnitRenderActionFlags flags,
                                 const AudioTimeStamp* timeStamp, UInt32 outputBusNumber, UInt32 nFrames,
                                 AudioBufferList* ioData);
  OSStatus PullInputs(const AudioTimeStamp* timeStamp, UInt32 nFrames);
  void ConnectOutput(BusChannels* pOutBus, AudioBufferList* ioData, UInt32 nFrames);
  bool ResizeScratch(int blockSize);
  void InvalidateInputs() { mLastRenderSampleTime.store(std::numeric_limits<double>::quiet_NaN(), std::memory_order_relaxed); }

  // Property helpers.
  ComponentResult SetStreamFormat(AudioUnitScope scope, AudioUnitElement element, const AudioStreamBasicDescription* pASBD);
  ComponentResult MakeConnection(AudioUnitScope scope, const AudioUnitConnection* pConn);
  ComponentResult SetRenderCallback(AudioUnitScope scope, AudioUnitElement element, const AURenderCallbackStruct* pCB);
  ComponentResult GetParamInfo(AudioUnitElement element, AudioUnitParameterInfo* pInfo);
  ComponentResult GetProcAddress(AudioUnitElement element, void* pData);
  bool SetSampleRateChecked(double sampleRate);
  bool TrySetBlockSize(UInt32 blockSize);
  IParam* ParamForHost(AudioUnitParameterID id) const;

  KIT_String mBundleID, mCocoaViewFactoryClassName;
  AudioUnit mCI = nullptr;
  bool mActive = false;
  std::atomic<bool> mBypassed{ false };
  std::atomic<double> mLastRenderSampleTime{ -1.0 };
  int mLastPulledFrames = 0;
  // Set while a render of this instance runs (under the instance mutex): a render that comes
  // back into it, through a connection to itself or a cycle of units, is answered with an error.
  bool mInRender = false;
  double mTempo = 120.0;
  HostCallbackInfo mHostCallbacks = {};
  KIT_TypedBuf<float> mInScratchBuf, mOutScratchBuf;
  KIT_PtrList<RenderNotify> mRenderNotify;
  KIT_PtrList<BusChannels> mInBuses, mOutBuses;
  KIT_PtrList<InputBusConnection> mInBusConnections;
  KIT_PtrList<PropertyListener> mPropertyListeners;

  std::atomic<RenderNotifySnapshot*> mRenderNotifySnapshot{ nullptr };
  std::atomic<int> mRenderNotifyReaders{ 0 };
  RenderNotifySnapshot* mRetiredSnapshots = nullptr;
};

// The Audio Unit build's factories, defined by the product's build glue.
IFxAU* MakePlug();

// The build's choice of wrapper base for the product; IFX_CTOR (IFxBase.h) calls its
// constructor with the product's identity macros (see IFxHeadless.h for the contract).
using IFxAPI = IFxAU;
