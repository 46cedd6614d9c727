// Kestrovane: construction, parameters, reset and parameter changes.

#include "Kestrovane.h"

#include <cmath>

Kestrovane::Kestrovane(IFxInstanceInfo instanceInfo)
  : IFX_CTOR(kNumParams, kNumPresets, instanceInfo)
{
  for (std::atomic<double>& v : mMeterValues) v.store(0.0, std::memory_order_relaxed);
  for (int i = 0; i < kNumParams; ++i) mParams[i] = GetParam(i);

  mThresholdRamp = new RampedParam(0.001, false);
  mParallelRamp = new RampedParam(0.001, false);
  mCompensationRamp = new RampedParam(0.001, false);
  mKneeRamp = new RampedParam(0.001, false);
  mRangeRamp = new RampedParam(0.001, false);
  mThresholdRamp->SetUnramped(0.0);
  mParallelRamp->SetUnramped(0.0);
  mCompensationRamp->SetUnramped(0.0);
  mRangeRamp->SetUnramped(-40.0);
  mKneeRamp->SetUnramped(0.0);

  InitParams();
  MakeDefaultPreset(nullptr, 1);
  MakeFactoryPresets();

  const double sampleRate = GetSampleRate();
  const long oversampledRate = (long)(4.0 * sampleRate);
  for (EFilter f : { kOversampleInLowPass, kOversampleOutLowPass, kDetectorLowPass1, kDetectorLowPass2 })
  {
    biquadfilter& lp = mFilters[f];
    if (f == kDetectorLowPass1 || f == kDetectorLowPass2) lp.InitializeState();
    lp.SetType(kLowPass);
    lp.SetFreq(f == kOversampleInLowPass || f == kOversampleOutLowPass ? 24000.0 : 21000.0);
    lp.SetS(1.0);
    lp.SetGain(0.0);
    lp.SetSampleRate(oversampledRate);
  }

  // Shelves take the gain before S: their Q follows from the gain in force.
  struct ShelfSetup
  {
    EFilter filter;
    EFilterType type;
    double freq, gain, s;
  };
  const ShelfSetup shelves[] = {
    { kModeLowShelf, kLowShelf, 20.0, -17.0, 0.1 },        // overwritten by "Mode"
    { kModeHighShelf, kHighShelf, 20000.0, 13.0, 0.1 },    // overwritten by "Mode"
    { kModeIIILowShelf, kLowShelf, 40.0, -10.0, 0.4 },
    { kModeIIIHighShelf, kHighShelf, 8000.0, 11.0, 0.4 },
    { kModeIVLowShelf, kLowShelf, 20.0, -15.0, 0.35 },
  };
  for (const ShelfSetup& s : shelves)
  {
    biquadfilter& shelf = mFilters[s.filter];
    shelf.SetType(s.type);
    shelf.SetFreq(s.freq);
    shelf.SetGain(s.gain);
    shelf.SetS(s.s);
    shelf.SetSampleRate((long)sampleRate);
  }

  for (int e = 0; e < kNumEnvelopes; ++e)
  {
    const bool follower = e == kAutoReleaseFollower;
    mEnvelopes[e].setAttack(follower ? 12.0 : 0.01);
    mEnvelopes[e].setRelease(follower ? 30.0 : 300.0);
    mEnvelopes[e].setSampleRate(sampleRate);
  }

  mOversampleGain = kOversampleGain;
  mDetectorGain = kOversampleGain;

  CreateEditor();
  Reset();
  OnParamChange(kThreshold);
}

Kestrovane::~Kestrovane()
{
  delete mThresholdRamp;
  delete mParallelRamp;
  delete mCompensationRamp;
  delete mKneeRamp;
  delete mRangeRamp;
}

void Kestrovane::InitParams()
{
  struct DoubleParam
  {
    int idx;
    const char* name;
    double def, min, max, step;
    const char* label;
    double shape;
  };
  const DoubleParam doubles[] = {
    { kThreshold, "Threshold", 0.0, -60.0, 0.0, 0.1, "dB", 0.5 },
    { kRatio, "Ratio", 2.0, 1.0, 20.0, 0.01, ":1", 1.5 },
    { kRange, "Range", -40.0, -40.0, 0.0, 0.1, "dB", 0.5 },
    { kCompensation, "Compensation", 0.0, -20.0, 20.0, 0.1, "dB", 1.0 },
    { kAttack, "Attack", 20.0, 0.01, 100.0, 0.01, "mS", 1.5 },
    { kRelease, "Release", 200.0, 1.0, 2000.0, 0.1, "mS", 1.5 },
    { kRMSSize, "RMS Size", 20.0, 0.1, 300.0, 0.1, "mS", 1.7 },
    { kKnee, "Knee", 3.0, 0.0, 20.0, 0.1, "dB", 1.7 },
    { kParallel, "Parallel", 0.0, 0.0, 100.0, 0.01, "%", 1.0 },
    { kSag, "Sag", 0.0, 0.0, 100.0, 0.01, "%", 1.0 },
    { kDrive, "Drive", 0.0, 0.0, 100.0, 0.01, "%", 1.0 },
  };
  for (const DoubleParam& d : doubles)
  {
    IParam* p = GetParam(d.idx);
    p->InitDouble(d.name, d.def, d.min, d.max, d.step, d.label);
    p->SetShape(d.shape);
  }

  struct EnumParamDecl
  {
    int idx;
    const char* name;
    const char* texts[5];
  };
  const EnumParamDecl enums[] = {
    { kMode, "Mode", { "I", "II", "III", "IV", "Flat" } },
    { kTopology, "Topology", { "Feedforward", "Feedback" } },
    { kOversample, "Oversample", { "Off", "On" } },
    { kSidechain, "Sidechain", { "Off", "On" } },
    { kAutoRelease, "Auto Release", { "Off", "Slow", "Fast", "Zorl" } },
  };
  for (const EnumParamDecl& e : enums)
  {
    int n = 0;
    while (n < 5 && e.texts[n]) ++n;
    IParam* p = GetParam(e.idx);
    p->InitEnum(e.name, 0, n);
    for (int i = 0; i < n; ++i) p->SetDisplayText(i, e.texts[i]);
  }
}

