// Rectangular regions, and ports: CoreGraphics contexts over a window's backing store.

#include <algorithm>

#include "CarbonInternal.h"

using CarbonRegistry::Live;

namespace
{
const Rect kEmptyRect = {0, 0, 0, 0};

CGContextRef ContextOver(void* data, size_t w, size_t h, size_t rowBytes)
{
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  if (!space) return nullptr;
  CGContextRef c = CGBitmapContextCreate(data, w, h, 8, rowBytes, space, kCGImageAlphaNoneSkipFirst);
  CGColorSpaceRelease(space);
  return c;
}
}  // namespace

CGContextRef CarbonNewBacking(int w, int h)
{
  if (w <= 0 || h <= 0) return nullptr;
  return ContextOver(nullptr, (size_t)w, (size_t)h, (size_t)w * 4);
}

CGContextRef CarbonContextOver(CGContextRef backing, int x, int y, int w, int h)
{
  const int bw = (int)CGBitmapContextGetWidth(backing), bh = (int)CGBitmapContextGetHeight(backing);
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + w, bw), y1 = std::min(y + h, bh);
  if (x1 <= x0 || y1 <= y0) return nullptr;
  const size_t rowBytes = CGBitmapContextGetBytesPerRow(backing);
  uint8_t* data = static_cast<uint8_t*>(CGBitmapContextGetData(backing)) + (size_t)y0 * rowBytes + (size_t)x0 * 4;
  return ContextOver(data, (size_t)(x1 - x0), (size_t)(y1 - y0), rowBytes);
}

// ----- Regions

RgnHandle NewRgn(void)
{
  OpaqueRgnHandle* r = new OpaqueRgnHandle;
  CarbonRegistry::Add(CarbonRegistry::kRegion, r);
  return r;
}

void DisposeRgn(RgnHandle rgn)
{
  OpaqueRgnHandle* r = Live(CarbonRegistry::kRegion, rgn);
  if (!r) return;
  CarbonRegistry::Remove(CarbonRegistry::kRegion, r);
  delete r;
}

void RectRgn(RgnHandle rgn, const Rect* rect)
{
  OpaqueRgnHandle* r = Live(CarbonRegistry::kRegion, rgn);
  if (!r) return;
  r->mBounds = rect && rect->right > rect->left && rect->bottom > rect->top ? *rect : kEmptyRect;
}

void SetEmptyRgn(RgnHandle rgn)
{
  RectRgn(rgn, nullptr);
}

Rect* GetRegionBounds(RgnHandle rgn, Rect* outBounds)
{
  if (!outBounds) return nullptr;
  const OpaqueRgnHandle* r = Live(CarbonRegistry::kRegion, rgn);
  *outBounds = r ? r->mBounds : kEmptyRect;
  return outBounds;
}

Boolean EmptyRgn(RgnHandle rgn)
{
  const OpaqueRgnHandle* r = Live(CarbonRegistry::kRegion, rgn);
  return !r || r->mBounds.right <= r->mBounds.left || r->mBounds.bottom <= r->mBounds.top;
}

// ----- Ports

OSStatus QDBeginCGContext(CGrafPtr inPort, CGContextRef* outContext)
{
  OpaqueGrafPtr* port = Live(CarbonRegistry::kPort, inPort);
  if (!port || !outContext) return paramErr;
  CGContextRef backing = port->mWindow->mBacking;
  CGContextRef c = ContextOver(CGBitmapContextGetData(backing), CGBitmapContextGetWidth(backing),
                               CGBitmapContextGetHeight(backing), CGBitmapContextGetBytesPerRow(backing));
  if (!c) return memFullErr;
  port->mOpen.push_back(OpaqueGrafPtr::OpenContext{c, CGContextRetain(backing)});
  *outContext = c;
  return noErr;
}

OSStatus QDEndCGContext(CGrafPtr inPort, CGContextRef* inoutContext)
{
  OpaqueGrafPtr* port = Live(CarbonRegistry::kPort, inPort);
  if (!port || !inoutContext) return paramErr;
  auto it = std::find_if(port->mOpen.begin(), port->mOpen.end(),
                         [&](const OpaqueGrafPtr::OpenContext& o) { return o.mContext == *inoutContext; });
  if (it == port->mOpen.end()) return paramErr;
  CGContextRelease(it->mContext);
  CGContextRelease(it->mBacking);
  port->mOpen.erase(it);
  *inoutContext = nullptr;
  return noErr;
}
