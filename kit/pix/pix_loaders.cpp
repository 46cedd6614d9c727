// The loader list and the order the loaders join it: JPEG first, then PNG at the head.

#include <cstring>
#include <strings.h>

#include "pix_loaders.h"

PIX_ImageLoaderEntry* PIX_ImageLoader_list = nullptr;

bool PIX_HasExtension(const char* name, const char* const* exts, int nexts)
{
  if (!name) return false;
  const size_t len = strlen(name);
  const char* ext = name;
  for (size_t i = len; i-- > 1;)
    if (name[i] == '.' || name[i] == '/' || name[i] == '\\')
    {
      ext = name + i;
      break;
    }
  for (int i = 0; i < nexts; ++i)
    if (!strcasecmp(ext, exts[i])) return true;
  return false;
}

namespace
{
void Register(PIX_ImageLoaderEntry& rec, PIX_IBitmap* (*load)(const char*, bool, PIX_IBitmap*), const char* (*ext)())
{
  rec.loadfunc = load;
  rec.get_extlist = ext;
  rec._next = PIX_ImageLoader_list;
  PIX_ImageLoader_list = &rec;
}
}  // namespace

PIX_PNGLoader::PIX_PNGLoader() { Register(rec, loadfunc, get_extlist); }
PIX_JPGLoader::PIX_JPGLoader() { Register(rec, loadfunc, get_extlist); }

const char* PIX_PNGLoader::get_extlist() { return "PNG files (*.PNG)"; }
const char* PIX_JPGLoader::get_extlist() { return "JPEG files (*.JPG;*.JPEG;*.JFIF)"; }

PIX_IBitmap* PIX_PNGLoader::loadfunc(const char* filename, bool checkFileName, PIX_IBitmap* bmp)
{
  static const char* const exts[] = {".png"};
  if (checkFileName && !PIX_HasExtension(filename, exts, 1)) return nullptr;
  return PIX_LoadPNG(filename, bmp);
}

PIX_IBitmap* PIX_JPGLoader::loadfunc(const char* filename, bool checkFileName, PIX_IBitmap* bmp)
{
  static const char* const exts[] = {".jpg", ".jpeg", ".jfif"};
  if (checkFileName && !PIX_HasExtension(filename, exts, 3)) return nullptr;
  return PIX_LoadJPG(filename, bmp);
}

// Constructed in this order at program start, so the list reads PNG, JPEG, then what was there.
PIX_JPGLoader PIX_jpgldr;
PIX_PNGLoader PIX_pngldr;
