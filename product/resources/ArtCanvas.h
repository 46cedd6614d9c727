#pragma once
// Drawing the editor's artwork on the raster library: colours, a few composite shapes made of its
// primitives, and text from FreeType glyphs blended with PIX_DrawGlyph.

#include <cstdint>
#include <string>

#include "pix.h"

namespace art
{
// An opaque colour (or with alpha) as the raster library's pixel.
constexpr PIX_PixelValue RGB(int r, int g, int b, int a = 255)
{
  return (PIX_PixelValue)(a & 255) | (PIX_PixelValue)(r & 255) << 8 | (PIX_PixelValue)(g & 255) << 16 |
         (PIX_PixelValue)(b & 255) << 24;
}
// t of the way from a to b.
PIX_PixelValue Mix(PIX_PixelValue a, PIX_PixelValue b, double t);

// The palette: a dark faceplate, lighter section plates, amber light.
namespace colour
{
constexpr PIX_PixelValue kPanel = RGB(34, 36, 40);
constexpr PIX_PixelValue kPlate = RGB(46, 49, 54);
constexpr PIX_PixelValue kPlateEdge = RGB(70, 74, 80);
constexpr PIX_PixelValue kGroove = RGB(20, 21, 24);
constexpr PIX_PixelValue kLegend = RGB(214, 216, 218);
constexpr PIX_PixelValue kLegendDim = RGB(150, 154, 160);
constexpr PIX_PixelValue kNameStrip = RGB(196, 199, 203);
constexpr PIX_PixelValue kNameStripDark = RGB(170, 173, 178);
constexpr PIX_PixelValue kInk = RGB(28, 29, 32);
constexpr PIX_PixelValue kAmber = RGB(255, 176, 56);
constexpr PIX_PixelValue kAmberDim = RGB(92, 66, 30);
constexpr PIX_PixelValue kLcdBack = RGB(22, 17, 10);
constexpr PIX_PixelValue kLcdOff = RGB(48, 37, 22);
constexpr PIX_PixelValue kMeterBack = RGB(14, 15, 17);
}  // namespace colour

void Fill(PIX_IBitmap* bm, int x, int y, int w, int h, PIX_PixelValue c);
// A vertical gradient from top to bottom colour.
void VGradient(PIX_IBitmap* bm, int x, int y, int w, int h, PIX_PixelValue top, PIX_PixelValue bottom);
// A filled rounded rectangle with a one-pixel edge.
void Plate(PIX_IBitmap* bm, int x, int y, int w, int h, int radius, PIX_PixelValue fill, PIX_PixelValue edge);
// A recessed slot: dark inside, a light lower edge.
void Recess(PIX_IBitmap* bm, int x, int y, int w, int h, PIX_PixelValue inside);
void Line(PIX_IBitmap* bm, float x1, float y1, float x2, float y2, PIX_PixelValue c, float alpha = 1.0f);
// A line of some width, as parallel antialiased lines.
void ThickLine(PIX_IBitmap* bm, float x1, float y1, float x2, float y2, float width, PIX_PixelValue c);
void Disc(PIX_IBitmap* bm, float cx, float cy, float r, PIX_PixelValue c, float alpha = 1.0f);
void Ring(PIX_IBitmap* bm, float cx, float cy, float r, PIX_PixelValue c, float alpha = 1.0f);

// The point at radius r and angle a (radians, 0 straight up, clockwise) about (cx, cy).
void Polar(float cx, float cy, float r, double a, float* x, float* y);
// The angle of a knob's value: -150 degrees at 0 to +150 degrees at 1.
double KnobAngle(double value);

// ----- Text
enum EFace { kSans, kSansBold, kCondensedBold, kMonoBold };
enum EAlign { kLeft, kCentre, kRight };
// Draws text with its baseline at y; x is its left edge, centre or right edge. Returns the width.
int Text(PIX_IBitmap* bm, int x, int y, const std::string& text, int pixelSize, PIX_PixelValue c, EAlign align = kLeft,
         EFace face = kSans);
int TextWidth(const std::string& text, int pixelSize, EFace face = kSans);
// False, having said why, when a face is not installed or cannot be opened (the program then stops).
bool TextReady();
}  // namespace art
