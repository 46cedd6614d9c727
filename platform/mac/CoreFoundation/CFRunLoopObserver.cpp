// Observers: callouts told of a loop's activities while it runs.

#include "CFRunLoopInternal.h"

namespace
{
__CFRunLoopObserver* AsObserver(CFRunLoopObserverRef observer)
{
  return CFCastToMutable<__CFRunLoopObserver>(observer, kCFTypeIDRunLoopObserver);
}
}  // namespace

CFRunLoopObserverRef CFRunLoopObserverCreate(CFAllocatorRef, CFOptionFlags activities, Boolean repeats,
                                             CFIndex order, CFRunLoopObserverCallBack callout,
                                             CFRunLoopObserverContext* context)
{
  if (!callout) return nullptr;
  __CFRunLoopObserver* o = new __CFRunLoopObserver;
  o->mActivities = activities;
  o->mRepeats = repeats != 0;
  o->mOrder = order;
  o->mCallout = callout;
  o->AdoptContext(context);
  return o;
}

void CFRunLoopObserverInvalidate(CFRunLoopObserverRef observer)
{
  if (__CFRunLoopObserver* o = AsObserver(observer)) CFRunLoopItemInvalidate(o);
}

Boolean CFRunLoopObserverIsValid(CFRunLoopObserverRef observer)
{
  const __CFRunLoopObserver* o = AsObserver(observer);
  return o && o->mValid.load(std::memory_order_acquire);
}
