// The CoreGraphics stand-in: reference counts, refusals of bad arguments, forced failures,
// the transformation and image snapshots.

#include <gtest/gtest.h>

#include <CoreGraphics/testkit.h>

#include <cstring>

TEST(CoreGraphicsStandIn, ObjectsAreReferenceCounted)
{
  const CGTestKit::LiveCounts before = CGTestKit::Live();
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  ASSERT_NE(space, nullptr);
  const CGFloat comps[4] = {0.25, 0.5, 0.75, 1.0};
  CGColorRef col = CGColorCreate(space, comps);
  ASSERT_NE(col, nullptr);
  CGColorSpaceRelease(space);  // the colour keeps its space
  EXPECT_EQ(CGTestKit::Live().colorSpaces, before.colorSpaces + 1);
  EXPECT_EQ(CGColorGetNumberOfComponents(col), 4u);
  EXPECT_EQ(CGColorGetComponents(col)[2], 0.75);
  EXPECT_EQ(CGColorRetain(col), col);
  EXPECT_EQ(CGTestKit::RetainCount(col), 2);
  CGColorRelease(col);
  CGColorRelease(col);
  EXPECT_EQ(CGTestKit::Live().colors, before.colors);
  EXPECT_EQ(CGTestKit::Live().colorSpaces, before.colorSpaces);
  // Releasing null does nothing.
  CGColorRelease(nullptr);
  CGContextRelease(nullptr);
  CGImageRelease(nullptr);
  CGColorSpaceRelease(nullptr);
}

TEST(CoreGraphicsStandIn, BitmapContextsRefuseBadArguments)
{
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  uint8_t buf[64] = {0};
  const uint32_t skipFirst = kCGImageAlphaNoneSkipFirst;
  EXPECT_EQ(CGBitmapContextCreate(buf, 4, 4, 8, 16, nullptr, skipFirst), nullptr);
  EXPECT_EQ(CGBitmapContextCreate(buf, 0, 4, 8, 16, space, skipFirst), nullptr);
  EXPECT_EQ(CGBitmapContextCreate(buf, 4, 4, 5, 16, space, skipFirst), nullptr);
  EXPECT_EQ(CGBitmapContextCreate(buf, 4, 4, 8, 15, space, skipFirst), nullptr);
  EXPECT_EQ(CGBitmapContextCreate(buf, 4, 4, 8, 16, space, kCGImageAlphaNone), nullptr);
  CGTestKit::FailNext(CGTestKit::kContext | CGTestKit::kImage, 1);
  EXPECT_EQ(CGBitmapContextCreate(buf, 4, 4, 8, 16, space, skipFirst), nullptr);
  CGContextRef c = CGBitmapContextCreate(buf, 4, 4, 8, 16, space, skipFirst);
  CGTestKit::ClearFailures();
  ASSERT_NE(c, nullptr);
  CGColorSpaceRelease(space);

  // The transformation: translate then scale, applied to user points as CoreGraphics does.
  CGContextTranslateCTM(c, 0, 4);
  CGContextScaleCTM(c, 1, -1);
  const CGAffineTransform m = CGContextGetCTM(c);
  EXPECT_EQ(m.d, -1.0);
  EXPECT_EQ(m.ty, 4.0);
  const CGPoint p = CGContextConvertPointToDeviceSpace(c, CGPointMake(1, 1));
  EXPECT_EQ(p.x, 1.0);
  EXPECT_EQ(p.y, 3.0);

  // An image is a snapshot: later drawing does not reach it.
  CGContextSetRGBFillColor(c, 0, 1, 0, 1);
  CGContextFillRect(c, CGRectMake(0, 0, 4, 1));
  CGImageRef img = CGBitmapContextCreateImage(c);
  ASSERT_NE(img, nullptr);
  CGContextFillRect(c, CGRectMake(0, 0, 4, 4));
  EXPECT_EQ(CGImageGetWidth(img), 4u);
  EXPECT_EQ(CGImageGetHeight(img), 4u);
  EXPECT_EQ(CGImageGetAlphaInfo(img), kCGImageAlphaNoneSkipFirst);
  const uint8_t* px = CGTestKit::ImageBytes(img);
  const uint8_t green[4] = {255, 0, 255, 0};
  const uint8_t none[4] = {0, 0, 0, 0};
  EXPECT_EQ(memcmp(px, green, 4), 0);        // top row
  EXPECT_EQ(memcmp(px + 16, none, 4), 0);    // second row untouched at the snapshot
  EXPECT_EQ(memcmp(buf + 16, green, 4), 0);  // while the context has it now
  CGImageRelease(img);
  CGContextRelease(c);
}
