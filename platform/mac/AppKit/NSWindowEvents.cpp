// Event routing: presses to the view under the pointer, which keeps that button's drags and release;
// moved and wheel events to the view under the pointer; keys to the first responder.

#include <AppKit/NSWindow.h>

namespace
{
bool IsMouseDown(NSEventType t)
{
  return t == NSLeftMouseDown || t == NSRightMouseDown || t == NSOtherMouseDown;
}

bool IsMouseUp(NSEventType t)
{
  return t == NSLeftMouseUp || t == NSRightMouseUp || t == NSOtherMouseUp;
}

bool IsMouseDragged(NSEventType t)
{
  return t == NSLeftMouseDragged || t == NSRightMouseDragged || t == NSOtherMouseDragged;
}

// The button a press, drag or release is of: 0 left, 1 right, 2 any other.
int ButtonOf(NSEventType t)
{
  switch (t)
  {
    case NSLeftMouseDown:
    case NSLeftMouseUp:
    case NSLeftMouseDragged: return 0;
    case NSRightMouseDown:
    case NSRightMouseUp:
    case NSRightMouseDragged: return 1;
    default: return 2;
  }
}
}  // namespace

void NSWindow::dispatchMouse(NSView* view, NSEvent* event)
{
  view->retain();
  switch (event->type())
  {
    case NSLeftMouseDown: view->mouseDown(event); break;
    case NSLeftMouseUp: view->mouseUp(event); break;
    case NSLeftMouseDragged: view->mouseDragged(event); break;
    case NSRightMouseDown: view->rightMouseDown(event); break;
    case NSRightMouseUp: view->rightMouseUp(event); break;
    case NSRightMouseDragged: view->rightMouseDragged(event); break;
    case NSOtherMouseDown: view->otherMouseDown(event); break;
    case NSOtherMouseUp: view->otherMouseUp(event); break;
    case NSOtherMouseDragged: view->otherMouseDragged(event); break;
    case NSMouseMoved: view->mouseMoved(event); break;
    case NSScrollWheel: view->scrollWheel(event); break;
    default: break;
  }
  view->release();
}

void NSWindow::sendEvent(NSEvent* event)
{
  if (!event) return;
  const NSEventType type = event->type();
  retain();  // a handler may release the window
  if (IsMouseDown(type))
  {
    NSView* hit = mContentView ? mContentView->hitTest(event->locationInWindow()) : nil;
    if (hit)
    {
      if (hit->acceptsFirstResponder()) makeFirstResponder(hit);
      NSView*& pressed = mMouseViews[ButtonOf(type)];
      hit->retain();
      if (pressed) pressed->release();
      pressed = hit;
      dispatchMouse(hit, event);
    }
  }
  else if (IsMouseDragged(type) || IsMouseUp(type))
  {
    // Each button's drags and release go to the view that took its press, whatever the other
    // buttons did meanwhile.
    NSView*& slot = mMouseViews[ButtonOf(type)];
    if (NSView* pressed = slot)
    {
      pressed->retain();
      if (IsMouseUp(type))
      {
        slot = nil;
        pressed->release();  // the press's reference; ours keeps it through the release
      }
      dispatchMouse(pressed, event);
      pressed->release();
    }
  }
  else if (type == NSMouseMoved || type == NSScrollWheel)
  {
    if (type == NSScrollWheel || mAcceptsMouseMoved)
    {
      NSView* hit = mContentView ? mContentView->hitTest(event->locationInWindow()) : nil;
      if (hit) dispatchMouse(hit, event);
    }
  }
  else if (type == NSKeyDown || type == NSKeyUp)
  {
    if (NSResponder* first = mFirstResponder)
    {
      first->retain();
      if (type == NSKeyDown)
        first->keyDown(event);
      else
        first->keyUp(event);
      first->release();
    }
  }
  release();
}
