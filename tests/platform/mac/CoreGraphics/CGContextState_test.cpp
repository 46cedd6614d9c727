// The graphics state of the CoreGraphics stand-in: save and restore, clipping (and fills inside
// the clip), the antialias flag, the CTM calls, and the flush counter.

#include <gtest/gtest.h>

#include <CoreGraphics/testkit.h>

#include <cmath>

#include "cg_canvas.h"

namespace
{
bool SameRect(CGRect a, CGRect b)
{
  return std::fabs(a.origin.x - b.origin.x) < 1e-9 && std::fabs(a.origin.y - b.origin.y) < 1e-9 &&
         std::fabs(a.size.width - b.size.width) < 1e-9 && std::fabs(a.size.height - b.size.height) < 1e-9;
}

::testing::AssertionResult RectIs(CGRect r, double x, double y, double w, double h)
{
  if (SameRect(r, CGRectMake(x, y, w, h))) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "rect (" << r.origin.x << ", " << r.origin.y << ", " << r.size.width << ", "
                                       << r.size.height << "), expected (" << x << ", " << y << ", " << w << ", " << h
                                       << ")";
}

// Device pixels (y up) a fill changed, as a box; {0,0,0,0} when none.
CGRect FilledBox(const CGCanvas& cv)
{
  long x0 = -1, y0 = -1, x1 = -1, y1 = -1;
  size_t count = 0;
  for (size_t row = 0; row < cv.Height(); ++row)
    for (size_t x = 0; x < cv.Width(); ++x)
    {
      if (cv.Pixel(x, row)[1] == 0) continue;
      const long y = (long)(cv.Height() - 1 - row);
      ++count;
      if (x0 < 0 || (long)x < x0) x0 = (long)x;
      if ((long)x + 1 > x1) x1 = (long)x + 1;
      if (y0 < 0 || y < y0) y0 = y;
      if (y + 1 > y1) y1 = y + 1;
    }
  if (count == 0) return CGRectMake(0, 0, 0, 0);
  // The filled pixels are a full rectangle.
  EXPECT_EQ(count, (size_t)((x1 - x0) * (y1 - y0)));
  return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}
}  // namespace

TEST(CoreGraphicsGState, RestoreBringsBackCtmClipFillAndAntialias)
{
  CGCanvas cv(8, 8, kCGImageAlphaNoneSkipFirst);
  CGContextRef c = cv.Ctx();
  CGContextRestoreGState(c);  // nothing saved: no effect
  CGContextSetRGBFillColor(c, 1, 0, 0, 1);
  CGContextSaveGState(c);
  CGContextTranslateCTM(c, 2, 3);
  CGContextClipToRect(c, CGRectMake(0, 0, 2, 2));
  CGContextSetRGBFillColor(c, 0, 1, 0, 1);
  CGContextSetShouldAntialias(c, false);
  CGContextSaveGState(c);  // nested
  CGContextScaleCTM(c, 2, 2);
  CGContextClipToRect(c, CGRectMake(0, 0, 0.5, 0.5));
  EXPECT_TRUE(RectIs(CGContextGetDeviceClipBox(c), 2, 3, 1, 1));
  CGContextRestoreGState(c);
  EXPECT_TRUE(RectIs(CGContextGetDeviceClipBox(c), 2, 3, 2, 2));
  EXPECT_EQ(CGContextGetCTM(c).a, 1.0);
  EXPECT_EQ(CGContextGetCTM(c).tx, 2.0);
  EXPECT_FALSE(CGContextGetShouldAntialias(c));
  CGContextRestoreGState(c);
  CGContextRestoreGState(c);  // one more than saved: no effect
  const CGAffineTransform m = CGContextGetCTM(c);
  EXPECT_EQ(m.tx, 0.0);
  EXPECT_EQ(m.ty, 0.0);
  EXPECT_TRUE(CGContextGetShouldAntialias(c));
  EXPECT_TRUE(RectIs(CGContextGetDeviceClipBox(c), 0, 0, 8, 8));
  CGContextFillRect(c, CGRectMake(0, 0, 8, 8));  // the restored (red) colour, unclipped
  const uint8_t red[4] = {255, 255, 0, 0};
  EXPECT_EQ(memcmp(cv.Pixel(0, 0), red, 4), 0);
  EXPECT_EQ(memcmp(cv.Pixel(7, 7), red, 4), 0);
  // Null contexts are ignored.
  CGContextSaveGState(nullptr);
  CGContextRestoreGState(nullptr);
  EXPECT_TRUE(CGContextGetShouldAntialias(nullptr));
}

