#include <cmath>

#include <CoreGraphics/testkit.h>

#include "AppKitTestImages.h"
#include "AppKitTestViews.h"

namespace
{
using BitmapImageRepTest = WindowTest;

struct LayoutCase
{
  const char* what;
  NSInteger w, h, bps, spp;
  BOOL alpha, planar;
  NSString* space;
  NSBitmapFormat format;
  NSInteger rowBytes, bpp;
  NSInteger expectRowBytes;  // 0: refused
};

// Straight (not premultiplied) R, G, B, A samples of a 3 x 2 picture, top row first.
const std::vector<unsigned char> kStraight = {
  255, 0,   0,   255, 10, 200, 30,  128, 90, 91, 92, 0,
  40,  50,  60,  1,   0,  0,   255, 77,  255, 255, 255, 254};

// round(c * a / 255): what premultiplying a straight sample gives.
unsigned char Premul(unsigned c, unsigned a)
{
  return (unsigned char)std::lround(c * a / 255.0);
}
}  // namespace

TEST_F(BitmapImageRepTest, LayoutsAreAcceptedOrRefused)
{
  NSString* cmyk = NSSTR("NSDeviceCMYKColorSpace");
  const NSBitmapFormat first = NSAlphaFirstBitmapFormat;
  const LayoutCase cases[] = {
    {"tight", 4, 3, 8, 4, YES, NO, NSDeviceRGBColorSpace, first, 0, 0, 16},
    {"padded rows, 32 bits", 4, 3, 8, 4, YES, NO, NSCalibratedRGBColorSpace, first, 24, 32, 24},
    {"no alpha, 32 bits", 5, 2, 8, 3, NO, NO, NSDeviceRGBColorSpace, first, 0, 32, 20},
    {"widest", 16384, 1, 8, 4, YES, NO, NSDeviceRGBColorSpace, first, 0, 0, 65536},
    {"tallest", 1, 16384, 8, 4, YES, NO, NSDeviceRGBColorSpace, first, 0, 0, 4},
    {"too wide", 16385, 1, 8, 4, YES, NO, NSDeviceRGBColorSpace, first, 0, 0, 0},
    {"too tall", 1, 16385, 8, 4, YES, NO, NSDeviceRGBColorSpace, first, 0, 0, 0},
    {"absurd", 1L << 40, 1L << 40, 8, 4, YES, NO, NSDeviceRGBColorSpace, first, 0, 0, 0},
    {"no width", 0, 3, 8, 4, YES, NO, NSDeviceRGBColorSpace, first, 0, 0, 0},
    {"negative height", 3, -1, 8, 4, YES, NO, NSDeviceRGBColorSpace, first, 0, 0, 0},
    {"16-bit samples", 4, 3, 16, 4, YES, NO, NSDeviceRGBColorSpace, first, 0, 0, 0},
    {"three samples with alpha", 4, 3, 8, 3, YES, NO, NSDeviceRGBColorSpace, first, 0, 32, 0},
    {"four samples without alpha", 4, 3, 8, 4, NO, NO, NSDeviceRGBColorSpace, first, 0, 0, 0},
    {"three samples, 24 bits", 4, 3, 8, 3, NO, NO, NSDeviceRGBColorSpace, first, 0, 0, 0},
    {"24 bits a pixel", 4, 3, 8, 4, YES, NO, NSDeviceRGBColorSpace, first, 0, 24, 0},
    {"planar", 4, 3, 8, 4, YES, YES, NSDeviceRGBColorSpace, first, 0, 0, 0},
    {"alpha last", 4, 3, 8, 4, YES, NO, NSDeviceRGBColorSpace, 0, 0, 0, 0},
    {"not premultiplied", 4, 3, 8, 4, YES, NO, NSDeviceRGBColorSpace, first | NSAlphaNonpremultipliedBitmapFormat, 0,
     0, 0},
    {"float samples", 4, 3, 8, 4, YES, NO, NSDeviceRGBColorSpace, first | NSFloatingPointSamplesBitmapFormat, 0, 0, 0},
    {"rows too short", 4, 3, 8, 4, YES, NO, NSDeviceRGBColorSpace, first, 12, 0, 0},
    {"rows absurdly long", 4, 3, 8, 4, YES, NO, NSDeviceRGBColorSpace, first, 1L << 40, 0, 0},
    {"CMYK", 4, 3, 8, 4, YES, NO, cmyk, first, 0, 0, 0},
    {"no colour space", 4, 3, 8, 4, YES, NO, nil, first, 0, 0, 0},
  };
  const long live = FoundationTestKit::LiveObjectCount();
  for (const LayoutCase& c : cases)
  {
    SCOPED_TRACE(c.what);
    NSBitmapImageRep* rep = (new NSBitmapImageRep)
                              ->initWithBitmapDataPlanes(nullptr, c.w, c.h, c.bps, c.spp, c.alpha, c.planar, c.space,
                                                         c.format, c.rowBytes, c.bpp);
    if (!c.expectRowBytes)
    {
      EXPECT_EQ(rep, nil);
      EXPECT_EQ(FoundationTestKit::LiveObjectCount(), live);  // released itself
      continue;
    }
    ASSERT_NE(rep, nil);
    EXPECT_EQ(rep->pixelsWide(), c.w);
    EXPECT_EQ(rep->pixelsHigh(), c.h);
    EXPECT_EQ(rep->bytesPerRow(), c.expectRowBytes);
    EXPECT_EQ(rep->size().width, (CGFloat)c.w);
    EXPECT_EQ(rep->size().height, (CGFloat)c.h);
    EXPECT_EQ(rep->hasAlpha(), c.alpha);
    EXPECT_EQ(rep->samplesPerPixel(), c.spp);
    EXPECT_EQ(rep->bitsPerPixel(), 32);
    EXPECT_EQ(rep->bitmapInfo(), c.alpha ? (CGBitmapInfo)kCGImageAlphaPremultipliedFirst
                                         : (CGBitmapInfo)kCGImageAlphaNoneSkipFirst);
    const size_t bytes = (size_t)(c.h * c.expectRowBytes);
    EXPECT_EQ(std::string((const char*)rep->bitmapData(), bytes), std::string(bytes, '\0'));
    rep->release();
  }

  // A plane handed in is not taken: the rep allocates its own.
  unsigned char mine[16];
  unsigned char* planes[1] = {mine};
  EXPECT_EQ((new NSBitmapImageRep)
              ->initWithBitmapDataPlanes(planes, 2, 2, 8, 4, YES, NO, NSDeviceRGBColorSpace, first, 0, 0),
            nil);
  unsigned char* nullPlanes[1] = {nullptr};
  NSBitmapImageRep* rep =
    (new NSBitmapImageRep)
      ->initWithBitmapDataPlanes(nullPlanes, 2, 2, 8, 4, YES, NO, NSDeviceRGBColorSpace, first, 0, 0);
  ASSERT_NE(rep, nil);
  rep->release();
  EXPECT_EQ(FoundationTestKit::LiveObjectCount(), live);
}

