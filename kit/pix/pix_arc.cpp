// Arcs, drawn as the whole circle through clip rectangles, and rounded rectangles built from
// lines and quarter arcs.
//
// An arc is cut at the quadrant boundaries (the top, right, bottom and left of the circle). In
// one quadrant the circle is monotone in x and y, so the piece between two angles is exactly the
// circle inside the quadrant bounded by the two ends: the quadrant's inner sides come from the
// points on the axes, the piece's ends add a side each where they are not a quadrant boundary.
// A single rectangle for the whole arc, bounded by its two ends, holds the arc only when both
// ends lie on the axes; for ends inside a quadrant it can hold most of the circle.

#include <algorithm>
#include <cmath>

#include "pix_arc.h"
#include "pix_circle_class.h"
#include "pix_line.h"
#include "pix_shapes.h"

namespace
{
const float kTwoPi = 6.2831855f;
// The quadrant boundaries 0, pi/2, pi, 3pi/2, in single precision.
const float kBound[4] = {0.0f, 1.5707964f, 3.1415927f, 4.712389f};
// Ends within this of a quadrant boundary count as on it.
const float kSnap = 1e-6f;

// Into [0, 2pi) (or [0, 2pi] when closed) by whole turns; huge angles are reduced at once, so
// the turns are few.
float Normalise(float a, bool closed)
{
  if (std::fabs(a) > 64.0f * kTwoPi) a = (float)std::fmod((double)a, (double)kTwoPi);
  while (a < 0.0f) a += kTwoPi;
  if (closed)
    while (a > kTwoPi) a -= kTwoPi;
  else
    while (a >= kTwoPi) a -= kTwoPi;
  return a;
}

struct Point
{
  int x, y;
};

// The pixel at angle a: sine and cosine in double, products and sums in single precision.
Point At(float cx, float cy, float r, float a)
{
  return {PIX_TruncInt(cx + r * (float)std::sin((double)a)), PIX_TruncInt(cy - r * (float)std::cos((double)a))};
}

// Boundary k of the unwrapped angle (0 to 8: up to two turns).
float Boundary(int k) { return kBound[k & 3] + (k >= 4 ? kTwoPi : 0.0f); }
}  // namespace

int PIX_ArcClips(float cx, float cy, float r, float a0, float a1, int width, int height, RECT clips[6], bool* whole)
{
  *whole = false;
  const float sweep = a1 - a0;
  if (!PIX_AllFinite(cx, cy, r, a0, a1) || !(sweep > 0.0f) || width <= 0 || height <= 0) return 0;
  const RECT all = {0, 0, width, height};
  if (sweep >= kTwoPi)
  {
    *whole = true;
    clips[0] = all;
    return 1;
  }
  const float start = Normalise(a0, false), end = start + sweep;
  const float endAngle = Normalise(a1, true);
  const Point axis[4] = {At(cx, cy, r, kBound[0]), At(cx, cy, r, kBound[1]), At(cx, cy, r, kBound[2]),
                         At(cx, cy, r, kBound[3])};

  int k = 3;
  while (k > 0 && start < kBound[k]) --k;
  int n = 0;
  for (float s = start; s < end && k < 8; ++k)
  {
    const float lo = Boundary(k), hi = Boundary(k + 1), t = std::min(end, hi);
    const bool fromStart = s - lo < kSnap, toEnd = hi - t < kSnap;
    if (t - s >= kSnap)
    {
      const Point p0 = s == start ? At(cx, cy, r, start) : axis[k & 3];
      const Point p1 = t == end ? At(cx, cy, r, endAngle) : axis[(k + 1) & 3];
      const Point in0 = axis[k & 3], in1 = axis[(k + 1) & 3];
      RECT c = all;
      auto atLeast = [](int32_t& side, int v) { side = std::max<int32_t>(side, v); };
      auto below = [](int32_t& side, int v) { side = std::min<int32_t>(side, v); };
      switch (k & 3)
      {
        case 0:  // top to right: x and y grow
          atLeast(c.left, in0.x);
          below(c.bottom, in1.y);
          atLeast(c.top, p0.y);
          if (!toEnd) below(c.right, p1.x);
          break;
        case 1:  // right to bottom: x shrinks, y grows
          atLeast(c.top, in0.y);
          atLeast(c.left, in1.x);
          if (!fromStart) below(c.right, p0.x);
          if (!toEnd) below(c.bottom, p1.y);
          break;
        case 2:  // bottom to left: x and y shrink
          below(c.right, in0.x);
          atLeast(c.top, in1.y);
          if (!fromStart) below(c.bottom, p0.y);
          if (!toEnd) atLeast(c.left, p1.x);
          break;
        default:  // left to top: x grows, y shrinks
          below(c.bottom, in0.y);
          below(c.right, in1.x);
          if (!fromStart) atLeast(c.left, p0.x);
          if (!toEnd) atLeast(c.top, p1.y);
          break;
      }
      if (c.left < c.right && c.top < c.bottom) clips[n++] = c;
    }
    s = hi;
  }
  return n;
}

