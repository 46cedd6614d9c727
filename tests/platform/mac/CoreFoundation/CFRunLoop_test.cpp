#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <CoreFoundation/CoreFoundation.h>

#include <CoreFoundation/testkit.h>

namespace
{
const CFAbsoluteTime kStart = 1000.0;

// Each test runs the main thread's loop on a virtual clock reset to kStart. Timers and observers
// made through the fixture log what they see and are invalidated and released afterwards, so the
// loop is empty again and no object is left.
class RunLoopTest : public ::testing::Test
{
protected:
  struct Probe
  {
    RunLoopTest* mTest;
    std::string mName;
    std::function<void(CFRunLoopTimerRef)> mOnFire;
    std::function<void(CFRunLoopActivity)> mOnActivity;
  };

  void SetUp() override
  {
    mLiveBefore = CFTestLiveObjectCount();
    CFTestUseRealClock(false);
    CFTestSetClock(kStart);
  }

  void TearDown() override
  {
    for (CFRunLoopTimerRef t : mTimers)
    {
      CFRunLoopTimerInvalidate(t);
      CFRelease(t);
    }
    for (CFRunLoopObserverRef o : mObservers)
    {
      CFRunLoopObserverInvalidate(o);
      CFRelease(o);
    }
    CFTestUseRealClock(false);
    EXPECT_EQ(CFTestLiveObjectCount(), mLiveBefore) << "objects leaked";
  }

  static void TimerCallout(CFRunLoopTimerRef timer, void* info)
  {
    Probe* p = static_cast<Probe*>(info);
    p->mTest->mLog.push_back(p->mName + "@" + Offset(CFAbsoluteTimeGetCurrent()));
    p->mTest->mFireTimes.push_back(CFAbsoluteTimeGetCurrent());
    if (p->mOnFire) p->mOnFire(timer);
  }

  static void ObserverCallout(CFRunLoopObserverRef, CFRunLoopActivity activity, void* info)
  {
    Probe* p = static_cast<Probe*>(info);
    p->mTest->mLog.push_back(p->mName + ":" + ActivityName(activity));
    if (p->mOnActivity) p->mOnActivity(activity);
  }

  static std::string Offset(CFAbsoluteTime t)
  {
    char buf[32];
    snprintf(buf, sizeof(buf), "%g", t - kStart);
    return buf;
  }

  static const char* ActivityName(CFRunLoopActivity a)
  {
    switch (a)
    {
      case kCFRunLoopEntry: return "Entry";
      case kCFRunLoopBeforeTimers: return "BeforeTimers";
      case kCFRunLoopBeforeSources: return "BeforeSources";
      case kCFRunLoopBeforeWaiting: return "BeforeWaiting";
      case kCFRunLoopAfterWaiting: return "AfterWaiting";
      case kCFRunLoopExit: return "Exit";
      default: return "?";
    }
  }

  // A timer first due `at` seconds after kStart, kept by the fixture; added to the current loop
  // in `mode` unless mode is null.
  CFRunLoopTimerRef Timer(const std::string& name, double at, double interval,
                          std::function<void(CFRunLoopTimerRef)> onFire = nullptr,
                          CFStringRef mode = kCFRunLoopDefaultMode)
  {
    mProbes.push_back(Probe{this, name, std::move(onFire), nullptr});
    CFRunLoopTimerContext context = {0, &mProbes.back(), nullptr, nullptr, nullptr};
    CFRunLoopTimerRef t = CFRunLoopTimerCreate(nullptr, kStart + at, interval, 0, 0, TimerCallout, &context);
    mTimers.push_back(t);
    if (mode) CFRunLoopAddTimer(CFRunLoopGetCurrent(), t, mode);
    return t;
  }

