#pragma once
// Small helpers shared by the signal-path tests.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

// Agreement to a few units in the last place, relative to the size of the expected value.
#define EXPECT_CLOSE(actual, expected) \
  EXPECT_NEAR((actual), (expected), 1e-12 * std::fmax(1.0, std::fabs((double)(expected))))

inline bool IsSubnormal(double x)
{
  return x != 0.0 && std::fabs(x) < DBL_MIN;
}

inline uint64_t Bits(double x)
{
  uint64_t b;
  memcpy(&b, &x, sizeof b);
  return b;
}