TEST(CoreGraphicsClip, ClipsIntersectAndFillsStayInside)
{
  enum ECtm
  {
    kIdentity,
    kFlipped,  // translate(0, h) scale(1, -1)
    kScale2,
    kRotate90
  };
  struct Case
  {
    const char* name;
    ECtm ctm;
    std::vector<CGRect> clips;
    CGRect device;  // expected clip in device pixels
    CGRect user;    // expected clip bounding box
  };
  const double nan = std::nan("");
  const std::vector<Case> cases = {
    {"unclipped", kIdentity, {}, CGRectMake(0, 0, 10, 8), CGRectMake(0, 0, 10, 8)},
    {"one rect", kIdentity, {CGRectMake(2, 3, 4, 5)}, CGRectMake(2, 3, 4, 5), CGRectMake(2, 3, 4, 5)},
    {"y-down user space", kFlipped, {CGRectMake(1, 1, 3, 2)}, CGRectMake(1, 5, 3, 2), CGRectMake(1, 1, 3, 2)},
    {"nested", kIdentity, {CGRectMake(0, 0, 6, 6), CGRectMake(4, 4, 6, 6)}, CGRectMake(4, 4, 2, 2),
     CGRectMake(4, 4, 2, 2)},
    {"pixel centres", kIdentity, {CGRectMake(0.6, 0, 2, 1.4)}, CGRectMake(1, 0, 2, 1), CGRectMake(1, 0, 2, 1)},
    {"past the bitmap", kIdentity, {CGRectMake(-5, 6, 100, 100)}, CGRectMake(0, 6, 10, 2), CGRectMake(0, 6, 10, 2)},
    {"disjoint", kIdentity, {CGRectMake(0, 0, 2, 2), CGRectMake(5, 5, 2, 2)}, CGRectMake(0, 0, 0, 0),
     CGRectMake(0, 0, 0, 0)},
    {"not a number", kIdentity, {CGRectMake(nan, 0, 4, 4)}, CGRectMake(0, 0, 0, 0), CGRectMake(0, 0, 0, 0)},
    {"infinite", kIdentity, {CGRectMake(0, 0, INFINITY, 4)}, CGRectMake(0, 0, 0, 0), CGRectMake(0, 0, 0, 0)},
    {"huge", kIdentity, {CGRectMake(-1e300, -1e300, 1e308, 1e308)}, CGRectMake(0, 0, 10, 8),
     CGRectMake(0, 0, 10, 8)},
    {"scaled", kScale2, {CGRectMake(1, 1, 1.5, 1)}, CGRectMake(2, 2, 3, 2), CGRectMake(1, 1, 1.5, 1)},
    // 90 degrees about the origin, then moved back into the bitmap: user (x, y) -> device (8 - y, x).
    {"rotated", kRotate90, {CGRectMake(1, 2, 3, 4)}, CGRectMake(2, 1, 4, 3), CGRectMake(1, 2, 3, 4)},
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.name);
    CGCanvas cv(10, 8, kCGImageAlphaNoneSkipFirst);
    CGContextRef c = cv.Ctx();
    if (k.ctm == kFlipped) cv.FlipToMemoryRows();
    if (k.ctm == kScale2) CGContextScaleCTM(c, 2, 2);
    if (k.ctm == kRotate90)
    {
      CGContextTranslateCTM(c, 8, 0);
      CGContextRotateCTM(c, M_PI / 2);
    }
    for (const CGRect& r : k.clips) CGContextClipToRect(c, r);
    EXPECT_TRUE(RectIs(CGContextGetDeviceClipBox(c), k.device.origin.x, k.device.origin.y, k.device.size.width,
                       k.device.size.height));
    EXPECT_TRUE(RectIs(CGContextGetClipBoundingBox(c), k.user.origin.x, k.user.origin.y, k.user.size.width,
                       k.user.size.height));
    if (k.ctm == kRotate90) continue;  // fills do not rotate
    CGContextSetRGBFillColor(c, 1, 1, 1, 1);
    CGContextFillRect(c, CGRectMake(-100, -100, 300, 300));
    EXPECT_TRUE(RectIs(FilledBox(cv), k.device.origin.x, k.device.origin.y, k.device.size.width,
                       k.device.size.height));
    EXPECT_TRUE(cv.GuardsIntact());
  }
}

