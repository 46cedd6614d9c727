#pragma once
// A wrapper base without a host, for tests, benchmarks and tools: every host-facing operation of
// IFxBase is filled with a quiet default, and the channels and block size are set up as the real
// wrappers set them, so the product runs exactly as it does inside a host.
//
// The wrapper contract. The product derives from the base its build selects, at compile time, by
// one definition (KV_API_VST, KV_API_AU or KV_API_HEADLESS; the product's KestrovaneApi.h includes
// IFxVST.h, IFxAU.h or this file). Each wrapper header provides the first two; IFxBase.h the third:
//   struct IFxInstanceInfo   what the wrapper's factory hands the product constructor (the host
//                            callback for VST; the bundle identifier and view-factory class name
//                            for the Audio Unit; nothing here).
//   IFxAPI                   an alias of the wrapper class.
//   IFX_CTOR(nParams, nPresets, instanceInfo)
//                            the base-constructor call for the product's initialiser list, taking
//                            the product's identity from the macros of its resource.h:
//                            PLUG_CHANNEL_IO, PLUG_NAME (effect name), PLUG_PRODUCT_NAME, PLUG_MFR,
//                            PLUG_VER, PLUG_UNIQUE_ID, PLUG_MFR_ID, PLUG_LATENCY, PLUG_DOES_MIDI,
//                            PLUG_DOES_STATE_CHUNKS, PLUG_IS_INST.
// A wrapper's constructor takes the instance info first and then the thirteen IFxBase arguments in
// IFxBase's order; it connects every input and output channel and sets the block size to 1024.

#include "IFxBase.h"

struct IFxInstanceInfo
{
};

class IFxHeadless : public IFxBase
{
public:
  IFxHeadless(IFxInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
              const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
              int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst);
  ~IFxHeadless() override {}

  // No host hears about parameter changes; a test subclass may listen here.
  void BeginInformHostOfParamChange(int /*idx*/) override {}
  void InformHostOfParamChange(int /*idx*/, double /*normalizedValue*/) override {}
  void EndInformHostOfParamChange(int /*idx*/) override {}

  // A transport that stands still at the start, 120 beats per minute in 4/4.
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int* pNum, int* pDenom) override;

  void ResizeGraphics(int /*w*/, int /*h*/) override {}
  void HostSpecificInit() override {}

  // There is nobody to send MIDI to.
  bool SendMidiMsg(IMidiMsg* /*pMsg*/) override { return false; }
  bool SendMidiMsgs(KIT_TypedBuf<IMidiMsg>* pMsgs) override;

  // One block as a host delivers it: the double buffers are taken in order by the connected
  // channels (as with AttachInputBuffers), then processed; the core splits long blocks.
  void ProcessDoubleBlock(double** inputs, int nInputs, double** outputs, int nOutputs, int nFrames);
};

// The product's base in the headless build; IFX_CTOR (IFxBase.h) calls its constructor.
using IFxAPI = IFxHeadless;
