#include "ArtPng.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace art
{
namespace
{
struct Writer
{
  FILE* f = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~Writer()
  {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (f) fclose(f);
  }
};

bool Write(Writer& w, PIX_IBitmap* bm, bool opaque, std::vector<png_byte>& row)
{
  if (setjmp(png_jmpbuf(w.png))) return false;
  const int width = bm->getWidth(), height = bm->getHeight(), channels = opaque ? 3 : 4;
  png_init_io(w.png, w.f);
  png_set_IHDR(w.png, w.info, (png_uint_32)width, (png_uint_32)height, 8,
               opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  // No row filters: the artwork is mostly flat areas that deflate well as they are, and the editor
  // then reads them without undoing a filter on every row.
  png_set_filter(w.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(w.png, 9);
  png_write_info(w.png, w.info);
  for (int y = 0; y < height; ++y)
  {
    const PIX_PixelValue* src = bm->getBits() + (size_t)y * bm->getRowSpan();
    for (int x = 0; x < width; ++x)
    {
      png_byte* p = &row[(size_t)x * channels];
      p[0] = (png_byte)(src[x] >> 8);
      p[1] = (png_byte)(src[x] >> 16);
      p[2] = (png_byte)(src[x] >> 24);
      if (!opaque) p[3] = (png_byte)src[x];
    }
    png_write_row(w.png, row.data());
  }
  png_write_end(w.png, nullptr);
  return true;
}
}  // namespace

bool WritePng(const std::string& path, PIX_IBitmap* bm, bool opaque)
{
  Writer w;
  w.f = fopen(path.c_str(), "wb");
  if (!w.f) return false;
  w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  w.info = w.png ? png_create_info_struct(w.png) : nullptr;
  if (!w.info) return false;
  std::vector<png_byte> row((size_t)bm->getWidth() * 4);
  if (!Write(w, bm, opaque, row)) return false;
  const bool closed = fclose(w.f) == 0;
  w.f = nullptr;
  return closed;
}
}  // namespace art
