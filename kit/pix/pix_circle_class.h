#pragma once
// The circle rasterisers of _PIX_CircleDrawer (declared in pix_circle.h), for the circle and arc
// code that instantiates them.
//
// Up to a radius a few times the clip rectangle's size the walks run step by step as specified,
// in single precision. A larger radius would cost steps in proportion to itself, so its walk
// visits only the steps whose pixels can reach the clip rectangle, computing each step's other
// coordinate directly (in double precision), and a disc is filled one span per visible row.
// Pixel coordinates are the walks' single-precision sums rounded down: for every pixel inside the
// bitmap that is the truncation the walks are written with, and a point between -1 and 0 stays
// out of column and row 0.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "pix_arc.h"
#include "pix_circle.h"
#include "pix_numeric.h"
#include "pix_vector_modes.h"

namespace pix_circle
{
// Writes points and spans through one combiner, testing the clip rectangle when asked.
template <class C>
struct Plotter
{
  PIX_PixelValue* bits;
  ptrdiff_t span;
  RECT clip;
  int r, g, b, a;
  bool clipped;

  Plotter(PIX_IBitmap* bm, const RECT& c, PIX_PixelValue color, bool clip_)
      : bits(bm->getBits()), span(bm->getRowSpan()), clip(c), r((int)((color >> 8) & 0xff)),
        g((int)((color >> 16) & 0xff)), b((int)(color >> 24)), a((int)(color & 0xff)), clipped(clip_)
  {
  }
  void pt(int x, int y, int w) const
  {
    if (clipped && (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom)) return;
    C::doPix((unsigned char*)(bits + (ptrdiff_t)y * span + x), r, g, b, a, w);
  }
  void hline(int y, int x1, int x2, int w) const
  {
    if (clipped)
    {
      if (y < clip.top || y >= clip.bottom) return;
      x1 = std::max(x1, (int)clip.left);
      x2 = std::min(x2, (int)clip.right - 1);
    }
    unsigned char* p = (unsigned char*)(bits + (ptrdiff_t)y * span + x1);
    for (int x = x1; x <= x2; ++x, p += 4) C::doPix(p, r, g, b, a, w);
  }
};

// A pixel coordinate: the pixel the position lies in, rounded down, so that a position just left
// of or above the bitmap (between -1 and 0) does not land in column or row 0. For positions the
// step-by-step walks form, which stay near the clip rectangle.
inline int Fl(float v)
{
  const int t = (int)v;
  return t - (v < (float)t ? 1 : 0);
}
// The same for the far forms, formed in double and held to the int range.
inline int At(double v) { return PIX_FloorInt(v); }

inline bool Usable(PIX_IBitmap* bm, const RECT& c)
{
  return bm && bm->getBits() && bm->getRowSpan() >= bm->getWidth() && c.left >= 0 && c.top >= 0 &&
         c.right <= bm->getWidth() && c.bottom <= bm->getHeight() && c.left < c.right && c.top < c.bottom;
}

// True when no pixel of the circle (whose pixels all lie within 2 of |r| from the centre) can
// reach the clip rectangle.
inline bool Outside(float cx, float cy, float rad, const RECT& c)
{
  const double m = std::fabs((double)rad) + 2.0;
  return !((double)cx + m >= c.left && (double)cx - m < c.right && (double)cy + m >= c.top && (double)cy - m < c.bottom);
}

// The public functions' clip decision, NaN-safe and for either sign of the radius: the
// rasterisers may skip their per-pixel tests only when the whole circle lies a pixel inside.
inline bool NeedsClip(PIX_IBitmap* bm, float cx, float cy, float r)
{
  const float a = std::fabs(r);
  return !(cx - a - 1 >= 0 && cy - a - 1 >= 0 && cx + a + 1 < (float)bm->getWidth() &&
           cy + a + 1 < (float)bm->getHeight());
}

// Radii up to this are walked step by step.
inline bool Far(float rad, const RECT& c)
{
  const double size = (double)c.right - c.left + (double)c.bottom - c.top;
  return std::fabs((double)rad) > std::max(4096.0, 2.0 * size);
}

// The steps t >= first whose points can fall inside the clip rectangle: those whose column
// cx +- t or row cy +- t lies within it (with a pixel to spare for truncation), as sorted,
// disjoint ranges. Each range is no longer than the rectangle, so there are few steps in all.
struct Steps
{
  int64_t lo[4], hi[4];
  int n = 0;

