#pragma once
// Images for editor tests: bitmaps drawn in memory, and PNG files written with libpng for the
// headless surface to load.

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "pix.h"

// A pixel from its components (memory bytes alpha, red, green, blue).
inline PIX_PixelValue TestPixel(int a, int r, int g, int b)
{
  return (PIX_PixelValue)(a & 255) | (PIX_PixelValue)(r & 255) << 8 | (PIX_PixelValue)(g & 255) << 16 |
         (PIX_PixelValue)(b & 255) << 24;
}

// A w x (frameH * frames) film strip: every frame its own colour and a vertical alpha ramp that
// leaves the top rows transparent, so blending shows in every frame. seed varies the colours.
inline PIX_MemBitmap* MakeTestStrip(int w, int frameH, int frames, int seed = 0)
{
  PIX_MemBitmap* bm = new PIX_MemBitmap(w, frameH * frames);
  for (int f = 0; f < frames; ++f)
    for (int y = 0; y < frameH; ++y)
      for (int x = 0; x < w; ++x)
      {
        const int a = frameH > 1 ? 255 * y / (frameH - 1) : 255;
        bm->getBits()[(f * frameH + y) * w + x] =
          TestPixel(a, (40 * f + 7 * seed + 3 * x) & 255, (90 + 13 * f + 5 * y) & 255, (200 - 31 * f + seed) & 255);
      }
  return bm;
}

// A w x h opaque image with a pattern that differs at every pixel.
inline PIX_MemBitmap* MakeTestOpaque(int w, int h, int seed = 0)
{
  PIX_MemBitmap* bm = new PIX_MemBitmap(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bm->getBits()[y * w + x] = TestPixel(255, 5 * x + seed, 3 * y + 2 * x, 255 - 7 * y);
  return bm;
}

// Writes the bitmap as an 8-bit RGBA PNG; false on any failure.
inline bool WriteTestPng(const std::string& path, PIX_IBitmap* bm)
{
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info || setjmp(png_jmpbuf(png)))
  {
    png_destroy_write_struct(&png, &info);
    fclose(f);
    return false;
  }
  const int w = bm->getWidth(), h = bm->getHeight();
  png_init_io(png, f);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<unsigned char> row((size_t)w * 4);
  for (int y = 0; y < h; ++y)
  {
    for (int x = 0; x < w; ++x)
    {
      const PIX_PixelValue p = bm->getBits()[y * bm->getRowSpan() + x];
      row[x * 4 + 0] = (unsigned char)(p >> 8);
      row[x * 4 + 1] = (unsigned char)(p >> 16);
      row[x * 4 + 2] = (unsigned char)(p >> 24);
      row[x * 4 + 3] = (unsigned char)p;
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return fclose(f) == 0;
}

// A fresh folder for one test's files, removed with its files when the object goes.
class TestImageDir
{
public:
  TestImageDir()
  {
    char tmpl[] = "/tmp/kv_gui_XXXXXX";
    if (mkdtemp(tmpl)) mPath = tmpl;
  }
  ~TestImageDir()
  {
    for (const std::string& f : mFiles) unlink((mPath + "/" + f).c_str());
    rmdir(mPath.c_str());
  }

  const std::string& Path() const { return mPath; }

  // Writes the bitmap as name.png in the folder and deletes the bitmap; false on failure.
  bool Write(const std::string& name, PIX_IBitmap* bm)
  {
    const bool ok = WriteTestPng(mPath + "/" + name, bm);
    delete bm;
    if (ok) mFiles.push_back(name);
    return ok;
  }

private:
  std::string mPath;
  std::vector<std::string> mFiles;
};
