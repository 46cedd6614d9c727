// IFxBase: construction, channel layouts and connections, the sample-buffer path.

#include "IFxBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "IFxCheck.h"
#include "IFxDebug.h"

namespace
{
enum EOutputMode { kOutputDouble, kOutputFloatReplace, kOutputFloatAccumulate };

// Host and scratch buffers never overlap: scratch is the core's own memory. Each conversion also
// has a copy in 256-bit registers, which the loader picks where the processor has them; the values
// are the same.
// Not under ThreadSanitizer, whose run-time is not yet up when the loader runs the resolver.
#if defined(__SANITIZE_THREAD__)
#define KV_CONVERSION
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KV_CONVERSION
#endif
#endif
#ifndef KV_CONVERSION
#define KV_CONVERSION __attribute__((target_clones("avx2", "default")))
#endif

KV_CONVERSION void ConvertToDouble(double* __restrict dest, const float* __restrict src, int n)
{
  for (int s = 0; s < n; ++s) dest[s] = (double)src[s];
}

KV_CONVERSION void ConvertToFloat(float* __restrict dest, const double* __restrict src, int n)
{
  for (int s = 0; s < n; ++s) dest[s] = (float)src[s];
}

KV_CONVERSION void AccumulateToFloat(float* __restrict dest, const double* __restrict src, int n)
{
  for (int s = 0; s < n; ++s) dest[s] += (float)src[s];
}
}  // namespace

IFxBase::IFxBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                 const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                 int mfrID, int latency, bool /*plugDoesMidi*/, bool plugDoesChunks, bool plugIsInst)
  : mUniqueID(uniqueID), mMfrID(mfrID), mVersion(vendorVersion), mStateChunks(plugDoesChunks),
    mIsInst(plugIsInst), mLatency(latency)
{
  Trace(TRACELOC, "%s", CurrentTime());

  for (int i = 0; i < nParams; ++i) mParams.Add(new IParam);

  for (int i = 0; i < nPresets; ++i)
  {
    IPreset* pPreset = new IPreset;
    snprintf(pPreset->mName, sizeof(pPreset->mName), "- %d -", i + 1);
    mPresets.Add(pPreset);
  }

  KIT_strlcpy(mEffectName, effectName, sizeof(mEffectName));
  KIT_strlcpy(mProductName, productName, sizeof(mProductName));
  KIT_strlcpy(mMfrName, mfrName, sizeof(mMfrName));

  int nInputs = 0, nOutputs = 0;
  while (channelIOStr)
  {
    int nIn = 0, nOut = 0;
    IFX_CHECK(sscanf(channelIOStr, "%d-%d", &nIn, &nOut) == 2, "kit/IFx/IFxBase", 73);
    nInputs = std::max(nInputs, nIn);
    nOutputs = std::max(nOutputs, nOut);
    mChannelIO.Add(new ChannelIO(nIn, nOut));
    channelIOStr = strstr(channelIOStr, " ");
    if (channelIOStr) ++channelIOStr;
  }

  mInData.Resize(nInputs);
  mOutData.Resize(nOutputs);
  double** ppInData = mInData.Get();
  for (int i = 0; i < nInputs; ++i)
  {
    InChannel* pInChannel = new InChannel;
    pInChannel->mSrc = ppInData + i;
    *pInChannel->mSrc = nullptr;
    mInChannels.Add(pInChannel);
  }
  double** ppOutData = mOutData.Get();
  for (int i = 0; i < nOutputs; ++i)
  {
    OutChannel* pOutChannel = new OutChannel;
    pOutChannel->mDest = ppOutData + i;
    *pOutChannel->mDest = nullptr;
    mOutChannels.Add(pOutChannel);
  }
}

IFxBase::~IFxBase()
{
  delete mGraphics;
  mGraphics = nullptr;
  mParams.Empty(true);
  mPresets.Empty(true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
}

void IFxBase::Reset()
{
  KIT_MutexScope lock(&mMutex);
}

void IFxBase::OnParamChange(int /*paramIdx*/)
{
  KIT_MutexScope lock(&mMutex);
}

void IFxBase::OnActivate(bool /*active*/)
{
  KIT_MutexScope lock(&mMutex);
}

void IFxBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  const int nIn = NInChannels(), nOut = NOutChannels();
  int i = 0;
  for (; i < nIn && i < nOut; ++i)
    if (outputs[i] != inputs[i]) memmove(outputs[i], inputs[i], (size_t)nFrames * sizeof(double));
  for (; i < nOut; ++i) memset(outputs[i], 0, (size_t)nFrames * sizeof(double));
}

