// Reference counting and the live-object count.

#include <cstdlib>
#include <cstring>

#include "CFRuntime.h"
#include "testkit.h"

namespace
{
std::atomic<long> s_liveObjects{0};
}

CFRuntimeBase::CFRuntimeBase(CFTypeID typeID) : mTypeID(typeID)
{
  if ((const char*)&mMagic - (const char*)this != (ptrdiff_t)sizeof(void*)) abort();
  s_liveObjects.fetch_add(1, std::memory_order_relaxed);
}

CFRuntimeBase::~CFRuntimeBase()
{
  if (!mImmortal) s_liveObjects.fetch_sub(1, std::memory_order_relaxed);
}

void CFRuntimeBase::MakeImmortal()
{
  if (mImmortal) return;
  mImmortal = true;
  s_liveObjects.fetch_sub(1, std::memory_order_relaxed);
}

// The magic is read as raw bytes before the pointer is taken for an object: on this ABI it sits
// right after the virtual table pointer.
const CFRuntimeBase* CFRuntimeCast(CFTypeRef cf, CFTypeID typeID)
{
  if (!cf) return nullptr;
  UInt32 magic;
  memcpy(&magic, (const char*)cf + sizeof(void*), sizeof(magic));
  if (magic != CFRuntimeBase::kMagic) return nullptr;
  const CFRuntimeBase* p = static_cast<const CFRuntimeBase*>(cf);
  if (typeID && p->mTypeID != typeID) return nullptr;
  return p;
}

void CFRuntimeMakeImmortal(CFTypeRef cf)
{
  if (CFRuntimeBase* p = const_cast<CFRuntimeBase*>(CFRuntimeCast(cf))) p->MakeImmortal();
}

CFTypeRef CFRetain(CFTypeRef cf)
{
  const CFRuntimeBase* p = CFRuntimeCast(cf);
  if (p && !p->mImmortal) const_cast<CFRuntimeBase*>(p)->mRetainCount.fetch_add(1, std::memory_order_relaxed);
  return cf;
}

void CFRelease(CFTypeRef cf)
{
  CFRuntimeBase* p = const_cast<CFRuntimeBase*>(CFRuntimeCast(cf));
  if (!p || p->mImmortal) return;
  if (p->mRetainCount.fetch_sub(1, std::memory_order_acq_rel) == 1) delete p;
}

CFIndex CFGetRetainCount(CFTypeRef cf)
{
  const CFRuntimeBase* p = CFRuntimeCast(cf);
  if (!p) return 0;
  return p->mImmortal ? (CFIndex)0x7fffffff : p->mRetainCount.load(std::memory_order_relaxed);
}

CFTypeID CFGetTypeID(CFTypeRef cf)
{
  const CFRuntimeBase* p = CFRuntimeCast(cf);
  return p ? p->mTypeID : 0;
}

Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2)
{
  if (cf1 == cf2) return true;
  const CFRuntimeBase* a = CFRuntimeCast(cf1);
  const CFRuntimeBase* b = CFRuntimeCast(cf2);
  if (!a || !b || a->mTypeID != b->mTypeID) return false;
  return a->Equal(b);
}

CFHashCode CFHash(CFTypeRef cf)
{
  const CFRuntimeBase* p = CFRuntimeCast(cf);
  return p ? p->Hash() : 0;
}

long CFTestLiveObjectCount(void)
{
  return s_liveObjects.load(std::memory_order_relaxed);
}
