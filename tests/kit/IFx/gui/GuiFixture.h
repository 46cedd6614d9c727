#pragma once
// A plug-in with four parameters (a shaped double, an int, an enum, a bool) and a headless
// editor surface attached to it, as the product sets itself up.

#include <gtest/gtest.h>

#include "FakePlug.h"
#include "IControls.h"
#include "SpyControl.h"
#include "TestGraphics.h"
#include "TestImages.h"

class GuiFixture : public ::testing::Test
{
protected:
  explicit GuiFixture(int w = 64, int h = 48)
  {
    InitFakeParams(&mPlug);
    mGraphics = new TestGraphics(&mPlug, w, h);
  }
  ~GuiFixture() override
  {
    if (mPlug.GetGUI() != mGraphics) delete mGraphics;  // a surface never handed over
  }

  // Hands the surface to the plug-in: every parameter's value reaches its controls, and the back
  // buffer is made. Controls attached before this get their first (default) values.
  void Attach()
  {
    mPlug.AttachGraphics(mGraphics);
    mPlug.mLog.clear();
  }

  SpyControl* AddSpy(const IRECT& r, int paramIdx, const char* name)
  {
    SpyControl* c = new SpyControl(&mPlug, r, paramIdx, &mPlug.mLog, name);
    mGraphics->AttachControl(c);
    return c;
  }

  std::vector<std::string>& Log() { return mPlug.mLog; }

  FakePlug mPlug;
  TestGraphics* mGraphics;  // owned by the plug-in once attached
  IMouseMod mNoMod;
};

inline std::vector<std::string> Strings(std::initializer_list<const char*> l)
{
  return std::vector<std::string>(l.begin(), l.end());
}
