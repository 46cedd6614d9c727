// Drawing layouts into bitmap contexts (y up): where the ink goes from the pen and the rotation,
// the styles' colours per run, the caller's CTM and clip, device metrics, the bold, italic and
// underline the styles ask for, and what draws nothing.

#include <cmath>

#include "atsui_fixtures.h"
#include "platform/mac/text/text_fixtures.h"

namespace
{
const uint8_t kWhite[4] = {0xFF, 0xFF, 0xFF, 0xFF};

// Ink in device space (origin bottom-left, y up), half-open pixel bounds.
struct DeviceInk
{
  long x0, y0, x1, y1, count;
};

// How far the ink reaches from the pen (px, py) in the direction (dx, dy), one of +-x and +-y:
// from *lo to *hi.
void Extent(const DeviceInk& ink, int dx, int dy, long px, long py, long* lo, long* hi)
{
  if (dx)
  {
    *lo = dx > 0 ? ink.x0 - px : px - ink.x1;
    *hi = dx > 0 ? ink.x1 - px : px - ink.x0;
  }
  else
  {
    *lo = dy > 0 ? ink.y0 - py : py - ink.y1;
    *hi = dy > 0 ? ink.y1 - py : py - ink.y0;
  }
}

// A white canvas of premultiplied A, R, G, B pixels with the identity CTM: user space is device space.
class ATSUDrawTest : public testing::Test
{
protected:
  ATSUDrawTest() : mCanvas(120, 120, kCGImageAlphaPremultipliedFirst) { mCanvas.FillBytes(kWhite); }

  OSStatus Draw(Layout& l, double x, double y, UniCharArrayOffset start = kATSUFromTextBeginning,
                UniCharCount length = kATSUToTextEnd)
  {
    EXPECT_EQ(l.Control(kATSUCGContextTag, mCanvas.Ctx()), noErr);
    return ATSUDrawText(l.Get(), start, length, X2Fix(x), X2Fix(y));
  }
  DeviceInk Ink() const
  {
    const ::Ink ink = InkOf(mCanvas, kWhite);
    const long h = (long)mCanvas.Height();
    return DeviceInk{ink.x0, h - ink.y1, ink.x1, h - ink.y0, ink.count};
  }
  // Memory bytes of the device pixel (x, y).
  const uint8_t* At(long x, long y) const { return mCanvas.Pixel((size_t)x, mCanvas.Height() - 1 - (size_t)y); }
  std::vector<uint8_t> Redraw(const std::string& text, ATSUStyle style, double x, double y)
  {
    mCanvas.FillBytes(kWhite);
    Layout l(text, style);
    EXPECT_EQ(Draw(l, x, y), noErr);
    return mCanvas.Snapshot();
  }

  CGCanvas mCanvas;
};
}  // namespace

TEST_F(ATSUDrawTest, InkStandsOnTheBaselineRightOfThePen)
{
  Style s;
  s.Size(20);
  Layout l("Hello", s.Get());
  const double width = l.Width();
  ASSERT_EQ(Draw(l, 10, 20), noErr);
  const DeviceInk ink = Ink();
  const double ascent = EngineMetrics(20).ascent;
  EXPECT_GT(ink.count, 100);
  EXPECT_GE(ink.x0, 10);
  EXPECT_LE(ink.x1, 10 + std::ceil(width) + 1);
  EXPECT_GT(ink.x1, 10 + width - 4);
  // No descenders: the ink starts at the baseline and rises by about the cap height.
  EXPECT_GE(ink.y0, 19);
  EXPECT_LE(ink.y0, 20);
  EXPECT_GE(ink.y1, 20 + 0.6 * ascent);
  EXPECT_LE(ink.y1, 20 + ascent + 1);
  EXPECT_TRUE(mCanvas.GuardsIntact());
}

