#pragma once
// Controls (which are views): a frame, children, an event target, features and an owner window.
// In composited windows a frame is in its parent's coordinates; in other windows every control's
// frame is in window coordinates (the content's top-left corner is 0, 0; y down), as QuickDraw has it.

#include <Carbon/CarbonEvents.h>
#include <Carbon/HIToolboxTypes.h>
#include <Carbon/QuickDraw.h>

enum
{
  errUnknownControl = -30584,
  errControlIsNotEmbedder = -30590,
  errRootAlreadyExists = -30595,
  errNoRootControl = -30600
};

// User pane features.
enum : UInt32
{
  kControlSupportsGhosting = 1u << 0,
  kControlSupportsEmbedding = 1u << 1,
  kControlSupportsFocus = 1u << 2,
  kControlWantsIdle = 1u << 3,
  kControlWantsActivate = 1u << 4,
  kControlHandlesTracking = 1u << 5,
  kControlSupportsDataAccess = 1u << 6,
  kControlHasSpecialBackground = 1u << 7,
  kControlGetsFocusOnClick = 1u << 8,
  kControlSupportsCalcBestRect = 1u << 9,
  kControlSupportsLiveFeedback = 1u << 10,
  kControlHasRadioBehavior = 1u << 11,
  kControlSupportsDragAndDrop = 1u << 12,
  kControlAutoToggles = 1u << 14,
  kControlSupportsGetRegion = 1u << 17,
  kControlSupportsFlattening = 1u << 19,
  kControlSupportsSetCursor = 1u << 20,
  kControlSupportsContextualMenus = 1u << 21,
  kControlSupportsClickActivation = 1u << 22,
  kControlIdlesWithTimer = 1u << 23
};

// A user pane in the window's content view (composited windows) or root control (others; a
// top-level control until there is one). boundsRect is in window coordinates.
OSStatus CreateUserPaneControl(WindowRef window, const Rect* boundsRect, UInt32 features, ControlRef* outControl);
// errNoRootControl for a window without one (a non-composited window before CreateRootControl).
OSErr GetRootControl(WindowRef window, ControlRef* outControl);
// Makes the root control of a non-composited window, filling the content; the window's top-level
// controls move into it. errRootAlreadyExists (with the root in *outControl) when there is one.
OSErr CreateRootControl(WindowRef window, ControlRef* outControl);
// Moves the control into the container (same window; not into itself or one of its own). The
// frame keeps its numbers.
OSErr EmbedControl(ControlRef inControl, ControlRef inContainer);
// Disposes the control and what it contains, each told kEventControlDispose first.
void DisposeControl(ControlRef theControl);
// Keeps the frame's origin; tells the control kEventControlBoundsChanged when its size changed.
void SizeControl(ControlRef theControl, SInt16 w, SInt16 h);
// The frame as a QuickDraw rectangle (in the coordinates of the frame, as above).
Rect* GetControlBounds(ControlRef control, Rect* outBounds);
// Sends kEventControlDraw to every control of the window that meets the region (window
// coordinates), or to all for a null region; parents before their children.
void UpdateControls(WindowRef window, RgnHandle inUpdateRegion);
WindowRef GetControlOwner(ControlRef control);
