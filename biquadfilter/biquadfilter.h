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
    State& s = mState[c];
    double y = mB0 * x + mB1 * s.x1 + mB2 * s.x2 - mA1 * s.y1 - mA2 * s.y2;
    y = FlushDenormal(y);
    if (!(std::fabs(y) <= DBL_MAX))
    {
      s = State();
      return y;
    }
    s.x2 = s.x1;
    s.x1 = x;
    s.y2 = s.y1;
    s.y1 = y;
    return y;
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
  const State& GetState(int c) const { return mState[c]; }

private:
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
  State mState[2];
};
