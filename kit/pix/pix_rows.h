#pragma once
// Row addressing shared by the raster operations: visual row y of a bitmap, and the step in
// pixels from one visual row to the next (negative for a flipped bitmap).

#include <cstddef>

#include "pix_bitmap.h"

struct PIX_Rows
{
  PIX_PixelValue* bits;
  ptrdiff_t span;  // pixels from one visual row to the next
  int width, height;

  // Reads the bitmap once; bits is null when there is nothing to draw on.
  explicit PIX_Rows(PIX_IBitmap* bm) : bits(nullptr), span(0), width(0), height(0)
  {
    if (!bm) return;
    width = bm->getWidth();
    height = bm->getHeight();
    const int rs = bm->getRowSpan();
    PIX_PixelValue* b = bm->getBits();
    if (!b || width <= 0 || height <= 0 || rs < width) return;
    if (bm->isFlipped())
    {
      bits = b + (ptrdiff_t)(height - 1) * rs;
      span = -(ptrdiff_t)rs;
    }
    else
    {
      bits = b;
      span = rs;
    }
  }

  PIX_PixelValue* row(int y) const { return bits + (ptrdiff_t)y * span; }
  PIX_PixelValue* at(int x, int y) const { return row(y) + x; }
};

// Clips (x, y, w, h) to a width x height area; false when nothing is left.
inline bool PIX_ClipRect(int& x, int& y, int& w, int& h, int width, int height)
{
  long long lx = x, ly = y, lw = w, lh = h;
  if (lx < 0) { lw += lx; lx = 0; }
  if (ly < 0) { lh += ly; ly = 0; }
  if (lx + lw > width) lw = width - lx;
  if (ly + lh > height) lh = height - ly;
  if (lw <= 0 || lh <= 0) return false;
  x = (int)lx; y = (int)ly; w = (int)lw; h = (int)lh;
  return true;
}
