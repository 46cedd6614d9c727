#pragma once
// Line clipping in 64 bits, shared by the line and shape entry points.

#include <cstdint>

#include "pix_bitmap.h"

// The clipper of ClipLine on 64-bit coordinates, so that no end point or size can overflow.
bool PIX_ClipLine64(int64_t* x1, int64_t* y1, int64_t* x2, int64_t* y2, int64_t width, int64_t height);

// For a bitmap that has pixels: turns y around when flip is asked and the bitmap is flipped, then
// clips; false when nothing is left to draw.
bool PIX_PrepareLine(PIX_IBitmap* bm, int64_t* x1, int64_t* y1, int64_t* x2, int64_t* y2, bool flip);
