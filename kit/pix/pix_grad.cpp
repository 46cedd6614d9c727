// Gradient fills in 16.16 fixed point, and coverage masks drawn in one colour.

#include "pix.h"
#include "pix_rows.h"

namespace
{
long long Fixed1616(float v)
{
  const double d = (double)v * 65536.0;
  if (!(d == d)) return 0;
  if (d >= 2147483647.0) return 2147483647;
  if (d <= -2147483648.0) return -2147483647LL - 1;
  return (long long)d;
}

// Held to where the combiners' integer arithmetic stays exact; real gradients never get near.
inline int Bound(long long v, int lim) { return v < -lim ? -lim : (v > lim ? lim : (int)v); }

template <class F>
bool ForKind(int kind, F f)
{
  switch (kind)
  {
    case PIX_MODE_COPY: f(_PIX_CombinePixelsCopy()); return true;
    case PIX_MODE_ADD: f(_PIX_CombinePixelsAdd()); return true;
    case PIX_MODE_COLORDODGE: f(_PIX_CombinePixelsColorDodge()); return true;
    case PIX_MODE_MUL: f(_PIX_CombinePixelsMul()); return true;
    case PIX_MODE_OVERLAY: f(_PIX_CombinePixelsOverlay()); return true;
    case PIX_MODE_HSVADJUST: f(_PIX_CombinePixelsHSVAdjust()); return true;
    default: return false;
  }
}
}  // namespace

void PIX_GradRect(PIX_IBitmap* bm, int x, int y, int w, int h, float ir, float ig, float ib, float ia,
                  float drdx, float dgdx, float dbdx, float dadx, float drdy, float dgdy, float dbdy, float dady,
                  int mode)
{
  const PIX_Rows rows(bm);
  if (!rows.bits) return;
  // Channels in 0..255 units, alpha in 1/256 weight units.
  float v[4] = {ir * 255, ig * 255, ib * 255, ia * 256};
  float dx[4] = {drdx * 255, dgdx * 255, dbdx * 255, dadx * 256};
  float dy[4] = {drdy * 255, dgdy * 255, dbdy * 255, dady * 256};
  long long lx = x, ly = y, lw = w, lh = h;
  if (lx < 0)
  {
    for (int c = 0; c < 4; ++c) v[c] -= (float)x * dx[c];
    lw += lx;
    lx = 0;
  }
  if (lx + lw > rows.width) lw = rows.width - lx;
  if (ly < 0)
  {
    for (int c = 0; c < 4; ++c) v[c] -= (float)y * dy[c];
    lh += ly;
    ly = 0;
  }
  if (ly + lh > rows.height) lh = rows.height - ly;
  if (lw < 1 || lh < 1) return;

  long long start[4], cx[4], cy[4];
  for (int c = 0; c < 4; ++c)
  {
    start[c] = Fixed1616(v[c]);
    cx[c] = Fixed1616(dx[c]);
    cy[c] = Fixed1616(dy[c]);
  }
  ForKind(mode & PIX_MODE_KINDMASK, [&](auto combine) {
    using C = decltype(combine);
    for (long long j = 0; j < lh; ++j)
    {
      long long acc[4] = {start[0], start[1], start[2], start[3]};
      unsigned char* d = (unsigned char*)rows.at((int)lx, (int)(ly + j));
      for (long long i = 0; i < lw; ++i, d += 4)
      {
        const int wt = Bound(acc[3] / 65536, kPIX_MaxWeight);
        C::doPix(d, Bound(acc[0] / 65536, 512), Bound(acc[1] / 65536, 512), Bound(acc[2] / 65536, 512), wt, wt);
        for (int c = 0; c < 4; ++c) acc[c] += cx[c];
      }
      for (int c = 0; c < 4; ++c) start[c] += cy[c];
    }
  });
}

void PIX_DrawGlyph(PIX_IBitmap* bm, int x, int y, PIX_PixelValue color, const unsigned char* alphas, int glyph_w,
                   int glyph_h, float alpha, int mode)
{
  if (alpha == 0.0f || !alphas || glyph_w <= 0 || glyph_h <= 0) return;
  const PIX_Rows rows(bm);
  if (!rows.bits) return;
  const int kind = mode & PIX_MODE_KINDMASK;
  if (kind == PIX_MODE_COPY && !(alpha > 0.0f)) return;

  long long gx = 0, gy = 0, dx = x, dy = y, w = glyph_w, h = glyph_h;
  if (dx < 0) { gx = -dx; w += dx; dx = 0; }
  if (dy < 0) { gy = -dy; h += dy; dy = 0; }
  if (dx + w >= rows.width) w = rows.width - dx;
  if (dy + h >= rows.height) h = rows.height - dy;
  if (w <= 0 || h <= 0) return;

  const int weight = PIX_AlphaToWeight(alpha);
  const int r = (color >> 8) & 0xff, g = (color >> 16) & 0xff, b = color >> 24, a = color & 0xff;
  ForKind(kind, [&](auto combine) {
    using C = decltype(combine);
    for (long long j = 0; j < h; ++j)
    {
      const unsigned char* cov = alphas + (gy + j) * glyph_w + gx;
      unsigned char* d = (unsigned char*)rows.at((int)dx, (int)(dy + j));
      for (long long i = 0; i < w; ++i, d += 4)
        if (cov[i]) C::doPix(d, r, g, b, a, weight * cov[i] / 256);
    }
  });
}
