// The subnormal flush and the state flush on the values that matter: zeros of both signs,
// subnormals, the ends of the normal range, infinities and NaN.

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <cstring>
#include <limits>

#include "flushdenormal.h"

namespace
{
uint64_t Bits(double d)
{
  uint64_t b;
  std::memcpy(&b, &d, sizeof b);
  return b;
}
}  // namespace

TEST(FlushDenormal, ZerosAndSubnormalsBecomePlusZeroTheRestPassesOrRests)
{
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const double rest = 0.25;
  struct Case
  {
    double x, flushed, state;  // FlushDenormal(x), FlushState(x, rest)
  };
  const Case cases[] = {
    { 0.0, 0.0, 0.0 },          { -0.0, 0.0, 0.0 },         { 4e-320, 0.0, 0.0 },
    { -DBL_TRUE_MIN, 0.0, 0.0 }, { DBL_MIN * 0.5, 0.0, 0.0 }, { DBL_MIN, DBL_MIN, DBL_MIN },
    { -DBL_MIN, -DBL_MIN, -DBL_MIN }, { 1.0, 1.0, 1.0 },    { -3.5, -3.5, -3.5 },
    { DBL_MAX, DBL_MAX, DBL_MAX }, { -DBL_MAX, -DBL_MAX, -DBL_MAX }, { inf, inf, rest },
    { -inf, -inf, rest },       { nan, nan, rest },
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(Bits(FlushDenormal(c.x)), Bits(c.flushed));
    EXPECT_EQ(Bits(FlushState(c.x, rest)), Bits(c.state));
  }
}
