// View coordinates: conversions through the window's base space, the visible rectangle and hit
// testing. Between a view and its superview x moves by the frame's origin; y moves the same way
// when both are flipped or both are not, and runs the other way (y_super = frame.y + frame.h - y)
// when one of them is flipped. The window's base space is not flipped.

#include <AppKit/NSView.h>

#include <AppKit/NSWindow.h>

namespace
{
// The transforms are translations with an optional y flip (d = 1 or -1).
CGPoint Apply(const CGAffineTransform& t, CGPoint p)
{
  return CGPointMake(p.x + t.tx, t.d < 0 ? t.ty - p.y : p.y + t.ty);
}

CGPoint Invert(const CGAffineTransform& t, CGPoint p)
{
  return CGPointMake(p.x - t.tx, t.d < 0 ? t.ty - p.y : p.y - t.ty);
}

NSRect RectThrough(const CGAffineTransform& t, NSRect r, CGPoint (*map)(const CGAffineTransform&, CGPoint))
{
  const CGPoint a = map(t, r.origin);
  const CGPoint b = map(t, CGPointMake(NSMaxX(r), NSMaxY(r)));
  return NSMakeRect(a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.x < b.x ? b.x - a.x : a.x - b.x,
                    a.y < b.y ? b.y - a.y : a.y - b.y);
}

// Inside with the edges that base space counts: the bottom-left edges in, the top-right out. In a
// flipped view (y runs down) that is the top edge in and the bottom edge out.
bool MouseInRect(NSPoint p, NSRect r, bool flipped)
{
  if (NSIsEmptyRect(r) || !(p.x >= NSMinX(r)) || !(p.x < NSMaxX(r))) return false;
  return flipped ? (p.y > NSMinY(r) && p.y <= NSMaxY(r)) : (p.y >= NSMinY(r) && p.y < NSMaxY(r));
}
}  // namespace

CGAffineTransform NSView::baseTransform() const
{
  CGAffineTransform t = {1, 0, 0, 1, 0, 0};
  for (const NSView* v = this; v; v = v->mSuperview)
  {
    const BOOL parentFlipped = v->mSuperview ? v->mSuperview->isFlipped() : NO;
    const bool same = (v->isFlipped() != NO) == (parentFlipped != NO);
    // Then the step from v to its superview: x + fx; y * s + c.
    const CGFloat s = same ? 1 : -1;
    const CGFloat c = same ? v->mFrame.origin.y : v->mFrame.origin.y + v->mFrame.size.height;
    t.tx += v->mFrame.origin.x;
    t.d *= s;
    t.ty = t.ty * s + c;
  }
  return t;
}

NSPoint NSView::convertPoint(NSPoint point, const NSView* fromView) const
{
  const NSPoint base = fromView ? Apply(fromView->baseTransform(), point) : point;
  return Invert(baseTransform(), base);
}

NSPoint NSView::convertPointToView(NSPoint point, const NSView* toView) const
{
  const NSPoint base = Apply(baseTransform(), point);
  return toView ? Invert(toView->baseTransform(), base) : base;
}

NSRect NSView::convertRect(NSRect rect, const NSView* fromView) const
{
  const NSRect base = fromView ? RectThrough(fromView->baseTransform(), rect, &Apply) : rect;
  return RectThrough(baseTransform(), base, &Invert);
}

NSRect NSView::convertRectToView(NSRect rect, const NSView* toView) const
{
  const NSRect base = RectThrough(baseTransform(), rect, &Apply);
  return toView ? RectThrough(toView->baseTransform(), base, &Invert) : base;
}

NSRect NSView::visibleRect() const
{
  NSRect r = bounds();
  for (const NSView* a = mSuperview; a && !NSIsEmptyRect(r); a = a->mSuperview)
    r = NSIntersectionRect(r, convertRect(a->bounds(), a));
  if (mWindow && !NSIsEmptyRect(r))
  {
    const NSSize content = mWindow->contentSize();
    r = NSIntersectionRect(r, convertRect(NSMakeRect(0, 0, content.width, content.height), nil));
  }
  return NSIsEmptyRect(r) ? NSZeroRect : r;
}

NSView* NSView::hitTest(NSPoint pointInSuperview)
{
  const BOOL parentFlipped = mSuperview ? mSuperview->isFlipped() : NO;
  NSPoint p = NSMakePoint(pointInSuperview.x - mFrame.origin.x, pointInSuperview.y - mFrame.origin.y);
  if ((isFlipped() != NO) != (parentFlipped != NO)) p.y = mFrame.size.height - p.y;
  if (!MouseInRect(p, bounds(), isFlipped())) return nil;
  for (size_t i = mSubviews.size(); i-- > 0;)
  {
    if (NSView* hit = mSubviews[i]->hitTest(p)) return hit;
  }
  return this;
}
