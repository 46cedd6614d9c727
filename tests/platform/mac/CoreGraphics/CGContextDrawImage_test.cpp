// CGContextDrawImage: orientation in y-up and y-down spaces, offsets and clipping to the bitmap,
// scaling, rotation and mirroring, source-over for premultiplied images, the byte layouts of every
// pair of settings, the clip, and rectangles that must draw nothing.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "cg_canvas.h"

namespace
{
const uint32_t kInfos[4] = {kCGImageAlphaNoneSkipFirst, kCGImageAlphaPremultipliedFirst, kCGImageAlphaNoneSkipLast,
                            kCGImageAlphaPremultipliedLast};

struct Channels
{
  int a, r, g, b;
};

Channels ChannelsOf(uint32_t info)
{
  const bool first = info == kCGImageAlphaNoneSkipFirst || info == kCGImageAlphaPremultipliedFirst;
  return first ? Channels{0, 1, 2, 3} : Channels{3, 0, 1, 2};
}

// An image whose pixel (u, v) (v = row from the top) says where it is: R = 1 + u, G = 1 + v,
// B = 200, alpha byte 255.
CGImageRef CoordImage(size_t w, size_t h, uint32_t info = kCGImageAlphaNoneSkipFirst)
{
  CGCanvas src(w, h, info);
  const Channels ch = ChannelsOf(info);
  for (size_t v = 0; v < h; ++v)
    for (size_t u = 0; u < w; ++u)
    {
      uint8_t* p = src.Pixel(u, v);
      p[ch.r] = (uint8_t)(1 + u);
      p[ch.g] = (uint8_t)(1 + v);
      p[ch.b] = 200;
      p[ch.a] = 255;
    }
  return CGBitmapContextCreateImage(src.Ctx());
}

// The image pixel a canvas pixel shows, or false when it shows none (untouched zero bytes).
bool Shown(const CGCanvas& cv, size_t x, size_t row, int* u, int* v, uint32_t info = kCGImageAlphaNoneSkipFirst)
{
  const Channels ch = ChannelsOf(info);
  const uint8_t* p = cv.Pixel(x, row);
  if (p[ch.b] != 200) return false;
  *u = p[ch.r] - 1;
  *v = p[ch.g] - 1;
  return true;
}

// Every canvas pixel against `expected(x, row, &u, &v)` (false: the pixel shows nothing).
void ExpectPixels(const CGCanvas& cv, const std::function<bool(int, int, int*, int*)>& expected)
{
  int mismatches = 0;
  for (size_t row = 0; row < cv.Height(); ++row)
    for (size_t x = 0; x < cv.Width(); ++x)
    {
      int eu = -1, ev = -1, u = -1, v = -1;
      const bool want = expected((int)x, (int)row, &eu, &ev);
      const bool got = Shown(cv, x, row, &u, &v);
      if (want != got || (want && (u != eu || v != ev)))
        if (++mismatches <= 5)
          ADD_FAILURE() << "pixel (" << x << ", " << row << "): want " << (want ? "" : "nothing ") << eu << "," << ev
                        << " got " << (got ? "" : "nothing ") << u << "," << v;
    }
  EXPECT_EQ(mismatches, 0);
  EXPECT_TRUE(cv.GuardsIntact());
}
}  // namespace

TEST(CoreGraphicsDrawImage, OneToOneIsUprightInAYUpSpaceAndUpsideDownUnderAYDownCtm)
{
  CGImageRef img = CoordImage(4, 3);
  {
    CGCanvas cv(10, 8, kCGImageAlphaNoneSkipFirst);  // y up: the image's top row lands above
    CGContextDrawImage(cv.Ctx(), CGRectMake(2, 1, 4, 3), img);
    ExpectPixels(cv, [](int x, int row, int* u, int* v) {
      *u = x - 2;
      *v = row - 4;  // device rows 3..1 are memory rows 4..6
      return x >= 2 && x < 6 && row >= 4 && row < 7;
    });
  }
  {
    CGCanvas cv(10, 8, kCGImageAlphaNoneSkipFirst);
    cv.FlipToMemoryRows();
    CGContextDrawImage(cv.Ctx(), CGRectMake(2, 1, 4, 3), img);
    ExpectPixels(cv, [](int x, int row, int* u, int* v) {
      *u = x - 2;
      *v = 3 - row;  // the first row at user y = 4, the bottom of the rectangle on screen
      return x >= 2 && x < 6 && row >= 1 && row < 4;
    });
  }
  {
    CGCanvas cv(10, 8, kCGImageAlphaNoneSkipFirst);
    cv.FlipToMemoryRows();
    CGContextSaveGState(cv.Ctx());  // the usual re-flip about the rectangle shows it upright
    CGContextTranslateCTM(cv.Ctx(), 0, 4);
    CGContextScaleCTM(cv.Ctx(), 1, -1);
    CGContextDrawImage(cv.Ctx(), CGRectMake(2, 0, 4, 3), img);
    CGContextRestoreGState(cv.Ctx());
    ExpectPixels(cv, [](int x, int row, int* u, int* v) {
      *u = x - 2;
      *v = row - 1;
      return x >= 2 && x < 6 && row >= 1 && row < 4;
    });
  }
  CGImageRelease(img);
}

