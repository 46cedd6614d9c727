// The current path: drawing modes, open and closed subpaths, the path consumed by drawing, the
// CTM at the time points are added against the one at stroke time, the stroke state saved with
// the graphics state while the path is not, the shorthand calls, and bad input.

#include <gtest/gtest.h>

#include <CoreGraphics/testkit.h>

#include <cmath>
#include <functional>

#include "cg_ink.h"

namespace
{
// What a skip-first pixel shows after red fills and blue strokes.
char Seen(const CGCanvas& cv, int x, int y)
{
  const uint8_t* p = cv.Pixel((size_t)x, cv.Height() - 1 - (size_t)y);
  if (p[1] == 255 && p[2] == 0 && p[3] == 0) return 'F';
  if (p[1] == 0 && p[2] == 0 && p[3] == 255) return 'S';
  if (p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0) return '-';
  return '?';
}

void RedFillBlueStroke(CGContextRef c)
{
  CGContextSetRGBFillColor(c, 1, 0, 0, 1);
  CGContextSetRGBStrokeColor(c, 0, 0, 1, 1);
  CGContextSetLineWidth(c, 2);
}

// Device rows that hold ink, as a bit set.
unsigned InkedRows(const CGCanvas& cv)
{
  unsigned rows = 0;
  for (int y = 0; y < (int)cv.Height(); ++y)
    for (int x = 0; x < (int)cv.Width(); ++x)
      if (Ink(cv, x, y)) rows |= 1u << y;
  return rows;
}

bool SamePoint(CGPoint p, double x, double y) { return std::fabs(p.x - x) < 1e-9 && std::fabs(p.y - y) < 1e-9; }
}  // namespace

TEST(CoreGraphicsPath, DrawingModesFillStrokeOrBoth)
{
  // Two overlapping squares wound the same way: non-zero fills the overlap, even-odd leaves it.
  struct Case
  {
    CGPathDrawingMode mode;
    const char* seen;  // square A only (3, 3), overlap (8, 8), on A's lower edge (4, 1), outside (1, 13)
  };
  const Case cases[] = {{kCGPathFill, "FF--"},       {kCGPathEOFill, "F---"},      {kCGPathStroke, "--S-"},
                        {kCGPathFillStroke, "FFS-"}, {kCGPathEOFillStroke, "F-S-"}};
  const int probes[4][2] = {{3, 3}, {8, 8}, {4, 1}, {1, 13}};
  for (const Case& k : cases)
  {
    SCOPED_TRACE(::testing::Message() << "mode " << k.mode);
    CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
    CGContextRef c = cv.Ctx();
    RedFillBlueStroke(c);
    CGContextAddRect(c, CGRectMake(2, 2, 8, 8));
    CGContextAddRect(c, CGRectMake(6, 6, 8, 8));
    CGContextDrawPath(c, k.mode);
    EXPECT_TRUE(CGContextIsPathEmpty(c));
    std::string seen;
    for (const auto& p : probes) seen += Seen(cv, p[0], p[1]);
    EXPECT_EQ(seen, k.seen);
    EXPECT_TRUE(cv.GuardsIntact());
  }
}

TEST(CoreGraphicsPath, FillsCloseOpenSubpathsAndStrokesDoNot)
{
  // Two sides of a triangle below the diagonal from (2, 2) to (14, 14).
  struct Case
  {
    bool close;
    CGPathDrawingMode mode;
    const char* seen;  // on the diagonal (7, 7), inside (10, 5), outside (5, 10)
  };
  const Case cases[] = {{false, kCGPathStroke, "---"},
                        {true, kCGPathStroke, "S--"},
                        {false, kCGPathFill, "?F-"},  // the diagonal pixel is half covered
                        {true, kCGPathFillStroke, "SF-"}};
  for (const Case& k : cases)
  {
    SCOPED_TRACE(::testing::Message() << "close " << k.close << " mode " << k.mode);
    CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
    CGContextRef c = cv.Ctx();
    RedFillBlueStroke(c);
    CGContextMoveToPoint(c, 2, 2);
    CGContextAddLineToPoint(c, 14, 2);
    CGContextAddLineToPoint(c, 14, 14);
    if (k.close) CGContextClosePath(c);
    CGContextDrawPath(c, k.mode);
    const std::string seen = {Seen(cv, 7, 7), Seen(cv, 10, 5), Seen(cv, 5, 10)};
    EXPECT_EQ(seen, k.seen);
  }
}

