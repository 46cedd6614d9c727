// Kestrovane: the audio processing and the smoothed parameters.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "Kestrovane.h"
#include "KestrovaneShapers.h"

namespace
{
using kvshapers::Ceiled;
using kvshapers::Driven;
using kvshapers::Sagged;

// A block's buffers from one of its frames on.
struct BlockRest
{
  double* in[4];
  double* out[2];
  BlockRest(double** inputs, double** outputs, int from)
  {
    for (int c = 0; c < 4; ++c) in[c] = inputs[c] ? inputs[c] + from : nullptr;
    for (int c = 0; c < 2; ++c) out[c] = outputs[c] ? outputs[c] + from : nullptr;
  }
};

// A level meter's value from its linear envelope: -60 dB to 0 dB on a square law.
double LevelMeterValue(double e)
{
  double j;
  const double dB = 20.0 * std::log10(e);
  if (e < 1e-15 || dB < -60.0) j = 0.0;
  else if (dB > 0.0) j = 60.0;
  else j = dB + 60.0;
  const double v = (j / 60.0) * (j / 60.0);
  return std::isfinite(v) ? v : 0.0;
}

// The reduction meter's value from its envelope in dB of reduction: 0 without reduction, 1 at
// 40 dB or more.
double ReductionMeterValue(double state)
{
  double x = -state;
  if (x >= -40.0 || std::isnan(x)) x = x > 0.0 ? 40.0 : x + 40.0;
  else x = 0.0;
  const double v = 1.0 - (x / 40.0) * (x / 40.0);
  return std::isfinite(v) ? v : 0.0;
}
}  // namespace

void Kestrovane::InterpolateControls()
{
  mThresholdRamp->Ramp();
  mKneeRamp->Ramp();
  mRangeRamp->Ramp();
  mParallelRamp->Ramp();
  mCompensationRamp->Ramp();

  mComp.setThresh(mThresholdRamp->Value());
  mComp.setKnee(mKneeRamp->Value());
  mComp.setRange(-mRangeRamp->Value());  // the gain computer's range is a positive depth
  // Derived values of an unchanged setting are the same values: they are worked out again only
  // while a ramp runs.
  const double parallel = mParallelRamp->Value();
  if (!(parallel == mParallelFrom))
  {
    mParallelFrom = parallel;
    mParallel = parallel / 100.0;
    mDirectMix = 1.0 - mParallel;
  }
  const double compensation = mCompensationRamp->Value();
  if (!(compensation == mMakeupFromDb))
  {
    mMakeupFromDb = compensation;
    mMakeup = std::exp(0.11512925464970228 * compensation);
  }
}

bool Kestrovane::AnyRampRunning() const
{
  return mThresholdRamp->IsRamping() || mKneeRamp->IsRamping() || mRangeRamp->IsRamping() ||
         mParallelRamp->IsRamping() || mCompensationRamp->IsRamping();
}

void Kestrovane::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  const bool stereo = IsInChannelConnected(1);
  mMono = !stereo;
  // With a feedforward detector and settled controls nothing in the detector path depends on the
  // audio path, so the block can run stage by stage, which lets the processor overlap the samples'
  // work. It gives the same samples, bit for bit, as the sample-by-sample form.
  const bool staged = mStagedProcessing && EnumParam(kTopology) == kFeedforward && !AnyRampRunning();
  if (staged)
  {
    // Silence into a signal path at rest: one frame shows whether it stays at rest, and if it
    // does, every further frame of the silence gives that frame's output and leaves the state.
    // Silence runs tested from the start: its filters decay to zeros, which would send the
    // untested form back at once.
    int done = 0;
    const bool silent = SilentInput(inputs, nFrames, stereo);
    if (silent)
    {
      SignalState before, after;
      CaptureSignalState(&before);
      ProcessStagedForm(stereo, inputs, outputs, 1, true);
      CaptureSignalState(&after);
      done = 1;
      if (memcmp(&before, &after, sizeof before) == 0)
      {
        for (int c = 0; c < (stereo ? 2 : 1); ++c) std::fill(outputs[c] + 1, outputs[c] + nFrames, outputs[c][0]);
        done = nFrames;
      }
    }
    if (done < nFrames)
    {
      BlockRest rest(inputs, outputs, done);
      ProcessStagedForm(stereo, rest.in, rest.out, nFrames - done, silent);
    }
  }
  else if (stereo) ProcessFrames<true>(inputs, outputs, nFrames);
  else ProcessFrames<false>(inputs, outputs, nFrames);
  PublishMeters();
  ShowMeters();
}

