// The editor on screen while the host and the audio thread change what it shows: a host thread
// sets parameters, an audio thread sets meter values, and the main thread runs the repaint timer
// and paints the window.

#include <atomic>
#include <thread>

#include "IGraphicsCocoa.h"
#include "MacSurfaceFixture.h"

TEST_F(MacSurfaceTest, HostAndAudioThreadsChangeControlsWhileTheMainThreadPaints)
{
  AddSpy(IRECT(0, 0, 800, 400), -1, "bg", COLOR_GRAY);
  AddSpy(IRECT(10, 10, 60, 60), 0, "gain");
  AddSpy(IRECT(70, 10, 120, 60), 1, "count");
  const int meter = mGraphics->NControls();
  AddSpy(IRECT(200, 10, 220, 200), -1, "meter", COLOR_GREEN);
  Attach();
  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  mGraphics->OpenWindow(window->contentView());

  std::atomic<bool> stop{false};
  std::thread host([&] {
    for (int i = 0; !stop.load(); ++i) mGraphics->SetParameterFromPlug(i % 2, (i % 100) / 100.0, true);
  });
  std::thread audio([&] {
    for (int i = 0; !stop.load(); ++i) mGraphics->SetControlFromPlug(meter, (i % 50) / 50.0);
  });
  for (int tick = 0; tick < 300; ++tick) FoundationTestKit::RunFor(1.0 / 30.0);
  stop.store(true);
  host.join();
  audio.join();

  // Once the threads are quiet, two ticks bring the window up to date.
  FoundationTestKit::RunFor(2.0 / 30.0);
  IRECT r;
  EXPECT_FALSE(mGraphics->IsDirty(&r));
  mGraphics->CloseWindow();
  window->release();
}
