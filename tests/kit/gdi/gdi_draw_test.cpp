// Memory drawing contexts and the record pools.

#include <gtest/gtest.h>

#include <CoreGraphics/testkit.h>

#include <cstring>
#include <vector>

#include "gdi-draw.h"

TEST(GdiMemContext, ZeroFilledBufferInTheRasterOrientation)
{
  const int w = 7, h = 5;
  HDC dc = GDI_CreateMemContext(nullptr, w, h);
  ASSERT_NE(dc, nullptr);
  GDP_CTX* ctx = (GDP_CTX*)dc;
  uint8_t* buf = (uint8_t*)GDI_GetCtxFrameBuffer(dc);
  ASSERT_NE(buf, nullptr);
  for (int i = 0; i < w * h * 4; ++i) ASSERT_EQ(buf[i], 0) << i;

  CGContextRef cg = ctx->ctx;
  EXPECT_EQ(CGBitmapContextGetData(cg), buf);
  EXPECT_EQ(CGBitmapContextGetBytesPerRow(cg), (size_t)w * 4);
  EXPECT_EQ(CGBitmapContextGetBitsPerComponent(cg), 8u);
  EXPECT_EQ(CGBitmapContextGetAlphaInfo(cg), kCGImageAlphaNoneSkipFirst);

  // CoreGraphics fills the pixel at user (x, y) from the top-left; the raster library finds it at
  // byte offset (y * w + x) * 4, bytes unused (alpha), red, green, blue.
  CGContextSetRGBFillColor(cg, 1.0, 0.0, 1.0, 1.0);
  CGContextFillRect(cg, CGRectMake(3, 1, 1, 1));
  const uint32_t* px = (const uint32_t*)buf;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      EXPECT_EQ(px[y * w + x], (x == 3 && y == 1) ? 0xff00ffffu : 0u) << x << "," << y;
  const CGPoint dev = CGContextConvertPointToDeviceSpace(cg, CGPointMake(0, 0));
  EXPECT_EQ(dev.x, 0.0);
  EXPECT_EQ(dev.y, (double)h);  // the top-left corner of user space is the top of the device

  // Text colour: opaque black in the shared device-RGB space.
  EXPECT_EQ(ctx->curtextcolor_int, 0);
  ASSERT_NE(ctx->curtextcolor, nullptr);
  const CGFloat* c = CGColorGetComponents(ctx->curtextcolor);
  EXPECT_EQ(c[0], 0.0);
  EXPECT_EQ(c[1], 0.0);
  EXPECT_EQ(c[2], 0.0);
  EXPECT_EQ(c[3], 1.0);
  EXPECT_EQ(CGColorGetColorSpace(ctx->curtextcolor), GDI_SharedRGBColorSpace());
  EXPECT_EQ(ctx->curpen, nullptr);
  EXPECT_EQ(ctx->curbrush, nullptr);
  EXPECT_EQ(ctx->curfont, nullptr);
  GDI_DeleteGfxContext(dc);
}

TEST(GdiMemContext, DeletingReleasesWhatTheContextOwns)
{
  const CGTestKit::LiveCounts before = CGTestKit::Live();
  HDC dc = GDI_CreateMemContext(nullptr, 16, 16);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(CGTestKit::Live().contexts, before.contexts + 1);
  EXPECT_EQ(CGTestKit::Live().colors, before.colors + 1);
  GDI_DeleteGfxContext(dc);
  EXPECT_EQ(CGTestKit::Live().contexts, before.contexts);
  EXPECT_EQ(CGTestKit::Live().colors, before.colors);

  // A context that owns no buffer draws into someone else's CoreGraphics context: deleting it
  // releases neither that context nor the selected objects.
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  CGContextRef foreign = CGBitmapContextCreate(nullptr, 4, 4, 8, 16, space, kCGImageAlphaNoneSkipFirst);
  CGColorSpaceRelease(space);
  GDP_OBJECT* pen = GDP_OBJECT_NEW();
  pen->type = kGdiObjPen;
  GDP_CTX* win = GDI_GDP_CTX_NEW();
  win->ctx = foreign;
  win->curpen = pen;
  GDI_DeleteGfxContext(win);
  EXPECT_EQ(CGTestKit::RetainCount(foreign), 1);
  EXPECT_EQ(pen->type, kGdiObjPen);
  CGContextRelease(foreign);
  GDP_OBJECT_FREE(pen);

  GDI_DeleteGfxContext(nullptr);
  EXPECT_EQ(GDI_GetCtxFrameBuffer(nullptr), nullptr);
}

