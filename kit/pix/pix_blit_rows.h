#pragma once
// The row loops of the plain blit: a clipped source area and the matching destination area, each
// walked by visual rows, and one loop per combiner.

#include <cstddef>
#include <cstring>

#include "pix_bitmap.h"
#include "pix_combine.h"

struct PIX_BlitRows
{
  PIX_PixelValue* d;      // first destination pixel
  ptrdiff_t dspan;        // pixels to the next visual destination row
  const PIX_PixelValue* s;
  ptrdiff_t sspan;
  int w, h;

  PIX_PixelValue* row_d(int y) const { return d + (ptrdiff_t)y * dspan; }
  const PIX_PixelValue* row_s(int y) const { return s + (ptrdiff_t)y * sspan; }

  // True when some source row shares memory with some destination row (a blit within one
  // bitmap); the whole-row fast paths then give way to the pixel-by-pixel loop.
  bool overlaps() const
  {
    auto lo_hi = [this](const PIX_PixelValue* p, ptrdiff_t span, const PIX_PixelValue** lo, const PIX_PixelValue** hi) {
      const PIX_PixelValue* last = p + (ptrdiff_t)(h - 1) * span;
      *lo = span < 0 ? last : p;
      *hi = (span < 0 ? p : last) + w;
    };
    const PIX_PixelValue *dl, *dh, *sl, *sh;
    lo_hi(d, dspan, &dl, &dh);
    lo_hi(s, sspan, &sl, &sh);
    return dl < sh && sl < dh;
  }
};

// Every pixel left to right, top to bottom, through the combiner's doPix.
template <class Combine>
void PIX_CombineRowsScalar(const PIX_BlitRows& a, int weight)
{
  for (int y = 0; y < a.h; ++y)
  {
    unsigned char* d = (unsigned char*)a.row_d(y);
    const unsigned char* s = (const unsigned char*)a.row_s(y);
    for (int x = 0; x < a.w; ++x, d += 4, s += 4) Combine::doPix(d, s[1], s[2], s[3], s[0], weight);
  }
}

// The blit's loop for a combiner; the common combiners have whole-row versions in pix_blit_fast.cpp
// that give the same bytes.
template <class Combine>
void PIX_CombineRows(const PIX_BlitRows& a, int weight)
{
  PIX_CombineRowsScalar<Combine>(a, weight);
}
template <> void PIX_CombineRows<_PIX_CombinePixelsCopy>(const PIX_BlitRows& a, int weight);
template <> void PIX_CombineRows<_PIX_CombinePixelsAdd>(const PIX_BlitRows& a, int weight);
template <> void PIX_CombineRows<_PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm>(const PIX_BlitRows& a, int weight);
template <> void PIX_CombineRows<_PIX_CombinePixelsCopySourceAlpha>(const PIX_BlitRows& a, int weight);

// Copy at 1.0: one block move a row.
void PIX_CopyRows(const PIX_BlitRows& a);
// Copy at 0.5: the packed halving sum, pixel by pixel.
void PIX_HalfRows(const PIX_BlitRows& a);
