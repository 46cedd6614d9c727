#pragma once
// Time: seconds as doubles. The clock is the run loop's (see CFRunLoop.h): virtual by default, so
// that timers fire only when a run loop runs and tests decide how much time passes.

#include <CoreFoundation/CFBase.h>

typedef double CFTimeInterval;
typedef double CFAbsoluteTime;

// The current time of this copy of the subset's clock.
CFAbsoluteTime CFAbsoluteTimeGetCurrent(void);
