// Views: the tree, frames, the area to redraw, and point conversion; and the geometry the other
// sources share.

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "CarbonInternal.h"

using CarbonRegistry::Live;

const HIViewID kHIViewWindowContentID = {0x77696E64, 1};  // 'wind'

namespace
{
CGFloat Right(const HIRect& r) { return r.origin.x + r.size.width; }
CGFloat Bottom(const HIRect& r) { return r.origin.y + r.size.height; }

const OpaqueControlRef* FindByID(const OpaqueControlRef* c, const HIViewID& id)
{
  if (c->mID.signature == id.signature && c->mID.id == id.id) return c;
  for (const OpaqueControlRef* child : c->mChildren)
  {
    if (const OpaqueControlRef* found = FindByID(child, id)) return found;
  }
  return nullptr;
}

// A point's global position from a space, or false when the space's object is not live.
bool ToGlobal(HIPoint* p, HICoordinateSpace space, void* object)
{
  switch (space)
  {
    case kHICoordSpace72DPIGlobal:
    case kHICoordSpaceScreenPixel: return true;
    case kHICoordSpaceWindow:
    {
      const OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, static_cast<OpaqueWindowPtr*>(object));
      if (!w) return false;
      p->x += w->mContent.left;
      p->y += w->mContent.top;
      return true;
    }
    case kHICoordSpaceView:
    {
      const OpaqueControlRef* c = Live(CarbonRegistry::kControl, static_cast<OpaqueControlRef*>(object));
      if (!c) return false;
      const HIRect frame = CarbonWindowFrame(c);
      p->x += frame.origin.x + c->mWindow->mContent.left;
      p->y += frame.origin.y + c->mWindow->mContent.top;
      return true;
    }
    default: return false;
  }
}

bool FromGlobal(HIPoint* p, HICoordinateSpace space, void* object)
{
  HIPoint origin = {0, 0};
  if (!ToGlobal(&origin, space, object)) return false;
  p->x -= origin.x;
  p->y -= origin.y;
  return true;
}

std::string Number(CGFloat v)
{
  char buf[32];
  snprintf(buf, sizeof(buf), "%g", v);
  return buf;
}
}  // namespace

// ----- Geometry

HIRect CarbonWindowFrame(const OpaqueControlRef* c)
{
  HIRect r = c->mFrame;
  if (!c->mWindow->Composited()) return r;
  for (const OpaqueControlRef* p = c->mParent; p; p = p->mParent)
  {
    r.origin.x += p->mFrame.origin.x;
    r.origin.y += p->mFrame.origin.y;
  }
  return r;
}

HIRect CarbonVisibleFrame(const OpaqueControlRef* c)
{
  HIRect r = CarbonWindowFrame(c);
  for (const OpaqueControlRef* p = c->mParent; p; p = p->mParent) r = CarbonIntersect(r, CarbonWindowFrame(p));
  return CarbonIntersect(r, CGRectMake(0, 0, c->mWindow->Width(), c->mWindow->Height()));
}

HIRect CarbonIntersect(const HIRect& a, const HIRect& b)
{
  const CGFloat x0 = std::max(a.origin.x, b.origin.x), y0 = std::max(a.origin.y, b.origin.y);
  const CGFloat x1 = std::min(Right(a), Right(b)), y1 = std::min(Bottom(a), Bottom(b));
  if (!(x1 > x0) || !(y1 > y0)) return CGRectMake(0, 0, 0, 0);
  return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}

HIRect CarbonUnion(const HIRect& a, const HIRect& b)
{
  if (CarbonIsEmpty(a)) return b;
  if (CarbonIsEmpty(b)) return a;
  const CGFloat x0 = std::min(a.origin.x, b.origin.x), y0 = std::min(a.origin.y, b.origin.y);
  const CGFloat x1 = std::max(Right(a), Right(b)), y1 = std::max(Bottom(a), Bottom(b));
  return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}

bool CarbonIsEmpty(const HIRect& r)
{
  return !(r.size.width > 0) || !(r.size.height > 0);
}

