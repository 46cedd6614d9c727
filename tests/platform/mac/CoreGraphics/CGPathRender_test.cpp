// Painting paths into pixels: stroke coverage of lines, ellipses and curves, in y-up and y-down
// user spaces, antialiasing on and off, the clip, source-over blending into every byte layout,
// tiles of wide bitmaps and far-out coordinates.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "cg_ink.h"

namespace
{
double Overlap(double a0, double a1, double b0, double b1)
{
  return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
}

// Every pixel's coverage against the area of the device rectangle [x0, x1) x [y0, y1) in it:
// exact where the pixel is fully in or out, near it where partly covered.
void ExpectCoverage(const CGCanvas& cv, double x0, double y0, double x1, double y1)
{
  int bad = 0;
  for (int y = 0; y < (int)cv.Height(); ++y)
    for (int x = 0; x < (int)cv.Width(); ++x)
    {
      const double area = Overlap(x, x + 1, x0, x1) * Overlap(y, y + 1, y0, y1);
      const int got = Ink(cv, x, y), want = (int)std::lround(area * 255);
      const bool ok = (area == 0 || area == 1) ? got == want : std::abs(got - want) <= 6;
      if (!ok && ++bad <= 5) ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << got << ", want " << want;
    }
  EXPECT_EQ(bad, 0);
  EXPECT_TRUE(cv.GuardsIntact());
}

// Shortest distance from p to a polyline.
double DistanceTo(const std::vector<CGPoint>& line, CGPoint p)
{
  double best = INFINITY;
  for (size_t i = 0; i + 1 < line.size(); ++i)
  {
    const CGPoint a = line[i], b = line[i + 1];
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::min(1.0, std::max(0.0, ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2)) : 0;
    best = std::min(best, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
  }
  return best;
}

bool OnlyFullOrEmpty(const CGCanvas& cv)
{
  for (size_t row = 0; row < cv.Height(); ++row)
    for (size_t x = 0; x < cv.Width(); ++x)
      if (cv.Pixel(x, row)[2] != 0 && cv.Pixel(x, row)[2] != 255) return false;
  return true;
}
}  // namespace

TEST(CoreGraphicsStroke, HorizontalLinesCoverTheirWidthAndCaps)
{
  struct Case
  {
    const char* name;
    CGFloat width;
    CGLineCap cap;
    CGFloat y;
  };
  const Case cases[] = {
    {"width 1 between pixel centres lights one row", 1, kCGLineCapButt, 5.5},
    {"width 3 lights three rows", 3, kCGLineCapButt, 5.5},
    {"width 2 on a pixel edge lights two rows", 2, kCGLineCapButt, 6.0},
    {"width 1 on a pixel edge: two half rows", 1, kCGLineCapButt, 5.0},
    {"thin line: a faint row", 0.5, kCGLineCapButt, 5.5},
    {"square caps reach half the width past the ends", 3, kCGLineCapSquare, 5.5},
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.name);
    CGCanvas cv(16, 12, kCGImageAlphaNoneSkipFirst);
    CGContextRef c = cv.Ctx();
    UseGreenInk(c);
    CGContextSetLineWidth(c, k.width);
    CGContextSetLineCap(c, k.cap);
    CGContextMoveToPoint(c, 3, k.y);
    CGContextAddLineToPoint(c, 12, k.y);
    CGContextStrokePath(c);
    const double ext = k.cap == kCGLineCapSquare ? k.width / 2 : 0;
    ExpectCoverage(cv, 3 - ext, k.y - k.width / 2, 12 + ext, k.y + k.width / 2);
  }
}

TEST(CoreGraphicsStroke, RoundCapsAndJoinsStayNearThePath)
{
  CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
  CGContextRef c = cv.Ctx();
  UseGreenInk(c);
  CGContextSetLineWidth(c, 2);
  CGContextSetLineCap(c, kCGLineCapRound);
  CGContextSetLineJoin(c, kCGLineJoinRound);
  const std::vector<CGPoint> line = {{3, 3.5}, {12.5, 3.5}, {12.5, 12}};
  CGContextMoveToPoint(c, 3, 3.5);
  CGContextAddLineToPoint(c, 12.5, 3.5);
  CGContextAddLineToPoint(c, 12.5, 12);
  CGContextStrokePath(c);
  // A pen of radius 1 around the polyline: ink within it, none beyond it plus a pixel's half-diagonal.
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
    {
      const double d = DistanceTo(line, CGPointMake(x + 0.5, y + 0.5));
      if (d > 1 + M_SQRT1_2)
      {
        EXPECT_EQ(Ink(cv, x, y), 0) << x << "," << y;
      }
      if (d < 0.2)
      {
        EXPECT_EQ(Ink(cv, x, y), 255) << x << "," << y;
      }
    }
  // The round cap goes a radius beyond the start, which a butt cap would not.
  EXPECT_GT(Ink(cv, 2, 3), 200);
  EXPECT_EQ(Ink(cv, 1, 3), 0);
}

