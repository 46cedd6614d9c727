#include <gtest/gtest.h>

#include <vector>

#include <CoreFoundation/testkit.h>
#include <Foundation/Foundation.h>

#include <Foundation/testkit.h>

#include "FoundationProbe.h"

namespace
{
// A timer target that records when it fires and can act on a given firing.
class Ticker : public NSObject
{
public:
  void tick(id timer)
  {
    mTimes.push_back(CFAbsoluteTimeGetCurrent());
    mTimers.push_back(timer);
    if (mOnTick) mOnTick(static_cast<NSTimer*>(timer), (int)mTimes.size());
  }
  std::vector<CFAbsoluteTime> mTimes;
  std::vector<id> mTimers;
  std::function<void(NSTimer*, int)> mOnTick;
  const char* className() const override { return "Ticker"; }
};

SEL TickSelector()
{
  return selector(&Ticker::tick);
}

class TimerTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    FoundationTestKit::DrainImplicitPool();
    mBase = FoundationTestKit::LiveObjectCount();
  }
  void TearDown() override
  {
    FoundationTestKit::DrainImplicitPool();
    EXPECT_EQ(FoundationTestKit::LiveObjectCount(), mBase);
  }
  long mBase = 0;
};
}  // namespace

TEST_F(TimerTest, RepeatingTimerInCommonModesFiresEveryThirtiethOfASecond)
{
  struct Case
  {
    const char* what;
    std::function<void(NSRunLoop*, NSTimer*)> add;
  } cases[] = {
    {"CF common modes", [](NSRunLoop* rl, NSTimer* t) { rl->addTimer(t, kCFRunLoopCommonModes); }},
    {"NS common modes", [](NSRunLoop* rl, NSTimer* t) { rl->addTimer(t, NSRunLoopCommonModes); }},
    {"NS default mode", [](NSRunLoop* rl, NSTimer* t) { rl->addTimer(t, NSDefaultRunLoopMode); }},
  };
  for (const Case& c : cases)
  {
    Ticker* target = new Ticker;
    NSTimer* timer = NSTimer::timerWithTimeInterval(1.0 / 30, target, TickSelector(), nil, YES);
    ASSERT_NE(timer, nil);
    EXPECT_TRUE(timer->isValid());
    EXPECT_DOUBLE_EQ(timer->timeInterval(), 1.0 / 30);
    c.add(NSRunLoop::currentRunLoop(), timer);
    FoundationTestKit::DrainImplicitPool();  // the run loop keeps the timer
    const CFAbsoluteTime start = CFAbsoluteTimeGetCurrent();
    FoundationTestKit::RunFor(1.0 + 1e-9);
    ASSERT_EQ(target->mTimes.size(), 30u) << c.what;
    for (size_t i = 0; i < target->mTimes.size(); ++i)
      EXPECT_NEAR(target->mTimes[i] - start, (double)(i + 1) / 30, 1e-9) << c.what << " firing " << i;
    EXPECT_EQ(target->mTimers.front(), timer);
    timer->invalidate();
    FoundationTestKit::RunFor(1.0);
    EXPECT_EQ(target->mTimes.size(), 30u) << c.what;
    target->release();
  }
}

TEST_F(TimerTest, TargetAndUserInfoAreRetainedUntilInvalidate)
{
  std::vector<int> freed;
  Ticker* target = new Ticker;
  NSObject* info = new FreedProbe(1, &freed);
  NSTimer* timer = NSTimer::timerWithTimeInterval(0.5, target, TickSelector(), info, YES);
  info->release();
  EXPECT_EQ(target->retainCount(), 2u);
  EXPECT_EQ(timer->userInfo(), info);
  NSRunLoop::currentRunLoop()->addTimer(timer, kCFRunLoopCommonModes);
  timer->retain();  // held by the test to look at it after invalidation
  FoundationTestKit::RunFor(1.0 + 1e-9);
  EXPECT_EQ(target->mTimes.size(), 2u);
  EXPECT_TRUE(freed.empty());
  timer->invalidate();
  EXPECT_FALSE(timer->isValid());
  EXPECT_EQ(target->retainCount(), 1u);
  EXPECT_EQ(freed, std::vector<int>{1});
  EXPECT_EQ(timer->userInfo(), nil);
  timer->invalidate();  // twice: nothing more
  timer->fire();        // invalid: no message
  EXPECT_EQ(target->mTimes.size(), 2u);
  EXPECT_EQ(timer->retainCount(), 1u);  // the run loop gave its reference back
  timer->release();
  target->release();
}

