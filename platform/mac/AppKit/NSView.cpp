// Views: the tree, its windows and the area each view needs painted.

#include <AppKit/NSView.h>

#include <algorithm>

#include <AppKit/NSWindow.h>

NSView::~NSView()
{
  std::vector<NSView*> subviews;
  subviews.swap(mSubviews);
  for (NSView* v : subviews)
  {
    v->mSuperview = nil;
    v->setNextResponder(nil);
    v->release();
  }
}

NSView* NSView::initWithFrame(NSRect frame)
{
  mFrame = frame;
  return this;
}

void NSView::setFrame(NSRect frame)
{
  setFrameOrigin(frame.origin);
  setFrameSize(frame.size);
}

void NSView::setFrameSize(NSSize size)
{
  mFrame.size = size;
  mNeedsDisplayRect = NSIntersectionRect(mNeedsDisplayRect, bounds());
}

void NSView::setFrameOrigin(NSPoint origin)
{
  mFrame.origin = origin;
}

BOOL NSView::isDescendantOf(const NSView* view) const
{
  for (const NSView* v = this; v; v = v->mSuperview)
  {
    if (v == view) return YES;
  }
  return NO;
}

void NSView::addSubview(NSView* view)
{
  if (!view || isDescendantOf(view)) return;  // itself or an ancestor: no cycles
  if (view->mSuperview == this)
  {
    // Already here: on top of the others.
    auto it = std::find(mSubviews.begin(), mSubviews.end(), view);
    if (it != mSubviews.end()) mSubviews.erase(it);
    mSubviews.push_back(view);
    return;
  }
  const bool windowChanges = view->mWindow != mWindow;
  if (windowChanges) view->beginWindowChange(mWindow);
  if (NSView* old = view->mSuperview)
  {
    // The old superview's reference becomes this one's.
    auto it = std::find(old->mSubviews.begin(), old->mSubviews.end(), view);
    if (it != old->mSubviews.end()) old->mSubviews.erase(it);
  }
  else
  {
    view->retain();
  }
  view->mSuperview = this;
  view->setNextResponder(this);
  mSubviews.push_back(view);
  if (windowChanges) view->endWindowChange(mWindow);
  didAddSubview(view);
}

void NSView::removeFromSuperview()
{
  NSView* superview = mSuperview;
  if (!superview) return;
  superview->willRemoveSubview(this);
  const bool hadWindow = mWindow != nil;
  if (hadWindow) beginWindowChange(nil);
  auto it = std::find(superview->mSubviews.begin(), superview->mSubviews.end(), this);
  if (it != superview->mSubviews.end()) superview->mSubviews.erase(it);
  mSuperview = nil;
  setNextResponder(nil);
  if (hadWindow) endWindowChange(nil);
  release();  // the superview's reference; this view may be gone now
}

void NSView::setWindowRecursively(NSWindow* window)
{
  if (window == mWindow) return;
  beginWindowChange(window);
  endWindowChange(window);
}

void NSView::beginWindowChange(NSWindow* newWindow)
{
  if (mWindow) mWindow->viewWillLeaveWindow(this);
  willMoveRecursively(newWindow);
}

void NSView::endWindowChange(NSWindow* newWindow)
{
  assignWindowRecursively(newWindow);
  didMoveRecursively();
}

void NSView::willMoveRecursively(NSWindow* newWindow)
{
  viewWillMoveToWindow(newWindow);
  const std::vector<NSView*> subviews = mSubviews;
  for (NSView* v : subviews) v->willMoveRecursively(newWindow);
}

void NSView::assignWindowRecursively(NSWindow* newWindow)
{
  mWindow = newWindow;
  if (newWindow) mNeedsDisplayRect = NSIsEmptyRect(bounds()) ? NSZeroRect : bounds();
  for (NSView* v : mSubviews) v->assignWindowRecursively(newWindow);
}

void NSView::didMoveRecursively()
{
  const std::vector<NSView*> subviews = mSubviews;
  viewDidMoveToWindow();
  for (NSView* v : subviews)
  {
    if (v->mSuperview == this) v->didMoveRecursively();
  }
}

void NSView::setNeedsDisplay(BOOL flag)
{
  if (flag)
    setNeedsDisplayInRect(bounds());
  else
    mNeedsDisplayRect = NSZeroRect;
}

void NSView::setNeedsDisplayInRect(NSRect rect)
{
  const NSRect area = NSIntersectionRect(rect, bounds());
  if (NSIsEmptyRect(area)) return;
  mNeedsDisplayRect = NSUnionRect(mNeedsDisplayRect, area);
}

void NSView::setSubtreeNeedsDisplay()
{
  mNeedsDisplayRect = NSIsEmptyRect(bounds()) ? NSZeroRect : bounds();
  for (NSView* v : mSubviews) v->setSubtreeNeedsDisplay();
}
