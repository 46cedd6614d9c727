// Readouts and the Mode knob take values from the host's thread while the editor draws them: every
// paint shows one whole number, and ThreadSanitizer sees no race.

#include <atomic>
#include <thread>

#include "IDetentKnob.h"
#include "IOdometerControl.h"
#include "ProductControlsFixture.h"

TEST_F(ProductControlsTest, HostValuesWhileTheEditorDraws)
{
  IBitmap strip(nullptr, 6, 100, 10);
  IOdometerControl* readout = new IOdometerControl(&mPlug, 0, 0, 4, 2, &strip);
  mGraphics->AttachControl(readout);
  std::unique_ptr<PIX_MemBitmap> knobStrip(MakeTestStrip(20, 20, 145));
  IBitmap knobBm(knobStrip.get(), 20, 20 * 145, 145);
  IDetentKnob* knob = new IDetentKnob(&mPlug, 50, 0, 9, &knobBm, 5);
  mGraphics->AttachControl(knob);
  Attach();

  std::atomic<bool> stop{false};
  std::thread host([&] {
    for (int i = 0; !stop.load(); ++i)
    {
      readout->SetValueFromPlug(i % 2 ? 11.11 : 88.88);
      knob->SetValueFromPlug((i % 5) * 0.25);
    }
  });
  int mixed = 0;
  for (int pass = 0; pass < 2000; ++pass)
  {
    IRECT all(0, 0, 200, 100);
    mGraphics->Draw(&all);
    // Read as the drawing does: the four digits of one number, never of two.
    int frames[4];
    readout->DigitFrames(frames);
    for (int i = 1; i < 4; ++i) mixed += frames[i] != frames[0];
    mGraphics->OnMouseDown(55, 5, &mNoMod);
    mGraphics->OnMouseDrag(55, 2, &mNoMod);
    mGraphics->OnMouseUp(55, 2, &mNoMod);
  }
  stop.store(true);
  host.join();
  EXPECT_EQ(mixed, 0);
}
