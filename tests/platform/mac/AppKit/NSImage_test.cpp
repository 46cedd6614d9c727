#include <sys/stat.h>
#include <unistd.h>

#include <cmath>

#include <CoreGraphics/testkit.h>

#include "AppKitTestImages.h"
#include "AppKitTestViews.h"

namespace
{
using ImageTest = WindowTest;

// x * y / 255 rounded, the arithmetic of fading and compositing.
unsigned Mul(unsigned x, unsigned y)
{
  return (unsigned)std::lround(x * y / 255.0);
}

// A 4 x 2 premultiplied source, top row first: every pixel different, alpha from opaque to none.
const Pixel kSource[2][4] = {
  {{255, 200, 100, 50}, {128, 100, 20, 0}, {64, 64, 0, 32}, {0, 0, 0, 0}},
  {{255, 10, 20, 30}, {200, 0, 200, 100}, {32, 16, 8, 4}, {255, 255, 255, 255}}};

NSImage* NewSourceImage()
{
  NSBitmapImageRep* rep = NewRep(4, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) SetRepPixel(rep, x, y, kSource[y][x]);
  NSImage* image = (new NSImage)->initWithSize(NSMakeSize(4, 2));
  image->addRepresentation(rep);
  rep->release();
  return image;
}

// A unique name in this process and test run.
std::string UniqueName(const char* stem)
{
  static int sCount = 0;
  return std::string(stem) + "-" + std::to_string(getpid()) + "-" + std::to_string(++sCount);
}

struct DrawCase
{
  const char* what;
  NSRect rect;
  NSRect from;  // image coordinates (y up)
  NSCompositingOperation op;
  CGFloat fraction;
  bool background;  // an opaque blue destination, else a transparent one
  bool drawAt = false;
};

// The pixel a case leaves at (x, y) (y from the top) of a w x h destination, worked out from
// its parts: the device pixel's centre mapped into the source box, nearest pixel, faded, then
// composited onto the background.
Pixel Expected(const DrawCase& c, int x, int y, int h)
{
  const Pixel bg = c.background ? Pixel{255, 0, 0, 255} : Pixel{0, 0, 0, 0};
  const NSRect from = NSEqualRects(c.from, NSZeroRect) ? NSMakeRect(0, 0, 4, 2) : c.from;
  NSRect r = c.rect;
  if (c.drawAt) r.size = from.size;
  const double cx = x + 0.5, cy = h - y - 0.5;  // the centre in the destination's y-up space
  if (!(c.fraction > 0) || !(cx > NSMinX(r) && cx < NSMaxX(r) && cy > NSMinY(r) && cy < NSMaxY(r))) return bg;
  if (c.op == NSCompositeClear) return Pixel{0, 0, 0, 0};
  const double u = NSMinX(from) + (cx - NSMinX(r)) / NSWidth(r) * NSWidth(from);
  const double v = NSMinY(from) + (cy - NSMinY(r)) / NSHeight(r) * NSHeight(from);  // y up in the image
  if (!(u >= 0 && u < 4 && v >= 0 && v < 2)) return bg;  // past the image: the rectangle shrank
  const Pixel s = kSource[1 - (int)std::floor(v)][(int)std::floor(u)];
  const unsigned k = c.fraction >= 1 ? 255 : (unsigned)std::lround(c.fraction * 255);
  Pixel f;
  for (int i = 0; i < 4; ++i) f[i] = (unsigned char)Mul(s[i], k);
  if (c.op == NSCompositeCopy) return f;
  Pixel out;
  for (int i = 0; i < 4; ++i) out[i] = (unsigned char)(f[i] + Mul(bg[i], 255 - f[0]));
  return out;
}
}  // namespace

