// Layouts: what creation accepts, ranges in buffer offsets, widths and line metrics equal to the
// engine's for the same text, face and size (per run), UTF-16 surrogates, styles that change or go
// after the layout was made, device metrics, and handles that are gone.

#include <CoreGraphics/CoreGraphics.h>

#include <cmath>

#include "atsui_fixtures.h"

TEST(ATSULayouts, CreationChecksTextRunsAndStyles)
{
  Style s;
  ATSUStyle styles[2] = {s.Get(), s.Get()};
  const UniChar text[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
  struct Case
  {
    const char* name;
    const UniChar* text;
    UniCharArrayOffset offset;
    UniCharCount length, total;
    ItemCount runs;
    UniCharCount lengths[2];
    OSStatus expected;
  };
  const Case cases[] = {
    {"one run", text, 0, 6, 6, 1, {6, 0}, noErr},
    {"two runs", text, 1, 4, 6, 2, {1, 3}, noErr},
    {"last run to the end", text, 2, 4, 6, 2, {1, kATSUToTextEnd}, noErr},
    {"empty, no text", nullptr, 0, 0, 0, 0, {0, 0}, noErr},
    {"empty, with a style", text, 3, 0, 6, 1, {0, 0}, noErr},
    {"runs too short", text, 0, 6, 6, 2, {1, 3}, paramErr},
    {"runs too long", text, 0, 6, 6, 2, {4, 3}, paramErr},
    {"to the end, not last", text, 0, 6, 6, 2, {kATSUToTextEnd, 0}, paramErr},
    {"past the buffer", text, 3, 4, 6, 1, {4, 0}, paramErr},
    {"offset past the buffer", text, 7, 0, 6, 1, {0, 0}, paramErr},
    {"text but no runs", text, 0, 6, 6, 0, {0, 0}, paramErr},
    {"no text but a length", nullptr, 0, 2, 2, 1, {2, 0}, paramErr},
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.name);
    ATSUTextLayout layout = nullptr;
    EXPECT_EQ(ATSUCreateTextLayoutWithTextPtr(k.text, k.offset, k.length, k.total, k.runs, k.lengths, styles, &layout),
              k.expected);
    EXPECT_EQ(layout != nullptr, k.expected == noErr);
    const OSStatus disposed = k.expected == noErr ? (OSStatus)noErr : (OSStatus)kATSUInvalidTextLayoutErr;
    EXPECT_EQ(ATSUDisposeTextLayout(layout), disposed);
  }
  const UniCharCount one = 1;
  EXPECT_EQ(ATSUCreateTextLayoutWithTextPtr(text, 0, 1, 1, 1, &one, styles, nullptr), paramErr);
  ATSUTextLayout layout = nullptr;
  EXPECT_EQ(ATSUCreateTextLayoutWithTextPtr(text, 0, 1, 1, 1, nullptr, styles, &layout), paramErr);
  EXPECT_EQ(ATSUCreateTextLayoutWithTextPtr(text, 0, 1, 1, 1, &one, nullptr, &layout), paramErr);
}

TEST(ATSULayouts, WidthsAreTheEnginesAndGrowWithTextAndSize)
{
  double previous = 0;
  for (const char* text : {"W", "Wa", "Wave", "Wave form"})
  {
    SCOPED_TRACE(text);
    Style s;
    s.Size(20);
    Layout l(text, s.Get());
    const double width = l.Width();
    EXPECT_NEAR(width, EngineWidth(text, 20), 1.0 / 65536);
    EXPECT_GT(width, previous);
    previous = width;
  }
  KVText::Face serif;
  ASSERT_TRUE(KVText::ResolveFace("DejaVu Serif", &serif));
  previous = 0;
  for (double size : {9.0, 12.5, 30.0, 72.0})
  {
    SCOPED_TRACE(size);
    Style s;
    s.Font(FontID("DejaVu Serif")).Size(size);
    Layout l("Gain", s.Get());
    EXPECT_NEAR(l.Width(), EngineWidth("Gain", size, &serif), 1.0 / 65536);
    EXPECT_GT(l.Width(), previous);
    previous = l.Width();
    ATSUTextMeasurement ascent = 0, descent = 0;
    ASSERT_EQ(ATSUGetUnjustifiedBounds(l.Get(), kATSUFromTextBeginning, kATSUToTextEnd, nullptr, nullptr, &ascent,
                                       &descent),
              noErr);
    EXPECT_NEAR(Fix2X(ascent), EngineMetrics(size, &serif).ascent, 1.0 / 65536);
    EXPECT_NEAR(Fix2X(descent), EngineMetrics(size, &serif).descent, 1.0 / 65536);
  }
}

