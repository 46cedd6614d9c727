// Lines with integer and float end points: clipping, the dispatch on mode and slope, and the
// copy-mode stores at full opacity.

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "pix_line.h"
#include "pix_line_class.h"
#include "pix_lines_internal.h"

namespace
{
// Clipping stops after this many edge crossings; an exact clipper needs at most four per point,
// so only a line that could never settle is cut off (and rejected).
const int kMaxClipSteps = 32;

int Outcode(int64_t x, int64_t y, int64_t width, int64_t height)
{
  return (x < 0 ? 1 : 0) | (x >= width ? 2 : 0) | (y < 0 ? 4 : 0) | (y >= height ? 8 : 0);
}

// Truncation and floor are the same for the inside test: (int)v < 0 exactly when v <= -1. NaN is
// outside on every side.
int FOutcode(float x, float y, int width, int height)
{
  return (x > -1.0f ? 0 : 1) | (x < (float)width ? 0 : 2) | (y > -1.0f ? 0 : 4) | (y < (float)height ? 0 : 8);
}

inline int64_t Trunc64(double v) { return PIX_TruncInt64(v, (int64_t)1 << 62); }
}  // namespace

bool PIX_ClipLine64(int64_t* x1, int64_t* y1, int64_t* x2, int64_t* y2, int64_t width, int64_t height)
{
  int c1 = Outcode(*x1, *y1, width, height), c2 = Outcode(*x2, *y2, width, height);
  for (int step = 0; step < kMaxClipSteps; ++step)
  {
    if (!(c1 | c2)) return true;
    if (c1 & c2) return false;
    const int c = c1 ? c1 : c2;
    // The crossing lies between the two points, so no new coordinate leaves their range.
    const double dx = (double)(*x2 - *x1), dy = (double)(*y2 - *y1);
    int64_t nx, ny;
    if (c & 8)
    {
      nx = *x1 + Trunc64(dx * (double)(height - *y1) / dy);
      ny = height - 1;
    }
    else if (c & 4)
    {
      nx = *x1 + Trunc64(dx * (double)(-*y1) / dy);
      ny = 0;
    }
    else if (c & 2)
    {
      ny = *y1 + Trunc64(dy * (double)(width - *x1) / dx);
      nx = width - 1;
    }
    else
    {
      ny = *y1 + Trunc64(dy * (double)(-*x1) / dx);
      nx = 0;
    }
    if (c == c1)
    {
      *x1 = nx;
      *y1 = ny;
      c1 = Outcode(nx, ny, width, height);
    }
    else
    {
      *x2 = nx;
      *y2 = ny;
      c2 = Outcode(nx, ny, width, height);
    }
  }
  return false;
}

bool ClipLine(int* x1, int* y1, int* x2, int* y2, int width, int height)
{
  int64_t a = *x1, b = *y1, c = *x2, d = *y2;
  const bool in = PIX_ClipLine64(&a, &b, &c, &d, width, height);
  *x1 = PIX_SatInt(a);
  *y1 = PIX_SatInt(b);
  *x2 = PIX_SatInt(c);
  *y2 = PIX_SatInt(d);
  return in;
}

bool PIX_ClipLine(int* x1, int* y1, int* x2, int* y2, int xlo, int ylo, int xhi, int yhi)
{
  int64_t a = (int64_t)*x1 - xlo, b = (int64_t)*y1 - ylo, c = (int64_t)*x2 - xlo, d = (int64_t)*y2 - ylo;
  const bool in = PIX_ClipLine64(&a, &b, &c, &d, (int64_t)xhi - xlo, (int64_t)yhi - ylo);
  *x1 = PIX_SatInt(a + xlo);
  *y1 = PIX_SatInt(b + ylo);
  *x2 = PIX_SatInt(c + xlo);
  *y2 = PIX_SatInt(d + ylo);
  return in;
}

bool ClipFLine(float* x1, float* y1, float* x2, float* y2, int width, int height)
{
  // Non-finite end points are rejected at once: no crossing can be computed from them.
  if (!PIX_AllFinite(*x1, *y1, *x2, *y2)) return false;
  const float w = (float)width, h = (float)height;
  int c1 = FOutcode(*x1, *y1, width, height), c2 = FOutcode(*x2, *y2, width, height);
  for (int step = 0; step < kMaxClipSteps; ++step)
  {
    if (!(c1 | c2)) return true;
    if (c1 & c2) return false;
    const int c = c1 ? c1 : c2;
    const float ax = *x1, ay = *y1, bx = *x2, by = *y2;
    float nx, ny;
    if (c & 8)
    {
      nx = (bx - ax) * (h - ay) / (by - ay) + ax;
      ny = h - 1.0f;
    }
    else if (c & 4)
    {
      nx = (bx - ax) * ay / (ay - by) + ax;
      ny = 0.0f;
    }
    else if (c & 2)
    {
      ny = (by - ay) * (w - ax) / (bx - ax) + ay;
      nx = w - 1.0f;
    }
    else
    {
      ny = (by - ay) * ax / (ax - bx) + ay;
      nx = 0.0f;
    }
    if (c == c1)
    {
      *x1 = nx;
      *y1 = ny;
      c1 = FOutcode(nx, ny, width, height);
    }
    else
    {
      *x2 = nx;
      *y2 = ny;
      c2 = FOutcode(nx, ny, width, height);
    }
    // Extreme coordinates can overflow the crossing; such a line is not drawn.
    if (!PIX_AllFinite(nx, ny)) return false;
  }
  return false;
}

