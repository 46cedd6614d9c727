#pragma once
// Bitmaps in memory the rep allocates (zero-filled), in the byte order the stand-in draws with:
// 8-bit samples, 32 bits a pixel, bytes alpha, red, green, blue with premultiplied alpha (four
// samples, NSAlphaFirstBitmapFormat), or the same with the first byte unused (three samples
// without alpha, 32 bits a pixel, NSAlphaFirstBitmapFormat). The first row in memory is the top
// row of the image. Points are pixels.

#include <AppKit/NSImageRep.h>
#include <CoreGraphics/CoreGraphics.h>

typedef NSUInteger NSBitmapFormat;
enum : NSBitmapFormat
{
  NSAlphaFirstBitmapFormat = 1 << 0,
  NSAlphaNonpremultipliedBitmapFormat = 1 << 1,
  NSFloatingPointSamplesBitmapFormat = 1 << 2
};

// Colour space names (NSGraphics.h on the platform); both mean device RGB here.
extern NSString* const NSDeviceRGBColorSpace;
extern NSString* const NSCalibratedRGBColorSpace;

class NSBitmapImageRep : public NSImageRep
{
public:
  // The rep allocates its pixels: `planes` must be null or hold a null first plane. bytesPerRow 0
  // means rows of pixelsWide * 4 bytes; bitsPerPixel 0 means 32 (with four samples). Any other
  // layout, a side of 0 or above 16384, or memory that cannot be had: the rep releases itself
  // and answers nil.
  NSBitmapImageRep* initWithBitmapDataPlanes(unsigned char** planes, NSInteger pixelsWide, NSInteger pixelsHigh,
                                             NSInteger bitsPerSample, NSInteger samplesPerPixel, BOOL hasAlpha,
                                             BOOL isPlanar, NSString* colorSpaceName, NSBitmapFormat bitmapFormat,
                                             NSInteger bytesPerRow, NSInteger bitsPerPixel);
  // A PNG file's pixels (premultiplied, four samples); nil for a missing, corrupt or oversized
  // file (a side above 16384 or more than 2^26 pixels is refused before anything is allocated).
  // Autoreleased.
  static NSBitmapImageRep* imageRepWithContentsOfFile(NSString* path);

  unsigned char* bitmapData() const { return mData; }
  NSInteger bytesPerRow() const { return mBytesPerRow; }
  NSInteger samplesPerPixel() const { return mHasAlpha ? 4 : 3; }
  NSInteger bitsPerPixel() const { return 32; }
  NSBitmapFormat bitmapFormat() const { return NSAlphaFirstBitmapFormat; }
  BOOL isPlanar() const { return NO; }
  // A snapshot of the pixels as they are now, autoreleased: valid until the innermost autorelease
  // pool drains (CGImageRetain keeps it longer). Null when it cannot be made.
  CGImageRef CGImage() const;
  const char* className() const override { return "NSBitmapImageRep"; }

  // The stand-in's own: the CoreGraphics alpha setting of the pixels (premultiplied first, or
  // none-skip-first without alpha), and a new bitmap context (the caller releases it) over the
  // pixels of a part of the bitmap given in whole pixels from the top-left corner; null when the
  // part is empty or outside.
  CGBitmapInfo bitmapInfo() const { return mHasAlpha ? kCGImageAlphaPremultipliedFirst : kCGImageAlphaNoneSkipFirst; }
  CGContextRef newContextOverPixels(NSInteger x, NSInteger y, NSInteger width, NSInteger height) const;

protected:
  ~NSBitmapImageRep() override;

private:
  unsigned char* mData = nullptr;
  NSInteger mBytesPerRow = 0;
};
