#pragma once
// Window-system coordinates to editor pixels.

// Truncated toward zero; NaN gives 0 and anything beyond 2^28 pixels is held there, so no event
// from a host makes the conversion, or sums of editor coordinates, undefined.
inline int EditorCoord(double v)
{
  const double kFar = 268435456.0;
  if (!(v == v)) return 0;
  return (int)(v > kFar ? kFar : (v < -kFar ? -kFar : v));
}