TEST_F(TimerTest, InvalidateFromTheCallbackStopsItAndFreesIt)
{
  Ticker* target = new Ticker;
  std::vector<int> freed;
  target->mOnTick = [](NSTimer* t, int n) {
    if (n == 3) t->invalidate();
  };
  NSTimer* timer = NSTimer::timerWithTimeInterval(0.1, target, TickSelector(), new FreedProbe(7, &freed), YES);
  static_cast<NSObject*>(timer->userInfo())->release();
  NSRunLoop::currentRunLoop()->addTimer(timer, kCFRunLoopCommonModes);
  FoundationTestKit::DrainImplicitPool();
  FoundationTestKit::RunFor(1.0);
  EXPECT_EQ(target->mTimes.size(), 3u);
  EXPECT_EQ(freed, std::vector<int>{7});
  EXPECT_EQ(target->retainCount(), 1u);
  target->release();
}

TEST_F(TimerTest, EachFiringHasAPoolOfItsOwn)
{
  std::vector<int> freed;
  // Two timers due in the same pass: what the first autoreleases is gone before the second fires,
  // long before the pass ends and drains the implicit pool.
  Ticker* first = new Ticker;
  Ticker* second = new Ticker;
  long pendingInFirst = -1;
  std::vector<int> freedWhenSecondFired;
  first->mOnTick = [&](NSTimer*, int n) {
    (new FreedProbe(n, &freed))->autorelease();
    pendingInFirst = FoundationTestKit::PendingAutoreleaseCount();
  };
  second->mOnTick = [&](NSTimer*, int) { freedWhenSecondFired = freed; };
  NSRunLoop* rl = NSRunLoop::currentRunLoop();
  rl->addTimer(NSTimer::timerWithTimeInterval(0.25, first, TickSelector(), nil, NO), kCFRunLoopCommonModes);
  rl->addTimer(NSTimer::timerWithTimeInterval(0.25, second, TickSelector(), nil, NO), kCFRunLoopCommonModes);
  FoundationTestKit::DrainImplicitPool();
  const long pendingBefore = FoundationTestKit::PendingAutoreleaseCount();
  FoundationTestKit::RunFor(0.5);
  EXPECT_EQ(pendingInFirst, pendingBefore + 1);
  EXPECT_EQ(freedWhenSecondFired, std::vector<int>{1});

  // fire() outside the schedule too.
  NSTimer* manual = NSTimer::timerWithTimeInterval(10, first, TickSelector(), nil, YES);
  manual->fire();
  EXPECT_EQ(freed, (std::vector<int>{1, 2}));
  EXPECT_TRUE(manual->isValid());  // a repeating timer stays valid after fire()
  first->release();
  second->release();
}

TEST_F(TimerTest, NonRepeatingTimerFiresOnceAndLetsGo)
{
  Ticker* target = new Ticker;
  NSTimer* timer = NSTimer::scheduledTimerWithTimeInterval(0.2, target, TickSelector(), nil, NO);
  EXPECT_EQ(timer->timeInterval(), 0.0);
  EXPECT_NEAR(timer->fireDate()->timeIntervalSinceNow(), 0.2, 1e-9);
  timer->retain();
  FoundationTestKit::DrainImplicitPool();
  FoundationTestKit::RunFor(1.0);
  EXPECT_EQ(target->mTimes.size(), 1u);
  EXPECT_FALSE(timer->isValid());
  EXPECT_EQ(target->retainCount(), 1u);
  EXPECT_EQ(timer->retainCount(), 1u);
  timer->release();
  target->release();
}

TEST_F(TimerTest, TimerNeverScheduledIsFreedByItsPool)
{
  Ticker* target = new Ticker;
  NSTimer::timerWithTimeInterval(0.1, target, TickSelector(), nil, YES);
  EXPECT_EQ(target->retainCount(), 2u);
  FoundationTestKit::DrainImplicitPool();
  EXPECT_EQ(target->retainCount(), 1u);
  // Intervals of zero or less are taken as a tenth of a millisecond.
  NSTimer* fast = NSTimer::timerWithTimeInterval(-1, target, TickSelector(), nil, YES);
  EXPECT_DOUBLE_EQ(fast->timeInterval(), 0.0001);
  FoundationTestKit::DrainImplicitPool();
  target->release();
}

namespace
{
struct NestedRun
{
  std::vector<int>* freed;
  std::vector<int> freedAfterNestedRun;
};

// A plain CoreFoundation callout, outside any pool: what it autoreleases goes to the implicit pool.
void AutoreleaseThenRunNested(CFRunLoopTimerRef, void* info)
{
  NestedRun* n = static_cast<NestedRun*>(info);
  (new FreedProbe(3, n->freed))->autorelease();
  FoundationTestKit::RunFor(0.1);
  n->freedAfterNestedRun = *n->freed;
}
}  // namespace

