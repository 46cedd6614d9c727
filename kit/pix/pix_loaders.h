#pragma once
// PNG and JPEG loaders and the list they register on at program start, so that a host of the
// raster library can find a loader by file extension.
//
// A load with no destination returns a new PIX_MemBitmap owned by the caller; with one, the image
// is decoded into it (resized to the image) and it is returned. Any failure returns null and
// leaves nothing allocated (a destination may already have been resized).

#include "pix_bitmap.h"

struct PIX_ImageLoaderEntry
{
  PIX_IBitmap* (*loadfunc)(const char* filename, bool checkFileName, PIX_IBitmap* bmp);
  const char* (*get_extlist)();
  PIX_ImageLoaderEntry* _next;
};

extern PIX_ImageLoaderEntry* PIX_ImageLoader_list;

PIX_IBitmap* PIX_LoadPNG(const char* filename, PIX_IBitmap* bmp);
PIX_IBitmap* PIX_LoadJPG(const char* filename, PIX_IBitmap* bmp);
// A PNG from the main bundle's Contents/Resources/ folder.
PIX_IBitmap* PIX_LoadPNGFromNamedResource(const char* name, PIX_IBitmap* bmp);
// There are no numbered resources on this platform: always null.
PIX_IBitmap* PIX_LoadPNGFromResource(void* hInst, int resid, PIX_IBitmap* bmp);
PIX_IBitmap* PIX_LoadJPGFromResource(void* hInst, int resid, PIX_IBitmap* bmp);

// The largest image a loader decodes: no side above 16384 pixels and no more than 2^26 pixels in
// all. A header claiming more is refused before anything is allocated for it.
constexpr unsigned long long kPIX_MaxImageSide = 16384;
constexpr unsigned long long kPIX_MaxImagePixels = 1ull << 26;
inline bool PIX_ImageSizeAllowed(unsigned long long w, unsigned long long h)
{
  return w > 0 && h > 0 && w <= kPIX_MaxImageSide && h <= kPIX_MaxImageSide && w * h <= kPIX_MaxImagePixels;
}

// True when the name's extension (from its last '.', '/' or '\', case ignored) is one of exts.
bool PIX_HasExtension(const char* name, const char* const* exts, int nexts);

class PIX_PNGLoader
{
public:
  PIX_PNGLoader();
  static PIX_IBitmap* loadfunc(const char* filename, bool checkFileName, PIX_IBitmap* bmp);
  static const char* get_extlist();
  PIX_ImageLoaderEntry rec;
};

class PIX_JPGLoader
{
public:
  PIX_JPGLoader();
  static PIX_IBitmap* loadfunc(const char* filename, bool checkFileName, PIX_IBitmap* bmp);
  static const char* get_extlist();
  PIX_ImageLoaderEntry rec;
};

extern PIX_PNGLoader PIX_pngldr;
extern PIX_JPGLoader PIX_jpgldr;
