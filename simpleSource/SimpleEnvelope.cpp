#include "SimpleEnvelope.h"

namespace simpledyn
{
EnvelopeDetector::EnvelopeDetector(double ms_, double sampleRate_) : sampleRate(sampleRate_), ms(ms_)
{
  setCoef();
}

void EnvelopeDetector::setTc(double ms_)
{
  // The coefficient is a function of the time and the rate alone: an unchanged time keeps it.
  // The automatic release sets the same time on every new peak.
  if (ms_ == ms) return;
  ms = ms_;
  setCoef();
}

void EnvelopeDetector::setSampleRate(double sampleRate_)
{
  sampleRate = sampleRate_;
  setCoef();
}

void EnvelopeDetector::setCoef()
{
  coef = std::exp(-1000.0 / (ms * sampleRate));
}

AttRelEnvelope::AttRelEnvelope(double attackMs, double releaseMs, double sampleRate)
  : att(attackMs, sampleRate), rel(releaseMs, sampleRate)
{
}

void AttRelEnvelope::setSampleRate(double sampleRate)
{
  att.setSampleRate(sampleRate);
  rel.setSampleRate(sampleRate);
}
}  // namespace simpledyn
