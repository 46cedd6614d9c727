// Bezier curves: orientation, clipping to the bitmap's columns, and the dispatch on mode.

#include <algorithm>
#include <cmath>
#include <utility>

#include "pix_curve.h"
#include "pix_curve_class.h"

namespace
{
bool Drawable(PIX_IBitmap* bm)
{
  return bm && bm->getBits() && bm->getWidth() > 0 && bm->getHeight() > 0 && bm->getRowSpan() >= bm->getWidth();
}

// A root of a t^2 + b t + c = 0 as the curve clip takes it, (sqrt(b^2 - 4ac) - b) / 2a. The
// discriminant is not negative where a crossing exists, but rounding can take it just below 0.
double Root(double a, double b, double c)
{
  const double t = (std::sqrt(std::max(0.0, b * b - 4.0 * a * c)) - b) / (2.0 * a);
  return std::min(1.0, std::max(0.0, t));
}
}  // namespace

template <class T>
T PIX_CBezier_GetY(T x0, T x1, T x2, T x3, T y0, T y1, T y2, T y3, T x, T* nextx, T* slope, double* tlo,
                   double* thi)
{
  if (x0 >= x || x >= x3)
  {
    const bool left = x0 >= x;
    if (nextx) *nextx = left ? x0 : x3;
    if (slope) *slope = 0;
    return left ? y0 : y3;
  }
  const double cx = 3.0 * ((double)x1 - x0), bx = 3.0 * ((double)x2 - x1) - cx, ax = ((double)x3 - x0) - cx - bx;
  const double cy = 3.0 * ((double)y1 - y0), by = 3.0 * ((double)y2 - y1) - cy, ay = ((double)y3 - y0) - cy - by;
  auto X = [&](double t) { return ax * t * t * t + bx * t * t + cx * t + (double)x0; };
  auto Y = [&](double t) { return ay * t * t * t + by * t * t + cy * t + (double)y0; };
  double tLo = 0.0, tHi = 1.0, xLo = 0.0, xHi = 0.0;
  for (int i = 0; i < 8; ++i)
  {
    const double tm = (tLo + tHi) * 0.5, xm = X(tm);
    if (x > xm)
    {
      tLo = tm;
      xLo = xm;
    }
    if (x < xm)
    {
      tHi = tm;
      xHi = xm;
    }
    if (x == xm)
    {
      tLo = tm;
      xLo = xm;
      tHi = std::min(1.0, tm + 1.0 / 256.0);
      xHi = X(tHi);
      break;
    }
  }
  if (tLo == 0.0) xLo = x0;
  if (tHi == 1.0) xHi = X(1.0);
  const double yLo = Y(tLo), yHi = Y(tHi);
  const double k = xHi == xLo ? 0.0 : (yHi - yLo) / (xHi - xLo);
  if (nextx) *nextx = (T)xHi;
  if (slope) *slope = (T)k;
  if (tlo) *tlo = tLo;
  if (thi) *thi = tHi;
  return (T)(yLo + k * ((double)x - xLo));
}

template float PIX_CBezier_GetY<float>(float, float, float, float, float, float, float, float, float, float*, float*,
                                       double*, double*);

