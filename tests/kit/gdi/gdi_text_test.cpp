// Text drawn and measured through ATSUI layouts: prefixes, line breaks, alignment, clipping, the
// text colour, rotation, metrics, and texts that are null or longer than the buffer.

#include <gtest/gtest.h>

#include <string>

#include "gdi_canvas.h"

namespace
{
// A canvas with a 14-point face selected.
struct TextScene
{
  GdiCanvas c;
  HGDIOBJ font;
  TextScene(int w, int h, long size = 14, long orientation = 0) : c(w, h)
  {
    font = CreateFont(size, 0, 0, orientation, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SelectObject(c.DC(), font);
  }
  ~TextScene()
  {
    SelectObject(c.DC(), GDI_NO_FONT);
    DeleteObject(font);
  }
  // The width DT_CALCRECT gives.
  int Width(const char* text, int flags = 0, int len = -1)
  {
    RECT r = {10, 20, 10, 20};
    GDI_DrawText(c.DC(), text, len, &r, flags | DT_CALCRECT);
    return r.right - r.left;
  }
};
}  // namespace

TEST(GdiText, PrefixesLineBreaksAndLengthsAsMeasured)
{
  TextScene s(8, 8);
  const int ab = s.Width("AB");
  ASSERT_GT(ab, 0);
  struct Case
  {
    const char* text;
    int flags, len;
    bool sameAsAB;
  } cases[] = {
    {"A&B", 0, -1, true},             // '&' dropped
    {"A&B", DT_NOPREFIX, -1, false},  // '&' drawn
    {"A\rB", 0, -1, true},            // '\r' always dropped
    {"ABCDEF", 0, 2, true},           // at most len characters
    {"AB\0CD", 0, 5, true},           // never past the NUL
    {"A\nB", DT_SINGLELINE, -1, false},
  };
  for (const Case& k : cases) EXPECT_EQ(s.Width(k.text, k.flags, k.len) == ab, k.sameAsAB) << k.text << " " << k.flags;
  EXPECT_GT(s.Width("A&B", DT_NOPREFIX), ab);
  EXPECT_EQ(s.Width("A\nB", DT_SINGLELINE), s.Width("A B"));

  // Measuring sets right and bottom from left and top, returns the height and draws nothing.
  RECT r = {3, 4, 0, 0};
  const int h = GDI_DrawText(s.c.DC(), "Measure", -1, &r, DT_CALCRECT);
  EXPECT_GT(h, 10);
  EXPECT_LT(h, 30);
  EXPECT_EQ(r.bottom, 4 + h);
  EXPECT_EQ(r.right, 3 + s.Width("Measure"));
  EXPECT_EQ(s.c.Inked(), 0);
}

TEST(GdiText, DrawsInTheTextColourAlignedAndClippedInItsRectangle)
{
  TextScene s(120, 40);
  SetTextColor(s.c.DC(), 0xff0000);
  RECT r = {4, 4, 116, 36};
  const int h = GDI_DrawText(s.c.DC(), "Hello", -1, &r, 0);
  EXPECT_GT(h, 0);
  int x0, y0, x1, y1;
  ASSERT_TRUE(s.c.InkBox(&x0, &y0, &x1, &y1));
  EXPECT_GE(x0, 4);
  EXPECT_LE(x0, 7);
  EXPECT_GE(y0, 4);
  EXPECT_LE(y1, 4 + h);
  bool red = false;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      red = red || (RedOf(s.c.At(x, y)) == 255 && GreenOf(s.c.At(x, y)) < 100);
  EXPECT_TRUE(red) << "ink in the text colour";
  const int inkW = x1 - x0;

  // Right, centred, bottom and vertically centred.
  struct Case
  {
    int flags;
    double wantLeft, wantTop;  // of the ink, within 3 pixels
  } cases[] = {
    {DT_RIGHT, 116.0 - s.Width("Hello"), 4},
    {DT_CENTER, 60.0 - s.Width("Hello") / 2.0, 4},
    {DT_BOTTOM, 4, 36.0 - h},
    {DT_VCENTER, 4, 20.0 - h / 2.0},
  };
  for (const Case& k : cases)
  {
    s.c.Fill(0xffffff);
    GDI_DrawText(s.c.DC(), "Hello", -1, &r, k.flags);
    ASSERT_TRUE(s.c.InkBox(&x0, &y0, &x1, &y1)) << k.flags;
    EXPECT_NEAR(x0, k.wantLeft, 3) << k.flags;
    EXPECT_NEAR(x1 - x0, inkW, 1) << k.flags;
    EXPECT_GE(y0, (int)k.wantTop - 1) << k.flags;
    EXPECT_LE(y0, (int)k.wantTop + 6) << k.flags;
  }

  // Clipped to the rectangle unless told not to be.
  RECT narrow = {4, 4, 20, 36};
  s.c.Fill(0xffffff);
  GDI_DrawText(s.c.DC(), "Hello there", -1, &narrow, 0);
  EXPECT_GT(s.c.Inked(4, 0, 20, 40), 0);
  EXPECT_EQ(s.c.Inked(20, 0, 120, 40), 0);
  s.c.Fill(0xffffff);
  GDI_DrawText(s.c.DC(), "Hello there", -1, &narrow, DT_NOCLIP);
  EXPECT_GT(s.c.Inked(20, 0, 120, 40), 0);
}

TEST(GdiText, TheDefaultFontAndARotatedOne)
{
  // No font selected: the 10-point default face.
  GdiCanvas c(80, 30);
  RECT r = {2, 2, 78, 28};
  const int h = GDI_DrawText(c.DC(), "Default", -1, &r, 0);
  EXPECT_GE(h, 9);
  EXPECT_LE(h, 16);
  EXPECT_GT(c.Inked(), 0);

  // A quarter turn: the line runs upwards from its pen, which sits one ascent in from the
  // rectangle's left edge so that the glyphs stand right of that edge.
  TextScene s(40, 120, 14, 900);
  RECT tall = {4, 100, 38, 118};
  const int lineHeight = GDI_DrawText(s.c.DC(), "Rotated", -1, &tall, DT_NOCLIP);
  int x0, y0, x1, y1;
  ASSERT_TRUE(s.c.InkBox(&x0, &y0, &x1, &y1));
  EXPECT_GT(y1 - y0, 2 * (x1 - x0));
  EXPECT_GE(x0, 3);
  EXPECT_LE(x1, 4 + lineHeight + 1);
  EXPECT_LE(y1, 100 + lineHeight);
  EXPECT_LT(y0, 100 - 20);
}

TEST(GdiText, NullAndOverlongTextsAreSafe)
{
  TextScene s(60, 20);
  RECT r = {0, 0, 60, 20};
  EXPECT_GT(GDI_DrawText(s.c.DC(), nullptr, -1, &r, 0), 0) << "an empty line still has a height";
  EXPECT_GT(GDI_DrawText(s.c.DC(), nullptr, 10, &r, 0), 0);
  EXPECT_EQ(s.c.Inked(), 0);
  EXPECT_EQ(GDI_DrawText(nullptr, "x", -1, &r, 0), 0);
  EXPECT_EQ(GDI_DrawText(s.c.DC(), "x", -1, nullptr, 0), 0);

  // Longer than the 4095-character buffer, with and without a length, and with '&'s to drop.
  const std::string longText(10000, 'W'), amps(9000, '&');
  RECT m = {0, 0, 0, 0};
  EXPECT_GT(GDI_DrawText(s.c.DC(), longText.c_str(), -1, &m, DT_CALCRECT), 0);
  const int widest = m.right;
  m = {0, 0, 0, 0};
  GDI_DrawText(s.c.DC(), longText.c_str(), 20000, &m, DT_CALCRECT);
  EXPECT_EQ(m.right, widest) << "the buffer's limit, whatever the length says";
  EXPECT_GT(GDI_DrawText(s.c.DC(), longText.c_str(), -1, &r, 0), 0);
  m = {0, 0, 0, 0};
  GDI_DrawText(s.c.DC(), (amps + "W").c_str(), -1, &m, DT_CALCRECT);
  EXPECT_GT(m.right, 0);
  // Bytes that are neither UTF-8 nor ASCII.
  const char latin[] = {'a', (char)0xe9, (char)0xff, 'b', 0};
  EXPECT_GT(GDI_DrawText(s.c.DC(), latin, -1, &r, 0), 0);
}

TEST(GdiText, LongNonAsciiTextIsCutAtACharacterBoundary)
{
  // Each character repeated past the 4095-byte buffer measures as the most whole characters
  // that fit: never as a text cut inside a character (which would read as spaces).
  TextScene s(8, 8);
  struct Case
  {
    const char* utf8;
    int bytes, fit;  // bytes per character; whole characters in 4095 bytes
  } cases[] = {
    {"\xc3\xa9", 2, 2047},          // é
    {"\xe2\x82\xac", 3, 1365},      // €, fits exactly
    {"\xf0\x9d\x84\x9e", 4, 1023},  // a character outside the basic plane
  };
  for (const Case& k : cases)
  {
    std::string fit, over;
    for (int i = 0; i < k.fit; ++i) fit += k.utf8;
    over = fit + k.utf8 + k.utf8;
    ASSERT_LE((int)fit.size(), 4095);
    const int width = s.Width(fit.c_str());
    EXPECT_GT(width, 0) << k.bytes;
    EXPECT_EQ(s.Width(over.c_str()), width) << k.bytes;
    EXPECT_NE(width, s.Width(std::string(fit.size(), ' ').c_str())) << k.bytes;
  }
}

TEST(GdiText, PixelAlignedTextAdvancesInWholePixels)
{
  // Aligned, ten narrow letters are ten times one; unaligned their fractions add up first.
  TextScene s(8, 8, 13);
  const std::string ten(10, 'i');
  EXPECT_EQ(s.Width(ten.c_str(), DT_PIXELALIGN), 10 * s.Width("i", DT_PIXELALIGN));
  EXPECT_NE(s.Width(ten.c_str()), 10 * s.Width("i")) << "the fixture needs a letter of a fractional width";
}

TEST(GdiText, MetricsNeedASelectedFont)
{
  TEXTMETRIC tm = {};
  GdiCanvas c(4, 4);
  EXPECT_FALSE(GetTextMetrics(c.DC(), &tm));
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmAscent, 12);
  EXPECT_EQ(tm.tmDescent, 4);
  EXPECT_EQ(tm.tmInternalLeading, 3);
  EXPECT_EQ(tm.tmAveCharWidth, 12);
  EXPECT_FALSE(GetTextMetrics(nullptr, &tm));
  EXPECT_FALSE(GetTextMetrics(c.DC(), nullptr));

  TEXTMETRIC small = {}, large = {};
  {
    TextScene s(4, 4, 12);
    EXPECT_TRUE(GetTextMetrics(s.c.DC(), &small));
  }
  {
    TextScene s(4, 4, 36);
    EXPECT_TRUE(GetTextMetrics(s.c.DC(), &large));
  }
  for (const TEXTMETRIC& m : {small, large})
  {
    EXPECT_GT(m.tmAscent, m.tmDescent);
    EXPECT_GT(m.tmDescent, 0);
    EXPECT_GE(m.tmInternalLeading, 0);
    EXPECT_GE(m.tmHeight, m.tmAscent + m.tmDescent - 1);
    EXPECT_LE(m.tmHeight, m.tmAscent + m.tmDescent + m.tmInternalLeading + 1);
    EXPECT_EQ(m.tmAveCharWidth, (int)(m.tmHeight * 0.75));
  }
  EXPECT_NEAR(large.tmAscent, 3 * small.tmAscent, 3);
}
