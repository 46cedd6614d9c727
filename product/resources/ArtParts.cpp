// Fader handles, switches, meters, the digit strip and the indicators.

#include <algorithm>
#include <cmath>

#include "ArtCanvas.h"
#include "ArtImages.h"
#include "ArtLayout.h"

namespace art
{
namespace
{
using namespace colour;

// A raised cap: light top, darker bottom, a dark outline.
void Cap(PIX_IBitmap* bm, int x, int y, int w, int h, PIX_PixelValue top, PIX_PixelValue bottom)
{
  Fill(bm, x, y, w, h, RGB(16, 16, 18));
  VGradient(bm, x + 1, y + 1, w - 2, h - 2, top, bottom);
  Fill(bm, x + 1, y + 1, w - 2, 1, Mix(top, RGB(255, 255, 255), 0.35));
}
}  // namespace

void DrawFaderHandle(PIX_MemBitmap* out, int w, int h)
{
  out->resize(w, h);
  Cap(out, 0, 0, w, h, RGB(206, 209, 213), RGB(132, 136, 142));
  // The line that marks the value, down the middle, and a groove either side to hold.
  const int cx = w / 2;
  Fill(out, cx, 1, 1, h - 2, kAmber);
  for (int gx : { cx - 3, cx + 3 })
    if (gx > 1 && gx < w - 2) Fill(out, gx, 3, 1, h - 6, RGB(96, 99, 104));
}

void DrawButton(PIX_MemBitmap* out, PIX_IBitmap* panel, int x, int y)
{
  out->resize(kButtonW, kButtonH * 2);
  for (int f = 0; f < 2; ++f)
  {
    const int top = f * kButtonH;
    PIX_Blit(out, panel, 0, top, x, y, kButtonW, kButtonH, 1.0f, PIX_MODE_COPY);
    const bool on = f == 1;
    Cap(out, 1, top + 1, kButtonW - 2, kButtonH - 2, on ? RGB(255, 196, 92) : RGB(86, 89, 95),
        on ? RGB(214, 132, 30) : RGB(48, 50, 55));
    Text(out, kButtonW / 2, top + 13, on ? "ON" : "OFF", 10, on ? kInk : RGB(190, 193, 198), kCentre, kCondensedBold);
  }
}

void DrawToggle(PIX_MemBitmap* out, PIX_IBitmap* panel)
{
  out->resize(kToggleW, kToggleH * 2);
  for (int f = 0; f < 2; ++f)
  {
    const int top = f * kToggleH;
    PIX_Blit(out, panel, 0, top, kTopologySwitch.x, kTopologySwitch.y, kToggleW, kToggleH, 1.0f, PIX_MODE_COPY);
    // A slot with a lever: down for feedforward (frame 1), up for feedback (frame 2).
    Recess(out, 7, top + 3, 10, kToggleH - 6, RGB(10, 10, 12));
    const bool up = f == 1;
    const int leverY = up ? top + 4 : top + kToggleH - 20;
    Cap(out, 3, leverY, 18, 16, RGB(214, 217, 221), RGB(136, 140, 146));
    Fill(out, 5, leverY + 7, 14, 2, up ? kAmber : RGB(90, 93, 98));
  }
}

void DrawMeter(PIX_MemBitmap* out, bool reduction)
{
  out->resize(kMeterW, kMeterH * kMeterFrames);
  // Segments three pixels apart, two lit; the level meters warm up towards 0 dB.
  const int warm = (int)std::lround(kMeterW * LevelMeterPosition(-6.0));
  const int hot = (int)std::lround(kMeterW * LevelMeterPosition(-3.0));
  for (int f = 0; f < kMeterFrames; ++f)
  {
    const int top = f * kMeterH;
    // The bar's end falls anywhere: the segment it falls in lights in proportion, so every frame
    // shows its own level.
    const double lit = kMeterW * (double)f / (kMeterFrames - 1);
    Fill(out, 0, top, kMeterW, kMeterH, kMeterBack);
    for (int x = 0; x + 1 < kMeterW; x += 3)
    {
      const PIX_PixelValue on =
        reduction ? RGB(236, 64, 48) : (x >= hot ? RGB(240, 70, 50) : (x >= warm ? RGB(240, 200, 60) : RGB(80, 220, 110)));
      const double share = std::min(1.0, std::max(0.0, (lit - x) / 3.0));
      Fill(out, x, top + 2, 2, kMeterH - 4, Mix(Mix(kMeterBack, on, 0.16), on, share));
    }
  }
}

void DrawDigits(PIX_MemBitmap* out)
{
  // Seven segments in columns 0-4 of each 6 x 10 frame: a top, b top right, c bottom right,
  // d bottom, e bottom left, f top left, g middle.
  static const unsigned char segments[10] = { 0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F };
  out->resize(kDigitW, kDigitH * 10);
  for (int d = 0; d < 10; ++d)
  {
    const int top = d * kDigitH;
    Fill(out, 0, top, kDigitW, kDigitH, kLcdBack);
    auto seg = [&](int bit, int x, int y, int w, int h) {
      Fill(out, x, top + y, w, h, (segments[d] >> bit) & 1 ? kAmber : kLcdOff);
    };
    seg(0, 1, 0, 3, 1);  // a
    seg(1, 4, 1, 1, 3);  // b
    seg(2, 4, 5, 1, 3);  // c
    seg(3, 1, 8, 3, 1);  // d
    seg(4, 0, 5, 1, 3);  // e
    seg(5, 0, 1, 1, 3);  // f
    seg(6, 1, 4, 3, 1);  // g
  }
}

void DrawIndicator(PIX_MemBitmap* out, const char* const* words, int n)
{
  out->resize(kIndicatorW, kDigitH * n);
  for (int f = 0; f < n; ++f)
  {
    const int top = f * kDigitH;
    Fill(out, 0, top, kIndicatorW, kDigitH, kLcdBack);
    Text(out, kIndicatorW / 2, top + 8, words[f], 9, kAmber, kCentre, kCondensedBold);
  }
}
}  // namespace art
