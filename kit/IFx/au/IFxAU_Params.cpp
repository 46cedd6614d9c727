// IFxAU: the parameter procedures, parameter events, and what the instance asks of its host.

#include <cmath>

#include "IFxAU.h"

ComponentResult IFxAU::GetParamProc(void* plug, AudioUnitParameterID id, AudioUnitScope scope,
                                    AudioUnitElement /*element*/, AudioUnitParameterValue* value)
{
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  IFxAU* _this = (IFxAU*)plug;
  if (!_this || !value) return paramErr;
  KIT_MutexScope lock(_this->GetMutex());
  const IParam* pParam = _this->ParamForHost(id);
  if (!pParam) return kAudioUnitErr_InvalidElement;
  *value = (AudioUnitParameterValue)pParam->Value();
  return noErr;
}

// The value takes effect at once; the element and the buffer offset are not used. Enumerated,
// switch and integer values are rounded to their steps, as on every other path into a parameter.
ComponentResult IFxAU::SetParamProc(void* plug, AudioUnitParameterID id, AudioUnitScope scope,
                                    AudioUnitElement /*element*/, AudioUnitParameterValue value, UInt32 /*bufferOffset*/)
{
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  IFxAU* _this = (IFxAU*)plug;
  if (!_this) return paramErr;
  KIT_MutexScope lock(_this->GetMutex());
  IParam* pParam = _this->ParamForHost(id);
  if (!pParam) return kAudioUnitErr_InvalidElement;
  if (std::isnan(value)) return kAudioUnitErr_InvalidParameter;
  pParam->Set(pParam->Quantize((double)value));
  if (IGraphics* pGraphics = _this->GetGUI()) pGraphics->SetParameterFromPlug((int)id, (double)value, false);
  _this->OnParamChange((int)id);
  return noErr;
}

namespace
{
void PostParameterEvent(AudioUnit unit, AudioUnitEventType type, int idx)
{
  AudioUnitEvent event = {};
  event.mEventType = type;
  event.mArgument.mParameter = { unit, (AudioUnitParameterID)idx, kAudioUnitScope_Global, 0 };
  AUEventListenerNotify(nullptr, nullptr, &event);
}
}  // namespace

void IFxAU::BeginInformHostOfParamChange(int idx)
{
  PostParameterEvent(mCI, kAudioUnitEvent_BeginParameterChangeGesture, idx);
}

// The host reads the new value back with GetParameter.
void IFxAU::InformHostOfParamChange(int idx, double /*normalizedValue*/)
{
  PostParameterEvent(mCI, kAudioUnitEvent_ParameterValueChange, idx);
}

void IFxAU::EndInformHostOfParamChange(int idx)
{
  PostParameterEvent(mCI, kAudioUnitEvent_EndParameterChangeGesture, idx);
}

double IFxAU::GetTempo()
{
  if (mHostCallbacks.beatAndTempoProc)
  {
    Float64 beat = 0.0, tempo = 0.0;
    mHostCallbacks.beatAndTempoProc(mHostCallbacks.hostUserData, &beat, &tempo);
    if (tempo > 0.0) mTempo = tempo;
  }
  return mTempo;
}

int IFxAU::GetSamplePos()
{
  if (!mHostCallbacks.transportStateProc) return 0;
  Boolean playing = 0, changed = 0, cycling = 0;
  Float64 sample = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
  mHostCallbacks.transportStateProc(mHostCallbacks.hostUserData, &playing, &changed, &sample, &cycling, &cycleStart,
                                    &cycleEnd);
  // A position outside int's range cannot be told; it reads as 0.
  return (std::isfinite(sample) && std::fabs(sample) < 2147483647.0) ? (int)sample : 0;
}

void IFxAU::GetTimeSig(int* pNum, int* pDenom)
{
  if (!mHostCallbacks.musicalTimeLocationProc) return;
  UInt32 toNextBeat = 0, denom = 0;
  Float32 num = 0.0f;
  Float64 downBeat = 0.0;
  mHostCallbacks.musicalTimeLocationProc(mHostCallbacks.hostUserData, &toNextBeat, &num, &denom, &downBeat);
  if (pNum) *pNum = (std::isfinite(num) && std::fabs(num) < 2147483647.0f) ? (int)num : 0;
  if (pDenom) *pDenom = (int)denom;
}

int IFxAU::GetHost()
{
  const int host = IFxBase::GetHost();
  if (host != kHostUninit) return host;
  char id[256] = "";
  CFBundleRef mainBundle = CFBundleGetMainBundle();
  CFStringRef bundleID = mainBundle ? CFBundleGetIdentifier(mainBundle) : nullptr;
  if (bundleID && CFStringGetCString(bundleID, id, sizeof(id), kCFStringEncodingUTF8)) SetHost(id, 0);
  if (IFxBase::GetHost() == kHostUninit) SetHost("", 0);
  return IFxBase::GetHost();
}

// Listeners hear of the change before it is made, as with every property set.
void IFxAU::SetLatency(int samples)
{
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i)
  {
    const PropertyListener* pListener = mPropertyListeners.Get(i);
    if (pListener->mPropID == kAudioUnitProperty_Latency)
      pListener->mListenerProc(pListener->mProcArgs, mCI, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0);
  }
  IFxBase::SetLatency(samples);
}

void IFxAU::ResizeGraphics(int /*w*/, int /*h*/) {}
