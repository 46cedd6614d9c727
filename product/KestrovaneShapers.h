#pragma once
// The per-sample shapers of the signal path, shared by the sample-by-sample and the stage-by-stage
// processing: the detector's ceiling, "Drive" and "Sag".

#include <cmath>

#include "flushdenormal.h"

namespace kvshapers
{
const double kPi = 3.141592653589793;

// The detector's input is held to +20 dB over full scale, far above any real signal, so that an
// absurd but finite input (1e30) leaves no tail in its filters and recovers as a hot one does
// rather than after seconds. NaN passes: the states it reaches go back to rest at once.
const double kMaxDetectorLevel = 10.0;
inline double Ceiled(double d)
{
  return d > kMaxDetectorLevel ? kMaxDetectorLevel : (d < -kMaxDetectorLevel ? -kMaxDetectorLevel : d);
}

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
}  // namespace kvshapers
