#include <cmath>

#include "AppKitTestViews.h"

namespace
{
// A bitmap context, current while the test draws, and the record of the last line drawn.
class StringDrawingTest : public WindowTest
{
protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    mPort = NewBitmap(300, 60);
    mContext = NSGraphicsContext::graphicsContextWithGraphicsPort(mPort, NO);
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(mContext);
  }
  void TearDown() override
  {
    NSGraphicsContext::restoreGraphicsState();
    WindowTest::TearDown();
    CGContextRelease(mPort);
  }
  const AppKitTestKit::DrawnText& Draw(const char* text, NSRect rect, NSStringDrawingOptions options,
                                       NSDictionary* attributes)
  {
    NSString::stringWithUTF8String(text)->drawWithRect(rect, options, attributes);
    return AppKitTestKit::DrawnTexts().back();
  }
  NSMutableDictionary* Attributes(id font, id color, id style)
  {
    NSMutableDictionary* d = NSMutableDictionary::dictionary();
    d->setObject(font, NSFontAttributeName);
    d->setObject(color, NSForegroundColorAttributeName);
    d->setObject(style, NSParagraphStyleAttributeName);
    return d;
  }
  NSParagraphStyle* Aligned(NSTextAlignment alignment)
  {
    NSMutableParagraphStyle* s = (new NSMutableParagraphStyle)->init();
    s->setAlignment(alignment);
    return static_cast<NSParagraphStyle*>(s->autorelease());
  }

  CGContextRef mPort = nullptr;
  NSGraphicsContext* mContext = nil;
};
}  // namespace

TEST_F(StringDrawingTest, FontsResolveByNameOrFallBackToTheDefaultFace)
{
  NSFont* dejavu = NSFont::fontWithName(NSSTR("DejaVu Sans"), 14);
  ASSERT_NE(dejavu, nil);
  EXPECT_EQ(dejavu->fontName()->str(), "DejaVu Sans");
  EXPECT_EQ(dejavu->familyName()->str(), "DejaVu Sans");
  EXPECT_EQ(dejavu->pointSize(), 14);
  EXPECT_NE(dejavu->face().file.find("DejaVuSans"), std::string::npos);
  EXPECT_TRUE(dejavu->isEqual(NSFont::fontWithName(NSSTR("dejavu sans"), 14)));
  EXPECT_FALSE(dejavu->isEqual(NSFont::fontWithName(NSSTR("DejaVu Sans"), 15)));
  for (CGFloat bad : {0.0, -3.0, (double)NAN, (double)INFINITY})
    EXPECT_EQ(NSFont::fontWithName(NSSTR("DejaVu Sans"), bad), nil) << bad;
  EXPECT_EQ(NSFont::fontWithName(NSSTR("No Such Family Kv"), 12), nil);
  EXPECT_EQ(NSFont::fontWithName(nil, 12), nil);
  NSFont* system = NSFont::systemFontOfSize(0);
  EXPECT_EQ(system->pointSize(), 12);
  EXPECT_EQ(system->familyName()->str(), KVText::DefaultFace().family);

  const auto& named = Draw("Gain", NSMakeRect(10, 10, 200, 20), 0, Attributes(dejavu, nil, nil));
  EXPECT_TRUE(named.drawn);
  EXPECT_EQ(named.text, "Gain");
  EXPECT_EQ(named.fontName, "DejaVu Sans");
  EXPECT_EQ(named.fontFamily, "DejaVu Sans");
  EXPECT_EQ(named.fontFile, dejavu->face().file);
  EXPECT_EQ(named.pointSize, 14);
  EXPECT_EQ(named.pixelSize, 14);
  EXPECT_EQ(named.layout.glyphs.size(), 4u);

  // Values of the wrong class count as absent.
  for (NSDictionary* attributes :
       {(NSDictionary*)nil, (NSDictionary*)Attributes(NSSTR("DejaVu Sans"), NSSTR("red"), NSColor::blackColor())})
  {
    const auto& fallback = Draw("Gain", NSMakeRect(10, 10, 200, 20), 0, attributes);
    EXPECT_EQ(fallback.fontFamily, KVText::DefaultFace().family);
    EXPECT_EQ(fallback.fontFile, KVText::DefaultFace().file);
    EXPECT_EQ(fallback.pointSize, 12);
    EXPECT_EQ(fallback.alignment, NSNaturalTextAlignment);
    EXPECT_EQ(std::vector<CGFloat>(fallback.rgba, fallback.rgba + 4), (std::vector<CGFloat>{0, 0, 0, 1}));
  }

  // Colours are clamped.
  NSColor* color = NSColor::colorWithCalibratedRed(2, -1, 0.5, NAN);
  const auto& colored = Draw("x", NSMakeRect(0, 0, 50, 20), 0, Attributes(nil, color, nil));
  EXPECT_EQ(std::vector<CGFloat>(colored.rgba, colored.rgba + 4), (std::vector<CGFloat>{1, 0, 0.5, 0}));
  EXPECT_TRUE(color->isEqual(NSColor::colorWithDeviceRed(1, 0, 0.5, 0)));
}

