#pragma once
// The Kestrovane bus compressor: its parameters and factory presets, its signal path (optional 4x
// oversampling, internal or external sidechain detector with mode shelves and "Sag", RMS gain
// computer with automatic release, "Drive", parallel mix and make-up gain) and its meters.

#include <algorithm>
#include <atomic>
#include <cmath>

#include "KestrovaneApi.h"
#include "RampedParam.h"
#include "SimpleComp.h"
#include "biquadfilter.h"

class IControl;
class IDetentKnob;
class IOdometerControl;

class Kestrovane : public IFxAPI
{
public:
  enum EParams
  {
    kThreshold = 0,
    kRatio,
    kRange,
    kCompensation,
    kAttack,
    kRelease,
    kRMSSize,
    kKnee,
    kParallel,
    kMode,
    kTopology,
    kSag,
    kDrive,
    kOversample,
    kSidechain,
    kAutoRelease,
    kNumParams
  };
  enum { kNumPresets = 120 };

  enum EMode { kModeI = 0, kModeII, kModeIII, kModeIV, kModeFlat };
  enum ETopology { kFeedforward = 0, kFeedback };
  enum EAutoRelease { kAutoReleaseOff = 0, kAutoReleaseSlow, kAutoReleaseFast, kAutoReleaseZorl };

  // The filters of the signal path.
  enum EFilter
  {
    kOversampleInLowPass = 0,
    kOversampleOutLowPass,
    kDetectorLowPass1,  // the detector's low-pass, first and second section in series
    kDetectorLowPass2,
    kModeLowShelf,      // modes I and II
    kModeHighShelf,
    kModeIIILowShelf,
    kModeIIIHighShelf,
    kModeIVLowShelf,
    kNumFilters
  };

  // The attack/release envelopes besides the compressor's own.
  enum EEnvelope
  {
    kAutoReleaseFollower = 0,
    kInputMeterEnvelope,
    kOutputMeterEnvelope,
    kGainReductionMeterEnvelope,
    kNumEnvelopes
  };

  enum EMeter { kInputMeter = 0, kOutputMeter, kGainReductionMeter, kNumMeters };

  // 10^0.3: makes up the level the 4x zero-stuffing loses, around the audio path and in the detector.
  static constexpr double kOversampleGain = 1.9952623149688795;

  explicit Kestrovane(IFxInstanceInfo instanceInfo);
  ~Kestrovane() override;

  void Reset() override;
  void OnParamChange(int paramIdx) override;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  // Advances the five smoothed parameters one step and hands them to the gain computer.
  void InterpolateControls();

  // The meter values of the last block, 0 to 1, as the editor's meters show them. Written by the
  // audio thread at the end of each block, read from any thread.
  double GetMeterValue(EMeter meter) const { return mMeterValues[meter].load(std::memory_order_relaxed); }

  // The editor's controls the product keeps: null without an editor.
  IControl* GetMeterControl(EMeter meter) const { return mMeters[meter]; }
  IOdometerControl* GetReadout(int paramIdx) const
  {
    return paramIdx >= 0 && paramIdx < kNumParams ? mReadouts[paramIdx] : nullptr;
  }
  IControl* GetAutoReleaseIndicator() const { return mAutoReleaseIndicator; }
  IControl* GetInstantAttackIndicator() const { return mInstantAttackIndicator; }
  IDetentKnob* GetModeKnob() const { return mModeKnob; }

  // Read-only views of the signal path, for tests and tools.
  const simpledyn::SimpleCompRms& GetCompressor() const { return mComp; }
  const biquadfilter& GetFilter(EFilter f) const { return mFilters[f]; }
  const simpledyn::AttRelEnvelope& GetEnvelope(EEnvelope e) const { return mEnvelopes[e]; }
  double GetEnvelopeState(EEnvelope e) const { return mEnvelopeStates[e]; }
  double GetMakeupGain() const { return mMakeup; }
  double GetParallelMix() const { return mParallel; }

  // Selects the stage-by-stage form where it applies (the default); off runs every block sample by
  // sample. Both give the same output; tests compare them.
  void SetStagedProcessing(bool on) { mStagedProcessing = on; }
  // The instruction sets the staged form may use, the widest the processor and the system have
  // by default. Every encoding gives the same output; tests compare them.
  enum EEncoding { kEncodingBaseline, kEncodingAvx, kEncodingAvx512 };
  static EEncoding CpuEncoding();
  void SetWidestEncoding(EEncoding e) { mEncoding = std::min(e, CpuEncoding()); }

  // An enumerated or switch parameter as the signal path reads it: the nearest integer, so that a
  // host value between two steps still selects one of them. Read afresh at every use.
  int EnumParam(int paramIdx) const
  {
    const double v = mParams[paramIdx]->Value() + 0.5;
    return v >= 0.0 ? (int)v : (int)std::floor(v);
  }

private:
  // The saturation shapers of "Drive" and "Sag": depth b and the two coefficients.
  struct Shaper
  {
    double b = 0.0, k1 = 1.0, k2 = 0.0;
    void SetAmount(double b_)
    {
      b = b_;
      k1 = 1.0 / (1.0 - b / 2.0);
      k2 = b / 2.0;
    }
  };

  void InitParams();
  void MakeFactoryPresets();
  void MakeFactoryPreset(const char* name, double threshold, double ratio, double range, double compensation,
                         double attack, double release, double rmsSize, double knee, int mode, int topology,
                         double sag, double drive, int autoRelease, double parallel = 0.0);
  // The rate of everything that runs once per sub-step: four times the sample rate with "Oversample" on.
  double DetectorRate() const;
  void SetDetectorRates();
  bool Oversampling() const { return EnumParam(kOversample) == 1; }

