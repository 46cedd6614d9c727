// Device contexts of windows and views: focus locked for a new context, a paint's own context
// lent and left to it, contexts over graphics contexts, and handles that are not windows.

#include <gtest/gtest.h>

#include <AppKit/testkit.h>
#include <Foundation/testkit.h>

#include "gdi_canvas.h"

namespace
{
// A view that is painting through the emulation and says so.
class PaintingView : public NSView, public GDI_PaintInfoSource
{
public:
  HDC mPaint = nullptr;
  void getGdiPaintInfo(GDI_PaintInfo* info) override { info->hdc = mPaint; }
};

// A window that is painting through the emulation and says so itself.
class PaintingWindow : public NSWindow, public GDI_PaintInfoSource
{
public:
  HDC mPaint = nullptr;
  void getGdiPaintInfo(GDI_PaintInfo* info) override { info->hdc = mPaint; }
};

// Window pixels that are exactly rgb (bytes A, R, G, B).
int WindowPixelsOf(NSWindow* w, uint32_t rgb)
{
  int width, height, rowBytes;
  const uint8_t* px = AppKitTestKit::WindowPixels(w, &width, &height, &rowBytes);
  int n = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
    {
      const uint8_t* p = px + y * rowBytes + x * 4;
      n += ((uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3]) == rgb;
    }
  return n;
}
}  // namespace

TEST(GdiContexts, AWindowsContextDrawsIntoItsContentViewAndGoesBackToThePool)
{
  NSWindow* window = AppKitTestKit::NewWindow(20, 10);
  HGDIOBJ brush = CreateSolidBrush(0x0000ff);
  const RECT r = {2, 2, 6, 5};

  for (void* handle : {(void*)window, (void*)window->contentView()})
  {
    HDC dc = GetDC(handle);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GDI_GetCtxFrameBuffer(dc), nullptr);
    GDI_FillRect(dc, &r, brush);
    const int pooled = GDI_CtxPoolSize();
    ReleaseDC(handle, dc);
    EXPECT_EQ(GDI_CtxPoolSize(), pooled + 1) << "the record is recycled";
    EXPECT_EQ(NSGraphicsContext::currentContext(), nil) << "the focus is unlocked";
  }
  EXPECT_EQ(WindowPixelsOf(window, 0x0000ff), 12);

  HDC wdc = GetWindowDC(window);
  ASSERT_NE(wdc, nullptr);
  ReleaseDC(window, wdc);

  // A view outside any window cannot lock its focus.
  NSView* loose = (new NSView)->initWithFrame(NSMakeRect(0, 0, 10, 10));
  EXPECT_EQ(GetDC(loose), nullptr);
  EXPECT_EQ(GetWindowDC(loose), nullptr);
  loose->release();
  DeleteObject(brush);
  window->release();
}

TEST(GdiContexts, APaintsOwnContextIsLentAndLeftToIt)
{
  NSWindow* window = AppKitTestKit::NewWindow(16, 16);
  PaintingView* view = new PaintingView;
  view->initWithFrame(NSMakeRect(0, 0, 16, 16));
  window->contentView()->addSubview(view);
  GdiCanvas paint(16, 16);
  view->mPaint = paint.DC();

  HDC dc = GetDC(view);
  EXPECT_EQ(dc, paint.DC());
  const CGAffineTransform before = CGContextGetCTM(paint.Ctx()->ctx);
  CGContextTranslateCTM(paint.Ctx()->ctx, 3, 3);  // the borrower's changes are undone on release
  const int pooled = GDI_CtxPoolSize();
  ReleaseDC(view, dc);
  EXPECT_EQ(GDI_CtxPoolSize(), pooled) << "not deleted: the paint owns it";
  EXPECT_EQ(CGContextGetCTM(paint.Ctx()->ctx).ty, before.ty);
  EXPECT_NE(GDI_GetCtxFrameBuffer(paint.DC()), nullptr);

  // Without a paint in progress the view's focus is locked as for any view.
  view->mPaint = nullptr;
  dc = GetDC(view);
  ASSERT_NE(dc, nullptr);
  EXPECT_NE(dc, paint.DC());
  ReleaseDC(view, dc);
  window->release();
  view->release();
}