TEST_F(ATSUDrawTest, RotationTurnsTheLineAboutThePen)
{
  struct Case
  {
    double degrees;
    int dx, dy;  // where the line runs from the pen
  };
  const Case cases[] = {{0, 1, 0}, {90, 0, 1}, {180, -1, 0}, {270, 0, -1}, {-90, 0, -1}, {450, 0, 1}};
  Style s;
  s.Size(16);
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.degrees);
    mCanvas.FillBytes(kWhite);
    Layout l("Hello", s.Get());
    const double width = l.Width(), ascent = EngineMetrics(16).ascent;
    ASSERT_EQ(l.Control<Fixed>(kATSULineRotationTag, X2Fix(k.degrees)), noErr);
    EXPECT_NEAR(l.Width(), width, 1e-3);
    ASSERT_EQ(Draw(l, 60, 60), noErr);
    const DeviceInk ink = Ink();
    ASSERT_GT(ink.count, 50);
    // Along the line: about its width on the side it runs to.
    long along0, along1;
    Extent(ink, k.dx, k.dy, 60, 60, &along0, &along1);
    EXPECT_GE(along0, -1);
    EXPECT_GE(along1, width - 4);
    EXPECT_LE(along1, width + 2);
    // Across it: the glyphs stand on the left of the running direction (upright, y up).
    long up0, up1;
    Extent(ink, -k.dy, k.dx, 60, 60, &up0, &up1);
    EXPECT_GE(up0, -1);
    EXPECT_LE(up1, ascent + 1);
    EXPECT_GE(up1, 0.6 * ascent);
  }
  // Between quarters the line climbs diagonally.
  mCanvas.FillBytes(kWhite);
  Layout l("Hello", s.Get());
  ASSERT_EQ(l.Control<Fixed>(kATSULineRotationTag, 45 << 16), noErr);
  ASSERT_EQ(Draw(l, 30, 30), noErr);
  const DeviceInk ink = Ink();
  EXPECT_GE(ink.y0, 28);
  EXPECT_GT(ink.x1 - 30, 0.6 * l.Width());
  EXPECT_GT(ink.y1 - 30, 0.6 * l.Width());
}

TEST_F(ATSUDrawTest, EachRunDrawsInItsStylesColour)
{
  Style red, blue;
  red.Size(24).Color(0xFFFF, 0, 0);
  blue.Size(24).Color(0, 0, 0xFFFF);
  Layout l(Utf16("HHHH"), {red.Get(), blue.Get()}, {2, 2});
  const double split = 10 + l.Width(kATSUFromTextBeginning, 2);
  ASSERT_EQ(Draw(l, 10, 20), noErr);
  long reds = 0, blues = 0, full[2] = {0, 0};
  for (long y = 0; y < 120; ++y)
    for (long x = 0; x < 120; ++x)
    {
      const uint8_t* p = At(x, y);  // A, R, G, B over white
      if (memcmp(p, kWhite, 4) == 0) continue;
      EXPECT_EQ(p[0], 0xFF);
      const bool isRed = p[1] == 0xFF && p[2] == p[3];
      const bool isBlue = p[3] == 0xFF && p[1] == p[2];
      EXPECT_TRUE(isRed || isBlue) << x << "," << y;
      if (isRed)
      {
        ++reds;
        EXPECT_LT(x, split);
        full[0] += p[2] == 0;
      }
      if (isBlue)
      {
        ++blues;
        EXPECT_GE(x, split - 1);
        full[1] += p[1] == 0;
      }
    }
  EXPECT_GT(reds, 50);
  EXPECT_GT(blues, 50);
  EXPECT_GT(full[0], 10);  // fully covered pixels take the colour itself
  EXPECT_GT(full[1], 10);
}