TEST_F(TimerTest, RunLoopPassesDrainTheImplicitPool)
{
  std::vector<int> freed;
  (new FreedProbe(1, &freed))->autorelease();
  FoundationTestKit::RunFor(0);
  EXPECT_EQ(freed, std::vector<int>{1});
  // An explicit pool open around the run keeps its objects.
  NSAutoreleasePool* pool = new NSAutoreleasePool;
  (new FreedProbe(2, &freed))->autorelease();
  FoundationTestKit::RunFor(0.1);
  EXPECT_EQ(freed, std::vector<int>{1});
  pool->drain();
  EXPECT_EQ(freed, (std::vector<int>{1, 2}));

  // A run nested in a callout leaves what the callout autoreleased before it; the outer pass
  // drains it.
  NestedRun nested{&freed, {}};
  CFRunLoopTimerContext context = {0, &nested, nullptr, nullptr, nullptr};
  CFRunLoopTimerRef timer =
    CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + 0.1, 0, 0, 0, &AutoreleaseThenRunNested, &context);
  CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopCommonModes);
  CFRelease(timer);
  FoundationTestKit::RunFor(0.5);
  EXPECT_EQ(nested.freedAfterNestedRun, (std::vector<int>{1, 2}));
  EXPECT_EQ(freed, (std::vector<int>{1, 2, 3}));
}

TEST_F(TimerTest, RunLoopRunsAndModes)
{
  NSRunLoop* rl = NSRunLoop::currentRunLoop();
  EXPECT_EQ(NSRunLoop::currentRunLoop(), rl);
  EXPECT_EQ(rl->getCFRunLoop(), CFRunLoopGetCurrent());
  EXPECT_EQ(NSRunLoop::mainRunLoop(), rl);  // gtest runs on the main thread

  // The mode names have CoreFoundation's text.
  for (auto pair : {std::make_pair(NSDefaultRunLoopMode, kCFRunLoopDefaultMode),
                    std::make_pair(NSRunLoopCommonModes, kCFRunLoopCommonModes)})
  {
    CFStringRef cf = pair.first->copyCFString();
    EXPECT_EQ(CFStringCompare(cf, pair.second, 0), kCFCompareEqualTo) << pair.first->UTF8String();
    CFRelease(cf);
  }

  Ticker* target = new Ticker;
  NSTimer* timer = NSTimer::timerWithTimeInterval(0.25, target, TickSelector(), nil, YES);
  rl->addTimer(timer, NSDefaultRunLoopMode);
  const CFAbsoluteTime start = CFAbsoluteTimeGetCurrent();
  NSDate* limit = NSDate::dateWithTimeIntervalSinceNow(1.1);
  EXPECT_DOUBLE_EQ(limit->timeIntervalSinceReferenceDate(), start + 1.1);
  limit->retain();  // the run drains the implicit pool the date is in
  rl->runUntilDate(limit);
  EXPECT_DOUBLE_EQ(CFAbsoluteTimeGetCurrent(), start + 1.1);
  EXPECT_EQ(target->mTimes.size(), 4u);
  EXPECT_DOUBLE_EQ(limit->timeIntervalSinceNow(), 0.0);
  limit->release();
  EXPECT_DOUBLE_EQ(NSDate::date()->timeIntervalSinceReferenceDate(), start + 1.1);

  // runMode returns after the first timer fired.
  EXPECT_TRUE(rl->runMode(NSDefaultRunLoopMode, NSDate::dateWithTimeIntervalSinceNow(10)));
  EXPECT_EQ(target->mTimes.size(), 5u);
  EXPECT_NEAR(CFAbsoluteTimeGetCurrent(), start + 1.25, 1e-9);
  timer->invalidate();

  // A mode with nothing in it has nothing to run; a timer of that mode alone fires there.
  NSString* other = NSSTR("KVOtherMode");
  EXPECT_FALSE(rl->runMode(other, NSDate::dateWithTimeIntervalSinceNow(1)));
  Ticker* otherTarget = new Ticker;
  rl->addTimer(NSTimer::timerWithTimeInterval(0.5, otherTarget, TickSelector(), nil, NO), other);
  FoundationTestKit::RunFor(1.0);
  EXPECT_TRUE(otherTarget->mTimes.empty());
  EXPECT_TRUE(rl->runMode(other, NSDate::dateWithTimeIntervalSinceNow(1)));
  EXPECT_EQ(otherTarget->mTimes.size(), 1u);
  EXPECT_FALSE(rl->runMode(nil, nil));
  rl->runUntilDate(nil);
  otherTarget->release();
  target->release();
}
