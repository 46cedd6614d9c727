#pragma once
// The editor's images: each function draws one into a bitmap it sizes itself. Strips stack their
// frames vertically; a control showing frame k of N shows the value (k - 1) / (N - 1). Images
// drawn over the background start from the background under their control, so they are opaque
// and sit seamlessly on it.

#include "pix.h"

namespace art
{
void DrawPanel(PIX_IBitmap* bm);

void DrawDial(PIX_MemBitmap* out, PIX_IBitmap* panel, int x, int y);   // 60 x 60, 150 frames
void DrawDot(PIX_MemBitmap* out, PIX_IBitmap* panel);                  // 26 x 26, 151 frames
void DrawModeKnob(PIX_MemBitmap* out, PIX_IBitmap* panel);             // 70 x 70, 145 frames
void DrawFaderHandle(PIX_MemBitmap* out, int w, int h);
void DrawButton(PIX_MemBitmap* out, PIX_IBitmap* panel, int x, int y);  // 40 x 18, off and on
void DrawToggle(PIX_MemBitmap* out, PIX_IBitmap* panel);                // 24 x 40, forward and back
void DrawMeter(PIX_MemBitmap* out, bool reduction);                     // 240 x 14, 376 frames
void DrawDigits(PIX_MemBitmap* out);                                    // 6 x 10, digits 0-9
void DrawIndicator(PIX_MemBitmap* out, const char* const* words, int n); // 36 x 10, one frame a word
}  // namespace art
