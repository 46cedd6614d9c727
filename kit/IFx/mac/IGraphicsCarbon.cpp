// IGraphicsCarbon: the user pane, its event handler and timer, and drawing in composited (HIView)
// and non-composited (QuickDraw port) windows. Pane coordinates, like the editor's, run downwards.

#include "IGraphicsCarbon.h"

#include <atomic>
#include <climits>

#include "IGraphicsMac.h"
#include "IGraphicsMacCoords.h"

namespace
{
const EventTypeSpec controlEvents[] = {
  {kEventClassControl, kEventControlClick},
  {kEventClassControl, kEventControlDraw},
  {kEventClassControl, kEventControlDispose},
  {kEventClassControl, kEventControlBoundsChanged},
};

const EventTypeSpec windowEvents[] = {
  {kEventClassMouse, kEventMouseDown},    {kEventClassMouse, kEventMouseUp},
  {kEventClassMouse, kEventMouseMoved},   {kEventClassMouse, kEventMouseDragged},
  {kEventClassMouse, kEventMouseWheelMoved},
};

constexpr UInt32 kCompositedPaneFeatures = 0x12000026;
constexpr UInt32 kPaneFeatures = 0x26;

std::atomic<unsigned> sNextSerial{1};

// A content of w x h at the bounds' top-left corner keeps its right and bottom edges in 16 bits.
bool EdgesFit(const Rect& bounds, int w, int h)
{
  return CarbonPaneSizeFits(w, h) && bounds.left + w <= SHRT_MAX && bounds.top + h <= SHRT_MAX;
}

template <class T>
bool GetParam(EventRef pEvent, EventParamName name, EventParamType type, T* pOut)
{
  return GetEventParameter(pEvent, name, type, nullptr, sizeof(T), nullptr, pOut) == noErr;
}
}  // namespace

IGraphicsCarbon::IGraphicsCarbon(IGraphicsMac* pGraphicsMac, WindowRef pWindow, ControlRef pParentControl)
  : mGraphicsMac(pGraphicsMac), mSerial(sNextSerial.fetch_add(1, std::memory_order_relaxed)), mWindow(pWindow)
{
  const int w = pGraphicsMac->Width(), h = pGraphicsMac->Height();
  Rect r;
  r.top = r.left = 0;
  r.bottom = (short)h;
  r.right = (short)w;

  WindowAttributes attributes = 0;
  GetWindowAttributes(pWindow, &attributes);
  mIsComposited = (attributes & kWindowCompositingAttribute) != 0;

  mRgn = NewRgn();
  CreateUserPaneControl(pWindow, &r, mIsComposited ? kCompositedPaneFeatures : kPaneFeatures, &mView);

  EventHandlerUPP handler = NewEventHandlerUPP(CarbonEventHandler);
  InstallEventHandler(GetControlEventTarget(mView), handler, sizeof(controlEvents) / sizeof(EventTypeSpec),
                      controlEvents, this, &mControlHandler);
  InstallEventHandler(GetWindowEventTarget(pWindow), handler, sizeof(windowEvents) / sizeof(EventTypeSpec),
                      windowEvents, this, &mWindowHandler);

  const double interval = 2.0 / (double)pGraphicsMac->FPS();
  InstallEventLoopTimer(GetMainEventLoop(), 0., kEventDurationSecond * interval,
                        NewEventLoopTimerUPP(CarbonTimerHandler), this, &mTimer);

  OSStatus err = noErr;
  if (mIsComposited)
  {
    if (!pParentControl) HIViewFindByID(HIViewGetRoot(pWindow), kHIViewWindowContentID, &pParentControl);
    err = HIViewAddSubview(pParentControl, mView);
  }
  else
  {
    if (!pParentControl && GetRootControl(pWindow, &pParentControl) != noErr)
      CreateRootControl(pWindow, &pParentControl);
    err = EmbedControl(mView, pParentControl);
  }
  if (err == noErr) SizeControl(mView, (SInt16)w, (SInt16)h);
}

IGraphicsCarbon::~IGraphicsCarbon()
{
  RemoveEventLoopTimer(mTimer);
  RemoveEventHandler(mControlHandler);
  RemoveEventHandler(mWindowHandler);
  mTimer = nullptr;
  // Out of its parent and gone; a pane the host disposed of already (with its window) is a stale
  // handle here, which is ignored.
  DisposeControl(mView);
  mView = nullptr;
  DisposeRgn(mRgn);
}

