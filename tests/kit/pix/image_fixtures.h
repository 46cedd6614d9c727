#pragma once
// Image files written at test time with libpng and libjpeg, into a scratch folder of the test.

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>

namespace fixtures
{
// A folder removed (with its files) when the object goes.
class ScratchDir
{
public:
  ScratchDir()
  {
    char tmpl[] = "/tmp/kv_pix_XXXXXX";
    mPath = mkdtemp(tmpl) ? tmpl : "/tmp";
  }
  ~ScratchDir()
  {
    for (const std::string& f : mFiles) unlink(f.c_str());
    rmdir(mPath.c_str());
  }
  std::string file(const std::string& name)
  {
    mFiles.push_back(mPath + "/" + name);
    return mFiles.back();
  }

private:
  std::string mPath;
  std::vector<std::string> mFiles;
};

inline bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

inline std::vector<unsigned char> ReadBytes(const std::string& path)
{
  std::vector<unsigned char> v;
  if (FILE* f = fopen(path.c_str(), "rb"))
  {
    int c;
    while ((c = fgetc(f)) != EOF) v.push_back((unsigned char)c);
    fclose(f);
  }
  return v;
}

// A PNG of one colour type and bit depth. samples holds, per pixel, its channel samples at the
// bit depth (1 for grey or palette index, 2 grey + alpha, 3 RGB, 4 RGBA).
struct PngSpec
{
  int width = 1, height = 1, colorType = PNG_COLOR_TYPE_RGB, depth = 8;
  bool interlace = false;
  std::vector<unsigned> samples;
  std::vector<png_color> palette;
  std::vector<png_byte> paletteAlpha;  // tRNS for palettes
  bool hasTrnsColor = false;           // tRNS for grey or RGB
  png_color_16 trnsColor{};
};

inline int Channels(int colorType)
{
  switch (colorType)
  {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
  }
}

inline bool WritePng(const std::string& path, const PngSpec& s)
{
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const int ch = Channels(s.colorType);
  const size_t rowBytes = ((size_t)s.width * ch * s.depth + 7) / 8;
  std::vector<std::vector<png_byte>> rows(s.height, std::vector<png_byte>(rowBytes, 0));
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x)
      for (int c = 0; c < ch; ++c)
      {
        const unsigned v = s.samples[((size_t)y * s.width + x) * ch + c];
        const size_t bit = ((size_t)x * ch + c) * s.depth;
        if (s.depth == 16)
        {
          rows[y][bit / 8] = (png_byte)(v >> 8);
          rows[y][bit / 8 + 1] = (png_byte)v;
        }
        else if (s.depth == 8)
          rows[y][bit / 8] = (png_byte)v;
        else
          rows[y][bit / 8] |= (png_byte)(v << (8 - s.depth - bit % 8));  // most significant bits first
      }
  std::vector<png_bytep> ptrs;
  for (auto& r : rows) ptrs.push_back(r.data());
  if (setjmp(png_jmpbuf(png)))
  {
    png_destroy_write_struct(&png, &info);
    fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, s.width, s.height, s.depth, s.colorType,
               s.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!s.palette.empty()) png_set_PLTE(png, info, s.palette.data(), (int)s.palette.size());
  if (!s.paletteAlpha.empty())
    png_set_tRNS(png, info, s.paletteAlpha.data(), (int)s.paletteAlpha.size(), nullptr);
  if (s.hasTrnsColor) png_set_tRNS(png, info, nullptr, 0, &s.trnsColor);
  png_set_rows(png, info, ptrs.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return fclose(f) == 0;
}

// A JPEG of 1 (grey), 3 (RGB) or 4 (CMYK) components from interleaved samples.
inline bool WriteJpeg(const std::string& path, int w, int h, int comps, const std::vector<unsigned char>& samples,
                      int quality = 100)
{
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = (JDIMENSION)w;
  c.image_height = (JDIMENSION)h;
  c.input_components = comps;
  c.in_color_space = comps == 1 ? JCS_GRAYSCALE : (comps == 3 ? JCS_RGB : JCS_CMYK);
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height)
  {
    JSAMPROW row = (JSAMPROW)&samples[(size_t)c.next_scanline * w * comps];
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  return fclose(f) == 0;
}
}  // namespace fixtures
