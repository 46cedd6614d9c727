// CGImageCreateWithImageInRect: cut-outs inside, rounded out, partly and fully outside, for every
// layout, and the refusals.

#include <gtest/gtest.h>

#include <CoreGraphics/testkit.h>

#include <cmath>
#include <cstring>

#include "cg_canvas.h"

namespace
{
// A 6 x 4 image whose pixel (u, v) (v = row from the top) holds bytes {10 + u, 20 + v, 30, 255}.
CGImageRef NumberedImage(uint32_t info)
{
  CGCanvas src(6, 4, info);
  for (size_t v = 0; v < 4; ++v)
    for (size_t u = 0; u < 6; ++u)
    {
      const uint8_t px[4] = {(uint8_t)(10 + u), (uint8_t)(20 + v), 30, 255};
      memcpy(src.Pixel(u, v), px, 4);
    }
  return CGBitmapContextCreateImage(src.Ctx());
}
}  // namespace

TEST(CoreGraphicsImageInRect, CutsOutTheWholePixelsInsideTheRectangle)
{
  struct Case
  {
    const char* name;
    CGRect rect;
    int u0, v0, w, h;  // expected cut-out; w == 0: null
  };
  const double nan = std::nan("");
  const Case cases[] = {
    {"inside", CGRectMake(1, 1, 3, 2), 1, 1, 3, 2},
    {"fractions round out", CGRectMake(0.5, 0.25, 1, 1.5), 0, 0, 2, 2},
    {"the whole image", CGRectMake(0, 0, 6, 4), 0, 0, 6, 4},
    {"partly outside", CGRectMake(-2, 2, 4, 5), 0, 2, 2, 2},
    {"past the far corner", CGRectMake(4.5, 3.5, 100, 100), 4, 3, 2, 1},
    {"negative size", CGRectMake(4, 3, -2, -2), 2, 1, 2, 2},
    {"huge", CGRectMake(-1e300, -1e300, 1e308, 1e308), 0, 0, 6, 4},
    {"fully outside", CGRectMake(6, 0, 3, 3), 0, 0, 0, 0},
    {"left of the image", CGRectMake(-5, 0, 4.5, 3), 0, 0, 0, 0},
    {"empty", CGRectMake(1, 1, 0, 2), 0, 0, 0, 0},
    {"not a number", CGRectMake(nan, 0, 2, 2), 0, 0, 0, 0},
    {"infinite", CGRectMake(0, 0, INFINITY, 2), 0, 0, 0, 0},
  };
  const uint32_t infos[4] = {kCGImageAlphaNoneSkipFirst, kCGImageAlphaPremultipliedFirst, kCGImageAlphaNoneSkipLast,
                             kCGImageAlphaPremultipliedLast};
  const CGTestKit::LiveCounts before = CGTestKit::Live();
  for (uint32_t info : infos)
  {
    CGImageRef img = NumberedImage(info);
    ASSERT_NE(img, nullptr);
    for (const Case& k : cases)
    {
      SCOPED_TRACE(::testing::Message() << k.name << ", alpha info " << info);
      CGImageRef cut = CGImageCreateWithImageInRect(img, k.rect);
      if (k.w == 0)
      {
        EXPECT_EQ(cut, nullptr);
        continue;
      }
      ASSERT_NE(cut, nullptr);
      EXPECT_EQ(CGImageGetWidth(cut), (size_t)k.w);
      EXPECT_EQ(CGImageGetHeight(cut), (size_t)k.h);
      EXPECT_EQ(CGImageGetAlphaInfo(cut), (CGImageAlphaInfo)info);
      const uint8_t* bytes = CGTestKit::ImageBytes(cut);
      const size_t row = CGImageGetBytesPerRow(cut);
      for (int v = 0; v < k.h; ++v)
        for (int u = 0; u < k.w; ++u)
        {
          const uint8_t* px = bytes + (size_t)v * row + (size_t)u * 4;
          EXPECT_EQ(px[0], 10 + k.u0 + u);
          EXPECT_EQ(px[1], 20 + k.v0 + v);
          EXPECT_EQ(px[2], 30);
        }
      CGImageRelease(cut);
    }
    CGImageRelease(img);
  }
  EXPECT_EQ(CGTestKit::Live().images, before.images);
}

TEST(CoreGraphicsImageInRect, CutOutsDrawAndOutliveTheirSource)
{
  CGImageRef img = NumberedImage(kCGImageAlphaNoneSkipFirst);
  CGImageRef cut = CGImageCreateWithImageInRect(img, CGRectMake(2, 1, 2, 2));
  CGImageRelease(img);
  ASSERT_NE(cut, nullptr);
  CGCanvas cv(4, 4, kCGImageAlphaNoneSkipFirst);
  cv.FlipToMemoryRows();
  CGContextDrawImage(cv.Ctx(), CGRectMake(1, 1, 2, 2), cut);
  CGImageRelease(cut);
  // Under a y-down CTM the image shows upside down: its first row on memory row 2.
  EXPECT_EQ(cv.Pixel(1, 2)[0], 12);
  EXPECT_EQ(cv.Pixel(1, 2)[1], 21);
  EXPECT_EQ(cv.Pixel(2, 1)[0], 13);
  EXPECT_EQ(cv.Pixel(2, 1)[1], 22);
  EXPECT_EQ(cv.Pixel(0, 0)[2], 0);
  EXPECT_TRUE(cv.GuardsIntact());
}

TEST(CoreGraphicsImageInRect, NullImagesAndForcedFailuresGiveNull)
{
  EXPECT_EQ(CGImageCreateWithImageInRect(nullptr, CGRectMake(0, 0, 2, 2)), nullptr);
  CGImageRef img = NumberedImage(kCGImageAlphaNoneSkipFirst);
  CGTestKit::FailNext(CGTestKit::kImage);
  EXPECT_EQ(CGImageCreateWithImageInRect(img, CGRectMake(0, 0, 2, 2)), nullptr);
  CGTestKit::ClearFailures();
  CGImageRelease(img);
}