void Kestrovane::ProcessStagedForm(bool stereo, double** inputs, double** outputs, int nFrames, bool tested)
{
  const bool os = Oversampling();
  if (stereo && os) ProcessStagedBlock<true, true>(inputs, outputs, nFrames, tested);
  else if (stereo) ProcessStagedBlock<true, false>(inputs, outputs, nFrames, tested);
  else if (os) ProcessStagedBlock<false, true>(inputs, outputs, nFrames, tested);
  else ProcessStagedBlock<false, false>(inputs, outputs, nFrames, tested);
}

template <bool kStereo, bool kOs>
void Kestrovane::ProcessStagedBlock(double** inputs, double** outputs, int nFrames, bool tested)
{
  // The widest encoding the processor has; AVX only oversampled, where it measured faster.
  const bool avx512 = mEncoding >= kEncodingAvx512, avx = kOs && mEncoding == kEncodingAvx;
  const auto form = [&](auto testedC, double** in, double** out, int n) {
    constexpr bool kTested = decltype(testedC)::value;
    if (avx512) return ProcessStagedAvx512<kStereo, kOs, kTested>(in, out, n);
    if (avx) return ProcessStagedAvx<kStereo, kTested>(in, out, n);
    return ProcessStaged<kStereo, kOs, kTested>(in, out, n);
  };
  const int done = tested ? 0 : form(std::false_type(), inputs, outputs, nFrames);
  if (done == nFrames) return;
  BlockRest rest(inputs, outputs, done);
  form(std::true_type(), rest.in, rest.out, nFrames - done);
}

// Whether every sample the signal path reads is zero or subnormal: the path reads them all as +0.
bool Kestrovane::SilentInput(double** inputs, int nFrames, bool stereo) const
{
  const bool external = EnumParam(kSidechain) >= 1 && IsInChannelConnected(2);
  for (int c = 0; c < 4; ++c)
  {
    if ((c == 1 || c == 3) && !stereo) continue;
    if (c >= 2 && !external) continue;
    for (int i = 0; i < nFrames; ++i)
      if (!(std::fabs(inputs[c][i]) < DBL_MIN)) return false;
  }
  return true;
}

void Kestrovane::CaptureSignalState(SignalState* s) const
{
  memset(s, 0, sizeof *s);
  double* v = s->v;
  for (const biquadfilter& f : mFilters)
    for (int c = 0; c < 2; ++c)
    {
      const biquadfilter::State st = f.GetState(c);
      *v++ = st.x1;
      *v++ = st.x2;
      *v++ = st.y1;
      *v++ = st.y2;
    }
  for (double e : mEnvelopeStates) *v++ = e;
  *v++ = mFeedback[0];
  *v++ = mFeedback[1];
  *v++ = mComp.getAveOfSqrs();
  *v++ = mComp.getEnvdB();
  *v++ = mComp.getGRdb();
  *v++ = mComp.getRelease();
  *v++ = mEnvelopes[kAutoReleaseFollower].getRelease();
}

// ----- The steps of one sub-step, shared by both forms -----

// One sample of the left channel, and in stereo of the right one, through a filter.
template <bool kStereo>
KV_HOT_INLINE void Filter(biquadfilter& f, double& l, double& r)
{
  if (kStereo) f.ProcessPair(l, r);
  else l = f.Process(0, l);
}