TEST_F(ATSUDrawTest, TheCallersTransformAndClipApply)
{
  Style s;
  s.Size(20);
  const std::vector<uint8_t> plain = Redraw("Hello", s.Get(), 25, 30);
  // The pen is in the context's current user space.
  mCanvas.FillBytes(kWhite);
  CGContextSaveGState(mCanvas.Ctx());
  CGContextTranslateCTM(mCanvas.Ctx(), 20, 10);
  {
    Layout l("Hello", s.Get());
    ASSERT_EQ(Draw(l, 5, 20), noErr);
  }
  CGContextRestoreGState(mCanvas.Ctx());
  EXPECT_EQ(mCanvas.Snapshot(), plain);
  // The clip holds, and the range drawn is a range laid out at the pen.
  mCanvas.FillBytes(kWhite);
  CGContextSaveGState(mCanvas.Ctx());
  CGContextClipToRect(mCanvas.Ctx(), CGRectMake(0, 0, 40, 120));
  {
    Layout l("Hello", s.Get());
    ASSERT_EQ(Draw(l, 25, 30), noErr);
  }
  CGContextRestoreGState(mCanvas.Ctx());
  DeviceInk ink = Ink();
  EXPECT_GT(ink.count, 20);
  EXPECT_LE(ink.x1, 40);
  const std::vector<uint8_t> el = Redraw("el", s.Get(), 25, 30);
  mCanvas.FillBytes(kWhite);
  Layout hello("Hello", s.Get());
  ASSERT_EQ(Draw(hello, 25, 30, 1, 2), noErr);
  EXPECT_EQ(mCanvas.Snapshot(), el);
}

TEST_F(ATSUDrawTest, NothingIsDrawnWithoutAContextOrOutsideTheText)
{
  Style s;
  Layout l("Hello", s.Get());
  EXPECT_EQ(ATSUDrawText(l.Get(), kATSUFromTextBeginning, kATSUToTextEnd, 10 << 16, 10 << 16), paramErr);
  EXPECT_EQ(Draw(l, 10, 10, 3, 5), paramErr);
  EXPECT_EQ(Draw(l, 10, 10, 6, 0), paramErr);
  EXPECT_EQ(Draw(l, 10, 10, 5, 0), noErr);
  EXPECT_EQ(Ink().count, 0);
}

TEST_F(ATSUDrawTest, DeviceMetricsPutThePenOnWholePixels)
{
  Style s;
  s.Size(15);
  const std::vector<uint8_t> atWhole = Redraw("Mix 50%", s.Get(), 10, 30);
  EXPECT_NE(Redraw("Mix 50%", s.Get(), 10.3, 30.2), atWhole);
  mCanvas.FillBytes(kWhite);
  Layout l("Mix 50%", s.Get());
  ASSERT_EQ(l.Control<UInt32>(kATSULineLayoutOptionsTag, kATSLineUseDeviceMetrics), noErr);
  ASSERT_EQ(Draw(l, 10.3, 30.2), noErr);
  const std::vector<uint8_t> snapped = mCanvas.Snapshot();
  mCanvas.FillBytes(kWhite);
  ASSERT_EQ(Draw(l, 10, 30), noErr);
  EXPECT_EQ(mCanvas.Snapshot(), snapped);
}

TEST_F(ATSUDrawTest, BoldAndItalicUseTheFamilysFaces)
{
  const ATSUFontID regular = FontID("Liberation Sans");
  struct Case
  {
    const char* face;  // full name of the face the flags pick
    bool bold, italic;
  };
  const Case cases[] = {
    {"Liberation Sans Bold", true, false},
    {"Liberation Sans Italic", false, true},
    {"Liberation Sans Bold Italic", true, true},
  };
  Style plain;
  plain.Font(regular).Size(22);
  const std::vector<uint8_t> upright = Redraw("Ratio", plain.Get(), 5, 30);
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.face);
    Style flagged, named;
    flagged.Font(regular).Size(22);
    if (k.bold) flagged.Flag(kATSUQDBoldfaceTag);
    if (k.italic) flagged.Flag(kATSUQDItalicTag);
    named.Font(FontID(k.face, kFontFullName)).Size(22);
    const std::vector<uint8_t> drawn = Redraw("Ratio", flagged.Get(), 5, 30);
    EXPECT_EQ(drawn, Redraw("Ratio", named.Get(), 5, 30));
    EXPECT_NE(drawn, upright);
    Layout a("Ratio", flagged.Get()), b("Ratio", named.Get());
    EXPECT_EQ(a.Width(), b.Width());
  }
}