TEST(CoreGraphicsPath, DrawingConsumesThePath)
{
  CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
  CGContextRef c = cv.Ctx();
  UseGreenInk(c);
  EXPECT_TRUE(CGContextIsPathEmpty(c));
  CGContextMoveToPoint(c, 2, 5.5);
  EXPECT_FALSE(CGContextIsPathEmpty(c));
  CGContextAddLineToPoint(c, 12, 5.5);
  CGContextStrokePath(c);
  EXPECT_TRUE(CGContextIsPathEmpty(c));
  EXPECT_TRUE(SamePoint(CGContextGetPathCurrentPoint(c), 0, 0));
  const std::vector<uint8_t> once = cv.Snapshot();
  CGContextSetLineWidth(c, 5);
  CGContextStrokePath(c);  // nothing left to stroke
  CGContextFillPath(c);
  EXPECT_EQ(cv.Snapshot(), once);
  // A line with no current point starts the path; BeginPath drops what was there.
  CGContextAddLineToPoint(c, 3, 3);
  EXPECT_TRUE(SamePoint(CGContextGetPathCurrentPoint(c), 3, 3));
  CGContextBeginPath(c);
  EXPECT_TRUE(CGContextIsPathEmpty(c));
  CGContextStrokePath(c);
  EXPECT_EQ(cv.Snapshot(), once);
}

TEST(CoreGraphicsPath, CurrentPointIsInUserSpaceOfTheCurrentCtm)
{
  CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
  CGContextRef c = cv.Ctx();
  cv.FlipToMemoryRows();
  CGContextTranslateCTM(c, 1, 1);
  CGContextMoveToPoint(c, 3, 4);
  EXPECT_TRUE(SamePoint(CGContextGetPathCurrentPoint(c), 3, 4));
  CGContextAddCurveToPoint(c, 5, 5, 6, 6, 7, 8);
  EXPECT_TRUE(SamePoint(CGContextGetPathCurrentPoint(c), 7, 8));
  CGContextClosePath(c);
  EXPECT_TRUE(SamePoint(CGContextGetPathCurrentPoint(c), 3, 4));  // back to the subpath's start
  CGContextAddRect(c, CGRectMake(1, 2, 3, 4));
  EXPECT_TRUE(SamePoint(CGContextGetPathCurrentPoint(c), 1, 2));
  CGContextScaleCTM(c, 2, 2);  // the point stays in device space, so its user coordinates change
  EXPECT_TRUE(SamePoint(CGContextGetPathCurrentPoint(c), 0.5, 1));
  CGContextScaleCTM(c, 0, 1);  // not invertible
  EXPECT_TRUE(SamePoint(CGContextGetPathCurrentPoint(c), 0, 0));
}

TEST(CoreGraphicsPath, PointsTakeTheCtmWhenAddedAndTheWidthWhenStroked)
{
  struct Case
  {
    const char* name;
    std::function<void(CGContextRef)> draw;
    unsigned rows;  // device rows with ink
  };
  const Case cases[] = {
    {"a CTM change after the points does not move them",
     [](CGContextRef c) {
       CGContextTranslateCTM(c, 0, 3);
       CGContextMoveToPoint(c, 2, 2.5);  // device y 5.5
       CGContextAddLineToPoint(c, 12, 2.5);
       CGContextTranslateCTM(c, 0, -3);
       CGContextTranslateCTM(c, 0, 4);
       CGContextStrokePath(c);
     },
     1u << 5},
    {"the width scales with the CTM at stroke time",
     [](CGContextRef c) {
       CGContextMoveToPoint(c, 2, 8);
       CGContextAddLineToPoint(c, 12, 8);
       CGContextScaleCTM(c, 2, 2);
       CGContextStrokePath(c);
     },
     3u << 7},
    {"a vertical stretch widens a horizontal line",
     [](CGContextRef c) {
       CGContextMoveToPoint(c, 2, 5.5);
       CGContextAddLineToPoint(c, 12, 5.5);
       CGContextScaleCTM(c, 1, 3);
       CGContextStrokePath(c);
     },
     7u << 4},
    {"a singular CTM at stroke time strokes nothing",
     [](CGContextRef c) {
       CGContextMoveToPoint(c, 2, 5.5);
       CGContextAddLineToPoint(c, 12, 5.5);
       CGContextScaleCTM(c, 1, 0);
       CGContextStrokePath(c);
     },
     0},
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.name);
    CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
    UseGreenInk(cv.Ctx());
    k.draw(cv.Ctx());
    EXPECT_EQ(InkedRows(cv), k.rows);
    for (int y = 0; y < 16; ++y) EXPECT_EQ(Ink(cv, 7, y), (k.rows & (1u << y)) ? 255 : 0) << "row " << y;
  }
}

