// The test kit: windows, input and drawing as a window system would give them, and readers.

#include "testkit.h"

#include <mutex>

#include "CarbonInternal.h"

using CarbonRegistry::Live;

namespace
{
std::mutex sUserPaneLock;
CarbonTestKit::UserPaneRequest sLastUserPane = {false, 0, {0, 0, 0, 0}};

OSStatus Send(WindowRef window, UInt32 eventClass, UInt32 kind, void (*fill)(EventRef, const void*), const void* args)
{
  EventTargetRef target = GetWindowEventTarget(window);
  if (!target) return paramErr;
  EventRef e = nullptr;
  if (CreateEvent(nullptr, eventClass, kind, 0, 0, &e) != noErr) return memFullErr;
  fill(e, args);
  const OSStatus status = SendEventToEventTarget(e, target);
  ReleaseEvent(e);
  return status;
}

struct MouseArgs
{
  HIPoint mWindow;
  HIPoint mGlobal;
  UInt32 mModifiers;
  UInt32 mClickCount;
  bool mButton;
  bool mCount;
  UInt16 mAxis;
  SInt32 mDelta;
  bool mWheel;
};

void FillMouse(EventRef e, const void* p)
{
  const MouseArgs& a = *static_cast<const MouseArgs*>(p);
  SetEventParameter(e, kEventParamWindowMouseLocation, typeHIPoint, sizeof(HIPoint), &a.mWindow);
  SetEventParameter(e, kEventParamMouseLocation, typeHIPoint, sizeof(HIPoint), &a.mGlobal);
  SetEventParameter(e, kEventParamKeyModifiers, typeUInt32, sizeof(UInt32), &a.mModifiers);
  if (a.mButton)
  {
    const EventMouseButton button = kEventMouseButtonPrimary;
    SetEventParameter(e, kEventParamMouseButton, typeMouseButton, sizeof(button), &button);
  }
  if (a.mCount) SetEventParameter(e, kEventParamClickCount, typeUInt32, sizeof(UInt32), &a.mClickCount);
  if (a.mWheel)
  {
    SetEventParameter(e, kEventParamMouseWheelAxis, typeMouseWheelAxis, sizeof(UInt16), &a.mAxis);
    SetEventParameter(e, kEventParamMouseWheelDelta, typeSInt32, sizeof(SInt32), &a.mDelta);
  }
}

OSStatus SendMouse(WindowRef w, UInt32 kind, double x, double y, UInt32 modifiers, UInt32 clickCount, bool button,
                   bool count, UInt16 axis = 0, SInt32 delta = 0, bool wheel = false)
{
  Rect content;
  if (GetWindowBounds(w, kWindowContentRgn, &content) != noErr) return paramErr;
  const MouseArgs args = {HIPoint{x, y}, HIPoint{x + content.left, y + content.top}, modifiers, clickCount, button,
                          count, axis, delta, wheel};
  return Send(w, kEventClassMouse, kind, FillMouse, &args);
}

struct KeyArgs
{
  UInt32 mCode;
  UInt32 mModifiers;
};

void FillKey(EventRef e, const void* p)
{
  const KeyArgs& a = *static_cast<const KeyArgs*>(p);
  SetEventParameter(e, kEventParamKeyCode, typeUInt32, sizeof(UInt32), &a.mCode);
  SetEventParameter(e, kEventParamKeyModifiers, typeUInt32, sizeof(UInt32), &a.mModifiers);
}

// Every control of a window, parents before children.
void PreOrder(OpaqueControlRef* c, std::vector<std::pair<OpaqueControlRef*, uint64_t>>* out)
{
  out->push_back({c, c->mSerial});
  for (OpaqueControlRef* child : c->mChildren) PreOrder(child, out);
}
}  // namespace

void CarbonRecordUserPane(bool made, UInt32 features, const Rect& bounds)
{
  std::lock_guard<std::mutex> lock(sUserPaneLock);
  sLastUserPane = CarbonTestKit::UserPaneRequest{made, features, bounds};
}

