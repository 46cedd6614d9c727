// Drawing laid-out lines into bitmap contexts: only inside the clip and the bitmap, the colour in
// the right bytes of every layout, upright glyphs in y-down and y-up spaces, aliased glyphs, any
// CTM, and what draws nothing.

#include <gtest/gtest.h>

#include <CoreGraphics/testkit.h>

#include <cmath>

#include "text_fixtures.h"

namespace
{
const CGFloat kBlack[4] = {0, 0, 0, 1};

KVText::Style StyleOf(double size, bool antialias = true)
{
  KVText::Style s;
  s.size = size;
  s.antialias = antialias;
  return s;
}

// Lays out for the canvas's current CTM, then draws.
bool Draw(CGCanvas& cv, const std::string& text, const KVText::Style& style, CGRect rect, bool flipped,
          const CGFloat rgba[4], KVText::Layout* out = nullptr)
{
  KVText::Layout l;
  KVText::LayoutLine(style, text.data(), text.size(), rect, KVText::kAlignLeft, flipped, CGContextGetCTM(cv.Ctx()), &l);
  if (out) *out = l;
  return KVText::DrawLine(cv.Ctx(), style, l, flipped, rgba);
}
}  // namespace

TEST(KVTextDraw, PixelsChangeOnlyInsideTheClipAndTheBitmap)
{
  const uint8_t background[4] = {0x11, 0x22, 0x33, 0x44};
  {
    CGCanvas cv(80, 40, kCGImageAlphaNoneSkipFirst);
    cv.FillBytes(background);
    cv.FlipToMemoryRows();
    CGContextClipToRect(cv.Ctx(), CGRectMake(10, 5, 30, 15));
    ASSERT_TRUE(Draw(cv, "MMMMMMMMMM", StyleOf(30), CGRectMake(0, 0, 80, 40), true, kBlack));
    const Ink ink = InkOf(cv, background);
    EXPECT_GT(ink.count, 50);
    EXPECT_GE(ink.x0, 10);
    EXPECT_LE(ink.x1, 40);
    EXPECT_GE(ink.y0, 5);
    EXPECT_LE(ink.y1, 20);
    EXPECT_TRUE(cv.GuardsIntact());
  }
  // Past every edge of the bitmap, in every layout, and with rows that are not whole words.
  for (size_t padding : {8, 2})
    for (uint32_t info : {kCGImageAlphaNoneSkipFirst, kCGImageAlphaPremultipliedFirst, kCGImageAlphaNoneSkipLast,
                          kCGImageAlphaPremultipliedLast})
    {
      SCOPED_TRACE(testing::Message() << "info " << info << " padding " << padding);
      CGCanvas cv(30, 20, info, padding);
      cv.FillBytes(background);
      cv.FlipToMemoryRows();
      for (CGRect r : {CGRectMake(-15, -12, 100, 40), CGRectMake(20, 10, 100, 40), CGRectMake(-200, 0, 100, 40)})
        EXPECT_TRUE(Draw(cv, "Wgjy|Q", StyleOf(26), r, true, kBlack));
      EXPECT_GT(InkOf(cv, background).count, 20);
      EXPECT_TRUE(cv.GuardsIntact());
    }
}

