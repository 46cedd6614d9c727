// IGraphicsCocoa_v1002: the repaint timer, the paint callback and the mouse events of the
// editor's Cocoa view. The view is not flipped: editor y = height - view y, both ways.

#include "IGraphicsCocoa.h"

#include <cmath>

#include "IGraphicsMac.h"
#include "IGraphicsMacCoords.h"

IMouseMod GetCocoaMouseMod(NSUInteger flags)
{
  return IMouseMod(true, (flags & 0x8) || (flags & NSCommandKeyMask), flags & NSShiftKeyMask,
                   flags & NSControlKeyMask, flags & NSAlternateKeyMask);
}

IGraphicsCocoa_v1002* IGraphicsCocoa_v1002::init()
{
  mGraphics = nullptr;
  mTimer = nil;
  return this;
}

IGraphicsCocoa_v1002* IGraphicsCocoa_v1002::initWithIGraphics(IGraphicsMac* pGraphics)
{
  mGraphics = pGraphics;
  const NSRect r = NSMakeRect(0, 0, pGraphics->Width(), pGraphics->Height());
  NSView::initWithFrame(r);
  const double interval = 1.0 / (double)pGraphics->FPS();
  mTimer = NSTimer::timerWithTimeInterval(interval, this, selector(&IGraphicsCocoa_v1002::onTimer), nil, YES);
  NSRunLoop::currentRunLoop()->addTimer(mTimer, kCFRunLoopCommonModes);
  return this;
}

void IGraphicsCocoa_v1002::viewDidMoveToWindow()
{
  if (NSWindow* pWindow = window())
  {
    pWindow->makeFirstResponder(this);
    pWindow->setAcceptsMouseMovedEvents(YES);
  }
}

void IGraphicsCocoa_v1002::killTimer()
{
  if (mTimer) mTimer->invalidate();
  mTimer = nil;
}

void IGraphicsCocoa_v1002::removeFromSuperview()
{
  if (mGraphics)
  {
    IGraphicsMac* pGraphics = mGraphics;
    mGraphics = nullptr;
    pGraphics->CloseWindow();
  }
  NSView::removeFromSuperview();
}

void IGraphicsCocoa_v1002::doCommandBySelector(SEL sel)
{
  NSView::doCommandBySelector(sel);
}

void IGraphicsCocoa_v1002::getMouseXY(NSEvent* pEvent, int* pX, int* pY)
{
  const NSPoint pt = convertPoint(pEvent->locationInWindow(), nil);
  *pX = EditorCoord(pt.x);
  *pY = mGraphics->Height() - EditorCoord(pt.y);
}

bool IGraphicsCocoa_v1002::getMouseEvent(NSEvent* pEvent, int* pX, int* pY, IMouseMod* pMod)
{
  if (!mGraphics || !pEvent) return false;
  getMouseXY(pEvent, pX, pY);
  *pMod = GetCocoaMouseMod(pEvent->modifierFlags());
  return true;
}

void IGraphicsCocoa_v1002::onTimer(id pTimer)
{
  if (pTimer != mTimer || !mGraphics) return;
  IRECT r;
  if (!mGraphics->IsDirty(&r)) return;
  const int h = mGraphics->Height();
  setNeedsDisplayInRect(NSMakeRect(r.L, h - r.B, r.W(), r.H()));
}

void IGraphicsCocoa_v1002::drawRect(NSRect rect)
{
  if (!mGraphics) return;
  const int h = mGraphics->Height();
  const int x = EditorCoord(rect.origin.x), y = EditorCoord(rect.origin.y);
  const int w = EditorCoord(rect.size.width), rh = EditorCoord(rect.size.height);
  IRECT r(x, h - (y + rh), x + w, h - y);
  // A control counts as drawn once its part inside what the view shows is: one the host's window
  // clips would otherwise stay dirty and be repainted on every tick.
  const NSRect vis = visibleRect();
  if (NSIsEmptyRect(vis))
    mGraphics->SetVisibleArea(IRECT());
  else
    mGraphics->SetVisibleArea(IRECT(EditorCoord(std::floor(NSMinX(vis))), h - EditorCoord(std::ceil(NSMaxY(vis))),
                                    EditorCoord(std::ceil(NSMaxX(vis))), h - EditorCoord(std::floor(NSMinY(vis)))));
  mGraphics->Draw(&r);
}

void IGraphicsCocoa_v1002::mouseDown(NSEvent* pEvent)
{
  NSView::mouseDown(pEvent);
  int x, y;
  IMouseMod mod;
  if (!getMouseEvent(pEvent, &x, &y, &mod)) return;
  if (pEvent->clickCount() < 2)
    mGraphics->OnMouseDown(x, y, &mod);
  else
    mGraphics->OnMouseDblClick(x, y, &mod);
}

void IGraphicsCocoa_v1002::mouseUp(NSEvent* pEvent)
{
  int x, y;
  IMouseMod mod;
  if (getMouseEvent(pEvent, &x, &y, &mod)) mGraphics->OnMouseUp(x, y, &mod);
}

void IGraphicsCocoa_v1002::mouseDragged(NSEvent* pEvent)
{
  int x, y;
  IMouseMod mod;
  if (getMouseEvent(pEvent, &x, &y, &mod)) mGraphics->OnMouseDrag(x, y, &mod);
}

void IGraphicsCocoa_v1002::mouseMoved(NSEvent* pEvent)
{
  int x, y;
  IMouseMod mod;
  if (getMouseEvent(pEvent, &x, &y, &mod)) mGraphics->OnMouseOver(x, y, &mod);
}

void IGraphicsCocoa_v1002::scrollWheel(NSEvent* pEvent)
{
  int x, y;
  IMouseMod mod;
  if (getMouseEvent(pEvent, &x, &y, &mod)) mGraphics->OnMouseWheel(x, y, &mod, EditorCoord((float)pEvent->deltaY()));
}
