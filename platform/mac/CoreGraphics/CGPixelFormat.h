#pragma once
// Where the channels of a 32-bit pixel sit for each alpha setting a bitmap context accepts, and
// the 8-bit arithmetic of source-over compositing.

#include <cstdint>

#include <CoreGraphics/CoreGraphics.h>

namespace CGPixels
{
// Byte offsets of the channels within a pixel; for the skip settings `a` is the unused byte.
struct Layout
{
  int a, r, g, b;
  bool premultiplied;
};

inline Layout LayoutOf(uint32_t info)
{
  const uint32_t alpha = info & kCGBitmapAlphaInfoMask;
  const bool premul = alpha == kCGImageAlphaPremultipliedFirst || alpha == kCGImageAlphaPremultipliedLast;
  const bool first = alpha == kCGImageAlphaNoneSkipFirst || alpha == kCGImageAlphaPremultipliedFirst;
  if (first) return Layout{0, 1, 2, 3, premul};
  return Layout{3, 0, 1, 2, premul};
}

inline bool SameLayout(const Layout& x, const Layout& y)
{
  return x.a == y.a && x.premultiplied == y.premultiplied;
}

// x * y / 255, rounded to nearest (exact for all 8-bit x and y).
inline unsigned Mul255(unsigned x, unsigned y)
{
  const unsigned t = x * y + 128;
  return (t + (t >> 8)) >> 8;
}
}  // namespace CGPixels