void IFxBase::ProcessMidiMsg(IMidiMsg* pMsg)
{
  SendMidiMsg(pMsg);
}

bool IFxBase::MidiNoteName(int /*noteNumber*/, char* noteName)
{
  *noteName = 0;
  return false;
}

bool IFxBase::SerializeState(ByteChunk* pChunk)
{
  return SerializeParams(pChunk);
}

int IFxBase::UnserializeState(ByteChunk* pChunk, int startPos)
{
  return UnserializeParams(pChunk, startPos);
}

void IFxBase::SetBlockSize(int blockSize)
{
  if (blockSize == mBlockSize) return;
  // Zero, negative and absurd sizes are refused; the old size and buffers stay.
  if (blockSize <= 0 || blockSize > kMaxBlockSize) return;

  const int nIn = NInChannels(), nOut = NOutChannels();
  bool ok = true;
  for (int i = 0; i < nIn; ++i)
  {
    InChannel* pIn = mInChannels.Get(i);
    pIn->mScratchBuf.Resize(blockSize);
    ok = ok && pIn->mScratchBuf.GetSize() == blockSize;
  }
  for (int i = 0; i < nOut; ++i)
  {
    OutChannel* pOut = mOutChannels.Get(i);
    pOut->mScratchBuf.Resize(blockSize);
    ok = ok && pOut->mScratchBuf.GetSize() == blockSize;
  }
  const int size = ok ? blockSize : mBlockSize;
  for (int i = 0; i < nIn; ++i)
  {
    InChannel* pIn = mInChannels.Get(i);
    if (!ok) pIn->mScratchBuf.Resize(size);
    if (pIn->mScratchBuf.GetSize()) memset(pIn->mScratchBuf.Get(), 0, (size_t)size * sizeof(double));
    // A slot never keeps pointing at a scratch block that moved.
    if (!pIn->mConnected || !(pIn->mHostFloat || pIn->mHostDouble)) *pIn->mSrc = pIn->mScratchBuf.Get();
  }
  for (int i = 0; i < nOut; ++i)
  {
    OutChannel* pOut = mOutChannels.Get(i);
    if (!ok) pOut->mScratchBuf.Resize(size);
    if (pOut->mScratchBuf.GetSize()) memset(pOut->mScratchBuf.Get(), 0, (size_t)size * sizeof(double));
    if (!pOut->mConnected || !pOut->mHostDouble) *pOut->mDest = pOut->mScratchBuf.Get();
  }
  if (ok) mBlockSize = blockSize;
}