TEST_F(ImageTest, DrawInRectScalesPartsFadesAndComposites)
{
  const NSRect whole = NSZeroRect;
  const DrawCase cases[] = {
    {"whole, 1:1", NSMakeRect(1, 1, 4, 2), whole, NSCompositeSourceOver, 1, false},
    {"whole, twice the size", NSMakeRect(0, 0, 8, 4), whole, NSCompositeSourceOver, 1, false},
    {"whole, over blue", NSMakeRect(2, 1, 4, 2), whole, NSCompositeSourceOver, 1, true},
    {"whole, copied onto blue", NSMakeRect(2, 1, 4, 2), whole, NSCompositeCopy, 1, true},
    {"half, over blue", NSMakeRect(0, 0, 8, 4), whole, NSCompositeSourceOver, 0.5, true},
    {"half, copied onto blue", NSMakeRect(0, 0, 8, 4), whole, NSCompositeCopy, 0.5, true},
    {"bottom-right quarter", NSMakeRect(3, 2, 2, 1), NSMakeRect(2, 0, 2, 1), NSCompositeSourceOver, 1, true},
    {"top row scaled", NSMakeRect(0, 0, 8, 2), NSMakeRect(0, 1, 4, 1), NSCompositeCopy, 1, true},
    {"part, faded", NSMakeRect(1, 1, 4, 2), NSMakeRect(1, 0, 2, 1), NSCompositeSourceOver, 0.3, true},
    {"fromRect past the image", NSMakeRect(0, 0, 8, 4), NSMakeRect(2, 0, 4, 2), NSCompositeCopy, 1, true},
    {"cleared", NSMakeRect(1, 1, 4, 2), whole, NSCompositeClear, 1, true},
    {"fraction 0", NSMakeRect(0, 0, 8, 4), whole, NSCompositeCopy, 0, true},
    {"fraction below 0", NSMakeRect(0, 0, 8, 4), whole, NSCompositeSourceOver, -1, true},
    {"fraction above 1", NSMakeRect(0, 0, 4, 2), whole, NSCompositeSourceOver, 3, true},
    {"at a point", NSMakeRect(3, 1, 0, 0), whole, NSCompositeSourceOver, 1, true, true},
    {"part at a point", NSMakeRect(5, 2, 0, 0), NSMakeRect(0, 0, 3, 1), NSCompositeSourceOver, 1, true, true},
  };
  NSImage* image = NewSourceImage();
  NSBitmapImageRep* dst = NewRep(8, 4);
  for (const DrawCase& c : cases)
  {
    SCOPED_TRACE(c.what);
    NSAutoreleasePool* pool = new NSAutoreleasePool;
    NSGraphicsContext* context = NSGraphicsContext::graphicsContextWithBitmapImageRep(dst);
    CGContextRef port = static_cast<CGContextRef>(context->graphicsPort());
    CGContextSetRGBFillColor(port, 0, 0, 1, c.background ? 1 : 0);
    CGContextFillRect(port, CGRectMake(0, 0, 8, 4));
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(context);
    if (c.drawAt)
      image->drawAtPoint(c.rect.origin, c.from, c.op, c.fraction);
    else
      image->drawInRect(c.rect, c.from, c.op, c.fraction);
    NSGraphicsContext::restoreGraphicsState();
    // The fraction above 1 draws as 1.
    DrawCase expect = c;
    if (expect.fraction > 1) expect.fraction = 1;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x)
        EXPECT_EQ(Text(RepPixel(dst, x, y)), Text(Expected(expect, x, y, 4))) << "at " << x << "," << y;
    pool->drain();
  }
  dst->release();
  image->release();
}

TEST_F(ImageTest, DrawingNeedsAContextAndABitmapAndShowsTheRepAsItIsNow)
{
  NSBitmapImageRep* rep = NewRep(2, 2);
  NSImage* image = (new NSImage)->initWithSize(NSMakeSize(2, 2));
  EXPECT_FALSE(image->isValid());
  NSBitmapImageRep* dst = NewRep(2, 2);
  NSGraphicsContext* context = NSGraphicsContext::graphicsContextWithBitmapImageRep(dst);
  CGContextRef port = static_cast<CGContextRef>(context->graphicsPort());

  // No current context: nothing, and nothing to draw without a representation.
  image->drawInRect(NSMakeRect(0, 0, 2, 2), NSZeroRect, NSCompositeCopy, 1);
  NSGraphicsContext::setCurrentContext(context);
  CGContextSetRGBFillColor(port, 1, 0, 0, 1);
  CGContextFillRect(port, CGRectMake(0, 0, 2, 2));
  image->drawInRect(NSMakeRect(0, 0, 2, 2), NSZeroRect, NSCompositeCopy, 1);
  EXPECT_EQ(RepPixel(dst, 0, 0), (Pixel{255, 255, 0, 0}));

  image->addRepresentation(rep);
  EXPECT_TRUE(image->isValid());
  EXPECT_EQ(rep->retainCount(), 2u);
  image->drawInRect(NSMakeRect(0, 0, 2, 2), NSZeroRect, NSCompositeCopy, 1);
  EXPECT_EQ(RepPixel(dst, 0, 0), (Pixel{0, 0, 0, 0}));  // the rep is still empty
  // Painted through its own context, the rep draws as it is now.
  NSGraphicsContext* repContext = NSGraphicsContext::graphicsContextWithBitmapImageRep(rep);
  CGContextRef repPort = static_cast<CGContextRef>(repContext->graphicsPort());
  CGContextSetRGBFillColor(repPort, 0, 1, 0, 1);
  CGContextFillRect(repPort, CGRectMake(0, 1, 1, 1));  // its top-left pixel
  image->drawInRect(NSMakeRect(0, 0, 2, 2), NSZeroRect, NSCompositeSourceOver, 1);
  EXPECT_EQ(RepPixel(dst, 0, 0), (Pixel{255, 0, 255, 0}));
  EXPECT_EQ(RepPixel(dst, 1, 1), (Pixel{0, 0, 0, 0}));
  NSGraphicsContext::setCurrentContext(nil);

  const NSUInteger refs = rep->retainCount();
  image->removeRepresentation(rep);
  EXPECT_FALSE(image->isValid());
  EXPECT_EQ(rep->retainCount(), refs - 1);
  image->release();
  rep->release();
  dst->release();
}

