// Cross blur, 2:1 box downsampling and comparison of bitmaps.

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "pix.h"
#include "pix_rows.h"

namespace
{
inline PIX_PixelValue H1(PIX_PixelValue v) { return (v >> 1) & 0x7f7f7f7fu; }
inline PIX_PixelValue H2(PIX_PixelValue v) { return (v >> 2) & 0x3f3f3f3fu; }
inline PIX_PixelValue H3(PIX_PixelValue v) { return (v >> 3) & 0x1f1f1f1fu; }

// One output row of the cross blur from the unblurred row and its neighbours (above or below
// null on the first or last row). w is at least 2.
void BlurRow(PIX_PixelValue* out, const PIX_PixelValue* cur, const PIX_PixelValue* above,
             const PIX_PixelValue* below, int w)
{
  const int last = w - 1;
  if (above && below)
  {
    out[0] = H1(cur[0]) + H2(cur[1]) + H3(above[0]) + H3(below[0]);
    for (int x = 1; x < last; ++x)
      out[x] = H1(cur[x]) + H3(cur[x - 1]) + H3(cur[x + 1]) + H3(above[x]) + H3(below[x]);
    out[last] = H1(cur[last]) + H2(cur[last - 1]) + H3(above[last]) + H3(below[last]);
    return;
  }
  const PIX_PixelValue* v = above ? above : below;
  out[0] = H1(cur[0]) + H2(cur[1]) + H2(v[0]);
  for (int x = 1; x < last; ++x) out[x] = H1(cur[x]) + H2(v[x]) + H3(cur[x - 1]) + H3(cur[x + 1]);
  out[last] = H1(cur[last]) + H2(cur[last - 1]) + H2(v[last]);
}
}  // namespace

void PIX_Blur(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch)
{
  if (!dest || !src) return;
  const PIX_Rows s(src), d(dest);
  if (!s.bits || !d.bits) return;

  long long l = std::max(srcx, 0), t = std::max(srcy, 0);
  long long r = std::min<long long>((long long)srcx + srcw, s.width);
  long long b = std::min<long long>((long long)srcy + srch, s.height);
  long long dx = dstx, dy = dsty;
  if (dx < 0) { l -= dx; dx = 0; }
  if (dy < 0) { t -= dy; dy = 0; }
  if (dx + (r - l) > d.width) r = l + d.width - dx;
  if (dy + (b - t) > d.height) b = t + d.height - dy;
  if (r - l < 2 || b - t < 2) return;
  const int w = (int)(r - l), h = (int)(b - t);
  auto srow = [&](int j) -> const PIX_PixelValue* { return s.at((int)l, (int)t + j); };
  auto drow = [&](int j) { return d.at((int)dx, (int)dy + j); };

  if (src->getBits() != dest->getBits())
  {
    for (int j = 0; j < h; ++j) BlurRow(drow(j), srow(j), j > 0 ? srow(j - 1) : nullptr, j + 1 < h ? srow(j + 1) : nullptr, w);
    return;
  }

  if (dx != l || dy != t)
  {
    // Within one bitmap at another place: blur from a copy of the whole area.
    PIX_PixelValue* copy = (PIX_PixelValue*)malloc((size_t)w * h * 4);
    if (!copy) return;
    for (int j = 0; j < h; ++j) memcpy(copy + (size_t)j * w, srow(j), (size_t)w * 4);
    auto crow = [&](int j) -> const PIX_PixelValue* { return copy + (size_t)j * w; };
    for (int j = 0; j < h; ++j) BlurRow(drow(j), crow(j), j > 0 ? crow(j - 1) : nullptr, j + 1 < h ? crow(j + 1) : nullptr, w);
    free(copy);
    return;
  }

  // In place: every row reads the unblurred copies of itself and of the row above, saved before
  // they were overwritten, and the row below, which is not blurred yet.
  PIX_PixelValue stackRows[2048];
  PIX_PixelValue* scratch = w <= 1024 ? stackRows : (PIX_PixelValue*)malloc((size_t)w * 8);
  if (!scratch) return;
  PIX_PixelValue* prev = scratch;
  PIX_PixelValue* cur = scratch + w;
  for (int j = 0; j < h; ++j)
  {
    PIX_PixelValue* row = drow(j);
    memcpy(cur, row, (size_t)w * 4);
    BlurRow(row, cur, j > 0 ? prev : nullptr, j + 1 < h ? drow(j + 1) : nullptr, w);
    std::swap(prev, cur);
  }
  if (scratch != stackRows) free(scratch);
}

void PIX_HalveBlitAA(PIX_IBitmap* dest, PIX_IBitmap* src)
{
  if (!dest || !src) return;
  PIX_PixelValue* db = dest->getBits();
  const PIX_PixelValue* sb = src->getBits();
  const int dspan = dest->getRowSpan(), sspan = src->getRowSpan();
  if (!db || !sb || dspan < dest->getWidth() || sspan < src->getWidth()) return;
  const int w = std::min(dest->getWidth(), src->getWidth() / 2);
  const int h = std::min(dest->getHeight(), src->getHeight() / 2);
  for (int y = 0; y < h; ++y)
  {
    PIX_PixelValue* out = db + (ptrdiff_t)y * dspan;
    const PIX_PixelValue* r0 = sb + (ptrdiff_t)(2 * y) * sspan;
    const PIX_PixelValue* r1 = r0 + sspan;
    for (int x = 0; x < w; ++x)
      out[x] = H2(r0[2 * x]) + H2(r0[2 * x + 1]) + H2(r1[2 * x]) + H2(r1[2 * x + 1]);
  }
}

int PIX_BitmapCmp(PIX_IBitmap* a, PIX_IBitmap* b)
{
  if (!a) return b ? -1 : 0;
  if (!b) return 1;
  if (a->getWidth() != b->getWidth()) return b->getWidth() - a->getWidth();
  if (a->getHeight() != b->getHeight()) return b->getHeight() - a->getHeight();
  const int w = a->getWidth(), h = a->getHeight();
  const PIX_PixelValue* pa = a->getBits();
  const PIX_PixelValue* pb = b->getBits();
  if (w <= 0 || h <= 0) return 0;
  if (!pa || !pb) return pa ? 1 : (pb ? -1 : 0);
  // Row by row: the two bitmaps may have different row spans.
  for (int y = 0; y < h; ++y)
  {
    const int c = memcmp(pa + (ptrdiff_t)y * a->getRowSpan(), pb + (ptrdiff_t)y * b->getRowSpan(), (size_t)w * 4);
    if (c) return c;
  }
  return 0;
}
