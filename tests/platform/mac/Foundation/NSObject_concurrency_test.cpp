#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include <Foundation/Foundation.h>

#include <Foundation/testkit.h>

// Objects are made, retained, released and autoreleased on four threads while a fifth asks the
// registry about their addresses (live, freed or reused) and about addresses that never held one.
TEST(NSObjectConcurrency, RegistryAnswersWhileObjectsComeAndGo)
{
  FoundationTestKit::DrainImplicitPool();
  const long base = FoundationTestKit::LiveObjectCount();
  constexpr int kWorkers = 4;
  constexpr int kRounds = 4000;
  constexpr size_t kSlots = 64;
  std::atomic<const void*> recent[kSlots];
  for (auto& slot : recent) slot.store(nullptr);
  NSObject* keptAlive = new NSObject;
  std::atomic<bool> done{false};
  std::atomic<long> wrongAnswers{0};

  std::vector<std::thread> workers;
  for (int w = 0; w < kWorkers; ++w)
  {
    workers.emplace_back([&, w] {
      for (int i = 0; i < kRounds; ++i)
      {
        NSAutoreleasePool* pool = (i % 3 == 0) ? new NSAutoreleasePool : nullptr;
        NSObject* a = new NSObject;
        NSString* s = NSString::stringWithUTF8String("made on a worker");
        recent[(size_t)(w * 16 + i) % kSlots].store(a);
        recent[(size_t)(w * 16 + i + 1) % kSlots].store(s);
        a->retain();
        a->autorelease();
        if (NSSTR("shared constant") != NSSTR("shared constant")) wrongAnswers.fetch_add(1);
        a->release();
        if (pool) pool->drain();
        if (i % 7 == 0) FoundationTestKit::DrainImplicitPool();
      }
      FoundationTestKit::DrainImplicitPool();
    });
  }
  std::thread reader([&] {
    int onStack = 0;
    const void* garbage[] = {&onStack, reinterpret_cast<const void*>(uintptr_t{0x10}),
                             reinterpret_cast<const void*>(uintptr_t{0xdeadbeef}), &recent[0]};
    while (!done.load())
    {
      for (auto& slot : recent)
      {
        const void* p = slot.load();
        const id found = objc_objectForPointer(p);
        if (found != nil && found != p) wrongAnswers.fetch_add(1);  // only ever the address itself
      }
      for (const void* g : garbage)
      {
        if (objc_objectForPointer(g) != nil) wrongAnswers.fetch_add(1);
      }
      if (objc_objectForPointer(keptAlive) != keptAlive) wrongAnswers.fetch_add(1);
    }
  });
  for (auto& t : workers) t.join();
  done.store(true);
  reader.join();
  EXPECT_EQ(wrongAnswers.load(), 0);
  keptAlive->release();
  FoundationTestKit::DrainImplicitPool();
  EXPECT_EQ(FoundationTestKit::LiveObjectCount(), base);
}
