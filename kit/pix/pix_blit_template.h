#pragma once
// The per-pixel loops of the scaled, area-filtered and affine blits, one instance per combiner
// (declared with the modes in pix_modes.h). The public blits clip and position first; these
// loops only walk.
//
// Source positions are 16.16 fixed point, truncated, and name pixel corners. They run in 64 bits,
// held to ranges no walk can leave, so an extreme position or step cannot overflow; inside the
// 32-bit range the numbers are those of a 32-bit walk. A sample is never read outside the clip
// range. In bilinear sampling a position between -1 and 0 samples the edge pixel (its fraction
// counts as 0): the fraction of a negative position would blend toward the wrong neighbour.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include <type_traits>

#include "pix_modes.h"
#include "pix_numeric.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define PIX_WALK_SSE2 1
#endif

namespace pix_walk
{
const int64_t kPosLimit = (int64_t)1 << 61;

inline int64_t Pos(double v) { return PIX_TruncInt64(v * 65536.0, kPosLimit); }
// A step that n additions cannot carry past twice the position limit.
inline int64_t Step(double v, int n) { return PIX_TruncInt64(v * 65536.0, kPosLimit / ((int64_t)n + 1)); }
inline int64_t Hold(int64_t v, int64_t lim) { return v > lim ? lim : (v < -lim ? -lim : v); }

// The cell of a position, truncated toward zero, and its fraction; negative positions have none.
inline int64_t Cell(int64_t p) { return p / 65536; }
inline int Frac(int64_t p) { return p < 0 ? 0 : (int)(p & 0xffff); }

inline const unsigned char* At(const unsigned char* src, ptrdiff_t span, int64_t x, int64_t y)
{
  return src + (ptrdiff_t)y * span + (ptrdiff_t)x * 4;
}

#ifdef PIX_WALK_SSE2
// The bilinear filter of a whole 2 x 2 block, four channels at once (lanes alpha, red, green,
// blue), in single precision. It is exact: every weight is a multiple of 2^-16 no larger than 1,
// every product and partial sum is a multiple of 2^-16 below 256, so all fit the 24-bit
// mantissa, and the truncation gives the integer filter's quotient.
inline __m128i Bilinear4(const unsigned char* tl, const unsigned char* bl, int xfrac, int yfrac)
{
  const int c = (int)(((unsigned)xfrac * (unsigned)yfrac) >> 16);
  const float k = 1.0f / 65536.0f;
  const __m128i z = _mm_setzero_si128();
  const __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i*)tl), z);
  const __m128i bot = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i*)bl), z);
  __m128 s = _mm_mul_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(top, z)), _mm_set1_ps((float)(65536 - xfrac - yfrac + c) * k));
  s = _mm_add_ps(s, _mm_mul_ps(_mm_cvtepi32_ps(_mm_unpackhi_epi16(top, z)), _mm_set1_ps((float)(xfrac - c) * k)));
  s = _mm_add_ps(s, _mm_mul_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(bot, z)), _mm_set1_ps((float)(yfrac - c) * k)));
  s = _mm_add_ps(s, _mm_mul_ps(_mm_cvtepi32_ps(_mm_unpackhi_epi16(bot, z)), _mm_set1_ps((float)c * k)));
  return _mm_cvttps_epi32(s);
}
#endif

