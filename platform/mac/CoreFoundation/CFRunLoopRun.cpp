// Running a loop: passes over the due timers between observer notifications, and the wait for the
// next fire date (a jump of the virtual clock, or a sleep on the real one). Every callout works
// from a snapshot taken under the loop's lock and runs without it, so callouts may change the loop
// and run it again.

#include <algorithm>
#include <cmath>
#include <limits>

#include "CFRunLoopInternal.h"

namespace
{
constexpr CFAbsoluteTime kNever = std::numeric_limits<double>::infinity();

// The first date anchor + k * interval (k >= 1) after now.
CFAbsoluteTime NextFireAfter(CFAbsoluteTime anchor, CFTimeInterval interval, CFAbsoluteTime now)
{
  double k = std::floor((now - anchor) / interval) + 1;
  if (!(k >= 1)) k = 1;
  CFAbsoluteTime next = anchor + k * interval;
  for (int i = 0; i < 4 && next <= now; ++i) next = anchor + ++k * interval;
  for (int i = 0; i < 4 && k > 1 && anchor + (k - 1) * interval > now; ++i) next = anchor + --k * interval;
  // An interval too small to move past now at this magnitude still moves the timer on.
  if (next <= now) next = std::nextafter(now, kNever);
  return next;
}

bool ModeEmptyLocked(__CFRunLoop* rl, const std::string& mode)
{
  for (const auto& e : rl->mTimers)
  {
    if (CFRunLoopModesMatch(rl, e.mModes, mode)) return false;
  }
  for (const auto& e : rl->mObservers)
  {
    if (CFRunLoopModesMatch(rl, e.mModes, mode)) return false;
  }
  return true;
}

CFAbsoluteTime NextFireLocked(__CFRunLoop* rl, const std::string& mode)
{
  CFAbsoluteTime next = kNever;
  for (const auto& e : rl->mTimers)
  {
    if (CFRunLoopModesMatch(rl, e.mModes, mode)) next = std::min(next, e.mNextFire);
  }
  return next;
}

template <class Entry>
Entry* FindLocked(const __CFRunLoop* rl, std::vector<Entry>& entries, const CFRunLoopItem* item,
                  const std::string& mode)
{
  for (Entry& e : entries)
  {
    if (e.mItem == item) return CFRunLoopModesMatch(rl, e.mModes, mode) ? &e : nullptr;
  }
  return nullptr;
}

void Notify(__CFRunLoop* rl, const std::string& mode, CFRunLoopActivity activity)
{
  struct Due
  {
    __CFRunLoopObserver* mObserver;
    CFIndex mOrder;
    uint64_t mSeq;
  };
  std::vector<Due> due;
  {
    std::lock_guard<std::mutex> lock(rl->mLock);
    for (const auto& e : rl->mObservers)
    {
      if (!(e.mItem->mActivities & activity) || !CFRunLoopModesMatch(rl, e.mModes, mode)) continue;
      CFRetain(e.mItem);
      due.push_back(Due{e.mItem, e.mItem->mOrder, e.mSeq});
    }
  }
  if (due.empty()) return;
  std::sort(due.begin(), due.end(), [](const Due& a, const Due& b) {
    return a.mOrder != b.mOrder ? a.mOrder < b.mOrder : a.mSeq < b.mSeq;
  });
  for (const Due& d : due)
  {
    bool present;
    {
      std::lock_guard<std::mutex> lock(rl->mLock);
      present = FindLocked(rl, rl->mObservers, d.mObserver, mode) != nullptr;
    }
    if (!present || !d.mObserver->mValid.load(std::memory_order_acquire)) continue;
    d.mObserver->mCallout(d.mObserver, activity, d.mObserver->mInfo);
    if (!d.mObserver->mRepeats) CFRunLoopItemInvalidate(d.mObserver);
  }
  for (const Due& d : due) CFRelease(d.mObserver);
}

// Fires every timer of the mode due now, in fire-date order, ties in the order they were added.
int FireDueTimers(__CFRunLoop* rl, const std::string& mode)
{
  struct Due
  {
    __CFRunLoopTimer* mTimer;
    CFAbsoluteTime mAt;
    uint64_t mSeq;
  };
  std::vector<Due> due;
  {
    const CFAbsoluteTime now = CFClock::Now();
    std::lock_guard<std::mutex> lock(rl->mLock);
    for (const auto& e : rl->mTimers)
    {
      if (e.mNextFire > now || !CFRunLoopModesMatch(rl, e.mModes, mode)) continue;
      CFRetain(e.mItem);
      due.push_back(Due{e.mItem, e.mNextFire, e.mSeq});
    }
  }
  if (due.empty()) return 0;
  std::sort(due.begin(), due.end(), [](const Due& a, const Due& b) {
    return a.mAt != b.mAt ? a.mAt < b.mAt : a.mSeq < b.mSeq;
  });
  int fired = 0;
  for (const Due& d : due)
  {
    __CFRunLoopTimer* t = d.mTimer;
    bool fire = false;
    bool repeats = false;
    {
      // An earlier callout may have removed, invalidated or moved this timer, or fired it in a
      // nested run.
      std::lock_guard<std::mutex> lock(rl->mLock);
      const CFAbsoluteTime now = CFClock::Now();
      auto* e = FindLocked(rl, rl->mTimers, t, mode);
      if (e && e->mNextFire <= now)
      {
        std::lock_guard<std::mutex> timerLock(t->mLock);
        if (t->mValid.load(std::memory_order_relaxed))
        {
          repeats = t->mInterval > 0;
          if (repeats)
          {
            e->mNextFire = NextFireAfter(t->mAnchor, t->mInterval, now);
            t->mNextFireDate = e->mNextFire;
          }
          else
          {
            e->mNextFire = kNever;
          }
          fire = true;
        }
      }
    }
    if (!fire) continue;
    t->mCallout(t, t->mInfo);
    if (!repeats) CFRunLoopItemInvalidate(t);
    ++fired;
  }
  for (const Due& d : due) CFRelease(d.mTimer);
  return fired;
}

// Waits for the next fire date or the end of the run. False when nothing can ever end the wait
// (an endless run on the virtual clock with no timer).
bool Wait(__CFRunLoop* rl, __CFRunLoop::Run* run, const std::string& mode, CFAbsoluteTime end)
{
  std::unique_lock<std::mutex> lock(rl->mLock);
  if (!CFClock::IsReal())
  {
    if (run->mStopped) return true;
    const CFAbsoluteTime target = std::min(NextFireLocked(rl, mode), end);
    if (target == kNever) return false;
    lock.unlock();
    CFClock::AdvanceTo(target);
    return true;
  }
  for (;;)
  {
    if (run->mStopped) return true;
    const CFAbsoluteTime target = std::min(NextFireLocked(rl, mode), end);
    if (target <= CFClock::Now()) return true;
    const uint64_t wakes = rl->mWakeCount;
    auto woken = [&] { return rl->mWakeCount != wakes || run->mStopped; };
    if (target == kNever) rl->mWake.wait(lock, woken);
    else rl->mWake.wait_until(lock, CFClock::Deadline(target), woken);
  }
}

bool Stopped(__CFRunLoop* rl, const __CFRunLoop::Run& run)
{
  std::lock_guard<std::mutex> lock(rl->mLock);
  return run.mStopped;
}
}  // namespace