void PIX_HorizLineFAST(PIX_IBitmap* bm, int y, int x1, int x2, PIX_PixelValue color)
{
  if (x1 > x2) std::swap(x1, x2);
  PIX_PixelValue* p = bm->getBits() + (ptrdiff_t)y * bm->getRowSpan();
  std::fill(p + x1, p + x2 + 1, color);
}

void PIX_VertLineFAST(PIX_IBitmap* bm, int x, int y1, int y2, PIX_PixelValue color)
{
  if (y1 > y2) std::swap(y1, y2);
  const ptrdiff_t span = bm->getRowSpan();
  PIX_PixelValue* p = bm->getBits() + (ptrdiff_t)y1 * span + x;
  for (int y = y1; y <= y2; ++y, p += span) *p = color;
}

namespace
{
template <class C>
void Vertical(PIX_IBitmap* bm, int x, int y1, int y2, PIX_PixelValue color, float alpha)
{
  const pix_line::Canvas cv(bm);
  const PIX_Source src(color);
  const int w = PIX_AlphaToWeight(alpha);
  if (y1 > y2) std::swap(y1, y2);
  PIX_PixelValue* p = cv.at(x, y1);
  for (int y = y1; y <= y2; ++y, p += cv.span) src.put<C>(p, w);
}

// Copy at full opacity on a diagonal, on whole pixels: three quarters of the colour on the line,
// a quarter on the pixels beside it (each byte rounded down separately).
void DiagonalOpaque(PIX_IBitmap* bm, int x1, int y1, int x2, int y2, PIX_PixelValue c, bool aa)
{
  const pix_line::Canvas cv(bm);
  if (!aa)
    pix_line::Diagonal(
        cv, x1, y1, x2, y2, false, [c](PIX_PixelValue* p) { *p = c; }, [](PIX_PixelValue*) {});
  else
    pix_line::Diagonal(
        cv, x1, y1, x2, y2, true, [c](PIX_PixelValue* p) { *p = _PIX_PackedThreeQuarter(c, *p); },
        [c](PIX_PixelValue* p) { *p = _PIX_PackedQuarter(c, *p); });
}
}  // namespace

bool PIX_PrepareLine(PIX_IBitmap* bm, int64_t* x1, int64_t* y1, int64_t* x2, int64_t* y2, bool flip)
{
  if (!bm || !bm->getBits() || bm->getRowSpan() < bm->getWidth()) return false;
  const int64_t height = bm->getHeight();
  if (flip && bm->isFlipped())
  {
    *y1 = height - 1 - *y1;
    *y2 = height - 1 - *y2;
  }
  return PIX_ClipLine64(x1, y1, x2, y2, bm->getWidth(), height);
}

void PIX_Line(PIX_IBitmap* bm, int x1, int y1, int x2, int y2, PIX_PixelValue color, float alpha, int mode,
              bool antialias)
{
  if (!std::isfinite(alpha) || alpha == 0.0f) return;
  alpha = PIX_HoldAlpha(alpha);
  int64_t a = x1, b = y1, c = x2, d = y2;
  if (!PIX_PrepareLine(bm, &a, &b, &c, &d, true)) return;
  x1 = (int)a;
  y1 = (int)b;
  x2 = (int)c;
  y2 = (int)d;
  const bool copy = (mode & PIX_MODE_KINDMASK) == PIX_MODE_COPY;

  if (x1 == x2)
  {
    if (copy && alpha == 1.0f) return PIX_VertLineFAST(bm, x1, y1, y2, color);
    PIX_DispatchVector(mode, alpha, true, [&](auto tag) {
      Vertical<typename decltype(tag)::type>(bm, x1, y1, y2, color, alpha);
    });
    return;
  }
  if (y1 == y2)
  {
    if (copy && alpha == 1.0f) return PIX_HorizLineFAST(bm, y1, x1, x2, color);
    PIX_DispatchVector(mode, alpha, true, [&](auto tag) {
      __PIX_LineClass<typename decltype(tag)::type>::PIX_HorizLine(bm, y1, x1, x2, color, alpha);
    });
    return;
  }
  if (std::abs(x2 - x1) == std::abs(y2 - y1))
  {
    if (copy && alpha == 1.0f) return DiagonalOpaque(bm, x1, y1, x2, y2, color, antialias);
    // Antialiased, copy at 0.5 is a weighted copy; plain, it is the half mix.
    PIX_DispatchVector(mode, alpha, !antialias, [&](auto tag) {
      __PIX_LineClass<typename decltype(tag)::type>::PIX_DiagLine(bm, x1, y1, x2, y2, color, alpha, antialias);
    });
    return;
  }
  PIX_DispatchVector(mode, alpha, !antialias, [&](auto tag) {
    __PIX_LineClass<typename decltype(tag)::type>::PIX_LineImpl(bm, x1, y1, x2, y2, color, alpha, antialias);
  });
}

void PIX_FLine(PIX_IBitmap* bm, float x1, float y1, float x2, float y2, PIX_PixelValue color, float alpha,
               int mode, bool antialias)
{
  if (!bm || !std::isfinite(alpha) || alpha == 0.0f) return;
  alpha = PIX_HoldAlpha(alpha);
  if (bm->isFlipped())
  {
    const float top = (float)(bm->getHeight() - 1);
    y1 = top - y1;
    y2 = top - y2;
  }
  if (!ClipFLine(&x1, &y1, &x2, &y2, bm->getWidth(), bm->getHeight())) return;
  PIX_DispatchVector(mode, alpha, !antialias, [&](auto tag) {
    __PIX_LineClass<typename decltype(tag)::type>::PIX_FLineImpl(bm, x1, y1, x2, y2, color, alpha, antialias);
  });
}
