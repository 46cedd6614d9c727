// Device contexts of windows and views, contexts over graphics contexts, text and background
// settings, and clipping.

#include <AppKit/AppKit.h>

#include "gdi-internal.h"

namespace
{
NSView* ViewOf(void* windowOrView)
{
  id obj = objc_objectForPointer(windowOrView);
  if (NSWindow* window = dynamic_cast<NSWindow*>(obj)) return window->contentView();
  return dynamic_cast<NSView*>(obj);
}

HDC AskPaintInfo(id obj)
{
  GDI_PaintInfoSource* source = dynamic_cast<GDI_PaintInfoSource*>(obj);
  if (!source) return nullptr;
  GDI_PaintInfo info = {};
  source->getGdiPaintInfo(&info);
  return info.hdc;
}

// The paint's own context, its state saved for the caller to restore in ReleaseDC.
HDC LendPaintContext(HDC hdc)
{
  if (CGContextRef cg = ((GDP_CTX*)hdc)->ctx) CGContextSaveGState(cg);
  return hdc;
}
}  // namespace

HDC GetDC(void* windowOrView)
{
  if (!windowOrView) return nullptr;
  id obj = objc_objectForPointer(windowOrView);
  if (NSWindow* window = dynamic_cast<NSWindow*>(obj))
  {
    if (HDC painting = AskPaintInfo(window)) return LendPaintContext(painting);
    obj = window->contentView();
    if (!obj) return nullptr;
  }
  NSView* view = dynamic_cast<NSView*>(obj);
  if (!view) return nullptr;
  if (HDC painting = AskPaintInfo(view)) return LendPaintContext(painting);

  if (!view->lockFocusIfCanDraw()) return nullptr;
  NSGraphicsContext* current = NSGraphicsContext::currentContext();
  CGContextRef cg = current ? (CGContextRef)current->graphicsPort() : nullptr;
  GDP_CTX* ctx = cg ? GDI_GDP_CTX_NEW() : nullptr;
  if (!ctx)
  {
    view->unlockFocus();
    return nullptr;
  }
  ctx->ctx = cg;
  CGContextSaveGState(cg);
  return ctx;
}

HDC GetWindowDC(void* windowOrView)
{
  HDC hdc = GetDC(windowOrView);
  if (!hdc) return nullptr;
  NSView* view = ViewOf(windowOrView);
  CGContextRef cg = ((GDP_CTX*)hdc)->ctx;
  if (view && cg)
  {
    const NSRect b = view->bounds();
    if (b.origin.x != 0 || b.origin.y != 0) CGContextTranslateCTM(cg, b.origin.x, b.origin.y);
  }
  return hdc;
}

void ReleaseDC(void* windowOrView, HDC hdc)
{
  GDP_CTX* ctx = (GDP_CTX*)hdc;
  if (!ctx) return;
  if (ctx->ctx) CGContextRestoreGState(ctx->ctx);
  // Asked as GetDC asked: the window first, then its content view.
  id obj = objc_objectForPointer(windowOrView);
  if (NSWindow* window = dynamic_cast<NSWindow*>(obj))
  {
    if (AskPaintInfo(window) == hdc) return;  // the window's paint owns it
    obj = window->contentView();
  }
  if (obj && AskPaintInfo(obj) == hdc) return;  // the paint owns it
  GDI_DeleteGfxContext(hdc);
  // The focus GetDC locked (unlocking a view that holds no lock does nothing).
  if (NSView* view = dynamic_cast<NSView*>(obj)) view->unlockFocus();
}

HDC GDI_CreateGfxContext(void* nsGraphicsContext)
{
  NSGraphicsContext* gc = dynamic_cast<NSGraphicsContext*>(objc_objectForPointer(nsGraphicsContext));
  if (!gc) return nullptr;
  GDP_CTX* ctx = GDI_GDP_CTX_NEW();
  if (ctx) ctx->ctx = (CGContextRef)gc->graphicsPort();
  return ctx;
}

CGContextRef GDI_GetCtxGC(HDC hdc) { return hdc ? ((GDP_CTX*)hdc)->ctx : nullptr; }

void SetTextColor(HDC hdc, int rgb) { GDI_SetCtxTextColor((GDP_CTX*)hdc, rgb); }

void SetBkColor(HDC hdc, int rgb)
{
  if (hdc) ((GDP_CTX*)hdc)->curbkcol = rgb;
}

void SetBkMode(HDC hdc, int mode)
{
  if (hdc) ((GDP_CTX*)hdc)->curbkmode = mode;
}

void GDI_PushClipRegion(HDC hdc)
{
  if (CGContextRef cg = GDI_GetCtxGC(hdc)) CGContextSaveGState(cg);
}

void GDI_PopClipRegion(HDC hdc)
{
  if (CGContextRef cg = GDI_GetCtxGC(hdc)) CGContextRestoreGState(cg);
}

void GDI_SetClipRegion(HDC hdc, const RECT* r)
{
  CGContextRef cg = GDI_GetCtxGC(hdc);
  if (cg && r) CGContextClipToRect(cg, gdi::RectOf(*r));
}
