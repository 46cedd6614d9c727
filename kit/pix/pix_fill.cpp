// Clearing, filling, single pixels, colour keys, flood fill and per-channel scale and offset.

#include <cstring>
#include <cwchar>

#include "pix.h"
#include "pix_rows.h"
#include "pix_kernels.h"

namespace
{
inline int Red(PIX_PixelValue c) { return (int)((c >> 8) & 0xff); }
inline int Green(PIX_PixelValue c) { return (int)((c >> 16) & 0xff); }
inline int Blue(PIX_PixelValue c) { return (int)(c >> 24); }
inline int Alpha(PIX_PixelValue c) { return (int)(c & 0xff); }

// The packed copy forms at the exact opacities; returns false for any other alpha.
template <class Each>
bool PackedCopy(float alpha, PIX_PixelValue c, Each each)
{
  if (alpha == 1.0f) each([c](PIX_PixelValue) { return c; });
  else if (alpha == 0.5f) each([c](PIX_PixelValue d) { return _PIX_PackedHalf(c, d); });
  else if (alpha == 0.25f) each([c](PIX_PixelValue d) { return _PIX_PackedQuarter(c, d); });
  else if (alpha == 0.75f) each([c](PIX_PixelValue d) { return _PIX_PackedThreeQuarter(c, d); });
  else return false;
  return true;
}

// Combines one source (r, g, b, a) at weight w into every pixel of the area with the mode's
// combiner. Returns false for a mode that draws nothing.
template <class Area>
bool CombineArea(int kind, Area area, int r, int g, int b, int a, int w)
{
  auto run = [&](auto combine) {
    using C = decltype(combine);
    area([&](unsigned char* p) { C::doPix(p, r, g, b, a, w); });
  };
  switch (kind)
  {
    case PIX_MODE_COPY: run(_PIX_CombinePixelsCopy()); return true;
    case PIX_MODE_ADD: run(_PIX_CombinePixelsAdd()); return true;
    case PIX_MODE_COLORDODGE: run(_PIX_CombinePixelsColorDodge()); return true;
    case PIX_MODE_MUL: run(_PIX_CombinePixelsMul()); return true;
    case PIX_MODE_OVERLAY: run(_PIX_CombinePixelsOverlay()); return true;
    case PIX_MODE_HSVADJUST: run(_PIX_CombinePixelsHSVAdjust()); return true;
    default: return false;
  }
}

// Stores c into n pixels. wchar_t is 32 bits here, and the C library's wide fill is tuned for
// the processor in use.
static_assert(sizeof(wchar_t) == sizeof(PIX_PixelValue), "pixel fills use the 32-bit wide fill");
inline void FillWords(PIX_PixelValue* d, size_t n, PIX_PixelValue c) { wmemset((wchar_t*)d, (wchar_t)c, n); }

// Stores c into the w x h area at (x, y); rows that follow each other in memory take one call.
void FillArea(const PIX_Rows& rows, int x, int y, int w, int h, PIX_PixelValue c)
{
  if (rows.span == w || rows.span == -w)
    return FillWords(rows.at(x, rows.span > 0 ? y : y + h - 1), (size_t)w * h, c);
  for (int j = 0; j < h; ++j) FillWords(rows.at(x, y + j), (size_t)w, c);
}

// The copy-mode fill at a weight in 1..255 through the row kernel; the source alpha of a fill is
// the weight itself.
void FillCopyWeighted(const PIX_Rows& rows, int x, int y, int w, int h, PIX_PixelValue c, int weight)
{
  const PIX_RowKernels& k = PIX_Kernels();
  const PIX_PixelValue src = (c & ~0xffu) | (PIX_PixelValue)weight;
  for (int j = 0; j < h; ++j)
  {
    PIX_PixelValue* d = rows.at(x, y + j);
    for (int i = k.mixConst(d, src, w, weight); i < w; ++i)
      _PIX_CombinePixelsCopy::doPix((unsigned char*)(d + i), Red(c), Green(c), Blue(c), weight, weight);
  }
}
}  // namespace

void PIX_Clear(PIX_IBitmap* bm, PIX_PixelValue color)
{
  const PIX_Rows rows(bm);
  if (!rows.bits) return;
  FillArea(rows, 0, 0, rows.width, rows.height, color);
}

void PIX_ClearRect(PIX_IBitmap* bm, int x, int y, int w, int h, unsigned int mask, unsigned int bits)
{
  const PIX_Rows rows(bm);
  if (!rows.bits || !PIX_ClipRect(x, y, w, h, rows.width, rows.height)) return;
  for (int j = 0; j < h; ++j)
  {
    PIX_PixelValue* d = rows.at(x, y + j);
    for (int i = 0; i < w; ++i) d[i] = (d[i] & mask) | bits;
  }
}

PIX_PixelValue PIX_GetPixel(PIX_IBitmap* bm, int x, int y)
{
  const PIX_Rows rows(bm);
  if (!rows.bits || x < 0 || y < 0 || x >= rows.width || y >= rows.height) return 0;
  return *rows.at(x, y);
}

