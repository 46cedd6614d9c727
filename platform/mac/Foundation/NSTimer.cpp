// Timers over CoreFoundation run-loop timers. The CoreFoundation timer's info is the NSTimer; the
// first time the timer joins a run loop it takes a reference to the NSTimer for the loops, which
// the timer's context release gives back when the CoreFoundation timer is invalidated. A timer
// that never joined a loop is freed by its last release like any object.

#include <Foundation/NSTimer.h>

#include <cmath>

#include <Foundation/NSRunLoop.h>

namespace
{
constexpr NSTimeInterval kShortestInterval = 0.0001;
}  // namespace

NSTimer* NSTimer::timerWithTimeInterval(NSTimeInterval seconds, id target, SEL selector, id userInfo, BOOL repeats)
{
  if (!(seconds > 0)) seconds = kShortestInterval;
  const CFAbsoluteTime fireDate = CFAbsoluteTimeGetCurrent() + seconds;
  if (!std::isfinite(fireDate)) return nil;
  NSTimer* t = new NSTimer;
  CFRunLoopTimerContext context = {0, t, nullptr, &NSTimer::ReleaseFromLoops, nullptr};
  t->mTimer = CFRunLoopTimerCreate(nullptr, fireDate, repeats ? seconds : 0, 0, 0, &NSTimer::Callout, &context);
  if (!t->mTimer)
  {
    t->release();
    return nil;
  }
  t->mTarget = target ? target->retain() : nil;
  t->mSelector = selector;
  t->mUserInfo = userInfo ? userInfo->retain() : nil;
  t->mInterval = repeats ? seconds : 0;
  t->mRepeats = repeats;
  return static_cast<NSTimer*>(t->autorelease());
}

NSTimer* NSTimer::scheduledTimerWithTimeInterval(NSTimeInterval seconds, id target, SEL selector, id userInfo,
                                                 BOOL repeats)
{
  NSTimer* t = timerWithTimeInterval(seconds, target, selector, userInfo, repeats);
  if (t) NSRunLoop::currentRunLoop()->addTimer(t, NSDefaultRunLoopMode);
  return t;
}

NSTimer::~NSTimer()
{
  // Not through invalidate: that keeps the timer alive meanwhile, which a dying timer cannot be.
  if (mTarget) mTarget->release();
  if (mUserInfo) mUserInfo->release();
  if (mTimer)
  {
    CFRunLoopTimerInvalidate(mTimer);
    CFRelease(mTimer);
  }
}

void NSTimer::ReleaseFromLoops(const void* info)
{
  NSTimer* t = static_cast<NSTimer*>(const_cast<void*>(info));
  if (!t->mHeldByLoops) return;
  t->mHeldByLoops = false;
  t->release();
}

void NSTimer::addToLoop(CFRunLoopRef loop, CFStringRef mode)
{
  if (!isValid() || !loop || !mode) return;
  if (!mHeldByLoops)
  {
    mHeldByLoops = true;
    retain();
  }
  CFRunLoopAddTimer(loop, mTimer, mode);
}

void NSTimer::Callout(CFRunLoopTimerRef, void* info)
{
  static_cast<NSTimer*>(info)->sendMessage();
}

void NSTimer::sendMessage()
{
  retain();  // the message may invalidate the timer and drop the last reference
  NSAutoreleasePool* pool = new NSAutoreleasePool;
  if (mTarget && mSelector) (mTarget->*mSelector)(this);
  pool->drain();
  if (!mRepeats) invalidate();
  release();
}

void NSTimer::invalidate()
{
  if (mInvalidated) return;
  mInvalidated = true;
  retain();
  id target = mTarget, info = mUserInfo;
  mTarget = nil;
  mUserInfo = nil;
  CFRunLoopTimerInvalidate(mTimer);  // gives back the loops' reference
  if (target) target->release();
  if (info) info->release();
  release();
}

BOOL NSTimer::isValid() const
{
  return !mInvalidated && CFRunLoopTimerIsValid(mTimer);
}

void NSTimer::fire()
{
  if (isValid()) sendMessage();
}

NSDate* NSTimer::fireDate() const
{
  return NSDate::dateWithTimeIntervalSinceReferenceDate(CFRunLoopTimerGetNextFireDate(mTimer));
}
