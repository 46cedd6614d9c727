// Timers: a callout with a schedule of fire dates. Each loop the timer is added to keeps its own
// next date, so a timer in two loops fires in each.

#include <cmath>

#include "CFRunLoopInternal.h"

namespace
{
__CFRunLoopTimer* AsTimer(CFRunLoopTimerRef timer)
{
  return CFCastToMutable<__CFRunLoopTimer>(timer, kCFTypeIDRunLoopTimer);
}
}  // namespace

CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef, CFAbsoluteTime fireDate, CFTimeInterval interval,
                                       CFOptionFlags flags, CFIndex order, CFRunLoopTimerCallBack callout,
                                       CFRunLoopTimerContext* context)
{
  if (!callout || !std::isfinite(fireDate) || !std::isfinite(interval)) return nullptr;
  __CFRunLoopTimer* t = new __CFRunLoopTimer;
  t->mAnchor = fireDate;
  t->mNextFireDate = fireDate;
  t->mInterval = interval > 0 ? interval : 0;
  t->mFlags = flags;
  t->mOrder = order;
  t->mCallout = callout;
  t->AdoptContext(context);
  return t;
}

void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer)
{
  if (__CFRunLoopTimer* t = AsTimer(timer)) CFRunLoopItemInvalidate(t);
}

Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer)
{
  const __CFRunLoopTimer* t = AsTimer(timer);
  return t && t->mValid.load(std::memory_order_acquire);
}

CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer)
{
  __CFRunLoopTimer* t = AsTimer(timer);
  if (!t) return 0;
  std::lock_guard<std::mutex> lock(t->mLock);
  return t->mNextFireDate;
}

// The schedule starts again from fireDate, in every loop the timer is in.
void CFRunLoopTimerSetNextFireDate(CFRunLoopTimerRef timer, CFAbsoluteTime fireDate)
{
  __CFRunLoopTimer* t = AsTimer(timer);
  if (!t || !std::isfinite(fireDate)) return;
  std::vector<__CFRunLoop*> loops;
  {
    std::lock_guard<std::mutex> lock(t->mLock);
    if (!t->mValid.load(std::memory_order_relaxed)) return;
    t->mAnchor = fireDate;
    t->mNextFireDate = fireDate;
    loops = t->mLoops;
    for (__CFRunLoop* rl : loops) rl->Hold();
  }
  for (__CFRunLoop* rl : loops)
  {
    {
      std::lock_guard<std::mutex> lock(rl->mLock);
      for (auto& e : rl->mTimers)
      {
        if (e.mItem == t) e.mNextFire = fireDate;
      }
      rl->WakeLocked();
    }
    rl->Drop();
  }
}

CFTimeInterval CFRunLoopTimerGetInterval(CFRunLoopTimerRef timer)
{
  const __CFRunLoopTimer* t = AsTimer(timer);
  return t ? t->mInterval : 0;
}

Boolean CFRunLoopTimerDoesRepeat(CFRunLoopTimerRef timer)
{
  const __CFRunLoopTimer* t = AsTimer(timer);
  return t && t->mInterval > 0;
}

void CFRunLoopTimerGetContext(CFRunLoopTimerRef timer, CFRunLoopTimerContext* context)
{
  const __CFRunLoopTimer* t = AsTimer(timer);
  if (!t || !context) return;
  context->version = 0;
  context->info = t->mInfo;
  context->retain = t->mRetain;
  context->release = t->mRelease;
  context->copyDescription = t->mCopyDescription;
}