TEST(CoreGraphicsDrawImage, OffsetsScalesAndPartlyOutsideRectangles)
{
  // Identity CTM (y up), 10 x 8 canvas, a 4 x 3 image; the expected pixel by the pixel-centre rule.
  struct Case
  {
    const char* name;
    CGRect rect;
  };
  const Case cases[] = {
    {"inside", CGRectMake(3, 2, 4, 3)},
    {"left and top edges", CGRectMake(-2, 6, 4, 3)},
    {"right and bottom edges", CGRectMake(8, -1, 4, 3)},
    {"twice the size", CGRectMake(1, 1, 8, 6)},
    {"three times, partly out", CGRectMake(-3, -2, 12, 9)},
    {"fractional scale", CGRectMake(0.5, 0.25, 6, 4.5)},
    {"half size", CGRectMake(1, 1, 2, 1.5)},
  };
  CGImageRef img = CoordImage(4, 3);
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.name);
    CGCanvas cv(10, 8, kCGImageAlphaNoneSkipFirst);
    CGContextDrawImage(cv.Ctx(), k.rect, img);
    const CGRect r = k.rect;
    // A pixel shows the image where a fill of the rectangle would cover it: centres in
    // [x, x + w) x [y, y + h); the first image row counts down from the top.
    ExpectPixels(cv, [&](int x, int row, int* u, int* v) {
      const double cx = x + 0.5, cy = (8 - 1 - row) + 0.5;  // the pixel's centre in device space
      const double fu = (cx - r.origin.x) * 4 / r.size.width;
      const double fv = (r.origin.y + r.size.height - cy) * 3 / r.size.height;
      *u = (int)std::floor(fu);
      *v = (int)std::ceil(fv) - 1;
      return fu >= 0 && fu < 4 && fv > 0 && fv <= 3;
    });
  }
  CGImageRelease(img);
}