TEST_F(ImageTest, NamesFindRegisteredImages)
{
  const std::string name = UniqueName("kv-registered");
  NSString* nameText = NSString::stringWithUTF8String(name.c_str());
  EXPECT_EQ(NSImage::imageNamed(nameText), nil);
  NSImage* image = NewSourceImage();
  NSImage* other = NewSourceImage();
  EXPECT_TRUE(image->setName(nameText));
  EXPECT_TRUE(image->name()->isEqualToString(nameText));
  EXPECT_EQ(NSImage::imageNamed(nameText), image);
  EXPECT_EQ(NSImage::imageNamed(NSString::stringWithUTF8String(name.c_str())), image);
  EXPECT_FALSE(other->setName(nameText));  // taken
  EXPECT_EQ(other->name(), nil);
  EXPECT_TRUE(image->setName(nameText));   // its own name again
  EXPECT_EQ(image->retainCount(), 1u);     // the registry does not retain

  // Renamed, the old name is free.
  const std::string second = UniqueName("kv-registered");
  EXPECT_TRUE(image->setName(NSString::stringWithUTF8String(second.c_str())));
  EXPECT_EQ(NSImage::imageNamed(nameText), nil);
  EXPECT_TRUE(other->setName(nameText));
  EXPECT_EQ(NSImage::imageNamed(nameText), other);
  other->setName(nil);
  EXPECT_EQ(NSImage::imageNamed(nameText), nil);

  // A freed image leaves the registry.
  image->release();
  EXPECT_EQ(NSImage::imageNamed(NSString::stringWithUTF8String(second.c_str())), nil);
  other->release();
  EXPECT_EQ(NSImage::imageNamed(nil), nil);
  EXPECT_EQ(NSImage::imageNamed(NSSTR("")), nil);
}

TEST_F(ImageTest, NamesFindPngFilesOfTheMainBundleOnceAndKeepThem)
{
  // The test program's folder is its main bundle: a PNG goes into its Resources for this test.
  const std::string bundle = NSBundle::mainBundle()->bundlePath()->str();
  const std::string contents = bundle + "/Contents";
  const bool madeContents = mkdir(contents.c_str(), 0755) == 0;
  const bool madeResources = mkdir((contents + "/Resources").c_str(), 0755) == 0;
  const std::string name = UniqueName("kv-bundled");
  const std::string file = contents + "/Resources/" + name + ".png";
  ASSERT_TRUE(WritePng(file, 3, 2, PNG_COLOR_TYPE_RGB_ALPHA, std::vector<unsigned char>(24, 255)));
  FoundationTestKit::DrainImplicitPool();
  const long live = FoundationTestKit::LiveObjectCount();

  NSString* nameText = NSString::stringWithUTF8String(name.c_str());
  NSImage* image = NSImage::imageNamed(nameText);
  ASSERT_NE(image, nil);
  EXPECT_EQ(image->size().width, 3);
  EXPECT_EQ(image->size().height, 2);
  EXPECT_TRUE(image->name()->isEqualToString(nameText));
  NSImage* withExtension = NSImage::imageNamed(NSString::stringWithUTF8String((name + ".png").c_str()));
  ASSERT_NE(withExtension, nil);
  EXPECT_EQ(withExtension->size().width, 3);
  EXPECT_EQ(NSImage::imageNamed(NSString::stringWithUTF8String((name + "-missing").c_str())), nil);
  EXPECT_EQ(NSImage::imageNamed(NSString::stringWithUTF8String((name + ".jpg").c_str())), nil);

  // Kept under the name: found again once the file is gone, and never released.
  unlink(file.c_str());
  EXPECT_EQ(NSImage::imageNamed(nameText), image);
  image->release();
  EXPECT_EQ(NSImage::imageNamed(nameText), image);
  EXPECT_TRUE(image->isValid());
  FoundationTestKit::DrainImplicitPool();
  EXPECT_EQ(FoundationTestKit::LiveObjectCount(), live);  // kept images are not counted as live

  if (madeResources) rmdir((contents + "/Resources").c_str());
  if (madeContents) rmdir(contents.c_str());
}
