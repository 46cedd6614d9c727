#pragma once
// PNG files of bitmaps: 8-bit RGBA, no time or text chunks, so the same pixels always give the same
// bytes.

#include <string>

#include "pix_bitmap.h"

namespace art
{
bool WritePng(const std::string& path, PIX_IBitmap* bm, bool opaque);
}
