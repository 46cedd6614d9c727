#pragma once
// QuickDraw as far as windows need it: rectangles, rectangular regions, and ports, each port over
// the pixels of its window, with a CoreGraphics context to draw there.

#include <Carbon/HIToolboxTypes.h>

struct Rect
{
  short top, left, bottom, right;
};

typedef struct OpaqueGrafPtr* GrafPtr;
typedef GrafPtr CGrafPtr;
typedef struct OpaqueRgnHandle* RgnHandle;

// Regions are rectangles. A rectangle with no area makes an empty region (bounds all 0).
RgnHandle NewRgn(void);
void DisposeRgn(RgnHandle rgn);
void RectRgn(RgnHandle rgn, const Rect* r);
void SetEmptyRgn(RgnHandle rgn);
// Writes the bounds (all 0 for an empty or unknown region) and returns outBounds.
Rect* GetRegionBounds(RgnHandle rgn, Rect* outBounds);
// True for an empty or unknown region.
Boolean EmptyRgn(RgnHandle rgn);

// A bitmap context over the port's window pixels with the identity transformation: its origin is
// the bottom-left corner of the window's content, y up. Contexts stay valid until QDEndCGContext
// (or until the window goes), even when the window is resized meanwhile.
OSStatus QDBeginCGContext(CGrafPtr inPort, CGContextRef* outContext);
// Releases a context QDBeginCGContext made for this port and clears *inoutContext.
OSStatus QDEndCGContext(CGrafPtr inPort, CGContextRef* inoutContext);
