#include "CarbonFixture.h"

namespace
{
using ThemeTest = CarbonTest;

// A 2 x 2 window-format bitmap filled through the context after `set` chose the fill colour;
// the first pixel as 0xAARRGGBB.
uint32_t FillWith(CGContextRef c, OSStatus* status, ThemeBrush brush)
{
  CGContextSetRGBFillColor(c, 1, 0, 0, 1);  // red unless the brush takes over
  *status = HIThemeSetFill(brush, nullptr, c, kHIThemeOrientationNormal);
  CGContextFillRect(c, CGRectMake(0, 0, 2, 2));
  const uint8_t* p = static_cast<const uint8_t*>(CGBitmapContextGetData(c));
  return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}
}  // namespace

TEST_F(ThemeTest, BrushesSetTheirGreyAndUnknownOnesChangeNothing)
{
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  CGContextRef c = CGBitmapContextCreate(nullptr, 2, 2, 8, 8, space, kCGImageAlphaNoneSkipFirst);
  CGColorSpaceRelease(space);
  ASSERT_NE(c, nullptr);
  const struct
  {
    ThemeBrush brush;
    OSStatus status;
    uint32_t pixel;
  } cases[] = {
    {kThemeBrushDialogBackgroundActive, noErr, 0xFFE8E8E8},
    {kThemeBrushDialogBackgroundInactive, noErr, 0xFFF0F0F0},
    {0, paramErr, 0xFFFF0000},
    {3, paramErr, 0xFFFF0000},
    {-1, paramErr, 0xFFFF0000},
  };
  for (const auto& k : cases)
  {
    SCOPED_TRACE(k.brush);
    OSStatus status = 1;
    EXPECT_EQ(FillWith(c, &status, k.brush), k.pixel);
    EXPECT_EQ(status, k.status);
  }
  // The orientation does not change a flat colour.
  CGContextSetRGBFillColor(c, 1, 0, 0, 1);
  EXPECT_EQ(HIThemeSetFill(kThemeBrushDialogBackgroundActive, nullptr, c, kHIThemeOrientationInverted), noErr);
  CGContextFillRect(c, CGRectMake(0, 0, 2, 2));
  EXPECT_EQ(static_cast<const uint8_t*>(CGBitmapContextGetData(c))[3], 0xE8);
  EXPECT_EQ(HIThemeSetFill(kThemeBrushDialogBackgroundActive, nullptr, nullptr, kHIThemeOrientationNormal), paramErr);
  CGContextRelease(c);
}
