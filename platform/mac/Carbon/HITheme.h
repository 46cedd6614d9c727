#pragma once
// The appearance theme's colours: HIThemeSetFill sets a CoreGraphics context's fill colour to a
// theme brush's colour.

#include <Carbon/HIToolboxTypes.h>

typedef SInt16 ThemeBrush;
enum : ThemeBrush
{
  kThemeBrushDialogBackgroundActive = 1,
  kThemeBrushDialogBackgroundInactive = 2
};

typedef UInt32 HIThemeOrientation;
enum : HIThemeOrientation
{
  kHIThemeOrientationNormal = 0,
  kHIThemeOrientationInverted = 1
};

// inInfo is reserved (pass null); the orientation does not change a flat colour. paramErr, with
// the context left as it was, for a brush this theme does not know or a null context.
OSStatus HIThemeSetFill(ThemeBrush inBrush, void* inInfo, CGContextRef inContext, HIThemeOrientation inOrientation);