  Steps(double cx, double cy, const RECT& c, int64_t first)
  {
    const int64_t lim = (int64_t)1 << 62;
    auto add = [&](double a, double b) {
      const int64_t l = std::max(first, PIX_TruncInt64(std::ceil(a), lim)), h = PIX_TruncInt64(std::floor(b), lim);
      if (l > h) return;
      lo[n] = l;
      hi[n] = h;
      ++n;
    };
    add(c.left - 1 - cx, c.right + 1 - cx);
    add(cx - c.right - 1, cx - c.left + 1);
    add(c.top - 1 - cy, c.bottom + 1 - cy);
    add(cy - c.bottom - 1, cy - c.top + 1);
    // Sort and merge, so that no step is drawn twice.
    for (int i = 1; i < n; ++i)
      for (int j = i; j > 0 && lo[j] < lo[j - 1]; --j)
      {
        std::swap(lo[j], lo[j - 1]);
        std::swap(hi[j], hi[j - 1]);
      }
    int m = 0;
    for (int i = 0; i < n; ++i)
    {
      if (m > 0 && lo[i] <= hi[m - 1] + 1)
        hi[m - 1] = std::max(hi[m - 1], hi[i]);
      else
      {
        lo[m] = lo[i];
        hi[m] = hi[i];
        ++m;
      }
    }
    n = m;
  }

  template <class F>
  void each(F f) const
  {
    for (int i = 0; i < n; ++i)
      for (int64_t t = lo[i]; t <= hi[i]; ++t)
        if (!f(t)) return;
  }
};

// The half width of a disc on row y, from the row's offset nearest the centre; false when the
// row misses the disc.
inline bool RowHalfWidth(double cy, double rad, int y, double* hw)
{
  double t = 0.0;
  if ((double)y >= cy) t = (double)y - cy;
  else if ((double)y + 1.0 <= cy) t = cy - (double)y - 1.0;
  if (t > rad) return false;
  *hw = std::sqrt(rad * rad - t * t);
  return true;
}

// The midpoint walk's radius at step x, in closed form: it keeps r - k for the least k whose
// midpoint below lies inside the circle.
inline double MidpointRadius(double rad, double x)
{
  const double s = std::sqrt(std::max(0.0, rad * rad - x * x));
  return rad - std::max(0.0, std::floor(rad - 0.5 - s) + 1.0);
}
}  // namespace pix_circle

template <class Combine>
void _PIX_CircleDrawer<Combine>::DrawClippedPt(PIX_IBitmap* bm, int x, int y, const RECT& clip, int r, int g, int b,
                                               int a, int weight, bool clipped)
{
  if (clipped && (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom)) return;
  Combine::doPix((unsigned char*)(bm->getBits() + (ptrdiff_t)y * bm->getRowSpan() + x), r, g, b, a, weight);
}

template <class Combine>
void _PIX_CircleDrawer<Combine>::DrawClippedHorzLine(PIX_IBitmap* bm, int y, int x1, int x2, const RECT& clip, int r,
                                                     int g, int b, int a, int weight, bool clipped)
{
  if (clipped)
  {
    if (y < clip.top || y >= clip.bottom) return;
    x1 = std::max(x1, (int)clip.left);
    x2 = std::min(x2, (int)clip.right - 1);
  }
  unsigned char* p = (unsigned char*)(bm->getBits() + (ptrdiff_t)y * bm->getRowSpan() + x1);
  for (int x = x1; x <= x2; ++x, p += 4) Combine::doPix(p, r, g, b, a, weight);
}

