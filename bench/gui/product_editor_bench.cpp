// The product's own editor (the VST build, its images from the built bundle) in a memory-backed
// window:
//   full redraw      every control drawn and copied to the window           goal < 1 ms
//   meter tick       three meters and two readouts change, one tick paints   goal < 0.2 ms
//   first instance   a plug-in made with an empty image cache (17 images)    goal < 20 ms
//   second instance  a plug-in made with the images cached                   goal < 50 us (of editor work)

#include <benchmark/benchmark.h>

#include <AppKit/testkit.h>
#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/testkit.h>

#include "BundleFolder.h"
#include "IControl.h"
#include "IGraphicsCocoa.h"
#include "IGraphicsMac.h"
#include "Kestrovane.h"

namespace
{
VstIntPtr NoHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float)
{
  return 0;
}

void RegisterBundle()
{
  static const bool done = RegisterBundleFolder(KV_KESTROVANE_VST_BUNDLE);
  (void)done;
}

Kestrovane* MakePlug()
{
  RegisterBundle();
  IFxInstanceInfo info;
  info.mVSTHostCallback = NoHost;
  return new Kestrovane(info);
}

struct OpenEditor
{
  OpenEditor() : mPlug(MakePlug()), mGraphics(static_cast<IGraphicsMac*>(mPlug->GetGUI()))
  {
    mWindow = AppKitTestKit::NewWindow(800, 400);
    if (!mGraphics) return;
    mView = static_cast<IGraphicsCocoa_v1002*>((id)mGraphics->OpenWindow(mWindow->contentView()));
    for (int pass = 0; pass < 2; ++pass)
    {
      mView->setNeedsDisplay(YES);
      mWindow->display();
    }
  }
  ~OpenEditor()
  {
    delete mPlug;
    mWindow->release();
    FoundationTestKit::DrainImplicitPool();
  }

  Kestrovane* mPlug;
  IGraphicsMac* mGraphics;
  NSWindow* mWindow;
  IGraphicsCocoa_v1002* mView = nil;
};

void BM_FullRedraw(benchmark::State& state)
{
  OpenEditor e;
  if (!e.mGraphics) return state.SkipWithError("no editor: the bundle's images are missing");
  for (auto _ : state)
  {
    e.mGraphics->SetAllControlsDirty();
    e.mView->setNeedsDisplay(YES);
    e.mWindow->display();
  }
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

void BM_MeterTick(benchmark::State& state)
{
  OpenEditor e;
  if (!e.mGraphics) return state.SkipWithError("no editor: the bundle's images are missing");
  int i = 0;
  for (auto _ : state)
  {
    const double v = (i++ % 100) / 100.0;
    for (int m = 0; m < Kestrovane::kNumMeters; ++m) e.mPlug->GetMeterControl((Kestrovane::EMeter)m)->SetValueFromPlug(v);
    e.mPlug->GetParam(Kestrovane::kThreshold)->Set(-60.0 * v);
    e.mPlug->OnParamChange(Kestrovane::kThreshold);
    e.mPlug->GetParam(Kestrovane::kRatio)->Set(1.0 + 10.0 * v);
    e.mPlug->OnParamChange(Kestrovane::kRatio);
    e.mView->onTimer(e.mView->mTimer);
    e.mWindow->display();
  }
}
BENCHMARK(BM_MeterTick)->Unit(benchmark::kMicrosecond);

void BM_FirstInstance(benchmark::State& state)
{
  for (auto _ : state)
  {
    IGraphicsPix::FreeBitmapCache();
    delete MakePlug();
  }
}
BENCHMARK(BM_FirstInstance)->Unit(benchmark::kMillisecond);

// A plug-in without an editor costs the same but the editor: the difference is the editor's.
void BM_SecondInstance(benchmark::State& state)
{
  delete MakePlug();  // the images are cached from here on
  for (auto _ : state) delete MakePlug();
}
BENCHMARK(BM_SecondInstance)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
