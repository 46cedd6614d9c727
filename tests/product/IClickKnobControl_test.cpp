// The Release knob's double-click: "Auto Release" steps Off, Slow, Fast, Zorl and back, the host
// hears each step as an edit of its own, and the Release value is sent again, in a pair of its own.

#include "IClickKnobControl.h"
#include "ProductControlsFixture.h"

TEST_F(ProductControlsTest, DoubleClicksCycleAutoReleaseAndTellTheHost)
{
  std::unique_ptr<PIX_MemBitmap> strip(MakeTestStrip(10, 10, 150));
  IBitmap bm(strip.get(), 10, 1500, 150);
  IClickKnobControl* knob = new IClickKnobControl(&mPlug, 0, 0, 5, &bm);
  mGraphics->AttachControl(knob);
  Attach();
  const double release = knob->GetValue();
  const double expected[] = { 1, 2, 3, 0 };
  for (double v : expected)
  {
    mPlug.mLog.clear();
    mGraphics->OnMouseDblClick(5, 5, &mNoMod);
    EXPECT_EQ(mPlug.GetParam(15)->Value(), v);
    char inform[32];
    snprintf(inform, sizeof(inform), "inform 15 %g", mPlug.GetParam(15)->GetNormalized());
    ASSERT_GE(mPlug.mLog.size(), 8u);
    EXPECT_EQ(mPlug.mLog[0], "begin 15");
    EXPECT_EQ(mPlug.mLog[1], inform);
    EXPECT_EQ(mPlug.mLog[2], "end 15");
    // The Release value is sent again, as an edit of its own the host can record.
    EXPECT_EQ(mPlug.mLog[3], "begin 5");
    EXPECT_EQ(mPlug.mLog[4].rfind("inform 5 ", 0), 0u) << "the Release value is sent again: " << mPlug.mLog[4];
    EXPECT_EQ(mPlug.mLog[5], "change 5");
    EXPECT_EQ(mPlug.mLog[6], "end 5");
    EXPECT_EQ(mPlug.mLog.back(), "change 15");
    EXPECT_EQ(knob->GetValue(), release) << "a double-click does not reset the knob";
  }
}

TEST_F(ProductControlsTest, AnAutoReleaseOutsideItsStepsIsLeftAlone)
{
  std::unique_ptr<PIX_MemBitmap> strip(MakeTestStrip(10, 10, 150));
  IBitmap bm(strip.get(), 10, 1500, 150);
  mPlug.GetParam(15)->InitDouble("Auto Release", 7.0, 0.0, 10.0, 1.0);
  IClickKnobControl* knob = new IClickKnobControl(&mPlug, 0, 0, 5, &bm);
  mGraphics->AttachControl(knob);
  Attach();
  mGraphics->OnMouseDblClick(5, 5, &mNoMod);
  EXPECT_EQ(mPlug.GetParam(15)->Value(), 7.0);
  for (const std::string& s : mPlug.mLog) EXPECT_NE(s, "begin 15");
}
