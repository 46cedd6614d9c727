#include <gtest/gtest.h>

#include <limits>
#include <thread>

#include <Foundation/Foundation.h>

#include <Foundation/testkit.h>

#include "FoundationProbe.h"

using FoundationTestKit::LiveObjectCount;
using FoundationTestKit::PendingAutoreleaseCount;

TEST(NSObject, RetainReleaseAndCounts)
{
  FoundationTestKit::DrainImplicitPool();
  const long base = LiveObjectCount();
  std::vector<int> freed;
  NSObject* a = new FreedProbe(1, &freed);
  EXPECT_EQ(LiveObjectCount(), base + 1);
  EXPECT_EQ(a->retain(), a);
  EXPECT_EQ(a->retainCount(), 2u);
  a->release();
  EXPECT_TRUE(freed.empty());
  a->release();
  EXPECT_EQ(freed, std::vector<int>{1});
  EXPECT_EQ(LiveObjectCount(), base);
}

TEST(NSAutoreleasePool, NestedPoolsReleaseInOrder)
{
  FoundationTestKit::DrainImplicitPool();
  const long base = LiveObjectCount();
  std::vector<int> freed;
  NSAutoreleasePool* outer = new NSAutoreleasePool;
  (new FreedProbe(1, &freed))->autorelease();
  NSAutoreleasePool* inner = new NSAutoreleasePool;
  (new FreedProbe(2, &freed))->autorelease();
  NSObject* twice = new FreedProbe(3, &freed);
  twice->retain()->autorelease();
  twice->autorelease();
  EXPECT_EQ(PendingAutoreleaseCount(), 4);
  inner->drain();
  EXPECT_EQ(freed, (std::vector<int>{2, 3}));
  (new FreedProbe(4, &freed))->autorelease();  // into the outer pool again
  outer->drain();
  EXPECT_EQ(freed, (std::vector<int>{2, 3, 1, 4}));
  EXPECT_EQ(PendingAutoreleaseCount(), 0);
  EXPECT_EQ(LiveObjectCount(), base);
}

