#pragma once
// Windows: a content rectangle in global coordinates (y down), a backing store of the content's
// size (32-bit pixels, bytes A, R, G, B, rows top first), a port over it, an event target and a
// root view. Composited windows have a root view whose content view child fills the content;
// other windows have no root control until CreateRootControl.

#include <Carbon/HIToolboxTypes.h>
#include <Carbon/QuickDraw.h>

typedef UInt32 WindowClass;
enum : WindowClass
{
  kAlertWindowClass = 1,
  kMovableAlertWindowClass = 2,
  kModalWindowClass = 3,
  kMovableModalWindowClass = 4,
  kFloatingWindowClass = 5,
  kDocumentWindowClass = 6,
  kUtilityWindowClass = 8,
  kHelpWindowClass = 10,
  kSheetWindowClass = 11,
  kToolbarWindowClass = 12,
  kPlainWindowClass = 13,
  kOverlayWindowClass = 14
};

typedef UInt32 WindowAttributes;
enum : WindowAttributes
{
  kWindowNoAttributes = 0,
  kWindowCloseBoxAttribute = 1u << 0,
  kWindowHorizontalZoomAttribute = 1u << 1,
  kWindowVerticalZoomAttribute = 1u << 2,
  kWindowFullZoomAttribute = kWindowHorizontalZoomAttribute | kWindowVerticalZoomAttribute,
  kWindowCollapseBoxAttribute = 1u << 3,
  kWindowResizableAttribute = 1u << 4,
  kWindowSideTitlebarAttribute = 1u << 5,
  kWindowNoUpdatesAttribute = 1u << 16,
  kWindowNoActivatesAttribute = 1u << 17,
  kWindowCompositingAttribute = 1u << 19,
  kWindowStandardHandlerAttribute = 1u << 25,
  kWindowStandardDocumentAttributes =
    kWindowCloseBoxAttribute | kWindowFullZoomAttribute | kWindowCollapseBoxAttribute | kWindowResizableAttribute
};

// The structure region is the content with the title bar above it (document windows have one
// of kWindowTitleBarHeight pixels, other classes none).
typedef UInt16 WindowRegionCode;
enum : WindowRegionCode
{
  kWindowStructureRgn = 32,
  kWindowContentRgn = 33
};
enum { kWindowTitleBarHeight = 22 };

OSStatus CreateNewWindow(WindowClass windowClass, WindowAttributes attributes, const Rect* contentBounds,
                         WindowRef* outWindow);
// Disposes the window's controls (each told kEventControlDispose first), their handlers and the
// window's, and its port. Nothing is called back after it returns.
void DisposeWindow(WindowRef window);
// Answers from the registry of live windows: any pointer may be asked about.
Boolean IsValidWindowPtr(WindowRef possibleWindow);

OSStatus GetWindowAttributes(WindowRef window, WindowAttributes* outAttributes);
OSStatus GetWindowClass(WindowRef window, WindowClass* outClass);
OSStatus GetWindowBounds(WindowRef window, WindowRegionCode regionCode, Rect* globalBounds);
// A new content size gives the window a backing store of that size (what fits of the old pixels
// is kept) and resizes the root and content views.
OSStatus SetWindowBounds(WindowRef window, WindowRegionCode regionCode, const Rect* globalBounds);
CGrafPtr GetWindowPort(WindowRef window);
