#include "biquadfilter.h"

namespace
{
const double twopi = 6.283185307179586;
const double ln10 = 2.302585092994046;

double ln10div20()
{
  static const double v = ln10 / 20.0;
  return v;
}

double ln10div40()
{
  static const double v = ln10 / 40.0;
  return v;
}
}  // namespace

biquadfilter::biquadfilter()
{
  InitializeState();
  CalcCoefficients();
}

void biquadfilter::SetType(EFilterType type)
{
  mType = (int)type;
  CalcCoefficients();
}

void biquadfilter::SetQ(double q)
{
  mQ = q;
  CalcCoefficients();
}

void biquadfilter::SetBW(double octaves)
{
  mBW = octaves;
  mW0 = DesignFreq() * twopi / (double)mSampleRate;
  mQ = FlushDenormal(1.0 / (2.0 * std::sinh(std::log(2.0) / 2.0 * mBW * mW0 / std::sin(mW0))));
  CalcCoefficients();
}

void biquadfilter::SetS(double s)
{
  mS = s;
  double a;
  if (mType == kLowPass || mType == kHighPass) a = 1.0;
  else if (mType == kPeaking || mType == kLowShelf || mType == kHighShelf) a = std::sqrt(std::exp(mGain * ln10 / 40.0));
  else a = std::sqrt(std::exp(mGain * ln10 / 20.0));
  mA = FlushDenormal(a);
  mQ = FlushDenormal(1.0 / std::sqrt((mA + 1.0 / mA) * (1.0 / mS - 1.0) + 2.0));
  CalcCoefficients();
}

void biquadfilter::SetFreq(double hz)
{
  mFreq = hz;
  CalcCoefficients();
}

void biquadfilter::SetGain(double dB)
{
  mGain = dB;
  CalcCoefficients();
}

void biquadfilter::SetSampleRate(long rate)
{
  mSampleRate = rate;
  CalcCoefficients();
}

void biquadfilter::InitializeState()
{
  for (int c = 0; c < 2; ++c) mX1[c] = mX2[c] = mY1[c] = mY2[c] = 0.0;
}

double biquadfilter::DesignFreq() const
{
  const double rate = (double)mSampleRate;
  return mFreq >= 0.5 * rate ? kMaxFreqFraction * rate : mFreq;
}

void biquadfilter::CalcCoefficients()
{
  mW0 = DesignFreq() * twopi / (double)mSampleRate;
  mCosW0 = std::cos(mW0);
  mSinW0 = std::sin(mW0);
  mAlpha = mSinW0 / (2.0 * mQ);
  const double c = mCosW0, s = mSinW0, alpha = mAlpha;

  switch (mType)
  {
    case kLowPass:
      mA = 1.0;
      mB0 = (1.0 - c) / 2.0;
      mB1 = 1.0 - c;
      mB2 = (1.0 - c) / 2.0;
      mA0 = 1.0 + alpha;
      mA1 = -2.0 * c;
      mA2 = 1.0 - alpha;
      break;
    case kHighPass:
      mA = 1.0;
      mB0 = (1.0 + c) / 2.0;
      mB1 = -(1.0 + c);
      mB2 = (1.0 + c) / 2.0;
      mA0 = 1.0 + alpha;
      mA1 = -2.0 * c;
      mA2 = 1.0 - alpha;
      break;
    case kBandPassSkirt:
    case kBandPassPeak:
    case kNotch:
    case kAllPass:
      // The amplitude is kept for the record; these responses ignore the gain.
      mA = std::exp(mGain * ln10div20());
      if (mType == kBandPassSkirt) { mB0 = s / 2.0; mB1 = 0.0; mB2 = -s / 2.0; }
      else if (mType == kBandPassPeak) { mB0 = alpha; mB1 = 0.0; mB2 = -alpha; }
      else if (mType == kNotch) { mB0 = 1.0; mB1 = -2.0 * c; mB2 = 1.0; }
      else { mB0 = 1.0 - alpha; mB1 = -2.0 * c; mB2 = 1.0 + alpha; }
      mA0 = 1.0 + alpha;
      mA1 = -2.0 * c;
      mA2 = 1.0 - alpha;
      break;
    case kLowShelf:
    case kHighShelf:
    {
      const double A = std::exp(mGain * ln10div40());
      const double sq = 2.0 * std::sqrt(A) * alpha;
      mA = A;
      if (mType == kLowShelf)
      {
        mB0 = A * ((A + 1.0) - (A - 1.0) * c + sq);
        mB1 = 2.0 * A * ((A - 1.0) - (A + 1.0) * c);
        mB2 = A * ((A + 1.0) - (A - 1.0) * c - sq);
        mA0 = (A + 1.0) + (A - 1.0) * c + sq;
        mA1 = -2.0 * ((A - 1.0) + (A + 1.0) * c);
        mA2 = (A + 1.0) + (A - 1.0) * c - sq;
      }
      else
      {
        mB0 = A * ((A + 1.0) + (A - 1.0) * c + sq);
        mB1 = -2.0 * A * ((A - 1.0) + (A + 1.0) * c);
        mB2 = A * ((A + 1.0) + (A - 1.0) * c - sq);
        mA0 = (A + 1.0) - (A - 1.0) * c + sq;
        mA1 = 2.0 * ((A - 1.0) - (A + 1.0) * c);
        mA2 = (A + 1.0) - (A - 1.0) * c - sq;
      }
      break;
    }
    default:  // kPeaking, and every value outside the list
    {
      const double A = std::exp(mGain * ln10div40());
      mA = A;
      mB0 = 1.0 + alpha * A;
      mB1 = -2.0 * c;
      mB2 = 1.0 - alpha * A;
      mA0 = 1.0 + alpha / A;
      mA1 = -2.0 * c;
      mA2 = 1.0 - alpha / A;
      break;
    }
  }

  const double r = 1.0 / mA0;
  mB0 *= r;
  mB1 *= r;
  mB2 *= r;
  mA1 *= r;
  mA2 *= r;
  mA0 = 1.0;

  mA = FlushDenormal(mA);
  mB0 = FlushDenormal(mB0);
  mB1 = FlushDenormal(mB1);
  mB2 = FlushDenormal(mB2);
  mA0 = FlushDenormal(mA0);
  mA1 = FlushDenormal(mA1);
  mA2 = FlushDenormal(mA2);

  // A design that is not finite (a rate of zero, a Q of zero) would turn every sample into NaN:
  // such a filter passes the signal through unchanged instead.
  if (!(std::isfinite(mB0) && std::isfinite(mB1) && std::isfinite(mB2) && std::isfinite(mA1) && std::isfinite(mA2)))
  {
    mB0 = 1.0;
    mB1 = mB2 = mA1 = mA2 = 0.0;
  }
}

double biquadfilter::GetResponse(double freqHz) const
{
  double phi = FlushDenormal(std::sin(twopi * freqHz / (double)mSampleRate / 2.0));
  phi = FlushDenormal(phi * phi);
  const double b0 = mB0, b1 = mB1, b2 = mB2, a0 = mA0, a1 = mA1, a2 = mA2;
  const double num = (b0 + b1 + b2) * (b0 + b1 + b2) - 4.0 * (b0 * b1 + 4.0 * b0 * b2 + b1 * b2) * phi +
                     16.0 * b0 * b2 * phi * phi;
  const double den = (a0 + a1 + a2) * (a0 + a1 + a2) - 4.0 * (a0 * a1 + 4.0 * a0 * a2 + a1 * a2) * phi +
                     16.0 * a0 * a2 * phi * phi;
  return FlushDenormal(10.0 * std::log10(num / den));
}