TEST(CoreGraphicsPath, StrokeStateIsSavedWithTheGraphicsStateAndThePathIsNot)
{
  CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
  CGContextRef c = cv.Ctx();
  UseGreenInk(c);
  CGContextSaveGState(c);
  CGContextSetLineWidth(c, 3);
  CGContextSetRGBStrokeColor(c, 1, 0, 0, 1);
  CGContextSetLineCap(c, kCGLineCapSquare);
  CGContextMoveToPoint(c, 2, 5.5);
  CGContextAddLineToPoint(c, 12, 5.5);
  CGContextRestoreGState(c);
  EXPECT_FALSE(CGContextIsPathEmpty(c));
  EXPECT_TRUE(SamePoint(CGContextGetPathCurrentPoint(c), 12, 5.5));
  CGContextStrokePath(c);
  // Width 1, green, butt caps: one row from x 2 to 12.
  EXPECT_EQ(InkedRows(cv), 1u << 5);
  EXPECT_EQ(Ink(cv, 2, 5), 255);
  EXPECT_EQ(Ink(cv, 1, 5), 0);
  EXPECT_EQ(Ink(cv, 12, 5), 0);
  EXPECT_EQ(cv.Pixel(5, 10)[1], 0);  // no red

  // The other way round: a path made before a save is stroked with the state inside it.
  CGContextMoveToPoint(c, 2, 11.5);
  CGContextAddLineToPoint(c, 12, 11.5);
  CGContextSaveGState(c);
  CGContextSetLineWidth(c, 3);
  CGContextStrokePath(c);
  CGContextRestoreGState(c);
  EXPECT_EQ(InkedRows(cv), (1u << 5) | (7u << 10));
}

TEST(CoreGraphicsPath, ColoursFromColourObjects)
{
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  const CGFloat blue[4] = {0, 0, 1, 1}, red[4] = {1, 0, 0, 1};
  CGColorRef b = CGColorCreate(space, blue), r = CGColorCreate(space, red);
  CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
  CGContextRef c = cv.Ctx();
  CGContextSetFillColorWithColor(c, r);
  CGContextSetStrokeColorWithColor(c, b);
  CGContextSetFillColorWithColor(c, nullptr);  // no change
  CGContextSetStrokeColorWithColor(c, nullptr);
  CGContextSetLineWidth(c, 2);
  CGContextAddRect(c, CGRectMake(2, 2, 8, 8));
  CGContextAddRect(c, CGRectMake(6, 6, 8, 8));
  CGContextDrawPath(c, kCGPathFillStroke);
  EXPECT_EQ(Seen(cv, 3, 3), 'F');
  EXPECT_EQ(Seen(cv, 4, 1), 'S');
  CGColorRelease(b);
  CGColorRelease(r);
  CGColorSpaceRelease(space);
}

