// IFxAU: buses, stream formats, input connections and the render.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "IFxAU.h"
#include "IFxCheck.h"
#include "IFxDebug.h"

namespace
{
// The pull list: room for this many buffers, on the stack.
constexpr int kMaxPullBuffers = 128;

struct PullBufferList
{
  UInt32 mNumberBuffers;
  AudioBuffer mBuffers[kMaxPullBuffers];

  AudioBufferList* List() { return reinterpret_cast<AudioBufferList*>(this); }
};
static_assert(offsetof(PullBufferList, mBuffers) == offsetof(AudioBufferList, mBuffers), "same layout as a buffer list");

bool IsUsableRate(double rate)
{
  return std::isfinite(rate) && rate > 0.0 && rate < IFxAU::kMaxSampleRate;
}
}  // namespace

IFxAU::BusChannels* IFxAU::GetBus(AudioUnitScope scope, AudioUnitElement element)
{
  if (element > (AudioUnitElement)INT32_MAX) return nullptr;
  switch (scope)
  {
    case kAudioUnitScope_Input: return mInBuses.Get((int)element);
    case kAudioUnitScope_Output:
    case kAudioUnitScope_Global: return mOutBuses.Get((int)element);
    default: return nullptr;
  }
}

int IFxAU::NHostChannelsConnected(KIT_PtrList<BusChannels>* pBuses, int excludeIdx)
{
  const int n = pBuses->GetSize();
  if (!n) return -1;
  bool anySet = false;
  int total = 0;
  for (int i = 0; i < n; ++i)
  {
    const int nHost = pBuses->Get(i)->mNHostChannels;
    if (i == excludeIdx || nHost < 0) continue;
    anySet = true;
    total += nHost;
  }
  return anySet ? total : -1;
}

bool IFxAU::CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels)
{
  int nIn, nOut;
  if (scope == kAudioUnitScope_Input)
  {
    nIn = nChannels + std::max(NHostChannelsConnected(&mInBuses, busIdx), 0);
    nOut = mActive ? NHostChannelsConnected(&mOutBuses) : -1;
  }
  else
  {
    nIn = mActive ? NHostChannelsConnected(&mInBuses) : -1;
    nOut = nChannels + std::max(NHostChannelsConnected(&mOutBuses, busIdx), 0);
  }
  return LegalIO(nIn, nOut);
}

bool IFxAU::CheckLegalIO()
{
  const int nIn = NHostChannelsConnected(&mInBuses);
  const int nOut = NHostChannelsConnected(&mOutBuses);
  return (nIn == 0 && nOut == 0) || LegalIO(nIn, nOut);
}

void IFxAU::AssessInputConnections()
{
  KIT_MutexScope lock(GetMutex());
  SetInputChannelConnections(0, NInChannels(), false);
  for (int i = 0; i < mInBuses.GetSize(); ++i)
  {
    BusChannels* pBus = mInBuses.Get(i);
    InputBusConnection* pConn = mInBusConnections.Get(i);
    if (pConn->mUpstreamRenderProc && pConn->mUpstreamObj) pConn->mInputType = eDirectFastProc;
    else if (pConn->mUpstreamUnit) pConn->mInputType = eDirectNoFastProc;
    else if (pConn->mUpstreamRenderCallback.inputProc) pConn->mInputType = eRenderCallback;
    else pConn->mInputType = eNotConnected;
    pBus->mConnected = pConn->mInputType != eNotConnected;
    Trace(TRACELOC, "%d:%s", i, AUInputTypeStr(pConn->mInputType));
    if (!pBus->mConnected) continue;
    if (pBus->mNHostChannels < 0) pBus->mNHostChannels = pBus->mNPlugChannels;
    SetInputChannelConnections(pBus->mPlugChannelStartIdx, pBus->mNHostChannels, true);
    const int nUnused = std::max(pBus->mNPlugChannels - pBus->mNHostChannels, 0);
    SetInputChannelConnections(pBus->mPlugChannelStartIdx + pBus->mNHostChannels, nUnused, false);
  }
  InvalidateInputs();
}

// The formats are forgotten and no input is pulled until the next format or Initialize, but the
// sources the host gave (a render callback, a connection) are kept: a host that renegotiates its
// formats does not set its inputs again, and would otherwise hear silence.
void IFxAU::ClearConnections()
{
  KIT_MutexScope lock(GetMutex());
  for (int i = 0; i < mInBuses.GetSize(); ++i)
  {
    BusChannels* pBus = mInBuses.Get(i);
    pBus->mConnected = false;
    pBus->mNHostChannels = -1;
    mInBusConnections.Get(i)->mInputType = eNotConnected;
  }
  for (int i = 0; i < mOutBuses.GetSize(); ++i)
  {
    BusChannels* pBus = mOutBuses.Get(i);
    pBus->mConnected = false;
    pBus->mNHostChannels = -1;
  }
  // The core's inputs follow: none keeps reading the memory its last source lent it.
  SetInputChannelConnections(0, NInChannels(), false);
  InvalidateInputs();
}

