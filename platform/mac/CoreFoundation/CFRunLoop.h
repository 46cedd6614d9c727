#pragma once
// Run loops and their timers and observers. Each thread has its own run loop, made on first use;
// the main run loop is the one of the process's main thread. A run loop does nothing by itself:
// timers fire, and observers are told, only while a thread runs its loop (CFRunLoopRunInMode).
//
// The clock. By default it is virtual: it starts at a fixed time and moves only while a run loop
// runs, jumping to each timer's fire date in turn, so tests decide how much time passes and every
// run is deterministic. CFTestUseRealClock (CoreFoundation/testkit.h) switches this copy of the
// subset to the machine's monotonic clock, for hosts that turn the loop from their own idle calls.

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFDate.h>
#include <CoreFoundation/CFString.h>

typedef struct __CFRunLoop* CFRunLoopRef;
typedef struct __CFRunLoopTimer* CFRunLoopTimerRef;
typedef struct __CFRunLoopObserver* CFRunLoopObserverRef;

// Modes. A timer or observer added for the common modes takes part in every run in a common mode:
// the default mode, and each mode added to the loop's common modes (AppKit adds its event-tracking
// mode to the main loop's).
extern const CFStringRef kCFRunLoopDefaultMode;
extern const CFStringRef kCFRunLoopCommonModes;

typedef enum : SInt32
{
  kCFRunLoopRunFinished = 1,       // the mode has no timer and no observer
  kCFRunLoopRunStopped = 2,        // CFRunLoopStop was called
  kCFRunLoopRunTimedOut = 3,       // the time given has passed
  kCFRunLoopRunHandledSource = 4   // returnAfterSourceHandled and a timer fired
} CFRunLoopRunResult;

typedef enum : CFOptionFlags
{
  kCFRunLoopEntry = 1u << 0,
  kCFRunLoopBeforeTimers = 1u << 1,
  kCFRunLoopBeforeSources = 1u << 2,
  kCFRunLoopBeforeWaiting = 1u << 5,
  kCFRunLoopAfterWaiting = 1u << 6,
  kCFRunLoopExit = 1u << 7,
  kCFRunLoopAllActivities = 0x0FFFFFFFu
} CFRunLoopActivity;

CFTypeID CFRunLoopGetTypeID(void);
// The stand-in's own: this copy's clock from now on is the machine's monotonic clock (true) or the
// virtual one (false). A host that turns the loop from its own idle calls needs the real one.
void CFRunLoopSetRealClock(Boolean real);
// Neither hands over a reference; a run loop lives as long as its thread (the main one for ever).
CFRunLoopRef CFRunLoopGetCurrent(void);
CFRunLoopRef CFRunLoopGetMain(void);

// Runs the current thread's loop in the mode for `seconds` (0: one pass over what is due now).
// Each pass: the kCFRunLoopBeforeTimers observers, then every timer due at the current time in
// fire-date order (ties in the order they were added), then the kCFRunLoopBeforeWaiting
// observers; then the clock moves to the next fire date or to the end of the run, whichever comes
// first. A run covers [start, end): a timer due exactly at the end fires in the next run. The kCFRunLoopEntry and kCFRunLoopExit observers are told once around the whole run.
// With the virtual clock the time passes at once; with the real clock the thread sleeps.
// A run inside a callout of the same loop (a nested run) is allowed.
CFRunLoopRunResult CFRunLoopRunInMode(CFStringRef mode, CFTimeInterval seconds, Boolean returnAfterSourceHandled);
// Makes the run in progress on that loop return after the current pass.
void CFRunLoopStop(CFRunLoopRef rl);
CFStringRef CFRunLoopCopyCurrentMode(CFRunLoopRef rl);
// Makes the mode one of the loop's common modes, for good: what was added for the common modes
// takes part in its runs from now on. The common-modes token itself is not a mode and is ignored.
void CFRunLoopAddCommonMode(CFRunLoopRef rl, CFStringRef mode);

// ----- Timers
typedef void (*CFRunLoopTimerCallBack)(CFRunLoopTimerRef timer, void* info);
typedef struct
{
  CFIndex version;  // 0
  void* info;
  const void* (*retain)(const void* info);  // called once when the timer is created, when given
  void (*release)(const void* info);        // called once when the timer is invalidated or freed
  CFStringRef (*copyDescription)(const void* info);
} CFRunLoopTimerContext;

// A timer that first fires at fireDate and then every `interval` seconds (0 or less: once). A
// repeating timer that falls behind skips the fire dates that have passed rather than firing for
// each. Null for a null callout or a non-finite date or interval.
CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef alloc, CFAbsoluteTime fireDate, CFTimeInterval interval,
                                       CFOptionFlags flags, CFIndex order, CFRunLoopTimerCallBack callout,
                                       CFRunLoopTimerContext* context);
// The loop retains the timer while it is added (in any mode). Adding it twice does nothing more.
void CFRunLoopAddTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFStringRef mode);
void CFRunLoopRemoveTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFStringRef mode);
Boolean CFRunLoopContainsTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFStringRef mode);
// Stops the timer for good: it leaves every loop (which drops its references) and its info is
// released. Safe from the timer's own callout and on an invalidated timer.
void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer);
Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer);
CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer);
void CFRunLoopTimerSetNextFireDate(CFRunLoopTimerRef timer, CFAbsoluteTime fireDate);
CFTimeInterval CFRunLoopTimerGetInterval(CFRunLoopTimerRef timer);
Boolean CFRunLoopTimerDoesRepeat(CFRunLoopTimerRef timer);
// The context's info.
void CFRunLoopTimerGetContext(CFRunLoopTimerRef timer, CFRunLoopTimerContext* context);

// ----- Observers
typedef void (*CFRunLoopObserverCallBack)(CFRunLoopObserverRef observer, CFRunLoopActivity activity, void* info);
typedef struct
{
  CFIndex version;  // 0
  void* info;
  const void* (*retain)(const void* info);
  void (*release)(const void* info);
  CFStringRef (*copyDescription)(const void* info);
} CFRunLoopObserverContext;

// Told of the activities in `activities` (a mask of CFRunLoopActivity); observers with a lower
// order are told first. A non-repeating observer is invalidated after it was told once.
CFRunLoopObserverRef CFRunLoopObserverCreate(CFAllocatorRef alloc, CFOptionFlags activities, Boolean repeats,
                                             CFIndex order, CFRunLoopObserverCallBack callout,
                                             CFRunLoopObserverContext* context);
void CFRunLoopAddObserver(CFRunLoopRef rl, CFRunLoopObserverRef observer, CFStringRef mode);
void CFRunLoopRemoveObserver(CFRunLoopRef rl, CFRunLoopObserverRef observer, CFStringRef mode);
void CFRunLoopObserverInvalidate(CFRunLoopObserverRef observer);
Boolean CFRunLoopObserverIsValid(CFRunLoopObserverRef observer);