void PIX_Arc(PIX_IBitmap* bm, float cx, float cy, float r, float a0, float a1, PIX_PixelValue color, float alpha,
             int mode, bool aa)
{
  if (!bm || alpha == 0.0f || !PIX_AllFinite(cx, cy, r, a0, a1, alpha)) return;
  alpha = PIX_HoldAlpha(alpha);
  // On a flipped bitmap the arc is drawn in memory rows: the centre's row and the angles mirror
  // (a clockwise arc on screen runs the other way in memory).
  if (bm->isFlipped())
  {
    cy = (float)(bm->getHeight() - 1) - cy;
    const float m0 = 3.1415927f - a1, m1 = 3.1415927f - a0;
    a0 = m0;
    a1 = m1;
  }
  PIX_DispatchVector(mode, alpha, !aa, [&](auto tag) {
    _PIX_CircleDrawer<typename decltype(tag)::type>::DrawArc(bm, cx, cy, r, a0, a1, color, alpha, aa);
  });
}

void PIX_RoundRect(PIX_IBitmap* bm, float x, float y, float w, float h, int radius, PIX_PixelValue color,
                   float alpha, int mode, bool aa)
{
  if (!bm || !PIX_AllFinite(x, y, w, h, alpha)) return;
  float c = 0.0f;
  if (radius > 0)
  {
    float m = (float)radius;
    if (m > w * 0.5f) m = w * 0.5f;
    if (m > h * 0.5f) m = h * 0.5f;
    c = floorf(m);
  }
  auto I = [](float v) { return PIX_TruncInt(v); };
  if (!(c >= 2.0f))
  {
    PIX_DrawRect(bm, I(x), I(y), I(w), I(h), color, alpha, mode);
    return;
  }
  const float xl = x + c, xr = x + w - c, yt = y + c, yb = y + h - c;
  PIX_Line(bm, I(xl), I(y), I(xr), I(y), color, alpha, mode, aa);
  PIX_Line(bm, I(xl - 1), I(y + h), I(xr), I(y + h), color, alpha, mode, aa);
  PIX_Line(bm, I(x + w), I(yt), I(x + w), I(yb), color, alpha, mode, aa);
  PIX_Line(bm, I(x), I(yt - 1), I(x), I(yb), color, alpha, mode, aa);
  PIX_Arc(bm, xl, yt, c, -1.5707964f, 0.0f, color, alpha, mode, aa);
  PIX_Arc(bm, xr, yt, c, 0.0f, 1.5707964f, color, alpha, mode, aa);
  PIX_Arc(bm, xr, yb, c, 1.5707964f, 3.1415927f, color, alpha, mode, aa);
  PIX_Arc(bm, xl, yb, c, 3.1415927f, 4.712389f, color, alpha, mode, aa);
}
