// Painting a window: each view that needs it, parents before children, into the backing store
// through a graphics context in the view's coordinates, clipped to what it needs and shows.

#include <AppKit/NSWindow.h>

#include "AppKitRecords.h"

namespace
{
void PaintView(NSWindow* window, NSView* view, CGContextRef port, NSRect* painted)
{
  view->retain();  // drawRect may take the view out of the window
  if (view->needsDisplay())
  {
    const NSRect area = NSIntersectionRect(view->needsDisplayRect(), view->visibleRect());
    // Cleared first, so a view that asks for more painting while it draws gets it next time.
    view->clearNeedsDisplay();
    if (!NSIsEmptyRect(area))
    {
      view->pushFocus(port, area);
      view->drawRect(area);
      AppKitRecords::AddPaint(view, area);
      NSView::popFocus(port);
      *painted = NSUnionRect(*painted, view->convertRectToView(area, nil));
    }
  }
  if (view->window() == window)
  {
    std::vector<NSView*> subviews = view->subviews();
    for (NSView* v : subviews) v->retain();
    for (NSView* v : subviews)
    {
      if (v->superview() == view) PaintView(window, v, port, painted);
    }
    for (NSView* v : subviews) v->release();
  }
  view->release();
}
}  // namespace

void NSWindow::display()
{
  CGContextRef port = backingContext();
  if (!port || !viewsNeedDisplay()) return;
  retain();  // a view's drawing may release the window
  NSAutoreleasePool* pool = new NSAutoreleasePool;
  NSRect painted = NSZeroRect;
  PaintView(this, mContentView, port, &painted);
  pool->drain();
  if (!NSIsEmptyRect(painted) && mBackend) mBackend->flush(this, painted);
  release();
}
