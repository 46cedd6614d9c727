#pragma once
// Windows: a content view on a backing store (see NSWindowBackend.h), a first responder, and the
// routing of events to views. A window made by its maker is released by its maker; releasing it
// takes its content view out (the view is released) and frees the backing store.

#include <AppKit/NSView.h>
#include <AppKit/NSWindowBackend.h>

enum : NSUInteger
{
  NSBorderlessWindowMask = 0,
  NSTitledWindowMask = 1 << 0,
  NSClosableWindowMask = 1 << 1,
  NSMiniaturizableWindowMask = 1 << 2,
  NSResizableWindowMask = 1 << 3
};

typedef NSUInteger NSBackingStoreType;
enum : NSBackingStoreType
{
  NSBackingStoreRetained = 0,
  NSBackingStoreNonretained = 1,
  NSBackingStoreBuffered = 2
};

class NSWindow : public NSResponder
{
public:
  // A memory-backed window whose content has the rectangle's size; the window gets a plain content
  // view of that size. nil (and the window freed) when the backing store cannot be made.
  NSWindow* initWithContentRect(NSRect contentRect, NSUInteger styleMask, NSBackingStoreType backing, BOOL defer);
  // The same over another backend, which the window then owns.
  NSWindow* initWithContentRect(NSRect contentRect, NSWindowBackend* backend);

  NSView* contentView() const { return mContentView; }
  // Retains the view (releasing the old one) and makes it fill the content.
  void setContentView(NSView* view);
  NSSize contentSize() const { return mContentSize; }
  // Resizes the content and the backing store (the content view follows, and every view needs
  // display). A size the backing store cannot take leaves everything as it was.
  void setContentSize(NSSize size);
  NSInteger windowNumber() const { return mWindowNumber; }

  NSResponder* firstResponder() const { return mFirstResponder; }
  // nil makes the window itself first responder; a responder that refuses leaves it as it was.
  BOOL makeFirstResponder(NSResponder* responder);
  void setAcceptsMouseMovedEvents(BOOL accepts) { mAcceptsMouseMoved = accepts; }
  BOOL acceptsMouseMovedEvents() const { return mAcceptsMouseMoved; }

  // Paints every view that needs it, parents before children, each with the current graphics
  // context over the backing store in the view's coordinates, clipped to the view's area to paint
  // and its visible rectangle, then flushes the backend with the union of what was painted (base
  // coordinates). A view's area is cleared just before its drawRect:, so a view that asks for more
  // painting while it draws gets it next time. Does nothing when no view needs it.
  void display();
  BOOL viewsNeedDisplay() const;

  // Routes an event: a mouse-down goes to the view under the pointer (which then takes every
  // drag and the mouse-up until the buttons are released), a moved event to the view under the
  // pointer when the window accepts moved events, a wheel event to the view under the pointer,
  // key events to the first responder.
  virtual void sendEvent(NSEvent* event);

  NSWindowBackend* backend() const { return mBackend; }
  CGContextRef backingContext() const { return mBackend ? mBackend->backingContext() : nullptr; }
  // The window of that number, while it lives; else nil.
  static NSWindow* windowWithNumber(NSInteger number);
  const char* className() const override { return "NSWindow"; }

  // ----- For the views -----
  // The view and its subviews are leaving this window: a first responder among them gives way to
  // the window, and a press they hold is let go.
  void viewWillLeaveWindow(NSView* view);

protected:
  ~NSWindow() override;

private:
  // Pumps the backend's events and displays what needs it, for each window of the calling thread.
  static void DisplayThreadWindows();
  void dispatchMouse(NSView* view, NSEvent* event);
  NSView* mContentView = nil;
  NSResponder* mFirstResponder = nil;  // not retained
  // Per button (left, right, other): the view that took its press, retained while pressed.
  NSView* mMouseViews[3] = {nil, nil, nil};
  NSWindowBackend* mBackend = nullptr;
  NSSize mContentSize{0, 0};
  NSInteger mWindowNumber = 0;
  BOOL mAcceptsMouseMoved = NO;
};
