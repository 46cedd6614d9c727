#include "ArtCanvas.h"

#include <cmath>

#include "pix_arc.h"
#include "pix_circle.h"
#include "pix_line.h"

namespace art
{
namespace
{
int Channel(PIX_PixelValue p, int shift) { return (int)(p >> shift) & 255; }
constexpr double kPi = 3.14159265358979323846;
}  // namespace

PIX_PixelValue Mix(PIX_PixelValue a, PIX_PixelValue b, double t)
{
  auto m = [&](int shift) { return (int)std::lround(Channel(a, shift) + (Channel(b, shift) - Channel(a, shift)) * t); };
  return RGB(m(8), m(16), m(24), m(0));
}

void Fill(PIX_IBitmap* bm, int x, int y, int w, int h, PIX_PixelValue c)
{
  PIX_FillRect(bm, x, y, w, h, c, 1.0f, PIX_MODE_COPY);
}

void VGradient(PIX_IBitmap* bm, int x, int y, int w, int h, PIX_PixelValue top, PIX_PixelValue bottom)
{
  for (int j = 0; j < h; ++j) Fill(bm, x, y + j, w, 1, Mix(top, bottom, h > 1 ? (double)j / (h - 1) : 0.0));
}

void Plate(PIX_IBitmap* bm, int x, int y, int w, int h, int radius, PIX_PixelValue fill, PIX_PixelValue edge)
{
  // The inside as rows clipped to the rounded corners, the edge with the library's round rectangle.
  for (int j = 0; j < h; ++j)
  {
    int inset = 0;
    const int fromEdge = j < radius ? radius - j : (j >= h - radius ? j - (h - 1 - radius) : 0);
    if (fromEdge > 0) inset = radius - (int)std::lround(std::sqrt((double)radius * radius - (double)fromEdge * fromEdge));
    Fill(bm, x + inset, y + j, w - 2 * inset, 1, fill);
  }
  PIX_RoundRect(bm, (float)x, (float)y, (float)(w - 1), (float)(h - 1), radius, edge, 1.0f, PIX_MODE_COPY, true);
}

void Recess(PIX_IBitmap* bm, int x, int y, int w, int h, PIX_PixelValue inside)
{
  Fill(bm, x, y, w, h, inside);
  Fill(bm, x, y, w, 1, colour::kGroove);
  Fill(bm, x, y + h - 1, w, 1, Mix(colour::kPlate, RGB(255, 255, 255), 0.18));
}

void Line(PIX_IBitmap* bm, float x1, float y1, float x2, float y2, PIX_PixelValue c, float alpha)
{
  PIX_FLine(bm, x1, y1, x2, y2, c, alpha, PIX_MODE_COPY, true);
}

void ThickLine(PIX_IBitmap* bm, float x1, float y1, float x2, float y2, float width, PIX_PixelValue c)
{
  const float dx = x2 - x1, dy = y2 - y1, len = std::sqrt(dx * dx + dy * dy);
  if (len <= 0.0f) return;
  const float nx = -dy / len, ny = dx / len;
  const int n = (int)std::ceil(width * 2.0f);
  for (int i = 0; i <= n; ++i)
  {
    const float o = -width / 2.0f + width * (float)i / (float)n;
    Line(bm, x1 + nx * o, y1 + ny * o, x2 + nx * o, y2 + ny * o, c);
  }
}

void Disc(PIX_IBitmap* bm, float cx, float cy, float r, PIX_PixelValue c, float alpha)
{
  PIX_FillCircle(bm, cx, cy, r, c, alpha, PIX_MODE_COPY, true);
}

void Ring(PIX_IBitmap* bm, float cx, float cy, float r, PIX_PixelValue c, float alpha)
{
  PIX_Circle(bm, cx, cy, r, c, alpha, PIX_MODE_COPY, true);
}

void Polar(float cx, float cy, float r, double a, float* x, float* y)
{
  *x = cx + r * (float)std::sin(a);
  *y = cy - r * (float)std::cos(a);
}

double KnobAngle(double value)
{
  return (-150.0 + 300.0 * value) * kPi / 180.0;
}
}  // namespace art
