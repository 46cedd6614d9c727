#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include <CoreFoundation/CoreFoundation.h>

#include <CoreFoundation/testkit.h>

namespace
{
class RunLoopThreads : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mLiveBefore = CFTestLiveObjectCount();
    CFTestUseRealClock(false);
    CFTestSetClock(1000);
  }
  void TearDown() override
  {
    CFTestUseRealClock(false);
    EXPECT_EQ(CFTestLiveObjectCount(), mLiveBefore) << "objects leaked";
  }

  // A timer that counts its fires in an atomic.
  static CFRunLoopTimerRef CountingTimer(CFAbsoluteTime at, double interval, std::atomic<int>* fires)
  {
    CFRunLoopTimerContext context = {0, fires, nullptr, nullptr, nullptr};
    return CFRunLoopTimerCreate(
      nullptr, at, interval, 0, 0,
      [](CFRunLoopTimerRef, void* info) { static_cast<std::atomic<int>*>(info)->fetch_add(1); }, &context);
  }

  // Far in the future: keeps the mode from being empty.
  static CFRunLoopTimerRef Keeper()
  {
    CFRunLoopTimerRef t = CFRunLoopTimerCreate(nullptr, 1e12, 0, 0, 0, [](CFRunLoopTimerRef, void*) {}, nullptr);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), t, kCFRunLoopDefaultMode);
    return t;
  }

  static void Dispose(CFRunLoopTimerRef t)
  {
    CFRunLoopTimerInvalidate(t);
    CFRelease(t);
  }

  long mLiveBefore = 0;
};
}  // namespace

TEST_F(RunLoopThreads, EachThreadHasItsLoopAndATimerFiresInEach)
{
  CFRunLoopRef mainLoop = CFRunLoopGetCurrent();
  std::atomic<int> fires{0};
  CFRunLoopTimerRef shared = CountingTimer(1000.5, 1, &fires);
  CFRunLoopAddTimer(mainLoop, shared, kCFRunLoopDefaultMode);

  CFRunLoopRef threadLoop = nullptr, mainSeenFromThread = nullptr;
  int firesInThread = 0;
  std::thread worker([&] {
    threadLoop = CFRunLoopGetCurrent();
    mainSeenFromThread = CFRunLoopGetMain();
    CFRunLoopAddTimer(threadLoop, shared, kCFRunLoopDefaultMode);
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1, false);  // 1000 to 1001
    firesInThread = fires.load();
  });
  worker.join();
  EXPECT_NE(threadLoop, mainLoop);
  EXPECT_EQ(mainSeenFromThread, mainLoop);
  EXPECT_EQ(firesInThread, 1);

  // The thread's loop went with its thread and let go of the timer; the main loop still has it.
  EXPECT_EQ(CFGetRetainCount(shared), 2);
  EXPECT_TRUE(CFRunLoopTimerIsValid(shared));
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1, false);  // 1001 to 1002: the late fire, then 1001.5
  EXPECT_EQ(fires.load(), 3);
  Dispose(shared);
}

TEST_F(RunLoopThreads, OtherThreadsAddAndInvalidateWhileTheLoopRuns)
{
  CFTestUseRealClock(true);
  CFRunLoopRef mainLoop = CFRunLoopGetCurrent();
  CFRunLoopTimerRef keeper = Keeper();
  std::atomic<int> fires{0};
  std::atomic<int> left{0};
  std::atomic<int> workersDone{0};
  const int kWorkers = 3, kRounds = 300;
  std::vector<std::thread> workers;
  for (int w = 0; w < kWorkers; ++w)
  {
    workers.emplace_back([&] {
      for (int i = 0; i < kRounds; ++i)
      {
        CFRunLoopTimerRef t = CountingTimer(CFAbsoluteTimeGetCurrent(), 0, &fires);
        CFRunLoopAddTimer(mainLoop, t, kCFRunLoopDefaultMode);
        if (i % 3 == 0) CFRunLoopTimerInvalidate(t);
        else if (i % 3 == 1) CFRunLoopRemoveTimer(mainLoop, t, kCFRunLoopDefaultMode);
        else left.fetch_add(1);
        CFRelease(t);
      }
      workersDone.fetch_add(1);
    });
  }
  while (workersDone.load() < kWorkers) CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.005, false);
  for (std::thread& t : workers) t.join();
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);  // what was added last is due
  EXPECT_GE(fires.load(), left.load());
  EXPECT_LE(fires.load(), kWorkers * kRounds);
  EXPECT_EQ(CFGetRetainCount(keeper), 2);
  Dispose(keeper);
}

TEST_F(RunLoopThreads, ASleepingLoopWakesForATimerAddedElsewhereAndForStop)
{
  CFTestUseRealClock(true);
  CFRunLoopRef mainLoop = CFRunLoopGetCurrent();
  CFRunLoopTimerRef keeper = Keeper();

  // A timer added by another thread, due at once, whose callout stops the run.
  std::thread adder([&] {
    CFRunLoopTimerRef t = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + 0.005, 0, 0, 0,
                                               [](CFRunLoopTimerRef, void*) { CFRunLoopStop(CFRunLoopGetCurrent()); },
                                               nullptr);
    CFRunLoopAddTimer(mainLoop, t, kCFRunLoopDefaultMode);
    CFRelease(t);
  });
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 60, false), kCFRunLoopRunStopped);
  adder.join();

  // A stop from another thread while the loop sleeps; retried until the run has begun.
  std::atomic<bool> returned{false};
  std::thread stopper([&] {
    while (!returned.load())
    {
      CFStringRef mode = CFRunLoopCopyCurrentMode(mainLoop);
      if (mode)
      {
        CFRunLoopStop(mainLoop);
        CFRelease(mode);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 60, false), kCFRunLoopRunStopped);
  returned.store(true);
  stopper.join();
  Dispose(keeper);
}

TEST_F(RunLoopThreads, ThreadEndRacesInvalidation)
{
  for (int round = 0; round < 200; ++round)
  {
    std::atomic<int> fires{0};
    CFRunLoopTimerRef t = CountingTimer(2000, 1, &fires);
    std::atomic<bool> added{false};
    std::thread owner([&] {
      CFRunLoopAddTimer(CFRunLoopGetCurrent(), t, kCFRunLoopDefaultMode);
      added.store(true);
    });
    std::thread killer([&] {
      while (!added.load()) std::this_thread::yield();
      CFRunLoopTimerInvalidate(t);
    });
    owner.join();
    killer.join();
    EXPECT_FALSE(CFRunLoopTimerIsValid(t));
    EXPECT_EQ(CFGetRetainCount(t), 1);
    CFRelease(t);
  }
}