// ----- Block size and scratch -----

// The output scratch has one channel more than the core: host buffers beyond the core's channels
// that come without memory share it.
bool IFxAU::ResizeScratch(int blockSize)
{
  const int64_t nIn = (int64_t)blockSize * NInChannels();
  const int64_t nOut = (int64_t)blockSize * (NOutChannels() + 1);
  if (nIn > INT32_MAX / 4 || nOut > INT32_MAX / 4) return false;
  mInScratchBuf.Resize((int)nIn);
  mOutScratchBuf.Resize((int)nOut);
  return mInScratchBuf.GetSize() == (int)nIn && mOutScratchBuf.GetSize() == (int)nOut;
}

bool IFxAU::TrySetBlockSize(UInt32 blockSize)
{
  if (blockSize == 0 || blockSize > (UInt32)kMaxBlockSize) return false;
  const int oldSize = GetBlockSize();
  bool ok = ResizeScratch((int)blockSize);
  if (ok)
  {
    IFxBase::SetBlockSize((int)blockSize);
    ok = GetBlockSize() == (int)blockSize;
  }
  if (!ok)
  {
    // The old size stays, with buffers of that size.
    ResizeScratch(oldSize);
    return false;
  }
  if (mInScratchBuf.GetSize()) memset(mInScratchBuf.Get(), 0, (size_t)mInScratchBuf.GetSize() * sizeof(float));
  if (mOutScratchBuf.GetSize()) memset(mOutScratchBuf.Get(), 0, (size_t)mOutScratchBuf.GetSize() * sizeof(float));
  InvalidateInputs();
  return true;
}

void IFxAU::SetBlockSize(int blockSize)
{
  if (blockSize > 0) TrySetBlockSize((UInt32)blockSize);
}

// ----- Stream formats and connections -----

bool IFxAU::SetSampleRateChecked(double sampleRate)
{
  if (!IsUsableRate(sampleRate)) return false;
  const bool changed = sampleRate != GetSampleRate();
  SetSampleRate(sampleRate);
  // The filters are set up for a rate; a new rate sets them up again.
  if (changed) Reset();
  InvalidateInputs();
  return true;
}

ComponentResult IFxAU::SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                       const AudioStreamBasicDescription* pASBD)
{
  BusChannels* pBus = GetBus(scope, element);
  if (!pBus) return kAudioUnitErr_InvalidProperty;
  pBus->mNHostChannels = 0;
  const UInt32 nChannels = pASBD->mChannelsPerFrame;
  // A rate of 0 says nothing about the rate: the format is taken and the rate left as it is.
  const bool rateOK = pASBD->mSampleRate == 0.0 || IsUsableRate(pASBD->mSampleRate);
  const bool accepted = rateOK && nChannels > 0 && nChannels <= (UInt32)INT32_MAX &&
                        CheckLegalIO(scope, (int)element, (int)nChannels) &&
                        pASBD->mFormatID == kAudioFormatLinearPCM &&
                        (pASBD->mFormatFlags & (kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked));
  if (accepted)
  {
    pBus->mNHostChannels = (int)nChannels;
    if (pASBD->mSampleRate != 0.0) SetSampleRateChecked(pASBD->mSampleRate);
  }
  AssessInputConnections();
  return accepted ? (ComponentResult)noErr : (ComponentResult)kAudioUnitErr_InvalidProperty;
}

ComponentResult IFxAU::MakeConnection(AudioUnitScope scope, const AudioUnitConnection* pConn)
{
  if (scope != kAudioUnitScope_Global && scope != kAudioUnitScope_Input) return kAudioUnitErr_InvalidProperty;
  InputBusConnection* pInBusConn = mInBusConnections.Get(pConn->destInputNumber <= (UInt32)INT32_MAX ? (int)pConn->destInputNumber : -1);
  if (!pInBusConn) return kAudioUnitErr_InvalidProperty;
  *pInBusConn = InputBusConnection();
  ComponentResult result = noErr;
  if (pConn->sourceAudioUnit)
  {
    AudioStreamBasicDescription srcASBD = {};
    UInt32 size = sizeof(srcASBD);
    result = AudioUnitGetProperty(pConn->sourceAudioUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output,
                                  pConn->sourceOutputNumber, &srcASBD, &size);
    if (result == noErr && size < sizeof(srcASBD)) result = kAudioUnitErr_InvalidProperty;
    if (result == noErr)
    {
      UInt32 setSize = sizeof(srcASBD);
      result = SetProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, pConn->destInputNumber, &setSize,
                           &srcASBD);
    }
    if (result == noErr)
    {
      pInBusConn->mUpstreamUnit = pConn->sourceAudioUnit;
      pInBusConn->mUpstreamBusIdx = (int)pConn->sourceOutputNumber;
      AudioUnitRenderProc proc = nullptr;
      UInt32 procSize = sizeof(proc);
      if (AudioUnitGetProperty(pConn->sourceAudioUnit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                               kAudioUnitRenderSelect, &proc, &procSize) == noErr &&
          procSize >= sizeof(proc) && proc)
      {
        pInBusConn->mUpstreamRenderProc = proc;
        pInBusConn->mUpstreamObj = GetComponentInstanceStorage(pConn->sourceAudioUnit);
      }
    }
    else
    {
      result = kAudioUnitErr_InvalidProperty;
    }
  }
  AssessInputConnections();
  return result;
}

