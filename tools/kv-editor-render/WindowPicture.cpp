#include "WindowPicture.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <AppKit/testkit.h>

namespace
{
struct Pixels
{
  const uint8_t* mBytes;
  int mWidth, mHeight, mRowBytes;
};

// libpng reports its errors with longjmp, so this frame holds nothing that needs destroying and
// changes no local after setjmp.
bool WriteRows(png_structp png, png_infop info, FILE* f, const Pixels& px, png_byte* row)
{
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, f);
  png_set_IHDR(png, info, (png_uint_32)px.mWidth, (png_uint_32)px.mHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < px.mHeight; ++y)
  {
    const uint8_t* src = px.mBytes + (size_t)y * (size_t)px.mRowBytes;
    for (int x = 0; x < px.mWidth; ++x, src += 4)  // A, R, G, B in memory: keep R, G, B
    {
      row[x * 3] = src[1];
      row[x * 3 + 1] = src[2];
      row[x * 3 + 2] = src[3];
    }
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  return true;
}

// libpng's own messages go to the error stream by default; the caller reports the failure once.
void QuietWarning(png_structp, png_const_charp) {}
}  // namespace

bool WriteWindowPicture(NSWindow* window, const std::string& path, std::string* pError)
{
  Pixels px{ nullptr, 0, 0, 0 };
  if (window) px.mBytes = AppKitTestKit::WindowPixels(window, &px.mWidth, &px.mHeight, &px.mRowBytes);
  if (!px.mBytes || px.mWidth <= 0 || px.mHeight <= 0 || px.mRowBytes < px.mWidth * 4)
  {
    *pError = "the window has no pixels";
    return false;
  }
  FILE* f = fopen(path.c_str(), "wb");
  if (!f)
  {
    *pError = "cannot write " + path + ": " + strerror(errno);
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, QuietWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row((size_t)px.mWidth * 3);
  bool ok = info && WriteRows(png, info, f, px, row.data());
  png_destroy_write_struct(&png, &info);
  ok = (fclose(f) == 0) && ok;
  if (!ok)
  {
    remove(path.c_str());
    *pError = "cannot write " + path;
  }
  return ok;
}
