// PNG files into bitmaps: every colour type and bit depth, interlaced or not, becomes the
// system's alpha, red, green, blue pixels.

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "gdi-misc.h"
#include "pix_loaders.h"

// A program that reads PNGs also gets the loader list with both loaders, which a static link would
// leave out whenever nothing else names them.
[[gnu::used]] static PIX_ImageLoaderEntry** const sKeepLoaderList = &PIX_ImageLoader_list;

namespace
{
// Everything a load holds, kept outside the function that sets the jump point so that values
// stored after setjmp are still valid after a longjmp back to it.
struct PngLoad
{
  FILE* fp = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  PIX_IBitmap* dest = nullptr;     // the caller's bitmap, if any
  PIX_IBitmap* created = nullptr;  // a bitmap this load made
  png_bytep* rows = nullptr;
};

// Errors jump back to the read structure's jump point; nothing is printed.
void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarning(png_structp, png_const_charp) {}

// The libpng calls of one load. No object with a destructor lives in this frame.
bool DecodePng(PngLoad* L)
{
  if (setjmp(png_jmpbuf(L->png))) return false;

  png_init_io(L->png, L->fp);
#ifdef PNG_IGNORE_ADLER32
  // Every chunk's CRC is still checked, so corrupt data still fails; zlib's own checksum of the
  // same bytes is a sixth of the decoding time of large images.
  png_set_option(L->png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
  png_read_info(L->png, L->info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, ctype = 0, interlace = 0, compression = 0, filter = 0;
  png_get_IHDR(L->png, L->info, &width, &height, &depth, &ctype, &interlace, &compression, &filter);
  if (!PIX_ImageSizeAllowed(width, height)) return false;

  // Everything to 8-bit R, G, B, A, then alpha moved first (or an opaque alpha put first).
  const bool trns = png_get_valid(L->png, L->info, PNG_INFO_tRNS) != 0;
  if (ctype == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(L->png);
  if (ctype == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(L->png);
  if (trns) png_set_tRNS_to_alpha(L->png);
  if (depth == 16) png_set_strip_16(L->png);
  if (depth < 8) png_set_packing(L->png);
  if (ctype == PNG_COLOR_TYPE_GRAY || ctype == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(L->png);
  if ((ctype & PNG_COLOR_MASK_ALPHA) || trns) png_set_swap_alpha(L->png);
  else png_set_filler(L->png, 0xff, PNG_FILLER_BEFORE);
  png_set_interlace_handling(L->png);
  png_read_update_info(L->png, L->info);

  if (png_get_rowbytes(L->png, L->info) != (png_size_t)width * 4) return false;

  const int w = (int)width, h = (int)height;
  PIX_IBitmap* bm = L->dest;
  if (bm)
  {
    bm->resize(w, h);
    if (bm->getWidth() != w || bm->getHeight() != h) return false;
  }
  else
  {
    bm = L->created = new (std::nothrow) PIX_MemBitmap(w, h);
    if (!bm || bm->getWidth() != w) return false;
  }
  PIX_PixelValue* bits = bm->getBits();
  const int span = bm->getRowSpan();
  if (!bits || span < w) return false;

  L->rows = (png_bytep*)malloc(sizeof(png_bytep) * (size_t)h);
  if (!L->rows) return false;
  const bool flipped = bm->isFlipped();
  for (int i = 0; i < h; ++i) L->rows[i] = (png_bytep)(bits + (ptrdiff_t)(flipped ? h - 1 - i : i) * span);
  png_read_image(L->png, L->rows);
  return true;
}
}  // namespace

PIX_IBitmap* PIX_LoadPNG(const char* filename, PIX_IBitmap* bmp)
{
  if (!filename) return nullptr;
  PngLoad L;
  L.dest = bmp;
  L.fp = fopen(filename, "rb");
  if (!L.fp) return nullptr;
  L.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
  if (L.png) L.info = png_create_info_struct(L.png);

  const bool ok = L.png && L.info && DecodePng(&L);

  if (L.png) png_destroy_read_struct(&L.png, L.info ? &L.info : nullptr, nullptr);
  fclose(L.fp);
  free(L.rows);
  if (!ok)
  {
    delete L.created;
    return nullptr;
  }
  return L.created ? L.created : bmp;
}

PIX_IBitmap* PIX_LoadPNGFromNamedResource(const char* name, PIX_IBitmap* bmp)
{
  if (!name) return nullptr;
  char path[2048];
  path[0] = 0;
  GetModuleFileName(nullptr, path, 1536);
  // A name that does not fit with the module path and the folder is refused, not cut short.
  const size_t used = strlen(path);
  const int n = snprintf(path + used, sizeof(path) - used, "/Contents/Resources/%s", name);
  if (n < 0 || (size_t)n >= sizeof(path) - used) return nullptr;
  return PIX_LoadPNG(path, bmp);
}

PIX_IBitmap* PIX_LoadPNGFromResource(void*, int, PIX_IBitmap*) { return nullptr; }