  CFRunLoopObserverRef Observer(const std::string& name, CFOptionFlags activities, bool repeats = true,
                                CFIndex order = 0, std::function<void(CFRunLoopActivity)> onActivity = nullptr,
                                CFStringRef mode = kCFRunLoopDefaultMode)
  {
    mProbes.push_back(Probe{this, name, nullptr, std::move(onActivity)});
    CFRunLoopObserverContext context = {0, &mProbes.back(), nullptr, nullptr, nullptr};
    CFRunLoopObserverRef o = CFRunLoopObserverCreate(nullptr, activities, repeats, order, ObserverCallout, &context);
    mObservers.push_back(o);
    if (mode) CFRunLoopAddObserver(CFRunLoopGetCurrent(), o, mode);
    return o;
  }

  static CFRunLoopRunResult Run(double seconds, bool returnAfterSourceHandled = false)
  {
    return CFRunLoopRunInMode(kCFRunLoopDefaultMode, seconds, returnAfterSourceHandled);
  }

  static double Elapsed() { return CFAbsoluteTimeGetCurrent() - kStart; }

  std::vector<std::string> mLog;
  std::vector<CFAbsoluteTime> mFireTimes;
  std::deque<Probe> mProbes;
  std::vector<CFRunLoopTimerRef> mTimers;
  std::vector<CFRunLoopObserverRef> mObservers;
  long mLiveBefore = 0;
};

using Strings = std::vector<std::string>;

using RunLoopClock = RunLoopTest;
using RunLoopTimers = RunLoopTest;
using RunLoopCallouts = RunLoopTest;
using RunLoopObservers = RunLoopTest;
using RunLoopModes = RunLoopTest;
using RunLoopObjects = RunLoopTest;
}  // namespace

TEST_F(RunLoopObjects, LoopsOfTheMainThread)
{
  CFRunLoopRef rl = CFRunLoopGetCurrent();
  ASSERT_NE(rl, nullptr);
  EXPECT_EQ(rl, CFRunLoopGetMain());
  EXPECT_EQ(rl, CFRunLoopGetCurrent());
  EXPECT_EQ(CFGetTypeID(rl), CFRunLoopGetTypeID());
  EXPECT_EQ(CFRunLoopCopyCurrentMode(rl), nullptr);
  // Timers and observers are CF objects of types of their own.
  CFRunLoopTimerRef t = Timer("t", 1, 0, nullptr, nullptr);
  CFRunLoopObserverRef o = Observer("o", kCFRunLoopEntry, true, 0, nullptr, nullptr);
  const CFTypeID ids[] = {CFRunLoopGetTypeID(), CFGetTypeID(t), CFGetTypeID(o), CFStringGetTypeID(),
                          CFNumberGetTypeID(), CFDataGetTypeID(), CFArrayGetTypeID(), CFDictionaryGetTypeID(),
                          CFBooleanGetTypeID(), CFURLGetTypeID(), CFBundleGetTypeID()};
  for (size_t i = 0; i < sizeof(ids) / sizeof(ids[0]); ++i)
    for (size_t j = 0; j < i; ++j) EXPECT_NE(ids[i], ids[j]) << i << " " << j;
}

TEST_F(RunLoopObjects, CreationRefusesWhatCannotRun)
{
  CFRunLoopTimerContext context = {0, nullptr, nullptr, nullptr, nullptr};
  auto noop = [](CFRunLoopTimerRef, void*) {};
  EXPECT_EQ(CFRunLoopTimerCreate(nullptr, kStart, 1, 0, 0, nullptr, &context), nullptr);
  EXPECT_EQ(CFRunLoopTimerCreate(nullptr, NAN, 1, 0, 0, noop, &context), nullptr);
  EXPECT_EQ(CFRunLoopTimerCreate(nullptr, INFINITY, 1, 0, 0, noop, &context), nullptr);
  EXPECT_EQ(CFRunLoopTimerCreate(nullptr, kStart, INFINITY, 0, 0, noop, &context), nullptr);
  EXPECT_EQ(CFRunLoopObserverCreate(nullptr, kCFRunLoopAllActivities, true, 0, nullptr, nullptr), nullptr);

  CFRunLoopTimerRef once = CFRunLoopTimerCreate(nullptr, kStart, -5, 0, 0, noop, nullptr);
  EXPECT_FALSE(CFRunLoopTimerDoesRepeat(once));
  EXPECT_EQ(CFRunLoopTimerGetInterval(once), 0);
  CFRelease(once);
  // Null and foreign handles are ignored.
  CFRunLoopAddTimer(nullptr, nullptr, kCFRunLoopDefaultMode);
  CFRunLoopTimerInvalidate(nullptr);
  CFRunLoopStop(nullptr);
  EXPECT_FALSE(CFRunLoopTimerIsValid((CFRunLoopTimerRef)kCFRunLoopDefaultMode));
}

