#pragma once
// The curve recursions of _PIX_CurveDrawer (declared in pix_curve.h).
//
// Points are placed in the pixel they lie in, rounded down: a point just left of or above the
// bitmap (between -1 and 0) stays out of column and row 0 instead of leaving a stray dot there.

#include <cmath>

#include "pix_curve.h"
#include "pix_line_class.h"
#include "pix_numeric.h"
#include "pix_vector_modes.h"

namespace pix_curve
{
template <class C>
inline void Put(PIX_IBitmap* bm, int x, int y, int width, int height, const PIX_Source& src, int w)
{
  if ((unsigned)x >= (unsigned)width || (unsigned)y >= (unsigned)height) return;
  src.put<C>(bm->getBits() + (ptrdiff_t)y * bm->getRowSpan() + x, w);
}

// One pixel at the point, at the point weight.
template <class C>
inline void Dot(PIX_IBitmap* bm, float x, float y, int width, int height, PIX_PixelValue color, float alpha)
{
  Put<C>(bm, PIX_FloorInt(x), PIX_FloorInt(y), width, height, PIX_Source(color), PIX_AlphaToWeight255(alpha));
}

// A chord, clipped, drawn by the float line walk of the same combiner.
template <class C>
inline void Chord(PIX_IBitmap* bm, float x1, float y1, float x2, float y2, int width, int height,
                  PIX_PixelValue color, float alpha, bool aa)
{
  if (ClipFLine(&x1, &y1, &x2, &y2, width, height))
    __PIX_LineClass<C>::PIX_FLineImpl(bm, x1, y1, x2, y2, color, alpha, aa);
}

inline float Sq(float v) { return v * v; }
}  // namespace pix_curve

template <class Combine>
void _PIX_CurveDrawer<Combine>::DrawClippedFPt(PIX_IBitmap* bm, float x, float y, int width, int height,
                                               PIX_PixelValue color, float alpha)
{
  // Only a point within a pixel of the bitmap can touch it (this also turns NaN away).
  if (!(x > -2.0f && x < (float)width + 1.0f && y > -2.0f && y < (float)height + 1.0f) || !bm->getBits()) return;
  alpha = PIX_HoldAlpha(alpha);
  const int ix = PIX_FloorInt(x), iy = PIX_FloorInt(y);
  const float fx = x - floorf(x), fy = y - floorf(y);
  const PIX_Source src(color);
  using pix_curve::Put;
  Put<Combine>(bm, ix, iy, width, height, src, (int)((1.0f - fy) * (1.0f - fx) * alpha * 255.0f));
  Put<Combine>(bm, ix + 1, iy, width, height, src, (int)((1.0f - fy) * fx * alpha * 255.0f));
  Put<Combine>(bm, ix, iy + 1, width, height, src, (int)(fy * (1.0f - fx) * alpha * 255.0f));
  Put<Combine>(bm, ix + 1, iy + 1, width, height, src, (int)(fy * fx * alpha * 255.0f));
}

