#pragma once
// What tests see and do in the Carbon stand-in: windows made in one call, input sent as the window
// would receive it, drawing as the window would ask for it, and readers of what the code under
// test did (pixels, frames, the area to redraw, calls, live handles).

#include <cstdint>
#include <string>
#include <vector>

#include <Carbon/Carbon.h>

namespace CarbonTestKit
{
// Where NewWindow puts the content's top-left corner, in global coordinates.
constexpr short kWindowLeft = 100;
constexpr short kWindowTop = 100;

// A document window with a content of w by h pixels at (kWindowLeft, kWindowTop), with the
// compositing attribute or without. Null when the size is not positive.
WindowRef NewWindow(int w, int h, bool composited);

// Input, sent to the window's event target. x and y are window coordinates (the content's top-left
// corner is 0, 0; y down). Mouse events carry kEventParamWindowMouseLocation,
// kEventParamMouseLocation, kEventParamKeyModifiers, and for down, up and dragged
// kEventParamMouseButton (primary) and, for down and up, kEventParamClickCount. Each answers the
// status the handler chain answered (eventNotHandledErr when no handler took the event).
OSStatus MouseDown(WindowRef w, double x, double y, UInt32 modifiers, UInt32 clickCount = 1);
OSStatus MouseUp(WindowRef w, double x, double y, UInt32 modifiers, UInt32 clickCount = 1);
OSStatus MouseMoved(WindowRef w, double x, double y, UInt32 modifiers);
OSStatus MouseDragged(WindowRef w, double x, double y, UInt32 modifiers);
// A down then an up at the same place: noErr when both were taken, else the first other answer.
OSStatus Click(WindowRef w, double x, double y, UInt32 modifiers, UInt32 clickCount = 1);
OSStatus Wheel(WindowRef w, double x, double y, UInt32 modifiers, UInt16 axis, SInt32 delta);
// kEventRawKeyDown (Key) and kEventRawKeyUp with kEventParamKeyCode and kEventParamKeyModifiers.
OSStatus Key(WindowRef w, UInt32 keyCode, UInt32 modifiers);
OSStatus KeyUp(WindowRef w, UInt32 keyCode, UInt32 modifiers);

// Sends kEventControlDraw to the control as its window would, with kEventParamDirectObject (the
// control) and:
//   composited windows: kEventParamCGContextRef, a context over the window's backing store whose
//     transformation maps the view's coordinates (origin at its top-left, y down) onto it, clipped
//     to the view's frame (within its parents and the window) and to the region; the region is in
//     view coordinates;
//   other windows: kEventParamGrafPort, the window's port; the region is in window coordinates.
// With a region, kEventParamRgnHandle holds it. Answers what the handler chain answered.
OSStatus Draw(ControlRef control, const Rect* regionOrNull);
// Composited windows: draws every view with an area to redraw (the region is that area), which is
// cleared first. Answers how many views were drawn; 0 for other windows.
int Update(WindowRef w);

// The backing store: rows of *rowBytes bytes, top row first, pixels A, R, G, B. Null for an
// unknown window.
const uint8_t* WindowPixels(WindowRef w, int* width, int* height, int* rowBytes);
// The pixel at window coordinates (x, y) as 0xAARRGGBB; 0 outside or for an unknown window.
uint32_t WindowPixel(WindowRef w, int x, int y);

// The area the view must redraw (view coordinates); false, with an empty rectangle, when none.
bool NeedsDisplayRect(ControlRef control, HIRect* outRect);

// What the last CreateUserPaneControl call was given (made: whether it made a control).
struct UserPaneRequest
{
  bool made;
  UInt32 features;
  Rect bounds;
};
UserPaneRequest LastUserPane();

// A control's frame (see Controls.h for its coordinates), its parent (null for a root or a
// top-level control) and whether it is inside another control.
HIRect Frame(ControlRef control);
ControlRef Parent(ControlRef control);
bool IsEmbedded(ControlRef control);

// Handles made and not yet disposed or released.
struct LiveCounts
{
  int windows;
  int controls;
  int handlers;
  int timers;
  int events;
  int regions;
};
LiveCounts Live();

// Calls the code under test made, one line each: "UpdateControls all", "UpdateControls 0 0 10 20"
// (the region's top, left, bottom, right), "SizeControl 300 200", "CreateUserPaneControl 0 0 200
// 300 features=0x2", "EmbedControl", "HIViewAddSubview", "HIViewSetFrame x y w h",
// "CreateRootControl", "SetWindowBounds 32|33 top left bottom right", "DisposeControl",
// "DisposeWindow", "InstallEventLoopTimer delay interval", "RemoveEventLoopTimer".
std::vector<std::string> Calls();
void ClearCalls();
}  // namespace CarbonTestKit
