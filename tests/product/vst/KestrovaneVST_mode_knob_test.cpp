// The Mode knob in the product's editor is drawn again after every parameter change the plug-in
// hears, whichever parameter it is: its drawing is where the knob settles its detent.

#include "IDetentKnob.h"
#include "KestrovaneEditorFixture.h"

TEST_F(KestrovaneEditorTest, TheModeKnobIsRedrawnAfterEveryParameterChange)
{
  ASSERT_NE(mGraphics, nullptr) << "no editor: are the images in the bundle?";
  IDetentKnob* knob = mPlug->GetModeKnob();
  ASSERT_NE(knob, nullptr);
  for (int p = 0; p < Kestrovane::kNumParams; ++p)
  {
    SCOPED_TRACE(mPlug->GetParam(p)->GetNameForHost());
    for (int pass = 0; pass < 3; ++pass) knob->SetClean();
    ASSERT_FALSE(knob->IsDirty());
    // The host sets the parameter to the value it has: no control's value changes.
    mEffect->setParameter(mEffect, p, mEffect->getParameter(mEffect, p));
    knob->SetClean();
    EXPECT_TRUE(knob->IsDirty()) << "the next drawing pass draws the knob";
    knob->SetClean();
    EXPECT_FALSE(knob->IsDirty());
  }
}