CFRunLoopRunResult CFRunLoopRunInMode(CFStringRef mode, CFTimeInterval seconds, Boolean returnAfterSourceHandled)
{
  __CFRunLoop* rl = static_cast<__CFRunLoop*>(CFRunLoopGetCurrent());
  std::string name;
  if (!CFRunLoopModeName(mode, &name) || CFRunLoopIsCommonModesName(name)) return kCFRunLoopRunFinished;
  if (!(seconds > 0)) seconds = 0;  // negative and NaN: one pass

  __CFRunLoop::Run run{name, mode, false};
  {
    std::lock_guard<std::mutex> lock(rl->mLock);
    if (ModeEmptyLocked(rl, name)) return kCFRunLoopRunFinished;
    rl->mRuns.push_back(&run);
  }
  CFRetain(mode);
  const CFAbsoluteTime end = CFClock::Now() + seconds;

  CFRunLoopRunResult result = kCFRunLoopRunTimedOut;
  Notify(rl, name, kCFRunLoopEntry);
  for (;;)
  {
    Notify(rl, name, kCFRunLoopBeforeTimers);
    const int fired = FireDueTimers(rl, name);
    bool stopped, empty;
    {
      std::lock_guard<std::mutex> lock(rl->mLock);
      stopped = run.mStopped;
      empty = ModeEmptyLocked(rl, name);
    }
    if (stopped) { result = kCFRunLoopRunStopped; break; }
    if (returnAfterSourceHandled && fired) { result = kCFRunLoopRunHandledSource; break; }
    if (CFClock::Now() >= end) { result = kCFRunLoopRunTimedOut; break; }
    if (empty) { result = kCFRunLoopRunFinished; break; }

    Notify(rl, name, kCFRunLoopBeforeWaiting);
    if (!Wait(rl, &run, name, end)) { result = kCFRunLoopRunFinished; break; }
    Notify(rl, name, kCFRunLoopAfterWaiting);
    if (Stopped(rl, run)) { result = kCFRunLoopRunStopped; break; }
    if (CFClock::Now() >= end) { result = kCFRunLoopRunTimedOut; break; }
  }
  Notify(rl, name, kCFRunLoopExit);

  {
    std::lock_guard<std::mutex> lock(rl->mLock);
    rl->mRuns.erase(std::find(rl->mRuns.begin(), rl->mRuns.end(), &run));
  }
  CFRelease(mode);
  return result;
}

void CFRunLoopStop(CFRunLoopRef rl)
{
  __CFRunLoop* loop = CFCastToMutable<__CFRunLoop>(rl, kCFTypeIDRunLoop);
  if (!loop) return;
  std::lock_guard<std::mutex> lock(loop->mLock);
  if (loop->mRuns.empty()) return;
  loop->mRuns.back()->mStopped = true;
  loop->WakeLocked();
}

CFStringRef CFRunLoopCopyCurrentMode(CFRunLoopRef rl)
{
  __CFRunLoop* loop = CFCastToMutable<__CFRunLoop>(rl, kCFTypeIDRunLoop);
  if (!loop) return nullptr;
  std::lock_guard<std::mutex> lock(loop->mLock);
  if (loop->mRuns.empty()) return nullptr;
  return (CFStringRef)CFRetain(loop->mRuns.back()->mModeRef);
}