TEST(NSAutoreleasePool, ReleasingAnOuterPoolDrainsTheInnerOnesFirst)
{
  FoundationTestKit::DrainImplicitPool();
  const long base = LiveObjectCount();
  std::vector<int> freed;
  NSAutoreleasePool* outer = new NSAutoreleasePool;
  (new FreedProbe(1, &freed))->autorelease();
  new NSAutoreleasePool;
  (new FreedProbe(2, &freed))->autorelease();
  new NSAutoreleasePool;
  (new FreedProbe(3, &freed))->autorelease();
  outer->release();  // the two inner pools are drained and freed with it
  EXPECT_EQ(freed, (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(LiveObjectCount(), base);
  // The thread collects into its implicit pool again.
  (new FreedProbe(4, &freed))->autorelease();
  EXPECT_EQ(PendingAutoreleaseCount(), 1);
  FoundationTestKit::DrainImplicitPool();
  EXPECT_EQ(freed.back(), 4);
  EXPECT_EQ(LiveObjectCount(), base);
}

TEST(NSAutoreleasePool, ObjectsAutoreleasedWhileDrainingGoInTheSameDrain)
{
  FoundationTestKit::DrainImplicitPool();
  const long base = LiveObjectCount();
  std::vector<int> freed;
  NSAutoreleasePool* pool = new NSAutoreleasePool;
  FreedProbe* first = new FreedProbe(1, &freed);
  first->mOnFree = [&freed] { (new FreedProbe(2, &freed))->autorelease(); };
  first->autorelease();
  pool->drain();
  EXPECT_EQ(freed, (std::vector<int>{1, 2}));
  EXPECT_EQ(LiveObjectCount(), base);

  // The same for the implicit pool.
  FreedProbe* again = new FreedProbe(3, &freed);
  again->mOnFree = [&freed] { (new FreedProbe(4, &freed))->autorelease(); };
  again->autorelease();
  FoundationTestKit::DrainImplicitPool();
  EXPECT_EQ(freed, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(LiveObjectCount(), base);
}

TEST(NSAutoreleasePool, AThreadsPoolsGoWithTheThread)
{
  FoundationTestKit::DrainImplicitPool();
  const long base = LiveObjectCount();
  std::vector<int> freed;
  std::thread worker([&freed] {
    (new FreedProbe(1, &freed))->autorelease();  // implicit pool
    new NSAutoreleasePool;                       // left open
    (new FreedProbe(2, &freed))->autorelease();
  });
  worker.join();
  EXPECT_EQ(freed, (std::vector<int>{2, 1}));
  EXPECT_EQ(LiveObjectCount(), base);
}

TEST(NSObject, ImmortalObjectsAreNotCountedAndIgnoreRetainRelease)
{
  FoundationTestKit::DrainImplicitPool();
  const long base = LiveObjectCount();
  NSString* a = NSSTR("NSObject test constant");
  EXPECT_EQ(NSSTR("NSObject test constant"), a);
  EXPECT_EQ(LiveObjectCount(), base);
  EXPECT_EQ(a->retainCount(), std::numeric_limits<NSUInteger>::max());
  a->release();
  a->release();
  a->autorelease();
  EXPECT_EQ(PendingAutoreleaseCount(), 0);
  EXPECT_STREQ(a->UTF8String(), "NSObject test constant");
  EXPECT_EQ(objc_objectForPointer(a), a);  // still registered

  NSObject* made = new NSObject;
  made->makeImmortal();
  EXPECT_EQ(LiveObjectCount(), base);
  made->release();
  EXPECT_EQ(objc_objectForPointer(made), made);
}

namespace
{
NSObject* sForeignAnswer = nullptr;
const void* sForeignHandle = nullptr;
int sResolverCalls = 0;

id ResolveForeign(const void* ptr)
{
  ++sResolverCalls;
  return ptr == sForeignHandle ? sForeignAnswer : nil;
}
}  // namespace

TEST(ObjCRuntime, ObjectForPointerAnswersOnlyLiveObjects)
{
  NSObject* live = new NSObject;
  NSObject* freed = new NSObject;
  const void* freedAddress = freed;
  freed->release();
  int onStack = 0;
  struct Case
  {
    const char* what;
    const void* ptr;
    id expected;
  } cases[] = {
    {"live", live, live},
    {"freed", freedAddress, nil},
    {"inside a live object", reinterpret_cast<const char*>(live) + 8, nil},
    {"stack", &onStack, nil},
    {"garbage", reinterpret_cast<const void*>(uintptr_t{0x1234}), nil},
    {"unmapped high", reinterpret_cast<const void*>(~uintptr_t{0} - 7), nil},
    {"null", nullptr, nil},
  };
  for (const Case& c : cases) EXPECT_EQ(objc_objectForPointer(c.ptr), c.expected) << c.what;
  live->release();
}

TEST(ObjCRuntime, ForeignResolverIsAskedOnlyAboutAddressesThatAreNotOurs)
{
  NSObject* ours = new NSObject;
  NSObject* standIn = new NSObject;
  int hostWindow = 0;
  sForeignAnswer = standIn;
  sForeignHandle = &hostWindow;
  sResolverCalls = 0;
  objc_setForeignObjectResolver(&ResolveForeign);
  EXPECT_EQ(objc_objectForPointer(ours), ours);
  EXPECT_EQ(sResolverCalls, 0);
  EXPECT_EQ(objc_objectForPointer(&hostWindow), standIn);
  EXPECT_EQ(objc_objectForPointer(&sResolverCalls), nil);
  EXPECT_EQ(sResolverCalls, 2);
  EXPECT_EQ(objc_objectForPointer(nullptr), nil);
  EXPECT_EQ(sResolverCalls, 2);
  objc_setForeignObjectResolver(nullptr);
  EXPECT_EQ(objc_objectForPointer(&hostWindow), nil);
  standIn->release();
  ours->release();
}

TEST(NSObject, IsKindOfClassFollowsTheHierarchy)
{
  NSMutableDictionary* d = NSMutableDictionary::dictionary();
  NSString* s = NSString::string();
  EXPECT_TRUE(d->isKindOfClass<NSDictionary>());
  EXPECT_TRUE(d->isKindOfClass<NSMutableDictionary>());
  EXPECT_TRUE(d->isKindOfClass<NSObject>());
  EXPECT_FALSE(d->isKindOfClass<NSString>());
  EXPECT_TRUE(s->isKindOfClass<NSString>());
  EXPECT_FALSE(s->isKindOfClass<NSDictionary>());
  EXPECT_STREQ(d->className(), "NSMutableDictionary");
  FoundationTestKit::DrainImplicitPool();
}