TEST(ATSULayouts, RunsAndRangesMeasureTheirOwnPieces)
{
  Style small, large;
  small.Size(10);
  large.Size(30).Font(FontID("DejaVu Sans"));
  KVText::Face dejavu;
  ASSERT_TRUE(KVText::ResolveFace("DejaVu Sans", &dejavu));
  // A buffer "xxabcdyy" of which the layout takes "abcd": "ab" small, "cd" large.
  const std::vector<UniChar> buffer = Utf16("xxabcdyy");
  const UniCharCount runs[2] = {2, 2};
  ATSUStyle styles[2] = {small.Get(), large.Get()};
  ATSUTextLayout layout = nullptr;
  ASSERT_EQ(ATSUCreateTextLayoutWithTextPtr(buffer.data(), 2, 4, 8, 2, runs, styles, &layout), noErr);
  struct Case
  {
    UniCharArrayOffset start;
    UniCharCount length;
    double width;  // < 0: paramErr
  };
  const double ab = EngineWidth("ab", 10), cd = EngineWidth("cd", 30, &dejavu);
  const Case cases[] = {
    {kATSUFromTextBeginning, kATSUToTextEnd, ab + cd},
    {2, 4, ab + cd},
    {2, 2, ab},
    {4, kATSUToTextEnd, cd},
    {3, 2, EngineWidth("b", 10) + EngineWidth("c", 30, &dejavu)},
    {6, 0, 0},
    {6, kATSUToTextEnd, 0},
    {1, 2, -1},  // before the layout's text
    {4, 3, -1},  // past its end
    {7, 0, -1},
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(testing::Message() << k.start << "+" << k.length);
    ATSUTextMeasurement after = -1, ascent = 0;
    const OSStatus status = ATSUGetUnjustifiedBounds(layout, k.start, k.length, nullptr, &after, &ascent, nullptr);
    EXPECT_EQ(status, k.width < 0 ? paramErr : noErr);
    if (k.width < 0) continue;
    EXPECT_NEAR(Fix2X(after), k.width, 2.0 / 65536);
    // The line's ascent is the largest run's, whatever the range.
    EXPECT_NEAR(Fix2X(ascent), EngineMetrics(30, &dejavu).ascent, 1.0 / 65536);
  }
  EXPECT_EQ(ATSUDisposeTextLayout(layout), noErr);

  // An empty layout has a default line.
  ASSERT_EQ(ATSUCreateTextLayoutWithTextPtr(nullptr, 0, 0, 0, 0, nullptr, nullptr, &layout), noErr);
  ATSUTextMeasurement after = -1, ascent = 0;
  EXPECT_EQ(ATSUGetUnjustifiedBounds(layout, kATSUFromTextBeginning, kATSUToTextEnd, nullptr, &after, &ascent, nullptr),
            noErr);
  EXPECT_EQ(after, 0);
  EXPECT_NEAR(Fix2X(ascent), EngineMetrics(12).ascent, 1.0 / 65536);
  EXPECT_EQ(ATSUDisposeTextLayout(layout), noErr);
}

TEST(ATSULayouts, SurrogatePairsAreOneCharacterAndLoneOnesReplaced)
{
  struct Case
  {
    const char* name;
    std::vector<UniChar> utf16;
    std::string utf8;
  };
  const Case cases[] = {
    {"pair", {'a', 0xD834, 0xDD1E, 'b'}, "a\xF0\x9D\x84\x9E" "b"},
    {"highest pair", {0xDBFF, 0xDFFF}, "\xF4\x8F\xBF\xBF"},
    {"lone high", {0xD834, 'a'}, "\xEF\xBF\xBD" "a"},
    {"high at the end", {'a', 0xD834}, "a\xEF\xBF\xBD"},
    {"lone low", {0xDD1E, 0xD834}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
    {"BMP", {0x00E9, 0x20AC, 0xFFFD}, "\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBD"},
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.name);
    Style s;
    s.Size(24);
    Layout l(k.utf16, {s.Get()});
    ASSERT_EQ(l.Status(), noErr);
    EXPECT_NEAR(l.Width(), EngineWidth(k.utf8, 24), 1.0 / 65536);
  }
  // A pair is one glyph, not two replacements.
  Style s;
  s.Size(24);
  Layout pair(std::vector<UniChar>{0xD834, 0xDD1E}, {s.Get()});
  Layout two(std::vector<UniChar>{0xFFFD, 0xFFFD}, {s.Get()});
  EXPECT_NE(pair.Width(), two.Width());
}

TEST(ATSULayouts, StylesAreReadWhenUsedAndOutliveTheirDisposal)
{
  ATSUStyle style = nullptr;
  ASSERT_EQ(ATSUCreateStyle(&style), noErr);
  Fixed size = 20 << 16;
  const ATSUAttributeTag tag = kATSUSizeTag;
  const ByteCount n = sizeof size;
  ATSUAttributeValuePtr value = &size;
  ASSERT_EQ(ATSUSetAttributes(style, 1, &tag, &n, &value), noErr);
  Layout l("Level", style);
  EXPECT_NEAR(l.Width(), EngineWidth("Level", 20), 1.0 / 65536);
  size = 30 << 16;
  ASSERT_EQ(ATSUSetAttributes(style, 1, &tag, &n, &value), noErr);
  EXPECT_NEAR(l.Width(), EngineWidth("Level", 30), 1.0 / 65536);
  // Gone: the layout keeps what it last saw, also when a new style takes the old one's address.
  ASSERT_EQ(ATSUDisposeStyle(style), noErr);
  Style other;
  other.Size(8);
  EXPECT_NEAR(l.Width(), EngineWidth("Level", 30), 1.0 / 65536);
}

