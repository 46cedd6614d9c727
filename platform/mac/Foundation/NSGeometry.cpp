// Rectangle arithmetic. A rectangle with a non-positive or NaN size, or a NaN origin, is empty.

#include <Foundation/NSGeometry.h>

#include <cmath>

const NSRect NSZeroRect = {{0, 0}, {0, 0}};

BOOL NSIsEmptyRect(NSRect r)
{
  return !(r.size.width > 0) || !(r.size.height > 0) || std::isnan(r.origin.x) || std::isnan(r.origin.y);
}

NSRect NSIntersectionRect(NSRect a, NSRect b)
{
  if (NSIsEmptyRect(a) || NSIsEmptyRect(b)) return NSZeroRect;
  const CGFloat x0 = std::fmax(NSMinX(a), NSMinX(b)), x1 = std::fmin(NSMaxX(a), NSMaxX(b));
  const CGFloat y0 = std::fmax(NSMinY(a), NSMinY(b)), y1 = std::fmin(NSMaxY(a), NSMaxY(b));
  const NSRect r = NSMakeRect(x0, y0, x1 - x0, y1 - y0);
  return NSIsEmptyRect(r) ? NSZeroRect : r;
}

NSRect NSUnionRect(NSRect a, NSRect b)
{
  if (NSIsEmptyRect(a)) return NSIsEmptyRect(b) ? NSZeroRect : b;
  if (NSIsEmptyRect(b)) return a;
  const CGFloat x0 = std::fmin(NSMinX(a), NSMinX(b)), x1 = std::fmax(NSMaxX(a), NSMaxX(b));
  const CGFloat y0 = std::fmin(NSMinY(a), NSMinY(b)), y1 = std::fmax(NSMaxY(a), NSMaxY(b));
  return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}

BOOL NSPointInRect(NSPoint p, NSRect r)
{
  if (NSIsEmptyRect(r)) return NO;
  return p.x >= NSMinX(r) && p.x < NSMaxX(r) && p.y >= NSMinY(r) && p.y < NSMaxY(r);
}

BOOL NSContainsRect(NSRect outer, NSRect inner)
{
  if (NSIsEmptyRect(outer) || NSIsEmptyRect(inner)) return NO;
  return NSMinX(inner) >= NSMinX(outer) && NSMaxX(inner) <= NSMaxX(outer) && NSMinY(inner) >= NSMinY(outer) &&
         NSMaxY(inner) <= NSMaxY(outer);
}

BOOL NSEqualRects(NSRect a, NSRect b)
{
  return a.origin.x == b.origin.x && a.origin.y == b.origin.y && a.size.width == b.size.width &&
         a.size.height == b.size.height;
}
