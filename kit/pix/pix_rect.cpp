// Rectangle outlines, bordered rectangles and dashed lines.

#include <algorithm>
#include <cmath>

#include "pix.h"
#include "pix_line_class.h"
#include "pix_lines_internal.h"
#include "pix_shapes.h"

namespace
{
// Far edges are held to the int range: a side beyond it lies outside any bitmap anyway.
inline int Edge(int v, int d) { return PIX_SatInt((int64_t)v + d); }
}  // namespace

void PIX_DrawRect(PIX_IBitmap* bm, int x, int y, int w, int h, PIX_PixelValue color, float alpha, int mode)
{
  const int r = Edge(x, w), b = Edge(y, h);
  PIX_Line(bm, x, y, r, y, color, alpha, mode, false);
  PIX_Line(bm, r, y, r, b, color, alpha, mode, false);
  PIX_Line(bm, r, b, x, b, color, alpha, mode, false);
  PIX_Line(bm, x, b, x, y, color, alpha, mode, false);
}

void PIX_BorderedRect(PIX_IBitmap* bm, int x, int y, int w, int h, PIX_PixelValue bg, PIX_PixelValue fg,
                      float alpha, int mode)
{
  PIX_FillRect(bm, Edge(x, 1), Edge(y, 1), Edge(w, -1), Edge(h, -1), bg, alpha, mode);
  PIX_DrawRect(bm, x, y, w, h, fg, alpha, mode);
}

void PIX_DashedLine(PIX_IBitmap* bm, int x1, int y1, int x2, int y2, int pixels_on, int pixels_off,
                    PIX_PixelValue color, float alpha, int mode, bool)
{
  if (!std::isfinite(alpha)) return;
  alpha = PIX_HoldAlpha(alpha);
  int64_t ax = x1, ay = y1, bx = x2, by = y2;
  if (!PIX_PrepareLine(bm, &ax, &ay, &bx, &by, false)) return;
  const pix_line::Canvas cv(bm);

  if (pixels_on == 1 && pixels_off == 1 && ax == bx && (mode & PIX_MODE_KINDMASK) == PIX_MODE_COPY && alpha == 1.0f)
  {
    const int64_t top = std::min(ay, by), bottom = std::max(ay, by);
    PIX_PixelValue* p = cv.at((int)ax, (int)top);
    for (int64_t n = (bottom - top + 1) / 2; n > 0; --n, p += 2 * cv.span) *p = color;
    return;
  }
  // Every dash advances the walk by at least one pixel, so it always ends.
  if (pixels_on <= 0) return;
  const int64_t on = pixels_on, period = on + std::max(pixels_off, 0);
  if (ax > bx) std::swap(ax, bx);
  if (ay > by) std::swap(ay, by);
  const bool vertical = ax == bx;
  if (!vertical && ay != by) return;
  const int64_t from = vertical ? ay : ax, to = vertical ? by : bx;
  const ptrdiff_t step = vertical ? cv.span : 1;

  PIX_DispatchVector(mode, alpha, true, [&](auto tag) {
    using C = typename decltype(tag)::type;
    const PIX_Source src(color);
    const int w = PIX_AlphaToWeight(alpha);
    auto dash = [&](int64_t p, int64_t n) {
      PIX_PixelValue* q = vertical ? cv.at((int)ax, (int)p) : cv.at((int)p, (int)ay);
      for (; n > 0; --n, q += step) src.put<C>(q, w);
    };
    int64_t p = from;
    for (; p < to - on; p += period) dash(p, on);
    dash(p, std::min(on, to - p));
  });
}