TEST_F(ATSUDrawTest, BoldAndItalicAreMadeUpWhereTheFamilyHasNoSuchFace)
{
  // A family of one regular face.
  KVText::Face face;
  const char* family = "DejaVu Math TeX Gyre";
  ASSERT_TRUE(KVText::ResolveFace(family, &face))
    << family << " is not installed: scripts/setup.sh installs it (Debian's fonts-dejavu-extra)";
  ASSERT_FALSE(KVText::ResolveVariant(face, true, false, nullptr) || KVText::ResolveVariant(face, false, true, nullptr))
    << family << " has a bold or italic face here: the test needs a family of one face";
  const ATSUFontID id = FontID(family);
  Style plain, bold, italic;
  plain.Font(id).Size(40);
  bold.Font(id).Size(40).Flag(kATSUQDBoldfaceTag);
  italic.Font(id).Size(40).Flag(kATSUQDItalicTag);
  Redraw("lH", plain.Get(), 10, 30);
  const DeviceInk upright = Ink();
  Redraw("lH", bold.Get(), 10, 30);
  const DeviceInk heavy = Ink();
  Redraw("lH", italic.Get(), 10, 30);
  const DeviceInk slanted = Ink();
  // Emboldened: more ink, one or two pixels further right, the advance unchanged.
  EXPECT_GT(heavy.count, upright.count * 11 / 10);
  EXPECT_GE(heavy.x1, upright.x1 + 1);
  EXPECT_LE(heavy.x1, upright.x1 + 3);
  Layout a("lH", plain.Get()), b("lH", bold.Get()), c("lH", italic.Get());
  EXPECT_EQ(a.Width(), b.Width());
  EXPECT_EQ(a.Width(), c.Width());
  // Slanted about the baseline: the tops lean right, the feet stay.
  EXPECT_GE(slanted.x1, upright.x1 + 4);
  EXPECT_NEAR(slanted.x0, upright.x0, 2);
  EXPECT_EQ(slanted.y0, upright.y0);
}

TEST_F(ATSUDrawTest, UnderlineRunsOneUnitBelowTheBaseline)
{
  Style plain, underlined;
  plain.Size(20);
  underlined.Size(20).Flag(kATSUQDUnderlineTag);
  Layout measure("HH", plain.Get());
  const double width = measure.Width();
  for (Fixed rotation : {0, 90 << 16})
  {
    SCOPED_TRACE(rotation);
    for (int pass = 0; pass < 2; ++pass)
    {
      mCanvas.FillBytes(kWhite);
      Layout l("HH", pass ? underlined.Get() : plain.Get());
      ASSERT_EQ(l.Control(kATSULineRotationTag, rotation), noErr);
      ASSERT_EQ(Draw(l, 40, 20), noErr);
      // The pixels of the rectangle one unit below the baseline, one unit high.
      long black = 0, along = (long)std::floor(width);
      for (long i = 0; i < along; ++i)
      {
        const uint8_t* p = rotation ? At(41, 20 + i) : At(40 + i, 18);
        black += p[1] == 0 && p[2] == 0 && p[3] == 0;
      }
      EXPECT_EQ(black, pass ? along : 0);
      const uint8_t* next = rotation ? At(40, 20 + along / 2) : At(40 + along / 2, 19);
      EXPECT_EQ(memcmp(next, kWhite, 4), 0);  // the gap between baseline and line
    }
  }
}
