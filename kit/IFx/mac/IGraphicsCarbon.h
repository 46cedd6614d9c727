#pragma once
// The editor as a user pane in a Carbon window, composited (HIView) or not (QuickDraw port): one
// event handler for the pane's control events and the window's mouse events, an event-loop timer
// that asks for repaints, and the drawing of the editor in the pane's draw event.

#include <Carbon/Carbon.h>

#include "IGraphicsStructs.h"

class IGraphicsMac;

class IGraphicsCarbon
{
public:
  IGraphicsCarbon(IGraphicsMac* pGraphicsMac, WindowRef pWindow, ControlRef pParentControl);
  // Removes the timer and both handlers before anything else, so no callback reaches the object
  // once it goes; then takes the pane out of the window and disposes of it, so a host that keeps
  // its window for every open is left with its own controls only.
  ~IGraphicsCarbon();

  IGraphicsCarbon(const IGraphicsCarbon&) = delete;
  IGraphicsCarbon& operator=(const IGraphicsCarbon&) = delete;

  ControlRef GetView() const { return mView; }
  // The CoreGraphics context of the draw event under way, else null.
  CGContextRef GetCGContext() const { return mCGC; }
  bool IsComposited() const { return mIsComposited; }
  void OffsetContentRect(CGRect* pR);
  // Sizes the window's content and the pane; false without a window or pane, for a size that does
  // not fit the window's 16-bit bounds (nothing changes then), or when the pane's frame cannot be set.
  bool Resize(int w, int h);
  // Whether the window's 16-bit bounds can take a content of w x h.
  bool SizeFits(int w, int h) const;

  static OSStatus CarbonEventHandler(EventHandlerCallRef pHandlerCall, EventRef pEvent, void* pGraphicsCarbon);
  static void CarbonTimerHandler(EventLoopTimerRef pTimer, void* pGraphicsCarbon);

private:
  OSStatus HandleMouseEvent(EventHandlerCallRef pHandlerCall, EventRef pEvent);
  void DrawPane(EventRef pEvent);

  IGraphicsMac* mGraphicsMac;
  // Tells this pane from a later one that happens to take its address.
  unsigned mSerial;
  bool mIsComposited = false;
  int mContentXOffset = 0, mContentYOffset = 0;
  RgnHandle mRgn = nullptr;
  WindowRef mWindow;
  ControlRef mView = nullptr;
  EventLoopTimerRef mTimer = nullptr;
  EventHandlerRef mControlHandler = nullptr;
  EventHandlerRef mWindowHandler = nullptr;
  CGContextRef mCGC = nullptr;
};

// Whether a pane can be w x h: control sizes are 16-bit.
bool CarbonPaneSizeFits(int w, int h);
// The window-bounds half of IGraphicsCarbon::Resize; false, with the window unchanged, for a size
// whose edges do not fit 16 bits or when the bounds cannot be read or set.
bool ResizeWindow(WindowRef pWindow, int w, int h);
// The bounds of the event's region as (left, top, right, bottom), or (0, 0, w, h) without one.
IRECT EventRegionRect(EventRef pEvent, int w, int h);
// (0, 0, width, height) of the event's current bounds when they are not empty, else (0, 0, w, h).
IRECT GetControlRect(EventRef pEvent, int w, int h);
