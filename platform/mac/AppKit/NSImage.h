#pragma once
// Images: a size in points and representations (bitmaps, see NSBitmapImageRep.h) drawn into the
// current graphics context. Images found by name are kept for the life of the process.

#include <vector>

#include <AppKit/NSBitmapImageRep.h>

typedef NSUInteger NSCompositingOperation;
enum : NSCompositingOperation
{
  NSCompositeClear = 0,
  NSCompositeCopy = 1,
  NSCompositeSourceOver = 2
};

class NSImage : public NSObject
{
public:
  // The image registered under that name with setName, else Resources/<name>.png of the main
  // bundle (a name that ends in ".png" is taken as the file's name), loaded once and then kept
  // under that name (immortal, its representations too). nil when there is neither.
  static NSImage* imageNamed(NSString* name);

  // A PNG file's pixels as one bitmap rep; the size is the pixels'. nil (and the image released)
  // for a missing, corrupt or oversized file (see NSBitmapImageRep::imageRepWithContentsOfFile).
  NSImage* initWithContentsOfFile(NSString* path);
  // An image of that size without representations.
  NSImage* initWithSize(NSSize size);
  NSImage* init() override { return initWithSize(NSMakeSize(0, 0)); }

  // Retains the rep. An image of size zero takes the rep's size.
  void addRepresentation(NSImageRep* rep);
  void removeRepresentation(NSImageRep* rep);
  const std::vector<NSImageRep*>& representations() const { return mReps; }
  NSSize size() const { return mSize; }
  void setSize(NSSize size) { mSize = size; }
  // Registers the image under the name (nil: unregisters it); NO, changing nothing, when another
  // image has that name. The registry does not retain: an image leaves it when it is freed.
  BOOL setName(NSString* name);
  NSString* name() const { return mName; }
  // Whether there is a bitmap to draw.
  BOOL isValid() const;

  // Draws the part fromRect (image coordinates: points from the bottom-left corner; NSZeroRect:
  // the whole image; taken to whole pixels and to the image's bounds, the rectangle shrinking
  // with it) scaled into `rect` of the current context's user space, its top row at the
  // rectangle's maximum-y edge (upright in a y-up space, upside down in a flipped one), nearest
  // pixel. NSCompositeCopy replaces what the rectangle covers, NSCompositeClear clears it,
  // NSCompositeSourceOver and every other operation composite source-over. `fraction` (at most
  // 1) scales the image's alpha and so, premultiplied, every channel (times round(255 fraction),
  // divided by 255, rounded); 0 or less draws nothing. Without a current context or a bitmap:
  // nothing.
  void drawInRect(NSRect rect, NSRect fromRect, NSCompositingOperation op, CGFloat fraction);
  // The same into a rectangle at the point of fromRect's size (the image's for NSZeroRect).
  void drawAtPoint(NSPoint point, NSRect fromRect, NSCompositingOperation op, CGFloat fraction);

  const char* className() const override { return "NSImage"; }

protected:
  // Releases the representations; leaves the name registry.
  ~NSImage() override;

private:
  NSBitmapImageRep* bitmapRep() const;

  std::vector<NSImageRep*> mReps;  // retained
  NSSize mSize{0, 0};
  NSString* mName = nil;  // a constant string
};
