// A module that calls the PNG loader and nothing else of the loaders, as a deliverable that reads
// only PNG images does.

#include "pix_loaders.h"

extern "C" __attribute__((visibility("default"))) PIX_IBitmap* kv_probe_load_png(const char* path)
{
  return PIX_LoadPNG(path, nullptr);
}
