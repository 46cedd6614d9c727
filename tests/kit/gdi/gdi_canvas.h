#pragma once
// A memory device context for drawing tests: its pixels read as 0x00RRGGBB from the top-left,
// with helpers that count what was drawn in a rectangle.

#include <cstdint>
#include <cstring>

#include "gdi-emulation.h"

class GdiCanvas
{
public:
  GdiCanvas(int w, int h, uint32_t background = 0xffffff) : mW(w), mH(h)
  {
    mDC = GDI_CreateMemContext(nullptr, w, h);
    Fill(background);
  }
  ~GdiCanvas() { GDI_DeleteGfxContext(mDC); }
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  HDC DC() const { return mDC; }
  GDP_CTX* Ctx() const { return (GDP_CTX*)mDC; }
  int W() const { return mW; }
  int H() const { return mH; }
  uint8_t* Bytes() const { return (uint8_t*)GDI_GetCtxFrameBuffer(mDC); }

  // Bytes unused (alpha), red, green, blue.
  uint32_t At(int x, int y) const
  {
    const uint8_t* p = Bytes() + ((size_t)y * mW + x) * 4;
    return (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
  }
  void Set(int x, int y, uint32_t rgb, uint8_t alpha = 0xff)
  {
    uint8_t* p = Bytes() + ((size_t)y * mW + x) * 4;
    p[0] = alpha;
    p[1] = (uint8_t)(rgb >> 16);
    p[2] = (uint8_t)(rgb >> 8);
    p[3] = (uint8_t)rgb;
  }
  void Fill(uint32_t rgb)
  {
    mBackground = rgb;
    for (int y = 0; y < mH; ++y)
      for (int x = 0; x < mW; ++x) Set(x, y, rgb);
  }

  // Pixels in [x0, x1) x [y0, y1) that differ from the background.
  int Inked(int x0, int y0, int x1, int y1) const
  {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += At(x, y) != mBackground;
    return n;
  }
  int Inked() const { return Inked(0, 0, mW, mH); }
  // Pixels there that are exactly rgb.
  int Exactly(uint32_t rgb, int x0, int y0, int x1, int y1) const
  {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += At(x, y) == rgb;
    return n;
  }
  // The bounding box of the ink, or false when there is none.
  bool InkBox(int* x0, int* y0, int* x1, int* y1) const
  {
    *x0 = mW, *y0 = mH, *x1 = -1, *y1 = -1;
    for (int y = 0; y < mH; ++y)
      for (int x = 0; x < mW; ++x)
        if (At(x, y) != mBackground)
        {
          if (x < *x0) *x0 = x;
          if (y < *y0) *y0 = y;
          if (x > *x1) *x1 = x;
          if (y > *y1) *y1 = y;
        }
    return *x1 >= 0;
  }

private:
  int mW, mH;
  HDC mDC = nullptr;
  uint32_t mBackground = 0;
};

// Red, green and blue of a 0x00RRGGBB value.
inline int RedOf(uint32_t c) { return (int)(c >> 16 & 0xff); }
inline int GreenOf(uint32_t c) { return (int)(c >> 8 & 0xff); }
inline int BlueOf(uint32_t c) { return (int)(c & 0xff); }