TEST(KVTextDraw, TheColourLandsInTheContextsByteOrder)
{
  struct Case
  {
    const char* name;
    uint32_t info;
    uint8_t background[4];
    CGFloat rgba[4];
    uint8_t full[4];  // a fully covered pixel, in memory order
  };
  const Case cases[] = {
    // The unused byte of skip formats keeps its value (0x5A).
    {"skip-first red", kCGImageAlphaNoneSkipFirst, {0x5A, 0, 0, 0}, {1, 0, 0, 1}, {0x5A, 255, 0, 0}},
    {"skip-first blue-ish", kCGImageAlphaNoneSkipFirst, {0x5A, 0, 0, 0}, {0.2, 0.4, 0.6, 1}, {0x5A, 51, 102, 153}},
    {"skip-last red", kCGImageAlphaNoneSkipLast, {0, 0, 0, 0x5A}, {1, 0, 0, 1}, {255, 0, 0, 0x5A}},
    {"premultiplied-first red", kCGImageAlphaPremultipliedFirst, {0, 0, 0, 0}, {1, 0, 0, 1}, {255, 255, 0, 0}},
    {"premultiplied-last red", kCGImageAlphaPremultipliedLast, {0, 0, 0, 0}, {1, 0, 0, 1}, {255, 0, 0, 255}},
    {"premultiplied-last blue-ish", kCGImageAlphaPremultipliedLast, {0, 0, 0, 255}, {0.2, 0.4, 0.6, 1},
     {51, 102, 153, 255}},
    // Half-transparent red over opaque white: alpha 0.5 is 128 of 255, leaving 127 of the white.
    {"premultiplied-last half red", kCGImageAlphaPremultipliedLast, {255, 255, 255, 255}, {1, 0, 0, 0.5},
     {255, 127, 127, 255}},
    {"skip-first half red", kCGImageAlphaNoneSkipFirst, {0x5A, 255, 255, 255}, {1, 0, 0, 0.5}, {0x5A, 255, 127, 127}},
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.name);
    CGCanvas cv(40, 40, k.info);
    cv.FillBytes(k.background);
    cv.FlipToMemoryRows();
    // Aliased glyphs: every pixel is either untouched or fully covered.
    ASSERT_TRUE(Draw(cv, "IH", StyleOf(32, false), CGRectMake(4, 2, 40, 40), true, k.rgba));
    long covered = 0, other = 0;
    for (size_t y = 0; y < 40; ++y)
      for (size_t x = 0; x < 40; ++x)
      {
        const uint8_t* p = cv.Pixel(x, y);
        if (memcmp(p, k.background, 4) == 0) continue;
        if (memcmp(p, k.full, 4) == 0)
          ++covered;
        else if (++other <= 3)
          ADD_FAILURE() << "pixel " << x << "," << y << ": " << (int)p[0] << " " << (int)p[1] << " " << (int)p[2]
                        << " " << (int)p[3];
      }
    EXPECT_GT(covered, 60);
    EXPECT_EQ(other, 0);
  }
}

TEST(KVTextDraw, AntialiasingFollowsTheStyleAndTheContext)
{
  const uint8_t white[4] = {255, 255, 255, 255};
  auto levels = [&](bool styleAA, bool contextAA) {
    CGCanvas cv(60, 30, kCGImageAlphaNoneSkipFirst);
    cv.FillBytes(white);
    cv.FlipToMemoryRows();
    CGContextSetShouldAntialias(cv.Ctx(), contextAA);
    EXPECT_TRUE(Draw(cv, "sow@", StyleOf(17.5, styleAA), CGRectMake(1.3, 1.6, 60, 30), true, kBlack));
    long partial = 0, full = 0;
    for (size_t y = 0; y < 30; ++y)
      for (size_t x = 0; x < 60; ++x)
      {
        const uint8_t g = cv.Pixel(x, y)[2];
        if (g == 0)
          ++full;
        else if (g != 255)
          ++partial;
      }
    EXPECT_GT(full, 10);
    return partial;
  };
  EXPECT_GT(levels(true, true), 20);
  EXPECT_EQ(levels(false, true), 0);
  EXPECT_EQ(levels(true, false), 0);
}

TEST(KVTextDraw, GlyphsStandUprightInYDownAndYUpSpaces)
{
  const uint8_t black[4] = {255, 0, 0, 0};
  const CGFloat white[4] = {1, 1, 1, 1};
  for (bool flipped : {true, false})
  {
    SCOPED_TRACE(flipped ? "y-down CTM" : "y-up");
    CGCanvas cv(60, 60, kCGImageAlphaNoneSkipFirst);
    cv.FillBytes(black);
    if (flipped) cv.FlipToMemoryRows();
    KVText::Layout l;
    ASSERT_TRUE(Draw(cv, "T", StyleOf(40), CGRectMake(10, 5, 50, 50), flipped, white, &l));
    const Ink ink = InkOf(cv, black);
    ASSERT_GT(ink.count, 50);
    // The baseline's memory row: user y in a y-down CTM, height - y in the y-up space.
    const double baselineRow = flipped ? l.baselineY : 60 - l.baselineY;
    EXPECT_NEAR(ink.y1, baselineRow, 1.0);
    EXPECT_GT(ink.y1 - ink.y0, 20);  // a capital's height above it
    // The bar: the widest ink rows are in the top quarter of the glyph.
    long widestRow = -1, widest = 0;
    for (long y = ink.y0; y < ink.y1; ++y)
    {
      long n = 0;
      for (size_t x = 0; x < 60; ++x) n += memcmp(cv.Pixel(x, (size_t)y), black, 4) != 0;
      if (n > widest)
      {
        widest = n;
        widestRow = y;
      }
    }
    EXPECT_LT(widestRow - ink.y0, (ink.y1 - ink.y0) / 4);
    EXPECT_GT(widest, 15);
  }
}

