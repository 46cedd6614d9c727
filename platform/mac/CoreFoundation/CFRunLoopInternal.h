#pragma once
// What the run loop, timer and observer sources share: the clock, the object layouts and the
// membership of timers and observers in loops.
//
// Locks. Each loop has a mutex over its items and runs; each timer and observer has one over the
// loops it is in. A loop's mutex may be taken before an item's, never the other way round, and no
// lock is held while calling out. A loop lives while its thread runs and while any item lists it
// (mHolds); an item lives while any loop lists it (its CF retain count).

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include <CoreFoundation/CFRunLoop.h>

#include "CFRuntime.h"

enum : CFTypeID
{
  kCFTypeIDRunLoop = 43,
  kCFTypeIDRunLoopObserver = 45,
  kCFTypeIDRunLoopTimer = 46
};

// ----- Clock

namespace CFClock
{
bool IsReal();
CFAbsoluteTime Now();
// Virtual clock: moves forward to t (never back). Real clock: nothing.
void AdvanceTo(CFAbsoluteTime t);
// The real clock's time point for t.
std::chrono::steady_clock::time_point Deadline(CFAbsoluteTime t);
}  // namespace CFClock

// ----- Modes

// Mode names are kept as UTF-8; the common-modes token stands for every common mode.
bool CFRunLoopModeName(CFStringRef mode, std::string* name);
bool CFRunLoopIsCommonModesName(const std::string& name);
struct __CFRunLoop;
// True when an item added for `modes` takes part in a run of the loop in `runMode`. Under the
// loop's lock.
bool CFRunLoopModesMatch(const __CFRunLoop* rl, const std::vector<std::string>& modes, const std::string& runMode);

// ----- Items (timers and observers)

struct CFRunLoopItem : CFRuntimeBase
{
  explicit CFRunLoopItem(CFTypeID typeID) : CFRuntimeBase(typeID) {}
  ~CFRunLoopItem() override { ReleaseInfo(); }

  // Takes the context's info (retained through its retain) and callbacks; a null context has none.
  // Timer and observer contexts have the same layout.
  template <class Context>
  void AdoptContext(const Context* context)
  {
    if (!context) return;
    mInfo = context->retain ? const_cast<void*>(context->retain(context->info)) : context->info;
    mRetain = context->retain;
    mRelease = context->release;
    mCopyDescription = context->copyDescription;
  }

  // The context's release, at most once.
  void ReleaseInfo()
  {
    if (!mInfoReleased.exchange(true) && mRelease) mRelease(mInfo);
  }

  std::mutex mLock;                   // guards mLoops (and a timer's dates)
  std::vector<__CFRunLoop*> mLoops;   // each holds the loop
  std::atomic<bool> mValid{true};     // cleared under mLock, once
  void* mInfo = nullptr;
  void (*mRelease)(const void* info) = nullptr;
  const void* (*mRetain)(const void* info) = nullptr;
  CFStringRef (*mCopyDescription)(const void* info) = nullptr;
  std::atomic<bool> mInfoReleased{false};
};

struct __CFRunLoopTimer : CFRunLoopItem
{
  __CFRunLoopTimer() : CFRunLoopItem(kCFTypeIDRunLoopTimer) {}

  // Under mLock: the schedule's origin (fire dates are mAnchor + k * mInterval) and the next date.
  CFAbsoluteTime mAnchor = 0;
  CFAbsoluteTime mNextFireDate = 0;
  CFTimeInterval mInterval = 0;
  CFOptionFlags mFlags = 0;
  CFIndex mOrder = 0;
  CFRunLoopTimerCallBack mCallout = nullptr;
};

struct __CFRunLoopObserver : CFRunLoopItem
{
  __CFRunLoopObserver() : CFRunLoopItem(kCFTypeIDRunLoopObserver) {}

  CFOptionFlags mActivities = 0;
  bool mRepeats = true;
  CFIndex mOrder = 0;
  CFRunLoopObserverCallBack mCallout = nullptr;
};

// ----- Loops

struct __CFRunLoop : CFRuntimeBase
{
  __CFRunLoop() : CFRuntimeBase(kCFTypeIDRunLoop) { MakeImmortal(); }

  struct TimerEntry
  {
    __CFRunLoopTimer* mItem;
    std::vector<std::string> mModes;
    uint64_t mSeq;             // order of addition, for ties
    CFAbsoluteTime mNextFire;  // this loop's next date for the timer
  };
  struct ObserverEntry
  {
    __CFRunLoopObserver* mItem;
    std::vector<std::string> mModes;
    uint64_t mSeq;
  };
  struct Run
  {
    std::string mMode;
    CFStringRef mModeRef;
    bool mStopped;
  };

  void Hold() { mHolds.fetch_add(1, std::memory_order_relaxed); }
  void Drop()
  {
    if (mHolds.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
  }
  // Under mLock: wakes a sleeping run so it looks at its timers again.
  void WakeLocked()
  {
    ++mWakeCount;
    mWake.notify_all();
  }

  std::mutex mLock;
  std::condition_variable mWake;
  uint64_t mWakeCount = 0;
  std::vector<TimerEntry> mTimers;
  std::vector<ObserverEntry> mObservers;
  std::vector<Run*> mRuns;  // innermost last
  std::vector<std::string> mCommonModes;  // added to the default mode, which always is one
  bool mDead = false;       // its thread has ended: nothing may be added
  std::atomic<int> mHolds{1};
};

// Removes the item from every loop and releases its info; once.
void CFRunLoopItemInvalidate(CFRunLoopItem* item);
