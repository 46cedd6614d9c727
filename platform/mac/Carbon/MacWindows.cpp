// Windows: content bounds, backing store, port, event target and root view.

#include <algorithm>
#include <cstring>

#include "CarbonInternal.h"

using CarbonRegistry::Live;

namespace
{
short TitleBarHeight(const OpaqueWindowPtr* w)
{
  return w->mClass == kDocumentWindowClass ? (short)kWindowTitleBarHeight : 0;
}

// Copies what fits of the old pixels, top-left aligned.
void CopyPixels(CGContextRef from, CGContextRef to)
{
  const size_t rows = std::min(CGBitmapContextGetHeight(from), CGBitmapContextGetHeight(to));
  const size_t bytes = std::min(CGBitmapContextGetWidth(from), CGBitmapContextGetWidth(to)) * 4;
  const uint8_t* src = static_cast<const uint8_t*>(CGBitmapContextGetData(from));
  uint8_t* dst = static_cast<uint8_t*>(CGBitmapContextGetData(to));
  for (size_t y = 0; y < rows; ++y)
    memcpy(dst + y * CGBitmapContextGetBytesPerRow(to), src + y * CGBitmapContextGetBytesPerRow(from), bytes);
}

bool ValidBounds(const Rect* r)
{
  return r && r->right > r->left && r->bottom > r->top;
}

void FreePort(OpaqueGrafPtr* port)
{
  for (const OpaqueGrafPtr::OpenContext& o : port->mOpen)
  {
    CGContextRelease(o.mContext);
    CGContextRelease(o.mBacking);
  }
  CarbonRegistry::Remove(CarbonRegistry::kPort, port);
  delete port;
}
}  // namespace

OSStatus CreateNewWindow(WindowClass windowClass, WindowAttributes attributes, const Rect* contentBounds,
                         WindowRef* outWindow)
{
  if (!outWindow) return paramErr;
  *outWindow = nullptr;
  if (!ValidBounds(contentBounds)) return paramErr;
  OpaqueWindowPtr* w = new OpaqueWindowPtr;
  w->mClass = windowClass;
  w->mAttributes = attributes;
  w->mContent = *contentBounds;
  w->mBacking = CarbonNewBacking(w->Width(), w->Height());
  if (!w->mBacking)
  {
    delete w;
    return memFullErr;
  }
  w->mPort = new OpaqueGrafPtr;
  w->mPort->mWindow = w;
  CarbonRegistry::Add(CarbonRegistry::kPort, w->mPort);
  w->mTarget = CarbonNewTarget();
  w->mSerial = CarbonRegistry::Add(CarbonRegistry::kWindow, w);
  if (w->Composited())
  {
    const HIRect all = CGRectMake(0, 0, w->Width(), w->Height());
    w->mRoot = CarbonNewControl(w, nullptr, all, kControlSupportsEmbedding);
    OpaqueControlRef* content = CarbonNewControl(w, w->mRoot, all, kControlSupportsEmbedding);
    content->mID = kHIViewWindowContentID;
  }
  *outWindow = w;
  return noErr;
}

void DisposeWindow(WindowRef window)
{
  OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, window);
  if (!w || w->mDisposing) return;
  const uint64_t serial = w->mSerial;
  CarbonLogCall("DisposeWindow");
  w->mDisposing = true;

  // Tell every control first, while the window is whole; a handler may dispose controls itself.
  struct Known
  {
    OpaqueControlRef* mControl;
    uint64_t mSerial;
  };
  std::vector<Known> controls;
  for (OpaqueControlRef* c : w->mControls) controls.push_back({c, c->mSerial});
  for (const Known& k : controls)
  {
    if (CarbonRegistry::Alive(CarbonRegistry::kControl, k.mControl, k.mSerial) && !k.mControl->mTold)
      CarbonDisposeControl(k.mControl);
  }
  if (!CarbonRegistry::Alive(CarbonRegistry::kWindow, w, serial)) return;

  // Whatever is left goes without further callouts.
  while (!w->mControls.empty())
  {
    OpaqueControlRef* top = w->mControls.front();
    while (top->mParent) top = top->mParent;
    CarbonFreeControlTree(top);
  }
  CarbonDisposeTarget(w->mTarget);
  FreePort(w->mPort);
  CGContextRelease(w->mBacking);
  CarbonRegistry::Remove(CarbonRegistry::kWindow, w);
  delete w;
}

Boolean IsValidWindowPtr(WindowRef possibleWindow)
{
  return CarbonRegistry::Contains(CarbonRegistry::kWindow, possibleWindow);
}

OSStatus GetWindowAttributes(WindowRef window, WindowAttributes* outAttributes)
{
  const OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, window);
  if (!w || !outAttributes) return paramErr;
  *outAttributes = w->mAttributes;
  return noErr;
}

OSStatus GetWindowClass(WindowRef window, WindowClass* outClass)
{
  const OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, window);
  if (!w || !outClass) return paramErr;
  *outClass = w->mClass;
  return noErr;
}

OSStatus GetWindowBounds(WindowRef window, WindowRegionCode regionCode, Rect* globalBounds)
{
  const OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, window);
  if (!w || !globalBounds) return paramErr;
  Rect r = w->mContent;
  if (regionCode == kWindowStructureRgn) r.top = (short)(r.top - TitleBarHeight(w));
  else if (regionCode != kWindowContentRgn) return paramErr;
  *globalBounds = r;
  return noErr;
}

OSStatus SetWindowBounds(WindowRef window, WindowRegionCode regionCode, const Rect* globalBounds)
{
  OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, window);
  if (!w || !globalBounds || (regionCode != kWindowContentRgn && regionCode != kWindowStructureRgn)) return paramErr;
  Rect content = *globalBounds;
  if (regionCode == kWindowStructureRgn) content.top = (short)(content.top + TitleBarHeight(w));
  if (!ValidBounds(&content)) return paramErr;
  CarbonLogCall("SetWindowBounds " + std::to_string(regionCode) + " " + std::to_string(globalBounds->top) + " " +
                std::to_string(globalBounds->left) + " " + std::to_string(globalBounds->bottom) + " " +
                std::to_string(globalBounds->right));

  const int width = content.right - content.left, height = content.bottom - content.top;
  if (width != w->Width() || height != w->Height())
  {
    CGContextRef backing = CarbonNewBacking(width, height);
    if (!backing) return memFullErr;
    CopyPixels(w->mBacking, backing);
    CGContextRelease(w->mBacking);  // open port contexts keep the old one until they end
    w->mBacking = backing;
  }
  w->mContent = content;

  // The root (and a composited window's content view) fill the content. Telling them may call out.
  std::vector<std::pair<OpaqueControlRef*, uint64_t>> fill;
  if (w->mRoot)
  {
    fill.push_back({w->mRoot, w->mRoot->mSerial});
    if (w->Composited())
    {
      for (OpaqueControlRef* c : w->mRoot->mChildren)
      {
        if (c->mID.signature == kHIViewWindowContentID.signature && c->mID.id == kHIViewWindowContentID.id)
          fill.push_back({c, c->mSerial});
      }
    }
  }
  const HIRect all = CGRectMake(0, 0, width, height);
  for (const auto& f : fill)
  {
    if (CarbonRegistry::Alive(CarbonRegistry::kControl, f.first, f.second)) CarbonSetFrame(f.first, all);
  }
  return noErr;
}

CGrafPtr GetWindowPort(WindowRef window)
{
  const OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, window);
  return w ? w->mPort : nullptr;
}
