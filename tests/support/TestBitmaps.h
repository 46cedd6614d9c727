#pragma once
// Bitmaps for raster tests: one that keeps row 0 at the bottom of its memory, and one whose
// resize cannot reach beyond a limit.

#include <vector>

#include "pix_bitmap.h"

// A flipped bitmap over its own memory with a chosen row span. pixel(x, y) reads visual row y.
class FlippedBitmap : public PIX_IBitmap
{
public:
  FlippedBitmap(int w, int h, int span = 0) : mW(w), mH(h), mSpan(span ? span : w), mMem((size_t)mSpan * h) {}

  PIX_PixelValue* getBits() override { return mMem.empty() ? nullptr : mMem.data(); }
  int getWidth() override { return mW; }
  int getHeight() override { return mH; }
  int getRowSpan() override { return mSpan; }
  bool isFlipped() override { return true; }
  bool resize(int, int) override { return false; }

  PIX_PixelValue& pixel(int x, int y) { return mMem[(size_t)(mH - 1 - y) * mSpan + x]; }

private:
  int mW, mH, mSpan;
  std::vector<PIX_PixelValue> mMem;
};

// A memory bitmap that refuses to grow past maxW x maxH (it keeps its size instead).
class CappedBitmap : public PIX_MemBitmap
{
public:
  CappedBitmap(int maxW, int maxH) : PIX_MemBitmap(0, 0), mMaxW(maxW), mMaxH(maxH) {}
  bool resize(int w, int h) override
  {
    if (w > mMaxW || h > mMaxH) return false;
    return PIX_MemBitmap::resize(w, h);
  }

private:
  int mMaxW, mMaxH;
};