TEST(CoreGraphicsDrawImage, RotationAndMirroringSampleExactlyAndStayInTheBitmap)
{
  CGImageRef img = CoordImage(4, 3);
  {
    // A quarter turn is a permutation: user (x, y) -> device (8 - y, x).
    CGCanvas cv(10, 8, kCGImageAlphaNoneSkipFirst);
    CGContextTranslateCTM(cv.Ctx(), 8, 0);
    CGContextRotateCTM(cv.Ctx(), M_PI / 2);
    CGContextDrawImage(cv.Ctx(), CGRectMake(1, 2, 4, 3), img);
    ExpectPixels(cv, [](int x, int row, int* u, int* v) {
      const int dy = 8 - 1 - row;  // device y is user x; device x is 8 - user y
      *u = dy - 1;
      *v = x - 3;  // user y = 8 - (x + 0.5); the first row at the top edge, y = 5
      return dy >= 1 && dy < 5 && x >= 3 && x < 6;
    });
  }
  {
    // Mirrored in x: user x -> 10 - x.
    CGCanvas cv(10, 8, kCGImageAlphaNoneSkipFirst);
    CGContextTranslateCTM(cv.Ctx(), 10, 0);
    CGContextScaleCTM(cv.Ctx(), -1, 1);
    CGContextDrawImage(cv.Ctx(), CGRectMake(2, 1, 4, 3), img);
    ExpectPixels(cv, [](int x, int row, int* u, int* v) {
      *u = 7 - x;
      *v = row - 4;
      return x >= 4 && x < 8 && row >= 4 && row < 7;
    });
  }
  {
    // 30 degrees, partly outside: only image pixels are written, roughly the rectangle's area.
    CGCanvas cv(40, 40, kCGImageAlphaNoneSkipFirst);
    CGContextTranslateCTM(cv.Ctx(), 20, 0);
    CGContextRotateCTM(cv.Ctx(), M_PI / 6);
    CGContextDrawImage(cv.Ctx(), CGRectMake(0, 0, 16, 12), img);
    CGContextDrawImage(cv.Ctx(), CGRectMake(-100, -100, 400, 300), img);  // covers the whole canvas
    int shown = 0;
    for (size_t row = 0; row < 40; ++row)
      for (size_t x = 0; x < 40; ++x)
      {
        int u, v;
        if (!Shown(cv, x, row, &u, &v)) continue;
        ++shown;
        EXPECT_TRUE(u >= 0 && u < 4 && v >= 0 && v < 3);
      }
    EXPECT_EQ(shown, 40 * 40);
    EXPECT_TRUE(cv.GuardsIntact());
  }
  {
    CGCanvas cv(40, 40, kCGImageAlphaNoneSkipFirst);
    CGContextTranslateCTM(cv.Ctx(), 20, 0);
    CGContextRotateCTM(cv.Ctx(), M_PI / 6);
    CGContextDrawImage(cv.Ctx(), CGRectMake(0, 0, 16, 12), img);
    int shown = 0;
    for (size_t row = 0; row < 40; ++row)
      for (size_t x = 0; x < 40; ++x)
      {
        int u, v;
        shown += Shown(cv, x, row, &u, &v);
      }
    EXPECT_NEAR(shown, 16 * 12, 16 + 12);
    EXPECT_TRUE(cv.GuardsIntact());
  }
  CGImageRelease(img);
}

TEST(CoreGraphicsDrawImage, EveryPairOfLayoutsKeepsItsChannelsAndBothPathsAgree)
{
  for (uint32_t srcInfo : kInfos)
    for (uint32_t dstInfo : kInfos)
    {
      SCOPED_TRACE(testing::Message() << "image " << srcInfo << " into " << dstInfo);
      CGImageRef img = CoordImage(4, 3, srcInfo);
      CGCanvas fast(8, 6, dstInfo), sampled(8, 6, dstInfo);
      const uint8_t background[4] = {40, 80, 120, 160};
      fast.FillBytes(background);
      sampled.FillBytes(background);
      CGContextDrawImage(fast.Ctx(), CGRectMake(2, 1, 4, 3), img);
      // A quarter-pixel offset selects the same pixels by their centres, through the sampler.
      CGContextDrawImage(sampled.Ctx(), CGRectMake(2.25, 1.25, 4, 3), img);
      EXPECT_EQ(fast.Snapshot(), sampled.Snapshot());
      const Channels ch = ChannelsOf(dstInfo);
      for (int v = 0; v < 3; ++v)
        for (int u = 0; u < 4; ++u)
        {
          const uint8_t* p = fast.Pixel(2 + u, 2 + v);
          EXPECT_EQ(p[ch.r], 1 + u);
          EXPECT_EQ(p[ch.g], 1 + v);
          EXPECT_EQ(p[ch.b], 200);
          EXPECT_EQ(p[ch.a], 255);
        }
      EXPECT_EQ(memcmp(fast.Pixel(0, 0), background, 4), 0);
      EXPECT_TRUE(fast.GuardsIntact());
      CGImageRelease(img);
    }
}

