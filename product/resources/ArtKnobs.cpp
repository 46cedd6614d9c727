// The knobs: a turned body with a pointer, and a ring of lights that follows the value.

#include <cmath>

#include "ArtCanvas.h"
#include "ArtImages.h"
#include "ArtLayout.h"

namespace art
{
namespace
{
using namespace colour;

// Frame f of a strip: the background under the control, then the knob at value f / (n - 1).
template <class F>
void Strip(PIX_MemBitmap* out, PIX_IBitmap* panel, Spot at, int size, int frames, F drawKnob)
{
  out->resize(size, size * frames);
  for (int f = 0; f < frames; ++f)
  {
    PIX_Blit(out, panel, 0, f * size, at.x, at.y, size, size, 1.0f, PIX_MODE_COPY);
    drawKnob(f * size, (double)f / (frames - 1));
  }
}

// A body of radius r: a soft shadow, a bright rim fading to a darker face, and a pointer.
void Body(PIX_IBitmap* bm, float cx, float cy, float r, double angle, PIX_PixelValue pointer)
{
  Disc(bm, cx + 0.8f, cy + 1.5f, r + 1.0f, RGB(12, 12, 14), 0.6f);
  Disc(bm, cx, cy, r, RGB(88, 92, 98));
  Disc(bm, cx, cy, r - 1.5f, RGB(60, 63, 68));
  // The face: darker rings inwards, lit from the top.
  for (int i = 0; i < 6; ++i) Disc(bm, cx, cy - 0.3f * i, r - 2.5f - i * (r - 4.0f) / 8.0f, Mix(RGB(54, 57, 62), RGB(40, 42, 46), i / 5.0));
  Ring(bm, cx, cy, r - 2.0f, RGB(110, 114, 120), 0.5f);
  float x0, y0, x1, y1;
  Polar(cx, cy, r * 0.25f, angle, &x0, &y0);
  Polar(cx, cy, r - 3.0f, angle, &x1, &y1);
  ThickLine(bm, x0, y0, x1, y1, r > 12 ? 2.2f : 1.6f, pointer);
}

// Lights from the start of the sweep to the value, dim ones beyond.
void LightRing(PIX_IBitmap* bm, float cx, float cy, float r, int n, double value, float dot)
{
  for (int i = 0; i < n; ++i)
  {
    const double v = (double)i / (n - 1);
    float x, y;
    Polar(cx, cy, r, KnobAngle(v), &x, &y);
    const bool lit = v <= value + 1e-9;
    Disc(bm, x, y, dot, lit ? kAmber : kAmberDim);
  }
}
}  // namespace

void DrawDial(PIX_MemBitmap* out, PIX_IBitmap* panel, int x, int y)
{
  const float c = kDialSize / 2.0f - 0.5f;
  Strip(out, panel, Spot{ x, y }, kDialSize, kDialFrames, [&](int top, double v) {
    LightRing(out, c, top + c, 25.5f, 21, v, 1.3f);
    Body(out, c, top + c, 20.0f, KnobAngle(v), RGB(236, 238, 240));
  });
}

void DrawDot(PIX_MemBitmap* out, PIX_IBitmap* panel)
{
  const float c = kDotSize / 2.0f - 0.5f;
  Strip(out, panel, kKneeKnob, kDotSize, kDotFrames, [&](int top, double v) {
    LightRing(out, c, top + c, 11.5f, 11, v, 0.9f);
    Body(out, c, top + c, 8.5f, KnobAngle(v), kAmber);
  });
}

void DrawModeKnob(PIX_MemBitmap* out, PIX_IBitmap* panel)
{
  const float c = kModeSize / 2.0f - 0.5f;
  Strip(out, panel, kModeKnob, kModeSize, kModeFrames, [&](int top, double v) {
    // The five detents: the one the pointer is nearest lights.
    const int nearest = (int)std::lround(v * 4.0);
    for (int i = 0; i < 5; ++i)
    {
      float x, y;
      Polar(c, top + c, 32.0f, KnobAngle(i / 4.0), &x, &y);
      Disc(out, x, y, 1.8f, i == nearest ? kAmber : kAmberDim);
    }
    // A skirt, then a fluted cap.
    Disc(out, c, top + c, 28.0f, RGB(26, 27, 30));
    Ring(out, c, top + c, 28.0f, RGB(96, 100, 106), 0.7f);
    for (int i = 0; i < 24; ++i)
    {
      float x0, y0, x1, y1;
      const double a = KnobAngle(v) + i * 3.14159265358979323846 / 12.0;
      Polar(c, top + c, 24.0f, a, &x0, &y0);
      Polar(c, top + c, 27.0f, a, &x1, &y1);
      Line(out, x0, y0, x1, y1, RGB(70, 73, 78));
    }
    Body(out, c, top + c, 22.0f, KnobAngle(v), kAmber);
  });
}
}  // namespace art
