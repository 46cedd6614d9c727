#include <gtest/gtest.h>

#include <cstring>

#include "IGraphicsStructs.h"

TEST(IRECT, Operations)
{
  struct Case
  {
    IRECT r;
    bool empty;
    int w, h;
    int x, y;
    bool contains;
  };
  for (const Case& c : { Case{ IRECT(0, 0, 0, 0), true, 0, 0, 0, 0, false },
                         Case{ IRECT(0, 0, 1, 1), false, 1, 1, 0, 0, true },
                         Case{ IRECT(0, 0, 1, 1), false, 1, 1, 1, 0, false },
                         Case{ IRECT(0, 0, 1, 1), false, 1, 1, 0, 1, false },
                         Case{ IRECT(5, 5, 5, 5), false, 0, 0, 5, 5, false },
                         Case{ IRECT(2, 3, 10, 20), false, 8, 17, 9, 19, true },
                         Case{ IRECT(2, 3, 10, 20), false, 8, 17, 1, 19, false },
                         Case{ IRECT(-4, -4, 0, 0), false, 4, 4, -1, -1, true },
                         Case{ IRECT(9, 0, 3, 5), false, -6, 5, 5, 2, false } })
  {
    EXPECT_EQ(c.r.Empty(), c.empty) << c.r.L << "," << c.r.T << "," << c.r.R << "," << c.r.B;
    EXPECT_EQ(c.r.W(), c.w);
    EXPECT_EQ(c.r.H(), c.h);
    EXPECT_EQ(c.r.Contains(c.x, c.y), c.contains) << c.x << "," << c.y;
  }
}

TEST(IRECT, IntersectsIsInclusiveOnTheReceiversRightAndBottom)
{
  struct Case
  {
    IRECT a, b;
    bool intersects;
    IRECT intersection;
  };
  for (const Case& c : {
         Case{ IRECT(0, 0, 10, 10), IRECT(10, 0, 20, 10), true, IRECT(10, 0, 10, 10) },
         Case{ IRECT(10, 0, 20, 10), IRECT(0, 0, 10, 10), false, IRECT() },
         Case{ IRECT(0, 0, 10, 10), IRECT(0, 10, 10, 20), true, IRECT(0, 10, 10, 10) },
         Case{ IRECT(0, 10, 10, 20), IRECT(0, 0, 10, 10), false, IRECT() },
         Case{ IRECT(0, 0, 10, 10), IRECT(5, 5, 15, 15), true, IRECT(5, 5, 10, 10) },
         Case{ IRECT(0, 0, 10, 10), IRECT(11, 0, 20, 10), false, IRECT() },
         Case{ IRECT(0, 0, 10, 10), IRECT(), false, IRECT() },
         Case{ IRECT(), IRECT(0, 0, 10, 10), false, IRECT() },
         Case{ IRECT(0, 0, 100, 100), IRECT(40, 40, 60, 60), true, IRECT(40, 40, 60, 60) },
       })
  {
    EXPECT_EQ(c.a.Intersects(c.b), c.intersects);
    EXPECT_EQ(c.a.Intersect(c.b), c.intersection);
  }
  EXPECT_FALSE(IRECT(0, 0, 10, 10).Intersect(IRECT(10, 0, 20, 10)).Empty());
}

TEST(IRECT, Union)
{
  struct Case
  {
    IRECT a, b, result;
  };
  for (const Case& c : { Case{ IRECT(), IRECT(3, 4, 5, 6), IRECT(3, 4, 5, 6) },
                         Case{ IRECT(0, 0, 2, 2), IRECT(), IRECT(0, 0, 2, 2) },
                         Case{ IRECT(0, 0, 2, 2), IRECT(1, 1, 5, 3), IRECT(0, 0, 5, 3) },
                         Case{ IRECT(10, 10, 20, 20), IRECT(30, 5, 40, 15), IRECT(10, 5, 40, 20) },
                         Case{ IRECT(), IRECT(), IRECT() } })
  {
    IRECT r = c.a;
    r.Union(c.b);
    EXPECT_EQ(r, c.result);
  }
}

TEST(IRECT, OneFrameOfAnImage)
{
  IBitmap strip(nullptr, 48, 4800, 100);
  EXPECT_EQ(IRECT(10, 20, &strip), IRECT(10, 20, 58, 68));
  IBitmap three(nullptr, 5, 10, 3);
  EXPECT_EQ(IRECT(0, 0, &three).H(), 3);
  // A handle that claims no frames is one frame, not a division by zero.
  IBitmap none(nullptr, 5, 10, 0);
  EXPECT_EQ(IRECT(1, 2, &none), IRECT(1, 2, 6, 12));
}

