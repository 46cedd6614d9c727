// The responder chain: every event method hands the event to the next responder.

#include <AppKit/NSResponder.h>

#define KV_FORWARD(method)                                  \
  void NSResponder::method(NSEvent* event)                  \
  {                                                         \
    if (mNextResponder) mNextResponder->method(event);      \
  }

KV_FORWARD(mouseDown)
KV_FORWARD(mouseUp)
KV_FORWARD(mouseDragged)
KV_FORWARD(mouseMoved)
KV_FORWARD(rightMouseDown)
KV_FORWARD(rightMouseUp)
KV_FORWARD(rightMouseDragged)
KV_FORWARD(otherMouseDown)
KV_FORWARD(otherMouseUp)
KV_FORWARD(otherMouseDragged)
KV_FORWARD(scrollWheel)
KV_FORWARD(keyDown)
KV_FORWARD(keyUp)

#undef KV_FORWARD

void NSResponder::doCommandBySelector(SEL selector)
{
  if (mNextResponder) mNextResponder->doCommandBySelector(selector);
}
