#pragma once
// The KestrovaneVST bundle as a Linux host drives its editor: loaded with dlopen, its editor
// opened into an X11 window of a virtual server the test starts, editor-idle called from the
// test's thread, input sent through the server.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "FakeVstHost.h"
#include "Kestrovane.h"
#include "VstModule.h"
#include "XTestDisplay.h"

class KestrovaneX11Test : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(mX.Ready()) << "no virtual X server";
    ASSERT_TRUE(mModule.Loaded()) << mModule.Error();
    mEffect = mModule.Create(FakeVstHost::Callback);
    ASSERT_NE(mEffect, nullptr);
    mHost.Adopt(mEffect);
    Dispatch(mEffect, effOpen);
    mWindow = mX.NewWindow(800, 400);
  }

  // Host idle calls at 30 Hz on the real clock.
  void Idle(int calls, int ms = 34)
  {
    for (int i = 0; i < calls; ++i)
    {
      Dispatch(mEffect, effEditIdle);
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
  }

  bool Open()
  {
    return Dispatch(mEffect, effEditOpen, 0, 0, (void*)(uintptr_t)mWindow) == 1;
  }

  // A press at (x, y) of the editor, a drag of dy pixels upwards in steps with idle calls between,
  // and the release.
  void Drag(int x, int y, int dy)
  {
    mX.MoveTo(x, y);
    mX.Press(1);
    Idle(1);
    const int step = dy > 0 ? 3 : -3;
    for (int moved = step; std::abs(moved) <= std::abs(dy); moved += step)
    {
      mX.MoveTo(x, y - moved);
      Idle(1, 5);
    }
    mX.Release(1);
    Idle(2);
  }

  std::vector<std::string> EditsOf(int idx) const { return mHost.EditsOf(idx); }

  XTestDisplay mX;
  FakeVstHost mHost;
  VstModule mModule{ KV_KESTROVANE_VST };
  AEffect* mEffect = nullptr;
  xcb_window_t mWindow = 0;
};
