// IFxVST: construction, and everything the wrapper asks of the host.

#include "IFxVST.h"

#include <cmath>
#include <cstring>

IFxVST::IFxVST(IFxInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
               const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
               int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst)
  : IFxBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID,
            latency, plugDoesMidi, plugDoesChunks, plugIsInst),
    mHostCallback(instanceInfo.mVSTHostCallback), mDoesMidi(plugDoesMidi)
{
  memset(&mAEffect, 0, sizeof(mAEffect));
  mAEffect.object = this;
  mAEffect.magic = kEffectMagic;
  mAEffect.dispatcher = VSTDispatcher;
  mAEffect.process = VSTProcess;
  mAEffect.processReplacing = VSTProcessReplacing;
  mAEffect.processDoubleReplacing = VSTProcessDoubleReplacing;
  mAEffect.setParameter = VSTSetParameter;
  mAEffect.getParameter = VSTGetParameter;
  mAEffect.numPrograms = nPresets;
  mAEffect.numParams = nParams;
  mAEffect.numInputs = NInChannels();
  mAEffect.numOutputs = NOutChannels();
  mAEffect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (plugDoesChunks) mAEffect.flags |= effFlagsProgramChunks;
  if (LegalIO(1, -1)) mAEffect.flags |= effFlagsCanMono;
  if (plugIsInst) mAEffect.flags |= effFlagsIsSynth;
  mAEffect.initialDelay = latency;
  mAEffect.ioRatio = 1.0f;
  mAEffect.uniqueID = uniqueID;
  mAEffect.version = GetEffectVersion(true);

  memset(&mEditRect, 0, sizeof(mEditRect));
  memset(&mInputSpkrArr, 0, sizeof(mInputSpkrArr));
  memset(&mOutputSpkrArr, 0, sizeof(mOutputSpkrArr));
  mInputSpkrArr.numChannels = NInChannels();
  mOutputSpkrArr.numChannels = NOutChannels();

  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  IFxBase::SetBlockSize(1024);
}

IFxVST::~IFxVST()
{
  mState.Clear();
  mBankState.Clear();
}

VstIntPtr IFxVST::HostCallback(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt)
{
  return mHostCallback ? mHostCallback(&mAEffect, opCode, idx, value, ptr, opt) : 0;
}

// ----- Editor to host -----

void IFxVST::BeginInformHostOfParamChange(int idx)
{
  HostCallback(audioMasterBeginEdit, idx);
}

void IFxVST::InformHostOfParamChange(int idx, double normalizedValue)
{
  HostCallback(audioMasterAutomate, idx, 0, nullptr, (float)normalizedValue);
}

void IFxVST::EndInformHostOfParamChange(int idx)
{
  HostCallback(audioMasterEndEdit, idx);
}

// ----- Time information -----

const VstTimeInfo* IFxVST::GetTimeInfo(VstIntPtr flags)
{
  return (const VstTimeInfo*)HostCallback(audioMasterGetTime, 0, flags);
}

int IFxVST::GetSamplePos()
{
  const VstTimeInfo* pTI = GetTimeInfo(0);
  // NaN, negative and positions beyond int's range read as the start.
  if (pTI && pTI->samplePos >= 0.0 && pTI->samplePos < 2147483648.0) return (int)pTI->samplePos;
  return 0;
}

double IFxVST::GetTempo()
{
  if (!mHostCallback) return 0.0;
  const VstTimeInfo* pTI = GetTimeInfo(kVstTempoValid);
  if (pTI && (pTI->flags & kVstTempoValid) && pTI->tempo >= 0.0 && std::isfinite(pTI->tempo)) return pTI->tempo;
  return 0.0;
}

