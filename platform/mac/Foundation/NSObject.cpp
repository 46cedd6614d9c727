// The root class and the registry of live objects. Creation and destruction take the registry's
// lock; retain and release are atomic counts only.

#include <Foundation/NSObject.h>

#include <atomic>
#include <limits>
#include <mutex>
#include <unordered_set>

#include <Foundation/testkit.h>

namespace
{
// Never destroyed: objects may be freed by thread-exit and static destructors after main returns.
struct Registry
{
  std::mutex mLock;
  std::unordered_set<const void*> mObjects;
};

Registry& TheRegistry()
{
  static Registry* sRegistry = new Registry;
  return *sRegistry;
}

std::atomic<long> sLiveCounted{0};
std::atomic<objc_ForeignObjectResolver> sForeignResolver{nullptr};
}  // namespace

NSObject::NSObject()
{
  Registry& r = TheRegistry();
  {
    std::lock_guard<std::mutex> lock(r.mLock);
    r.mObjects.insert(static_cast<const void*>(this));
  }
  sLiveCounted.fetch_add(1, std::memory_order_relaxed);
}

NSObject::~NSObject()
{
  Registry& r = TheRegistry();
  {
    std::lock_guard<std::mutex> lock(r.mLock);
    r.mObjects.erase(static_cast<const void*>(this));
  }
  if (!mImmortal) sLiveCounted.fetch_sub(1, std::memory_order_relaxed);
}

id NSObject::retain()
{
  if (!mImmortal) mRetainCount.fetch_add(1, std::memory_order_relaxed);
  return this;
}

void NSObject::release()
{
  if (mImmortal) return;
  if (mRetainCount.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

id NSObject::autorelease()
{
  if (!mImmortal) NSAutoreleasePool::addObject(this);
  return this;
}

NSUInteger NSObject::retainCount() const
{
  if (mImmortal) return std::numeric_limits<NSUInteger>::max();
  const long n = mRetainCount.load(std::memory_order_relaxed);
  return n > 0 ? (NSUInteger)n : 0;
}

void NSObject::makeImmortal()
{
  if (mImmortal) return;
  mImmortal = true;
  sLiveCounted.fetch_sub(1, std::memory_order_relaxed);
}

id objc_objectForPointer(const void* ptr)
{
  if (!ptr) return nil;
  {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mLock);
    if (r.mObjects.count(ptr)) return static_cast<id>(const_cast<void*>(ptr));
  }
  if (objc_ForeignObjectResolver resolver = sForeignResolver.load(std::memory_order_acquire)) return resolver(ptr);
  return nil;
}

void objc_setForeignObjectResolver(objc_ForeignObjectResolver resolver)
{
  sForeignResolver.store(resolver, std::memory_order_release);
}

long FoundationTestKit::LiveObjectCount()
{
  return sLiveCounted.load(std::memory_order_relaxed);
}
