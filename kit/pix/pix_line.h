#pragma once
// Straight lines: integer and float end points, any drawing mode, optionally antialiased; the
// clippers that bring end points into a bitmap; raw span stores; and the per-combiner walks.
//
// Only the mode's low byte is read. The weight is (int)(alpha * 256). Rows count from the top:
// the entry points turn y around for flipped bitmaps before clipping; the walks address memory
// rows as they are.

#include "pix_bitmap.h"

// Both end points drawn (the antialiased integer walk may end one step short).
void PIX_Line(PIX_IBitmap* bm, int x1, int y1, int x2, int y2, PIX_PixelValue color, float alpha, int mode,
              bool antialias);
void PIX_FLine(PIX_IBitmap* bm, float x1, float y1, float x2, float y2, PIX_PixelValue color, float alpha,
               int mode, bool antialias);

// Clip to columns 0..width-1 and rows 0..height-1; true when something is left. The coordinates
// are written back either way (on rejection, as far as clipping got).
bool ClipLine(int* x1, int* y1, int* x2, int* y2, int width, int height);
// Clip to xlo <= x < xhi, ylo <= y < yhi.
bool PIX_ClipLine(int* x1, int* y1, int* x2, int* y2, int xlo, int ylo, int xhi, int yhi);
// The float form; a coordinate counts as inside when its truncation does (so -1 < x < 0 is in).
bool ClipFLine(float* x1, float* y1, float* x2, float* y2, int width, int height);

// The colour stored unchanged along row y (or column x) from the lesser to the greater coordinate;
// no clipping, no flip: the span must lie inside the bitmap.
void PIX_HorizLineFAST(PIX_IBitmap* bm, int y, int x1, int x2, PIX_PixelValue color);
void PIX_VertLineFAST(PIX_IBitmap* bm, int x, int y1, int y2, PIX_PixelValue color);

// The walks, once per combiner. Callers clip first; the float walk also skips any step that
// would leave the bitmap (its clipper admits coordinates within a pixel outside).
template <class Combine>
class __PIX_LineClass
{
public:
  static void PIX_HorizLine(PIX_IBitmap* bm, int y, int x1, int x2, PIX_PixelValue color, float alpha);
  // |x2 - x1| == |y2 - y1|
  static void PIX_DiagLine(PIX_IBitmap* bm, int x1, int y1, int x2, int y2, PIX_PixelValue color, float alpha,
                           bool antialias);
  static void PIX_LineImpl(PIX_IBitmap* bm, int x1, int y1, int x2, int y2, PIX_PixelValue color, float alpha,
                           bool antialias);
  static void PIX_FLineImpl(PIX_IBitmap* bm, float x1, float y1, float x2, float y2, PIX_PixelValue color,
                            float alpha, bool antialias);
};
