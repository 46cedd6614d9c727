#pragma once
// The line walks of __PIX_LineClass (declared in pix_line.h), for the line, shape and curve code
// that instantiates them.

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <utility>

#include "pix_line.h"
#include "pix_numeric.h"
#include "pix_vector_modes.h"

namespace pix_line
{
// A bitmap's memory rows, read once per line.
struct Canvas
{
  PIX_PixelValue* bits;
  ptrdiff_t span;
  int width, height;
  explicit Canvas(PIX_IBitmap* bm)
      : bits(bm->getBits()), span(bm->getRowSpan()), width(bm->getWidth()), height(bm->getHeight())
  {
    if (span < width) bits = nullptr;
  }
  PIX_PixelValue* at(int x, int y) const { return bits + (ptrdiff_t)y * span + x; }
  bool inside(int x, int y) const { return (unsigned)x < (unsigned)width && (unsigned)y < (unsigned)height; }
};

// A diagonal of n + 1 pixels; antialiased, each step but the last also touches the two pixels the
// line passes between (one column on, one row on), which lie inside the line's box.
template <class Main, class Side>
void Diagonal(const Canvas& cv, int x1, int y1, int x2, int y2, bool aa, Main main, Side side)
{
  const int n = std::abs(x2 - x1);
  const ptrdiff_t sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? cv.span : -cv.span;
  PIX_PixelValue* p = cv.at(x1, y1);
  for (int i = 0; i < n; ++i, p += sx + sy)
  {
    main(p);
    if (!aa) continue;
    side(p + sx);
    side(p + sy);
  }
  main(p);
}
}  // namespace pix_line

template <class Combine>
void __PIX_LineClass<Combine>::PIX_HorizLine(PIX_IBitmap* bm, int y, int x1, int x2, PIX_PixelValue color,
                                             float alpha)
{
  const pix_line::Canvas cv(bm);
  if (!cv.bits) return;
  const PIX_Source src(color);
  const int w = PIX_AlphaToWeight(alpha);
  if (x1 > x2) std::swap(x1, x2);
  PIX_PixelValue* p = cv.at(x1, y);
  for (int x = x1; x <= x2; ++x, ++p) src.put<Combine>(p, w);
}

template <class Combine>
void __PIX_LineClass<Combine>::PIX_DiagLine(PIX_IBitmap* bm, int x1, int y1, int x2, int y2, PIX_PixelValue color,
                                            float alpha, bool antialias)
{
  const pix_line::Canvas cv(bm);
  if (!cv.bits) return;
  const PIX_Source src(color);
  const int r = PIX_AlphaToWeight(alpha);
  const int main = antialias ? r * 3 / 4 : r, side = r / 4;
  pix_line::Diagonal(
      cv, x1, y1, x2, y2, antialias, [&](PIX_PixelValue* p) { src.put<Combine>(p, main); },
      [&](PIX_PixelValue* p) { src.put<Combine>(p, side); });
}

template <class Combine>
void __PIX_LineClass<Combine>::PIX_LineImpl(PIX_IBitmap* bm, int x1, int y1, int x2, int y2, PIX_PixelValue color,
                                            float alpha, bool antialias)
{
  const pix_line::Canvas cv(bm);
  if (!cv.bits) return;
  const PIX_Source src(color);
  const int a = PIX_AlphaToWeight(alpha);

  const int dx = x2 - x1, dy = y2 - y1;
  const bool xmajor = std::abs(dx) >= std::abs(dy);
  const int count = xmajor ? std::abs(dx) : std::abs(dy), minors = xmajor ? std::abs(dy) : std::abs(dx);
  if (count == 0)
  {
    src.put<Combine>(cv.at(x1, y1), a);
    return;
  }
  const ptrdiff_t stepx = dx < 0 ? -1 : 1, stepy = dy < 0 ? -cv.span : cv.span;
  const ptrdiff_t major = xmajor ? stepx : stepy, minor = xmajor ? stepy : stepx;
  const double slope = (double)minors / (double)count;
  PIX_PixelValue* p = cv.at(x1, y1);
  // m counts the minor steps taken; no step is taken past the end point's row (or column), so
  // rounding in the error sum cannot carry the walk out of the line's box.
  int m = 0;

  if (!antialias)
  {
    double e = 0.0;
    for (int i = 0;; ++i)
    {
      src.put<Combine>(p, a);
      if (i == count) break;
      e += slope;
      if (e > 0.5 && m < minors)
      {
        p += minor;
        e -= 1.0;
        ++m;
      }
      p += major;
    }
    return;
  }

  src.put<Combine>(p, a);
  p += major;
  double e = slope;
  for (int i = 1; i < count; ++i)
  {
    const int w = (int)(e * 256.0);
    src.put<Combine>(p, (256 - w) * a / 256);
    if (w != 0 && m < minors) src.put<Combine>(p + minor, a * w / 256);
    e += slope;
    if (e > 1.0 && m < minors)
    {
      p += minor;
      e -= 1.0;
      ++m;
    }
    p += major;
  }
  src.put<Combine>(p, (256 - (int)(e * 256.0)) * a / 256);
}

template <class Combine>
void __PIX_LineClass<Combine>::PIX_FLineImpl(PIX_IBitmap* bm, float x1, float y1, float x2, float y2,
                                             PIX_PixelValue color, float alpha, bool antialias)
{
  const pix_line::Canvas cv(bm);
  if (!cv.bits) return;
  // The line is normally clipped already (then this changes nothing); clipping here keeps every
  // count small and every conversion in range whoever calls.
  if (!ClipFLine(&x1, &y1, &x2, &y2, cv.width, cv.height)) return;
  const PIX_Source src(color);
  const int a = PIX_AlphaToWeight(alpha);

  const float adx = std::fabs(x2 - x1), ady = std::fabs(y2 - y1);
  const int sx = x2 > x1 ? 1 : -1, sy = y2 > y1 ? 1 : -1;
  const bool ymajor = ady > adx;
  int count;
  double slope, f;
  if (ymajor)
  {
    count = (int)ady;
    slope = (double)(adx / ady);
    f = (double)(x1 - floorf(x1));
    if (sx == -1 && f > 0.0) f = 1.0 - f;
  }
  else
  {
    count = (int)adx;
    slope = adx > 0.0f ? (double)(ady / adx) : 0.0;
    f = (double)(y1 - floorf(y1));
    if (sy == -1 && f > 0.0) f = 1.0 - f;
  }
  const int majx = ymajor ? 0 : sx, majy = ymajor ? sy : 0, minx = ymajor ? sx : 0, miny = ymajor ? 0 : sy;
  int x = (int)x1, y = (int)y1;
  // The walk may run a pixel beyond the bitmap: such steps are skipped.
  auto plot = [&](int px, int py, int w) {
    if (cv.inside(px, py)) src.put<Combine>(cv.at(px, py), w);
  };

  if (antialias)
  {
    for (int i = 0; i <= count; ++i, x += majx, y += majy)
    {
      const int w = (int)(f * 256.0);
      plot(x, y, (256 - w) * a / 256);
      if (w != 0) plot(x + minx, y + miny, a * w / 256);
      f += slope;
      if (f > 1.0)
      {
        x += minx;
        y += miny;
        f -= 1.0;
      }
    }
    return;
  }
  double e = 0.0;
  for (int i = 0; i <= count; ++i, x += majx, y += majy)
  {
    plot(x, y, a);
    e += slope;
    if (e > 0.5)
    {
      x += minx;
      y += miny;
      e -= 1.0;
    }
  }
}