  bool AnyRampRunning() const;
  // The release time a new peak of reduction x dB deep sets with the automatic release on.
  static double AutoReleaseMs(int autoRelease, double x)
  {
    return autoRelease == kAutoReleaseSlow ? std::max(2.0 * x, 12.0) : std::max(0.8 * x, 12.0);
  }
  // The two forms of the processing: sample by sample, and stage by stage for blocks whose
  // detector does not hear the audio path (feedforward, settled controls).
  template <bool kStereo>
  void ProcessFrames(double** inputs, double** outputs, int nFrames);
  // The staged form untested (kTested false) goes as far as every filter output it meets is a
  // normal finite number and returns the frames it did, which the tested form would have done
  // alike; the tested form does them all.
  template <bool kStereo, bool kOversampled, bool kTested>
  int ProcessStaged(double** inputs, double** outputs, int nFrames);
  // ProcessStaged in wider encodings, for processors that have them. The arithmetic is the same
  // (no fused multiply-adds), and so is the output. AVX-512 gives the passes 32 registers and
  // the filters' watch one operation per output; AVX, oversampled, spares the passes their
  // register copies (at base rate it measured no faster than the baseline).
  template <bool kStereo, bool kTested>
  __attribute__((target("avx"))) int ProcessStagedAvx(double** inputs, double** outputs, int nFrames);
  template <bool kStereo, bool kOversampled, bool kTested>
  __attribute__((target("avx512f,avx512vl,avx512dq"))) int ProcessStagedAvx512(double** inputs, double** outputs,
                                                                               int nFrames);
  // The block untested as far as it goes, then tested; or tested from the start.
  template <bool kStereo, bool kOversampled>
  void ProcessStagedBlock(double** inputs, double** outputs, int nFrames, bool tested);
  // ProcessStaged's body, inlined into each encoding; with kRangeWatch (AVX-512 only) the filters'
  // watch is one instruction.
  template <bool kStereo, bool kOversampled, bool kTested, bool kRangeWatch>
  inline int RunStaged(double** inputs, double** outputs, int nFrames);
  void ProcessStagedForm(bool stereo, double** inputs, double** outputs, int nFrames, bool tested);
  // Every value the signal path carries from one frame to the next, for telling whether silence
  // leaves it unchanged.
  struct SignalState
  {
    double v[kNumFilters * 8 + kNumEnvelopes + 7];
  };
  void CaptureSignalState(SignalState* s) const;
  bool SilentInput(double** inputs, int nFrames, bool stereo) const;
  template <bool kStereo>
  void SubSample(double** inputs, int i, int j, bool os, double* x);
  template <bool kStereo>
  double DetectorMeanSquare(double dL, double dR, int mode, bool os);
  double GainStep(double keydB, int autoRelease);
  template <bool kStereo>
  void MixOut(const double* x, double grLin, bool os, double* driven, double* out);
  template <bool kStereo>
  void WriteFrame(double** outputs, int i, bool os, double* out);
  template <bool kStereo>
  void InputMeter(double** inputs, int i);
  void PublishMeters();

  // ----- The editor -----
  // Builds the editor surface (800 by 400 pixels, 30 frames per second), loads its bitmaps,
  // attaches its controls and hands it to the core with AttachGraphics, keeping the references to
  // the meters, readouts, indicators and the Mode knob. An image that cannot be loaded leaves the
  // plug-in without an editor. Nothing in the headless build.
  void CreateEditor();
  // The editor side of a parameter change, run at the end of OnParamChange: the readouts show the
  // new value (Threshold and Range negated), "Auto Release" shows or hides the Release and Attack
  // readouts and its two indicators, and the Mode knob is flagged for one more redraw. Nothing
  // without an editor.
  void UpdateEditor(int paramIdx);
  // The meter values of the block just processed, to the meter controls (audio thread).
  void ShowMeters();

  // Not owned: the editor surface owns its controls. Null without an editor.
  IControl* mMeters[kNumMeters] = {};
  IOdometerControl* mReadouts[kNumParams] = {};  // by parameter; null where none
  IControl* mAutoReleaseIndicator = nullptr;
  IControl* mInstantAttackIndicator = nullptr;
  IDetentKnob* mModeKnob = nullptr;

  IParam* mParams[kNumParams];  // the core's parameters, looked up once
  biquadfilter mFilters[kNumFilters];
  simpledyn::SimpleCompRms mComp;
  simpledyn::AttRelEnvelope mEnvelopes[kNumEnvelopes];

  RampedParam* mThresholdRamp = nullptr;
  RampedParam* mParallelRamp = nullptr;
  RampedParam* mCompensationRamp = nullptr;
  RampedParam* mKneeRamp = nullptr;
  RampedParam* mRangeRamp = nullptr;

  double mMakeup = 1.0;
  double mMakeupFromDb = 0.0;  // the compensation the make-up gain was last computed for
  double mParallelFrom = 0.0;  // the "Parallel" percentage p was last computed for
  double mParallel = 0.0;      // p
  double mDirectMix = 1.0;     // 1 - p
  Shaper mDrive, mSag;
  bool mDriveActive = false;
  bool mSagActive = false;
  bool mMono = false;
  bool mStagedProcessing = true;
  EEncoding mEncoding = CpuEncoding();
  double mEnvelopeStates[kNumEnvelopes] = {};  // dB for the follower and the reduction meter
  double mFeedback[2] = {};                    // the detector's feedback sample per channel
  double mOversampleGain = kOversampleGain;
  double mDetectorGain = kOversampleGain;
  std::atomic<double> mMeterValues[kNumMeters];
};
