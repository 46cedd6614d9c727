#include "RampedParam.h"

#include <gtest/gtest.h>

TEST(RampedParam, AdditiveRampsStepTowardTheTargetAndLandOnIt)
{
  RampedParam r(0.25, false);
  r.SetUnramped(1.0);
  EXPECT_FALSE(r.Ramp());
  r.SetTarget(2.0);
  int calls = 0;
  while (r.IsRamping())
  {
    EXPECT_TRUE(r.Ramp());
    ++calls;
  }
  EXPECT_EQ(calls, 4);
  EXPECT_EQ(r.Value(), 2.0);
  EXPECT_FALSE(r.Ramp());

  r.SetTarget(1.1);  // falling, overshoot clipped to the target
  for (int i = 0; i < 3; ++i) r.Ramp();
  EXPECT_EQ(r.Value(), 1.25);
  EXPECT_TRUE(r.Ramp());
  EXPECT_EQ(r.Value(), 1.1);
  EXPECT_FALSE(r.IsRamping());

  r.SetTarget(1.1);  // the same target starts nothing
  EXPECT_FALSE(r.IsRamping());
  r.SetTarget(5.0);
  r.Ramp();
  r.EndRamp();
  EXPECT_EQ(r.Value(), 5.0);
  EXPECT_FALSE(r.IsRamping());
}

TEST(RampedParam, MultiplicativeRampsScaleByOnePlusStep)
{
  RampedParam r(0.5, true);
  r.SetUnramped(1.0);
  r.SetTarget(3.0);
  r.Ramp();
  EXPECT_EQ(r.Value(), 1.5);
  r.Ramp();
  EXPECT_EQ(r.Value(), 2.25);
  r.Ramp();
  EXPECT_EQ(r.Value(), 3.0);
  r.SetTarget(1.0);
  r.Ramp();
  EXPECT_DOUBLE_EQ(r.Value(), 2.0);
}
