#pragma once
// Circle outlines and discs of any float centre and radius, plain (midpoint) or antialiased
// (square-root coverage), in every drawing mode. Outlines of radius exactly 2, 2.5, 3, 3.5 and 4
// are stamped from built-in coverage masks. The weight of a circle is (int)(alpha * 255).

#include "gdi-types.h"
#include "pix_bitmap.h"

void PIX_Circle(PIX_IBitmap* bm, float cx, float cy, float r, PIX_PixelValue color, float alpha, int mode, bool aa);
void PIX_FillCircle(PIX_IBitmap* bm, float cx, float cy, float r, PIX_PixelValue color, float alpha, int mode,
                    bool aa);
// Stamps the mask of a cached radius; false (nothing drawn) for any other radius.
bool CachedCircle(PIX_IBitmap* bm, float cx, float cy, float r, PIX_PixelValue color, float alpha, int mode, bool aa);

// The rasterisers, once per combiner, drawing into memory rows (callers mirror cy for flipped
// bitmaps) within a clip rectangle {left, top, right, bottom}, right and bottom exclusive. With
// the clip flag clear no pixel is tested: callers clear it only for circles well inside.
template <class Combine>
class _PIX_CircleDrawer
{
public:
  static void DrawClippedPt(PIX_IBitmap* bm, int x, int y, const RECT& clip, int r, int g, int b, int a, int weight,
                            bool clipped);
  static void DrawClippedHorzLine(PIX_IBitmap* bm, int y, int x1, int x2, const RECT& clip, int r, int g, int b,
                                  int a, int weight, bool clipped);
  static void DrawClippedCircle(PIX_IBitmap* bm, float cx, float cy, float rad, const RECT& clip,
                                PIX_PixelValue color, float alpha, bool fill, bool clipped);
  static void DrawClippedCircleAA(PIX_IBitmap* bm, float cx, float cy, float rad, const RECT& clip,
                                  PIX_PixelValue color, float alpha, bool fill, bool clipped);
  // From a0 clockwise to a1 (radians, 0 at the top): pix_arc.h.
  static void DrawArc(PIX_IBitmap* bm, float cx, float cy, float rad, float a0, float a1, PIX_PixelValue color,
                      float alpha, bool aa);
};