TEST(KVTextDraw, AnyCtmDrawsInsideTheBitmap)
{
  const uint8_t black[4] = {255, 0, 0, 0};
  const CGFloat white[4] = {1, 1, 1, 1};
  struct Case
  {
    const char* name;
    double angle, scale;
  };
  const Case cases[] = {{"30 degrees", M_PI / 6, 1}, {"upside down", M_PI, 1}, {"rotated and scaled", 1, 2.5}};
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.name);
    CGCanvas cv(80, 80, kCGImageAlphaNoneSkipFirst);
    cv.FillBytes(black);
    cv.FlipToMemoryRows();
    CGContextTranslateCTM(cv.Ctx(), 40, 40);
    CGContextRotateCTM(cv.Ctx(), k.angle);
    CGContextScaleCTM(cv.Ctx(), k.scale, k.scale);
    const CGAffineTransform before = CGContextGetCTM(cv.Ctx());
    KVText::Layout l;
    ASSERT_TRUE(Draw(cv, "Hello, rotated world", StyleOf(14), CGRectMake(-20, -8, 40, 16), true, white, &l));
    EXPECT_NEAR(l.pixelSize, 14 * k.scale, 1e-9);
    const Ink ink = InkOf(cv, black);
    EXPECT_GT(ink.count, 40);
    EXPECT_GT(ink.y1 - ink.y0, 12);  // the line runs across rows
    EXPECT_TRUE(cv.GuardsIntact());
    const CGAffineTransform after = CGContextGetCTM(cv.Ctx());
    EXPECT_EQ(memcmp(&before, &after, sizeof before), 0);
  }
}

TEST(KVTextDraw, NothingToDrawAndWhatCannotBeDrawn)
{
  const uint8_t background[4] = {1, 2, 3, 4};
  CGCanvas cv(40, 20, kCGImageAlphaNoneSkipFirst);
  cv.FillBytes(background);
  cv.FlipToMemoryRows();
  const KVText::Style style = StyleOf(14);
  const KVText::Layout l = Lay("text", 14);
  EXPECT_FALSE(KVText::DrawLine(nullptr, style, l, true, kBlack));
  EXPECT_FALSE(KVText::DrawLine(cv.Ctx(), style, l, true, nullptr));
  const CGFloat clear[4] = {0, 0, 0, 0};
  EXPECT_TRUE(KVText::DrawLine(cv.Ctx(), style, l, true, clear));
  EXPECT_TRUE(KVText::DrawLine(cv.Ctx(), style, Lay("", 14), true, kBlack));
  // Positions that are not numbers, a size too large, a singular CTM, an empty clip.
  EXPECT_TRUE(KVText::DrawLine(cv.Ctx(), style, Lay("abc", 14, CGRectMake(std::nan(""), 0, 10, 10)), true, kBlack));
  EXPECT_TRUE(KVText::DrawLine(cv.Ctx(), StyleOf(1e7), l, true, kBlack));
  CGContextSaveGState(cv.Ctx());
  CGContextScaleCTM(cv.Ctx(), 0, 0);
  EXPECT_TRUE(KVText::DrawLine(cv.Ctx(), style, l, true, kBlack));
  CGContextRestoreGState(cv.Ctx());
  CGContextSaveGState(cv.Ctx());
  CGContextClipToRect(cv.Ctx(), CGRectMake(100, 100, 5, 5));
  EXPECT_TRUE(KVText::DrawLine(cv.Ctx(), style, l, true, kBlack));
  CGContextRestoreGState(cv.Ctx());
  EXPECT_EQ(InkOf(cv, background).count, 0);
  EXPECT_TRUE(cv.GuardsIntact());

  // A very long line draws the part over the bitmap only.
  const std::string longText(100000, 'W');
  ASSERT_TRUE(Draw(cv, longText, StyleOf(12), CGRectMake(-50000, 0, 100, 20), true, kBlack));
  EXPECT_GT(InkOf(cv, background).count, 100);
  EXPECT_TRUE(cv.GuardsIntact());
}
