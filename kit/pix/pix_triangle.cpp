// Filled triangles, row by row between the long edge (top to bottom vertex) and the two short ones.

#include <algorithm>
#include <cmath>

#include "pix_line_class.h"
#include "pix_shapes.h"

namespace
{
struct Vertex
{
  int64_t x, y;
};

// Rows above the bitmap only advance the edges. Up to this many (or four bitmap heights) are
// stepped one by one, as the visible rows are; beyond that the edges jump there at once.
const int64_t kSteppedRows = 4096;
}  // namespace

void PIX_FillTriangle(PIX_IBitmap* bm, int x1, int y1, int x2, int y2, int x3, int y3, PIX_PixelValue color,
                      float alpha, int mode)
{
  if (!bm || !std::isfinite(alpha)) return;
  alpha = PIX_HoldAlpha(alpha);
  const pix_line::Canvas cv(bm);
  if (!cv.bits || cv.width <= 0 || cv.height <= 0) return;
  Vertex v1{x1, y1}, v2{x2, y2}, v3{x3, y3};
  if (bm->isFlipped())
    for (Vertex* v : {&v1, &v2, &v3}) v->y = cv.height - 1 - v->y;

  // Top, middle and bottom by y, ties kept in the order the vertices came.
  const Vertex A = v1.y <= v2.y ? v1 : v2, A2 = v1.y <= v2.y ? v2 : v1;
  const Vertex T = A.y <= v3.y ? A : v3, C = A.y <= v3.y ? v3 : A;
  const Vertex B = A2.y > C.y ? A2 : C, M = A2.y > C.y ? C : A2;
  if (T.y >= B.y) return;

  auto slope = [](const Vertex& p, const Vertex& q) { return ((double)q.x - (double)p.x) / ((double)q.y - (double)p.y); };
  const double slopeLong = slope(T, B);
  const double slopeUpper = M.y != T.y ? slope(T, M) : 0.0, slopeLower = B.y != M.y ? slope(M, B) : 0.0;
  double xl = (double)T.x, xs = (double)T.x, ss = slopeUpper;
  int64_t y = T.y;

  if (y < 0)
  {
    const int64_t stop = std::min<int64_t>(B.y, 0);
    if (stop - y <= std::max<int64_t>(kSteppedRows, 4 * (int64_t)cv.height))
    {
      for (; y < stop; ++y)
      {
        if (y == M.y)
        {
          xs = (double)M.x;
          ss = slopeLower;
        }
        xs += ss;
        xl += slopeLong;
      }
    }
    else
    {
      xl = (double)T.x + slopeLong * (double)(stop - T.y);
      if (M.y < stop)
      {
        xs = (double)M.x + slopeLower * (double)(stop - M.y);
        ss = slopeLower;
      }
      else
        xs = (double)T.x + slopeUpper * (double)(stop - T.y);
      y = stop;
    }
  }

  PIX_DispatchVector(mode, alpha, true, [&](auto tag) {
    using C = typename decltype(tag)::type;
    const PIX_Source src(color);
    const int w = PIX_AlphaToWeight(alpha);
    for (; y < B.y && y < cv.height; ++y)
    {
      if (y == M.y)
      {
        xs = (double)M.x;
        ss = slopeLower;
      }
      // The span runs from the lesser edge to the greater, whichever edge that is on this row.
      const int left = std::max(0, PIX_FloorInt(std::min(xl, xs) + 0.5));
      const int right = std::min(cv.width - 1, PIX_FloorInt(std::max(xl, xs) + 0.5));
      if (right >= 0 && left < cv.width)
      {
        PIX_PixelValue* p = cv.at(left, (int)y);
        for (int x = left; x <= right; ++x, ++p) src.put<C>(p, w);
      }
      xs += ss;
      xl += slopeLong;
    }
  });
}
