#pragma once
// A second-order filter after the audio-EQ cookbook designs. It keeps its design parameters,
// recomputes normalised coefficients whenever one of them changes, and holds a direct-form-I state
// for two channels. The setters never touch the state.

#include <emmintrin.h>

#include <cmath>

#include "flushdenormal.h"

// Values above kHighShelf and negative values are designed as kPeaking.
enum EFilterType : int
{
  kLowPass = 0,
  kHighPass = 1,
  kBandPassSkirt = 2,  // constant skirt gain, peak gain Q
  kBandPassPeak = 3,   // constant 0 dB peak gain
  kNotch = 4,
  kAllPass = 5,
  kPeaking = 6,
  kLowShelf = 7,
  kHighShelf = 8
};

class biquadfilter
{
public:
  // Design frequencies at or above half the rate are designed this fraction of the rate instead:
  // a design past the Nyquist frequency would be unstable.
  static constexpr double kMaxFreqFraction = 0.499;

  biquadfilter();

  void SetType(EFilterType type);
  void SetQ(double q);
  // Bandwidth in octaves; derives Q from it at the current frequency and rate.
  void SetBW(double octaves);
  // Shelf slope; derives Q from it and from the gain and type in force, so set the gain first.
  void SetS(double s);
  void SetFreq(double hz);
  void SetGain(double dB);
  void SetSampleRate(long rate);

  void InitializeState();
  void CalcCoefficients();
  // Magnitude response in dB at a frequency.
  double GetResponse(double freqHz) const;

  // A pair of samples, one per channel, in one SSE2 register.
  typedef double V2 __attribute__((vector_size(16)));

  class ChannelFeed;
  class PairFeed;

  // One sample of channel c (0 or 1), direct form I, the output flushed. An output that is no
  // longer finite clears the channel's state, so the next finite input starts from rest.
  inline double Process(int c, double x);
  // One sample of both channels at once, lane by lane the same arithmetic as Process.
  inline void ProcessPair(double& l, double& r);

  int GetType() const { return mType; }
  double GetQ() const { return mQ; }
  double GetBW() const { return mBW; }
  double GetS() const { return mS; }
  double GetFreq() const { return mFreq; }
  double GetGain() const { return mGain; }
  long GetSampleRate() const { return mSampleRate; }
  double GetA() const { return mA; }
  double GetW0() const { return mW0; }
  double GetB0() const { return mB0; }
  double GetB1() const { return mB1; }
  double GetB2() const { return mB2; }
  double GetA0() const { return mA0; }
  double GetA1() const { return mA1; }
  double GetA2() const { return mA2; }

  // The previous two inputs and outputs of a channel.
  struct State
  {
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
  };
  State GetState(int c) const { return { mX1[c], mX2[c], mY1[c], mY2[c] }; }

private:
  typedef long long VL __attribute__((vector_size(16)));
  static constexpr long long kAbsMask = 0x7FFFFFFFFFFFFFFFLL;
  static V2 Splat(double v) { return V2{ v, v }; }
  static V2 Load(const double* p) { return V2{ p[0], p[1] }; }
  static void Store(double* p, V2 v)
  {
    p[0] = v[0];
    p[1] = v[1];
  }

  // The frequency the coefficients are designed for: the stored one, held below half the rate.
  double DesignFreq() const;

  int mType = kPeaking;
  double mQ = 1.0;
  double mBW = 1.0;
  double mS = 1.0;
  double mFreq = 1000.0;
  double mGain = 0.0;
  long mSampleRate = 44100;
  double mA = 1.0;
  double mW0 = 0.0, mSinW0 = 0.0, mCosW0 = 1.0, mAlpha = 0.0;
  double mA0 = 1.0, mA1 = 0.0, mA2 = 0.0, mB0 = 1.0, mB1 = 0.0, mB2 = 0.0;
  // The state, by field: channel 0 then channel 1 of each, so a pair of channels moves together.
  alignas(16) double mX1[2] = {}, mX2[2] = {}, mY1[2] = {}, mY2[2] = {};
};

// The filter over a run of samples of one channel with its coefficients and output history in
// locals, so that a loop keeps them in registers, and its input history in the caller's array: at
// each step x[0] is the new input and x[-1], x[-2] the two before it (the first two from Inputs).
// Nothing else may use the channel between the feed's construction and Save.
class biquadfilter::ChannelFeed
{
public:
  ChannelFeed(const biquadfilter& f, int c)
    : b0(f.mB0), b1(f.mB1), b2(f.mB2), a1(f.mA1), a2(f.mA2), y1(f.mY1[c]), y2(f.mY2[c])
  {
  }

  // The channel's previous two inputs, for x[-2] and x[-1].
  static void Inputs(const biquadfilter& f, int c, double* x2x1)
  {
    x2x1[0] = f.mX2[c];
    x2x1[1] = f.mX1[c];
  }

  // Process's arithmetic. A channel whose output is not finite goes back to rest, its input
  // history (x[0] and x[-1] for the next steps) included.
  double Step(double* x)
  {
    double y = b0 * x[0] + b1 * x[-1] + b2 * x[-2] - a1 * y1 - a2 * y2;
    y = FlushDenormal(y);
    if (__builtin_expect(!(std::fabs(y) <= DBL_MAX), 0))
    {
      x[0] = x[-1] = y1 = y2 = 0.0;
      return y;
    }
    y2 = y1;
    y1 = y;
    return y;
  }

