#pragma once
// What the Foundation sources share with each other and with AppKit, beyond the public interface:
// the thread's implicit autorelease pool and the observer that ends each pass of a run loop.

namespace KVFoundation
{
// Releases what the current thread's implicit pool holds (and what that release autoreleases).
void DrainImplicitPool();
// The same for what came into the implicit pool after its first `keep` objects.
void DrainImplicitPoolTo(long keep);
long ImplicitPoolCount();
// Objects waiting in the current thread's pools, the implicit one included.
long PendingAutoreleaseCount();

// Called on the running thread at the end of each run-loop pass, before the implicit pool drains
// (AppKit displays the thread's windows there).
typedef void (*RunLoopPassHook)(void);
void SetRunLoopPassHook(RunLoopPassHook hook);
// Adds the pass observer to the current thread's run loop, once a thread.
void InstallRunLoopPass();
}  // namespace KVFoundation
