#pragma once
// A plug-in with the product's sixteen parameters as far as its controls read them ("Release" 5,
// "Mode" 9 with five values, "Auto Release" 15 with four) on a headless surface.

#include <gtest/gtest.h>

#include "FakePlug.h"
#include "TestGraphics.h"
#include "TestImages.h"

class ProductControlsTest : public ::testing::Test
{
protected:
  static FakePlugConfig Config()
  {
    FakePlugConfig c;
    c.nParams = 16;
    return c;
  }

  ProductControlsTest() : mPlug(Config())
  {
    for (int i = 0; i < 16; ++i) mPlug.GetParam(i)->InitDouble("p", 0.0, 0.0, 1.0, 0.001);
    mPlug.GetParam(5)->InitDouble("Release", 200.0, 1.0, 2000.0, 0.1, "mS");
    mPlug.GetParam(5)->SetShape(1.5);
    mPlug.GetParam(9)->InitEnum("Mode", 0, 5);
    mPlug.GetParam(15)->InitEnum("Auto Release", 0, 4);
    mGraphics = new TestGraphics(&mPlug, 200, 100);
  }
  ~ProductControlsTest() override
  {
    if (mPlug.GetGUI() != mGraphics) delete mGraphics;
  }

  void Attach()
  {
    mPlug.AttachGraphics(mGraphics);
    mPlug.mLog.clear();
  }

  FakePlug mPlug;
  TestGraphics* mGraphics;
  IMouseMod mNoMod{ true };
};
