// Drawing an image: the part asked for, to whole pixels, as a CoreGraphics snapshot (faded on a
// copy when the fraction asks for it) drawn with CGContextDrawImage; Copy clears the rectangle
// first, since CoreGraphics composites premultiplied images source-over.

#include <AppKit/NSImage.h>

#include <cmath>

#include <AppKit/NSGraphicsContext.h>

namespace
{
// A part of a bitmap in whole pixels from its top-left corner.
struct PixelBox
{
  NSInteger x, y, w, h;
};

// x * y / 255, rounded to nearest.
inline unsigned Mul255(unsigned x, unsigned y)
{
  const unsigned t = x * y + 128;
  return (t + (t >> 8)) >> 8;
}

CGFloat Clamp(CGFloat v, CGFloat hi)
{
  if (!(v > 0)) return 0;  // not a number too
  return v < hi ? v : hi;
}

CGImageRef PartImage(const NSBitmapImageRep* rep, const PixelBox& box)
{
  CGContextRef c = rep->newContextOverPixels(box.x, box.y, box.w, box.h);
  CGImageRef image = c ? CGBitmapContextCreateImage(c) : nullptr;
  CGContextRelease(c);
  return image;
}

// The part with every channel (an opaque bitmap's alpha as 255) times k / 255, premultiplied.
CGImageRef FadedImage(const NSBitmapImageRep* rep, const PixelBox& box, unsigned k)
{
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  if (!space) return nullptr;
  CGContextRef c = CGBitmapContextCreate(nullptr, (size_t)box.w, (size_t)box.h, 8, (size_t)box.w * 4, space,
                                         kCGImageAlphaPremultipliedFirst);
  CGColorSpaceRelease(space);
  if (!c) return nullptr;
  unsigned char* out = static_cast<unsigned char*>(CGBitmapContextGetData(c));
  const size_t outRow = CGBitmapContextGetBytesPerRow(c);
  const bool opaque = !rep->hasAlpha();
  for (NSInteger y = 0; y < box.h; ++y)
  {
    const unsigned char* s = rep->bitmapData() + (box.y + y) * rep->bytesPerRow() + box.x * 4;
    unsigned char* d = out + (size_t)y * outRow;
    for (NSInteger x = 0; x < box.w; ++x, s += 4, d += 4)
    {
      d[0] = (unsigned char)Mul255(opaque ? 255 : s[0], k);
      d[1] = (unsigned char)Mul255(s[1], k);
      d[2] = (unsigned char)Mul255(s[2], k);
      d[3] = (unsigned char)Mul255(s[3], k);
    }
  }
  CGImageRef image = CGBitmapContextCreateImage(c);
  CGContextRelease(c);
  return image;
}

void ClearRect(CGContextRef port, CGRect rect)
{
  CGContextSaveGState(port);
  CGContextSetRGBFillColor(port, 0, 0, 0, 0);
  CGContextFillRect(port, rect);
  CGContextRestoreGState(port);
}

bool Finite(NSRect r)
{
  return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
         std::isfinite(r.size.height);
}

// The size fromRect is measured in: the image's, or its bitmap's when the image has none.
NSSize DrawSize(NSSize size, const NSBitmapImageRep* rep)
{
  return size.width > 0 && size.height > 0 ? size : rep->size();
}
}  // namespace

void NSImage::drawInRect(NSRect rect, NSRect fromRect, NSCompositingOperation op, CGFloat fraction)
{
  NSGraphicsContext* context = NSGraphicsContext::currentContext();
  const NSBitmapImageRep* rep = bitmapRep();
  if (!context || !rep || !(fraction > 0) || NSIsEmptyRect(rect)) return;
  CGContextRef port = static_cast<CGContextRef>(context->graphicsPort());

  const NSSize size = DrawSize(mSize, rep);
  const NSRect from = NSEqualRects(fromRect, NSZeroRect) ? NSMakeRect(0, 0, size.width, size.height) : fromRect;
  if (NSIsEmptyRect(from)) return;
  // The part in pixels from the top-left corner, to whole pixels, inside the bitmap.
  const CGFloat w = (CGFloat)rep->pixelsWide(), h = (CGFloat)rep->pixelsHigh();
  const CGFloat kx = w / size.width, ky = h / size.height;
  const CGFloat px0 = Clamp(std::round(NSMinX(from) * kx), w), px1 = Clamp(std::round(NSMaxX(from) * kx), w);
  const CGFloat py0 = Clamp(std::round((size.height - NSMaxY(from)) * ky), h);
  const CGFloat py1 = Clamp(std::round((size.height - NSMinY(from)) * ky), h);
  if (!(px1 > px0 && py1 > py0)) return;
  // The rectangle shrinks with the part: fromRect maps onto rect, and so does the part.
  const CGFloat sx = NSWidth(rect) / NSWidth(from), sy = NSHeight(rect) / NSHeight(from);
  const NSRect dst = NSMakeRect(NSMinX(rect) + (px0 / kx - NSMinX(from)) * sx,
                                NSMinY(rect) + (size.height - py1 / ky - NSMinY(from)) * sy,
                                (px1 - px0) / kx * sx, (py1 - py0) / ky * sy);
  if (!Finite(dst) || NSIsEmptyRect(dst)) return;

  if (op == NSCompositeClear)
  {
    ClearRect(port, dst);
    return;
  }
  const PixelBox box{(NSInteger)px0, (NSInteger)py0, (NSInteger)(px1 - px0), (NSInteger)(py1 - py0)};
  const unsigned k = fraction >= 1 ? 255 : (unsigned)std::lround(fraction * 255);
  CGImageRef image = k == 255 ? PartImage(rep, box) : FadedImage(rep, box, k);
  if (!image) return;
  if (op == NSCompositeCopy) ClearRect(port, dst);
  CGContextDrawImage(port, dst, image);
  CGImageRelease(image);
}

void NSImage::drawAtPoint(NSPoint point, NSRect fromRect, NSCompositingOperation op, CGFloat fraction)
{
  const NSBitmapImageRep* rep = bitmapRep();
  if (!rep) return;
  const NSSize size = NSEqualRects(fromRect, NSZeroRect) ? DrawSize(mSize, rep) : fromRect.size;
  drawInRect(NSMakeRect(point.x, point.y, size.width, size.height), fromRect, op, fraction);
}
