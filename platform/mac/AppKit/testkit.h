#pragma once
// What tests see and do in the AppKit subset: memory-backed windows, input events, the window's
// pixels, the text drawn, URLs opened, NSApplicationLoad calls. Each module that links the subset
// has its own copy. Coordinates given here are the window's base coordinates (origin at the
// bottom-left of the content, y up) unless a name says otherwise.

#include <string>
#include <vector>

#include <AppKit/AppKit.h>

namespace AppKitTestKit
{
// A memory-backed window of that content size; the caller owns the one reference.
NSWindow* NewWindow(int width, int height);

// Events sent with sendEvent: (made, sent, autoreleased into the current pool).
void MouseDown(NSWindow* window, double x, double y, NSUInteger modifierFlags = 0, NSInteger clickCount = 1);
void MouseUp(NSWindow* window, double x, double y, NSUInteger modifierFlags = 0, NSInteger clickCount = 1);
void MouseDragged(NSWindow* window, double x, double y, NSUInteger modifierFlags = 0);
void MouseMoved(NSWindow* window, double x, double y, NSUInteger modifierFlags = 0);
void RightMouseDown(NSWindow* window, double x, double y, NSUInteger modifierFlags = 0);
void RightMouseUp(NSWindow* window, double x, double y, NSUInteger modifierFlags = 0);
void ScrollWheel(NSWindow* window, double x, double y, double deltaY, double deltaX = 0, NSUInteger modifierFlags = 0);
void KeyDown(NSWindow* window, unsigned short keyCode, const char* characters, NSUInteger modifierFlags = 0);

// The backing store's pixels: rows of *rowBytes bytes, the top row first, bytes A, R, G, B.
const uint8_t* WindowPixels(NSWindow* window, int* width, int* height, int* rowBytes);

// Every drawWithRect: that drew (or tried to: `drawn` is false without a current context).
struct DrawnText
{
  std::string text;
  std::string fontName;    // as asked for
  std::string fontFamily;  // the installed face
  std::string fontFile;
  double pointSize = 0;
  double pixelSize = 0;    // the em size in device pixels
  NSRect rect = NSZeroRect;
  NSStringDrawingOptions options = 0;
  NSTextAlignment alignment = NSNaturalTextAlignment;
  CGFloat rgba[4] = {0, 0, 0, 1};
  bool antialias = true;
  bool flipped = false;
  bool drawn = false;
  KVText::Layout layout;   // glyph positions and line box, user space
};
const std::vector<DrawnText>& DrawnTexts();
void ClearDrawnTexts();

// Every view painted by a window's display, in order, with the rectangle given to drawRect:.
struct Paint
{
  const NSView* view;
  NSRect rect;
};
const std::vector<Paint>& Paints();
void ClearPaints();

const std::vector<std::string>& OpenedURLs();
void ClearOpenedURLs();
void SetOpenURLAnswer(BOOL answer);

int ApplicationLoadCount();
}  // namespace AppKitTestKit
