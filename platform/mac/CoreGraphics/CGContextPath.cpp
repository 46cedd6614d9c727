// The current path of a bitmap context: points taken to device space as they are added, the
// rectangle and ellipse shapes, and the calls that paint the path and consume it.

#include <CoreGraphics/CoreGraphics.h>

#include <cmath>

#include "CGPathRender.h"
#include "CGRecords.h"

namespace
{
using CGRecords::Path;

// Device points beyond this spoil the path: cairo's fixed-point coordinates must not overflow.
constexpr CGFloat kCoordLimit = CGPathRender::kCoordLimit;

// The user point in device space; false (and the path spoilt) when it is unusable.
bool ToDevice(CGContextRef c, CGFloat x, CGFloat y, CGPoint* out)
{
  *out = CGPointApplyAffineTransform(CGPointMake(x, y), c->gs.ctm);
  if (std::fabs(out->x) <= kCoordLimit && std::fabs(out->y) <= kCoordLimit) return true;  // also NaN
  c->path.spoilt = true;
  return false;
}

void Move(CGContextRef c, CGPoint d)
{
  Path& p = c->path;
  p.ops.push_back(Path::kMove);
  p.points.push_back(d);
  p.current = p.start = d;
  p.hasCurrent = true;
}

void Line(CGContextRef c, CGPoint d)
{
  Path& p = c->path;
  if (!p.hasCurrent) return Move(c, d);
  p.ops.push_back(Path::kLine);
  p.points.push_back(d);
  p.current = d;
}

void Curve(CGContextRef c, CGPoint d1, CGPoint d2, CGPoint d)
{
  Path& p = c->path;
  if (!p.hasCurrent) Move(c, d1);
  p.ops.push_back(Path::kCurve);
  p.points.push_back(d1);
  p.points.push_back(d2);
  p.points.push_back(d);
  p.current = d;
}

CGRect Standardized(CGRect r)
{
  if (r.size.width < 0)
  {
    r.origin.x += r.size.width;
    r.size.width = -r.size.width;
  }
  if (r.size.height < 0)
  {
    r.origin.y += r.size.height;
    r.size.height = -r.size.height;
  }
  return r;
}

// Paints the path as `mode` says, then empties it (also when it drew nothing).
void Paint(CGContextRef c, CGPathDrawingMode mode)
{
  if (!c) return;
  Path& p = c->path;
  if (!p.spoilt && !p.ops.empty())
  {
    switch (mode)
    {
      case kCGPathFill: CGPathRender::Paint(c, p, CGPathRender::kFill); break;
      case kCGPathEOFill: CGPathRender::Paint(c, p, CGPathRender::kEOFill); break;
      case kCGPathStroke: CGPathRender::Paint(c, p, CGPathRender::kStroke); break;
      case kCGPathFillStroke:
        CGPathRender::Paint(c, p, CGPathRender::kFill);
        CGPathRender::Paint(c, p, CGPathRender::kStroke);
        break;
      case kCGPathEOFillStroke:
        CGPathRender::Paint(c, p, CGPathRender::kEOFill);
        CGPathRender::Paint(c, p, CGPathRender::kStroke);
        break;
    }
  }
  p.Clear();
}
}  // namespace

// ---- building

void CGContextBeginPath(CGContextRef c)
{
  if (c) c->path.Clear();
}

void CGContextMoveToPoint(CGContextRef c, CGFloat x, CGFloat y)
{
  CGPoint d;
  if (c && ToDevice(c, x, y, &d)) Move(c, d);
}

void CGContextAddLineToPoint(CGContextRef c, CGFloat x, CGFloat y)
{
  CGPoint d;
  if (c && ToDevice(c, x, y, &d)) Line(c, d);
}

void CGContextAddCurveToPoint(CGContextRef c, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x,
                              CGFloat y)
{
  CGPoint d1, d2, d;
  if (c && ToDevice(c, cp1x, cp1y, &d1) && ToDevice(c, cp2x, cp2y, &d2) && ToDevice(c, x, y, &d)) Curve(c, d1, d2, d);
}

void CGContextClosePath(CGContextRef c)
{
  if (!c || !c->path.hasCurrent) return;
  c->path.ops.push_back(Path::kClose);
  c->path.current = c->path.start;
}

