// The CoreGraphics stand-in's objects: plain reference-counted records, pixels kept as the caller
// laid them out, and counters that the test kit reads. Drawing state and drawing live in
// CGContextState.cpp, CGContextPath.cpp (with CGPathRender.cpp) and CGContextDrawImage.cpp.

#include <CoreGraphics/CoreGraphics.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "CGRecords.h"
#include "testkit.h"

namespace
{
std::atomic<int> sLive[4];
std::atomic<unsigned> sFailKinds{0};
std::atomic<int> sFailCount{0};

int KindIndex(unsigned kind)
{
  switch (kind)
  {
    case CGTestKit::kColorSpace: return 0;
    case CGTestKit::kContext: return 1;
    case CGTestKit::kColor: return 2;
    default: return 3;
  }
}

// True when a forced failure is pending for this kind; consumes one.
bool ForcedFailure(unsigned kind)
{
  if (!(sFailKinds.load() & kind)) return false;
  int n = sFailCount.load();
  while (n > 0)
  {
    if (sFailCount.compare_exchange_weak(n, n - 1)) return true;
  }
  return false;
}

template <class T>
T* Created(T* obj, unsigned kind)
{
  if (obj) sLive[KindIndex(kind)].fetch_add(1);
  return obj;
}

template <class T>
T* Retained(T* obj)
{
  if (obj) obj->refs.fetch_add(1);
  return obj;
}

// Drops one reference; true when it was the last.
template <class T>
bool Released(T* obj, unsigned kind)
{
  if (!obj || obj->refs.fetch_sub(1) != 1) return false;
  sLive[KindIndex(kind)].fetch_sub(1);
  return true;
}

bool AlphaSupported(uint32_t info)
{
  const uint32_t a = info & kCGBitmapAlphaInfoMask;
  return a == kCGImageAlphaNoneSkipFirst || a == kCGImageAlphaNoneSkipLast ||
         a == kCGImageAlphaPremultipliedFirst || a == kCGImageAlphaPremultipliedLast;
}
}  // namespace

// ---- colour spaces

CGColorSpaceRef CGColorSpaceCreateDeviceRGB(void)
{
  if (ForcedFailure(CGTestKit::kColorSpace)) return nullptr;
  return Created(new CGColorSpace, CGTestKit::kColorSpace);
}

CGColorSpaceRef CGColorSpaceRetain(CGColorSpaceRef space) { return Retained(space); }

void CGColorSpaceRelease(CGColorSpaceRef space)
{
  if (Released(space, CGTestKit::kColorSpace)) delete space;
}

size_t CGColorSpaceGetNumberOfComponents(CGColorSpaceRef space) { return space ? 3 : 0; }

// ---- bitmap contexts

CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                   size_t bytesPerRow, CGColorSpaceRef space, uint32_t bitmapInfo)
{
  if (!space || width == 0 || height == 0 || bitsPerComponent != 8 || !AlphaSupported(bitmapInfo) ||
      (bitmapInfo & kCGBitmapByteOrderMask) != kCGBitmapByteOrderDefault)
    return nullptr;
  if (width > SIZE_MAX / 4 || bytesPerRow < width * 4 || height > SIZE_MAX / bytesPerRow) return nullptr;
  if (ForcedFailure(CGTestKit::kContext)) return nullptr;
  bool owns = false;
  if (!data)
  {
    data = calloc(height, bytesPerRow);
    if (!data) return nullptr;
    owns = true;
  }
  CGContext* c = new CGContext;
  c->data = (uint8_t*)data;
  c->ownsData = owns;
  c->width = width;
  c->height = height;
  c->bytesPerRow = bytesPerRow;
  c->info = bitmapInfo;
  c->space = CGColorSpaceRetain(space);
  c->gs.clip = CGRecords::DeviceBox{0, 0, (long)width, (long)height};
  return Created(c, CGTestKit::kContext);
}

CGContextRef CGContextRetain(CGContextRef c) { return Retained(c); }

void CGContextRelease(CGContextRef c)
{
  if (!Released(c, CGTestKit::kContext)) return;
  if (c->ownsData) free(c->data);
  CGColorSpaceRelease(c->space);
  delete c;
}

void* CGBitmapContextGetData(CGContextRef c) { return c ? c->data : nullptr; }
size_t CGBitmapContextGetWidth(CGContextRef c) { return c ? c->width : 0; }
size_t CGBitmapContextGetHeight(CGContextRef c) { return c ? c->height : 0; }
size_t CGBitmapContextGetBytesPerRow(CGContextRef c) { return c ? c->bytesPerRow : 0; }
size_t CGBitmapContextGetBitsPerComponent(CGContextRef c) { return c ? 8 : 0; }
size_t CGBitmapContextGetBitsPerPixel(CGContextRef c) { return c ? 32 : 0; }
CGImageAlphaInfo CGBitmapContextGetAlphaInfo(CGContextRef c)
{
  return c ? (CGImageAlphaInfo)(c->info & kCGBitmapAlphaInfoMask) : kCGImageAlphaNone;
}
CGColorSpaceRef CGBitmapContextGetColorSpace(CGContextRef c) { return c ? c->space : nullptr; }

// ---- colours