TEST(CoreGraphicsPath, ShorthandsReplaceThePathAndKeepTheWidth)
{
  CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
  CGContextRef c = cv.Ctx();
  UseGreenInk(c);
  CGContextMoveToPoint(c, 0, 0);
  CGContextAddLineToPoint(c, 16, 16);  // dropped by the shorthand
  CGContextStrokeRectWithWidth(c, CGRectMake(4, 4, 8, 8), 2);
  EXPECT_TRUE(CGContextIsPathEmpty(c));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
    {
      const bool outer = x >= 3 && x < 13 && y >= 3 && y < 13, inner = x >= 5 && x < 11 && y >= 5 && y < 11;
      EXPECT_EQ(Ink(cv, x, y), outer && !inner ? 255 : 0) << x << "," << y;
    }

  // The width came back: 1-unit segments, an odd last point ignored.
  CGCanvas segs(16, 16, kCGImageAlphaNoneSkipFirst);
  UseGreenInk(segs.Ctx());
  CGContextStrokeRectWithWidth(segs.Ctx(), CGRectMake(-20, -20, 1, 1), 7);
  const CGPoint pts[5] = {{2, 3.5}, {12, 3.5}, {2, 9.5}, {12, 9.5}, {5, 5}};
  CGContextStrokeLineSegments(segs.Ctx(), pts, 5);
  EXPECT_EQ(InkedRows(segs), (1u << 3) | (1u << 9));
  EXPECT_TRUE(CGContextIsPathEmpty(segs.Ctx()));

  CGCanvas ring(16, 16, kCGImageAlphaNoneSkipFirst);
  UseGreenInk(ring.Ctx());
  CGContextStrokeRect(ring.Ctx(), CGRectMake(4.5, 4.5, 7, 7));
  EXPECT_EQ(Ink(ring, 4, 4), 255);
  EXPECT_EQ(Ink(ring, 11, 8), 255);
  EXPECT_EQ(Ink(ring, 8, 8), 0);
  EXPECT_EQ(Ink(ring, 3, 8), 0);
}