void CGContextAddRect(CGContextRef c, CGRect rect)
{
  if (!c) return;
  const CGFloat x0 = rect.origin.x, y0 = rect.origin.y;
  const CGFloat x1 = x0 + rect.size.width, y1 = y0 + rect.size.height;
  CGPoint d[4];
  if (!ToDevice(c, x0, y0, &d[0]) || !ToDevice(c, x1, y0, &d[1]) || !ToDevice(c, x1, y1, &d[2]) ||
      !ToDevice(c, x0, y1, &d[3]))
    return;
  Move(c, d[0]);
  for (int i = 1; i < 4; ++i) Line(c, d[i]);
  CGContextClosePath(c);
}

void CGContextAddEllipseInRect(CGContextRef c, CGRect rect)
{
  if (!c) return;
  // Each quarter is one cubic whose control points lie kappa of the radius along the tangents.
  const CGFloat kappa = 0.5522847498307936;
  const CGRect r = Standardized(rect);
  const CGFloat rx = r.size.width / 2, ry = r.size.height / 2;
  const CGFloat cx = r.origin.x + rx, cy = r.origin.y + ry;
  const CGFloat kx = kappa * rx, ky = kappa * ry;
  // (dx, dy) pairs relative to the centre: the start, then three points per quarter.
  const CGFloat q[13][2] = {{rx, 0},   {rx, ky},   {kx, ry},   {0, ry},  {-kx, ry},  {-rx, ky}, {-rx, 0},
                            {-rx, -ky}, {-kx, -ry}, {0, -ry},  {kx, -ry}, {rx, -ky}, {rx, 0}};
  CGPoint d[13];
  for (int i = 0; i < 13; ++i)
    if (!ToDevice(c, cx + q[i][0], cy + q[i][1], &d[i])) return;
  Move(c, d[0]);
  for (int i = 1; i < 13; i += 3) Curve(c, d[i], d[i + 1], d[i + 2]);
  CGContextClosePath(c);
}

bool CGContextIsPathEmpty(CGContextRef c) { return !c || c->path.ops.empty(); }

CGPoint CGContextGetPathCurrentPoint(CGContextRef c)
{
  CGAffineTransform inv;
  if (!c || !c->path.hasCurrent || !CGRecords::Invert(c->gs.ctm, &inv)) return CGPointMake(0, 0);
  return CGPointApplyAffineTransform(c->path.current, inv);
}

// ---- painting

void CGContextStrokePath(CGContextRef c) { Paint(c, kCGPathStroke); }
void CGContextFillPath(CGContextRef c) { Paint(c, kCGPathFill); }
void CGContextEOFillPath(CGContextRef c) { Paint(c, kCGPathEOFill); }
void CGContextDrawPath(CGContextRef c, CGPathDrawingMode mode) { Paint(c, mode); }

void CGContextStrokeRect(CGContextRef c, CGRect rect)
{
  CGContextBeginPath(c);
  CGContextAddRect(c, rect);
  Paint(c, kCGPathStroke);
}

void CGContextStrokeRectWithWidth(CGContextRef c, CGRect rect, CGFloat width)
{
  if (!c) return;
  const CGFloat kept = c->gs.lineWidth;
  c->gs.lineWidth = width;
  CGContextStrokeRect(c, rect);
  c->gs.lineWidth = kept;
}

void CGContextFillEllipseInRect(CGContextRef c, CGRect rect)
{
  CGContextBeginPath(c);
  CGContextAddEllipseInRect(c, rect);
  Paint(c, kCGPathFill);
}

void CGContextStrokeEllipseInRect(CGContextRef c, CGRect rect)
{
  CGContextBeginPath(c);
  CGContextAddEllipseInRect(c, rect);
  Paint(c, kCGPathStroke);
}

void CGContextStrokeLineSegments(CGContextRef c, const CGPoint* points, size_t count)
{
  CGContextBeginPath(c);
  if (points)
    for (size_t i = 0; i + 1 < count; i += 2)
    {
      CGContextMoveToPoint(c, points[i].x, points[i].y);
      CGContextAddLineToPoint(c, points[i + 1].x, points[i + 1].y);
    }
  Paint(c, kCGPathStroke);
}