int IFxBase::GetEffectVersion(bool decimal) const
{
  return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

void IFxBase::GetEffectVersionStr(char* str) const
{
  GetVersionStr(mVersion, str);
}

int IFxBase::GetHostVersion(bool decimal)
{
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IFxBase::GetHostVersionStr(char* str) const
{
  GetVersionStr(mHostVersion, str);
}

void IFxBase::SetHost(const char* host, int version)
{
  mHost = LookUpHost(host);
  mHostVersion = version;
}

double IFxBase::GetSamplesPerBeat()
{
  const double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

bool IFxBase::IsInChannelConnected(int chIdx) const
{
  const InChannel* pIn = mInChannels.Get(chIdx);
  return pIn && pIn->mConnected;
}

bool IFxBase::IsOutChannelConnected(int chIdx) const
{
  const OutChannel* pOut = mOutChannels.Get(chIdx);
  return pOut && pOut->mConnected;
}

bool IFxBase::LegalIO(int nIn, int nOut) const
{
  for (int i = 0; i < mChannelIO.GetSize(); ++i)
  {
    const ChannelIO* pIO = mChannelIO.Get(i);
    if ((nIn < 0 || nIn == pIO->mIn) && (nOut < 0 || nOut == pIO->mOut)) return true;
  }
  return false;
}

void IFxBase::GetChannelIO(int idx, int* pNIn, int* pNOut) const
{
  const ChannelIO* pIO = mChannelIO.Get(idx);
  *pNIn = pIO ? pIO->mIn : 0;
  *pNOut = pIO ? pIO->mOut : 0;
}

void IFxBase::SetInputChannelConnections(int idx, int n, bool connected)
{
  const int iEnd = (int)std::min<int64_t>((int64_t)idx + n, NInChannels());
  for (int i = std::max(idx, 0); i < iEnd; ++i)
  {
    InChannel* pIn = mInChannels.Get(i);
    if (!connected && pIn->mConnected && pIn->mScratchBuf.GetSize())
    {
      // The channel's scratch held its last converted input; an unconnected channel reads silence.
      memset(pIn->mScratchBuf.Get(), 0, (size_t)pIn->mScratchBuf.GetSize() * sizeof(double));
    }
    pIn->mConnected = connected;
    if (!connected)
    {
      pIn->mHostFloat = nullptr;
      pIn->mHostDouble = nullptr;
      *pIn->mSrc = pIn->mScratchBuf.Get();
    }
  }
}

void IFxBase::SetOutputChannelConnections(int idx, int n, bool connected)
{
  const int iEnd = (int)std::min<int64_t>((int64_t)idx + n, NOutChannels());
  for (int i = std::max(idx, 0); i < iEnd; ++i)
  {
    OutChannel* pOut = mOutChannels.Get(i);
    pOut->mConnected = connected;
    if (!connected)
    {
      pOut->mFDest = nullptr;
      pOut->mHostDouble = nullptr;
      *pOut->mDest = pOut->mScratchBuf.Get();
    }
  }
}

// Host buffers are taken in order by the connected channels of the range only. The float inputs are
// converted when the block is processed, in sub-blocks that fit the scratch buffers.
void IFxBase::AttachInputBuffers(int idx, int n, float** ppData, int /*nFrames*/)
{
  const int iEnd = (int)std::min<int64_t>((int64_t)idx + n, NInChannels());
  for (int i = std::max(idx, 0); i < iEnd; ++i)
  {
    InChannel* pIn = mInChannels.Get(i);
    if (!pIn->mConnected) continue;
    const float* pHost = ppData ? *ppData++ : nullptr;
    pIn->mHostFloat = pHost;
    pIn->mHostDouble = nullptr;
    *pIn->mSrc = pIn->mScratchBuf.Get();
    if (!pHost && pIn->mScratchBuf.GetSize())
      memset(pIn->mScratchBuf.Get(), 0, (size_t)pIn->mScratchBuf.GetSize() * sizeof(double));
  }
}

void IFxBase::AttachInputBuffers(int idx, int n, double** ppData, int /*nFrames*/)
{
  const int iEnd = (int)std::min<int64_t>((int64_t)idx + n, NInChannels());
  for (int i = std::max(idx, 0); i < iEnd; ++i)
  {
    InChannel* pIn = mInChannels.Get(i);
    if (!pIn->mConnected) continue;
    const double* pHost = ppData ? *ppData++ : nullptr;
    pIn->mHostFloat = nullptr;
    pIn->mHostDouble = pHost;
    if (pHost)
    {
      *pIn->mSrc = (double*)pHost;
    }
    else
    {
      *pIn->mSrc = pIn->mScratchBuf.Get();
      if (pIn->mScratchBuf.GetSize())
        memset(pIn->mScratchBuf.Get(), 0, (size_t)pIn->mScratchBuf.GetSize() * sizeof(double));
    }
  }
}

void IFxBase::AttachOutputBuffers(int idx, int n, float** ppData)
{
  const int iEnd = (int)std::min<int64_t>((int64_t)idx + n, NOutChannels());
  for (int i = std::max(idx, 0); i < iEnd; ++i)
  {
    OutChannel* pOut = mOutChannels.Get(i);
    if (!pOut->mConnected) continue;
    *pOut->mDest = pOut->mScratchBuf.Get();
    pOut->mFDest = ppData ? *ppData++ : nullptr;
    pOut->mHostDouble = nullptr;
  }
}

void IFxBase::AttachOutputBuffers(int idx, int n, double** ppData)
{
  const int iEnd = (int)std::min<int64_t>((int64_t)idx + n, NOutChannels());
  for (int i = std::max(idx, 0); i < iEnd; ++i)
  {
    OutChannel* pOut = mOutChannels.Get(i);
    if (!pOut->mConnected) continue;
    double* pHost = ppData ? *ppData++ : nullptr;
    pOut->mFDest = nullptr;
    pOut->mHostDouble = pHost;
    *pOut->mDest = pHost ? pHost : pOut->mScratchBuf.Get();
  }
}

void IFxBase::ProcessBuffers(double /*sampleType*/, int nFrames)
{
  ProcessChunks(nFrames, kOutputDouble);
}

void IFxBase::ProcessBuffers(float /*sampleType*/, int nFrames)
{
  ProcessChunks(nFrames, kOutputFloatReplace);
}

void IFxBase::ProcessBuffersAccumulating(float /*sampleType*/, int nFrames)
{
  ProcessChunks(nFrames, kOutputFloatAccumulate);
}

// Points every slot at the memory of the sub-block starting at offset: host doubles directly,
// everything else at the channel's scratch. Float inputs are converted into the scratch here.
void IFxBase::PointSlotsAt(int offset)
{
  const int nIn = NInChannels(), nOut = NOutChannels();
  for (int i = 0; i < nIn; ++i)
  {
    InChannel* pIn = mInChannels.Get(i);
    if (pIn->mConnected && pIn->mHostDouble) *pIn->mSrc = (double*)pIn->mHostDouble + offset;
    else *pIn->mSrc = pIn->mScratchBuf.Get();
  }
  for (int i = 0; i < nOut; ++i)
  {
    OutChannel* pOut = mOutChannels.Get(i);
    if (pOut->mConnected && pOut->mHostDouble) *pOut->mDest = pOut->mHostDouble + offset;
    else *pOut->mDest = pOut->mScratchBuf.Get();
  }
}

void IFxBase::ProcessChunks(int nFrames, int outputMode)
{
  if (nFrames <= 0) return;
  const int nIn = NInChannels(), nOut = NOutChannels();
  const int blockSize = mBlockSize;
  if (blockSize <= 0)
  {
    // Nothing to process into before a block size is set: the host hears silence.
    for (int i = 0; i < nOut; ++i)
    {
      OutChannel* pOut = mOutChannels.Get(i);
      if (!pOut->mConnected) continue;
      if (outputMode == kOutputFloatReplace && pOut->mFDest) memset(pOut->mFDest, 0, (size_t)nFrames * sizeof(float));
      if (outputMode == kOutputDouble && pOut->mHostDouble) memset(pOut->mHostDouble, 0, (size_t)nFrames * sizeof(double));
    }
    return;
  }

  for (int offset = 0; offset < nFrames; offset += blockSize)
  {
    const int n = std::min(blockSize, nFrames - offset);
    PointSlotsAt(offset);
    for (int i = 0; i < nIn; ++i)
    {
      InChannel* pIn = mInChannels.Get(i);
      if (!pIn->mConnected || !pIn->mHostFloat) continue;
      ConvertToDouble(*pIn->mSrc, pIn->mHostFloat + offset, n);
    }

    ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), n);

    if (outputMode == kOutputDouble) continue;
    for (int i = 0; i < nOut; ++i)
    {
      OutChannel* pOut = mOutChannels.Get(i);
      if (!pOut->mConnected || !pOut->mFDest) continue;
      if (outputMode == kOutputFloatAccumulate) AccumulateToFloat(pOut->mFDest + offset, *pOut->mDest, n);
      else ConvertToFloat(pOut->mFDest + offset, *pOut->mDest, n);
    }
  }
}

void IFxBase::LimitToStereoIO()
{
  const int nIn = NInChannels(), nOut = NOutChannels();
  if (nIn > 2) SetInputChannelConnections(2, nIn - 2, false);
  if (nOut > 2) SetOutputChannelConnections(2, nOut - 2, true);
}