TEST(CoreGraphicsFill, EllipsesCoverTheirAreaAndCentreButNotTheirCorners)
{
  struct Case
  {
    CGRect rect;
    bool flipped;  // y-down user space
  };
  const Case cases[] = {{CGRectMake(2, 2, 12, 12), false}, {CGRectMake(2, 4, 12, 8), false},
                        {CGRectMake(2, 4, 12, 8), true}, {CGRectMake(14, 12, -12, -8), false}};
  for (const Case& k : cases)
  {
    SCOPED_TRACE(::testing::Message() << k.rect.origin.x << "," << k.rect.origin.y << " flipped " << k.flipped);
    CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
    if (k.flipped) cv.FlipToMemoryRows();
    UseGreenInk(cv.Ctx());
    CGContextFillEllipseInRect(cv.Ctx(), k.rect);
    const double x0 = std::min(k.rect.origin.x, k.rect.origin.x + k.rect.size.width);
    const double y0 = std::min(k.rect.origin.y, k.rect.origin.y + k.rect.size.height);
    const double w = std::fabs(k.rect.size.width), h = std::fabs(k.rect.size.height);
    EXPECT_NEAR(InkArea(cv), M_PI * w * h / 4, 1.0);  // cairo's coverage is within about 1%
    // Pixels in user coordinates: device pixels, or memory rows under the flip.
    auto at = [&](int x, int y) { return k.flipped ? InkAtRow(cv, x, y) : Ink(cv, x, y); };
    const int cx = (int)(x0 + w / 2), cy = (int)(y0 + h / 2);
    EXPECT_EQ(at(cx, cy), 255);
    EXPECT_EQ(at(cx - 1, cy - 1), 255);
    const int l = (int)x0, b = (int)y0, r = (int)(x0 + w) - 1, t = (int)(y0 + h) - 1;
    EXPECT_EQ(at(l, b), 0);
    EXPECT_EQ(at(r, b), 0);
    EXPECT_EQ(at(l, t), 0);
    EXPECT_EQ(at(r, t), 0);
    // Symmetric about both axes of the rectangle; nothing outside it.
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
      {
        const bool inside = x >= l && x <= r && y >= b && y <= t;
        if (!inside)
        {
          EXPECT_EQ(at(x, y), 0) << x << "," << y;
          continue;
        }
        EXPECT_NEAR(at(x, y), at(l + r - x, y), 4) << x << "," << y;
        EXPECT_NEAR(at(x, y), at(x, b + t - y), 4) << x << "," << y;
      }
    EXPECT_TRUE(cv.GuardsIntact());
  }
}

TEST(CoreGraphicsStroke, EllipseOutlineIsARingOfItsCircumference)
{
  CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
  UseGreenInk(cv.Ctx());
  CGContextStrokeEllipseInRect(cv.Ctx(), CGRectMake(2, 2, 12, 12));
  EXPECT_NEAR(InkArea(cv), 2 * M_PI * 6, 0.5);  // width 1 around radius 6
  EXPECT_EQ(Ink(cv, 8, 8), 0);
  EXPECT_GT(Ink(cv, 13, 7), 100);  // the rightmost point (14, 8), half inside pixel column 13
  EXPECT_EQ(Ink(cv, 0, 0), 0);
}

TEST(CoreGraphicsStroke, BezierCurvesFollowTheirEquationUpAndDown)
{
  // From (2, 2.5) to (14, 2.5) pulled up by controls at y 14.5: the midpoint (8, 11.5).
  const CGPoint p[4] = {{2, 2.5}, {2, 14.5}, {14, 14.5}, {14, 2.5}};
  std::vector<CGPoint> curve;
  for (int i = 0; i <= 400; ++i)
  {
    const double t = i / 400.0, s = 1 - t;
    const double k0 = s * s * s, k1 = 3 * s * s * t, k2 = 3 * s * t * t, k3 = t * t * t;
    curve.push_back(CGPointMake(k0 * p[0].x + k1 * p[1].x + k2 * p[2].x + k3 * p[3].x,
                                k0 * p[0].y + k1 * p[1].y + k2 * p[2].y + k3 * p[3].y));
  }
  for (bool flipped : {false, true})
  {
    SCOPED_TRACE(flipped ? "y-down user space" : "y-up user space");
    CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
    CGContextRef c = cv.Ctx();
    if (flipped) cv.FlipToMemoryRows();
    UseGreenInk(c);
    CGContextMoveToPoint(c, p[0].x, p[0].y);
    CGContextAddCurveToPoint(c, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y);
    CGContextStrokePath(c);
    auto at = [&](int x, int y) { return flipped ? InkAtRow(cv, x, y) : Ink(cv, x, y); };
    EXPECT_GT(at(8, 11), 220);  // the midpoint, where the curve runs flat through the pixel
    EXPECT_GT(at(1, 3), 90);    // near each end the curve runs straight up along x = 2 and 14
    EXPECT_GT(at(2, 3), 90);
    EXPECT_GT(at(13, 3), 90);
    EXPECT_GT(at(14, 3), 90);
    EXPECT_EQ(at(1, 1), 0);  // butt caps: nothing below the ends
    int strays = 0, gaps = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
      {
        const double d = DistanceTo(curve, CGPointMake(x + 0.5, y + 0.5));
        if (d > 0.5 + M_SQRT1_2 && at(x, y) != 0) ++strays;
        if (d < 0.2 && at(x, y) < 150) ++gaps;
      }
    EXPECT_EQ(strays, 0);
    EXPECT_EQ(gaps, 0);
    EXPECT_TRUE(cv.GuardsIntact());
  }
}

