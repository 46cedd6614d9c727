#pragma once
// The responder chain: each event method passes the event to the next responder (a view's
// superview, the content view's window) unless a subclass takes it.

#include <AppKit/NSEvent.h>

class NSResponder : public NSObject
{
public:
  NSResponder* nextResponder() const { return mNextResponder; }
  void setNextResponder(NSResponder* next) { mNextResponder = next; }

  virtual BOOL acceptsFirstResponder() { return NO; }
  virtual BOOL becomeFirstResponder() { return YES; }
  virtual BOOL resignFirstResponder() { return YES; }

  virtual void mouseDown(NSEvent* event);
  virtual void mouseUp(NSEvent* event);
  virtual void mouseDragged(NSEvent* event);
  virtual void mouseMoved(NSEvent* event);
  virtual void rightMouseDown(NSEvent* event);
  virtual void rightMouseUp(NSEvent* event);
  virtual void rightMouseDragged(NSEvent* event);
  virtual void otherMouseDown(NSEvent* event);
  virtual void otherMouseUp(NSEvent* event);
  virtual void otherMouseDragged(NSEvent* event);
  virtual void scrollWheel(NSEvent* event);
  virtual void keyDown(NSEvent* event);
  virtual void keyUp(NSEvent* event);
  // Passes the command up the chain; at its end nothing happens.
  virtual void doCommandBySelector(SEL selector);
  const char* className() const override { return "NSResponder"; }

private:
  // Not retained, as on the platform.
  NSResponder* mNextResponder = nil;
};
