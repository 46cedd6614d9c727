#pragma once
// Image representations: one rendering of an image (here only bitmaps, see NSBitmapImageRep.h),
// with its pixel dimensions and its size in points (the same numbers unless set otherwise).

#include <Foundation/Foundation.h>

class NSImageRep : public NSObject
{
public:
  NSSize size() const { return mSize; }
  void setSize(NSSize size) { mSize = size; }
  NSInteger pixelsWide() const { return mPixelsWide; }
  NSInteger pixelsHigh() const { return mPixelsHigh; }
  BOOL hasAlpha() const { return mHasAlpha; }
  NSInteger bitsPerSample() const { return mBitsPerSample; }
  const char* className() const override { return "NSImageRep"; }

protected:
  NSSize mSize{0, 0};
  NSInteger mPixelsWide = 0;
  NSInteger mPixelsHigh = 0;
  NSInteger mBitsPerSample = 0;
  BOOL mHasAlpha = NO;
};