void IGraphicsCarbon::OffsetContentRect(CGRect* pR)
{
  *pR = CGRectOffset(*pR, (CGFloat)mContentXOffset, (CGFloat)mContentYOffset);
}

bool IGraphicsCarbon::Resize(int w, int h)
{
  if (!mWindow || !mView || !ResizeWindow(mWindow, w, h)) return false;
  const HIRect r = CGRectMake(0, 0, w, h);
  return HIViewSetFrame(mView, &r) == noErr;
}

bool IGraphicsCarbon::SizeFits(int w, int h) const
{
  Rect gr;
  if (GetWindowBounds(mWindow, kWindowContentRgn, &gr) != noErr) return CarbonPaneSizeFits(w, h);
  return EdgesFit(gr, w, h);
}

bool CarbonPaneSizeFits(int w, int h)
{
  return w >= 0 && h >= 0 && w <= SHRT_MAX && h <= SHRT_MAX;
}

bool ResizeWindow(WindowRef pWindow, int w, int h)
{
  Rect gr;
  if (GetWindowBounds(pWindow, kWindowContentRgn, &gr) != noErr || !EdgesFit(gr, w, h)) return false;
  gr.right = (short)(gr.left + w);
  gr.bottom = (short)(gr.top + h);
  return SetWindowBounds(pWindow, kWindowContentRgn, &gr) == noErr;
}

IRECT EventRegionRect(EventRef pEvent, int w, int h)
{
  RgnHandle rgn = nullptr;
  Rect r;
  if (GetParam(pEvent, kEventParamRgnHandle, typeQDRgnHandle, &rgn) && rgn && GetRegionBounds(rgn, &r))
    return IRECT(r.left, r.top, r.right, r.bottom);
  return IRECT(0, 0, w, h);
}

IRECT GetControlRect(EventRef pEvent, int w, int h)
{
  Rect r;
  if (GetParam(pEvent, kEventParamCurrentBounds, typeQDRectangle, &r) && r.right > r.left && r.bottom > r.top)
    return IRECT(0, 0, r.right - r.left, r.bottom - r.top);
  return IRECT(0, 0, w, h);
}

// ----- Timer and events -----

void IGraphicsCarbon::CarbonTimerHandler(EventLoopTimerRef, void* pGraphicsCarbon)
{
  IGraphicsCarbon* _this = (IGraphicsCarbon*)pGraphicsCarbon;
  IRECT r;
  if (!_this->mGraphicsMac->IsDirty(&r)) return;
  if (_this->mIsComposited)
  {
    const HIRect hr = CGRectMake(r.L, r.T, r.W(), r.H());
    HIViewSetNeedsDisplayInRect(_this->mView, &hr, true);
  }
  else
  {
    // Every control of the window is brought up to date: always correct, and the editor's own
    // draw copies the whole back buffer anyway.
    UpdateControls(_this->mWindow, nullptr);
  }
}

OSStatus IGraphicsCarbon::CarbonEventHandler(EventHandlerCallRef pHandlerCall, EventRef pEvent, void* pGraphicsCarbon)
{
  IGraphicsCarbon* _this = (IGraphicsCarbon*)pGraphicsCarbon;
  switch (GetEventClass(pEvent))
  {
    case kEventClassMouse:
      return _this->HandleMouseEvent(pHandlerCall, pEvent);
    case kEventClassControl:
      switch (GetEventKind(pEvent))
      {
        case kEventControlDraw:
          _this->DrawPane(pEvent);
          return noErr;
        case kEventControlDispose:
        case kEventControlBoundsChanged:
          return noErr;
        default:
          return eventNotHandledErr;
      }
    default:
      return eventNotHandledErr;
  }
}