// The four filtered channels of one bilinear sample at cell (sx, sy) with its fractions, taking
// the last clip column and row with one neighbour or none, as the blits do at their edges, and
// combines them into d with weight ia.
template <class Combine>
inline void Bilinear(unsigned char* d, int ia, const unsigned char* src, ptrdiff_t span, int64_t sx, int64_t sy,
                     int xfrac, int yfrac, bool lastcol, bool lastrow)
{
  const unsigned char* p = At(src, span, sx, sy);
  int r, g, b, a;
  if (!lastcol && !lastrow)
  {
#ifdef PIX_WALK_SSE2
    const __m128i v = Bilinear4(p, p + span, xfrac, yfrac);
    if (std::is_same<Combine, _PIX_CombinePixelsClobber>::value)
    {
      // Channels are 0..255 already: pack to bytes in memory order.
      const __m128i w = _mm_packs_epi32(v, v);
      const int px = _mm_cvtsi128_si32(_mm_packus_epi16(w, w));
      memcpy(d, &px, 4);
      return;
    }
    alignas(16) int c[4];
    _mm_store_si128((__m128i*)c, v);
    a = c[0];
    r = c[1];
    g = c[2];
    b = c[3];
#else
    __PIX_BilinearFilterI(&r, &g, &b, &a, p, p + span, xfrac, yfrac);
#endif
  }
  else if (!lastrow)
    __PIX_LinearFilterI(&r, &g, &b, &a, p, p + span, yfrac);
  else if (!lastcol)
    __PIX_LinearFilterI(&r, &g, &b, &a, p, p + 4, xfrac);
  else
  {
    a = p[0];
    r = p[1];
    g = p[2];
    b = p[3];
  }
  Combine::doPix(d, r, g, b, a, ia);
}
// Exact division of sums below 2^29 by a fixed divisor d: n / d == (n * m) >> s with
// m = ceil(2^s / d) and s = 29 + ceil(log2 d). With n = q * d + r (r < d) and
// e = m * d - 2^s (0 <= e < d <= 2^(s - 29)), n * m / 2^s = q + (r + n * e / 2^s) / d where
// n * e / 2^s < 1, so the floor is q; n * m stays below 2^60. The default divider (d = 0) matches
// no total.
struct Divider
{
  int d;
  uint64_t m;
  int s;
  Divider() : d(0), m(0), s(0) {}
  explicit Divider(int divisor) : d(divisor), m(0), s(0)
  {
    if (d < 1) return;
    int l = 0;
    while (((int64_t)1 << l) < d) ++l;
    s = 29 + l;
    m = (((uint64_t)1 << s) + (uint64_t)d - 1) / (uint64_t)d;
  }
  int operator()(int n) const { return (int)(((uint64_t)n * m) >> s); }
};
}  // namespace pix_walk

template <class Combine>
void _PIX_Template_Blit<Combine>::scaleBlit(unsigned char* dest, unsigned char* src, int w, int h, double srcx,
                                            double srcy, double dx, double dy, int clipx, int clipy,
                                            int clipright, int clipbottom, int src_span, int dest_span,
                                            float alpha, int filtermode)
{
  using namespace pix_walk;
  const int ia = PIX_AlphaToWeight((double)alpha);
  const int64_t icurx = Pos(srcx), idx = Step(dx, w);
  double cury = srcy;
  for (int j = 0; j < h; ++j, cury += dy, dest += dest_span)
  {
    const int64_t sy = PIX_TruncInt64(cury, kPosLimit);
    if (sy < clipy || sy >= clipbottom) continue;
    unsigned char* d = dest;
    int64_t icx = icurx;
    if (filtermode != PIX_MODE_FILTERBILINEAR)
    {
      const unsigned char* row = At(src, src_span, 0, sy);
      for (int i = 0; i < w; ++i, icx += idx, d += 4)
      {
        const int64_t sx = icx >> 16;  // rounded down
        if (sx < clipx || sx >= clipright) continue;
        const unsigned char* p = row + sx * 4;
        Combine::doPix(d, p[1], p[2], p[3], p[0], ia);
      }
      continue;
    }
    const int yfrac = cury < 0.0 ? 0 : (int)((cury - (double)sy) * 65536.0);
    const bool lastrow = sy == clipbottom - 1;
    for (int i = 0; i < w; ++i, icx += idx, d += 4)
    {
      const int64_t sx = Cell(icx);
      if (sx < clipx || sx >= clipright) continue;
      Bilinear<Combine>(d, ia, src, src_span, sx, sy, Frac(icx), yfrac, sx == clipright - 1, lastrow);
    }
  }
}