TEST(CoreGraphicsClip, FillsSafeForAnyRectangle)
{
  CGCanvas cv(6, 6, kCGImageAlphaPremultipliedLast);
  CGContextRef c = cv.Ctx();
  CGContextSetRGBFillColor(c, 1, 1, 1, 1);
  const double nan = std::nan("");
  for (CGRect r : {CGRectMake(nan, 0, 1, 1), CGRectMake(0, 0, nan, 1), CGRectMake(-INFINITY, 0, INFINITY, 2),
                   CGRectMake(1e300, 1e300, 1e300, 1e300), CGRectMake(3, 3, -1e300, -1e300)})
    CGContextFillRect(c, r);
  EXPECT_TRUE(cv.GuardsIntact());
  // A negative size covers the rectangle on the other side of its origin.
  const CGCanvas& view = cv;
  EXPECT_EQ(view.Pixel(0, 5)[0], 255);
  EXPECT_EQ(view.Pixel(3, 2)[0], 0);
}

TEST(CoreGraphicsCtm, RotateAndConcatApplyBeforeTheCurrentTransformation)
{
  CGCanvas cv(4, 4, kCGImageAlphaNoneSkipFirst);
  CGContextRef c = cv.Ctx();
  CGContextTranslateCTM(c, 10, 0);
  CGContextRotateCTM(c, M_PI / 2);  // user (1, 0) -> (0, 1) before the translation
  CGPoint p = CGContextConvertPointToDeviceSpace(c, CGPointMake(1, 0));
  EXPECT_NEAR(p.x, 10, 1e-12);
  EXPECT_NEAR(p.y, 1, 1e-12);
  CGContextConcatCTM(c, CGAffineTransform{2, 0, 0, 3, 1, 1});  // scale then move, in user space
  p = CGContextConvertPointToDeviceSpace(c, CGPointMake(1, 1));  // -> (3, 4) -> rotated (-4, 3) -> +10
  EXPECT_NEAR(p.x, 6, 1e-12);
  EXPECT_NEAR(p.y, 3, 1e-12);
  CGContextConcatCTM(nullptr, CGAffineTransform{1, 0, 0, 1, 0, 0});
  CGContextRotateCTM(nullptr, 1);
}

TEST(CoreGraphicsFlush, TestKitCountsFlushes)
{
  CGCanvas a(2, 2, kCGImageAlphaNoneSkipFirst), b(2, 2, kCGImageAlphaNoneSkipFirst);
  EXPECT_EQ(CGTestKit::FlushCount(a.Ctx()), 0);
  CGContextFlush(a.Ctx());
  CGContextFlush(a.Ctx());
  CGContextFlush(b.Ctx());
  CGContextFlush(nullptr);
  EXPECT_EQ(CGTestKit::FlushCount(a.Ctx()), 2);
  EXPECT_EQ(CGTestKit::FlushCount(b.Ctx()), 1);
  EXPECT_EQ(CGTestKit::FlushCount(nullptr), 0);
}
