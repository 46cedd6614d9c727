// Readouts and the Mode knob take values from the host's thread while the editor draws them: every
// paint shows one whole number, and ThreadSanitizer sees no race. The Release knob's double-click
// steps "Auto Release" while the host automates it.

#include <atomic>
#include <thread>

#include "IClickKnobControl.h"
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

namespace
{
// The fake without its lock-count probe, which reads the mutex's count outside the mutex: here a
// second thread takes the mutex.
class AutomatedPlug : public FakePlug
{
public:
  using FakePlug::FakePlug;
  void OnParamChange(int idx) override { IFxBase::OnParamChange(idx); }
};
}  // namespace

// The host sets "Auto Release" under the plug-in's mutex, as the wrappers do, while the user
// double-clicks the Release knob: the step reads the value it steps under that mutex too.
TEST(ProductControlsConcurrency, DoubleClicksWhileTheHostAutomatesAutoRelease)
{
  FakePlugConfig config;
  config.nParams = 16;
  AutomatedPlug plug(config);
  for (int i = 0; i < 16; ++i) plug.GetParam(i)->InitDouble("p", 0.0, 0.0, 1.0, 0.001);
  IParam* pAuto = plug.GetParam(IClickKnobControl::kAutoReleaseParam);
  pAuto->InitEnum("Auto Release", 0, 4);
  TestGraphics* graphics = new TestGraphics(&plug, 20, 20);
  std::unique_ptr<PIX_MemBitmap> strip(MakeTestStrip(10, 10, 150));
  IBitmap bm(strip.get(), 10, 1500, 150);
  graphics->AttachControl(new IClickKnobControl(&plug, 0, 0, 5, &bm));
  plug.AttachGraphics(graphics);
  IMouseMod noMod(true);

  std::atomic<bool> stop{false};
  std::thread host([&] {
    for (int i = 0; !stop.load(); ++i)
    {
      KIT_MutexScope lock(plug.GetMutex());
      pAuto->Set(i % 4);
    }
  });
  for (int i = 0; i < 20000; ++i)
  {
    graphics->OnMouseDblClick(5, 5, &noMod);
    graphics->OnMouseUp(5, 5, &noMod);
    plug.mLog.clear();
  }
  stop.store(true);
  host.join();
  const double v = pAuto->Value();
  EXPECT_TRUE(v == 0.0 || v == 1.0 || v == 2.0 || v == 3.0) << v;
}
