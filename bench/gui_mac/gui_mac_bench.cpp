// The Mac editor surface's costs on an 800 x 400 editor in a memory-backed window:
//   idle tick      the Cocoa view's timer with nothing dirty                     goal < 1 us
//   full repaint   display of the whole view: Draw and the screen copy            goal < 1 ms
//   two lines      two 12-pixel text lines of 30 characters into the back buffer  goal < 50 us

#include <benchmark/benchmark.h>

#include <AppKit/testkit.h>
#include <Cocoa/Cocoa.h>
#include <Foundation/testkit.h>

#include "FakePlug.h"
#include "IControls.h"
#include "IGraphicsCocoa.h"
#include "IGraphicsMac.h"
#include "MacTestBundle.h"

namespace
{
struct Editor
{
  Editor()
  {
    TestEditorBundlePath();
    InitFakeParams(&mPlug);
    mGraphics = new IGraphicsMac(&mPlug, 800, 400, 30);
    mGraphics->SetBundleID(kTestEditorBundleID);
    mGraphics->AttachBackground(1, "bg.png");
    IBitmap knob = mGraphics->LoadIBitmap(2, "knob.jpg");
    for (int i = 0; i < 30; ++i)
      mGraphics->AttachControl(new IBitmapControl(&mPlug, 20 + 25 * i, 100 + (i % 5) * 40, i % 4, &knob));
    mPlug.AttachGraphics(mGraphics);
    mWindow = AppKitTestKit::NewWindow(800, 400);
    mView = static_cast<IGraphicsCocoa_v1002*>((id)mGraphics->OpenWindow(mWindow->contentView()));
    // Two passes: values from the plug-in are drawn once more.
    for (int pass = 0; pass < 2; ++pass)
    {
      mView->setNeedsDisplay(YES);
      mWindow->display();
    }
  }
  ~Editor()
  {
    mGraphics->CloseWindow();
    mWindow->release();
    FoundationTestKit::DrainImplicitPool();
  }

  FakePlug mPlug;
  IGraphicsMac* mGraphics;
  NSWindow* mWindow;
  IGraphicsCocoa_v1002* mView;
};

void BM_IdleTick(benchmark::State& state)
{
  Editor e;
  for (auto _ : state) e.mView->onTimer(e.mView->mTimer);
  if (e.mView->needsDisplay()) state.SkipWithError("something was dirty");
}
BENCHMARK(BM_IdleTick);

void BM_FullRepaint(benchmark::State& state)
{
  Editor e;
  for (auto _ : state)
  {
    e.mView->setNeedsDisplay(YES);
    e.mWindow->display();
  }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_TwoTextLines(benchmark::State& state)
{
  Editor e;
  const IColor black = COLOR_BLACK, grey(255, 120, 120, 120);
  IText a(12, &black, DEFAULT_FONT, IText::kStyleNormal, IText::kAlignNear);
  IText b(12, &grey, DEFAULT_FONT, IText::kStyleNormal, IText::kAlignNear);
  IRECT ra(187, 3, 355, 13), rb(187, 4, 355, 14);
  const char* text = "Version 2.00.01 of the editor.";  // 30 characters
  for (auto _ : state)
  {
    e.mGraphics->DrawIText(&a, text, &ra);
    e.mGraphics->DrawIText(&b, text, &rb);
    FoundationTestKit::DrainImplicitPool();
    AppKitTestKit::ClearDrawnTexts();
  }
}
BENCHMARK(BM_TwoTextLines)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
