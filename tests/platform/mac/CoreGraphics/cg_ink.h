#pragma once
// Reading path drawings back: green ink on the black of a fresh skip-first canvas, so a pixel's
// green byte is its coverage.

#include <CoreGraphics/CoreGraphics.h>

#include "cg_canvas.h"

// Paints with opaque green, fills and strokes alike.
inline void UseGreenInk(CGContextRef c)
{
  CGContextSetRGBFillColor(c, 0, 1, 0, 1);
  CGContextSetRGBStrokeColor(c, 0, 1, 0, 1);
}

// The green byte of device pixel (x, y) (origin bottom-left, y up) of a skip-first canvas.
inline int Ink(const CGCanvas& cv, int x, int y) { return cv.Pixel((size_t)x, cv.Height() - 1 - (size_t)y)[2]; }

// The green byte of memory pixel (x, row) (row 0 at the top).
inline int InkAtRow(const CGCanvas& cv, int x, int row) { return cv.Pixel((size_t)x, (size_t)row)[2]; }

// Sum of all coverage, in whole pixels.
inline double InkArea(const CGCanvas& cv)
{
  double sum = 0;
  for (size_t row = 0; row < cv.Height(); ++row)
    for (size_t x = 0; x < cv.Width(); ++x) sum += cv.Pixel(x, row)[2] / 255.0;
  return sum;
}

// Pixels with any ink.
inline int InkedPixels(const CGCanvas& cv)
{
  int n = 0;
  for (size_t row = 0; row < cv.Height(); ++row)
    for (size_t x = 0; x < cv.Width(); ++x) n += cv.Pixel(x, row)[2] != 0;
  return n;
}