namespace CarbonTestKit
{
WindowRef NewWindow(int w, int h, bool composited)
{
  if (w <= 0 || h <= 0 || w > 32767 - kWindowLeft || h > 32767 - kWindowTop) return nullptr;
  const Rect content = {kWindowTop, kWindowLeft, (short)(kWindowTop + h), (short)(kWindowLeft + w)};
  WindowAttributes attributes = kWindowStandardDocumentAttributes | kWindowStandardHandlerAttribute;
  if (composited) attributes |= kWindowCompositingAttribute;
  WindowRef window = nullptr;
  return CreateNewWindow(kDocumentWindowClass, attributes, &content, &window) == noErr ? window : nullptr;
}

OSStatus MouseDown(WindowRef w, double x, double y, UInt32 modifiers, UInt32 clickCount)
{
  return SendMouse(w, kEventMouseDown, x, y, modifiers, clickCount, true, true);
}

OSStatus MouseUp(WindowRef w, double x, double y, UInt32 modifiers, UInt32 clickCount)
{
  return SendMouse(w, kEventMouseUp, x, y, modifiers, clickCount, true, true);
}

OSStatus MouseMoved(WindowRef w, double x, double y, UInt32 modifiers)
{
  return SendMouse(w, kEventMouseMoved, x, y, modifiers, 0, false, false);
}

OSStatus MouseDragged(WindowRef w, double x, double y, UInt32 modifiers)
{
  return SendMouse(w, kEventMouseDragged, x, y, modifiers, 0, true, false);
}

OSStatus Click(WindowRef w, double x, double y, UInt32 modifiers, UInt32 clickCount)
{
  const OSStatus down = MouseDown(w, x, y, modifiers, clickCount);
  const OSStatus up = MouseUp(w, x, y, modifiers, clickCount);
  return down != noErr ? down : up;
}

OSStatus Wheel(WindowRef w, double x, double y, UInt32 modifiers, UInt16 axis, SInt32 delta)
{
  return SendMouse(w, kEventMouseWheelMoved, x, y, modifiers, 0, false, false, axis, delta, true);
}

OSStatus Key(WindowRef w, UInt32 keyCode, UInt32 modifiers)
{
  const KeyArgs args = {keyCode, modifiers};
  return Send(w, kEventClassKeyboard, kEventRawKeyDown, FillKey, &args);
}

OSStatus KeyUp(WindowRef w, UInt32 keyCode, UInt32 modifiers)
{
  const KeyArgs args = {keyCode, modifiers};
  return Send(w, kEventClassKeyboard, kEventRawKeyUp, FillKey, &args);
}

OSStatus Draw(ControlRef control, const Rect* regionOrNull)
{
  OpaqueControlRef* c = Live(CarbonRegistry::kControl, control);
  if (!c) return paramErr;
  return CarbonDrawControl(c, regionOrNull);
}

int Update(WindowRef window)
{
  OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, window);
  if (!w || !w->Composited() || !w->mRoot) return 0;
  std::vector<std::pair<OpaqueControlRef*, uint64_t>> views;
  PreOrder(w->mRoot, &views);
  int drawn = 0;
  for (const auto& v : views)
  {
    if (!CarbonRegistry::Alive(CarbonRegistry::kControl, v.first, v.second)) continue;
    const HIRect area = v.first->mNeedsDisplay;
    if (CarbonIsEmpty(area)) continue;
    v.first->mNeedsDisplay = CGRectMake(0, 0, 0, 0);
    const Rect region = CarbonHIToRect(area);
    CarbonDrawControl(v.first, &region);
    ++drawn;
  }
  return drawn;
}

const uint8_t* WindowPixels(WindowRef window, int* width, int* height, int* rowBytes)
{
  const OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, window);
  if (!w) return nullptr;
  if (width) *width = (int)CGBitmapContextGetWidth(w->mBacking);
  if (height) *height = (int)CGBitmapContextGetHeight(w->mBacking);
  if (rowBytes) *rowBytes = (int)CGBitmapContextGetBytesPerRow(w->mBacking);
  return static_cast<const uint8_t*>(CGBitmapContextGetData(w->mBacking));
}

uint32_t WindowPixel(WindowRef window, int x, int y)
{
  int w = 0, h = 0, rowBytes = 0;
  const uint8_t* pixels = WindowPixels(window, &w, &h, &rowBytes);
  if (!pixels || x < 0 || y < 0 || x >= w || y >= h) return 0;
  const uint8_t* p = pixels + (size_t)y * rowBytes + (size_t)x * 4;
  return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

bool NeedsDisplayRect(ControlRef control, HIRect* outRect)
{
  const OpaqueControlRef* c = Live(CarbonRegistry::kControl, control);
  const HIRect area = c ? c->mNeedsDisplay : CGRectMake(0, 0, 0, 0);
  if (outRect) *outRect = CarbonIsEmpty(area) ? CGRectMake(0, 0, 0, 0) : area;
  return !CarbonIsEmpty(area);
}

UserPaneRequest LastUserPane()
{
  std::lock_guard<std::mutex> lock(sUserPaneLock);
  return sLastUserPane;
}

HIRect Frame(ControlRef control)
{
  const OpaqueControlRef* c = Live(CarbonRegistry::kControl, control);
  return c ? c->mFrame : CGRectMake(0, 0, 0, 0);
}

ControlRef Parent(ControlRef control)
{
  const OpaqueControlRef* c = Live(CarbonRegistry::kControl, control);
  return c ? c->mParent : nullptr;
}

bool IsEmbedded(ControlRef control)
{
  return Parent(control) != nullptr;
}

LiveCounts Live()
{
  using namespace CarbonRegistry;
  return LiveCounts{Count(kWindow), Count(kControl), Count(kHandler), Count(kTimer), Count(kEvent), Count(kRegion)};
}
}  // namespace CarbonTestKit