TEST_F(RunLoopObjects, InfoIsRetainedOnceAndReleasedOnce)
{
  struct Counts
  {
    int retains = 0, releases = 0;
  } counts;
  CFRunLoopTimerContext context = {0, &counts,
                                   [](const void* info) -> const void* {
                                     ++static_cast<Counts*>(const_cast<void*>(info))->retains;
                                     return info;
                                   },
                                   [](const void* info) { ++static_cast<Counts*>(const_cast<void*>(info))->releases; },
                                   nullptr};
  auto noop = [](CFRunLoopTimerRef, void*) {};

  // Invalidated, then freed: released at the invalidation only.
  CFRunLoopTimerRef t = CFRunLoopTimerCreate(nullptr, kStart, 1, 0, 0, noop, &context);
  EXPECT_EQ(counts.retains, 1);
  CFRunLoopAddTimer(CFRunLoopGetCurrent(), t, kCFRunLoopDefaultMode);
  EXPECT_EQ(CFGetRetainCount(t), 2);
  CFRunLoopTimerInvalidate(t);
  CFRunLoopTimerInvalidate(t);
  EXPECT_EQ(counts.releases, 1);
  EXPECT_EQ(CFGetRetainCount(t), 1);
  CFRunLoopTimerContext seen = {};
  CFRunLoopTimerGetContext(t, &seen);
  EXPECT_EQ(seen.info, &counts);
  CFRelease(t);
  EXPECT_EQ(counts.releases, 1);

  // Never invalidated: released when freed.
  t = CFRunLoopTimerCreate(nullptr, kStart, 1, 0, 0, noop, &context);
  CFRelease(t);
  EXPECT_EQ(counts.retains, 2);
  EXPECT_EQ(counts.releases, 2);
}

TEST_F(RunLoopClock, MovesOnlyWhileALoopRuns)
{
  EXPECT_EQ(CFAbsoluteTimeGetCurrent(), kStart);
  // Nothing in the mode: the run ends at once and no time passes.
  EXPECT_EQ(Run(5), kCFRunLoopRunFinished);
  EXPECT_EQ(Elapsed(), 0);

  Timer("a", 1, 0);
  Timer("late", 100, 0);
  EXPECT_EQ(Elapsed(), 0);
  EXPECT_EQ(Run(0), kCFRunLoopRunTimedOut);  // one pass, nothing due
  EXPECT_EQ(Elapsed(), 0);
  EXPECT_EQ(Run(2.5), kCFRunLoopRunTimedOut);
  EXPECT_EQ(Elapsed(), 2.5);
  EXPECT_EQ(mLog, Strings({"a@1"}));

  CFTestSetClock(kStart + 200);
  EXPECT_EQ(Run(-1), kCFRunLoopRunTimedOut);  // a negative time is one pass
  EXPECT_EQ(Elapsed(), 200);
  EXPECT_EQ(mLog, Strings({"a@1", "late@200"}));
}