ComponentResult IFxAU::SetRenderCallback(AudioUnitScope scope, AudioUnitElement element, const AURenderCallbackStruct* pCB)
{
  if (scope != kAudioUnitScope_Input) return kAudioUnitErr_InvalidProperty;
  InputBusConnection* pInBusConn = mInBusConnections.Get(element <= (AudioUnitElement)INT32_MAX ? (int)element : -1);
  if (!pInBusConn) return kAudioUnitErr_InvalidProperty;
  *pInBusConn = InputBusConnection();
  if (pCB->inputProc) pInBusConn->mUpstreamRenderCallback = *pCB;
  AssessInputConnections();
  return noErr;
}

// ----- Render -----

OSStatus IFxAU::PullInputs(const AudioTimeStamp* timeStamp, UInt32 nFrames)
{
  const int nIn = NInChannels();
  const UInt32 bytes = nFrames * (UInt32)sizeof(float);
  for (int i = 0; i < mInBuses.GetSize(); ++i)
  {
    BusChannels* pBus = mInBuses.Get(i);
    if (!pBus->mConnected) continue;
    InputBusConnection* pConn = mInBusConnections.Get(i);
    const int first = pBus->mPlugChannelStartIdx;
    // Only the host channels that land on the core's channels travel.
    const int nBuffers = std::max(0, std::min({ pBus->mNHostChannels, nIn - first, kMaxPullBuffers }));

    PullBufferList pull;
    pull.mNumberBuffers = (UInt32)nBuffers;
    for (int k = 0; k < nBuffers; ++k) pull.mBuffers[k] = { 1, bytes, nullptr };
    AudioUnitRenderActionFlags flags = 0;

    OSStatus r;
    switch (pConn->mInputType)
    {
      case eDirectFastProc:
        r = pConn->mUpstreamRenderProc(pConn->mUpstreamObj, &flags, timeStamp, (UInt32)pConn->mUpstreamBusIdx, nFrames,
                                       pull.List());
        break;
      case eDirectNoFastProc:
        r = AudioUnitRender(pConn->mUpstreamUnit, &flags, timeStamp, (UInt32)pConn->mUpstreamBusIdx, nFrames, pull.List());
        break;
      case eRenderCallback:
        for (int k = 0; k < nBuffers; ++k) pull.mBuffers[k].mData = mInScratchBuf.Get() + (size_t)(first + k) * nFrames;
        r = pConn->mUpstreamRenderCallback.inputProc(pConn->mUpstreamRenderCallback.inputProcRefCon, &flags, timeStamp,
                                                     (UInt32)i, nFrames, pull.List());
        break;
      default:
      {
        // A connected bus always has a source kind: anything else is a broken assessment.
        const bool inputBusAssessed = false;
        IFX_CHECK(inputBusAssessed, "kit/IFx/IFxAU_Render", __LINE__);
      }
    }
    if (r != noErr) return r;

    // A source may hand back fewer buffers or shorter ones than asked: those channels read silence.
    const int nGot = std::min(nBuffers, (int)std::min<UInt32>(pull.mNumberBuffers, (UInt32)nBuffers));
    for (int k = 0; k < nBuffers; ++k)
    {
      const AudioBuffer& b = pull.mBuffers[k];
      float* pData = (k < nGot && b.mDataByteSize >= bytes) ? (float*)b.mData : nullptr;
      AttachInputBuffers(first + k, 1, &pData, (int)nFrames);
    }
  }
  return noErr;
}

