#include <gtest/gtest.h>

#include <Foundation/Foundation.h>

#include <Foundation/testkit.h>

#include "FoundationProbe.h"

TEST(NSDictionary, RetainsKeysAndValuesWhileTheyAreEntries)
{
  FoundationTestKit::DrainImplicitPool();
  const long base = FoundationTestKit::LiveObjectCount();
  std::vector<int> freed;
  NSMutableDictionary* d = (new NSMutableDictionary)->init();
  NSString* key = (new NSString)->initWithUTF8String("key");
  NSObject* v1 = new FreedProbe(1, &freed);
  NSObject* v2 = new FreedProbe(2, &freed);

  d->setObject(v1, key);
  EXPECT_EQ(key->retainCount(), 2u);
  EXPECT_EQ(v1->retainCount(), 2u);
  EXPECT_EQ(d->count(), 1u);
  // An equal key of another object finds and replaces the entry; the old value is released.
  NSString* sameText = NSString::stringWithUTF8String("key");
  EXPECT_EQ(d->objectForKey(sameText), v1);
  d->setObject(v2, sameText);
  EXPECT_EQ(d->count(), 1u);
  EXPECT_EQ(d->objectForKey(key), v2);
  EXPECT_EQ(v1->retainCount(), 1u);
  EXPECT_EQ(v2->retainCount(), 2u);
  // Setting the value it already holds keeps it alive.
  v2->release();
  d->setObject(v2, key);
  EXPECT_EQ(v2->retainCount(), 1u);
  EXPECT_TRUE(freed.empty());

  // nil keys and values do nothing.
  d->setObject(nil, key);
  d->setObject(v1, nil);
  EXPECT_EQ(d->objectForKey(nil), nil);
  EXPECT_EQ(d->count(), 1u);
  EXPECT_EQ(d->objectForKey(NSSTR("absent")), nil);

  d->removeObjectForKey(NSSTR("key"));  // frees v2, the dictionary held its last reference
  EXPECT_EQ(freed, std::vector<int>{2});
  EXPECT_EQ(d->count(), 0u);
  EXPECT_EQ(key->retainCount(), 1u);
  d->removeObjectForKey(key);  // absent: nothing
  d->removeObjectForKey(nil);

  d->setObject(v1, key);
  d->setObject(NSSTR("value"), NSSTR("other"));
  v1->release();
  d->removeAllObjects();
  EXPECT_EQ(freed, (std::vector<int>{2, 1}));
  EXPECT_EQ(d->count(), 0u);

  // Freeing the dictionary releases what it holds.
  NSObject* v3 = new FreedProbe(3, &freed);
  d->setObject(v3, key);
  v3->release();
  key->release();
  d->release();
  EXPECT_EQ(freed, (std::vector<int>{2, 1, 3}));
  FoundationTestKit::DrainImplicitPool();
  EXPECT_EQ(FoundationTestKit::LiveObjectCount(), base);
}