CGColorRef CGColorCreate(CGColorSpaceRef space, const CGFloat* components)
{
  if (!space || !components) return nullptr;
  if (ForcedFailure(CGTestKit::kColor)) return nullptr;
  CGColor* col = new CGColor;
  col->space = CGColorSpaceRetain(space);
  for (int i = 0; i < 4; ++i) col->comps[i] = components[i];
  return Created(col, CGTestKit::kColor);
}

CGColorRef CGColorRetain(CGColorRef color) { return Retained(color); }

void CGColorRelease(CGColorRef color)
{
  if (!Released(color, CGTestKit::kColor)) return;
  CGColorSpaceRelease(color->space);
  delete color;
}

size_t CGColorGetNumberOfComponents(CGColorRef color) { return color ? 4 : 0; }
const CGFloat* CGColorGetComponents(CGColorRef color) { return color ? color->comps : nullptr; }
CGColorSpaceRef CGColorGetColorSpace(CGColorRef color) { return color ? color->space : nullptr; }

// ---- images

CGImageRef CGBitmapContextCreateImage(CGContextRef c)
{
  if (!c) return nullptr;
  if (ForcedFailure(CGTestKit::kImage)) return nullptr;
  const size_t row = c->width * 4;
  uint8_t* data = (uint8_t*)malloc(row * c->height);
  if (!data) return nullptr;
  for (size_t y = 0; y < c->height; ++y) memcpy(data + y * row, c->data + y * c->bytesPerRow, row);
  CGImage* img = new CGImage;
  img->data = data;
  img->width = c->width;
  img->height = c->height;
  img->bytesPerRow = row;
  img->info = c->info;
  return Created(img, CGTestKit::kImage);
}

// Images never change, so a cut-out could share its source's pixels; a copy keeps ownership simple.
CGImageRef CGImageCreateWithImageInRect(CGImageRef image, CGRect rect)
{
  if (!image || !image->data) return nullptr;
  CGFloat x0 = rect.origin.x, y0 = rect.origin.y, x1 = x0 + rect.size.width, y1 = y0 + rect.size.height;
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x0) || !std::isfinite(y0)) return nullptr;
  if (x1 < x0) std::swap(x0, x1);
  if (y1 < y0) std::swap(y0, y1);
  if (!(x1 > x0 && y1 > y0)) return nullptr;  // an empty rectangle holds no pixel
  // Rounded out, then cut to the image; clamped first so the conversions stay in range.
  const CGFloat w = (CGFloat)image->width, h = (CGFloat)image->height;
  const size_t u0 = (size_t)std::floor(std::min(std::max(x0, (CGFloat)0), w));
  const size_t v0 = (size_t)std::floor(std::min(std::max(y0, (CGFloat)0), h));
  const size_t u1 = (size_t)std::ceil(std::min(std::max(x1, (CGFloat)0), w));
  const size_t v1 = (size_t)std::ceil(std::min(std::max(y1, (CGFloat)0), h));
  if (u1 <= u0 || v1 <= v0) return nullptr;
  if (ForcedFailure(CGTestKit::kImage)) return nullptr;
  const size_t cw = u1 - u0, ch = v1 - v0, row = cw * 4;
  uint8_t* data = (uint8_t*)malloc(row * ch);
  if (!data) return nullptr;
  for (size_t v = 0; v < ch; ++v) memcpy(data + v * row, image->data + (v0 + v) * image->bytesPerRow + u0 * 4, row);
  CGImage* img = new CGImage;
  img->data = data;
  img->width = cw;
  img->height = ch;
  img->bytesPerRow = row;
  img->info = image->info;
  return Created(img, CGTestKit::kImage);
}

CGImageRef CGImageRetain(CGImageRef image) { return Retained(image); }

void CGImageRelease(CGImageRef image)
{
  if (!Released(image, CGTestKit::kImage)) return;
  free(image->data);
  delete image;
}

size_t CGImageGetWidth(CGImageRef image) { return image ? image->width : 0; }
size_t CGImageGetHeight(CGImageRef image) { return image ? image->height : 0; }
size_t CGImageGetBytesPerRow(CGImageRef image) { return image ? image->bytesPerRow : 0; }
size_t CGImageGetBitsPerPixel(CGImageRef image) { return image ? 32 : 0; }
CGImageAlphaInfo CGImageGetAlphaInfo(CGImageRef image)
{
  return image ? (CGImageAlphaInfo)(image->info & kCGBitmapAlphaInfoMask) : kCGImageAlphaNone;
}

// ---- test kit

namespace CGTestKit
{
LiveCounts Live() { return LiveCounts{sLive[0].load(), sLive[1].load(), sLive[2].load(), sLive[3].load()}; }

void FailNext(unsigned kinds, int count)
{
  sFailCount.store(count);
  sFailKinds.store(kinds);
}

void ClearFailures()
{
  sFailKinds.store(0);
  sFailCount.store(0);
}

int RetainCount(CGContextRef c) { return c ? c->refs.load() : 0; }
int RetainCount(CGColorRef c) { return c ? c->refs.load() : 0; }
int RetainCount(CGImageRef i) { return i ? i->refs.load() : 0; }

int FlushCount(CGContextRef c) { return c ? c->flushes.load() : 0; }

const uint8_t* ImageBytes(CGImageRef image) { return image ? image->data : nullptr; }
}  // namespace CGTestKit
