#pragma once
// Painting a context's current path (device space) into its bitmap: cairo renders the coverage,
// pixman blends the fill or stroke colour through it. Shared by the path calls.

#include "CGRecords.h"

namespace CGPathRender
{
// Device coordinates a path may use (2^21 pixels), within cairo's fixed-point range with room
// for the pen and the offsets of its tiles.
constexpr CGFloat kCoordLimit = 2097152.0;

enum EPaint
{
  kFill,    // non-zero winding
  kEOFill,  // even-odd
  kStroke   // line width, cap and join of the graphics state, through the CTM
};

// Paints `path` (not spoilt) inside the clip with the context's state; leaves the path as it is.
void Paint(CGContextRef c, const CGRecords::Path& path, EPaint paint);
}  // namespace CGPathRender
