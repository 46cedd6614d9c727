// Scaled blits: a source rectangle of fractional position and size drawn into a destination
// rectangle of whole pixels, nearest or bilinear, with an area filter for real reductions.

#include <algorithm>
#include <cmath>
#include <cstring>

#include <type_traits>

#include "pix.h"
#include "pix_blit_rows.h"
#include "pix_blit_scaled.h"
#include "pix_blit_template.h"
#include "pix_rows.h"
#include "pix_transform.h"

namespace
{
// Copy at exactly 0.5 without filter or source alpha: the packed halving sum of whole pixels.
struct PackedHalfStore
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int)
  {
    const uint32_t s = (uint32_t)a | (uint32_t)r << 8 | (uint32_t)g << 16 | (uint32_t)b << 24;
    uint32_t d;
    memcpy(&d, dest, 4);
    d = _PIX_PackedHalf(s, d);
    memcpy(dest, &d, 4);
  }
};

// One axis of the blit: the destination span, the source interval it shows and the walk over it.
struct Axis
{
  int64_t pos, size;  // destination start and length
  float lo, hi;       // the source interval, lesser to greater edge: the clip range
  float start;        // source position of the first destination pixel
  double step;        // source change per destination pixel

  // A negative size on exactly one side (destination or source) mirrors: the walk then starts one
  // step inside the far edge and steps back, so each pixel samples where its mirror image would.
  static Axis Make(int dpos, int dsize, float spos, float ssize)
  {
    Axis a;
    const float send = spos + ssize;
    a.lo = std::min(spos, send);
    a.hi = std::max(spos, send);
    a.size = dsize < 0 ? -(int64_t)dsize : dsize;
    a.pos = dsize < 0 ? dpos - a.size : dpos;
    const float len = ssize < 0 ? -ssize : ssize;
    a.step = (double)(len / (float)a.size);
    if ((dsize < 0) != (ssize < 0))
    {
      a.start = a.hi - (float)a.step;
      a.step = -a.step;
    }
    else
      a.start = a.lo;
    return a;
  }

  // Destination pixels before 0 move the start on; the clip range stays the caller's interval.
  void ClipStart()
  {
    if (pos >= 0) return;
    start -= (float)((double)pos * step);
    size += pos;
    pos = 0;
  }
  bool ClipEnd(int limit)
  {
    if (pos + size > limit) size = limit - pos;
    return size >= 1 && std::isfinite(start);
  }
};

// A combiner's row loop over the filtered pixels of the vector walk.
template <class C>
void CombineRow(unsigned char* d, const uint32_t* s, int n, int weight)
{
  const PIX_BlitRows rows = {(PIX_PixelValue*)d, 0, s, 0, n, 1};
  PIX_CombineRows<C>(rows, weight);
}

// The first and one-past-last byte of rows of n bytes from p, span apart.
void Extent(const unsigned char* p, ptrdiff_t span, int rows, ptrdiff_t n, uintptr_t* lo, uintptr_t* hi)
{
  const uintptr_t first = (uintptr_t)p, last = (uintptr_t)(p + (ptrdiff_t)(rows - 1) * span);
  *lo = std::min(first, last);
  *hi = std::max(first, last) + (uintptr_t)n;
}

struct ScaledRun : PIX_ScaledWalk
{
  bool vectors;

  template <class C>
  void run() const
  {
    if (filterDown)
      _PIX_Template_Blit<C>::scaleBlitFilterDown(d, s, w, h, srcx, srcy, dx, dy, clipx, clipy, clipright,
                                                 clipbottom, sspan, dspan, alpha);
#ifdef __SSE2__
    else if (vectors && filtermode == PIX_MODE_FILTERBILINEAR)
      PIX_ScaledBilinearSSE2(*this, std::is_same<C, _PIX_CombinePixelsClobber>::value ? nullptr : CombineRow<C>,
                             PIX_AlphaToWeight((double)alpha));
#endif
    else
      _PIX_Template_Blit<C>::scaleBlit(d, s, w, h, srcx, srcy, dx, dy, clipx, clipy, clipright, clipbottom,
                                       sspan, dspan, alpha, filtermode);
  }
};
}  // namespace

