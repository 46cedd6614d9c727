#pragma once
// Images for the AppKit image tests: PNG files written with libpng, bitmap reps made and filled
// by hand, and reading their pixels.

#include <png.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <AppKit/AppKit.h>

typedef std::array<unsigned char, 4> Pixel;  // bytes A, R, G, B

// Writes a PNG of 8-bit samples (`channels` of them per pixel, for PNG_COLOR_TYPE_RGB_ALPHA,
// _RGB, _GRAY or _GRAY_ALPHA) or, with depth 1, a grey image of zeros; rows top first. False on
// failure.
inline bool WritePng(const std::string& path, int w, int h, int colorType, const std::vector<unsigned char>& samples,
                     int depth = 8)
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
  png_init_io(png, f);
  png_set_IHDR(png, info, (png_uint_32)w, (png_uint_32)h, depth, colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  std::vector<unsigned char> zeros(rowBytes, 0);
  for (int y = 0; y < h; ++y)
    png_write_row(png, depth == 8 ? samples.data() + (size_t)y * rowBytes : zeros.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return fclose(f) == 0;
}

inline bool WriteFile(const std::string& path, const std::string& bytes)
{
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

inline std::string ReadFile(const std::string& path)
{
  std::string bytes;
  if (FILE* f = fopen(path.c_str(), "rb"))
  {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) bytes.append(buf, n);
    fclose(f);
  }
  return bytes;
}

// A scratch folder for one test's files, removed with them.
class ScratchDir
{
public:
  ScratchDir()
  {
    char tmpl[] = "/tmp/kv_appkit_img_XXXXXX";
    if (mkdtemp(tmpl)) mPath = tmpl;
  }
  ~ScratchDir()
  {
    for (const std::string& f : mFiles) unlink(f.c_str());
    rmdir(mPath.c_str());
  }
  // The path of a file in the folder, removed at the end.
  std::string File(const std::string& name)
  {
    mFiles.push_back(mPath + "/" + name);
    return mFiles.back();
  }

private:
  std::string mPath;
  std::vector<std::string> mFiles;
};

// A premultiplied w x h rep (the caller releases it), nil when refused.
inline NSBitmapImageRep* NewRep(NSInteger w, NSInteger h)
{
  return (new NSBitmapImageRep)
    ->initWithBitmapDataPlanes(nullptr, w, h, 8, 4, YES, NO, NSDeviceRGBColorSpace, NSAlphaFirstBitmapFormat, 0, 0);
}

// Pixel (x, y) of the rep, y counted from the top row.
inline Pixel RepPixel(const NSBitmapImageRep* rep, int x, int y)
{
  const unsigned char* p = rep->bitmapData() + y * rep->bytesPerRow() + x * 4;
  return Pixel{p[0], p[1], p[2], p[3]};
}

inline void SetRepPixel(NSBitmapImageRep* rep, int x, int y, Pixel px)
{
  unsigned char* p = rep->bitmapData() + y * rep->bytesPerRow() + x * 4;
  for (int i = 0; i < 4; ++i) p[i] = px[i];
}

inline std::string Text(Pixel p)
{
  return "{" + std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]) + "," +
         std::to_string(p[3]) + "}";
}
