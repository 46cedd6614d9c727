// The Mode knob: the image follows the drag, the detent moves half a step past it, the release
// sends the detent, and a value from the host goes straight to its nearest detent.

#include "IDetentKnob.h"
#include "ProductControlsFixture.h"

class DetentKnobTest : public ProductControlsTest
{
protected:
  DetentKnobTest() : mStrip(MakeTestStrip(70, 70, 145)), mBitmap(mStrip.get(), 70, 70 * 145, 145)
  {
    mKnob = new IDetentKnob(&mPlug, 0, 0, 9, &mBitmap, 5);
    mGraphics->AttachControl(mKnob);
    Attach();
    Paint();  // the first drawing adopts the value
  }

  void Paint()
  {
    IRECT all(0, 0, 200, 100);
    mGraphics->Draw(&all);
  }

  std::unique_ptr<PIX_MemBitmap> mStrip;
  IBitmap mBitmap;
  IDetentKnob* mKnob;
};

TEST_F(DetentKnobTest, DraggingUpFromTheFirstModeSnapsToTheNext)
{
  EXPECT_EQ(mKnob->Step(), 0.25);
  mGraphics->OnMouseDown(35, 35, &mNoMod);
  // 70 pixels high, gearing 4: 280 pixels of drag for the whole range.
  mGraphics->OnMouseDrag(35, 15, &mNoMod);  // 20 pixels: 0.0714
  Paint();
  EXPECT_EQ(mKnob->Detent(), 0.0);
  EXPECT_NEAR(mKnob->DragPosition(), 20.0 / 280.0, 1e-12) << "the image follows the mouse";
  EXPECT_EQ(mKnob->FrameFor(mKnob->DragPosition()), (int)(144 * 20.0 / 280.0 + 0.5) + 1);
  mGraphics->OnMouseDrag(35, -5, &mNoMod);  // 40 pixels: 0.143, past half a step
  Paint();
  EXPECT_EQ(mKnob->Detent(), 0.25);
  EXPECT_EQ(mKnob->DragPosition(), 0.25);
  EXPECT_EQ(mKnob->GetValue(), 0.25);
  mGraphics->OnMouseDrag(35, -10, &mNoMod);  // the drag goes on from there
  Paint();
  EXPECT_EQ(mKnob->Detent(), 0.25);
  EXPECT_GT(mKnob->DragPosition(), 0.25);
  mPlug.mLog.clear();
  mGraphics->OnMouseUp(35, -10, &mNoMod);
  EXPECT_EQ(mKnob->GetValue(), 0.25);
  EXPECT_EQ(mKnob->DragPosition(), 0.25);
  EXPECT_EQ(mPlug.GetParam(9)->Value(), 1.0) << "the release sends the detent: \"II\"";
}

// However many detents apart, one call from the host (a preset, automation) shows its value.
TEST_F(DetentKnobTest, AHostChangeGoesToTheNearestDetentAtOnce)
{
  struct Case
  {
    double value, detent;  // in turn, each from where the one before left the knob
  } cases[] = { { 0.75, 0.75 }, { 0.0, 0.0 }, { 1.0, 1.0 }, { 0.3, 0.25 },
                { 0.62, 0.5 },  { 0.6, 0.5 }, { 0.1, 0.0 } };  // 0.6: within half a step, stays
  for (const Case& c : cases)
  {
    mKnob->SetValueFromPlug(c.value);
    EXPECT_EQ(mKnob->Detent(), c.detent) << c.value;
    EXPECT_EQ(mKnob->GetValue(), c.detent) << c.value;
    Paint();
    EXPECT_EQ(mKnob->FrameFor(mKnob->DragPosition()), (int)(144 * c.detent + 0.5) + 1) << c.value;
  }
}

TEST_F(DetentKnobTest, FramesForDragPositions)
{
  EXPECT_EQ(mKnob->FrameFor(1.0), 145);
  EXPECT_EQ(mKnob->FrameFor(0.25), 37);
  EXPECT_EQ(mKnob->FrameFor(0.0), 1);
  EXPECT_EQ(mKnob->FrameFor(-0.5), 1);
  EXPECT_EQ(mKnob->FrameFor(3.0), 145);
  EXPECT_EQ(mKnob->FrameFor(std::nan("")), 1);
}

TEST_F(DetentKnobTest, TheWheelMovesTheImageLikeADrag)
{
  mGraphics->OnMouseWheel(35, 35, &mNoMod, 10);  // 0.1
  Paint();
  EXPECT_NEAR(mKnob->DragPosition(), 0.1, 1e-12);
  EXPECT_EQ(mKnob->Detent(), 0.0);
  mGraphics->OnMouseWheel(35, 35, &mNoMod, 5);
  Paint();
  EXPECT_EQ(mKnob->Detent(), 0.25);
}

