#pragma once
// The per-sample shapers of the signal path, shared by the sample-by-sample and the stage-by-stage
// processing: the ceiling of the detector and of "Drive", "Drive" and "Sag".

#include <emmintrin.h>

#include <cmath>

#include "flushdenormal.h"

namespace kvshapers
{
const double kPi = 3.141592653589793;

// The detector's input and the audio entering "Drive" are held to +20 dB over full scale, far
// above any real signal: an absurd but finite input (1e30) leaves no tail in the detector's
// filters and recovers as a hot one does rather than after seconds, and "Drive", whose fold grows
// as the square of its input, gives finite output for it. NaN passes: the states it reaches go
// back to rest at once. A min and a max, no branch (the compiler makes a branch of the same test
// written with ?:); minsd and maxsd return their second operand where either is NaN.
const double kMaxLevel = 10.0;
inline double Ceiled(double d)
{
  const __m128d held = _mm_max_sd(_mm_set_sd(-kMaxLevel), _mm_min_sd(_mm_set_sd(kMaxLevel), _mm_set_sd(d)));
  return _mm_cvtsd_f64(held);
}

// "Drive" on the audio: a soft fold, blended with a sine of itself by the depth b.
inline double Driven(double x, double b, double k1, double k2)
{
  x = Ceiled(x);
  const double y = x * k1 * (1.0 - std::fabs(x * k2));
  return (1.0 - 1.5 * b) * y + 1.5 * b * std::sin(y * kPi / 2.0);
}

// "Sag" on the detector: the same fold through a sine; it folds back over for large levels.
inline double Sagged(double d, double k1, double k2)
{
  return FlushDenormal(std::sin(d * k1 * (1.0 - std::fabs(d * k2)) * kPi / 2.0));
}
}  // namespace kvshapers