HIRect CarbonRectToHI(const Rect& r)
{
  return CGRectMake(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Rect CarbonHIToRect(const HIRect& r)
{
  auto clamp = [](double v) { return (short)std::max(-32768.0, std::min(32767.0, v)); };
  Rect q;
  q.left = clamp(std::floor(r.origin.x));
  q.top = clamp(std::floor(r.origin.y));
  q.right = clamp(std::ceil(Right(r)));
  q.bottom = clamp(std::ceil(Bottom(r)));
  return q;
}

// ----- Views

HIViewRef HIViewGetRoot(WindowRef inWindow)
{
  const OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, inWindow);
  return w ? w->mRoot : nullptr;
}

OSStatus HIViewFindByID(HIViewRef inStartView, HIViewID inID, HIViewRef* outView)
{
  if (!outView) return paramErr;
  *outView = nullptr;
  const OpaqueControlRef* start = Live(CarbonRegistry::kControl, inStartView);
  if (!start) return paramErr;
  const OpaqueControlRef* found = FindByID(start, inID);
  if (!found) return errUnknownControl;
  *outView = const_cast<OpaqueControlRef*>(found);
  return noErr;
}

OSStatus HIViewAddSubview(HIViewRef inParent, HIViewRef inNewChild)
{
  OpaqueControlRef* parent = Live(CarbonRegistry::kControl, inParent);
  OpaqueControlRef* child = Live(CarbonRegistry::kControl, inNewChild);
  if (!parent || !child) return paramErr;
  CarbonLogCall("HIViewAddSubview");
  return CarbonEmbed(child, parent);
}

OSStatus HIViewSetFrame(HIViewRef inView, const HIRect* inRect)
{
  OpaqueControlRef* c = Live(CarbonRegistry::kControl, inView);
  if (!c || !inRect || !(inRect->size.width >= 0) || !(inRect->size.height >= 0) || !std::isfinite(inRect->origin.x) ||
      !std::isfinite(inRect->origin.y) || !std::isfinite(inRect->size.width) || !std::isfinite(inRect->size.height))
    return paramErr;
  CarbonLogCall("HIViewSetFrame " + Number(inRect->origin.x) + " " + Number(inRect->origin.y) + " " +
                Number(inRect->size.width) + " " + Number(inRect->size.height));
  CarbonSetFrame(c, *inRect);
  return noErr;
}

OSStatus HIViewGetFrame(HIViewRef inView, HIRect* outRect)
{
  const OpaqueControlRef* c = Live(CarbonRegistry::kControl, inView);
  if (!c || !outRect) return paramErr;
  *outRect = c->mFrame;
  return noErr;
}

OSStatus HIViewGetBounds(HIViewRef inView, HIRect* outRect)
{
  const OpaqueControlRef* c = Live(CarbonRegistry::kControl, inView);
  if (!c || !outRect) return paramErr;
  *outRect = CGRectMake(0, 0, c->mFrame.size.width, c->mFrame.size.height);
  return noErr;
}

OSStatus HIViewSetNeedsDisplayInRect(HIViewRef inView, const HIRect* inRect, Boolean inNeedsDisplay)
{
  OpaqueControlRef* c = Live(CarbonRegistry::kControl, inView);
  if (!c) return paramErr;
  const HIRect bounds = CGRectMake(0, 0, c->mFrame.size.width, c->mFrame.size.height);
  const HIRect area = inRect ? CarbonIntersect(*inRect, bounds) : bounds;
  if (inNeedsDisplay)
  {
    if (!CarbonIsEmpty(area)) c->mNeedsDisplay = CarbonUnion(c->mNeedsDisplay, area);
  }
  else if (CarbonIsEmpty(CarbonIntersect(c->mNeedsDisplay, bounds)) ||
           (area.origin.x <= c->mNeedsDisplay.origin.x && area.origin.y <= c->mNeedsDisplay.origin.y &&
            Right(area) >= Right(c->mNeedsDisplay) && Bottom(area) >= Bottom(c->mNeedsDisplay)))
  {
    c->mNeedsDisplay = CGRectMake(0, 0, 0, 0);
  }
  return noErr;
}

OSStatus HIViewSetNeedsDisplay(HIViewRef inView, Boolean inNeedsDisplay)
{
  return HIViewSetNeedsDisplayInRect(inView, nullptr, inNeedsDisplay);
}

void HIPointConvert(HIPoint* ioPoint, HICoordinateSpace inSourceSpace, void* inSourceObject,
                    HICoordinateSpace inDestinationSpace, void* inDestinationObject)
{
  if (!ioPoint) return;
  HIPoint p = *ioPoint;
  if (!ToGlobal(&p, inSourceSpace, inSourceObject) || !FromGlobal(&p, inDestinationSpace, inDestinationObject)) return;
  *ioPoint = p;
}
