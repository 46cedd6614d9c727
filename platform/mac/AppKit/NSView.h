#pragma once
// Views: a tree of rectangles in a window. A view's frame is in its superview's coordinates, its
// bounds (origin 0, 0, the frame's size) in its own. Unflipped views (the default) have their
// origin at the bottom-left corner and y upwards; a flipped view has its origin at the top-left
// and y downwards. The window's content view sits in the window's base coordinates (bottom-left
// of the content, y up).
//
// A superview retains its subviews. setNeedsDisplayInRect: collects the area to paint; the
// window's display then calls drawRect: of each view that needs it, with the current graphics
// context drawing into the window's backing store in the view's coordinates, clipped to the area.

#include <vector>

#include <AppKit/NSResponder.h>

class NSWindow;

class NSView : public NSResponder
{
public:
  NSView() = default;
  virtual NSView* initWithFrame(NSRect frame);
  NSView* init() override { return initWithFrame(NSZeroRect); }

  NSRect frame() const { return mFrame; }
  NSRect bounds() const { return NSMakeRect(0, 0, mFrame.size.width, mFrame.size.height); }
  virtual void setFrame(NSRect frame);
  virtual void setFrameSize(NSSize size);
  virtual void setFrameOrigin(NSPoint origin);

  NSView* superview() const { return mSuperview; }
  const std::vector<NSView*>& subviews() const { return mSubviews; }
  NSWindow* window() const { return mWindow; }
  BOOL isDescendantOf(const NSView* view) const;

  // Retains the view and puts it on top of the others; a view in another superview leaves that
  // first. The view and its subviews are told viewDidMoveToWindow when their window changes, and
  // need display in their whole bounds when they move into a window.
  void addSubview(NSView* view);
  // Leaves the superview, which drops its reference: the view may be freed by the time this
  // returns, so subclasses that extend it do their own work first.
  virtual void removeFromSuperview();
  // Told after a subview joined this view, and before one leaves it.
  virtual void didAddSubview(NSView* subview) { (void)subview; }
  virtual void willRemoveSubview(NSView* subview) { (void)subview; }
  virtual void viewWillMoveToWindow(NSWindow* newWindow) { (void)newWindow; }
  virtual void viewDidMoveToWindow() {}

  virtual BOOL isFlipped() const { return NO; }
  virtual BOOL isOpaque() { return NO; }
  virtual BOOL acceptsFirstMouse(NSEvent* event) { (void)event; return NO; }
  virtual void drawRect(NSRect dirtyRect) { (void)dirtyRect; }

  void setNeedsDisplay(BOOL flag);
  // Adds the rectangle (view coordinates, clipped to the bounds) to the area to paint.
  void setNeedsDisplayInRect(NSRect rect);
  BOOL needsDisplay() const { return !NSIsEmptyRect(mNeedsDisplayRect); }
  // The area to paint, empty when none.
  NSRect needsDisplayRect() const { return mNeedsDisplayRect; }
  // The part of the bounds not clipped away by the superviews or the window's content.
  NSRect visibleRect() const;

  // Drawing outside the window's display. When the view is in a window with a backing store and
  // shows some of itself (there is no hidden state: a view whose visible rectangle is empty
  // cannot draw), makes a new current graphics context over the backing store set up as display
  // sets it up for drawRect: (the view's coordinates, flipped when the view is, clipped to the
  // visible rectangle), saving the current one; unlockFocus puts it back, and locks nest. The
  // view is retained while locked. NO, changing nothing, when the view cannot draw. Nothing is
  // flushed to the backend.
  BOOL lockFocusIfCanDraw();
  // The same; a view that cannot draw has no current context until its unlockFocus.
  void lockFocus();
  // Ends the thread's latest lock when it is this view's; otherwise does nothing.
  void unlockFocus();

  // From the coordinates of another view of the same window, or from the window's base
  // coordinates when the view is nil (and the other way with toView).
  NSPoint convertPoint(NSPoint point, const NSView* fromView) const;
  NSPoint convertPointToView(NSPoint point, const NSView* toView) const;
  NSRect convertRect(NSRect rect, const NSView* fromView) const;
  NSRect convertRectToView(NSRect rect, const NSView* toView) const;

  // The deepest view under the point, given in the superview's coordinates (this view, or nil
  // when the point is outside it).
  virtual NSView* hitTest(NSPoint pointInSuperview);

  const char* className() const override { return "NSView"; }

  // ----- For the window -----
  void clearNeedsDisplay() { mNeedsDisplayRect = NSZeroRect; }
  // Sets the window of this view and its subviews (the content view: its window; nil: none),
  // telling each viewWillMoveToWindow before and viewDidMoveToWindow after. A view that moves
  // into a window needs display in its whole bounds.
  void setWindowRecursively(NSWindow* window);
  // This view and every view below it need display in their whole bounds.
  void setSubtreeNeedsDisplay();
  // The mapping from this view's coordinates to the window's base coordinates (for a view outside
  // any window: to the coordinates its top ancestor's frame is in): a translation, and a y flip
  // when the view is flipped (a = 1, b = c = 0, d = 1 or -1).
  CGAffineTransform baseTransform() const;
  // Makes a new current graphics context over the port in this view's coordinates (flipped
  // when the view is), clipped to `clip` (view coordinates), saving the current context and the
  // port's state; popFocus puts both back. The window's display and lockFocus draw this way.
  void pushFocus(CGContextRef port, NSRect clip);
  static void popFocus(CGContextRef port);

protected:
  // Releases the subviews.
  ~NSView() override;

private:
  // The two halves of a window change: the old window lets go and the views are told they will
  // move; then the window is set and they are told they did.
  void beginWindowChange(NSWindow* newWindow);
  void endWindowChange(NSWindow* newWindow);
  void willMoveRecursively(NSWindow* newWindow);
  void assignWindowRecursively(NSWindow* newWindow);
  void didMoveRecursively();

  NSRect mFrame = NSZeroRect;
  NSRect mNeedsDisplayRect = NSZeroRect;
  NSView* mSuperview = nil;  // not retained
  NSWindow* mWindow = nil;   // not retained
  std::vector<NSView*> mSubviews;
};