template <class Combine>
void _PIX_Template_Blit<Combine>::scaleBlitFilterDown(unsigned char* dest, unsigned char* src, int w, int h,
                                                      double srcx, double srcy, double dx, double dy, int clipx,
                                                      int clipy, int clipright, int clipbottom, int src_span,
                                                      int dest_span, float alpha)
{
  using namespace pix_walk;
  const int ia = PIX_AlphaToWeight((double)alpha);
  const int64_t icurx = Pos(srcx), idx = Step(dx, w);
  const double m = std::max(std::fabs(dx), std::fabs(dy));  // mirrored walks step back
  const int half = m > 3.0 ? 2 : 1;

  int kernel[5][5];
  for (int ky = -half; ky <= half; ++ky)
    for (int kx = -half; kx <= half; ++kx)
    {
      int& k = kernel[ky + half][kx + half];
      if (kx == 0 && ky == 0)
      {
        k = 65536;
        continue;
      }
      const double v = (m - 1.0) / std::sqrt((double)(kx * kx + ky * ky));
      k = v < 0.0 ? 0 : (v > 1.0 ? 65536 : (int)(v * 65536.0));
    }

  // A kernel cut by the clip range sums to one total for each cut: the columns [a, b) of the kernel
  // a pixel takes, on the rows the current row takes. Each cut divides through an exact reciprocal
  // of its total, made when the total first differs from the one it holds (rows at the top and
  // bottom cut rows away too); sums stay below 25 * 65536 * 256 = 2^29 * 0.78.
  Divider cuts[5][5];

  double cury = srcy;
  for (int j = 0; j < h; ++j, cury += dy, dest += dest_span)
  {
    const int64_t sy = PIX_TruncInt64(cury, kPosLimit);
    if (sy < clipy || sy >= clipbottom) continue;
    const int64_t ky0 = std::max<int64_t>(sy - half, clipy), ky1 = std::min<int64_t>(sy + half + 1, clipbottom);
    unsigned char* d = dest;
    int64_t icx = icurx;
    for (int i = 0; i < w; ++i, icx += idx, d += 4)
    {
      const int64_t sx = Cell(icx);
      if (sx < clipx || sx >= clipright) continue;
      const int64_t kx0 = std::max<int64_t>(sx - half, clipx), kx1 = std::min<int64_t>(sx + half + 1, clipright);
      int sr = 0, sg = 0, sb = 0, sa = 0, total = 0;
      for (int64_t y = ky0; y < ky1; ++y)
      {
        const int* krow = kernel[y - sy + half];
        const unsigned char* p = At(src, src_span, kx0, y);
        for (int64_t x = kx0; x < kx1; ++x, p += 4)
        {
          const int k = krow[x - sx + half];
          sa += k * p[0];
          sr += k * p[1];
          sg += k * p[2];
          sb += k * p[3];
          total += k;
        }
      }
      if (total < 1) continue;
      Divider& div = cuts[kx0 - sx + half][kx1 - sx + half - 1];
      if (div.d != total) div = Divider(total);
      Combine::doPix(d, div(sr), div(sg), div(sb), div(sa), ia);
    }
  }
}

template <class Combine>
void _PIX_Template_Blit<Combine>::deltaBlit(unsigned char* dest, unsigned char* src, int w, int h, double srcx,
                                            double srcy, double dsdx, double dtdx, double dsdy, double dtdy,
                                            double dsdxdy, double dtdxdy, int clipx, int clipy, int clipright,
                                            int clipbottom, int src_span, int dest_span, float alpha,
                                            int filtermode)
{
  using namespace pix_walk;
  const int ia = PIX_AlphaToWeight((double)alpha);
  const int n = std::max(w, h);
  const int64_t slim = kPosLimit / ((int64_t)n + 1);
  int64_t s0 = Pos(srcx), t0 = Pos(srcy);
  int64_t ds = Step(dsdx, n), dt = Step(dtdx, n);
  const int64_t dsy = Step(dsdy, n), dty = Step(dtdy, n), dds = Step(dsdxdy, n), ddt = Step(dtdxdy, n);
  const bool bilinear = filtermode == PIX_MODE_FILTERBILINEAR;
  for (int j = 0; j < h; ++j, dest += dest_span)
  {
    unsigned char* d = dest;
    int64_t s = s0, t = t0;
    for (int i = 0; i < w; ++i, s += ds, t += dt, d += 4)
    {
      const int64_t sx = Cell(s), sy = Cell(t);
      if (sx < clipx || sx >= clipright || sy < clipy || sy >= clipbottom) continue;
      if (!bilinear)
      {
        const unsigned char* p = At(src, src_span, sx, sy);
        Combine::doPix(d, p[1], p[2], p[3], p[0], ia);
        continue;
      }
      Bilinear<Combine>(d, ia, src, src_span, sx, sy, Frac(s), Frac(t), sx == clipright - 1, sy == clipbottom - 1);
    }
    // Held per row, so that no number of rows can carry a step or a start out of range.
    ds = Hold(ds + dds, slim);
    dt = Hold(dt + ddt, slim);
    s0 = Hold(s0 + dsy, kPosLimit);
    t0 = Hold(t0 + dty, kPosLimit);
  }
}
