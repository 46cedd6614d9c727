// Theme brushes as flat, opaque colours.

#include <Carbon/HITheme.h>

namespace
{
// 0xRRGGBB of each brush; 0 for one this theme does not know.
uint32_t BrushColor(ThemeBrush brush)
{
  switch (brush)
  {
    case kThemeBrushDialogBackgroundActive: return 0xE8E8E8;
    case kThemeBrushDialogBackgroundInactive: return 0xF0F0F0;
    default: return 0;
  }
}
}  // namespace

OSStatus HIThemeSetFill(ThemeBrush inBrush, void* inInfo, CGContextRef inContext, HIThemeOrientation inOrientation)
{
  (void)inInfo;
  (void)inOrientation;
  const uint32_t rgb = BrushColor(inBrush);
  if (!rgb || !inContext) return paramErr;
  CGContextSetRGBFillColor(inContext, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                           1);
  return noErr;
}
