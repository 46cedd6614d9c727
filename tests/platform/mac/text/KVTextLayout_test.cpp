// Laying out one line: alignment in the rectangle, the top edge in y-down and y-up spaces, device
// metrics on whole device pixels, empty and bad input, UTF-8 with invalid bytes, long text.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "text_fixtures.h"

namespace
{
bool Whole(double v) { return std::fabs(v - std::round(v)) < 1e-9; }

std::string Utf8(const std::vector<uint32_t>& cps)
{
  std::string s;
  for (uint32_t c : cps)
  {
    if (c < 0x80)
      s += (char)c;
    else if (c < 0x800)
    {
      s += (char)(0xC0 | (c >> 6));
      s += (char)(0x80 | (c & 0x3F));
    }
    else
    {
      s += (char)(0xE0 | (c >> 12));
      s += (char)(0x80 | ((c >> 6) & 0x3F));
      s += (char)(0x80 | (c & 0x3F));
    }
  }
  return s;
}

std::vector<unsigned> GlyphIds(const KVText::Layout& l)
{
  std::vector<unsigned> ids;
  for (const KVText::Glyph& g : l.glyphs) ids.push_back(g.index);
  return ids;
}
}  // namespace

TEST(KVTextLayout, AlignsInTheRectangleAndOverflowsByTheSameRule)
{
  struct Case
  {
    KVText::EAlign align;
    double rectWidth;
  };
  const Case cases[] = {{KVText::kAlignLeft, 300},  {KVText::kAlignCenter, 300}, {KVText::kAlignRight, 300},
                        {KVText::kAlignLeft, 10},   {KVText::kAlignCenter, 10},  {KVText::kAlignRight, 10}};
  for (const Case& k : cases)
  {
    SCOPED_TRACE(testing::Message() << "align " << k.align << " in " << k.rectWidth);
    const CGRect rect = CGRectMake(15, 5, k.rectWidth, 30);
    const KVText::Layout l = Lay("Hello, world", 20, rect, k.align);
    ASSERT_EQ(l.glyphs.size(), 12u);
    EXPECT_GT(l.width, 50);
    const double want = k.align == KVText::kAlignLeft     ? 15
                        : k.align == KVText::kAlignCenter ? 15 + (k.rectWidth - l.width) / 2
                                                          : 15 + k.rectWidth - l.width;
    EXPECT_NEAR(l.originX, want, 1e-9);
    EXPECT_NEAR(l.glyphs[0].x, want, 1e-9);
    EXPECT_NEAR(l.lineBox.origin.x, want, 1e-9);
    EXPECT_NEAR(l.lineBox.size.width, l.width, 1e-9);
    for (size_t i = 1; i < l.glyphs.size(); ++i)
    {
      EXPECT_GT(l.glyphs[i].x, l.glyphs[i - 1].x);
      EXPECT_EQ(l.glyphs[i].y, l.baselineY);
    }
    EXPECT_LT(l.glyphs.back().x, want + l.width);
  }
}

TEST(KVTextLayout, TheLineHangsFromTheTopEdgeInBothDirections)
{
  const CGRect rect = CGRectMake(0, 100, 200, 40);
  const KVText::Layout down = Lay("Tg", 20, rect, KVText::kAlignLeft, true);
  const KVText::Layout up = Lay("Tg", 20, rect, KVText::kAlignLeft, false);
  for (const KVText::Layout* l : {&down, &up})
  {
    EXPECT_GT(l->ascent, 14);  // about 0.9 em for the default face
    EXPECT_LT(l->ascent, 20);
    EXPECT_GT(l->descent, 2);
    EXPECT_GE(l->lineHeight, l->ascent + l->descent - 1e-9);
    EXPECT_EQ(l->pixelSize, 20);
    EXPECT_EQ(l->fontFile, KVText::DefaultFace().file);
  }
  EXPECT_EQ(down.ascent, up.ascent);
  // y down: the top edge is origin.y and the baseline lies below it.
  EXPECT_NEAR(down.baselineY, 100 + down.ascent, 1e-9);
  EXPECT_NEAR(down.lineBox.origin.y, 100, 1e-9);
  EXPECT_NEAR(down.lineBox.size.height, down.lineHeight, 1e-9);
  // y up: the top edge is origin.y + height and "below" is smaller y.
  EXPECT_NEAR(up.baselineY, 140 - up.ascent, 1e-9);
  EXPECT_NEAR(up.lineBox.origin.y + up.lineBox.size.height, 140, 1e-9);
  EXPECT_NEAR(up.lineBox.size.height, up.lineHeight, 1e-9);
  // Outline metrics scale with the size.
  const KVText::Layout twice = Lay("Tg", 40, rect);
  EXPECT_NEAR(twice.ascent, 2 * down.ascent, 1e-6);
  EXPECT_NEAR(twice.width, 2 * down.width, 1e-6);
}

