// The X11 window backend's input: every event waiting on the connection, exposures gathered into
// one copy from the backing store, motion compressed to the latest position, buttons and the
// wheel turned into NSEvents with the editor's modifiers and click counts.

#include <algorithm>
#include <cstdlib>

#include <AppKit/NSWindow.h>

#include "NSX11Backend.h"

namespace
{
// The pointer's buttons as X numbers them.
enum : int
{
  kButtonLeft = 1,
  kButtonMiddle = 2,
  kButtonRight = 3,
  kWheelUp = 4,
  kWheelDown = 5,
  kWheelLeft = 6,
  kWheelRight = 7
};

// The right button stands for the editor's right-button bit; the command key has no X key.
constexpr NSUInteger kRightButtonFlag = 0x8;
// Presses closer than this in time and space count as one multiple click.
constexpr xcb_timestamp_t kDoubleClickMs = 400;
constexpr int kDoubleClickPixels = 4;

NSUInteger ModifierFlags(uint16_t state)
{
  NSUInteger flags = 0;
  if (state & XCB_MOD_MASK_SHIFT) flags |= NSShiftKeyMask;
  if (state & XCB_MOD_MASK_CONTROL) flags |= NSControlKeyMask;
  if (state & XCB_MOD_MASK_1) flags |= NSAlternateKeyMask;
  if (state & XCB_MOD_MASK_LOCK) flags |= NSAlphaShiftKeyMask;
  return flags;
}

// A rectangle gathered from exposures, in window coordinates.
struct Area
{
  int l = 0, t = 0, r = 0, b = 0;
  bool empty = true;
  void Add(int x, int y, int w, int h)
  {
    if (empty) { l = x; t = y; r = x + w; b = y + h; empty = false; return; }
    l = std::min(l, x);
    t = std::min(t, y);
    r = std::max(r, x + w);
    b = std::max(b, y + h);
  }
};
}  // namespace

void NSX11Backend::pumpEvents(NSWindow* window)
{
  if (!IsLive()) return;
  if (xcb_connection_has_error(mConn))
  {
    mDead = true;
    return;
  }
  Area exposed;
  // The latest motion not yet delivered: delivered before anything else, and only once.
  bool motion = false;
  int motionX = 0, motionY = 0;
  uint16_t motionState = 0;
  xcb_timestamp_t motionTime = 0;
  const NSInteger number = window->windowNumber();
  auto base = [&](int x, int y) { return NSMakePoint(x, mHeight - y); };
  auto deliverMotion = [&]() {
    if (!motion) return;
    motion = false;
    const NSEventType type = mPressed ? NSLeftMouseDragged : NSMouseMoved;
    NSUInteger flags = ModifierFlags(motionState) | (mPressed && mPressButton == kButtonRight ? kRightButtonFlag : 0);
    window->sendEvent(NSEvent::mouseEventWithType(type, base(motionX, motionY), flags, motionTime / 1000.0, number, nil,
                                                  0, 0, 0));
  };

  std::vector<xcb_generic_event_t*> queued;
  queued.swap(mQueued);
  size_t next = 0;
  auto nextEvent = [&]() -> xcb_generic_event_t* {
    if (next < queued.size()) return queued[next++];
    return xcb_poll_for_event(mConn);
  };
  while (xcb_generic_event_t* ev = nextEvent())
  {
    if ((ev->response_type & 0x7f) == mShmCompletion && mShmCompletion) mShmPending = false;
    switch (ev->response_type & 0x7f)
    {
      case 0:  // an error of a request of ours: nothing to do about it here
        break;
      case XCB_EXPOSE:
      {
        const xcb_expose_event_t* e = (const xcb_expose_event_t*)ev;
        if (e->window == mWindow) exposed.Add(e->x, e->y, e->width, e->height);
        break;
      }
      case XCB_CONFIGURE_NOTIFY:
      {
        const xcb_configure_notify_event_t* e = (const xcb_configure_notify_event_t*)ev;
        if (e->window == mWindow)
        {
          mWindowW = e->width;
          mWindowH = e->height;
        }
        break;
      }
      case XCB_DESTROY_NOTIFY:
        if (((const xcb_destroy_notify_event_t*)ev)->window == mWindow) mDead = true;
        break;
      case XCB_MOTION_NOTIFY:
      {
        const xcb_motion_notify_event_t* e = (const xcb_motion_notify_event_t*)ev;
        motion = true;
        motionX = e->event_x;
        motionY = e->event_y;
        motionState = e->state;
        motionTime = e->time;
        break;
      }
      case XCB_BUTTON_PRESS:
      case XCB_BUTTON_RELEASE:
      {
        deliverMotion();
        const xcb_button_press_event_t* e = (const xcb_button_press_event_t*)ev;
        const bool press = (ev->response_type & 0x7f) == XCB_BUTTON_PRESS;
        const int button = e->detail;
        NSUInteger flags = ModifierFlags(e->state);
        if (button >= kWheelUp && button <= kWheelRight)
        {
          if (press)
          {
            const double dy = button == kWheelUp ? 1.0 : (button == kWheelDown ? -1.0 : 0.0);
            const double dx = button == kWheelLeft ? 1.0 : (button == kWheelRight ? -1.0 : 0.0);
            window->sendEvent(NSEvent::scrollWheelEventWithLocation(base(e->event_x, e->event_y), flags, e->time / 1000.0,
                                                                    number, dx, dy));
          }
          break;
        }
        if (button != kButtonLeft && button != kButtonRight) break;
        if (button == kButtonRight) flags |= kRightButtonFlag;
        if (press)
        {
          const bool again = button == mLastPressButton && (xcb_timestamp_t)(e->time - mLastPressTime) <= kDoubleClickMs &&
                             std::abs(e->event_x - mLastPressX) <= kDoubleClickPixels &&
                             std::abs(e->event_y - mLastPressY) <= kDoubleClickPixels;
          mClickCount = again ? mClickCount + 1 : 1;
          mLastPressTime = e->time;
          mLastPressX = e->event_x;
          mLastPressY = e->event_y;
          mLastPressButton = button;
          mPressed = true;
          mPressButton = button;
          window->sendEvent(NSEvent::mouseEventWithType(NSLeftMouseDown, base(e->event_x, e->event_y), flags,
                                                        e->time / 1000.0, number, nil, 0, mClickCount, 1));
        }
        else if (mPressed && button == mPressButton)
        {
          mPressed = false;
          window->sendEvent(NSEvent::mouseEventWithType(NSLeftMouseUp, base(e->event_x, e->event_y), flags,
                                                        e->time / 1000.0, number, nil, 0, mClickCount, 0));
        }
        break;
      }
      default:
        break;
    }
    free(ev);
    if (!IsLive()) break;
  }
  for (; next < queued.size(); ++next) free(queued[next]);
  deliverMotion();
  // What the server lost is in the backing store still.
  if (!exposed.empty) Copy(exposed.l, exposed.t, exposed.r - exposed.l, exposed.b - exposed.t);
}