void PIX_PutPixel(PIX_IBitmap* bm, int x, int y, PIX_PixelValue color, float alpha, int mode)
{
  const PIX_Rows rows(bm);
  if (!rows.bits || x < 0 || y < 0 || x >= rows.width || y >= rows.height) return;
  PIX_PixelValue* p = rows.at(x, y);
  const int kind = mode & PIX_MODE_KINDMASK;
  if (kind == PIX_MODE_COPY && PackedCopy(alpha, color, [p](auto f) { *p = f(*p); })) return;
  if (alpha == 0.0f || (kind == PIX_MODE_COPY && !(alpha > 0.0f))) return;
  const int w = PIX_AlphaToWeight(alpha);
  CombineArea(kind, [p](auto each) { each((unsigned char*)p); }, Red(color), Green(color), Blue(color), Alpha(color), w);
}

void PIX_FillRect(PIX_IBitmap* bm, int x, int y, int w, int h, PIX_PixelValue color, float alpha, int mode)
{
  if (mode & PIX_MODE_SOURCEALPHA) alpha = alpha * ((float)Alpha(color) / 255.0f);
  const PIX_Rows rows(bm);
  if (!rows.bits || !PIX_ClipRect(x, y, w, h, rows.width, rows.height) || alpha == 0.0f) return;

  auto each = [&](auto f) {
    for (int j = 0; j < h; ++j)
    {
      PIX_PixelValue* d = rows.at(x, y + j);
      for (int i = 0; i < w; ++i) d[i] = f(d[i]);
    }
  };
  const int kind = mode & PIX_MODE_KINDMASK;
  if (kind == PIX_MODE_COPY)
  {
    if (alpha == 1.0f)
    {
      FillArea(rows, x, y, w, h, color);
      return;
    }
    if (PackedCopy(alpha, color, each)) return;
    if (!(alpha > 0.0f)) return;
  }
  const int wt = PIX_AlphaToWeight(alpha);
  if (kind == PIX_MODE_COPY && wt > 0 && wt < 256) return FillCopyWeighted(rows, x, y, w, h, color, wt);
  // The alpha byte is combined with the weight itself as its source value.
  auto area = [&](auto pix) {
    for (int j = 0; j < h; ++j)
    {
      unsigned char* d = (unsigned char*)rows.at(x, y + j);
      for (int i = 0; i < w; ++i, d += 4) pix(d);
    }
  };
  CombineArea(kind, area, Red(color), Green(color), Blue(color), wt, wt);
}

void PIX_SetAlphaFromColorMask(PIX_IBitmap* bm, PIX_PixelValue color)
{
  const PIX_Rows rows(bm);
  if (!rows.bits) return;
  for (int y = 0; y < rows.height; ++y)
  {
    PIX_PixelValue* d = rows.row(y);
    for (int x = 0; x < rows.width; ++x) d[x] = (d[x] & ~0xffu) == color ? color : (d[x] | 0xffu);
  }
}

void PIX_SimpleFill(PIX_IBitmap* bm, int x, int y, unsigned int newbits, unsigned int comparemask,
                    unsigned int keepmask)
{
  if (!bm) return;
  const int width = bm->getWidth(), height = bm->getHeight(), span = bm->getRowSpan();
  PIX_PixelValue* bits = bm->getBits();
  if (!bits || span < width || x < 0 || y < 0 || x >= width || y >= height) return;

  auto row = [&](int j) { return bits + (ptrdiff_t)j * span; };
  const unsigned target = row(y)[x] & comparemask;
  auto matches = [&](PIX_PixelValue p) { return (p & comparemask) == target; };
  auto fill = [&](PIX_PixelValue& p) { p = newbits | (p & keepmask); };
  // One row from the seed column outward; false when the seed column does not match.
  auto fillRow = [&](int j) {
    PIX_PixelValue* r = row(j);
    if (!matches(r[x])) return false;
    fill(r[x]);
    for (int i = x + 1; i < width && matches(r[i]); ++i) fill(r[i]);
    for (int i = x - 1; i >= 0 && matches(r[i]); --i) fill(r[i]);
    return true;
  };
  for (int j = y; j < height && fillRow(j); ++j) {}
  for (int j = y - 1; j >= 0 && fillRow(j); --j) {}
}

void PIX_MultiplyAddRect(PIX_IBitmap* bm, int x, int y, int w, int h, float rs, float gs, float bs, float as,
                         float ro, float go, float bo, float ao)
{
  const PIX_Rows rows(bm);
  if (!rows.bits || !PIX_ClipRect(x, y, w, h, rows.width, rows.height)) return;
  // Scales and offsets in 1/256, held to the int range; the sums are formed in 64 bits.
  auto fixed = [](float v) {
    const double d = (double)v * 256.0;
    if (!(d == d)) return (long long)0;
    if (d >= 2147483647.0) return (long long)2147483647;
    if (d <= -2147483648.0) return (long long)-2147483647 - 1;
    return (long long)d;
  };
  const long long S[4] = {fixed(as), fixed(rs), fixed(gs), fixed(bs)};
  const long long O[4] = {fixed(ao), fixed(ro), fixed(go), fixed(bo)};
  for (int j = 0; j < h; ++j)
  {
    unsigned char* d = (unsigned char*)rows.at(x, y + j);
    for (int i = 0; i < w; ++i, d += 4)
      for (int c = 0; c < 4; ++c)
      {
        const long long v = (O[c] + S[c] * d[c]) >> 8;  // arithmetic: rounds toward minus infinity
        d[c] = (unsigned char)(v < 0 ? 0 : (v > 255 ? 255 : v));
      }
  }
}
