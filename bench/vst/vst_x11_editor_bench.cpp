// The product's editor on an X server (a virtual one the benchmark starts), the VST build in
// process with the built bundle's images:
//   idle call        editor-idle with the editor open and nothing changing      goal < 5 us
//   full repaint     every control drawn and the whole 800 x 400 copied to X    goal < 1 ms
//   moving meters    one 30 Hz tick with the meters changing, as a share of one core: goal < 1 %

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include <AppKit/AppKit.h>

#include "BundleFolder.h"
#include "IControl.h"
#include "IGraphicsCocoa.h"
#include "IGraphicsMac.h"
#include "Kestrovane.h"
#include "XTestDisplay.h"

namespace
{
VstIntPtr NoHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float)
{
  return 0;
}

struct X11Editor
{
  X11Editor()
  {
    RegisterBundleFolder(KV_KESTROVANE_VST_BUNDLE);
    IFxInstanceInfo info;
    info.mVSTHostCallback = NoHost;
    mPlug = new Kestrovane(info);
    mEffect = mPlug->GetAEffect();
    mGraphics = static_cast<IGraphicsMac*>(mPlug->GetGUI());
    if (!mX.Ready() || !mGraphics) return;
    const xcb_window_t parent = mX.NewWindow(800, 400);
    mOpen = mEffect->dispatcher(mEffect, effEditOpen, 0, 0, (void*)(uintptr_t)parent, 0.0f) == 1;
    for (int i = 0; i < 10; ++i) Idle(), std::this_thread::sleep_for(std::chrono::milliseconds(34));
  }
  ~X11Editor()
  {
    mEffect->dispatcher(mEffect, effEditClose, 0, 0, nullptr, 0.0f);
    mEffect->dispatcher(mEffect, effClose, 0, 0, nullptr, 0.0f);
  }
  void Idle() { mEffect->dispatcher(mEffect, effEditIdle, 0, 0, nullptr, 0.0f); }

  XTestDisplay mX;
  Kestrovane* mPlug;
  AEffect* mEffect;
  IGraphicsMac* mGraphics;
  bool mOpen = false;
};

void BM_IdleNothingChanging(benchmark::State& state)
{
  X11Editor e;
  if (!e.mOpen) return state.SkipWithError("no X server or no editor");
  for (auto _ : state) e.Idle();
}
BENCHMARK(BM_IdleNothingChanging);

void BM_FullRepaintToX(benchmark::State& state)
{
  X11Editor e;
  if (!e.mOpen) return state.SkipWithError("no X server or no editor");
  NSView* view = static_cast<NSView*>((id)e.mGraphics->GetWindow());
  for (auto _ : state)
  {
    e.mGraphics->SetAllControlsDirty();
    view->setNeedsDisplay(YES);
    e.Idle();
    e.mX.Sync();  // the server has the pixels
  }
}
BENCHMARK(BM_FullRepaintToX)->Unit(benchmark::kMicrosecond);

void BM_MovingMetersTick(benchmark::State& state)
{
  X11Editor e;
  if (!e.mOpen) return state.SkipWithError("no X server or no editor");
  int i = 0;
  double busy = 0.0;
  for (auto _ : state)
  {
    const double v = (i++ % 50) / 50.0;
    for (int m = 0; m < Kestrovane::kNumMeters; ++m) e.mPlug->GetMeterControl((Kestrovane::EMeter)m)->SetValueFromPlug(v);
    std::this_thread::sleep_for(std::chrono::milliseconds(34));  // the host's 30 Hz, not counted
    const auto t0 = std::chrono::steady_clock::now();
    e.Idle();
    const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    busy += t;
    state.SetIterationTime(t);
  }
  state.counters["core_percent_at_30Hz"] = 100.0 * 30.0 * busy / (double)state.iterations();
}
BENCHMARK(BM_MovingMetersTick)->UseManualTime()->Iterations(60)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
