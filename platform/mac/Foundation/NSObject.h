#pragma once
// The root class and autorelease pools.
//
// Objects are made with new (one reference, owned by the maker), then sent their init method.
// retain adds a reference, release drops one and deletes the object with its last one, autorelease
// drops one when the innermost autorelease pool of the thread drains. Every object is entered in a
// registry of live objects while it exists (see objc_objectForPointer); constant strings and the
// shared objects of the frameworks (bundles, run loops, the workspace) are immortal and not
// counted as live.

#include <atomic>
#include <type_traits>

#include <Foundation/NSObjCRuntime.h>

class NSString;

class NSObject
{
public:
  NSObject();
  NSObject(const NSObject&) = delete;
  NSObject& operator=(const NSObject&) = delete;

  virtual NSObject* init() { return this; }

  id retain();
  void release();
  id autorelease();
  NSUInteger retainCount() const;

  // isKindOfClass: [T class]
  template <class T>
  BOOL isKindOfClass() const
  {
    // Every object is an NSObject (comparing `this` with null is what compilers warn about).
    if constexpr (std::is_same<T, NSObject>::value)
      return YES;
    else
      return dynamic_cast<const T*>(this) != nullptr;
  }
  virtual BOOL isEqual(id other) const { return other == this; }
  virtual NSUInteger hash() const { return (NSUInteger)(const void*)this; }
  // The class name, for logs and tests.
  virtual const char* className() const { return "NSObject"; }
  // respondsToSelector: is not needed: C++ knows.

  // Makes the object immortal and uncounted: retain and release leave it alone from now on.
  void makeImmortal();

protected:
  // Only release deletes an object.
  virtual ~NSObject();

private:
  std::atomic<long> mRetainCount{1};
  bool mImmortal = false;
};

// Collects autoreleased objects of its thread until it is released (or drained); pools nest, and
// the newest pool of the thread collects. Releasing a pool that is not the innermost drains and
// releases the pools inside it first. A thread without a pool of its own collects into an
// implicit pool, which its run loop drains after each pass (see NSRunLoop.h), which
// FoundationTestKit::DrainImplicitPool drains, and which the thread's end drains.
class NSAutoreleasePool : public NSObject
{
public:
  NSAutoreleasePool();
  // Releases every object collected, in the order they were autoreleased; then the pool itself.
  void drain();
  // Adds the object to the thread's innermost pool.
  static void addObject(id object);
  const char* className() const override { return "NSAutoreleasePool"; }

protected:
  ~NSAutoreleasePool() override;

private:
  struct Impl;
  Impl* mImpl;
};
