#pragma once
// A bitmap context over test-owned memory with guard bytes before and after the pixels and in
// each row's padding, so a test sees any write outside the bitmap.

#include <CoreGraphics/CoreGraphics.h>

#include <cstdint>
#include <cstring>
#include <vector>

class CGCanvas
{
public:
  static constexpr uint8_t kGuard = 0xA5;
  static constexpr size_t kGuardBytes = 64;

  CGCanvas(size_t w, size_t h, uint32_t info, size_t rowPadding = 8)
    : mWidth(w), mHeight(h), mBytesPerRow(w * 4 + rowPadding), mBytes(kGuardBytes * 2 + mBytesPerRow * h, kGuard)
  {
    for (size_t y = 0; y < h; ++y) memset(Row(y), 0, w * 4);
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    mCtx = CGBitmapContextCreate(Row(0), w, h, 8, mBytesPerRow, space, info);
    CGColorSpaceRelease(space);
  }
  ~CGCanvas() { CGContextRelease(mCtx); }
  CGCanvas(const CGCanvas&) = delete;
  CGCanvas& operator=(const CGCanvas&) = delete;

  CGContextRef Ctx() const { return mCtx; }
  size_t Width() const { return mWidth; }
  size_t Height() const { return mHeight; }

  // Memory row y (row 0 is the top, device y = height - 1 - y).
  uint8_t* Row(size_t y) { return mBytes.data() + kGuardBytes + y * mBytesPerRow; }
  const uint8_t* Row(size_t y) const { return mBytes.data() + kGuardBytes + y * mBytesPerRow; }
  uint8_t* Pixel(size_t x, size_t y) { return Row(y) + x * 4; }
  const uint8_t* Pixel(size_t x, size_t y) const { return Row(y) + x * 4; }

  // The user space of the editor's back buffer: origin top-left, y down, user (x, y) = memory (x, y).
  void FlipToMemoryRows()
  {
    CGContextTranslateCTM(mCtx, 0, (CGFloat)mHeight);
    CGContextScaleCTM(mCtx, 1, -1);
  }

  void FillBytes(const uint8_t px[4])
  {
    for (size_t y = 0; y < mHeight; ++y)
      for (size_t x = 0; x < mWidth; ++x) memcpy(Pixel(x, y), px, 4);
  }

  // No byte outside the pixels (before, after, row padding) has changed.
  bool GuardsIntact() const
  {
    for (size_t i = 0; i < kGuardBytes; ++i)
      if (mBytes[i] != kGuard || mBytes[mBytes.size() - 1 - i] != kGuard) return false;
    for (size_t y = 0; y < mHeight; ++y)
      for (size_t i = mWidth * 4; i < mBytesPerRow; ++i)
        if (Row(y)[i] != kGuard) return false;
    return true;
  }

  std::vector<uint8_t> Snapshot() const
  {
    std::vector<uint8_t> out;
    for (size_t y = 0; y < mHeight; ++y) out.insert(out.end(), Row(y), Row(y) + mWidth * 4);
    return out;
  }

private:
  size_t mWidth, mHeight, mBytesPerRow;
  std::vector<uint8_t> mBytes;
  CGContextRef mCtx = nullptr;
};
