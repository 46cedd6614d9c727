// The draw event a window sends a control: in composited windows with a CoreGraphics context in
// the view's coordinates clipped to what the view may paint, in others with the window's port.

#include <algorithm>
#include <cmath>

#include "CarbonInternal.h"

namespace
{
// The first pixel whose centre lies at or after v (pixel i spans [i, i + 1)).
int PixelEdge(CGFloat v)
{
  return (int)std::ceil(v - 0.5);
}

// A context over the part of the backing store the view may paint, mapping view coordinates
// (origin top-left, y down) onto it. When nothing of the view is visible, a one-pixel context of
// its own that reaches no window pixel.
CGContextRef ViewContext(CGContextRef backing, const HIRect& viewInWindow, const HIRect& clip)
{
  const int bw = (int)CGBitmapContextGetWidth(backing), bh = (int)CGBitmapContextGetHeight(backing);
  const int x0 = std::max(PixelEdge(clip.origin.x), 0), y0 = std::max(PixelEdge(clip.origin.y), 0);
  const int x1 = std::min(PixelEdge(clip.origin.x + clip.size.width), bw);
  const int y1 = std::min(PixelEdge(clip.origin.y + clip.size.height), bh);
  CGContextRef c = x1 > x0 && y1 > y0 ? CarbonContextOver(backing, x0, y0, x1 - x0, y1 - y0) : nullptr;
  if (!c) return CarbonNewBacking(1, 1);
  // Device space of c: origin at the bottom-left of the clip, y up; its height is y1 - y0.
  CGContextTranslateCTM(c, viewInWindow.origin.x - x0, y1 - viewInWindow.origin.y);
  CGContextScaleCTM(c, 1, -1);
  return c;
}
}  // namespace

OSStatus CarbonDrawControl(OpaqueControlRef* c, const Rect* region)
{
  OpaqueWindowPtr* w = c->mWindow;
  EventRef e = nullptr;
  if (CreateEvent(nullptr, kEventClassControl, kEventControlDraw, 0, 0, &e) != noErr) return memFullErr;
  ControlRef direct = c;
  SetEventParameter(e, kEventParamDirectObject, typeControlRef, sizeof(direct), &direct);
  RgnHandle rgn = nullptr;
  if (region)
  {
    rgn = NewRgn();
    RectRgn(rgn, region);
    SetEventParameter(e, kEventParamRgnHandle, typeQDRgnHandle, sizeof(rgn), &rgn);
  }
  // The handler may resize or dispose the window: the pixels stay until the context goes.
  CGContextRef backing = CGContextRetain(w->mBacking);
  CGContextRef context = nullptr;
  if (w->Composited())
  {
    const HIRect frame = CarbonWindowFrame(c);
    HIRect clip = CarbonVisibleFrame(c);
    if (region) clip = CarbonIntersect(clip, CGRectOffset(CarbonRectToHI(*region), frame.origin.x, frame.origin.y));
    context = ViewContext(backing, frame, clip);
    SetEventParameter(e, kEventParamCGContextRef, typeCGContextRef, sizeof(context), &context);
  }
  else
  {
    CGrafPtr port = w->mPort;
    SetEventParameter(e, kEventParamGrafPort, typeGrafPtr, sizeof(port), &port);
  }
  const OSStatus status = SendEventToEventTarget(e, c->mTarget);
  ReleaseEvent(e);
  DisposeRgn(rgn);
  CGContextRelease(context);
  CGContextRelease(backing);
  return status;
}
