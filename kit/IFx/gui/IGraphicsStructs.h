#pragma once
// The plain value records every editor class shares: rectangles in editor pixels, colours, text
// styles, image handles, blend settings, the modifier state of a mouse event, directions, and the
// named colours and constants of the GUI. All are copied by value and own no heap memory.

#include <algorithm>
#include <cstdint>

#include "kitstring.h"

class PIX_IBitmap;

// An image loaded into the bitmap cache: the raster bitmap (owned by the cache, never by the
// handle), the size of the whole image and the number of frames stacked vertically in it.
struct IBitmap
{
  PIX_IBitmap* mData;
  int W, H, N;

  IBitmap(PIX_IBitmap* pData = nullptr, int w = 0, int h = 0, int n = 1) : mData(pData), W(w), H(h), N(n) {}

  // The height of one frame; an image that claims no frames counts as one.
  int FrameHeight() const { return N > 1 ? H / N : H; }
};

// A rectangle with inclusive left and top and exclusive right and bottom. All four zero is the
// one empty rectangle; a rectangle with R <= L is not empty, it merely contains nothing.
struct IRECT
{
  int L, T, R, B;

  IRECT() : L(0), T(0), R(0), B(0) {}
  IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}
  // One frame of the image, placed at (x, y).
  IRECT(int x, int y, const IBitmap* pBitmap)
    : L(x), T(y), R(x + pBitmap->W), B(y + pBitmap->FrameHeight()) {}

  bool Empty() const { return !L && !T && !R && !B; }
  int W() const { return R - L; }
  int H() const { return B - T; }

  bool Contains(int x, int y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }

  // Inclusive on this rectangle's right and bottom edges, so the test is not symmetric: a
  // rectangle whose right edge lies on the other's left edge intersects it.
  bool Intersects(const IRECT& o) const
  {
    return !Empty() && !o.Empty() && R >= o.L && L < o.R && B >= o.T && T < o.B;
  }

  IRECT Intersect(const IRECT& o) const
  {
    if (!Intersects(o)) return IRECT();
    return IRECT(std::max(L, o.L), std::max(T, o.T), std::min(R, o.R), std::min(B, o.B));
  }

  void Union(const IRECT& o)
  {
    if (Empty())
    {
      *this = o;
    }
    else if (!o.Empty())
    {
      L = std::min(L, o.L);
      T = std::min(T, o.T);
      R = std::max(R, o.R);
      B = std::max(B, o.B);
    }
  }

  bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRECT& o) const { return !(*this == o); }
};

struct IColor
{
  int A, R, G, B;

  constexpr IColor(int a = 255, int r = 0, int g = 0, int b = 0) : A(a), R(r), G(g), B(b) {}

  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
  bool operator!=(const IColor& o) const { return !(*this == o); }
};

// A colour as the raster library's pixel: memory bytes alpha, red, green, blue.
inline uint32_t IColorToPixel(const IColor& c)
{
  return ((uint32_t)c.A & 0xff) | ((uint32_t)c.R & 0xff) << 8 | ((uint32_t)c.G & 0xff) << 16 |
         ((uint32_t)c.B & 0xff) << 24;
}

inline IColor IColorFromPixel(uint32_t p)
{
  return IColor((int)(p & 0xff), (int)(p >> 8 & 0xff), (int)(p >> 16 & 0xff), (int)(p >> 24 & 0xff));
}

inline constexpr IColor COLOR_TRANSPARENT(0, 0, 0, 0);
inline constexpr IColor COLOR_BLACK(255, 0, 0, 0);
inline constexpr IColor COLOR_GRAY(255, 127, 127, 127);
inline constexpr IColor COLOR_WHITE(255, 255, 255, 255);
inline constexpr IColor COLOR_RED(255, 255, 0, 0);
inline constexpr IColor COLOR_GREEN(255, 0, 255, 0);
inline constexpr IColor COLOR_BLUE(255, 0, 0, 255);
inline constexpr IColor COLOR_YELLOW(255, 255, 255, 0);
inline constexpr IColor COLOR_ORANGE(255, 255, 127, 0);
inline constexpr IColor DEFAULT_TEXT_COLOR(255, 0, 0, 0);

#define DEFAULT_FONT "Arial"
inline constexpr double DEFAULT_GEARING = 4.0;
inline constexpr float GRAYED_ALPHA = 0.25f;
inline constexpr int DEFAULT_TEXT_SIZE = 14;

// A text style. Only the font, size, colour and alignment are read by the text drawing.
struct IText
{
  enum EStyle { kStyleNormal = 0, kStyleBold, kStyleItalic };
  enum EAlign { kAlignNear = 0, kAlignCenter, kAlignFar };
  enum { kFontLen = 32 };

  char mFont[kFontLen];
  int mSize;
  IColor mColor;
  int mStyle;
  int mAlign;
  int mOrientation;

  IText(int size = DEFAULT_TEXT_SIZE, const IColor* pColor = nullptr, const char* font = nullptr,
        int style = kStyleNormal, int align = kAlignCenter, int orientation = 0)
    : mSize(size), mColor(pColor ? *pColor : DEFAULT_TEXT_COLOR), mStyle(style), mAlign(align),
      mOrientation(orientation)
  {
    // A longer name is cut to the field, never written past it.
    KIT_strlcpy(mFont, font ? font : DEFAULT_FONT, sizeof(mFont));
  }
};

// How a drawing operation combines with the back buffer, and at what opacity.
struct IChannelBlend
{
  // A 32-bit integer underneath: any other value is a valid method that blends as kBlendNone.
  enum EBlendKind : int32_t { kBlendNone = 0, kBlendClobber, kBlendAdd, kBlendColorDodge };

  EBlendKind mMethod;
  float mWeight;

  IChannelBlend(EBlendKind method = kBlendNone, float weight = 1.0f) : mMethod(method), mWeight(weight) {}
};

// The state of one mouse or wheel event.
struct IMouseMod
{
  bool L, R, S, C, A;

  IMouseMod(bool l = false, bool r = false, bool s = false, bool c = false, bool a = false)
    : L(l), R(r), S(s), C(c), A(a) {}
};

enum EDirection { kVertical = 0, kHorizontal = 1 };
