// Device-context and object records with their pools, and memory drawing contexts.

#include "gdi-draw.h"

#include <Foundation/Foundation.h>

#include <cstdlib>
#include <cstring>

#include "gdi-internal.h"
#include "mutex.h"
#include "ptrlist.h"

namespace
{
// Both pools and the one mutex that guards them. Built on first use so that a context made from
// another file's start-up code finds them ready; at exit the records still pooled are freed with
// the arrays, and later deletions free their records directly.
struct GdiPools
{
  KIT_Mutex m_ctxpool_mutex;
  KIT_PtrList<GDP_CTX> m_ctxpool{4096};
  KIT_PtrList<GDP_OBJECT> m_objpool{4096};

  ~GdiPools()
  {
    sGone = true;
    for (int i = 0; i < m_ctxpool.GetSize(); ++i) free(m_ctxpool.Get(i));
    for (int i = 0; i < m_objpool.GetSize(); ++i) free(m_objpool.Get(i));
  }

  static inline bool sGone = false;
};

GdiPools* Pools()
{
  static GdiPools pools;
  return GdiPools::sGone ? nullptr : &pools;
}

template <class T>
T* TakeRecord(KIT_PtrList<T> GdiPools::*list)
{
  T* rec = nullptr;
  if (GdiPools* p = Pools())
  {
    KIT_MutexScope lock(&p->m_ctxpool_mutex);
    KIT_PtrList<T>& pool = p->*list;
    const int n = pool.GetSize();
    if (n > 0)
    {
      rec = pool.Get(n - 1);
      pool.Delete(n - 1);
    }
  }
  if (rec)
  {
    memset(rec, 0, sizeof(T));
    return rec;
  }
  return (T*)calloc(1, sizeof(T));
}

template <class T>
void ReturnRecord(KIT_PtrList<T> GdiPools::*list, T* rec)
{
  if (!rec) return;
  if (GdiPools* p = Pools())
  {
    KIT_MutexScope lock(&p->m_ctxpool_mutex);
    KIT_PtrList<T>& pool = p->*list;
    if (pool.GetSize() < kGdiPoolMax && pool.Add(rec)) return;
  }
  free(rec);
}

template <class T>
int PoolSize(KIT_PtrList<T> GdiPools::*list)
{
  GdiPools* p = Pools();
  if (!p) return 0;
  KIT_MutexScope lock(&p->m_ctxpool_mutex);
  return (p->*list).GetSize();
}
}  // namespace

GDP_CTX* GDI_GDP_CTX_NEW() { return TakeRecord(&GdiPools::m_ctxpool); }
GDP_OBJECT* GDP_OBJECT_NEW() { return TakeRecord(&GdiPools::m_objpool); }
void GDI_GDP_CTX_FREE(GDP_CTX* ctx) { ReturnRecord(&GdiPools::m_ctxpool, ctx); }
void GDP_OBJECT_FREE(GDP_OBJECT* obj) { ReturnRecord(&GdiPools::m_objpool, obj); }
int GDI_CtxPoolSize() { return PoolSize(&GdiPools::m_ctxpool); }
int GDI_ObjPoolSize() { return PoolSize(&GdiPools::m_objpool); }

CGColorSpaceRef GDI_SharedRGBColorSpace()
{
  // A function-local static: several threads making their first colour at once get one space.
  static CGColorSpaceRef sSpace = CGColorSpaceCreateDeviceRGB();
  return sSpace;
}

void GDI_SetCtxTextColor(GDP_CTX* ctx, int rgb)
{
  if (!ctx) return;
  ctx->curtextcolor_int = rgb;
  if (ctx->curtextcolor) CGColorRelease(ctx->curtextcolor);
  const CGFloat comps[4] = {((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0, 1.0};
  ctx->curtextcolor = CGColorCreate(GDI_SharedRGBColorSpace(), comps);
}

HDC GDI_CreateMemContext(HDC, int w, int h)
{
  // Spans and sizes of the bitmaps over the buffer are ints: larger buffers cannot be addressed.
  if (w <= 0 || h <= 0 || (int64_t)w * h * 4 > INT32_MAX) return nullptr;
  const size_t rowBytes = (size_t)w * 4;
  void* buf = calloc((size_t)h, rowBytes);
  if (!buf) return nullptr;

  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  CGContextRef cg = CGBitmapContextCreate(buf, (size_t)w, (size_t)h, 8, rowBytes, space,
                                          kCGImageAlphaNoneSkipFirst | kCGBitmapByteOrderDefault);
  CGColorSpaceRelease(space);
  if (!cg)
  {
    free(buf);
    return nullptr;
  }
  // Origin at the top-left pixel, y downwards: the raster library's orientation.
  CGContextTranslateCTM(cg, 0, (CGFloat)h);
  CGContextScaleCTM(cg, 1, -1);

  GDP_CTX* ctx = GDI_GDP_CTX_NEW();
  if (!ctx)
  {
    CGContextRelease(cg);
    free(buf);
    return nullptr;
  }
  ctx->ctx = cg;
  ctx->framebuffer = buf;
  GDI_SetCtxTextColor(ctx, 0);
  return ctx;
}

void* GDI_GetCtxFrameBuffer(HDC hdc)
{
  return hdc ? ((GDP_CTX*)hdc)->framebuffer : nullptr;
}

void GDI_DeleteGfxContext(HDC hdc)
{
  GDP_CTX* ctx = (GDP_CTX*)hdc;
  if (!ctx) return;
  if (ctx->framebuffer)
  {
    // A context without a buffer draws into a window's or view's context, which is not ours.
    CGContextRelease(ctx->ctx);
    free(ctx->framebuffer);
  }
  if (ctx->heldobj) ((NSObject*)ctx->heldobj)->release();
  if (ctx->curtextcolor) CGColorRelease(ctx->curtextcolor);
  // The selected objects belong to whoever made them; they are only no longer selected here.
  gdi::Deselected(ctx->curpen);
  gdi::Deselected(ctx->curbrush);
  gdi::Deselected(ctx->curfont);
  GDI_GDP_CTX_FREE(ctx);
}