OSStatus IGraphicsCarbon::HandleMouseEvent(EventHandlerCallRef pHandlerCall, EventRef pEvent)
{
  // Taken from the whole window: a position outside the pane reaches the editor as such.
  HIPoint hp = CGPointMake(0, 0);
  if (!GetParam(pEvent, kEventParamWindowMouseLocation, typeHIPoint, &hp)) return eventNotHandledErr;
  HIPointConvert(&hp, kHICoordSpaceWindow, mWindow, kHICoordSpaceView, mView);
  const int x = EditorCoord(hp.x), y = EditorCoord(hp.y);

  UInt32 mods = 0;
  GetParam(pEvent, kEventParamKeyModifiers, typeUInt32, &mods);
  IMouseMod mmod(true, mods & cmdKey, mods & shiftKey, mods & controlKey, mods & optionKey);

  switch (GetEventKind(pEvent))
  {
    case kEventMouseDown:
    {
      // A later handler may close the editor (the host's close box in the same window), which
      // deletes this pane: nothing is read through it once the event comes back, and the press
      // goes on only while this pane still shows the editor.
      IGraphicsMac* pGraphicsMac = mGraphicsMac;
      const IGraphicsCarbon* pSelf = this;
      const unsigned serial = mSerial;
      CallNextEventHandler(pHandlerCall, pEvent);
      const IGraphicsCarbon* pHost = pGraphicsMac->GetCarbonHost();
      if (pHost != pSelf || pHost->mSerial != serial) return noErr;
      UInt32 clickCount = 1;
      GetParam(pEvent, kEventParamClickCount, typeUInt32, &clickCount);
      if (clickCount < 2)
        pGraphicsMac->OnMouseDown(x, y, &mmod);
      else
        pGraphicsMac->OnMouseDblClick(x, y, &mmod);
      return noErr;
    }
    case kEventMouseUp:
      mGraphicsMac->OnMouseUp(x, y, &mmod);
      return noErr;
    case kEventMouseMoved:
      mGraphicsMac->OnMouseOver(x, y, &mmod);
      return noErr;
    case kEventMouseDragged:
      mGraphicsMac->OnMouseDrag(x, y, &mmod);
      return noErr;
    case kEventMouseWheelMoved:
    {
      EventMouseWheelAxis axis = kEventMouseWheelAxisX;
      SInt32 delta = 0;
      if (!GetParam(pEvent, kEventParamMouseWheelAxis, typeMouseWheelAxis, &axis) || axis != kEventMouseWheelAxisY)
        return eventNotHandledErr;
      GetParam(pEvent, kEventParamMouseWheelDelta, typeSInt32, &delta);
      mGraphicsMac->OnMouseWheel(x, y, &mmod, delta);
      return noErr;
    }
    default:
      return eventNotHandledErr;
  }
}

void IGraphicsCarbon::DrawPane(EventRef pEvent)
{
  const int w = mGraphicsMac->Width(), h = mGraphicsMac->Height();
  IRECT r = EventRegionRect(pEvent, w, h);

  // Every control counts as drawn once its part inside the pane is.
  HIRect bounds = CGRectMake(0, 0, w, h);
  HIViewGetBounds(mView, &bounds);
  mGraphicsMac->SetVisibleArea(IRECT(0, 0, EditorCoord(bounds.size.width), EditorCoord(bounds.size.height)));

  if (mIsComposited)
  {
    if (!GetParam(pEvent, kEventParamCGContextRef, typeCGContextRef, &mCGC)) mCGC = nullptr;
    // The view's context runs downwards; the back buffer's image is drawn upright in an upward one.
    if (mCGC)
    {
      CGContextTranslateCTM(mCGC, 0, h);
      CGContextScaleCTM(mCGC, 1, -1);
    }
    mGraphicsMac->Draw(&r);
  }
  else
  {
    // The port's origin is its bottom-left corner: the editor goes at its top. The port's height
    // is the window content's; the draw rectangle's, which covers only the area to update, would
    // move the image out of place for any partial update.
    Rect content;
    const int portH = GetWindowBounds(mWindow, kWindowContentRgn, &content) == noErr ? content.bottom - content.top
                                                                                     : r.B - r.T;
    mContentYOffset = portH - h;
    GrafPtr port = nullptr;
    GetParam(pEvent, kEventParamGrafPort, typeGrafPtr, &port);
    if (!port || QDBeginCGContext(port, &mCGC) != noErr) mCGC = nullptr;
    r.T = r.R = r.B = 0;
    mGraphicsMac->IsDirty(&r);
    mGraphicsMac->Draw(&r);
    if (mCGC)
    {
      CGContextFlush(mCGC);
      QDEndCGContext(port, &mCGC);
    }
  }
  mCGC = nullptr;
}