TEST(IColor, PacksAsAlphaRedGreenBlueInMemory)
{
  EXPECT_EQ(IColorToPixel(COLOR_RED), 0x0000FFFFu);
  EXPECT_EQ(IColorToPixel(COLOR_BLUE), 0xFF0000FFu);
  EXPECT_EQ(IColorToPixel(COLOR_TRANSPARENT), 0u);
  EXPECT_EQ(IColorToPixel(IColor(0x12, 0x34, 0x56, 0x78)), 0x78563412u);
  // Only the low eight bits of each component are kept.
  EXPECT_EQ(IColorToPixel(IColor(0x1ff, -1, 256, 0)), 0x0000FFFFu);
  const uint32_t p = IColorToPixel(COLOR_ORANGE);
  const unsigned char* bytes = (const unsigned char*)&p;
  EXPECT_EQ(bytes[0], 255);
  EXPECT_EQ(bytes[1], 255);
  EXPECT_EQ(bytes[2], 127);
  EXPECT_EQ(bytes[3], 0);
  EXPECT_EQ(IColorFromPixel(0x78563412u), IColor(0x12, 0x34, 0x56, 0x78));
}

TEST(IColor, NamedColoursHaveTheirValues)
{
  struct Case
  {
    const char* name;
    IColor color;
    int a, r, g, b;
  };
  const Case cases[] = {
    { "COLOR_TRANSPARENT", COLOR_TRANSPARENT, 0, 0, 0, 0 },
    { "COLOR_BLACK", COLOR_BLACK, 255, 0, 0, 0 },
    { "COLOR_GRAY", COLOR_GRAY, 255, 127, 127, 127 },
    { "COLOR_WHITE", COLOR_WHITE, 255, 255, 255, 255 },
    { "COLOR_RED", COLOR_RED, 255, 255, 0, 0 },
    { "COLOR_GREEN", COLOR_GREEN, 255, 0, 255, 0 },
    { "COLOR_BLUE", COLOR_BLUE, 255, 0, 0, 255 },
    { "COLOR_YELLOW", COLOR_YELLOW, 255, 255, 255, 0 },
    { "COLOR_ORANGE", COLOR_ORANGE, 255, 255, 127, 0 },
    { "DEFAULT_TEXT_COLOR", DEFAULT_TEXT_COLOR, 255, 0, 0, 0 },
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.color.A, c.a);
    EXPECT_EQ(c.color.R, c.r);
    EXPECT_EQ(c.color.G, c.g);
    EXPECT_EQ(c.color.B, c.b);
    // The raster pixel holds the same values, in memory order alpha, red, green, blue.
    const uint32_t pixel = (uint32_t)c.a | (uint32_t)c.r << 8 | (uint32_t)c.g << 16 | (uint32_t)c.b << 24;
    EXPECT_EQ(IColorToPixel(c.color), pixel);
    EXPECT_EQ(IColorFromPixel(pixel), c.color);
  }
}

TEST(IText, DefaultsAndABoundedFontName)
{
  IText t;
  EXPECT_STREQ(t.mFont, "Arial");
  EXPECT_EQ(t.mSize, 14);
  EXPECT_EQ(t.mColor, DEFAULT_TEXT_COLOR);
  EXPECT_EQ(t.mStyle, 0);
  EXPECT_EQ(t.mAlign, 1);
  EXPECT_EQ(t.mOrientation, 0);

  const char* longName = "A font name far longer than the thirty-one characters the field holds";
  IText cut(12, &COLOR_RED, longName, IText::kStyleNormal, IText::kAlignFar);
  EXPECT_EQ(strlen(cut.mFont), 31u);
  EXPECT_EQ(strncmp(cut.mFont, longName, 31), 0);
  EXPECT_EQ(cut.mColor, COLOR_RED);
  EXPECT_EQ(cut.mAlign, 2);
}

TEST(GuiRecords, Defaults)
{
  IChannelBlend b;
  EXPECT_EQ(b.mMethod, IChannelBlend::kBlendNone);
  EXPECT_EQ(b.mWeight, 1.0f);
  IMouseMod m;
  EXPECT_FALSE(m.L || m.R || m.S || m.C || m.A);
  EXPECT_EQ(DEFAULT_GEARING, 4.0);
  EXPECT_EQ(GRAYED_ALPHA, 0.25f);
  EXPECT_EQ(kVertical, 0);
  EXPECT_EQ(kHorizontal, 1);
}