TEST(CoreGraphicsPath, NullContextsAndBadInputDrawNothing)
{
  const CGRect r = CGRectMake(1, 1, 4, 4);
  const CGPoint pts[2] = {{1, 1}, {5, 5}};
  CGContextBeginPath(nullptr);
  CGContextMoveToPoint(nullptr, 1, 1);
  CGContextAddLineToPoint(nullptr, 2, 2);
  CGContextAddCurveToPoint(nullptr, 1, 2, 3, 4, 5, 6);
  CGContextClosePath(nullptr);
  CGContextAddRect(nullptr, r);
  CGContextAddEllipseInRect(nullptr, r);
  EXPECT_TRUE(CGContextIsPathEmpty(nullptr));
  EXPECT_TRUE(SamePoint(CGContextGetPathCurrentPoint(nullptr), 0, 0));
  CGContextStrokePath(nullptr);
  CGContextFillPath(nullptr);
  CGContextEOFillPath(nullptr);
  CGContextDrawPath(nullptr, kCGPathFillStroke);
  CGContextStrokeRect(nullptr, r);
  CGContextStrokeRectWithWidth(nullptr, r, 2);
  CGContextFillEllipseInRect(nullptr, r);
  CGContextStrokeEllipseInRect(nullptr, r);
  CGContextStrokeLineSegments(nullptr, pts, 2);
  CGContextSetLineWidth(nullptr, 2);
  CGContextSetLineCap(nullptr, kCGLineCapRound);
  CGContextSetLineJoin(nullptr, kCGLineJoinRound);
  CGContextSetRGBStrokeColor(nullptr, 1, 0, 0, 1);
  CGContextSetStrokeColorWithColor(nullptr, nullptr);
  CGContextSetFillColorWithColor(nullptr, nullptr);

  const double nan = std::nan(""), inf = INFINITY;
  struct Case
  {
    const char* name;
    std::function<void(CGContextRef)> draw;
  };
  auto line = [](CGContextRef c) {
    CGContextMoveToPoint(c, 2, 5.5);
    CGContextAddLineToPoint(c, 12, 5.5);
  };
  auto stroked = [](CGFloat width) {
    return [width](CGContextRef c) {
      CGContextSetLineWidth(c, width);
      CGContextMoveToPoint(c, 2, 5.5);
      CGContextAddLineToPoint(c, 12, 5.5);
      CGContextStrokePath(c);
    };
  };
  const Case cases[] = {
    {"NaN point",
     [&](CGContextRef c) {
       CGContextMoveToPoint(c, nan, 2);
       CGContextAddLineToPoint(c, 9, 9);
       CGContextStrokePath(c);
     }},
    {"one bad point spoils the whole path",
     [&](CGContextRef c) {
       line(c);
       CGContextAddLineToPoint(c, inf, 5.5);
       CGContextAddLineToPoint(c, 12, 12);
       CGContextDrawPath(c, kCGPathFillStroke);
     }},
    {"far-out curve control",
     [&](CGContextRef c) {
       line(c);
       CGContextAddCurveToPoint(c, 1e300, 0, 3, 3, 4, 4);
       CGContextStrokePath(c);
     }},
    {"beyond the coordinate limit",
     [&](CGContextRef c) {
       line(c);
       CGContextAddLineToPoint(c, 3e6, 5.5);
       CGContextStrokePath(c);
     }},
    {"NaN rectangle",
     [&](CGContextRef c) {
       CGContextAddRect(c, CGRectMake(1, 1, nan, 4));
       CGContextFillPath(c);
     }},
    {"infinite ellipse", [&](CGContextRef c) { CGContextFillEllipseInRect(c, CGRectMake(1, 1, inf, 4)); }},
    {"huge CTM",
     [&](CGContextRef c) {
       CGContextScaleCTM(c, 1e300, 1e300);
       line(c);
       CGContextStrokePath(c);
     }},
    {"NaN CTM",
     [&](CGContextRef c) {
       CGContextTranslateCTM(c, nan, 0);
       line(c);
       CGContextFillPath(c);
     }},
    {"collapsing CTM",
     [&](CGContextRef c) {
       CGContextScaleCTM(c, 0, 0);
       CGContextFillEllipseInRect(c, CGRectMake(1, 1, 9, 9));
     }},
    {"NaN width", stroked(nan)},
    {"infinite width", stroked(inf)},
    {"huge width", stroked(1e300)},
    {"negative width", stroked(-2)},
    {"zero width", stroked(0)},
    {"NaN colour",
     [&](CGContextRef c) {
       CGContextSetRGBFillColor(c, 1, 1, 1, nan);
       CGContextFillEllipseInRect(c, CGRectMake(1, 1, 9, 9));
     }},
    {"unknown drawing mode",
     [&](CGContextRef c) {
       line(c);
       CGContextDrawPath(c, (CGPathDrawingMode)9);
     }},
    {"null segments", [&](CGContextRef c) { CGContextStrokeLineSegments(c, nullptr, 4); }},
    {"a lone point",
     [&](CGContextRef c) {
       CGContextMoveToPoint(c, 5, 5);
       CGContextDrawPath(c, kCGPathFillStroke);
     }},
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.name);
    CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
    CGContextRef c = cv.Ctx();
    UseGreenInk(c);
    CGContextSaveGState(c);
    k.draw(c);
    EXPECT_EQ(InkedPixels(cv), 0);
    EXPECT_TRUE(CGContextIsPathEmpty(c));
    EXPECT_TRUE(cv.GuardsIntact());
    // Nothing lingers: with the state restored the context draws again.
    CGContextRestoreGState(c);
    stroked(1)(c);
    EXPECT_EQ(InkedRows(cv), 1u << 5);
  }
}

TEST(CoreGraphicsPath, UnknownCapsAndJoinsAreIgnored)
{
  CGCanvas cv(16, 16, kCGImageAlphaNoneSkipFirst);
  CGContextRef c = cv.Ctx();
  UseGreenInk(c);
  CGContextSetLineWidth(c, 2);
  CGContextSetLineCap(c, kCGLineCapSquare);
  CGContextSetLineCap(c, (CGLineCap)7);
  CGContextSetLineJoin(c, (CGLineJoin)-1);
  CGContextMoveToPoint(c, 4, 6);
  CGContextAddLineToPoint(c, 10, 6);
  CGContextStrokePath(c);
  EXPECT_EQ(Ink(cv, 3, 5), 255);  // the square cap still reaches one unit before the start
  EXPECT_EQ(Ink(cv, 10, 6), 255);
  EXPECT_EQ(Ink(cv, 2, 5), 0);
}