TEST(GdiContexts, AWindowLendsItsPaintsContextAndReleaseLeavesItAndTheFocusAlone)
{
  PaintingWindow* window = new PaintingWindow;
  window->initWithContentRect(NSMakeRect(0, 0, 16, 16), NSBorderlessWindowMask, NSBackingStoreBuffered, NO);
  GdiCanvas paint(16, 16);
  window->mPaint = paint.DC();
  // The paint in progress holds its content view's focus.
  NSView* content = window->contentView();
  ASSERT_TRUE(content->lockFocusIfCanDraw());
  NSGraphicsContext* painting = NSGraphicsContext::currentContext();
  ASSERT_NE(painting, nil);

  for (int round = 0; round < 2; ++round)
  {
    HDC dc = GetDC(window);
    ASSERT_EQ(dc, paint.DC()) << "the window's own answer comes first";
    const CGAffineTransform before = CGContextGetCTM(paint.Ctx()->ctx);
    CGContextTranslateCTM(paint.Ctx()->ctx, 3, 3);
    const int pooled = GDI_CtxPoolSize();
    ReleaseDC(window, dc);
    EXPECT_EQ(GDI_CtxPoolSize(), pooled) << "not deleted: the window's paint owns it";
    EXPECT_NE(GDI_GetCtxFrameBuffer(paint.DC()), nullptr);
    EXPECT_EQ(CGContextGetCTM(paint.Ctx()->ctx).tx, before.tx) << "the borrower's changes are undone";
    EXPECT_EQ(NSGraphicsContext::currentContext(), painting) << "the paint's focus stays locked";
  }
  // The paint goes on drawing into its context.
  HGDIOBJ brush = CreateSolidBrush(0x00ff00);
  const RECT r = {1, 1, 3, 3};
  GDI_FillRect(paint.DC(), &r, brush);
  EXPECT_EQ(paint.Exactly(0x00ff00, 0, 0, 16, 16), 4);
  DeleteObject(brush);

  content->unlockFocus();
  EXPECT_EQ(NSGraphicsContext::currentContext(), nil);
  window->release();
  FoundationTestKit::DrainImplicitPool();
}

TEST(GdiContexts, ContextsOverGraphicsContextsAndHandlesThatAreNotWindows)
{
  GdiCanvas c(4, 4);
  NSGraphicsContext* gc = NSGraphicsContext::graphicsContextWithGraphicsPort(c.Ctx()->ctx, NO);
  HDC dc = GDI_CreateGfxContext(gc);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GDI_GetCtxGC(dc), c.Ctx()->ctx);
  EXPECT_EQ(GDI_GetCtxFrameBuffer(dc), nullptr);
  GDI_DeleteGfxContext(dc);  // the port belongs to the graphics context
  EXPECT_NE(CGBitmapContextGetData(c.Ctx()->ctx), nullptr);

  int notAnObject = 0;
  EXPECT_EQ(GDI_CreateGfxContext(nullptr), nullptr);
  EXPECT_EQ(GDI_CreateGfxContext(&notAnObject), nullptr);
  EXPECT_EQ(GDI_GetCtxGC(nullptr), nullptr);
  EXPECT_EQ(GetDC(nullptr), nullptr);
  EXPECT_EQ(GetDC(&notAnObject), nullptr);
  EXPECT_EQ(GetDC(gc), nullptr) << "an object that is neither window nor view";
  EXPECT_EQ(GetWindowDC(&notAnObject), nullptr);
  ReleaseDC(nullptr, nullptr);

  // Text and background settings are kept on the context.
  SetTextColor(c.DC(), 0x336699);
  EXPECT_EQ(c.Ctx()->curtextcolor_int, 0x336699);
  EXPECT_DOUBLE_EQ(CGColorGetComponents(c.Ctx()->curtextcolor)[2], 0x99 / 255.0);
  SetBkColor(c.DC(), 0x102030);
  SetBkMode(c.DC(), 2);
  EXPECT_EQ(c.Ctx()->curbkcol, 0x102030);
  EXPECT_EQ(c.Ctx()->curbkmode, 2);
  SetTextColor(nullptr, 0);
  SetBkColor(nullptr, 0);
  SetBkMode(nullptr, 0);
  FoundationTestKit::DrainImplicitPool();
}