TEST(ATSULayouts, DeviceMetricsGiveWholeDevicePixels)
{
  Style s;
  s.Size(13.3);
  Layout l("Threshold -12 dB", s.Get());
  const double plain = l.Width();
  EXPECT_NE(plain, std::round(plain));
  ASSERT_EQ(l.Control<UInt32>(kATSULineLayoutOptionsTag, kATSLineUseDeviceMetrics), noErr);
  const double hinted = l.Width();
  EXPECT_EQ(hinted, std::round(hinted));
  EXPECT_NEAR(hinted, plain, 0.1 * plain);
  // Device pixels of the layout's context: two per unit under a scale of 2.
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  CGContextRef ctx = CGBitmapContextCreate(nullptr, 8, 8, 8, 32, space, kCGImageAlphaPremultipliedFirst);
  CGColorSpaceRelease(space);
  CGContextScaleCTM(ctx, 2, 2);
  ASSERT_EQ(l.Control(kATSUCGContextTag, ctx), noErr);
  CGContextRelease(ctx);  // the layout keeps it
  const double doubled = l.Width();
  EXPECT_EQ(doubled * 2, std::round(doubled * 2));
  EXPECT_NEAR(doubled, plain, 0.1 * plain);
}

TEST(ATSULayouts, ControlsAreSetAllOrNone)
{
  Style s;
  Layout l("x", s.Get());
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  CGContextRef ctx = CGBitmapContextCreate(nullptr, 8, 8, 8, 32, space, kCGImageAlphaPremultipliedFirst);
  CGColorSpaceRelease(space);
  Fixed rotation = 90 << 16;
  const ATSUAttributeTag tags[2] = {kATSUCGContextTag, kATSULineRotationTag};
  ATSUAttributeValuePtr values[2] = {&ctx, &rotation};
  const ByteCount wrongSize[2] = {sizeof ctx, 2};
  EXPECT_EQ(ATSUSetLayoutControls(l.Get(), 2, tags, wrongSize, values), kATSUInvalidAttributeSizeErr);
  const ATSUAttributeTag unknown[2] = {kATSUCGContextTag, kATSUSizeTag};
  const ByteCount sizes[2] = {sizeof ctx, sizeof rotation};
  EXPECT_EQ(ATSUSetLayoutControls(l.Get(), 2, unknown, sizes, values), kATSUInvalidAttributeTagErr);
  EXPECT_EQ(ATSUDrawText(l.Get(), kATSUFromTextBeginning, kATSUToTextEnd, 0, 0), paramErr);  // still no context
  EXPECT_EQ(ATSUSetLayoutControls(l.Get(), 2, tags, sizes, nullptr), paramErr);
  EXPECT_EQ(ATSUSetLayoutControls(l.Get(), 2, tags, sizes, values), noErr);
  EXPECT_EQ(ATSUDrawText(l.Get(), kATSUFromTextBeginning, kATSUToTextEnd, 0, 0), noErr);
  CGContextRef none = nullptr;
  EXPECT_EQ(l.Control(kATSUCGContextTag, none), noErr);
  EXPECT_EQ(ATSUDrawText(l.Get(), kATSUFromTextBeginning, kATSUToTextEnd, 0, 0), paramErr);
  CGContextRelease(ctx);
}

TEST(ATSULayouts, NullDisposedAndForeignLayoutsAreRefused)
{
  Style s;
  ATSUTextLayout gone = nullptr;
  const UniChar text[1] = {'a'};
  const UniCharCount run = 1;
  ATSUStyle style = s.Get();
  ASSERT_EQ(ATSUCreateTextLayoutWithTextPtr(text, 0, 1, 1, 1, &run, &style, &gone), noErr);
  ASSERT_EQ(ATSUDisposeTextLayout(gone), noErr);
  long foreign[4] = {};
  Fixed rotation = 0;
  const ATSUAttributeTag tag = kATSULineRotationTag;
  const ByteCount size = sizeof rotation;
  ATSUAttributeValuePtr value = &rotation;
  for (ATSUTextLayout bad : {gone, (ATSUTextLayout) nullptr, (ATSUTextLayout)(void*)foreign})
  {
    ATSUTextMeasurement after = 77;
    EXPECT_EQ(ATSUGetUnjustifiedBounds(bad, kATSUFromTextBeginning, kATSUToTextEnd, nullptr, &after, nullptr, nullptr),
              kATSUInvalidTextLayoutErr);
    EXPECT_EQ(after, 77);
    EXPECT_EQ(ATSUSetLayoutControls(bad, 1, &tag, &size, &value), kATSUInvalidTextLayoutErr);
    EXPECT_EQ(ATSUDrawText(bad, kATSUFromTextBeginning, kATSUToTextEnd, 0, 0), kATSUInvalidTextLayoutErr);
    EXPECT_EQ(ATSUDisposeTextLayout(bad), kATSUInvalidTextLayoutErr);
  }
  for (long v : foreign) EXPECT_EQ(v, 0);
}
