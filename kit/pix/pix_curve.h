#pragma once
// Quadratic and cubic Bezier curves with float control points, by subdivision of t: short pieces
// become clipped float lines (chord mode, tolerance above 1 for quadratics, above 0 for cubics)
// or points (point mode). Rows are used as stored (no flip). Chords weigh (int)(alpha * 256),
// points (int)(alpha * 255).

#include "pix_bitmap.h"

void PIX_DrawQBezier(PIX_IBitmap* bm, float xstart, float ystart, float xctl, float yctl, float xend, float yend,
                     PIX_PixelValue color, float alpha, int mode, bool antialias, float tolerance);
void PIX_DrawCBezier(PIX_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1, float xctl2, float yctl2,
                     float xend, float yend, PIX_PixelValue color, float alpha, int mode, bool antialias,
                     float tolerance);

// A cubic's y at x, by eight halvings of t and a straight line through the last bracket; the
// optional outputs (each may be null) are the bracket's upper x, the line's slope and the
// bracket's t. Left of x0 or right of x3 it is the end's y with slope 0 (the t outputs untouched).
template <class T>
T PIX_CBezier_GetY(T x0, T x1, T x2, T x3, T y0, T y1, T y2, T y3, T x, T* nextx, T* slope, double* tlo,
                   double* thi);
extern template float PIX_CBezier_GetY<float>(float, float, float, float, float, float, float, float, float, float*,
                                              float*, double*, double*);

// The recursions, once per combiner. A sub-curve is its t interval with the two end points.
template <class Combine>
class _PIX_CurveDrawer
{
public:
  // A point shared among the four pixels around it by its fractions.
  static void DrawClippedFPt(PIX_IBitmap* bm, float x, float y, int width, int height, PIX_PixelValue color,
                             float alpha);
  static void DrawQBezRecurse(int level, PIX_IBitmap* bm, float x0, float xc, float x2, float y0, float yc, float y2,
                              PIX_PixelValue color, float alpha, bool antialias, double t_lo, float x_lo, float y_lo,
                              double t_hi, float x_hi, float y_hi, int width, int height, float tol2);
  static void DrawCBezRecurse(int level, PIX_IBitmap* bm, double ax, double bx, double cx, double dx, double ay,
                              double by, double cy, double dy, PIX_PixelValue color, float alpha, bool antialias,
                              double t_lo, float x_lo, float y_lo, double t_hi, float x_hi, float y_hi, int width,
                              int height, float tol2);
};
