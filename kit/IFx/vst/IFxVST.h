#pragma once
// The VST 2.4 wrapper: embeds the effect record the host drives, answers the dispatcher opcodes and
// the process and parameter callbacks, and calls the host back for automation, time information,
// MIDI and its identity. The product derives from it in the VST build.

#include <vst2_interface.h>

#include "IFxBase.h"

// What the entry point hands to the product's constructor in this build.
struct IFxInstanceInfo
{
  audioMasterCallback mVSTHostCallback = nullptr;
};

class IFxVST : public IFxBase
{
public:
  IFxVST(IFxInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
         const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
         int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst);
  ~IFxVST() override;

  // Texts the wrapper copies into host buffers are cut to these sizes, terminator included:
  // parameter names, labels and display texts to kParamTextLen (the core keeps them within
  // 31 characters, more than the interface's own 8, which real hosts exceed too); program names
  // to the interface's kVstMaxProgNameLen; the rest to the published field sizes.
  enum { kParamTextLen = 32 };

  // The chunk header: "tffp" and the framework version, before the state.
  static constexpr int32_t kChunkMagic = 0x70666674;
  static constexpr int32_t kChunkVersion = 0x00010000;
  static void InitializeVSTChunk(ByteChunk* pChunk);
  static int GetIFxVerFromChunk(const ByteChunk* pChunk, int* pPos);

  // ----- IFxBase -----
  void BeginInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  int GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* pNum, int* pDenom) override;
  int GetHost() override;
  void ResizeGraphics(int w, int h) override;
  void HostSpecificInit() override;
  void AttachGraphics(IGraphics* pGraphics) override;
  void SetLatency(int samples) override;
  bool SendMidiMsg(IMidiMsg* pMsg) override;
  bool SendMidiMsgs(KIT_TypedBuf<IMidiMsg>* pMsgs) override;

  // Sends any event back to the host, alone in a list; true when the host takes it.
  bool SendVSTEvent(VstEvent* pEvent);

  audioMasterCallback GetHostCallback() const { return mHostCallback; }
  AEffect* GetAEffect() { return &mAEffect; }
  const ERect* GetEditRect() const { return &mEditRect; }

  // ----- The effect record's callbacks -----
  static VstIntPtr VSTCALLBACK VSTDispatcher(AEffect* pEffect, VstInt32 opCode, VstInt32 idx, VstIntPtr value,
                                             void* ptr, float opt);
  static void VSTCALLBACK VSTProcess(AEffect* pEffect, float** inputs, float** outputs, VstInt32 nFrames);
  static void VSTCALLBACK VSTProcessReplacing(AEffect* pEffect, float** inputs, float** outputs, VstInt32 nFrames);
  static void VSTCALLBACK VSTProcessDoubleReplacing(AEffect* pEffect, double** inputs, double** outputs,
                                                    VstInt32 nFrames);
  static float VSTCALLBACK VSTGetParameter(AEffect* pEffect, VstInt32 idx);
  static void VSTCALLBACK VSTSetParameter(AEffect* pEffect, VstInt32 idx, float value);

private:
  VstIntPtr Dispatch(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt);
  VstIntPtr GetChunk(void** ppData, bool isBank);
  VstIntPtr SetChunk(const void* pData, VstIntPtr nBytes, bool isBank);
  VstIntPtr ProcessEvents(VstEvents* pEvents);
  bool GetPinProperties(VstInt32 idx, int nChannels, const char* labelFmt, VstPinProperties* pProps);
  void SetSpeakerArrangement(const VstSpeakerArrangement* pIn, const VstSpeakerArrangement* pOut);

  template <class T>
  void VSTPrepProcess(T** inputs, T** outputs, VstInt32 nFrames);
  // One process callback: the instance behind the record, under its mutex, buffers attached.
  template <class T, class Process>
  static void ProcessLocked(AEffect* pEffect, T** inputs, T** outputs, VstInt32 nFrames, Process process);

  // The host callback, or 0 when the host gave none.
  VstIntPtr HostCallback(VstInt32 opCode, VstInt32 idx = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
  const VstTimeInfo* GetTimeInfo(VstIntPtr flags);

  ERect mEditRect = {};
  audioMasterCallback mHostCallback;
  VstSpeakerArrangement mInputSpkrArr = {}, mOutputSpkrArr = {};
  bool mHostSpecificInitDone = false;
  bool mDoesMidi;
  ByteChunk mState, mBankState;  // the last program and bank chunks handed to or taken from the host
  AEffect mAEffect = {};
};

// The build's product, made by the entry point for each new instance (defined once per module).
IFxVST* IFxVSTMakePlug(const IFxInstanceInfo& instanceInfo);

// The product's base in the VST build; IFX_CTOR (IFxBase.h) calls its constructor with the
// product's identity from its resource.h (the wrapper contract is described in IFxHeadless.h).
using IFxAPI = IFxVST;
