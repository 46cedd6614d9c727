// Bitmap reps: the layouts accepted, the pixels' memory, contexts over them and snapshots.

#include <AppKit/NSBitmapImageRep.h>

#include <cstdlib>

NSString* const NSDeviceRGBColorSpace = NSSTR("NSDeviceRGBColorSpace");
NSString* const NSCalibratedRGBColorSpace = NSSTR("NSCalibratedRGBColorSpace");

namespace
{
constexpr NSInteger kMaxSide = 16384;
// Rows may be padded, but not beyond the widest row a rep can have.
constexpr NSInteger kMaxRowBytes = kMaxSide * 4;

// Holds a snapshot for an autorelease pool: CoreGraphics objects are not Cocoa objects.
class CGImageHolder : public NSObject
{
public:
  explicit CGImageHolder(CGImageRef image) : mImage(image) {}
  const char* className() const override { return "CGImageHolder"; }

protected:
  ~CGImageHolder() override { CGImageRelease(mImage); }

private:
  CGImageRef mImage;
};

bool RGBSpace(NSString* name)
{
  return name && (name->isEqualToString(NSDeviceRGBColorSpace) || name->isEqualToString(NSCalibratedRGBColorSpace));
}
}  // namespace

NSBitmapImageRep::~NSBitmapImageRep()
{
  free(mData);
}

NSBitmapImageRep* NSBitmapImageRep::initWithBitmapDataPlanes(unsigned char** planes, NSInteger pixelsWide,
                                                             NSInteger pixelsHigh, NSInteger bitsPerSample,
                                                             NSInteger samplesPerPixel, BOOL hasAlpha, BOOL isPlanar,
                                                             NSString* colorSpaceName, NSBitmapFormat bitmapFormat,
                                                             NSInteger bytesPerRow, NSInteger bitsPerPixel)
{
  const bool withAlpha = samplesPerPixel == 4 && hasAlpha && (bitsPerPixel == 0 || bitsPerPixel == 32);
  const bool padded = samplesPerPixel == 3 && !hasAlpha && bitsPerPixel == 32;
  const bool sizeOK = pixelsWide > 0 && pixelsHigh > 0 && pixelsWide <= kMaxSide && pixelsHigh <= kMaxSide;
  const NSInteger rowBytes = bytesPerRow == 0 ? pixelsWide * 4 : bytesPerRow;
  if (!(planes == nullptr || planes[0] == nullptr) || !(withAlpha || padded) || !sizeOK || bitsPerSample != 8 ||
      isPlanar || !RGBSpace(colorSpaceName) || bitmapFormat != NSAlphaFirstBitmapFormat ||
      rowBytes < pixelsWide * 4 || rowBytes > kMaxRowBytes)
  {
    release();
    return nil;
  }
  mData = static_cast<unsigned char*>(calloc((size_t)pixelsHigh, (size_t)rowBytes));
  if (!mData)
  {
    release();
    return nil;
  }
  mPixelsWide = pixelsWide;
  mPixelsHigh = pixelsHigh;
  mBitsPerSample = 8;
  mHasAlpha = withAlpha ? YES : NO;
  mBytesPerRow = rowBytes;
  mSize = NSMakeSize((CGFloat)pixelsWide, (CGFloat)pixelsHigh);
  return this;
}

CGContextRef NSBitmapImageRep::newContextOverPixels(NSInteger x, NSInteger y, NSInteger width, NSInteger height) const
{
  if (!mData || x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > mPixelsWide || y + height > mPixelsHigh)
    return nullptr;
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  if (!space) return nullptr;
  CGContextRef c = CGBitmapContextCreate(mData + y * mBytesPerRow + x * 4, (size_t)width, (size_t)height, 8,
                                         (size_t)mBytesPerRow, space, bitmapInfo());
  CGColorSpaceRelease(space);
  return c;
}

CGImageRef NSBitmapImageRep::CGImage() const
{
  CGContextRef c = newContextOverPixels(0, 0, mPixelsWide, mPixelsHigh);
  CGImageRef image = c ? CGBitmapContextCreateImage(c) : nullptr;
  CGContextRelease(c);
  if (image) (new CGImageHolder(image))->autorelease();
  return image;
}