TEST(KVTextLayout, DeviceMetricsPutThePenOnWholeDevicePixels)
{
  const CGAffineTransform ctms[] = {
    kIdentity,
    {1, 0, 0, -1, 0, 100},   // the editor's y-down back buffer
    {2, 0, 0, 2, 0, 0},      // a double-density bitmap
    {1, 0, 0, 1, 0.3, 0.7},  // a fractional offset
  };
  for (const CGAffineTransform& m : ctms)
    for (bool flipped : {true, false})
    {
      SCOPED_TRACE(testing::Message() << "scale " << m.a << " d " << m.d << " flipped " << flipped);
      const KVText::Layout l =
        Lay("Kestrel 0.5 dB", 11.3, CGRectMake(3.3, 4.6, 101, 20), KVText::kAlignCenter, flipped, m, true);
      ASSERT_EQ(l.glyphs.size(), 14u);
      EXPECT_NEAR(l.pixelSize, 11.3 * m.a, 1e-9);
      EXPECT_TRUE(Whole(l.ascent * m.a)) << l.ascent;
      EXPECT_TRUE(Whole(l.width * m.a)) << l.width;
      for (const KVText::Glyph& g : l.glyphs)
      {
        EXPECT_TRUE(Whole(m.a * g.x + m.tx)) << g.x;
        EXPECT_TRUE(Whole(m.d * g.y + m.ty)) << g.y;
      }
      const double originDeviceX = m.a * l.originX + m.tx;
      EXPECT_TRUE(Whole(originDeviceX));
    }
  // Without device metrics the same line keeps fractional positions.
  const KVText::Layout exact = Lay("Kestrel 0.5 dB", 11.3, CGRectMake(3.3, 4.6, 101, 20), KVText::kAlignCenter);
  bool fractional = false;
  for (const KVText::Glyph& g : exact.glyphs) fractional = fractional || !Whole(g.x);
  EXPECT_TRUE(fractional);
  // ... and does not depend on the CTM.
  const KVText::Layout scaled = Lay("Kestrel 0.5 dB", 11.3, CGRectMake(3.3, 4.6, 101, 20), KVText::kAlignCenter, true,
                                    CGAffineTransform{2.5, 0, 0, -2.5, 0, 100});
  EXPECT_NEAR(scaled.width, exact.width, 1e-3);
  EXPECT_NEAR(scaled.ascent, exact.ascent, 1e-3);
}

