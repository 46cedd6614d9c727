// Kestrovane: the audio processing and the smoothed parameters.

#include <algorithm>
#include <cmath>

#include "Kestrovane.h"

namespace
{
const double kPi = 3.141592653589793;

// "Drive" on the audio: a soft fold, blended with a sine of itself by the depth b.
inline double Driven(double x, double b, double k1, double k2)
{
  const double y = x * k1 * (1.0 - std::fabs(x * k2));
  return (1.0 - 1.5 * b) * y + 1.5 * b * std::sin(y * kPi / 2.0);
}

// "Sag" on the detector: the same fold through a sine; it folds back over for large levels.
inline double Sagged(double d, double k1, double k2)
{
  return FlushDenormal(std::sin(d * k1 * (1.0 - std::fabs(d * k2)) * kPi / 2.0));
}

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
  mParallel = mParallelRamp->Value() / 100.0;
  mDirectMix = 1.0 - mParallel;
  // exp of an unchanged compensation is the same value; it changes only while its ramp runs.
  const double compensation = mCompensationRamp->Value();
  if (!(compensation == mMakeupFromDb))
  {
    mMakeupFromDb = compensation;
    mMakeup = std::exp(0.11512925464970228 * compensation);
  }
}

void Kestrovane::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  const bool stereo = IsInChannelConnected(1);
  mMono = !stereo;
  if (stereo) ProcessFrames<true>(inputs, outputs, nFrames);
  else ProcessFrames<false>(inputs, outputs, nFrames);
  PublishMeters();
}

