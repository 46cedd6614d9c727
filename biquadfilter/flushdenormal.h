#pragma once
// Subnormal flushing for the signal path. Silence decays through every recursive state towards
// zero; without flushing it would spend its time in slow subnormal arithmetic.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

// The per-sample steps go inline into the loops: a call would spill every live value.
#define KV_HOT_INLINE inline __attribute__((always_inline))

// Marks the rarely taken side of a branch: the empty statement may not run speculatively, so the
// compiler keeps the branch instead of turning it into a select.
#define KV_RARELY_TAKEN() __asm__ volatile("")

// A double whose exponent bits are all zero (a zero or a subnormal) becomes +0.0; everything else,
// NaN and infinities included, passes unchanged.
// Written as rarely taken branches rather than selects: a recursive state's next value then does
// not wait for the test.
KV_HOT_INLINE double FlushDenormal(double x)
{
  if (__builtin_expect(std::fabs(x) < DBL_MIN, 0))
  {
    KV_RARELY_TAKEN();
    return 0.0;
  }
  return x;
}

// For a recursive state: flushed as above, and a state that is no longer finite (a NaN or an
// infinity that came in with the input) returns to the given rest value, so that one bad sample
// does not poison the state until the next reset.
// The common case, a normal finite value, is one integer test on the bits without the sign: an
// exponent field neither all zeros nor all ones.
KV_HOT_INLINE double FlushState(double x, double rest)
{
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  if (__builtin_expect((bits << 1) - 0x0020000000000000ull < 0xFFC0000000000000ull, 1))
  {
    // The state stays in a floating-point register: left to itself the compiler may keep it in
    // the integer register of the test, and the recursion then pays two moves per step.
    __asm__("" : "+x"(x));
    return x;
  }
  KV_RARELY_TAKEN();
  return std::fabs(x) < DBL_MIN ? 0.0 : rest;
}