void IFxVST::GetTimeSig(int* pNum, int* pDenom)
{
  *pNum = *pDenom = 0;
  const VstTimeInfo* pTI = GetTimeInfo(kVstTimeSigValid);
  if (pTI && (pTI->flags & kVstTimeSigValid) && pTI->timeSigNumerator >= 0 && pTI->timeSigDenominator >= 0)
  {
    *pNum = pTI->timeSigNumerator;
    *pDenom = pTI->timeSigDenominator;
  }
}

// ----- Host identification -----

int IFxVST::GetHost()
{
  const int host = IFxBase::GetHost();
  if (host != kHostUninit) return host;

  char productStr[256];
  memset(productStr, 0, sizeof(productStr));
  HostCallback(audioMasterGetProductString, 0, 0, productStr);
  productStr[sizeof(productStr) - 1] = 0;  // a host that fills the whole buffer gets cut, not overrun

  int version = 0;
  if (productStr[0])
  {
    const VstIntPtr decimal = HostCallback(audioMasterGetVendorVersion);
    // A version that does not pack (negative, or a major beyond 16 bits) reads as none.
    if (decimal > 0 && decimal <= 0x7FFF * (VstIntPtr)10000 + 9999)
    {
      const int d = (int)decimal;
      version = ((d / 10000) << 16) + (((d % 10000) / 100) << 8) + d % 100;
    }
  }
  SetHost(productStr, version);
  return IFxBase::GetHost();
}

void IFxVST::HostSpecificInit()
{
  if (mHostSpecificInitDone) return;
  mHostSpecificInitDone = true;
  switch (GetHost())
  {
    case kHostForte:
    case kHostAudition:
    case kHostOrion:
    case kHostSAWStudio: LimitToStereoIO(); break;
    default: break;
  }
  mAEffect.numInputs = mInputSpkrArr.numChannels = NInChannels();
  mAEffect.numOutputs = mOutputSpkrArr.numChannels = NOutChannels();
}

// ----- Editor -----

void IFxVST::AttachGraphics(IGraphics* pGraphics)
{
  if (!pGraphics) return;
  IFxBase::AttachGraphics(pGraphics);
  mAEffect.flags |= effFlagsHasEditor;
  mEditRect.top = mEditRect.left = 0;
  mEditRect.bottom = (VstInt16)pGraphics->Height();
  mEditRect.right = (VstInt16)pGraphics->Width();
}

void IFxVST::ResizeGraphics(int /*w*/, int /*h*/)
{
  IGraphics* pGraphics = GetGUI();
  if (!pGraphics) return;
  mEditRect.bottom = (VstInt16)pGraphics->Height();
  mEditRect.right = (VstInt16)pGraphics->Width();
}

void IFxVST::SetLatency(int samples)
{
  mAEffect.initialDelay = samples;
  IFxBase::SetLatency(samples);
}

// ----- MIDI out -----

bool IFxVST::SendVSTEvent(VstEvent* pEvent)
{
  VstEvents events;
  memset(&events, 0, sizeof(events));
  events.numEvents = 1;
  events.events[0] = pEvent;
  return HostCallback(audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool IFxVST::SendMidiMsg(IMidiMsg* pMsg)
{
  VstMidiEvent midiEvent;
  memset(&midiEvent, 0, sizeof(midiEvent));
  midiEvent.type = kVstMidiType;
  midiEvent.byteSize = (VstInt32)sizeof(VstMidiEvent);
  midiEvent.deltaFrames = pMsg->mOffset;
  midiEvent.midiData[0] = (char)pMsg->mStatus;
  midiEvent.midiData[1] = (char)pMsg->mData1;
  midiEvent.midiData[2] = (char)pMsg->mData2;
  return SendVSTEvent((VstEvent*)&midiEvent);
}

bool IFxVST::SendMidiMsgs(KIT_TypedBuf<IMidiMsg>* pMsgs)
{
  bool ok = true;
  for (int i = 0; i < pMsgs->GetSize(); ++i) ok = SendMidiMsg(pMsgs->Get() + i) && ok;
  return ok;
}