TEST_F(StringDrawingTest, ParagraphAlignmentPlacesTheLineInTheRectangle)
{
  NSFont* font = NSFont::fontWithName(NSSTR("DejaVu Sans"), 12);
  const NSRect rect = NSMakeRect(10, 10, 200, 20);
  struct Case
  {
    NSTextAlignment alignment;
    double share;  // of the free width left of the line
  } cases[] = {
    {NSLeftTextAlignment, 0}, {NSRightTextAlignment, 1}, {NSCenterTextAlignment, 0.5},
    {NSJustifiedTextAlignment, 0}, {NSNaturalTextAlignment, 0},
  };
  for (const Case& c : cases)
  {
    const auto& t = Draw("Threshold", rect, 0, Attributes(font, nil, Aligned(c.alignment)));
    EXPECT_EQ(t.alignment, c.alignment);
    ASSERT_GT(t.layout.width, 0);
    EXPECT_NEAR(t.layout.originX, NSMinX(rect) + c.share * (NSWidth(rect) - t.layout.width), 1e-6) << c.alignment;
  }
  // The default paragraph style is natural: left.
  EXPECT_EQ(NSParagraphStyle::defaultParagraphStyle()->alignment(), NSNaturalTextAlignment);
  const auto& t = Draw("Threshold", rect, 0, Attributes(font, nil, NSParagraphStyle::defaultParagraphStyle()));
  EXPECT_NEAR(t.layout.originX, 10, 1e-6);
  // Unflipped: the line box hangs from the rectangle's top edge.
  EXPECT_NEAR(NSMaxY(t.layout.lineBox), NSMaxY(rect), 1e-6);
  EXPECT_FALSE(t.flipped);
}

TEST_F(StringDrawingTest, DeviceMetricsAndAntialiasFollowTheOptionsAndTheContext)
{
  NSFont* font = NSFont::fontWithName(NSSTR("DejaVu Sans"), 13);
  const NSStringDrawingOptions options = NSStringDrawingUsesDeviceMetrics | NSStringDrawingUsesLineFragmentOrigin;
  const auto& snapped = Draw("Attack 1.5 ms", NSMakeRect(10.3, 10, 250, 20), options, Attributes(font, nil, nil));
  EXPECT_EQ(snapped.options, options);
  EXPECT_TRUE(snapped.antialias);
  ASSERT_FALSE(snapped.layout.glyphs.empty());
  for (const KVText::Glyph& g : snapped.layout.glyphs) EXPECT_EQ(g.x, std::floor(g.x));

  mContext->setShouldAntialias(NO);
  const auto& aliased = Draw("Attack", NSMakeRect(10, 10, 250, 20), 0, Attributes(font, nil, nil));
  EXPECT_FALSE(aliased.antialias);
  EXPECT_TRUE(aliased.drawn);
}

TEST_F(StringDrawingTest, WithoutACurrentContextNothingIsDrawn)
{
  NSGraphicsContext::setCurrentContext(nil);
  const auto& t = Draw("Ratio", NSMakeRect(0, 0, 100, 20), 0, nil);
  EXPECT_FALSE(t.drawn);
  EXPECT_EQ(t.text, "Ratio");
  EXPECT_TRUE(t.layout.glyphs.empty());
}

TEST_F(WindowTest, TextInkLandsUprightInsideTheLineBoxOfAFlippedView)
{
  NSWindow* w = MakeWindow(120, 40);
  LoggingView* v = Add(w->contentView(), "v", NSMakeRect(10, 5, 100, 30), true);
  v->mDraw = [](NSRect) {
    NSMutableDictionary* attributes = NSMutableDictionary::dictionary();
    attributes->setObject(NSFont::fontWithName(NSSTR("DejaVu Sans"), 16), NSFontAttributeName);
    attributes->setObject(NSColor::colorWithCalibratedRed(1, 1, 1, 1), NSForegroundColorAttributeName);
    NSSTR("T")->drawWithRect(NSMakeRect(4, 2, 90, 20), 0, attributes);
  };
  w->display();
  ASSERT_EQ(AppKitTestKit::DrawnTexts().size(), 1u);
  const auto& t = AppKitTestKit::DrawnTexts().back();
  EXPECT_TRUE(t.drawn);
  EXPECT_TRUE(t.flipped);
  EXPECT_NEAR(NSMinY(t.layout.lineBox), 2, 1e-6);  // flipped: the box hangs from the origin

  // Every inked pixel lies in the line box, in base coordinates.
  const NSRect box = v->convertRectToView(t.layout.lineBox, nil);
  int width = 0, height = 0, rowBytes = 0;
  const uint8_t* px = AppKitTestKit::WindowPixels(w, &width, &height, &rowBytes);
  int inked = 0, topY = -1, bottomY = height;
  std::vector<int> perRow((size_t)height, 0);
  for (int y = 0; y < height; ++y)
  {
    for (int x = 0; x < width; ++x)
    {
      const uint8_t* p = px + (size_t)(height - 1 - y) * (size_t)rowBytes + (size_t)x * 4;
      if (p[1] < 128) continue;
      ++inked;
      ++perRow[(size_t)y];
      topY = std::max(topY, y);
      bottomY = std::min(bottomY, y);
      EXPECT_TRUE(x + 0.5 >= NSMinX(box) && x + 0.5 <= NSMaxX(box) && y + 0.5 >= NSMinY(box) &&
                  y + 0.5 <= NSMaxY(box))
        << x << "," << y;
    }
  }
  ASSERT_GT(inked, 10);
  // The line's top is near the view's top (base y 35 - 2); a "T" is wide at its top, narrow below.
  EXPECT_GT(topY, 20);
  EXPECT_LE(topY, 33);
  EXPECT_GT(perRow[(size_t)topY], 2 * perRow[(size_t)bottomY]);
}
