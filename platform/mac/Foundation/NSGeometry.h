#pragma once
// Points, sizes and rectangles: the CoreGraphics records under their Foundation names.

#include <CoreGraphics/CoreGraphics.h>

#include <Foundation/NSObjCRuntime.h>

typedef CGPoint NSPoint;
typedef CGSize NSSize;
typedef CGRect NSRect;

inline NSPoint NSMakePoint(CGFloat x, CGFloat y) { return NSPoint{x, y}; }
inline NSSize NSMakeSize(CGFloat w, CGFloat h) { return NSSize{w, h}; }
inline NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h) { return NSRect{{x, y}, {w, h}}; }
extern const NSRect NSZeroRect;

inline CGFloat NSMinX(NSRect r) { return r.origin.x; }
inline CGFloat NSMinY(NSRect r) { return r.origin.y; }
inline CGFloat NSMaxX(NSRect r) { return r.origin.x + r.size.width; }
inline CGFloat NSMaxY(NSRect r) { return r.origin.y + r.size.height; }
inline CGFloat NSWidth(NSRect r) { return r.size.width; }
inline CGFloat NSHeight(NSRect r) { return r.size.height; }

// Empty: a width or height of zero or less (or not a number).
BOOL NSIsEmptyRect(NSRect r);
// Empty rectangles give NSZeroRect (intersection) or the other rectangle (union).
NSRect NSIntersectionRect(NSRect a, NSRect b);
NSRect NSUnionRect(NSRect a, NSRect b);
BOOL NSPointInRect(NSPoint p, NSRect r);  // min edges inside, max edges outside
BOOL NSContainsRect(NSRect outer, NSRect inner);
BOOL NSEqualRects(NSRect a, NSRect b);