template <class Combine>
void _PIX_CurveDrawer<Combine>::DrawQBezRecurse(int level, PIX_IBitmap* bm, float x0, float xc, float x2, float y0,
                                                float yc, float y2, PIX_PixelValue color, float alpha,
                                                bool antialias, double t_lo, float x_lo, float y_lo, double t_hi,
                                                float x_hi, float y_hi, int width, int height, float tol2)
{
  using namespace pix_curve;
  if (level == 0)
  {
    if (antialias)
    {
      DrawClippedFPt(bm, x_lo, y_lo, width, height, color, alpha);
      DrawClippedFPt(bm, x_hi, y_hi, width, height, color, alpha);
    }
    else
    {
      Dot<Combine>(bm, x_lo, y_lo, width, height, color, alpha);
      Dot<Combine>(bm, x_hi, y_hi, width, height, color, alpha);
    }
  }
  if (level > 11)
  {
    Chord<Combine>(bm, x_lo, y_lo, x_hi, y_hi, width, height, color, alpha, antialias);
    return;
  }
  const double t = (t_lo + t_hi) * 0.5, u = 1.0 - t;
  const float x_mid = (float)(u * u * x0 + 2.0 * u * t * xc + t * t * x2);
  const float y_mid = (float)(u * u * y0 + 2.0 * u * t * yc + t * t * y2);
  const float d_lo = Sq(y_mid - y_lo) + Sq(x_mid - x_lo), d_hi = Sq(y_hi - y_mid) + Sq(x_hi - x_mid);
  bool lower, upper;
  if (tol2 > 0.0f)
  {
    lower = !(d_lo < tol2);
    if (!lower) Chord<Combine>(bm, x_lo, y_lo, x_mid, y_mid, width, height, color, alpha, antialias);
    upper = !(d_hi < tol2);
    if (!upper) Chord<Combine>(bm, x_mid, y_mid, x_hi, y_hi, width, height, color, alpha, antialias);
  }
  else
  {
    // Without antialias the point sits on its pixel's corner: all the weight on one pixel (the
    // plain store and the half mix, which ignore weights, mark all four).
    if (antialias) DrawClippedFPt(bm, x_mid, y_mid, width, height, color, alpha);
    else DrawClippedFPt(bm, floorf(x_mid), floorf(y_mid), width, height, color, alpha);
    lower = d_lo >= 1.0f;
    upper = d_hi >= 1.0f;
  }
  if (lower)
    DrawQBezRecurse(level + 1, bm, x0, xc, x2, y0, yc, y2, color, alpha, antialias, t_lo, x_lo, y_lo, t, x_mid, y_mid,
                    width, height, tol2);
  if (upper)
    DrawQBezRecurse(level + 1, bm, x0, xc, x2, y0, yc, y2, color, alpha, antialias, t, x_mid, y_mid, t_hi, x_hi, y_hi,
                    width, height, tol2);
}

template <class Combine>
void _PIX_CurveDrawer<Combine>::DrawCBezRecurse(int level, PIX_IBitmap* bm, double ax, double bx, double cx,
                                                double dx, double ay, double by, double cy, double dy,
                                                PIX_PixelValue color, float alpha, bool antialias, double t_lo,
                                                float x_lo, float y_lo, double t_hi, float x_hi, float y_hi,
                                                int width, int height, float tol2)
{
  using namespace pix_curve;
  const bool points = !(tol2 > 0.0f);
  if (level == 0 && points)
  {
    if (antialias)
    {
      DrawClippedFPt(bm, x_lo, y_lo, width, height, color, alpha);
      DrawClippedFPt(bm, x_hi, y_hi, width, height, color, alpha);
    }
    else
    {
      Dot<Combine>(bm, x_lo, y_lo, width, height, color, alpha);
      Dot<Combine>(bm, x_hi, y_hi, width, height, color, alpha);
    }
  }
  if (level > 11)
  {
    Chord<Combine>(bm, x_lo, y_lo, x_hi, y_hi, width, height, color, alpha, antialias);
    return;
  }
  const double t = (t_lo + t_hi) * 0.5;
  const float x_mid = (float)(ax * t * t * t + bx * t * t + cx * t + dx);
  const float y_mid = (float)(ay * t * t * t + by * t * t + cy * t + dy);
  const float d_lo = Sq(y_mid - y_lo) + Sq(x_mid - x_lo), d_hi = Sq(y_hi - y_mid) + Sq(x_hi - x_mid);
  bool lower, upper;
  if (!points)
  {
    lower = !(d_lo < tol2);
    if (!lower) Chord<Combine>(bm, x_lo, y_lo, x_mid, y_mid, width, height, color, alpha, antialias);
    upper = !(d_hi < tol2);
    if (!upper) Chord<Combine>(bm, x_mid, y_mid, x_hi, y_hi, width, height, color, alpha, antialias);
  }
  else
  {
    if (antialias) DrawClippedFPt(bm, x_mid, y_mid, width, height, color, alpha);
    else Dot<Combine>(bm, x_mid, y_mid, width, height, color, alpha);
    lower = d_lo >= 1.0f;
    upper = d_hi >= 1.0f;
  }
  if (lower)
    DrawCBezRecurse(level + 1, bm, ax, bx, cx, dx, ay, by, cy, dy, color, alpha, antialias, t_lo, x_lo, y_lo, t, x_mid,
                    y_mid, width, height, tol2);
  if (upper)
    DrawCBezRecurse(level + 1, bm, ax, bx, cx, dx, ay, by, cy, dy, color, alpha, antialias, t, x_mid, y_mid, t_hi, x_hi,
                    y_hi, width, height, tol2);
}