TEST(CoreGraphicsDrawImage, PremultipliedImagesCompositeSourceOver)
{
  // Left column: half-covered red (premultiplied 128, 0, 0, alpha 128); right column: clear.
  CGCanvas src(2, 1, kCGImageAlphaPremultipliedFirst);
  const uint8_t halfRed[4] = {128, 128, 0, 0};
  memcpy(src.Pixel(0, 0), halfRed, 4);
  CGImageRef img = CGBitmapContextCreateImage(src.Ctx());
  struct Case
  {
    uint32_t info;
    uint8_t background[4];
    uint8_t left[4];  // expected, in the context's byte order
  };
  const Case cases[] = {
    // Over opaque blue: red 128, blue 255 * 127 / 255, alpha stays opaque.
    {kCGImageAlphaNoneSkipFirst, {255, 0, 0, 255}, {255, 128, 0, 127}},
    {kCGImageAlphaPremultipliedFirst, {255, 0, 0, 255}, {255, 128, 0, 127}},
    // Over transparent: the source itself.
    {kCGImageAlphaPremultipliedLast, {0, 0, 0, 0}, {128, 0, 0, 128}},
    // Over half-covered green (0, 100, 0, 100): 128 + 0, 100 * 127 / 255 = 50, alpha 128 + 50.
    {kCGImageAlphaPremultipliedLast, {0, 100, 0, 100}, {128, 50, 0, 178}},
  };
  for (const Case& k : cases)
    for (double scale : {1.0, 2.0})  // the row copy and the sampler
    {
      SCOPED_TRACE(testing::Message() << "info " << k.info << " scale " << scale);
      CGCanvas cv(4, 2, k.info);
      cv.FillBytes(k.background);
      CGContextDrawImage(cv.Ctx(), CGRectMake(0, 0, 2 * scale, scale), img);
      for (size_t row = 0; row < 2; ++row)
        for (size_t x = 0; x < 4; ++x)
        {
          const bool covered = x < (size_t)scale && row >= 2 - (size_t)scale;
          EXPECT_EQ(memcmp(cv.Pixel(x, row), covered ? k.left : k.background, 4), 0) << x << "," << row;
        }
    }
  CGImageRelease(img);
}

TEST(CoreGraphicsDrawImage, HonoursTheClipAndLeavesCtmAndClipAsTheyWere)
{
  CGImageRef img = CoordImage(4, 3);
  CGCanvas cv(10, 8, kCGImageAlphaNoneSkipFirst);
  cv.FlipToMemoryRows();
  CGContextClipToRect(cv.Ctx(), CGRectMake(3, 2, 3, 3));
  const CGAffineTransform ctm = CGContextGetCTM(cv.Ctx());
  const CGRect clip = CGContextGetClipBoundingBox(cv.Ctx());
  CGContextDrawImage(cv.Ctx(), CGRectMake(0, 0, 10, 8), img);
  const CGAffineTransform after = CGContextGetCTM(cv.Ctx());
  EXPECT_EQ(memcmp(&ctm, &after, sizeof ctm), 0);
  const CGRect clipAfter = CGContextGetClipBoundingBox(cv.Ctx());
  EXPECT_EQ(memcmp(&clip, &clipAfter, sizeof clip), 0);
  for (size_t row = 0; row < 8; ++row)
    for (size_t x = 0; x < 10; ++x)
    {
      int u, v;
      EXPECT_EQ(Shown(cv, x, row, &u, &v), x >= 3 && x < 6 && row >= 2 && row < 5) << x << "," << row;
    }
  CGImageRelease(img);
}

TEST(CoreGraphicsDrawImage, BadRectanglesAndArgumentsDrawNothing)
{
  const double nan = std::nan("");
  const CGRect rects[] = {
    CGRectMake(nan, 0, 4, 3),       CGRectMake(0, nan, 4, 3),      CGRectMake(0, 0, nan, 3),
    CGRectMake(0, 0, 4, INFINITY),  CGRectMake(0, 0, -4, 3),       CGRectMake(0, 0, 4, 0),
    CGRectMake(0, 0, 1e300, 1e300), CGRectMake(-1e300, 0, 1e301, 3), CGRectMake(1e12, 0, 4, 3),
    CGRectMake(0, 0, 1e-300, 1e-300),
  };
  CGImageRef img = CoordImage(4, 3);
  CGCanvas cv(10, 8, kCGImageAlphaNoneSkipFirst);
  const std::vector<uint8_t> before = cv.Snapshot();
  for (const CGRect& r : rects) CGContextDrawImage(cv.Ctx(), r, img);
  CGContextDrawImage(cv.Ctx(), CGRectMake(0, 0, 4, 3), nullptr);
  CGContextDrawImage(nullptr, CGRectMake(0, 0, 4, 3), img);
  CGContextScaleCTM(cv.Ctx(), 0, 1);  // a singular CTM
  CGContextDrawImage(cv.Ctx(), CGRectMake(0, 0, 4, 3), img);
  EXPECT_EQ(cv.Snapshot(), before);
  EXPECT_TRUE(cv.GuardsIntact());
  CGImageRelease(img);
}
