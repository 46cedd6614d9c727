// Autorelease pools: a stack of pools per thread over an implicit base pool. The implicit pool is
// drained by each run-loop pass and at thread exit.

#include <Foundation/NSObject.h>

#include <vector>

#include <Foundation/testkit.h>

#include "FoundationPrivate.h"

namespace
{
struct PoolRecord
{
  NSAutoreleasePool* mPool = nullptr;
  std::vector<id> mObjects;
};

// Releases the objects in the order they came; objects autoreleased meanwhile into the same list
// are released after them.
void ReleaseAll(std::vector<id>& objects)
{
  while (!objects.empty())
  {
    std::vector<id> batch;
    batch.swap(objects);
    for (id object : batch) object->release();
  }
}

thread_local bool tPoolsGone = false;

struct ThreadPools;
void DrainAndPop(ThreadPools* t, PoolRecord* pool);

struct ThreadPools
{
  std::vector<id> mImplicit;
  std::vector<PoolRecord*> mStack;  // innermost last

  ~ThreadPools()
  {
    // Pools the thread left open go with it, innermost first, then the implicit pool.
    while (!mStack.empty())
    {
      PoolRecord* inner = mStack.back();
      DrainAndPop(this, inner);
      inner->mPool->release();
    }
    ReleaseAll(mImplicit);
    tPoolsGone = true;
  }
};

// Null once the thread's pools are gone (a late autorelease at thread exit is then leaked rather
// than touching a destroyed pool).
ThreadPools* Pools()
{
  if (tPoolsGone) return nullptr;
  thread_local ThreadPools tPools;
  return &tPools;
}

// Releases the pool's objects, then takes it off its thread's stack.
void DrainAndPop(ThreadPools* t, PoolRecord* pool)
{
  ReleaseAll(pool->mObjects);
  for (size_t i = t->mStack.size(); i-- > 0;)
  {
    if (t->mStack[i] == pool)
    {
      t->mStack.erase(t->mStack.begin() + (long)i);
      break;
    }
  }
}
}  // namespace

struct NSAutoreleasePool::Impl : PoolRecord
{
};

NSAutoreleasePool::NSAutoreleasePool() : mImpl(new Impl)
{
  mImpl->mPool = this;
  if (ThreadPools* t = Pools()) t->mStack.push_back(mImpl);
}

NSAutoreleasePool::~NSAutoreleasePool()
{
  if (ThreadPools* t = Pools())
  {
    bool onStack = false;
    for (PoolRecord* p : t->mStack) onStack |= (p == mImpl);
    // Pools inside this one are drained and released first.
    while (onStack && t->mStack.back() != mImpl)
    {
      PoolRecord* inner = t->mStack.back();
      DrainAndPop(t, inner);
      inner->mPool->release();
    }
    DrainAndPop(t, mImpl);
  }
  else
  {
    ReleaseAll(mImpl->mObjects);
  }
  delete mImpl;
}

void NSAutoreleasePool::drain()
{
  release();
}

void NSAutoreleasePool::addObject(id object)
{
  if (!object) return;
  ThreadPools* t = Pools();
  if (!t) return;
  if (t->mStack.empty())
    t->mImplicit.push_back(object);
  else
    t->mStack.back()->mObjects.push_back(object);
}

void KVFoundation::DrainImplicitPool()
{
  if (ThreadPools* t = Pools()) ReleaseAll(t->mImplicit);
}

void KVFoundation::DrainImplicitPoolTo(long keep)
{
  ThreadPools* t = Pools();
  if (!t) return;
  const size_t mark = keep > 0 ? (size_t)keep : 0;
  std::vector<id>& objects = t->mImplicit;
  while (objects.size() > mark)
  {
    std::vector<id> batch(objects.begin() + (long)mark, objects.end());
    objects.resize(mark);
    for (id object : batch) object->release();
  }
}

long KVFoundation::ImplicitPoolCount()
{
  ThreadPools* t = Pools();
  return t ? (long)t->mImplicit.size() : 0;
}

long KVFoundation::PendingAutoreleaseCount()
{
  ThreadPools* t = Pools();
  if (!t) return 0;
  size_t n = t->mImplicit.size();
  for (const PoolRecord* p : t->mStack) n += p->mObjects.size();
  return (long)n;
}

void FoundationTestKit::DrainImplicitPool()
{
  KVFoundation::DrainImplicitPool();
}

long FoundationTestKit::PendingAutoreleaseCount()
{
  return KVFoundation::PendingAutoreleaseCount();
}