TEST_F(RunLoopTimers, FireInDateOrderTiesInOrderAdded)
{
  Timer("c", 3, 0);
  Timer("a", 1, 0);
  Timer("b1", 2, 0);
  Timer("b2", 2, 0);
  CFRunLoopTimerRef b0 = Timer("b0", 7, 0);
  CFRunLoopTimerSetNextFireDate(b0, kStart + 2);  // moving it keeps its place among equal dates
  EXPECT_EQ(CFRunLoopTimerGetNextFireDate(b0), kStart + 2);

  EXPECT_EQ(Run(10), kCFRunLoopRunFinished);
  EXPECT_EQ(mLog, Strings({"a@1", "b1@2", "b2@2", "b0@2", "c@3"}));
  EXPECT_EQ(Elapsed(), 3);  // the last timer went: nothing left to wait for
  for (CFRunLoopTimerRef t : mTimers)
  {
    EXPECT_FALSE(CFRunLoopTimerIsValid(t));  // fired once, then invalidated
    EXPECT_FALSE(CFRunLoopContainsTimer(CFRunLoopGetCurrent(), t, kCFRunLoopDefaultMode));
  }
}

TEST_F(RunLoopTimers, RepeatOnExactDatesOverALongRun)
{
  const double interval = 1.0 / 30.0;
  CFRunLoopTimerRef t = Timer("t", 0, interval);
  EXPECT_EQ(Run(10), kCFRunLoopRunTimedOut);
  ASSERT_EQ(mFireTimes.size(), 300u);
  for (size_t k = 0; k < mFireTimes.size(); ++k)
    ASSERT_EQ(mFireTimes[k], kStart + (double)k * interval) << "fire " << k;
  EXPECT_EQ(CFRunLoopTimerGetNextFireDate(t), kStart + 300 * interval);

  // Ten more runs of a second each: 30 fires a run, none twice at a boundary.
  for (int run = 0; run < 10; ++run)
  {
    const size_t before = mFireTimes.size();
    Run(1);
    EXPECT_EQ(mFireTimes.size() - before, 30u) << "run " << run;
  }
  EXPECT_EQ(mFireTimes.back(), kStart + 599 * interval);
  EXPECT_TRUE(CFRunLoopTimerIsValid(t));
}

TEST_F(RunLoopTimers, SkipFiresMissedWhileTheClockJumped)
{
  CFRunLoopTimerRef t = Timer("t", 1, 1);
  Run(1.5);
  EXPECT_EQ(mLog, Strings({"t@1"}));
  EXPECT_EQ(CFRunLoopTimerGetNextFireDate(t), kStart + 2);

  CFTestSetClock(kStart + 5.5);  // the fires at 2, 3, 4 and 5 were missed
  Run(0);
  EXPECT_EQ(mLog, Strings({"t@1", "t@5.5"}));
  EXPECT_EQ(CFRunLoopTimerGetNextFireDate(t), kStart + 6);  // back on its schedule
  Run(1);
  EXPECT_EQ(mLog, Strings({"t@1", "t@5.5", "t@6"}));

  // A date set in the past fires once at the next pass (the clock is at 6.5), then keeps the new
  // schedule.
  CFRunLoopTimerSetNextFireDate(t, kStart + 0.25);
  Run(0);
  EXPECT_EQ(CFRunLoopTimerGetNextFireDate(t), kStart + 7.25);
  EXPECT_EQ(mLog.size(), 4u);
}

