// The clock every run loop and timer of this copy reads: virtual unless a test or host asks for
// the machine's monotonic clock.

#include <chrono>

#include "CFRunLoopInternal.h"
#include "testkit.h"

namespace
{
constexpr CFAbsoluteTime kVirtualStart = 1000.0;

std::atomic<bool> sRealClock{false};
std::atomic<CFAbsoluteTime> sVirtualNow{kVirtualStart};

CFAbsoluteTime MonotonicNow()
{
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
}  // namespace

namespace CFClock
{
bool IsReal()
{
  return sRealClock.load(std::memory_order_relaxed);
}

CFAbsoluteTime Now()
{
  return IsReal() ? MonotonicNow() : sVirtualNow.load(std::memory_order_acquire);
}

void AdvanceTo(CFAbsoluteTime t)
{
  if (IsReal()) return;
  CFAbsoluteTime now = sVirtualNow.load(std::memory_order_acquire);
  while (now < t && !sVirtualNow.compare_exchange_weak(now, t, std::memory_order_acq_rel)) {}
}

std::chrono::steady_clock::time_point Deadline(CFAbsoluteTime t)
{
  using namespace std::chrono;
  // Far dates are clamped so the conversion cannot overflow.
  const double limit = 1e9;
  return steady_clock::time_point(duration_cast<steady_clock::duration>(duration<double>(t < limit ? t : limit)));
}
}  // namespace CFClock

CFAbsoluteTime CFAbsoluteTimeGetCurrent(void)
{
  return CFClock::Now();
}

void CFRunLoopSetRealClock(Boolean real)
{
  sRealClock.store(real != 0, std::memory_order_relaxed);
}

void CFTestUseRealClock(Boolean useRealClock)
{
  CFRunLoopSetRealClock(useRealClock);
}

void CFTestSetClock(CFAbsoluteTime t)
{
  sVirtualNow.store(t, std::memory_order_release);
}
