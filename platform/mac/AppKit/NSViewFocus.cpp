// Focus: the current graphics context set up for a view over its window's backing store, for the
// window's display and for lockFocus, with the thread's stack of locks.

#include <AppKit/NSView.h>

#include <vector>

#include <AppKit/NSGraphicsContext.h>
#include <AppKit/NSWindow.h>

namespace
{
struct FocusLock
{
  NSView* mView;       // retained
  CGContextRef mPort;  // retained; null for a lockFocus that could not draw
};

thread_local std::vector<FocusLock> tLocks;
}  // namespace

void NSView::pushFocus(CGContextRef port, NSRect clip)
{
  NSGraphicsContext* context = NSGraphicsContext::graphicsContextWithGraphicsPort(port, isFlipped());
  NSGraphicsContext::saveGraphicsState();
  NSGraphicsContext::setCurrentContext(context);
  CGContextSaveGState(port);
  const CGAffineTransform t = baseTransform();
  CGContextTranslateCTM(port, t.tx, t.ty);
  CGContextScaleCTM(port, 1, t.d);
  CGContextClipToRect(port, clip);
}

void NSView::popFocus(CGContextRef port)
{
  CGContextRestoreGState(port);
  NSGraphicsContext::restoreGraphicsState();
}

BOOL NSView::lockFocusIfCanDraw()
{
  CGContextRef port = mWindow ? mWindow->backingContext() : nullptr;
  const NSRect visible = visibleRect();
  if (!port || NSIsEmptyRect(visible)) return NO;
  retain();
  CGContextRetain(port);
  tLocks.push_back(FocusLock{this, port});
  pushFocus(port, visible);
  return YES;
}

void NSView::lockFocus()
{
  if (lockFocusIfCanDraw()) return;
  retain();
  tLocks.push_back(FocusLock{this, nullptr});
  NSGraphicsContext::saveGraphicsState();
  NSGraphicsContext::setCurrentContext(nil);
}

void NSView::unlockFocus()
{
  if (tLocks.empty() || tLocks.back().mView != this) return;
  const FocusLock lock = tLocks.back();
  tLocks.pop_back();
  if (lock.mPort)
  {
    popFocus(lock.mPort);
    CGContextRelease(lock.mPort);
  }
  else
  {
    NSGraphicsContext::restoreGraphicsState();
  }
  release();
}