TEST_F(RunLoopCallouts, ChangeTheLoopDuringAPass)
{
  CFRunLoopRef rl = CFRunLoopGetCurrent();
  CFRunLoopTimerRef victim = nullptr;
  CFRunLoopTimerRef removed = nullptr;
  // All due at 1: "self" stops itself, "killer" invalidates "victim", "remover" takes "removed"
  // out of the loop, "maker" adds a new timer due now and one for later.
  Timer("self", 1, 0.5, [](CFRunLoopTimerRef t) { CFRunLoopTimerInvalidate(t); });
  Timer("killer", 1, 0, [&](CFRunLoopTimerRef) { CFRunLoopTimerInvalidate(victim); });
  victim = Timer("victim", 1, 0);
  Timer("remover", 1, 0, [&](CFRunLoopTimerRef) { CFRunLoopRemoveTimer(rl, removed, kCFRunLoopDefaultMode); });
  removed = Timer("removed", 1, 0.5);
  Timer("maker", 1, 0, [&](CFRunLoopTimerRef) {
    Timer("now", 1, 0);
    CFRunLoopTimerRef later = Timer("later", 2.5, 0, nullptr, nullptr);
    CFRunLoopAddTimer(rl, later, kCFRunLoopDefaultMode);
    CFRunLoopAddTimer(rl, later, kCFRunLoopDefaultMode);  // twice is once
  });

  EXPECT_EQ(Run(5), kCFRunLoopRunFinished);
  EXPECT_EQ(mLog, Strings({"self@1", "killer@1", "remover@1", "maker@1", "now@1", "later@2.5"}));
  EXPECT_FALSE(CFRunLoopTimerIsValid(victim));
  EXPECT_TRUE(CFRunLoopTimerIsValid(removed));  // removed, not invalidated
  EXPECT_FALSE(CFRunLoopContainsTimer(rl, removed, kCFRunLoopDefaultMode));
  EXPECT_EQ(CFGetRetainCount(removed), 1);
}

TEST_F(RunLoopCallouts, NestedRunsFireEachTimerOnce)
{
  CFRunLoopRef rl = CFRunLoopGetCurrent();
  CFStringRef inner = CFSTR("inner");
  std::string modeSeen;
  CFRunLoopRunResult nestedResult = kCFRunLoopRunFinished;
  Timer("outer", 1, 10, [&](CFRunLoopTimerRef) {
    nestedResult = CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1, false);  // from 1 to 2
  });
  Timer("inside", 1.5, 0);
  Timer("probe", 1.75, 0, [&](CFRunLoopTimerRef) {
    CFStringRef mode = CFRunLoopCopyCurrentMode(rl);
    modeSeen = CFStringGetCStringPtr(mode, kCFStringEncodingUTF8);
    CFRelease(mode);
    // A run in another mode from inside: only that mode's timers take part.
    CFRunLoopRunInMode(inner, 0.1, false);
  });
  Timer("innerTimer", 1.8, 0, nullptr, inner);
  Timer("after", 3, 0);

  EXPECT_EQ(Run(4), kCFRunLoopRunTimedOut);
  EXPECT_EQ(nestedResult, kCFRunLoopRunTimedOut);
  EXPECT_EQ(modeSeen, "kCFRunLoopDefaultMode");
  EXPECT_EQ(mLog, Strings({"outer@1", "inside@1.5", "probe@1.75", "innerTimer@1.8", "after@3"}));
  EXPECT_EQ(CFRunLoopCopyCurrentMode(rl), nullptr);
}

TEST_F(RunLoopCallouts, ReturnAfterATimerFiredAndStop)
{
  Timer("a", 1, 0);
  Timer("b", 2, 0);
  EXPECT_EQ(Run(10, true), kCFRunLoopRunHandledSource);
  EXPECT_EQ(Elapsed(), 1);
  EXPECT_EQ(mLog, Strings({"a@1"}));

  // A stop before the run does not carry over; one from a callout ends the run after its pass.
  CFRunLoopStop(CFRunLoopGetCurrent());
  Timer("stopper", 3, 0, [](CFRunLoopTimerRef) { CFRunLoopStop(CFRunLoopGetCurrent()); });
  Timer("sameTime", 3, 0);
  Timer("tooLate", 4, 0);
  EXPECT_EQ(Run(10), kCFRunLoopRunStopped);
  EXPECT_EQ(Elapsed(), 3);
  EXPECT_EQ(mLog, Strings({"a@1", "b@2", "stopper@3", "sameTime@3"}));
}