TEST_F(BitmapImageRepTest, ABitmapContextDrawsIntoTheRepAndSnapshotsKeepTheirPixels)
{
  NSBitmapImageRep* rep = NewRep(4, 3);
  ASSERT_NE(rep, nil);
  const int imagesBefore = CGTestKit::Live().images;
  {
    NSAutoreleasePool* pool = new NSAutoreleasePool;
    CGImageRef before = rep->CGImage();
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(CGImageGetAlphaInfo(before), kCGImageAlphaPremultipliedFirst);

    NSGraphicsContext* context = NSGraphicsContext::graphicsContextWithBitmapImageRep(rep);
    ASSERT_NE(context, nil);
    EXPECT_FALSE(context->isFlipped());
    EXPECT_EQ(rep->retainCount(), 2u);  // the context keeps it
    CGContextRef port = static_cast<CGContextRef>(context->graphicsPort());
    EXPECT_EQ(CGBitmapContextGetData(port), rep->bitmapData());
    EXPECT_EQ(CGBitmapContextGetAlphaInfo(port), kCGImageAlphaPremultipliedFirst);
    // Origin bottom-left: (1, 0, 2, 1) is the bottom row, columns 1 and 2.
    CGContextSetRGBFillColor(port, 0, 1, 0, 1);
    CGContextFillRect(port, CGRectMake(1, 0, 2, 1));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x)
      {
        const bool filled = y == 2 && (x == 1 || x == 2);
        EXPECT_EQ(RepPixel(rep, x, y), (filled ? Pixel{255, 0, 255, 0} : Pixel{0, 0, 0, 0})) << x << "," << y;
      }

    CGImageRef after = rep->CGImage();
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(CGImageGetWidth(after), 4u);
    EXPECT_EQ(CGImageGetHeight(after), 3u);
    const uint8_t* a = CGTestKit::ImageBytes(after);
    const uint8_t* b = CGTestKit::ImageBytes(before);
    const size_t row = CGImageGetBytesPerRow(after);
    EXPECT_EQ(a[2 * row + 4], 255);  // the fill, in the newer snapshot only
    EXPECT_EQ(a[2 * row + 4 + 2], 255);
    EXPECT_EQ(b[2 * row + 4], 0);
    EXPECT_EQ(CGTestKit::Live().images, imagesBefore + 2);
    pool->drain();
  }
  EXPECT_EQ(CGTestKit::Live().images, imagesBefore);  // the snapshots went with the pool
  EXPECT_EQ(rep->retainCount(), 1u);
  EXPECT_EQ(NSGraphicsContext::graphicsContextWithBitmapImageRep(nil), nil);
  rep->release();
}