TEST(CoreGraphicsPaint, AntialiasOffGivesOnlyWholePixels)
{
  for (bool antialias : {true, false})
  {
    SCOPED_TRACE(antialias ? "antialiased" : "aliased");
    CGCanvas fill(16, 16, kCGImageAlphaNoneSkipFirst), stroke(16, 16, kCGImageAlphaNoneSkipFirst);
    for (CGCanvas* cv : {&fill, &stroke})
    {
      UseGreenInk(cv->Ctx());
      CGContextSetShouldAntialias(cv->Ctx(), antialias);
      CGContextSetLineWidth(cv->Ctx(), 1.5);
    }
    CGContextFillEllipseInRect(fill.Ctx(), CGRectMake(1.3, 2.1, 11.2, 9.7));
    CGContextMoveToPoint(stroke.Ctx(), 1.2, 2.7);
    CGContextAddLineToPoint(stroke.Ctx(), 14.1, 11.3);
    CGContextStrokePath(stroke.Ctx());
    EXPECT_NEAR(InkArea(fill), M_PI * 11.2 * 9.7 / 4, antialias ? 1 : 6);
    EXPECT_NEAR(InkArea(stroke), 1.5 * std::hypot(12.9, 8.6), antialias ? 0.8 : 4);
    EXPECT_EQ(OnlyFullOrEmpty(fill), !antialias);
    EXPECT_EQ(OnlyFullOrEmpty(stroke), !antialias);
  }
}

TEST(CoreGraphicsPaint, DrawingStaysInsideTheClip)
{
  for (bool flipped : {false, true})
  {
    SCOPED_TRACE(flipped ? "y-down user space" : "y-up user space");
    CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
    CGContextRef c = cv.Ctx();
    if (flipped) cv.FlipToMemoryRows();
    UseGreenInk(c);
    CGContextClipToRect(c, CGRectMake(4, 4, 6, 5));
    CGContextAddRect(c, CGRectMake(-3, -3, 30, 30));
    CGContextFillPath(c);
    CGContextSetRGBStrokeColor(c, 1, 0, 0, 1);
    CGContextSetLineWidth(c, 1);
    CGContextMoveToPoint(c, -5, 6.5);
    CGContextAddLineToPoint(c, 30, 6.5);
    CGContextStrokePath(c);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
      {
        const uint8_t* px = flipped ? cv.Pixel(x, y) : cv.Pixel(x, 15 - y);  // user (x, y)
        const bool inClip = x >= 4 && x < 10 && y >= 4 && y < 9;
        const bool onLine = inClip && y == 6;
        EXPECT_EQ(px[1], onLine ? 255 : 0) << x << "," << y;
        EXPECT_EQ(px[2], inClip && !onLine ? 255 : 0) << x << "," << y;
      }
    EXPECT_TRUE(cv.GuardsIntact());
  }
}