// A double-click resets "Mode" to its default and takes the knob there: a host value that then
// brings back the old detent (a restored program) is shown and kept, not overwritten by the next
// paint with the default.
TEST_F(DetentKnobTest, ADoubleClickMovesTheDetentSoAHostRestoreIsKept)
{
  mKnob->SetValueFromPlug(1.0);
  mPlug.GetParam(9)->SetNormalized(1.0);
  Paint();
  mGraphics->OnMouseDblClick(35, 35, &mNoMod);
  EXPECT_EQ(mPlug.GetParam(9)->Value(), 0.0) << "the default, \"I\"";
  EXPECT_EQ(mKnob->Detent(), 0.0);
  EXPECT_EQ(mKnob->DragPosition(), 0.0);
  // The host restores "Flat".
  mPlug.GetParam(9)->SetNormalized(1.0);
  mKnob->SetValueFromPlug(1.0);
  Paint();
  Paint();
  EXPECT_EQ(mKnob->GetValue(), 1.0);
  EXPECT_EQ(mKnob->Detent(), 1.0);
  EXPECT_EQ(mPlug.GetParam(9)->GetNormalized(), 1.0) << "the paint sent nothing over the restore";
}

// A host value that comes in while a wheel turn (or a drag) is being handled, as a host thread's
// automation or program change can: the image goes to the knob's value, so the next paint does not
// take the host's value for a change from outside and send it back as an edit.
TEST_F(DetentKnobTest, AHostValueDuringAWheelTurnIsNotSentBackByAPaint)
{
  struct Case
  {
    double from, host;
    int wheel;
  } cases[] = { { 1.0, 0.25, -2 }, { 0.75, 1.0, 1 }, { 0.0, 0.75, 3 } };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << "from " << c.from << " to " << c.host);
    mPlug.GetParam(9)->SetNormalized(c.from);
    mKnob->SetValueFromPlug(c.from);
    Paint();
    bool sent = false;
    mPlug.mOnInform = [&](int idx, double) {
      if (idx != 9 || sent) return;
      sent = true;
      mPlug.GetParam(9)->SetNormalized(c.host);
      mKnob->SetValueFromPlug(c.host);
    };
    mGraphics->OnMouseWheel(35, 35, &mNoMod, c.wheel);
    mPlug.mOnInform = nullptr;
    ASSERT_TRUE(sent);
    EXPECT_EQ(mKnob->DragPosition(), mKnob->GetValue());
    mPlug.mLog.clear();
    Paint();
    Paint();
    for (const std::string& line : mPlug.mLog) EXPECT_NE(line.rfind("inform 9", 0), 0u) << line;
    EXPECT_EQ(mPlug.GetParam(9)->GetNormalized(), c.host);
  }
}

// A new knob asks to be drawn twice: its first drawing adopts the value, and the second shows it.
TEST_F(DetentKnobTest, ANewKnobStaysDirtyThroughItsFirstCleaning)
{
  IDetentKnob knob(&mPlug, 0, 0, 9, &mBitmap, 5);
  EXPECT_TRUE(knob.IsDirty());
  knob.SetClean();
  EXPECT_TRUE(knob.IsDirty()) << "the redraw request of the constructor";
  knob.SetClean();
  EXPECT_FALSE(knob.IsDirty());
}

// A value the knob did not follow (typed in the editor, which moves no image) is taken by the next
// paint: detent and image go to it, and it is sent again, as an edit of its own. A change of less
// than 0.9 of a step is the image's own play and is not taken.
TEST_F(DetentKnobTest, APaintAdoptsAValueChangedFromOutsideAndSendsIt)
{
  struct Case
  {
    double value;
    bool adopted;
  } cases[] = { { 0.75, true }, { 0.6, false }, { 0.25, true }, { 0.03, false }, { 1.0, true } };
  double image = 0.0;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.value);
    mGraphics->SetParameterFromGUI(9, c.value);
    EXPECT_EQ(mKnob->GetValue(), c.value);
    mPlug.mLog.clear();
    Paint();
    if (c.adopted) image = c.value;
    EXPECT_EQ(mKnob->DragPosition(), image);
    EXPECT_EQ(mKnob->FrameFor(mKnob->DragPosition()), (int)(144 * image + 0.5) + 1);
    if (c.adopted)
    {
      EXPECT_EQ(mKnob->Detent(), c.value);
      char inform[32];
      snprintf(inform, sizeof(inform), "inform 9 %g", c.value);
      EXPECT_EQ(mPlug.mLog, (std::vector<std::string>{ "begin 9", inform, "change 9", "end 9" }));
    }
    else
    {
      EXPECT_TRUE(mPlug.mLog.empty());
    }
  }
}