TEST_F(RunLoopObservers, ActivitiesAroundEachPass)
{
  Observer("o", kCFRunLoopAllActivities);
  Timer("t", 0.5, 0);
  EXPECT_EQ(Run(1), kCFRunLoopRunTimedOut);
  EXPECT_EQ(mLog, Strings({"o:Entry", "o:BeforeTimers", "o:BeforeWaiting", "o:AfterWaiting",  // wait to 0.5
                           "o:BeforeTimers", "t@0.5", "o:BeforeWaiting", "o:AfterWaiting",  // wait to the end
                           "o:Exit"}));
  mLog.clear();
  // One pass: no waiting.
  EXPECT_EQ(Run(0), kCFRunLoopRunTimedOut);
  EXPECT_EQ(mLog, Strings({"o:Entry", "o:BeforeTimers", "o:Exit"}));
}

TEST_F(RunLoopObservers, OrderMaskAndOneShot)
{
  Observer("late", kCFRunLoopEntry | kCFRunLoopExit, true, 5);
  Observer("early", kCFRunLoopEntry | kCFRunLoopExit, true, -1);
  Observer("mid", kCFRunLoopEntry | kCFRunLoopExit, true, 2);
  Observer("mid2", kCFRunLoopEntry | kCFRunLoopExit, true, 2);
  CFRunLoopObserverRef once = Observer("once", kCFRunLoopBeforeTimers, false);
  // An observer that stops the run from its notification.
  Observer("stopper", kCFRunLoopBeforeWaiting, true, 0,
           [](CFRunLoopActivity) { CFRunLoopStop(CFRunLoopGetCurrent()); });
  Timer("keep", 100, 0);

  EXPECT_EQ(Run(10), kCFRunLoopRunStopped);
  EXPECT_EQ(mLog, Strings({"early:Entry", "mid:Entry", "mid2:Entry", "late:Entry", "once:BeforeTimers",
                           "stopper:BeforeWaiting", "early:Exit", "mid:Exit", "mid2:Exit", "late:Exit"}));
  EXPECT_FALSE(CFRunLoopObserverIsValid(once));
  EXPECT_EQ(CFGetRetainCount(once), 1);  // the loop let go of it
  EXPECT_EQ(Elapsed(), 0);
}

TEST_F(RunLoopModes, CommonModesAndOtherModes)
{
  CFRunLoopRef rl = CFRunLoopGetCurrent();
  CFStringRef other = CFSTR("other");
  CFRunLoopTimerRef common = Timer("common", 1, 1, nullptr, kCFRunLoopCommonModes);
  CFRunLoopTimerRef mine = Timer("other", 1, 1, nullptr, other);
  CFRunLoopTimerRef both = Timer("both", 1, 1, nullptr, other);
  CFRunLoopAddTimer(rl, both, kCFRunLoopDefaultMode);

  EXPECT_TRUE(CFRunLoopContainsTimer(rl, common, kCFRunLoopCommonModes));
  EXPECT_TRUE(CFRunLoopContainsTimer(rl, common, kCFRunLoopDefaultMode));  // default is a common mode
  EXPECT_FALSE(CFRunLoopContainsTimer(rl, common, other));
  EXPECT_FALSE(CFRunLoopContainsTimer(rl, mine, kCFRunLoopDefaultMode));
  EXPECT_FALSE(CFRunLoopContainsTimer(rl, both, kCFRunLoopCommonModes));
  EXPECT_EQ(CFGetRetainCount(both), 2);  // one reference for the loop, however many modes

  Run(1.5);
  EXPECT_EQ(mLog, Strings({"common@1", "both@1"}));
  mLog.clear();
  EXPECT_EQ(CFRunLoopRunInMode(other, 1, false), kCFRunLoopRunTimedOut);
  EXPECT_EQ(mLog, Strings({"other@1.5", "other@2", "both@2"}));  // "other" was due since 1 in its mode
  mLog.clear();

  CFRunLoopRemoveTimer(rl, both, other);
  EXPECT_TRUE(CFRunLoopContainsTimer(rl, both, kCFRunLoopDefaultMode));
  EXPECT_EQ(CFGetRetainCount(both), 2);
  CFRunLoopRemoveTimer(rl, both, kCFRunLoopDefaultMode);
  EXPECT_EQ(CFGetRetainCount(both), 1);
  CFRunLoopRemoveTimer(rl, common, kCFRunLoopCommonModes);
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1, false), kCFRunLoopRunFinished);
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopCommonModes, 1, false), kCFRunLoopRunFinished);  // not a mode to run in
  EXPECT_EQ(CFRunLoopRunInMode(nullptr, 1, false), kCFRunLoopRunFinished);
  EXPECT_TRUE(mLog.empty());
}