// Sub-step j of frame i: the sample itself on the first sub-step, zeros after it (zero-stuffing);
// with oversampling the main pair passes the input low-pass and all four take the gain. In mono
// only input 0 and sidechain input 2 are read, and the right channel's states rest.
template <bool kStereo>
KV_HOT_INLINE void Kestrovane::SubSample(double** inputs, int i, int j, bool os, double* x)
{
  x[0] = x[1] = x[2] = x[3] = 0.0;
  if (j == 0)
  {
    x[0] = FlushDenormal(inputs[0][i]);
    x[2] = FlushDenormal(inputs[2][i]);
    if (kStereo)
    {
      x[1] = FlushDenormal(inputs[1][i]);
      x[3] = FlushDenormal(inputs[3][i]);
    }
  }
  if (!os) return;
  Filter<kStereo>(mFilters[kOversampleInLowPass], x[0], x[1]);
  for (int c = 0; c < 4; ++c) x[c] *= mOversampleGain;
}

// The detector's mean square from its two inputs: mode shelves, "Sag", and with oversampling the
// detector low-pass. Mono counts its one channel twice, so mono and stereo read alike.
template <bool kStereo>
KV_HOT_INLINE double Kestrovane::DetectorMeanSquare(double dL, double dR, int mode, bool os)
{
  dL = Ceiled(dL);
  if (kStereo) dR = Ceiled(dR);
  biquadfilter* chain[2] = { nullptr, nullptr };
  switch (mode)
  {
    case kModeI:
    case kModeII: chain[0] = &mFilters[kModeLowShelf]; chain[1] = &mFilters[kModeHighShelf]; break;
    case kModeIII: chain[0] = &mFilters[kModeIIILowShelf]; chain[1] = &mFilters[kModeIIIHighShelf]; break;
    case kModeIV: chain[0] = &mFilters[kModeIVLowShelf]; break;
    default: break;  // "Flat"
  }
  for (biquadfilter* f : chain)
  {
    if (!f) break;
    Filter<kStereo>(*f, dL, dR);
  }
  if (mSagActive)
  {
    dL = Sagged(dL, mSag.k1, mSag.k2);
    if (kStereo) dR = Sagged(dR, mSag.k1, mSag.k2);
  }
  if (os)
  {
    Filter<kStereo>(mFilters[kDetectorLowPass1], dL, dR);
    Filter<kStereo>(mFilters[kDetectorLowPass2], dL, dR);
    dL *= mDetectorGain;
    dR *= mDetectorGain;
  }
  return FlushDenormal(kStereo ? dL * dL + dR * dR : 2.0 * (dL * dL));
}

// The gain computer on the key of one mean square, the reduction meter and the automatic
// release; returns the gain as a linear factor.
KV_HOT_INLINE double Kestrovane::GainStep(double keydB, int autoRelease)
{
  const double grLin = mComp.gainForKey(keydB);
  const double grdB = mComp.getGRdb();
  mEnvelopes[kGainReductionMeterEnvelope].run(FlushDenormal(-grdB), mEnvelopeStates[kGainReductionMeterEnvelope], 0.0);
  if (autoRelease != kAutoReleaseOff)
  {
    // A new peak of reduction sets the release time from its depth.
    simpledyn::AttRelEnvelope& follower = mEnvelopes[kAutoReleaseFollower];
    double& state = mEnvelopeStates[kAutoReleaseFollower];
    const double x = grdB > 0.0 ? 0.0 : -grdB;
    follower.run(x, state, 0.0);
    if (x > state)
    {
      state = x;
      const double t = AutoReleaseMs(autoRelease, x);
      mComp.setRelease(t);
      follower.setRelease(t);
    }
  }
  return grLin;
}

