#pragma once
// Lines, arcs and circles as the surface calls them. The raster library does not offer them yet;
// until it does each of these draws nothing, and the surface's calls stay exactly as they will be.

#include "pix.h"

inline void IPix_Line(PIX_IBitmap*, int, int, int, int, PIX_PixelValue, float, int, bool) {}
inline void IPix_Arc(PIX_IBitmap*, float, float, float, float, float, PIX_PixelValue, float, int, bool) {}
inline void IPix_Circle(PIX_IBitmap*, float, float, float, PIX_PixelValue, float, int, bool) {}