template <class Combine>
void _PIX_CircleDrawer<Combine>::DrawClippedCircle(PIX_IBitmap* bm, float cx, float cy, float rad, const RECT& clip,
                                                   PIX_PixelValue color, float alpha, bool fill, bool clipped)
{
  using namespace pix_circle;
  if (!PIX_AllFinite(cx, cy, rad, alpha) || !Usable(bm, clip) || Outside(cx, cy, rad, clip)) return;
  const int w = PIX_AlphaToWeight255(alpha);

  if (Far(rad, clip))
  {
    const Plotter<Combine> P(bm, clip, color, true);
    const double x0 = cx, y0 = cy, r0 = rad;
    P.pt(At(x0), At(y0 + r0), w);
    P.pt(At(x0), At(y0 - r0), w);
    P.pt(At(x0 + r0), At(y0), w);
    P.pt(At(x0 - r0), At(y0), w);
    if (!(rad > 0.0f)) return;
    Steps(x0, y0, clip, 1).each([&](int64_t step) {
      const double x = (double)step;
      if (step > 1 && !(MidpointRadius(r0, x - 1.0) > x - 1.0)) return false;  // past the octant
      const double ry = MidpointRadius(r0, x);
      P.pt(At(x0 + x), At(y0 + ry), w);
      P.pt(At(x0 - x), At(y0 + ry), w);
      P.pt(At(x0 + x), At(y0 - ry), w);
      P.pt(At(x0 - x), At(y0 - ry), w);
      P.pt(At(x0 + ry), At(y0 + x), w);
      P.pt(At(x0 - ry), At(y0 + x), w);
      P.pt(At(x0 + ry), At(y0 - x), w);
      P.pt(At(x0 - ry), At(y0 - x), w);
      return true;
    });
    if (!fill) return;
    for (int y = clip.top; y < clip.bottom; ++y)
    {
      double hw;
      if (RowHalfWidth(y0, r0, y, &hw)) P.hline(y, At(x0 - hw + 1.0), At(x0 + hw - 1.0), w);
    }
    return;
  }

  const Plotter<Combine> P(bm, clip, color, clipped);
  P.pt(Fl(cx), Fl(cy + rad), w);
  P.pt(Fl(cx), Fl(cy - rad), w);
  P.pt(Fl(cx + rad), Fl(cy), w);
  P.pt(Fl(cx - rad), Fl(cy), w);
  if (fill) P.hline(Fl(cy), Fl(cx - rad + 1), Fl(cx + rad - 1), w);
  if (!(rad > 0.0f)) return;

  float r = rad, d = (5.0f - 4.0f * rad) / 4.0f;
  for (int x = 1;; ++x)
  {
    if (d < 0)
      d += 2 * x + 1;
    else
    {
      r -= 1;
      d += 2 * (x - r) + 1;
    }
    P.pt(Fl(cx + x), Fl(cy + r), w);
    P.pt(Fl(cx - x), Fl(cy + r), w);
    P.pt(Fl(cx + x), Fl(cy - r), w);
    P.pt(Fl(cx - x), Fl(cy - r), w);
    P.pt(Fl(cx + r), Fl(cy + x), w);
    P.pt(Fl(cx - r), Fl(cy + x), w);
    P.pt(Fl(cx + r), Fl(cy - x), w);
    P.pt(Fl(cx - r), Fl(cy - x), w);
    if (fill)
    {
      P.hline(Fl(cy - r), Fl(cx - x + 1), Fl(cx + x - 1), w);
      P.hline(Fl(cy + r), Fl(cx - x + 1), Fl(cx + x - 1), w);
      P.hline(Fl(cy - x), Fl(cx - r + 1), Fl(cx + r - 1), w);
      P.hline(Fl(cy + x), Fl(cx - r + 1), Fl(cx + r - 1), w);
    }
    if (!(r > x)) break;
  }
}