  // Step without the tests: the same output and state wherever that output is a normal finite
  // number, so a caller that sees every output of a run so can take the run as Step's. Otherwise
  // it must go back to the state before the run and step it again.
  double StepUnchecked(const double* x)
  {
    const double y = b0 * x[0] + b1 * x[-1] + b2 * x[-2] - a1 * y1 - a2 * y2;
    y2 = y1;
    y1 = y;
    return y;
  }

  // Whether the last output is finite. Once an untested step's output is not finite, none after
  // it is (a1 times a value that is not finite is not finite, whatever a1), so after a run of
  // untested steps this tells whether all of them were.
  bool LastFinite() const { return std::fabs(y1) <= DBL_MAX; }

  // StepUnchecked where the inputs are a sample s every fourth step and zeros between, sub-step j
  // (0 to 3) after the sample: of the inputs' three products only the one with s is not a zero,
  // and adding a zero changes no sum but a zero one, which an untested caller must not take.
  double StepUncheckedZeroStuffed(int j, double s)
  {
    const double in = j == 0 ? b0 * s : j == 1 ? b1 * s : j == 2 ? b2 * s : 0.0;
    const double y = in - a1 * y1 - a2 * y2;
    y2 = y1;
    y1 = y;
    return y;
  }

  // Hands the state back; x points at the last input stepped.
  void Save(biquadfilter& f, int c, const double* x) const
  {
    f.mX1[c] = x[0];
    f.mX2[c] = x[-1];
    f.mY1[c] = y1;
    f.mY2[c] = y2;
  }

private:
  double b0, b1, b2, a1, a2;
  double y1, y2;
};

// Both channels likewise in one register each, lane by lane the arithmetic of ChannelFeed.
class biquadfilter::PairFeed
{
public:
  explicit PairFeed(const biquadfilter& f)
    : b0(Splat(f.mB0)), b1(Splat(f.mB1)), b2(Splat(f.mB2)), a1(Splat(f.mA1)), a2(Splat(f.mA2)), y1(Load(f.mY1)),
      y2(Load(f.mY2))
  {
  }

  static void Inputs(const biquadfilter& f, V2* x2x1)
  {
    x2x1[0] = Load(f.mX2);
    x2x1[1] = Load(f.mX1);
  }

  V2 Step(V2* x)
  {
    const V2 y = b0 * x[0] + b1 * x[-1] + b2 * x[-2] - a1 * y1 - a2 * y2;
    // Subnormal, zero and non-finite outputs take the branch, which is well predicted in either
    // direction; the next sample's arithmetic then never waits for the test.
    const V2 a = (V2)((VL)y & VL{ kAbsMask, kAbsMask });
    const V2 tiny = _mm_cmplt_pd(a, Splat(DBL_MIN));
    const V2 notFinite = _mm_cmpnle_pd(a, Splat(DBL_MAX));
    if (__builtin_expect(_mm_movemask_pd(_mm_or_pd(tiny, notFinite)) != 0, 0))
      return OddStep(x, _mm_andnot_pd(tiny, y), (VL)notFinite);
    y2 = y1;
    y1 = y;
    return y;
  }

  // Step without the tests, as ChannelFeed::StepUnchecked: Step's result lane by lane wherever it
  // is a normal finite number.
  V2 StepUnchecked(const V2* x)
  {
    const V2 y = b0 * x[0] + b1 * x[-1] + b2 * x[-2] - a1 * y1 - a2 * y2;
    y2 = y1;
    y1 = y;
    return y;
  }

  // As ChannelFeed::LastFinite, for both lanes.
  bool LastFinite() const
  {
    const V2 a = (V2)((VL)y1 & VL{ kAbsMask, kAbsMask });
    return _mm_movemask_pd(_mm_cmple_pd(a, Splat(DBL_MAX))) == 3;
  }

  // As ChannelFeed::StepUncheckedZeroStuffed, lane by lane.
  V2 StepUncheckedZeroStuffed(int j, V2 s)
  {
    const V2 in = j == 0 ? b0 * s : j == 1 ? b1 * s : j == 2 ? b2 * s : V2{ 0.0, 0.0 };
    const V2 y = in - a1 * y1 - a2 * y2;
    y2 = y1;
    y1 = y;
    return y;
  }

  void Save(biquadfilter& f, const V2* x) const
  {
    Store(f.mX1, x[0]);
    Store(f.mX2, x[-1]);
    Store(f.mY1, y1);
    Store(f.mY2, y2);
  }

private:
  // y flushed; a channel whose output is not finite goes back to rest, the other moves on.
  __attribute__((always_inline)) V2 OddStep(V2* x, V2 y, VL notFinite)
  {
    if (__builtin_expect(!(notFinite[0] | notFinite[1]), 1))
    {
      y2 = y1;
      y1 = y;
      return y;
    }
    for (int c = 0; c < 2; ++c)
    {
      if (notFinite[c])
      {
        x[0][c] = x[-1][c] = y1[c] = y2[c] = 0.0;
        continue;
      }
      y2[c] = y1[c];
      y1[c] = y[c];
    }
    return y;
  }

  V2 b0, b1, b2, a1, a2;
  V2 y1, y2;
};

inline double biquadfilter::Process(int c, double x)
{
  double h[3];
  ChannelFeed::Inputs(*this, c, h);
  h[2] = x;
  ChannelFeed feed(*this, c);
  const double y = feed.Step(h + 2);
  feed.Save(*this, c, h + 2);
  return y;
}

inline void biquadfilter::ProcessPair(double& l, double& r)
{
  V2 h[3];
  PairFeed::Inputs(*this, h);
  h[2] = V2{ l, r };
  PairFeed feed(*this);
  const V2 y = feed.Step(h + 2);
  feed.Save(*this, h + 2);
  l = y[0];
  r = y[1];
}
