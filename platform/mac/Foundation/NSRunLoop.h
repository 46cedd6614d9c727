#pragma once
// Run loops over CoreFoundation's: one per thread, immortal. Each pass of a run in the default
// mode lets AppKit display the windows that need it and drains the thread's implicit autorelease
// pool (an observer of the loop, added when the thread asks for its run loop or makes its first
// window). A run nested inside another drains only what was autoreleased since it began, so the
// code that started it keeps what it autoreleased before; the outermost run drains everything.

#include <CoreFoundation/CFRunLoop.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSString.h>
#include <Foundation/NSTimer.h>

// The modes, as strings equal to CoreFoundation's.
extern NSString* const NSDefaultRunLoopMode;
extern NSString* const NSRunLoopCommonModes;

class NSRunLoop : public NSObject
{
public:
  static NSRunLoop* currentRunLoop();
  static NSRunLoop* mainRunLoop();

  void addTimer(NSTimer* timer, NSString* mode);
  // Toll-free: a CoreFoundation mode name (kCFRunLoopCommonModes) serves as well.
  void addTimer(NSTimer* timer, CFStringRef mode);
  // Runs the loop in the default mode until the date (a virtual clock jumps there at once).
  void runUntilDate(NSDate* limitDate);
  // One run in the mode until the date or the first timer fired; NO when the mode has nothing to run.
  BOOL runMode(NSString* mode, NSDate* limitDate);
  CFRunLoopRef getCFRunLoop() const { return mLoop; }
  const char* className() const override { return "NSRunLoop"; }

private:
  explicit NSRunLoop(CFRunLoopRef loop) : mLoop(loop) {}
  CFRunLoopRef mLoop;
};