void PIX_DrawQBezier(PIX_IBitmap* bm, float xstart, float ystart, float xctl, float yctl, float xend, float yend,
                     PIX_PixelValue color, float alpha, int mode, bool antialias, float tolerance)
{
  if (!Drawable(bm) || !PIX_AllFinite(xstart, ystart, xctl, yctl, xend, yend, alpha, tolerance)) return;
  alpha = PIX_HoldAlpha(alpha);
  const int W = bm->getWidth(), H = bm->getHeight();
  float x0 = xstart, y0 = ystart, x2 = xend, y2 = yend;
  const float xc = xctl, yc = yctl;
  if (x0 > x2)
  {
    std::swap(x0, x2);
    std::swap(y0, y2);
  }
  const double a = (double)x0 - 2.0 * xc + x2, b = 2.0 * ((double)xc - x0);
  auto Yat = [&](double t) { return (float)((1 - t) * (1 - t) * y0 + 2.0 * (1 - t) * t * yc + t * t * y2); };

  double t_lo = 0.0, t_hi = 1.0;
  float x_lo = x0, y_lo = y0, x_hi = x2, y_hi = y2;
  if (x0 < 0.0f)
  {
    x_lo = 0.0f;
    if (x2 <= 0.0f)
    {
      t_lo = 1.0;
      y_lo = y2;
    }
    else if (a != 0.0)
    {
      t_lo = Root(a, b, x0);
      y_lo = Yat(t_lo);
    }
    else if (x0 != x2)
    {
      t_lo = (0.0 - x0) / ((double)x2 - x0);
      y_lo = (float)(y0 + ((double)y2 - y0) * t_lo);
    }
    else
      y_lo = y0;
  }
  if (x2 >= (float)W)
  {
    const float last = (float)(W - 1);
    x_hi = last;
    if (x0 >= last)
    {
      t_hi = 0.0;
      y_hi = y0;
    }
    else if (a != 0.0)
    {
      t_hi = Root(a, b, (double)x0 - last);
      y_hi = Yat(t_hi);
    }
    else if (x0 != x2)
    {
      t_hi = ((double)last - x0) / ((double)x2 - x0);
      y_hi = (float)(y0 + ((double)y2 - y0) * t_hi);
    }
    else
    {
      t_hi = 0.0;
      y_hi = y0;
    }
  }
  if (x_lo > x_hi || alpha == 0.0f) return;
  const float tol2 = tolerance > 1.0f ? tolerance * tolerance : 0.0f;
  PIX_DispatchVector(mode, alpha, !antialias, [&](auto tag) {
    _PIX_CurveDrawer<typename decltype(tag)::type>::DrawQBezRecurse(0, bm, x0, xc, x2, y0, yc, y2, color, alpha,
                                                                    antialias, t_lo, x_lo, y_lo, t_hi, x_hi, y_hi,
                                                                    W, H, tol2);
  });
}

void PIX_DrawCBezier(PIX_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1, float xctl2, float yctl2,
                     float xend, float yend, PIX_PixelValue color, float alpha, int mode, bool antialias,
                     float tolerance)
{
  if (!Drawable(bm) ||
      !PIX_AllFinite(xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend, alpha, tolerance))
    return;
  alpha = PIX_HoldAlpha(alpha);
  const int W = bm->getWidth(), H = bm->getHeight();
  float x0 = xstart, y0 = ystart, x1 = xctl1, y1 = yctl1, x2 = xctl2, y2 = yctl2, x3 = xend, y3 = yend;
  if (x0 > x3)
  {
    std::swap(x0, x3);
    std::swap(y0, y3);
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const double cx = 3.0 * ((double)x1 - x0), bx = 3.0 * ((double)x2 - x1) - cx, ax = ((double)x3 - x0) - cx - bx;
  const double cy = 3.0 * ((double)y1 - y0), by = 3.0 * ((double)y2 - y1) - cy, ay = ((double)y3 - y0) - cy - by;

  double t_lo = 0.0, t_hi = 1.0;
  float x_lo = x0, y_lo = y0, x_hi = x3, y_hi = y3;
  if (x0 < 0.0f)
  {
    y_lo = PIX_CBezier_GetY(x0, x1, x2, x3, y0, y1, y2, y3, 0.0f, (float*)nullptr, (float*)nullptr, nullptr, &t_lo);
    x_lo = 0.0f;
  }
  if (x3 >= (float)W)
  {
    x_hi = (float)(W - 1);
    y_hi = PIX_CBezier_GetY(x0, x1, x2, x3, y0, y1, y2, y3, x_hi, (float*)nullptr, (float*)nullptr, &t_hi, nullptr);
  }
  if (x_hi < x_lo || alpha == 0.0f) return;
  const float tol2 = tolerance > 0.0f ? tolerance * tolerance : 0.0f;
  PIX_DispatchVector(mode, alpha, !antialias, [&](auto tag) {
    _PIX_CurveDrawer<typename decltype(tag)::type>::DrawCBezRecurse(0, bm, ax, bx, cx, (double)x0, ay, by, cy,
                                                                    (double)y0, color, alpha, antialias, t_lo, x_lo,
                                                                    y_lo, t_hi, x_hi, y_hi, W, H, tol2);
  });
}
