// The process-wide bitmap cache: every image loaded, scaled or cropped by any editor surface of
// the bundle, shared by all instances and freed when the bundle goes.

#include "IFxCheck.h"
#include "IGraphicsPix.h"
#include "mutex.h"
#include "pix.h"
#include "pix_transform.h"
#include "ptrlist.h"

namespace
{
struct ICacheEntry
{
  int mID;  // the resource ID, -1 for a scaled or cropped copy
  PIX_IBitmap* mBitmap;
};

struct IBitmapCacheList
{
  KIT_PtrList<ICacheEntry> mList{4096};
  KIT_Mutex mMutex;

  ~IBitmapCacheList() { Free(); }

  void Free()
  {
    KIT_MutexScope lock(&mMutex);
    const int n = mList.GetSize();
    for (int i = 0; i < n; ++i) delete mList.Get(i)->mBitmap;
    mList.Empty(true);
  }

  PIX_IBitmap* Find(int ID)
  {
    KIT_MutexScope lock(&mMutex);
    for (int i = 0; i < mList.GetSize(); ++i)
      if (mList.Get(i)->mID == ID) return mList.Get(i)->mBitmap;
    return nullptr;
  }

  void Add(int ID, PIX_IBitmap* pBitmap)
  {
    ICacheEntry* e = new ICacheEntry{ID, pBitmap};
    KIT_MutexScope lock(&mMutex);
    // A list that cannot grow drops the entry; its bitmap, which the caller is already drawing
    // with, then simply lives until the process ends.
    if (!mList.Add(e)) delete e;
  }
};

// Built on first use, which is before any surface can load an image, whatever the order of static
// initialisation; torn down with the process's other statics at exit.
IBitmapCacheList& s_bitmapCache()
{
  static IBitmapCacheList cache;
  return cache;
}
}  // namespace

IBitmap IGraphicsPix::LoadIBitmap(int ID, const char* name, int nStates)
{
  IBitmapCacheList& cache = s_bitmapCache();
  PIX_IBitmap* pBitmap = cache.Find(ID);
  if (!pBitmap)
  {
    // Read and decoded outside the lock.
    pBitmap = OSLoadBitmap(ID, name);
    const bool imgResourceFound = pBitmap != nullptr;
    // A missing or broken image in an installed bundle must not take the host down with it (it
    // is often scanning its plug-ins): the message stays, the surface counts the miss and the
    // plug-in goes on without an editor.
    IFX_REPORT(imgResourceFound, "kit/IFx/IGraphicsPix", __LINE__);
    if (!imgResourceFound)
    {
      ++mImagesMissing;
      return IBitmap();
    }
    cache.Add(ID, pBitmap);
  }
  return IBitmap(pBitmap, pBitmap->getWidth(), pBitmap->getHeight(), nStates);
}

void IGraphicsPix::RetainBitmap(IBitmap* pBitmap)
{
  if (pBitmap && pBitmap->mData) s_bitmapCache().Add(-1, pBitmap->mData);
}

void IGraphicsPix::ReleaseBitmap(IBitmap* pBitmap)
{
  if (!pBitmap) return;
  IBitmapCacheList& cache = s_bitmapCache();
  KIT_MutexScope lock(&cache.mMutex);
  for (int i = 0; i < cache.mList.GetSize(); ++i)
  {
    ICacheEntry* e = cache.mList.Get(i);
    if (e->mBitmap != pBitmap->mData) continue;
    cache.mList.Delete(i);
    delete e->mBitmap;
    delete e;
    return;
  }
}

IBitmap IGraphicsPix::ScaleBitmap(IBitmap* pBitmap, int destW, int destH)
{
  if (!pBitmap) return IBitmap();
  PIX_MemBitmap* pScaled = new PIX_MemBitmap(destW, destH);
  PIX_ScaledBlit(pScaled, pBitmap->mData, 0, 0, destW, destH, 0.0f, 0.0f, (float)pBitmap->W, (float)pBitmap->H,
                 1.0f, PIX_MODE_FILTERBILINEAR);
  IBitmap result(pScaled, destW, destH, pBitmap->N);
  RetainBitmap(&result);
  return result;
}

IBitmap IGraphicsPix::CropBitmap(IBitmap* pBitmap, IRECT* pR)
{
  if (!pBitmap || !pR) return IBitmap();
  const int w = pR->W(), h = pR->H();
  PIX_MemBitmap* pCropped = new PIX_MemBitmap(w, h);
  PIX_Blit(pCropped, pBitmap->mData, 0, 0, pR->L, pR->T, w, h, 1.0f, PIX_MODE_COPY);
  IBitmap result(pCropped, w, h, pBitmap->N);
  RetainBitmap(&result);
  return result;
}

int IGraphicsPix::CacheSize()
{
  IBitmapCacheList& cache = s_bitmapCache();
  KIT_MutexScope lock(&cache.mMutex);
  return cache.mList.GetSize();
}

int IGraphicsPix::CacheID(int idx)
{
  IBitmapCacheList& cache = s_bitmapCache();
  KIT_MutexScope lock(&cache.mMutex);
  const ICacheEntry* e = cache.mList.Get(idx);
  return e ? e->mID : -1;
}

PIX_IBitmap* IGraphicsPix::CacheBitmap(int idx)
{
  IBitmapCacheList& cache = s_bitmapCache();
  KIT_MutexScope lock(&cache.mMutex);
  const ICacheEntry* e = cache.mList.Get(idx);
  return e ? e->mBitmap : nullptr;
}

void IGraphicsPix::FreeBitmapCache()
{
  s_bitmapCache().Free();
}
