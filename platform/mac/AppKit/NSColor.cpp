// Colours: components clamped to 0..1 (not a number: 0).

#include <AppKit/NSColor.h>

namespace
{
CGFloat Clamp(CGFloat v)
{
  if (!(v > 0)) return 0;
  return v < 1 ? v : 1;
}
}  // namespace

NSColor* NSColor::colorWithCalibratedRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
  NSColor* c = new NSColor;
  c->mRGBA[0] = Clamp(red);
  c->mRGBA[1] = Clamp(green);
  c->mRGBA[2] = Clamp(blue);
  c->mRGBA[3] = Clamp(alpha);
  return static_cast<NSColor*>(c->autorelease());
}

NSColor* NSColor::colorWithDeviceRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
  return colorWithCalibratedRed(red, green, blue, alpha);
}

NSColor* NSColor::blackColor()
{
  return colorWithCalibratedRed(0, 0, 0, 1);
}

BOOL NSColor::isEqual(id other) const
{
  if (other == this) return YES;
  const NSColor* c = dynamic_cast<const NSColor*>(other);
  if (!c) return NO;
  for (int i = 0; i < 4; ++i)
  {
    if (c->mRGBA[i] != mRGBA[i]) return NO;
  }
  return YES;
}