template <class Combine>
void _PIX_CircleDrawer<Combine>::DrawClippedCircleAA(PIX_IBitmap* bm, float cx, float cy, float rad,
                                                     const RECT& clip, PIX_PixelValue color, float alpha, bool fill,
                                                     bool clipped)
{
  using namespace pix_circle;
  if (!PIX_AllFinite(cx, cy, rad, alpha) || !Usable(bm, clip) || !(rad > -1.0f) || Outside(cx, cy, rad, clip)) return;
  alpha = PIX_HoldAlpha(alpha);
  const int W = PIX_AlphaToWeight255(alpha);

  // The points of one step: the two pixels each edge crossing falls between, weighted by where
  // it falls, or one pixel at full weight when it falls on a pixel corner. X(v) and Y(v) are the
  // column and row at offset v from the centre, X1 and Y1 those of the offset plus one.
  auto step = [&](const Plotter<Combine>& P, auto X, auto X1, auto Y, auto Y1, auto x, auto y) {
    const float f = (float)(x - std::floor(x));
    if (f != 0.0f)
    {
      const int Wo = (int)(alpha * f * 255.0f), Wi = (int)((1.0f - f) * alpha * 255.0f);
      for (auto sy : {y, -y})
      {
        P.pt(X(sy), Y1(x), Wo);
        P.pt(X(sy), Y(x), Wi);
        P.pt(X(sy), Y1(-x), Wi);
        P.pt(X(sy), Y(-x), Wo);
      }
      P.pt(X1(x), Y(y), Wo);
      P.pt(X(x), Y(y), Wi);
      P.pt(X1(x), Y(-y), Wo);
      P.pt(X(x), Y(-y), Wi);
      P.pt(X1(-x), Y(y), Wi);
      P.pt(X(-x), Y(y), Wo);
      P.pt(X1(-x), Y(-y), Wi);
      P.pt(X(-x), Y(-y), Wo);
    }
    else
    {
      P.pt(X(y), Y(x), W);
      P.pt(X(y), Y(-x), W);
      P.pt(X(-y), Y(x), W);
      P.pt(X(-y), Y(-x), W);
      P.pt(X(x), Y(y), W);
      P.pt(X(x), Y(-y), W);
      P.pt(X(-x), Y(y), W);
      P.pt(X(-x), Y(-y), W);
    }
  };

  if (Far(rad, clip))
  {
    const Plotter<Combine> P(bm, clip, color, true);
    const double x0 = cx, y0 = cy, r0 = rad;
    auto X = [x0](double v) { return At(x0 + v); };
    auto X1 = [x0](double v) { return At(x0 + v + 1.0); };
    auto Y = [y0](double v) { return At(y0 + v); };
    auto Y1 = [y0](double v) { return At(y0 + v + 1.0); };
    Steps(x0, y0, clip, 0).each([&](int64_t s) {
      const double y = (double)s, q = r0 * r0 - y * y;
      const double x = s == 0 ? r0 : (q < 0.0 ? -1.0 : std::sqrt(q));
      if (!(y < x + 1.0)) return false;
      step(P, X, X1, Y, Y1, x, y);
      return true;
    });
    if (!fill) return;
    for (int y = clip.top; y < clip.bottom; ++y)
    {
      double hw;
      if (RowHalfWidth(y0, r0, y, &hw)) P.hline(y, At(x0 - hw + 1.0), At(x0 + hw), W);
    }
    return;
  }

  const Plotter<Combine> P(bm, clip, color, clipped);
  // Single-precision sums, truncated; the "+ 1" is added to the sum, as written (cy + x) + 1.
  auto X = [cx](float v) { return Fl(cx + v); };
  auto X1 = [cx](float v) { return Fl(cx + v + 1.0f); };
  auto Y = [cy](float v) { return Fl(cy + v); };
  auto Y1 = [cy](float v) { return Fl(cy + v + 1.0f); };
  for (int y = 0;; ++y)
  {
    const float fy = (float)y;
    float x = rad;
    if (y > 0)
    {
      const float q = rad * rad - fy * fy;
      if (q < 0.0f) break;
      x = sqrtf(q);
    }
    if (!(fy < x + 1.0f)) break;
    step(P, X, X1, Y, Y1, x, fy);
    if (fill)
    {
      P.hline(Fl(cy - x) + 1, Fl(cx - fy), Fl(cx + fy), W);
      P.hline(Fl(cy + x), Fl(cx - fy), Fl(cx + fy), W);
      P.hline(Fl(cy - fy), Fl(cx - x) + 1, Fl(cx + x), W);
      P.hline(Fl(cy + fy), Fl(cx - x) + 1, Fl(cx + x), W);
    }
  }
}

template <class Combine>
void _PIX_CircleDrawer<Combine>::DrawArc(PIX_IBitmap* bm, float cx, float cy, float rad, float a0, float a1,
                                         PIX_PixelValue color, float alpha, bool aa)
{
  if (!bm) return;
  RECT clips[6];
  bool whole;
  const int n = PIX_ArcClips(cx, cy, rad, a0, a1, bm->getWidth(), bm->getHeight(), clips, &whole);
  for (int i = 0; i < n; ++i)
  {
    const bool clipped = !whole || pix_circle::NeedsClip(bm, cx, cy, rad);
    if (aa) DrawClippedCircleAA(bm, cx, cy, rad, clips[i], color, alpha, false, clipped);
    else DrawClippedCircle(bm, cx, cy, rad, clips[i], color, alpha, false, clipped);
  }
}