TEST(CoreGraphicsPaint, BlendsSourceOverIntoEveryLayout)
{
  struct Case
  {
    const char* name;
    uint32_t info;
    uint8_t background[4];  // bytes in memory order
    CGFloat rgba[4];
    int coats;
    uint8_t expect[4];
  };
  const Case cases[] = {
    {"skip-first over black: the unused byte turns opaque", kCGImageAlphaNoneSkipFirst, {0, 0, 0, 0},
     {1, 0, 0, 0.5}, 1, {255, 128, 0, 0}},
    {"skip-first over white", kCGImageAlphaNoneSkipFirst, {0, 255, 255, 255}, {1, 0, 0, 0.5}, 1,
     {255, 255, 127, 127}},
    {"premultiplied-first over clear", kCGImageAlphaPremultipliedFirst, {0, 0, 0, 0}, {1, 0, 0, 0.5}, 1,
     {128, 128, 0, 0}},
    {"premultiplied-first, two coats", kCGImageAlphaPremultipliedFirst, {0, 0, 0, 0}, {1, 0, 0, 0.5}, 2,
     {192, 192, 0, 0}},
    {"premultiplied-first over opaque blue", kCGImageAlphaPremultipliedFirst, {255, 0, 0, 255}, {0, 1, 0, 0.5}, 1,
     {255, 0, 128, 127}},
    {"skip-last over black", kCGImageAlphaNoneSkipLast, {0, 0, 0, 0}, {0, 0, 1, 0.5}, 1, {0, 0, 128, 255}},
    {"premultiplied-last over clear", kCGImageAlphaPremultipliedLast, {0, 0, 0, 0}, {0, 0, 1, 0.5}, 1,
     {0, 0, 128, 128}},
    {"opaque colour replaces", kCGImageAlphaPremultipliedLast, {10, 20, 30, 40}, {0.2, 0.4, 0.6, 1}, 1,
     {51, 102, 153, 255}},
    {"clear colour leaves it", kCGImageAlphaNoneSkipFirst, {7, 10, 20, 30}, {1, 1, 1, 0}, 1, {7, 10, 20, 30}},
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.name);
    CGCanvas cv(8, 8, k.info);
    cv.FillBytes(k.background);
    CGContextRef c = cv.Ctx();
    CGContextSetRGBFillColor(c, k.rgba[0], k.rgba[1], k.rgba[2], k.rgba[3]);
    for (int i = 0; i < k.coats; ++i) CGContextFillEllipseInRect(c, CGRectMake(0, 0, 8, 8));
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(cv.Pixel(4, 4)[i], k.expect[i], 1) << "byte " << i;
    EXPECT_EQ(memcmp(cv.Pixel(0, 0), k.background, 4), 0);  // a corner the ellipse misses, as it was
    EXPECT_TRUE(cv.GuardsIntact());
  }
}

TEST(CoreGraphicsPaint, PartlyCoveredPixelsStayPremultiplied)
{
  const uint8_t blueHalf[4] = {128, 0, 0, 128};  // A R G B
  CGCanvas cv(16, 16, kCGImageAlphaPremultipliedFirst);
  cv.FillBytes(blueHalf);
  CGContextSetRGBFillColor(cv.Ctx(), 1, 0.5, 0.25, 0.8);
  CGContextFillEllipseInRect(cv.Ctx(), CGRectMake(1.5, 2.25, 12, 11));
  int partial = 0;
  for (size_t row = 0; row < 16; ++row)
    for (size_t x = 0; x < 16; ++x)
    {
      const uint8_t* px = cv.Pixel(x, row);
      EXPECT_LE(std::max({px[1], px[2], px[3]}), px[0]) << x << "," << row;
      partial += px[0] > 128 && px[0] < 230;  // 230: 0.8 over half alpha
    }
  EXPECT_GT(partial, 10);
}

TEST(CoreGraphicsPaint, WideBitmapsDrawAcrossTilesAndFarCoordinatesClip)
{
  // Wider than one mask tile: no seam where tiles meet.
  CGCanvas wide(2100, 4, kCGImageAlphaNoneSkipFirst);
  UseGreenInk(wide.Ctx());
  CGContextMoveToPoint(wide.Ctx(), -1e6, 1.5);
  CGContextAddLineToPoint(wide.Ctx(), 1e6, 1.5);
  CGContextStrokePath(wide.Ctx());
  CGContextAddRect(wide.Ctx(), CGRectMake(2040, 3, 20, 1));  // across the first tile's edge
  CGContextFillPath(wide.Ctx());
  int stray = 0;
  for (int x = 0; x < 2100; ++x)
  {
    EXPECT_EQ(Ink(wide, x, 1), 255) << x;
    EXPECT_EQ(Ink(wide, x, 3), x >= 2040 && x < 2060 ? 255 : 0) << x;
    stray += Ink(wide, x, 0) + Ink(wide, x, 2) != 0;
  }
  EXPECT_EQ(stray, 0);
  EXPECT_TRUE(wide.GuardsIntact());

  // A curve bulging two million pixels out and back, with a wide round pen, comes back in finite
  // time and covers the bitmap.
  CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
  UseGreenInk(cv.Ctx());
  CGContextSetLineWidth(cv.Ctx(), 4000);
  CGContextSetLineCap(cv.Ctx(), kCGLineCapRound);
  CGContextMoveToPoint(cv.Ctx(), 8, 8);
  CGContextAddCurveToPoint(cv.Ctx(), 2e6, -2e6, -2e6, -2e6, 8, 8);
  CGContextStrokePath(cv.Ctx());
  EXPECT_EQ(InkArea(cv), 256);
  EXPECT_TRUE(cv.GuardsIntact());
}
