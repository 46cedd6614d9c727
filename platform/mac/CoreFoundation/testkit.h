#pragma once
// What tests may see and set in the CoreFoundation subset. Each module that links the subset has
// its own copy of these counters and of the bundle registry.

#include <CoreFoundation/CoreFoundation.h>

// Objects created by this copy and not yet freed (constant strings, booleans and bundles with
// what they own are not counted).
long CFTestLiveObjectCount(void);

// Replaces the main bundle's identifier (null removes it), as if the host were another program.
void CFTestSetMainBundleIdentifier(const char* identifier);

// The run loops' clock. Virtual by default: it starts at 1000.0 and moves only while a run loop
// runs. With the real clock this copy reads the machine's monotonic clock and runs sleep.
void CFTestUseRealClock(Boolean useRealClock);
// Sets the virtual clock (the real clock is left alone), forwards or back.
void CFTestSetClock(CFAbsoluteTime t);
