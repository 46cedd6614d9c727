#pragma once
// Conversions that cannot overflow, for the geometry of blits and shapes. Callers reject NaN and
// infinite arguments first; these still map them to something harmless so no cast is undefined.

#include <climits>
#include <cmath>
#include <cstdint>

#include "pix_combine.h"

// True when every argument is a finite number.
template <class... T>
inline bool PIX_AllFinite(T... v)
{
  return (... && std::isfinite((double)v));
}

// v truncated toward zero, held to the int range (NaN gives 0).
inline int PIX_TruncInt(double v)
{
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return INT_MAX;
  if (v <= -2147483648.0) return INT_MIN;
  return (int)v;
}

// v truncated toward zero, held to -lim..lim (NaN gives 0).
inline int64_t PIX_TruncInt64(double v, int64_t lim)
{
  if (!(v == v)) return 0;
  if (v >= (double)lim) return lim;
  if (v <= -(double)lim) return -lim;
  return (int64_t)v;
}

inline int PIX_FloorInt(double v) { return PIX_TruncInt(std::floor(v)); }

// An int64 held to the int range.
inline int PIX_SatInt(int64_t v) { return v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : (int)v); }

// Opacities beyond the combiners' range (+-4, a weight of +-1024) draw as its ends, as the
// integer weight of an opacity does (PIX_AlphaToWeight).
inline float PIX_HoldAlpha(float alpha)
{
  const float lim = (float)kPIX_MaxWeight / 256.0f;
  if (!(alpha == alpha)) return 0.0f;
  return alpha > lim ? lim : (alpha < -lim ? -lim : alpha);
}

// The weight of circle, arc and curve points: (int)(alpha * 255) in single precision.
inline int PIX_AlphaToWeight255(float alpha) { return (int)(PIX_HoldAlpha(alpha) * 255.0f); }