TEST(GdiMemContext, FailuresLeaveNothingBehind)
{
  const CGTestKit::LiveCounts before = CGTestKit::Live();
  EXPECT_EQ(GDI_CreateMemContext(nullptr, 0, 10), nullptr);
  EXPECT_EQ(GDI_CreateMemContext(nullptr, 10, -1), nullptr);
  CGTestKit::FailNext(CGTestKit::kContext);
  EXPECT_EQ(GDI_CreateMemContext(nullptr, 10, 10), nullptr);
  CGTestKit::ClearFailures();
  // Far more than memory holds: the buffer cannot be had.
  EXPECT_EQ(GDI_CreateMemContext(nullptr, 1 << 30, 1 << 30), nullptr);
  EXPECT_EQ(CGTestKit::Live().contexts, before.contexts);
  EXPECT_EQ(CGTestKit::Live().colors, before.colors);
}

TEST(GdiPools, HoldAtMost1024RecordsAndReuseTheLastZeroed)
{
  // Fill the context pool to its limit with fresh records.
  std::vector<GDP_CTX*> recs;
  for (int i = 0; i < kGdiPoolMax + 1; ++i) recs.push_back((GDP_CTX*)calloc(1, sizeof(GDP_CTX)));
  const int start = GDI_CtxPoolSize();
  for (int i = 0; i < kGdiPoolMax - start; ++i) GDI_GDP_CTX_FREE(recs[i]);
  for (int i = kGdiPoolMax - start; i < kGdiPoolMax; ++i) free(recs[i]);
  EXPECT_EQ(GDI_CtxPoolSize(), kGdiPoolMax);

  // The next deletion frees its record instead of pooling it.
  HDC dc = GDI_CreateMemContext(nullptr, 2, 2);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GDI_CtxPoolSize(), kGdiPoolMax - 1);
  GDI_DeleteGfxContext(dc);
  EXPECT_EQ(GDI_CtxPoolSize(), kGdiPoolMax);
  free(recs[kGdiPoolMax]);

  // Below the limit the record goes back, and the next creation takes that very record, zeroed.
  GDP_CTX* taken = GDI_GDP_CTX_NEW();
  EXPECT_EQ(GDI_CtxPoolSize(), kGdiPoolMax - 1);
  taken->curbkmode = 7;
  taken->lastpos_x = 3.5f;
  GDI_GDP_CTX_FREE(taken);
  GDP_CTX* again = GDI_GDP_CTX_NEW();
  EXPECT_EQ(again, taken);
  GDP_CTX zero;
  memset(&zero, 0, sizeof(zero));
  EXPECT_EQ(memcmp(again, &zero, sizeof(zero)), 0);
  GDI_GDP_CTX_FREE(again);

  // The object pool works the same way.
  GDP_OBJECT* obj = GDP_OBJECT_NEW();
  obj->type = kGdiObjBrush;
  obj->wid = -1;
  GDP_OBJECT_FREE(obj);
  GDP_OBJECT* obj2 = GDP_OBJECT_NEW();
  EXPECT_EQ(obj2, obj);
  EXPECT_EQ(obj2->type, 0);
  EXPECT_EQ(obj2->wid, 0);
  GDP_OBJECT_FREE(obj2);
}
