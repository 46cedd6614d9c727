#pragma once
// Timers over CoreFoundation run-loop timers. A timer retains its target and user information
// until it is invalidated (or, not repeating, has fired); a run loop retains the timers added to it
// until they are invalidated. A timer never added to a run loop goes with its last release.

#include <CoreFoundation/CFRunLoop.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSObject.h>

class NSTimer : public NSObject
{
public:
  // Autoreleased and not yet on any run loop; it first fires `seconds` after now, then every
  // `seconds` when it repeats (intervals of 0 or less are taken as 0.1 ms). Each firing sends
  // selector to target with the timer as its argument, inside an autorelease pool of its own.
  static NSTimer* timerWithTimeInterval(NSTimeInterval seconds, id target, SEL selector, id userInfo, BOOL repeats);
  // The same, added to the current run loop in the default mode.
  static NSTimer* scheduledTimerWithTimeInterval(NSTimeInterval seconds, id target, SEL selector, id userInfo,
                                                 BOOL repeats);

  // Stops it for good: it leaves its run loops and releases its target and user information.
  void invalidate();
  BOOL isValid() const;
  // Sends the message now, outside the schedule; a non-repeating timer is then invalidated.
  void fire();
  NSTimeInterval timeInterval() const { return mInterval; }
  id userInfo() const { return mUserInfo; }
  NSDate* fireDate() const;  // autoreleased
  CFRunLoopTimerRef cfTimer() const { return mTimer; }
  const char* className() const override { return "NSTimer"; }

protected:
  ~NSTimer() override;

private:
  friend class NSRunLoop;
  static void Callout(CFRunLoopTimerRef timer, void* info);
  static void ReleaseFromLoops(const void* info);
  // Sends the message inside a pool of its own; a non-repeating timer is then invalidated.
  void sendMessage();
  // Adds the CoreFoundation timer to the loop; the loops hold one reference to this timer until it
  // is invalidated.
  void addToLoop(CFRunLoopRef loop, CFStringRef mode);
  CFRunLoopTimerRef mTimer = nullptr;
  bool mHeldByLoops = false;
  bool mInvalidated = false;
  id mTarget = nil;
  SEL mSelector = nullptr;
  id mUserInfo = nil;
  NSTimeInterval mInterval = 0;
  BOOL mRepeats = NO;
};