void IFxAU::ConnectOutput(BusChannels* pOutBus, AudioBufferList* ioData, UInt32 nFrames)
{
  const UInt32 nBuffers = ioData->mNumberBuffers;
  const int first = pOutBus->mPlugChannelStartIdx;
  if (!pOutBus->mConnected || pOutBus->mNHostChannels != (int)nBuffers)
  {
    const UInt32 nConnected = std::min((UInt32)pOutBus->mNHostChannels, nBuffers);
    const int n = (int)std::min<UInt32>(nConnected, (UInt32)NOutChannels());
    SetOutputChannelConnections(first, n, true);
    SetOutputChannelConnections(first + n, std::max(pOutBus->mNPlugChannels - n, 0), false);
    pOutBus->mConnected = true;
  }

  const int nOut = NOutChannels();
  float* pSpare = mOutScratchBuf.Get() + (size_t)nOut * nFrames;
  bool spareUsed = false;
  for (UInt32 l = 0; l < nBuffers; ++l)
  {
    AudioBuffer& b = ioData->mBuffers[l];
    const int ch = first + (int)l;
    if (ch >= nOut)
    {
      // No core channel behind this buffer: it is left as it is, or given silent memory.
      if (!b.mData)
      {
        b.mData = pSpare;
        b.mDataByteSize = nFrames * (UInt32)sizeof(float);
        spareUsed = true;
      }
      continue;
    }
    if (!b.mData)
    {
      b.mData = mOutScratchBuf.Get() + (size_t)ch * nFrames;
      b.mDataByteSize = nFrames * (UInt32)sizeof(float);
    }
    float* pData = (float*)b.mData;
    AttachOutputBuffers(ch, 1, &pData);
  }
  if (spareUsed) memset(pSpare, 0, (size_t)nFrames * sizeof(float));
}

OSStatus IFxAU::RenderProc(void* plug, AudioUnitRenderActionFlags* /*ioActionFlags*/, const AudioTimeStamp* timeStamp,
                           UInt32 outputBusNumber, UInt32 nFrames, AudioBufferList* ioData)
{
  IFxAU* _this = (IFxAU*)plug;
  if (!_this) return kAudioUnitErr_InvalidPropertyValue;
  if (_this->mBypassed.load(std::memory_order_relaxed)) return noErr;

  if (!timeStamp || !(timeStamp->mFlags & kAudioTimeStampSampleTimeValid) ||
      outputBusNumber >= (UInt32)_this->mOutBuses.GetSize() || nFrames > (UInt32)_this->GetBlockSize() || !ioData)
    return kAudioUnitErr_InvalidPropertyValue;
  // Host memory that cannot hold the block is never written.
  const UInt32 bytes = nFrames * (UInt32)sizeof(float);
  for (UInt32 l = 0; l < ioData->mNumberBuffers; ++l)
    if (ioData->mBuffers[l].mData && ioData->mBuffers[l].mDataByteSize < bytes) return kAudioUnitErr_InvalidPropertyValue;

  // The product's processing reads parameter values, ramps and filter coefficients that the host's
  // threads change under the instance mutex, and the block size and buses decide the buffers: the
  // fast render takes the same mutex as the render through the component entry.
  KIT_MutexScope lock(_this->GetMutex());
  // The mutex is recursive: only this thread can be here already, pulling its own output.
  if (_this->mInRender) return kAudioUnitErr_CannotDoInCurrentContext;
  // An output bus whose format was refused has no channel to write: the host's buffers would keep
  // what they held.
  if (_this->mOutBuses.Get((int)outputBusNumber)->mNHostChannels == 0) return kAudioUnitErr_InvalidPropertyValue;
  _this->mInRender = true;

  // Counted as a reader before the load, so the snapshot stays alive to the end of the render.
  _this->mRenderNotifyReaders.fetch_add(1);
  const RenderNotifySnapshot* pNotifies = _this->mRenderNotifySnapshot.load();
  SendRenderNotifies(pNotifies, kAudioUnitRenderAction_PreRender, timeStamp, outputBusNumber, nFrames, ioData);

  const double sampleTime = timeStamp->mSampleTime;
  OSStatus r = noErr;
  if (!(sampleTime == _this->mLastRenderSampleTime.load(std::memory_order_relaxed)) ||
      (int)nFrames != _this->mLastPulledFrames)
  {
    r = _this->PullInputs(timeStamp, nFrames);
    if (r == noErr)
    {
      _this->mLastRenderSampleTime.store(sampleTime, std::memory_order_relaxed);
      _this->mLastPulledFrames = (int)nFrames;
    }
  }

  if (r == noErr)
  {
    _this->ConnectOutput(_this->mOutBuses.Get((int)outputBusNumber), ioData, nFrames);
    _this->ProcessBuffers((float)0.0f, (int)nFrames);
    SendRenderNotifies(pNotifies, kAudioUnitRenderAction_PostRender, timeStamp, outputBusNumber, nFrames, ioData);
  }
  _this->mRenderNotifyReaders.fetch_sub(1);
  _this->mInRender = false;
  return r;
}