// "Drive", the reduction, make-up and the parallel mix for one sample of each channel; with
// oversampling the result passes the output low-pass. x holds the sub-sample, out the result.
template <bool kStereo>
KV_HOT_INLINE void Kestrovane::MixOut(const double* x, double grLin, bool os, double* driven, double* out)
{
  for (int c = 0; c < (kStereo ? 2 : 1); ++c)
  {
    driven[c] = mDriveActive ? Driven(x[c], mDrive.b, mDrive.k1, mDrive.k2) : x[c];
    out[c] = mDirectMix * (mMakeup * (grLin * driven[c])) + mParallel * x[c];
  }
  if (os) Filter<kStereo>(mFilters[kOversampleOutLowPass], out[0], out[1]);
}

// The end of a frame: decimation (only the last sub-step's value reaches the output), the output
// meter and the output buffers.
template <bool kStereo>
KV_HOT_INLINE void Kestrovane::WriteFrame(double** outputs, int i, bool os, double* out)
{
  if (os)
  {
    out[0] *= mOversampleGain;
    out[1] *= mOversampleGain;
  }
  const double level = kStereo ? std::max(std::fabs(out[0]), std::fabs(out[1])) : std::fabs(out[0]);
  mEnvelopes[kOutputMeterEnvelope].run(FlushDenormal(level), mEnvelopeStates[kOutputMeterEnvelope], 0.0);
  outputs[0][i] = out[0];
  if (kStereo) outputs[1][i] = out[1];
}

template <bool kStereo>
KV_HOT_INLINE void Kestrovane::InputMeter(double** inputs, int i)
{
  const double level = kStereo ? std::max(std::fabs(inputs[0][i]), std::fabs(inputs[1][i])) : std::fabs(inputs[0][i]);
  mEnvelopes[kInputMeterEnvelope].run(FlushDenormal(level), mEnvelopeStates[kInputMeterEnvelope], 0.0);
}

// ----- Sample by sample: the plain form -----

template <bool kStereo>
void Kestrovane::ProcessFrames(double** inputs, double** outputs, int nFrames)
{
  const bool sidechainConnected = IsInChannelConnected(2);
  for (int i = 0; i < nFrames; ++i)
  {
    InputMeter<kStereo>(inputs, i);
    double out[2] = { 0.0, 0.0 };
    for (int j = 0; j < (Oversampling() ? 4 : 1); ++j)
    {
      InterpolateControls();
      // The switches are read afresh at every sub-step.
      const bool os = Oversampling();
      double x[4];
      SubSample<kStereo>(inputs, i, j, os, x);

      const int topology = EnumParam(kTopology);
      if (topology == kFeedforward)
      {
        mFeedback[0] = x[0];
        mFeedback[1] = x[1];
      }
      const bool external = EnumParam(kSidechain) >= 1 && sidechainConnected;
      const double dL = external ? FlushDenormal(x[2]) : mFeedback[0];
      const double dR = external ? FlushDenormal(x[3]) : mFeedback[1];
      const double m = DetectorMeanSquare<kStereo>(dL, dR, EnumParam(kMode), os);
      const double grLin = GainStep(mComp.keyFor(m), EnumParam(kAutoRelease));

      double driven[2] = { 0.0, 0.0 };
      MixOut<kStereo>(x, grLin, os, driven, out);
      if (topology == kFeedback)
      {
        // Used from the next sub-step on; a sample that is not finite leaves the loop at rest.
        mFeedback[0] = FlushState(grLin * driven[0], 0.0);
        mFeedback[1] = FlushState(grLin * driven[1], 0.0);
      }
    }
    WriteFrame<kStereo>(outputs, i, Oversampling(), out);
  }
}

void Kestrovane::PublishMeters()
{
  mMeterValues[kInputMeter].store(LevelMeterValue(mEnvelopeStates[kInputMeterEnvelope]), std::memory_order_relaxed);
  mMeterValues[kOutputMeter].store(LevelMeterValue(mEnvelopeStates[kOutputMeterEnvelope]), std::memory_order_relaxed);
  mMeterValues[kGainReductionMeter].store(ReductionMeterValue(mEnvelopeStates[kGainReductionMeterEnvelope]),
                                          std::memory_order_relaxed);
}
