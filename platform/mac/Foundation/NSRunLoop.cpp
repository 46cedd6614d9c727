// Run loops over CoreFoundation's, and the observer that ends each pass of a thread's loop: the
// AppKit hook (display), then the thread's implicit autorelease pool.

#include <Foundation/NSRunLoop.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include <Foundation/testkit.h>

#include "FoundationPrivate.h"

// The same text as kCFRunLoopDefaultMode and kCFRunLoopCommonModes.
NSString* const NSDefaultRunLoopMode = NSSTR("kCFRunLoopDefaultMode");
NSString* const NSRunLoopCommonModes = NSSTR("kCFRunLoopCommonModes");

namespace
{
// After every observer of ordinary order, as the pool must be.
constexpr CFIndex kPassOrder = 2000000;

std::atomic<KVFoundation::RunLoopPassHook> sPassHook{nullptr};
thread_local bool tPassInstalled = false;

struct Loops
{
  std::mutex mLock;
  std::unordered_map<CFRunLoopRef, NSRunLoop*> mByRef;
};

Loops& TheLoops()
{
  static Loops* sLoops = new Loops;
  return *sLoops;
}

// Where each run of the thread's loop (innermost last) found its implicit pool: the outermost run
// drains the whole pool, a nested run only what was autoreleased since it began, so the code that
// started a nested run keeps what it autoreleased before.
thread_local std::vector<long> tRunMarks;

void PassCallout(CFRunLoopObserverRef, CFRunLoopActivity activity, void*)
{
  if (activity == kCFRunLoopEntry)
  {
    tRunMarks.push_back(tRunMarks.empty() ? 0 : KVFoundation::ImplicitPoolCount());
    return;
  }
  if (KVFoundation::RunLoopPassHook hook = sPassHook.load(std::memory_order_acquire))
  {
    // What the hook autoreleases (events, drawing) stays safe from runs nested inside it.
    NSAutoreleasePool* pool = new NSAutoreleasePool;
    hook();
    pool->drain();
  }
  KVFoundation::DrainImplicitPoolTo(tRunMarks.empty() ? 0 : tRunMarks.back());
  if (activity == kCFRunLoopExit && !tRunMarks.empty()) tRunMarks.pop_back();
}

bool SameText(CFStringRef cf, const NSString* ns)
{
  const char* p = CFStringGetCStringPtr(cf, kCFStringEncodingUTF8);
  return p && ns->str() == p;
}

// The CoreFoundation mode for an NSString mode: the constants themselves for their texts, else a
// new string (released by the caller when *owned).
CFStringRef ModeFor(NSString* mode, bool* owned)
{
  *owned = false;
  if (SameText(kCFRunLoopCommonModes, mode)) return kCFRunLoopCommonModes;
  if (SameText(kCFRunLoopDefaultMode, mode)) return kCFRunLoopDefaultMode;
  *owned = true;
  return mode->copyCFString();
}
}  // namespace

void KVFoundation::SetRunLoopPassHook(RunLoopPassHook hook)
{
  sPassHook.store(hook, std::memory_order_release);
}

void KVFoundation::InstallRunLoopPass()
{
  if (tPassInstalled) return;
  tPassInstalled = true;
  CFRunLoopObserverRef observer = CFRunLoopObserverCreate(
    nullptr, kCFRunLoopEntry | kCFRunLoopBeforeWaiting | kCFRunLoopExit, true, kPassOrder, &PassCallout, nullptr);
  CFRunLoopAddObserver(CFRunLoopGetCurrent(), observer, kCFRunLoopCommonModes);
  CFRelease(observer);  // the loop holds it for the thread's life
}

NSRunLoop* NSRunLoop::currentRunLoop()
{
  KVFoundation::InstallRunLoopPass();
  CFRunLoopRef cf = CFRunLoopGetCurrent();
  Loops& l = TheLoops();
  std::lock_guard<std::mutex> lock(l.mLock);
  auto it = l.mByRef.find(cf);
  if (it != l.mByRef.end()) return it->second;
  NSRunLoop* loop = new NSRunLoop(cf);
  loop->makeImmortal();
  l.mByRef.emplace(cf, loop);
  return loop;
}

NSRunLoop* NSRunLoop::mainRunLoop()
{
  CFRunLoopRef main = CFRunLoopGetMain();
  if (main == CFRunLoopGetCurrent()) return currentRunLoop();
  Loops& l = TheLoops();
  std::lock_guard<std::mutex> lock(l.mLock);
  auto it = l.mByRef.find(main);
  if (it != l.mByRef.end()) return it->second;
  NSRunLoop* loop = new NSRunLoop(main);
  loop->makeImmortal();
  l.mByRef.emplace(main, loop);
  return loop;
}

void NSRunLoop::addTimer(NSTimer* timer, NSString* mode)
{
  if (!timer || !mode) return;
  bool owned = false;
  CFStringRef cf = ModeFor(mode, &owned);
  timer->addToLoop(mLoop, cf);
  if (owned && cf) CFRelease(cf);
}

void NSRunLoop::addTimer(NSTimer* timer, CFStringRef mode)
{
  if (timer && mode) timer->addToLoop(mLoop, mode);
}

void NSRunLoop::runUntilDate(NSDate* limitDate)
{
  if (!limitDate || mLoop != CFRunLoopGetCurrent()) return;
  const CFAbsoluteTime limit = limitDate->timeIntervalSinceReferenceDate();  // the run may free the date
  for (;;)
  {
    const CFTimeInterval left = limit - CFAbsoluteTimeGetCurrent();
    if (!(left > 0)) return;
    const CFRunLoopRunResult r = CFRunLoopRunInMode(kCFRunLoopDefaultMode, left, false);
    if (r == kCFRunLoopRunFinished || r == kCFRunLoopRunStopped) return;
  }
}

BOOL NSRunLoop::runMode(NSString* mode, NSDate* limitDate)
{
  if (!mode || mLoop != CFRunLoopGetCurrent()) return NO;
  const CFTimeInterval left =
    limitDate ? limitDate->timeIntervalSinceReferenceDate() - CFAbsoluteTimeGetCurrent() : 0;
  bool owned = false;
  CFStringRef cf = ModeFor(mode, &owned);
  const CFRunLoopRunResult r = CFRunLoopRunInMode(cf, left > 0 ? left : 0, true);
  if (owned && cf) CFRelease(cf);
  return r != kCFRunLoopRunFinished;
}

void FoundationTestKit::RunFor(double seconds)
{
  KVFoundation::InstallRunLoopPass();
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, seconds, false);
}