double Kestrovane::DetectorRate() const
{
  return Oversampling() ? 4.0 * GetSampleRate() : GetSampleRate();
}

// Everything that runs once per sub-step follows the oversampling; the input and output meters run
// once per sample.
void Kestrovane::SetDetectorRates()
{
  const double rate = DetectorRate();
  mComp.setSampleRate(rate);
  for (EFilter f : { kModeLowShelf, kModeHighShelf, kModeIIILowShelf, kModeIIIHighShelf, kModeIVLowShelf })
    mFilters[f].SetSampleRate((long)rate);
  mEnvelopes[kAutoReleaseFollower].setSampleRate(rate);
  mEnvelopes[kGainReductionMeterEnvelope].setSampleRate(rate);
  mEnvelopes[kInputMeterEnvelope].setSampleRate(GetSampleRate());
  mEnvelopes[kOutputMeterEnvelope].setSampleRate(GetSampleRate());
}

void Kestrovane::Reset()
{
  KIT_MutexScope lock(GetMutex());
  mComp.initRuntime();
  SetDetectorRates();
  const long oversampledRate = (long)(4.0 * GetSampleRate());
  for (EFilter f : { kOversampleInLowPass, kOversampleOutLowPass, kDetectorLowPass1, kDetectorLowPass2 })
    mFilters[f].SetSampleRate(oversampledRate);
  for (double& s : mEnvelopeStates) s = 0.0;
  // A reset (or a new rate) starts a new stream: no filter and no detector input keeps a tail of
  // the old one.
  for (biquadfilter& f : mFilters) f.InitializeState();
  mFeedback[0] = mFeedback[1] = 0.0;

  mThresholdRamp->SetUnramped(GetParam(kThreshold)->Value());
  mKneeRamp->SetUnramped(GetParam(kKnee)->Value());
  mRangeRamp->SetUnramped(GetParam(kRange)->Value());
  mParallelRamp->SetUnramped(GetParam(kParallel)->Value());
  mCompensationRamp->SetUnramped(GetParam(kCompensation)->Value());

  for (int i = 0; i < kNumParams; ++i) OnParamChange(i);
  InterpolateControls();
}

void Kestrovane::OnParamChange(int paramIdx)
{
  KIT_MutexScope lock(GetMutex());
  const IParam* pParam = GetParam(paramIdx);
  if (!pParam) return;
  const double v = pParam->Value();

  switch (paramIdx)
  {
    case kThreshold: mThresholdRamp->SetTarget(v); break;
    case kRatio: mComp.setRatio(v); break;
    case kRange: mRangeRamp->SetTarget(v); break;
    case kCompensation: mCompensationRamp->SetTarget(v); break;
    case kAttack: mComp.setAttack(v); break;
    case kRelease: mComp.setRelease(v); break;
    case kRMSSize: mComp.setWindow(v); break;
    case kKnee: mKneeRamp->SetTarget(v); break;
    case kParallel: mParallelRamp->SetTarget(v); break;
    case kMode:
    {
      // Modes I and II share one pair of shelves; the other modes leave it as it stands.
      const int mode = EnumParam(kMode);
      if (mode != kModeI && mode != kModeII) break;
      biquadfilter& low = mFilters[kModeLowShelf];
      biquadfilter& high = mFilters[kModeHighShelf];
      const bool one = mode == kModeI;
      low.SetFreq(one ? 20.0 : 100.0);
      low.SetGain(one ? -19.0 : -14.0);
      low.SetS(one ? 0.1 : 0.4);
      high.SetFreq(one ? 20000.0 : 12000.0);
      high.SetGain(one ? 19.0 : 16.0);
      high.SetS(one ? 0.1 : 0.4);
      break;
    }
    case kSag:
      mSag.SetAmount(std::pow(1.11, v) / std::pow(1.11, 100.0));
      mSagActive = v > 0.0;
      break;
    case kDrive:
      mDrive.SetAmount(0.3 * std::pow(1.11, v) / std::pow(1.11, 100.0));
      mDriveActive = v > 0.0;
      break;
    case kOversample: SetDetectorRates(); break;
    case kAutoRelease:
    {
      const int autoRelease = EnumParam(kAutoRelease);
      mComp.setInstant(autoRelease == kAutoReleaseZorl);
      // Back to manual release: the compressor takes the "Release" time again instead of keeping
      // the last automatic one.
      if (autoRelease == kAutoReleaseOff) mComp.setRelease(GetParam(kRelease)->Value());
      break;
    }
    default: break;  // "Topology" and "Sidechain" are read per sample
  }

  UpdateEditor(paramIdx);
}