TEST_F(BitmapImageRepTest, PngFilesLoadPremultiplied)
{
  ScratchDir dir;
  std::vector<unsigned char> rgb;
  for (size_t i = 0; i < kStraight.size(); i += 4)
    rgb.insert(rgb.end(), kStraight.begin() + i, kStraight.begin() + i + 3);
  const std::string rgbaPath = dir.File("rgba.png"), rgbPath = dir.File("rgb.png");
  ASSERT_TRUE(WritePng(rgbaPath, 3, 2, PNG_COLOR_TYPE_RGB_ALPHA, kStraight));
  ASSERT_TRUE(WritePng(rgbPath, 3, 2, PNG_COLOR_TYPE_RGB, rgb));

  for (const bool withAlpha : {true, false})
  {
    SCOPED_TRACE(withAlpha ? "RGBA" : "RGB");
    NSString* path = NSString::stringWithUTF8String((withAlpha ? rgbaPath : rgbPath).c_str());
    NSImage* image = (new NSImage)->initWithContentsOfFile(path);
    ASSERT_NE(image, nil);
    EXPECT_TRUE(image->isValid());
    EXPECT_EQ(image->size().width, 3);
    EXPECT_EQ(image->size().height, 2);
    ASSERT_EQ(image->representations().size(), 1u);
    NSBitmapImageRep* rep = dynamic_cast<NSBitmapImageRep*>(image->representations()[0]);
    ASSERT_NE(rep, nil);
    EXPECT_TRUE(rep->hasAlpha());
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x)
      {
        const unsigned char* s = &kStraight[(size_t)(y * 3 + x) * 4];
        const unsigned a = withAlpha ? s[3] : 255;
        EXPECT_EQ(RepPixel(rep, x, y), (Pixel{(unsigned char)a, Premul(s[0], a), Premul(s[1], a), Premul(s[2], a)}))
          << x << "," << y;
      }
    image->release();
  }
}

TEST_F(BitmapImageRepTest, MissingCorruptAndOversizedFilesGiveNil)
{
  ScratchDir dir;
  const std::string good = dir.File("good.png");
  ASSERT_TRUE(WritePng(good, 3, 2, PNG_COLOR_TYPE_RGB_ALPHA, kStraight));
  const std::string bytes = ReadFile(good);
  ASSERT_GT(bytes.size(), 60u);
  ASSERT_TRUE(WriteFile(dir.File("text.png"), "not a png"));
  ASSERT_TRUE(WriteFile(dir.File("truncated.png"), bytes.substr(0, bytes.size() - 30)));
  std::string flipped = bytes;
  flipped[bytes.size() - 20] ^= 0x55;  // in the image data: its checksum no longer matches
  ASSERT_TRUE(WriteFile(dir.File("damaged.png"), flipped));
  ASSERT_TRUE(WriteFile(dir.File("empty.png"), ""));
  // Valid files whose pixels would be too many (1-bit grey, so the files are small).
  ASSERT_TRUE(WritePng(dir.File("wide.png"), 16385, 1, PNG_COLOR_TYPE_GRAY, {}, 1));
  ASSERT_TRUE(WritePng(dir.File("tall.png"), 1, 16385, PNG_COLOR_TYPE_GRAY, {}, 1));
  ASSERT_TRUE(WritePng(dir.File("many.png"), 10000, 10000, PNG_COLOR_TYPE_GRAY, {}, 1));
  ASSERT_TRUE(WritePng(dir.File("widest.png"), 16384, 1, PNG_COLOR_TYPE_GRAY, {}, 1));

  const struct
  {
    const char* file;
    bool loads;
  } cases[] = {{"missing.png", false}, {"text.png", false},  {"truncated.png", false}, {"damaged.png", false},
               {"empty.png", false},   {"wide.png", false},  {"tall.png", false},      {"many.png", false},
               {"widest.png", true},   {"good.png", true}};
  const std::string folder = good.substr(0, good.rfind('/') + 1);
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.file);
    NSImage* image = (new NSImage)->initWithContentsOfFile(NSString::stringWithUTF8String((folder + c.file).c_str()));
    EXPECT_EQ(image != nil, c.loads);
    if (image) image->release();
  }
  EXPECT_EQ((new NSImage)->initWithContentsOfFile(nil), nil);
}