void PIX_ScaledBlit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                    float srcy, float srcw, float srch, float alpha, int mode)
{
  PIX_ScaledBlitWith(kPIX_ScaledVector, dest, src, dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, alpha, mode);
}

void PIX_ScaledBlitWith(EPIX_ScaledPath path, PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw,
                        int dsth, float srcx, float srcy, float srcw, float srch, float alpha, int mode)
{
  if (!dest || !src || dstw == 0 || dsth == 0 || alpha == 0.0f) return;
  if (!PIX_AllFinite(srcx, srcy, srcw, srch, alpha)) return;
  const bool bilinear = (mode & 0xff00) == PIX_MODE_FILTERBILINEAR;

  // Same size, and for bilinear sampling whole-pixel positions: a plain blit.
  if (dstw > 0 && dsth > 0 && std::fabs(srcw - (float)dstw) < 0.001 && std::fabs(srch - (float)dsth) < 0.001 &&
      (!bilinear || (std::fabs(srcx - floorf(srcx + 0.5f)) < 0.03 && std::fabs(srcy - floorf(srcy + 0.5f)) < 0.03)))
  {
    const int left = PIX_TruncInt(srcx + 0.5f), top = PIX_TruncInt(srcy + 0.5f);
    RECT rc = {left, top, PIX_SatInt((int64_t)left + dstw), PIX_SatInt((int64_t)top + dsth)};
    PIX_Blit(dest, src, dstx, dsty, &rc, alpha, mode);
    return;
  }

  Axis ax = Axis::Make(dstx, dstw, srcx, srcw), ay = Axis::Make(dsty, dsth, srcy, srch);
  ax.ClipStart();
  ay.ClipStart();
  const PIX_Rows d(dest), s(src);
  if (!d.bits || !s.bits) return;
  if (!ax.ClipEnd(d.width) || !ay.ClipEnd(d.height)) return;
  const int clipx = std::max(0, PIX_TruncInt(ax.lo)), clipy = std::max(0, PIX_TruncInt(ay.lo));
  const int clipright = std::min(s.width, PIX_TruncInt(ceilf(ax.hi)));
  const int clipbottom = std::min(s.height, PIX_TruncInt(ceilf(ay.hi)));
  if (clipx >= clipright || clipy >= clipbottom) return;

  ScaledRun walk;
  walk.d = (unsigned char*)d.at((int)ax.pos, (int)ay.pos);
  walk.s = (unsigned char*)s.bits;
  walk.w = (int)ax.size;
  walk.h = (int)ay.size;
  walk.srcx = ax.start;
  walk.srcy = ay.start;
  walk.dx = ax.step;
  walk.dy = ay.step;
  walk.clipx = clipx;
  walk.clipy = clipy;
  walk.clipright = clipright;
  walk.clipbottom = clipbottom;
  walk.sspan = (int)(s.span * 4);
  walk.dspan = (int)(d.span * 4);
  walk.alpha = alpha;
  walk.filtermode = mode & 0xff00;
  walk.filterDown = false;
  // The vector walk reads each pair of source rows ahead of the row it draws: not within one area.
  uintptr_t slo, shi, dlo, dhi;
  Extent(walk.s + (ptrdiff_t)clipy * walk.sspan + (ptrdiff_t)clipx * 4, walk.sspan, clipbottom - clipy,
         (ptrdiff_t)(clipright - clipx) * 4, &slo, &shi);
  Extent(walk.d, walk.dspan, walk.h, (ptrdiff_t)walk.w * 4, &dlo, &dhi);
  walk.vectors = path == kPIX_ScaledVector && (shi <= dlo || dhi <= slo);

  if ((mode & 0x1ffff) == 0 && (alpha == 0.5f || alpha == 1.0f))
  {
    walk.filtermode = 0;
    if (alpha == 0.5f) walk.run<PackedHalfStore>();
    else walk.run<_PIX_CombinePixelsClobber>();
    return;
  }
  walk.filterDown = std::fabs(ax.step) >= 1.7 && std::fabs(ay.step) >= 1.7 && bilinear;
  PIX_DispatchTemplateBlit(mode & (PIX_MODE_SOURCEALPHA | PIX_MODE_KINDMASK), alpha, walk);
}
