// Warps through a grid of source points: one delta blit per grid cell, each cell the bilinear map
// of its four corner points.

#include <cstdint>

#include "pix_numeric.h"
#include "pix_transform.h"

void PIX_TransformBlit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                       float* grid_points, int grid_w, int grid_h, float alpha, int mode)
{
  if (!dest || !src || !grid_points || dstw < 1 || dsth < 1 || grid_w < 2 || grid_h < 2) return;
  const int width = dest->getWidth(), height = dest->getHeight();

  const double cw = (double)((float)dstw / (float)(grid_w - 1));
  const double rh = (double)((float)dsth / (float)(grid_h - 1));
  auto point = [&](int64_t i, int64_t j) { return grid_points + (i * grid_w + j) * 2; };

  // Edges accumulate by repeated addition, as the cells are laid out, and are truncated.
  double ey = dsty;
  int64_t y0 = dsty;
  for (int i = 0; i < grid_h - 1; ++i)
  {
    ey += rh;
    const int64_t y1 = PIX_TruncInt(ey);
    // Grid rows narrower than a pixel, or wholly above the bitmap, draw nothing; from the first
    // row wholly below it nothing more can be drawn.
    if (y0 >= height) break;
    if (y1 != y0 && y1 > 0)
    {
      double ex = dstx;
      int64_t x0 = dstx;
      for (int j = 0; j < grid_w - 1; ++j)
      {
        ex += cw;
        const int64_t x1 = PIX_TruncInt(ex);
        if (x0 >= width) break;
        if (x1 != x0 && x1 > 0)
        {
          const float *P = point(i, j), *Q = point(i, j + 1), *R = point(i + 1, j), *S = point(i + 1, j + 1);
          const double a = 1.0 / (double)(x1 - x0), b = 1.0 / (double)(y1 - y0);
          const double qpx = (double)Q[0] - (double)P[0], qpy = (double)Q[1] - (double)P[1];
          const double rpx = (double)R[0] - (double)P[0], rpy = (double)R[1] - (double)P[1];
          const double dsdx = qpx * a, dtdx = qpy * a, dsdy = rpx * b, dtdy = rpy * b;
          const double dsdxdy = ((double)(S[0] - R[0]) * a - dsdx) * b;
          const double dtdxdy = ((double)(S[1] - R[1]) * a - dtdx) * b;
          PIX_DeltaBlit(dest, src, (int)x0, (int)y0, PIX_SatInt(x1 - x0), PIX_SatInt(y1 - y0), P[0], P[1], (float)qpx,
                        (float)qpy, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy, false, alpha, mode);
        }
        x0 = x1;
      }
    }
    y0 = y1;
  }
}
