#pragma once
// The view side of controls: identifiers, the view tree, frames, the area that needs drawing, and
// conversion of points between windows, views and the screen.

#include <Carbon/Controls.h>
#include <Carbon/HIToolboxTypes.h>

struct HIViewID
{
  OSType signature;
  SInt32 id;
};
// The content view of a composited window: {'wind', 1}.
extern const HIViewID kHIViewWindowContentID;

// The root view (composited windows) or the root control (others, once made); null otherwise.
HIViewRef HIViewGetRoot(WindowRef inWindow);
// Searches inStartView and what it contains; errUnknownControl when nothing has the id.
OSStatus HIViewFindByID(HIViewRef inStartView, HIViewID inID, HIViewRef* outView);
// As EmbedControl(inNewChild, inParent).
OSStatus HIViewAddSubview(HIViewRef inParent, HIViewRef inNewChild);
// The frame is in the parent's coordinates (see Controls.h for non-composited windows). A change
// tells the view kEventControlBoundsChanged.
OSStatus HIViewSetFrame(HIViewRef inView, const HIRect* inRect);
OSStatus HIViewGetFrame(HIViewRef inView, HIRect* outRect);
// The view's own coordinates: origin 0, 0 and the frame's size.
OSStatus HIViewGetBounds(HIViewRef inView, HIRect* outRect);
// Adds inRect (view coordinates, clipped to the view; null: all of it) to the area the view must
// redraw; with inNeedsDisplay false, clears the area when inRect covers it.
OSStatus HIViewSetNeedsDisplayInRect(HIViewRef inView, const HIRect* inRect, Boolean inNeedsDisplay);
OSStatus HIViewSetNeedsDisplay(HIViewRef inView, Boolean inNeedsDisplay);

typedef UInt32 HICoordinateSpace;
enum : HICoordinateSpace
{
  kHICoordSpace72DPIGlobal = 1,  // global coordinates, y down (object: null)
  kHICoordSpaceScreenPixel = 2,  // the same: one point is one pixel
  kHICoordSpaceWindow = 3,       // origin at the top-left of the window's content, y down (object: a WindowRef)
  kHICoordSpaceView = 4          // origin at the view's top-left, y down (object: an HIViewRef)
};
// Leaves the point alone when an object is not a live window or view of the space.
void HIPointConvert(HIPoint* ioPoint, HICoordinateSpace inSourceSpace, void* inSourceObject,
                    HICoordinateSpace inDestinationSpace, void* inDestinationObject);
