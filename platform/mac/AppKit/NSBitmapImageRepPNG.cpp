// PNG files into bitmap reps through libpng: every colour type and bit depth becomes 8-bit
// alpha, red, green, blue, then premultiplied. The header's size is checked before anything is
// allocated.

#include <AppKit/NSBitmapImageRep.h>

#include <png.h>

#include <cstdio>
#include <cstdlib>

namespace
{
constexpr png_uint_32 kMaxSide = 16384;
constexpr unsigned long kMaxPixels = 1ul << 26;

// Everything a load holds, outside the frame that sets the jump point, so that what is stored
// after setjmp is still valid after a longjmp back to it.
struct PngLoad
{
  FILE* fp = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  NSBitmapImageRep* rep = nullptr;
  png_bytep* rows = nullptr;
};

// Errors jump back to the jump point; nothing is printed.
void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarning(png_structp, png_const_charp) {}

// x * y / 255, rounded to nearest.
inline unsigned Mul255(unsigned x, unsigned y)
{
  const unsigned t = x * y + 128;
  return (t + (t >> 8)) >> 8;
}

void Premultiply(NSBitmapImageRep* rep)
{
  const size_t w = (size_t)rep->pixelsWide(), h = (size_t)rep->pixelsHigh();
  for (size_t y = 0; y < h; ++y)
  {
    unsigned char* p = rep->bitmapData() + y * (size_t)rep->bytesPerRow();
    for (size_t x = 0; x < w; ++x, p += 4)
    {
      const unsigned a = p[0];
      if (a == 255) continue;
      p[1] = (unsigned char)Mul255(p[1], a);
      p[2] = (unsigned char)Mul255(p[2], a);
      p[3] = (unsigned char)Mul255(p[3], a);
    }
  }
}

// The libpng calls of one load. No object with a destructor lives in this frame.
bool DecodePng(PngLoad* L)
{
  if (setjmp(png_jmpbuf(L->png))) return false;

  png_init_io(L->png, L->fp);
  png_set_user_limits(L->png, kMaxSide, kMaxSide);
  png_read_info(L->png, L->info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, ctype = 0, interlace = 0, compression = 0, filter = 0;
  png_get_IHDR(L->png, L->info, &width, &height, &depth, &ctype, &interlace, &compression, &filter);
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
      (unsigned long)width * height > kMaxPixels)
    return false;

  // Everything to 8-bit R, G, B, A with alpha moved first (or an opaque alpha put first).
  const bool trns = png_get_valid(L->png, L->info, PNG_INFO_tRNS) != 0;
  if (ctype == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(L->png);
  if (ctype == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(L->png);
  if (trns) png_set_tRNS_to_alpha(L->png);
  if (depth == 16) png_set_strip_16(L->png);
  if (depth < 8) png_set_packing(L->png);
  if (ctype == PNG_COLOR_TYPE_GRAY || ctype == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(L->png);
  if ((ctype & PNG_COLOR_MASK_ALPHA) || trns)
    png_set_swap_alpha(L->png);
  else
    png_set_filler(L->png, 0xff, PNG_FILLER_BEFORE);
  png_set_interlace_handling(L->png);
  png_read_update_info(L->png, L->info);
  if (png_get_rowbytes(L->png, L->info) != (png_size_t)width * 4) return false;

  L->rep = (new NSBitmapImageRep)
             ->initWithBitmapDataPlanes(nullptr, (NSInteger)width, (NSInteger)height, 8, 4, YES, NO,
                                        NSDeviceRGBColorSpace, NSAlphaFirstBitmapFormat, 0, 0);
  if (!L->rep) return false;
  L->rows = static_cast<png_bytep*>(malloc(sizeof(png_bytep) * height));
  if (!L->rows) return false;
  const size_t rowBytes = (size_t)L->rep->bytesPerRow();
  for (png_uint_32 i = 0; i < height; ++i) L->rows[i] = L->rep->bitmapData() + (size_t)i * rowBytes;
  png_read_image(L->png, L->rows);
  return true;
}
}  // namespace

NSBitmapImageRep* NSBitmapImageRep::imageRepWithContentsOfFile(NSString* path)
{
  if (!path) return nil;
  PngLoad L;
  L.fp = fopen(path->UTF8String(), "rb");
  if (!L.fp) return nil;
  L.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
  if (L.png) L.info = png_create_info_struct(L.png);
  const bool ok = L.png && L.info && DecodePng(&L);
  if (L.png) png_destroy_read_struct(&L.png, L.info ? &L.info : nullptr, nullptr);
  fclose(L.fp);
  free(L.rows);
  if (!ok)
  {
    if (L.rep) L.rep->release();
    return nil;
  }
  Premultiply(L.rep);
  return static_cast<NSBitmapImageRep*>(L.rep->autorelease());
}
