#pragma once
// What tests see of the Foundation subset. Each module that links it has its own copy.

#include <Foundation/Foundation.h>

namespace FoundationTestKit
{
// Objects alive and counted (see NSObject.h).
long LiveObjectCount();
// Releases what the current thread's implicit pool holds.
void DrainImplicitPool();
// Objects waiting in the current thread's pools (the implicit one included).
long PendingAutoreleaseCount();
// Runs the current thread's run loop in the default mode for that long (virtual clock: at once).
void RunFor(double seconds);
}  // namespace FoundationTestKit
