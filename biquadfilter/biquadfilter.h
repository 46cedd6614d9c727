#pragma once
// A second-order filter after the audio-EQ cookbook designs. It keeps its design parameters,
// recomputes normalised coefficients whenever one of them changes, and holds a direct-form-I state
// for two channels. The setters never touch the state.

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

  // One sample of channel c (0 or 1), direct form I, the output flushed. An output that is no
  // longer finite clears the channel's state, so the next finite input starts from rest.
  double Process(int c, double x)
  {
    double y = mB0 * x + mB1 * mX1[c] + mB2 * mX2[c] - mA1 * mY1[c] - mA2 * mY2[c];
    y = FlushDenormal(y);
    if (__builtin_expect(!(std::fabs(y) <= DBL_MAX), 0))
    {
      ClearChannel(c);
      return y;
    }
    mX2[c] = mX1[c];
    mX1[c] = x;
    mY2[c] = mY1[c];
    mY1[c] = y;
    return y;
  }

  // One sample of both channels at once, lane by lane the same arithmetic as Process.
  void ProcessPair(double& l, double& r)
  {
    const V2 x = { l, r };
    const V2 x1 = Load(mX1), x2 = Load(mX2), y1 = Load(mY1), y2 = Load(mY2);
    V2 y = Splat(mB0) * x + Splat(mB1) * x1 + Splat(mB2) * x2 - Splat(mA1) * y1 - Splat(mA2) * y2;
    const V2 a = (V2)((VL)y & VL{ kAbsMask, kAbsMask });
    y = (V2)((VL)y & ~(a < Splat(DBL_MIN)));  // flushed: +0.0 where the exponent bits are all zero
    l = y[0];
    r = y[1];
    const VL finite = a <= Splat(DBL_MAX);
    if (__builtin_expect(!(finite[0] && finite[1]), 0))
    {
      // Rare: finish lane by lane, so that only the channel that went bad is cleared.
      for (int c = 0; c < 2; ++c)
      {
        if (!(std::fabs(y[c]) <= DBL_MAX)) ClearChannel(c);
        else Shift(c, x[c], y[c]);
      }
      return;
    }
    Store(mX2, x1);
    Store(mX1, x);
    Store(mY2, y1);
    Store(mY1, y);
  }

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
  typedef double V2 __attribute__((vector_size(16)));
  typedef long long VL __attribute__((vector_size(16)));
  static constexpr long long kAbsMask = 0x7FFFFFFFFFFFFFFFLL;
  static V2 Splat(double v) { return V2{ v, v }; }
  static V2 Load(const double* p) { return V2{ p[0], p[1] }; }
  static void Store(double* p, V2 v)
  {
    p[0] = v[0];
    p[1] = v[1];
  }
  void ClearChannel(int c) { mX1[c] = mX2[c] = mY1[c] = mY2[c] = 0.0; }
  void Shift(int c, double x, double y)
  {
    mX2[c] = mX1[c];
    mX1[c] = x;
    mY2[c] = mY1[c];
    mY1[c] = y;
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
