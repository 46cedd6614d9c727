// Event loops (the run loops of the CoreFoundation subset) and timers on them.

#include <cmath>
#include <cstdio>

#include "CarbonInternal.h"

using CarbonRegistry::Live;

namespace
{
// A date no run reaches: the timer waits for SetEventLoopTimerNextFireTime.
constexpr CFAbsoluteTime kNeverDate = 1e300;

OpaqueEventLoopRef* MainEventLoop()
{
  static OpaqueEventLoopRef* sMain = [] {
    OpaqueEventLoopRef* l = new OpaqueEventLoopRef;
    l->mRunLoop = CFRunLoopGetMain();
    l->mSerial = CarbonRegistry::Add(CarbonRegistry::kEventLoop, l);
    return l;
  }();
  return sMain;
}

// Another thread's event loop goes with the thread, as its run loop does.
struct ThreadEventLoop
{
  ~ThreadEventLoop()
  {
    if (!mLoop) return;
    CarbonRegistry::Remove(CarbonRegistry::kEventLoop, mLoop);
    delete mLoop;
  }
  OpaqueEventLoopRef* mLoop = nullptr;
};

thread_local ThreadEventLoop tEventLoop;

void TimerCallout(CFRunLoopTimerRef, void* info)
{
  OpaqueEventLoopTimerRef* t = static_cast<OpaqueEventLoopTimerRef*>(info);
  if (!CarbonRegistry::Contains(CarbonRegistry::kTimer, t)) return;
  t->mProc(t, t->mUserData);  // may remove the timer: nothing of it is touched afterwards
}

CFAbsoluteTime FireDate(EventTimerInterval delay)
{
  return delay < 0 ? kNeverDate : CFAbsoluteTimeGetCurrent() + delay;
}

CFRunLoopTimerRef NewCFTimer(OpaqueEventLoopTimerRef* t, CFAbsoluteTime fireDate)
{
  CFRunLoopTimerContext context = {0, t, nullptr, nullptr, nullptr};
  CFRunLoopTimerRef timer = CFRunLoopTimerCreate(nullptr, fireDate, t->mInterval, 0, 0, TimerCallout, &context);
  if (timer) CFRunLoopAddTimer(t->mRunLoop, timer, kCFRunLoopCommonModes);
  return timer;
}

std::string Number(double v)
{
  char buf[32];
  snprintf(buf, sizeof(buf), "%g", v);
  return buf;
}
}  // namespace

EventLoopTimerUPP NewEventLoopTimerUPP(EventLoopTimerProcPtr userRoutine)
{
  return userRoutine;
}

void DisposeEventLoopTimerUPP(EventLoopTimerUPP) {}

EventLoopRef GetMainEventLoop(void)
{
  return MainEventLoop();
}

EventLoopRef GetCurrentEventLoop(void)
{
  CFRunLoopRef rl = CFRunLoopGetCurrent();
  if (rl == CFRunLoopGetMain()) return MainEventLoop();
  ThreadEventLoop& t = tEventLoop;
  if (!t.mLoop)
  {
    t.mLoop = new OpaqueEventLoopRef;
    t.mLoop->mRunLoop = rl;
    t.mLoop->mSerial = CarbonRegistry::Add(CarbonRegistry::kEventLoop, t.mLoop);
  }
  return t.mLoop;
}

CFTypeRef GetCFRunLoopFromEventLoop(EventLoopRef inEventLoop)
{
  const OpaqueEventLoopRef* l = Live(CarbonRegistry::kEventLoop, inEventLoop);
  return l ? l->mRunLoop : nullptr;
}

OSStatus InstallEventLoopTimer(EventLoopRef inEventLoop, EventTimerInterval inFireDelay, EventTimerInterval inInterval,
                               EventLoopTimerUPP inTimerProc, void* inTimerData, EventLoopTimerRef* outTimer)
{
  if (outTimer) *outTimer = nullptr;
  OpaqueEventLoopRef* l = Live(CarbonRegistry::kEventLoop, inEventLoop);
  if (!l || !inTimerProc || !std::isfinite(inFireDelay) || !std::isfinite(inInterval)) return paramErr;
  CarbonLogCall("InstallEventLoopTimer " + Number(inFireDelay) + " " + Number(inInterval));
  OpaqueEventLoopTimerRef* t = new OpaqueEventLoopTimerRef;
  t->mLoop = l;
  t->mLoopSerial = l->mSerial;
  t->mRunLoop = l->mRunLoop;
  t->mInterval = inInterval > 0 ? inInterval : 0;
  t->mProc = inTimerProc;
  t->mUserData = inTimerData;
  CarbonRegistry::Add(CarbonRegistry::kTimer, t);
  t->mTimer = NewCFTimer(t, FireDate(inFireDelay));
  if (outTimer) *outTimer = t;
  return noErr;
}

OSStatus RemoveEventLoopTimer(EventLoopTimerRef inTimer)
{
  OpaqueEventLoopTimerRef* t = Live(CarbonRegistry::kTimer, inTimer);
  if (!t) return paramErr;
  CarbonLogCall("RemoveEventLoopTimer");
  CarbonRegistry::Remove(CarbonRegistry::kTimer, t);
  CFRunLoopTimerInvalidate(t->mTimer);  // the run loop keeps its own reference through a callout
  CFRelease(t->mTimer);
  delete t;
  return noErr;
}

OSStatus SetEventLoopTimerNextFireTime(EventLoopTimerRef inTimer, EventTimerInterval inNextFire)
{
  OpaqueEventLoopTimerRef* t = Live(CarbonRegistry::kTimer, inTimer);
  if (!t || !std::isfinite(inNextFire)) return paramErr;
  if (CFRunLoopTimerIsValid(t->mTimer))
  {
    CFRunLoopTimerSetNextFireDate(t->mTimer, FireDate(inNextFire));
    return noErr;
  }
  // A timer that fired once is spent on the run loop: it gets a new one, while its loop lives.
  if (!CarbonRegistry::Alive(CarbonRegistry::kEventLoop, t->mLoop, t->mLoopSerial)) return paramErr;
  CFRunLoopTimerRef timer = NewCFTimer(t, FireDate(inNextFire));
  if (!timer) return paramErr;
  CFRelease(t->mTimer);
  t->mTimer = timer;
  return noErr;
}