// A mode added to the loop's common modes runs what was added for the common modes, before and
// after it was added, and nothing added for other modes.
TEST_F(RunLoopModes, AModeAddedToTheCommonModes)
{
  CFRunLoopRef rl = CFRunLoopGetCurrent();
  CFStringRef tracking = CFSTR("test.tracking");
  CFRunLoopTimerRef early = Timer("early", 1, 1, nullptr, kCFRunLoopCommonModes);
  Timer("default", 1, 1);
  Observer("watch", kCFRunLoopEntry, true, 0, nullptr, kCFRunLoopCommonModes);
  EXPECT_FALSE(CFRunLoopContainsTimer(rl, early, tracking));
  EXPECT_EQ(CFRunLoopRunInMode(tracking, 1.5, false), kCFRunLoopRunFinished) << "not a common mode yet";

  CFRunLoopAddCommonMode(rl, tracking);
  CFRunLoopAddCommonMode(rl, tracking);               // once is as good as twice
  CFRunLoopAddCommonMode(rl, kCFRunLoopCommonModes);  // the token is not a mode
  CFRunLoopAddCommonMode(nullptr, tracking);
  Timer("late", 1.5, 1, nullptr, kCFRunLoopCommonModes);
  EXPECT_TRUE(CFRunLoopContainsTimer(rl, early, tracking));
  EXPECT_FALSE(CFRunLoopContainsTimer(rl, early, CFSTR("test.other")));
  EXPECT_EQ(CFRunLoopRunInMode(tracking, 2.6, false), kCFRunLoopRunTimedOut);
  EXPECT_EQ(mLog, Strings({"watch:Entry", "early@1", "late@1.5", "early@2", "late@2.5"}));
  EXPECT_EQ(CFRunLoopRunInMode(CFSTR("test.other"), 1, false), kCFRunLoopRunFinished);
}

TEST_F(RunLoopClock, RealClockSleepsUntilTheTimer)
{
  CFTestUseRealClock(true);
  const CFAbsoluteTime start = CFAbsoluteTimeGetCurrent();
  CFAbsoluteTime firedAt = 0;
  CFRunLoopTimerContext context = {0, &firedAt, nullptr, nullptr, nullptr};
  CFRunLoopTimerRef t = CFRunLoopTimerCreate(
    nullptr, start + 0.010, 0, 0, 0,
    [](CFRunLoopTimerRef, void* info) {
      *static_cast<CFAbsoluteTime*>(info) = CFAbsoluteTimeGetCurrent();
      CFRunLoopStop(CFRunLoopGetCurrent());
    },
    &context);
  mTimers.push_back(t);
  CFRunLoopAddTimer(CFRunLoopGetCurrent(), t, kCFRunLoopDefaultMode);
  EXPECT_EQ(Run(0.2), kCFRunLoopRunStopped);
  EXPECT_GE(firedAt, start + 0.010);
  EXPECT_LT(firedAt, start + 0.2);
  // The virtual clock did not move meanwhile.
  CFTestUseRealClock(false);
  EXPECT_EQ(CFAbsoluteTimeGetCurrent(), kStart);
}
