// Plain blits: a rectangle of one bitmap copied or blended into another at the same scale.

#include <algorithm>
#include <cstring>

#include "pix.h"
#include "pix_blit_rows.h"
#include "pix_rows.h"

namespace
{
void CopyChannel(const PIX_BlitRows& a, int mode)
{
  const int di = (mode >> 2) & 3, si = mode & 3;
  for (int y = 0; y < a.h; ++y)
  {
    unsigned char* d = (unsigned char*)a.row_d(y);
    const unsigned char* s = (const unsigned char*)a.row_s(y);
    for (int x = 0; x < a.w; ++x) d[x * 4 + di] = s[x * 4 + si];
  }
}
}  // namespace

void PIX_Blit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, RECT* srcrect, float alpha, int mode)
{
  if (!dest || !src || alpha == 0.0f) return;

  const int sw = src->getWidth(), sh = src->getHeight();
  long long sl = 0, st = 0, sr = sw, sb = sh;
  if (srcrect)
  {
    sl = std::max<long long>(srcrect->left, 0);
    st = std::max<long long>(srcrect->top, 0);
    sr = std::min<long long>(srcrect->right, sw);
    sb = std::min<long long>(srcrect->bottom, sh);
  }
  long long dx = dstx, dy = dsty;
  if (dx < 0) { sl -= dx; dx = 0; }
  if (dy < 0) { st -= dy; dy = 0; }
  const int dw = dest->getWidth(), dh = dest->getHeight();
  if (dx + (sr - sl) > dw) sr = sl + dw - dx;
  if (dy + (sb - st) > dh) sb = st + dh - dy;
  if (sl >= sr || st >= sb) return;

  const PIX_Rows s(src), d(dest);
  if (!s.bits || !d.bits) return;

  PIX_BlitRows a;
  a.d = d.at((int)dx, (int)dy);
  a.dspan = d.span;
  a.s = s.at((int)sl, (int)st);
  a.sspan = s.span;
  a.w = (int)(sr - sl);
  a.h = (int)(sb - st);

  if ((mode & PIX_MODE_KINDMASK) >= PIX_MODE_CHANNELCOPY)
  {
    CopyChannel(a, mode);
    return;
  }

  const int ia = PIX_AlphaToWeight((double)alpha);
  switch (mode & (PIX_MODE_SOURCEALPHA | PIX_MODE_KINDMASK))
  {
    case PIX_MODE_COPY:
      if (alpha == 1.0f) PIX_CopyRows(a);
      else if (alpha == 0.5f) PIX_HalfRows(a);
      else if (alpha > 0.0f) PIX_CombineRows<_PIX_CombinePixelsCopy>(a, ia);
      break;
    case PIX_MODE_ADD: PIX_CombineRows<_PIX_CombinePixelsAdd>(a, ia); break;
    case PIX_MODE_COLORDODGE: PIX_CombineRows<_PIX_CombinePixelsColorDodge>(a, ia); break;
    case PIX_MODE_MUL: PIX_CombineRows<_PIX_CombinePixelsMul>(a, ia); break;
    case PIX_MODE_OVERLAY: PIX_CombineRows<_PIX_CombinePixelsOverlay>(a, ia); break;
    case PIX_MODE_HSVADJUST: PIX_CombineRows<_PIX_CombinePixelsHSVAdjust>(a, ia); break;
    case PIX_MODE_SOURCEALPHA | PIX_MODE_COPY:
      if (alpha == 1.0f) PIX_CombineRows<_PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm>(a, ia);
      else PIX_CombineRows<_PIX_CombinePixelsCopySourceAlpha>(a, ia);
      break;
    case PIX_MODE_SOURCEALPHA | PIX_MODE_ADD: PIX_CombineRows<_PIX_CombinePixelsAddSourceAlpha>(a, ia); break;
    case PIX_MODE_SOURCEALPHA | PIX_MODE_COLORDODGE: PIX_CombineRows<_PIX_CombinePixelsColorDodgeSourceAlpha>(a, ia); break;
    case PIX_MODE_SOURCEALPHA | PIX_MODE_MUL: PIX_CombineRows<_PIX_CombinePixelsMulSourceAlpha>(a, ia); break;
    case PIX_MODE_SOURCEALPHA | PIX_MODE_OVERLAY: PIX_CombineRows<_PIX_CombinePixelsOverlaySourceAlpha>(a, ia); break;
    case PIX_MODE_SOURCEALPHA | PIX_MODE_HSVADJUST: PIX_CombineRows<_PIX_CombinePixelsHSVAdjustSourceAlpha>(a, ia); break;
    default: break;
  }
}

void PIX_Blit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch,
              float alpha, int mode)
{
  // Built in 64 bits and held to the int range, so a huge width cannot wrap the right edge.
  const long long r = std::min<long long>((long long)srcx + srcw, INT32_MAX);
  const long long b = std::min<long long>((long long)srcy + srch, INT32_MAX);
  RECT rc = {srcx, srcy, (int32_t)std::max<long long>(r, INT32_MIN), (int32_t)std::max<long long>(b, INT32_MIN)};
  PIX_Blit(dest, src, dstx, dsty, &rc, alpha, mode);
}

void PIX_Copy(PIX_IBitmap* dest, PIX_IBitmap* src)
{
  if (!dest || !src) return;
  dest->resize(src->getWidth(), src->getHeight());
  PIX_Blit(dest, src, 0, 0, (RECT*)nullptr, 1.0f, 0);
}
