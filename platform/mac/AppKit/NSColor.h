#pragma once
// Colours: red, green, blue and alpha components, each clamped to 0..1.

#include <Foundation/Foundation.h>

class NSColor : public NSObject
{
public:
  // Autoreleased.
  static NSColor* colorWithCalibratedRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
  static NSColor* colorWithDeviceRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
  static NSColor* blackColor();

  CGFloat redComponent() const { return mRGBA[0]; }
  CGFloat greenComponent() const { return mRGBA[1]; }
  CGFloat blueComponent() const { return mRGBA[2]; }
  CGFloat alphaComponent() const { return mRGBA[3]; }
  const CGFloat* components() const { return mRGBA; }
  BOOL isEqual(id other) const override;
  const char* className() const override { return "NSColor"; }

private:
  CGFloat mRGBA[4] = {0, 0, 0, 1};
};