// In mono only input 0 and sidechain input 2 are read and only output 0 is written; the right
// channel's filter states rest.
template <bool kStereo>
void Kestrovane::ProcessFrames(double** inputs, double** outputs, int nFrames)
{
  const double* in0 = inputs[0];
  const double* in1 = inputs[1];
  const double* in2 = inputs[2];
  const double* in3 = inputs[3];
  double* out0 = outputs[0];
  double* out1 = outputs[1];
  const bool sidechainConnected = IsInChannelConnected(2);

  biquadfilter& osIn = mFilters[kOversampleInLowPass];
  biquadfilter& osOut = mFilters[kOversampleOutLowPass];
  biquadfilter& det1 = mFilters[kDetectorLowPass1];
  biquadfilter& det2 = mFilters[kDetectorLowPass2];
  biquadfilter& modeLow = mFilters[kModeLowShelf];
  biquadfilter& modeHigh = mFilters[kModeHighShelf];
  biquadfilter& modeIIILow = mFilters[kModeIIILowShelf];
  biquadfilter& modeIIIHigh = mFilters[kModeIIIHighShelf];
  biquadfilter& modeIVLow = mFilters[kModeIVLowShelf];
  simpledyn::AttRelEnvelope& follower = mEnvelopes[kAutoReleaseFollower];
  double& followerState = mEnvelopeStates[kAutoReleaseFollower];

  for (int i = 0; i < nFrames; ++i)
  {
    const double inLevel = kStereo ? std::max(std::fabs(in0[i]), std::fabs(in1[i])) : std::fabs(in0[i]);
    mEnvelopes[kInputMeterEnvelope].run(FlushDenormal(inLevel), mEnvelopeStates[kInputMeterEnvelope], 0.0);

    double outL = 0.0, outR = 0.0;
    for (int j = 0; j < (Oversampling() ? 4 : 1); ++j)
    {
      InterpolateControls();

      // The sample itself on the first sub-step, zeros after it (zero-stuffing).
      double L = 0.0, R = 0.0, S0 = 0.0, S1 = 0.0;
      if (j == 0)
      {
        L = FlushDenormal(in0[i]);
        S0 = FlushDenormal(in2[i]);
        if (kStereo)
        {
          R = FlushDenormal(in1[i]);
          S1 = FlushDenormal(in3[i]);
        }
      }
      if (Oversampling())
      {
        L = osIn.Process(0, L);
        if (kStereo) R = osIn.Process(1, R);
        L *= mOversampleGain;
        R *= mOversampleGain;
        S0 *= mOversampleGain;
        S1 *= mOversampleGain;
      }
      const double dryL = L, dryR = R;

      const int topology = EnumParam(kTopology);
      if (topology == kFeedforward)
      {
        mFeedback[0] = L;
        mFeedback[1] = R;
      }

      double dL, dR;
      if (EnumParam(kSidechain) >= 1 && sidechainConnected)
      {
        dL = FlushDenormal(S0);
        dR = FlushDenormal(S1);
      }
      else
      {
        dL = mFeedback[0];
        dR = mFeedback[1];
      }

      double drivenL = L, drivenR = R;
      if (mDriveActive)
      {
        drivenL = Driven(L, mDrive.b, mDrive.k1, mDrive.k2);
        if (kStereo) drivenR = Driven(R, mDrive.b, mDrive.k1, mDrive.k2);
      }

      switch (EnumParam(kMode))
      {
        case kModeI:
        case kModeII:
          dL = modeHigh.Process(0, modeLow.Process(0, dL));
          if (kStereo) dR = modeHigh.Process(1, modeLow.Process(1, dR));
          break;
        case kModeIII:
          dL = modeIIIHigh.Process(0, modeIIILow.Process(0, dL));
          if (kStereo) dR = modeIIIHigh.Process(1, modeIIILow.Process(1, dR));
          break;
        case kModeIV:
          dL = modeIVLow.Process(0, dL);
          if (kStereo) dR = modeIVLow.Process(1, dR);
          break;
        default: break;  // "Flat"
      }

      if (mSagActive)
      {
        dL = Sagged(dL, mSag.k1, mSag.k2);
        if (kStereo) dR = Sagged(dR, mSag.k1, mSag.k2);
      }

      if (Oversampling())
      {
        dL = det2.Process(0, det1.Process(0, dL)) * mDetectorGain;
        if (kStereo) dR = det2.Process(1, det1.Process(1, dR)) * mDetectorGain;
      }
      // Mono counts its one detector channel twice, so mono and stereo read alike.
      const double m = FlushDenormal(kStereo ? dL * dL + dR * dR : 2.0 * (dL * dL));

      const double grLin = mComp.process(m);
      const double grdB = mComp.getGRdb();
      mEnvelopes[kGainReductionMeterEnvelope].run(FlushDenormal(-grdB), mEnvelopeStates[kGainReductionMeterEnvelope], 0.0);

      const int autoRelease = EnumParam(kAutoRelease);
      if (autoRelease != kAutoReleaseOff)
      {
        // A new peak of reduction sets the release time from its depth.
        const double x = grdB > 0.0 ? 0.0 : -grdB;
        follower.run(x, followerState, 0.0);
        if (x > followerState)
        {
          followerState = x;
          const double t = autoRelease == kAutoReleaseSlow ? std::max(2.0 * x, 12.0) : std::max(0.8 * x, 12.0);
          mComp.setRelease(t);
          follower.setRelease(t);
        }
      }

      if (topology == kFeedback)
      {
        // Used from the next sub-step on; a sample that is not finite leaves the loop at rest.
        mFeedback[0] = FlushState(grLin * drivenL, 0.0);
        mFeedback[1] = FlushState(grLin * drivenR, 0.0);
      }

      outL = mDirectMix * (mMakeup * (grLin * drivenL)) + mParallel * dryL;
      if (kStereo) outR = mDirectMix * (mMakeup * (grLin * drivenR)) + mParallel * dryR;
      if (Oversampling())
      {
        outL = osOut.Process(0, outL);
        if (kStereo) outR = osOut.Process(1, outR);
      }
    }
    // Decimation: only the last sub-step's value reaches the output.
    if (Oversampling())
    {
      outL *= mOversampleGain;
      outR *= mOversampleGain;
    }

    const double outLevel = kStereo ? std::max(std::fabs(outL), std::fabs(outR)) : std::fabs(outL);
    mEnvelopes[kOutputMeterEnvelope].run(FlushDenormal(outLevel), mEnvelopeStates[kOutputMeterEnvelope], 0.0);

    out0[i] = outL;
    if (kStereo) out1[i] = outR;
  }
}

void Kestrovane::PublishMeters()
{
  mMeterValues[kInputMeter].store(LevelMeterValue(mEnvelopeStates[kInputMeterEnvelope]), std::memory_order_relaxed);
  mMeterValues[kOutputMeter].store(LevelMeterValue(mEnvelopeStates[kOutputMeterEnvelope]), std::memory_order_relaxed);
  mMeterValues[kGainReductionMeter].store(ReductionMeterValue(mEnvelopeStates[kGainReductionMeterEnvelope]),
                                          std::memory_order_relaxed);
}