TEST(KVTextLayout, EmptyTextAndBadSizesGiveEmptyLines)
{
  KVText::Style style;
  style.size = 20;
  KVText::Layout l;
  KVText::LayoutLine(style, nullptr, 5, CGRectMake(10, 10, 100, 30), KVText::kAlignCenter, true, kIdentity, &l);
  EXPECT_TRUE(l.glyphs.empty());
  EXPECT_EQ(l.width, 0);
  EXPECT_GT(l.ascent, 0);
  EXPECT_NEAR(l.originX, 60, 1e-9);
  EXPECT_EQ(l.lineBox.size.width, 0);
  const KVText::Layout empty = Lay("", 20);
  EXPECT_TRUE(empty.glyphs.empty());
  EXPECT_EQ(empty.ascent, l.ascent);
  // Only len bytes count; a NUL inside them is a character.
  EXPECT_EQ(Lay(std::string("ab\0c", 4)).glyphs.size(), 4u);
  style.size = 20;
  KVText::LayoutLine(style, "abc", 2, CGRectMake(0, 0, 100, 30), KVText::kAlignLeft, true, kIdentity, &l);
  EXPECT_EQ(l.glyphs.size(), 2u);

  for (double size : {0.0, -3.0, std::nan(""), (double)INFINITY, 1e9})
  {
    SCOPED_TRACE(size);
    const KVText::Layout bad = Lay("abc", size);
    EXPECT_TRUE(bad.glyphs.empty());
    EXPECT_EQ(bad.width, 0);
    EXPECT_EQ(bad.ascent, 0);
    EXPECT_EQ(bad.lineHeight, 0);
  }
  // A CTM that cannot be used for device metrics counts as the identity.
  const KVText::Layout singular =
    Lay("abc", 20, CGRectMake(0, 0, 100, 30), KVText::kAlignLeft, true, CGAffineTransform{0, 0, 0, 0, 0, 0}, true);
  EXPECT_EQ(singular.glyphs.size(), 3u);
  EXPECT_EQ(singular.pixelSize, 20);
  KVText::LayoutLine(style, "abc", 3, CGRectMake(0, 0, 1, 1), KVText::kAlignLeft, true, kIdentity, nullptr);

  // A face whose file is missing or no font lays out nothing.
  for (const char* file : {"/nonexistent/font.ttf", "/proc/self/status", ""})
  {
    SCOPED_TRACE(file);
    KVText::Face broken;
    broken.file = file;
    style.face = &broken;
    KVText::LayoutLine(style, "abc", 3, CGRectMake(0, 0, 100, 30), KVText::kAlignLeft, true, kIdentity, &l);
    EXPECT_EQ(l.fontFile, file);
    EXPECT_TRUE(l.glyphs.empty());
    EXPECT_EQ(l.ascent, 0);
  }
}

TEST(KVTextLayout, InvalidUtf8BytesAreLatin1)
{
  struct Case
  {
    const char* name;
    std::string bytes;
    std::vector<uint32_t> codePoints;
  };
  const std::vector<Case> cases = {
    {"two-byte", "\xc3\xa9", {0xE9}},
    {"three-byte", "\xe2\x82\xac", {0x20AC}},
    {"stray byte", "a\xff" "b", {'a', 0xFF, 'b'}},
    {"lone continuation", "\x80x", {0x80, 'x'}},
    {"overlong", "\xc0\xaf", {0xC0, 0xAF}},
    {"overlong three-byte", "\xe0\x80\xaf", {0xE0, 0x80, 0xAF}},
    {"surrogate", "\xed\xa0\x80", {0xED, 0xA0, 0x80}},
    {"past U+10FFFF", "\xf4\x90\x80\x80", {0xF4, 0x90, 0x80, 0x80}},
    {"cut short", "e\xe2\x82", {'e', 0xE2, 0x82}},
    {"bad continuation", "\xc3(", {0xC3, '('}},
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.name);
    const KVText::Layout got = Lay(k.bytes);
    const KVText::Layout want = Lay(Utf8(k.codePoints));
    EXPECT_EQ(GlyphIds(got), GlyphIds(want));
    EXPECT_EQ(got.glyphs.size(), k.codePoints.size());
    EXPECT_NEAR(got.width, want.width, 1e-9);
  }
  // The face has glyphs for what the cases use.
  for (unsigned id : GlyphIds(Lay(Utf8({0xE9, 0x20AC, 0xFF})))) EXPECT_NE(id, 0u);
}

TEST(KVTextLayout, NewlinesStayOnTheLineAndLongTextLaysOutWhole)
{
  const KVText::Layout nl = Lay("a\nb", 20, CGRectMake(0, 0, 10, 10));
  ASSERT_EQ(nl.glyphs.size(), 3u);
  EXPECT_EQ(nl.glyphs[0].y, nl.glyphs[2].y);
  EXPECT_GT(nl.glyphs[2].x, nl.glyphs[0].x);

  const std::string longText(100000, 'x');
  const KVText::Layout one = Lay("x", 9);
  const KVText::Layout l = Lay(longText, 9, CGRectMake(0, 0, 50, 12), KVText::kAlignRight);
  ASSERT_EQ(l.glyphs.size(), longText.size());
  EXPECT_NEAR(l.width, one.width * 100000, 1e-6 * l.width);
  EXPECT_NEAR(l.originX, 50 - l.width, 1e-6);
}
