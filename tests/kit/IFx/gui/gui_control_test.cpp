#include <cmath>
#include <limits>

#include "GuiFixture.h"

namespace
{
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

class ControlTest : public GuiFixture
{
protected:
  // Passes of cleaning a control stays dirty through.
  static int DirtyPasses(IControl* c)
  {
    int n = 0;
    while (c->IsDirty() && n < 10)
    {
      c->SetClean();
      ++n;
    }
    return n;
  }
};

class WeightedControl : public IControl
{
public:
  WeightedControl(IFxBase* pPlug, IRECT r) : IControl(pPlug, r, -1, IChannelBlend::kBlendAdd) { mBlend.mWeight = 0.7f; }
  bool Draw(IGraphics*) override { return true; }
};
}  // namespace

TEST_F(ControlTest, ANewControlIsDirtyWithNoDefault)
{
  SpyControl* c = AddSpy(IRECT(0, 0, 10, 10), 0, "A");
  EXPECT_TRUE(c->IsDirty());
  EXPECT_EQ(c->GetValue(), 0.0);
  EXPECT_EQ(c->GetDefaultValue(), -1.0);
  EXPECT_EQ(*c->GetTargetRECT(), *c->GetRECT());
  c->OnMouseDblClick(1, 1, &mNoMod);
  EXPECT_EQ(c->GetValue(), 0.0);
  EXPECT_EQ(Log(), Strings({ "dbl A" }));
}

TEST_F(ControlTest, FirstValueFromThePlugInBecomesTheDefault)
{
  SpyControl* c = AddSpy(IRECT(0, 0, 10, 10), 0, "A");
  c->SetClean();
  ASSERT_FALSE(c->IsDirty());

  c->SetValueFromPlug(0.3);
  EXPECT_EQ(c->GetValue(), 0.3);
  EXPECT_EQ(c->GetDefaultValue(), 0.3);
  EXPECT_EQ(DirtyPasses(c), 2);  // drawn on two consecutive ticks

  c->SetValueFromPlug(0.3);  // equal: nothing
  EXPECT_FALSE(c->IsDirty());

  c->SetValueFromPlug(0.5);
  EXPECT_EQ(c->GetValue(), 0.5);
  EXPECT_EQ(c->GetDefaultValue(), 0.3);
  EXPECT_EQ(DirtyPasses(c), 2);
  EXPECT_TRUE(Log().empty());  // never sent back

  c->OnMouseDblClick(1, 1, &mNoMod);
  EXPECT_EQ(c->GetValue(), 0.3);
  EXPECT_EQ(Log(), Strings({ "dbl A", "inform 0 0.3", "change 0" }));
  EXPECT_DOUBLE_EQ(mPlug.GetParam(0)->GetNormalized(), 0.3);
  EXPECT_EQ(DirtyPasses(c), 1);
}

TEST_F(ControlTest, WheelStepsAndClamping)
{
  struct Case
  {
    IMouseMod mod;
    int d;
    double start, expected;
  };
  for (const Case& k : { Case{ IMouseMod(), 3, 0.5, 0.53 }, Case{ IMouseMod(false, false, true), 3, 0.5, 0.503 },
                         Case{ IMouseMod(false, false, false, true), -2, 0.5, 0.498 },
                         Case{ IMouseMod(), 10, 0.95, 1.0 }, Case{ IMouseMod(), -200, 0.5, 0.0 } })
  {
    SpyControl c(&mPlug, IRECT(0, 0, 10, 10), 1, nullptr, "W");
    c.SetValue(k.start);
    IMouseMod mod = k.mod;
    Log().clear();
    c.OnMouseWheel(0, 0, &mod, k.d);
    EXPECT_NEAR(c.GetValue(), k.expected, 1e-12) << k.d;
    // The plug-in receives the clamped value.
    char inform[64];
    snprintf(inform, sizeof(inform), "inform 1 %g", k.expected);
    EXPECT_EQ(Log(), Strings({ inform, "change 1" }));
  }
}

TEST_F(ControlTest, ClampRangeHoldsEverySetDirty)
{
  SpyControl* c = AddSpy(IRECT(0, 0, 10, 10), 0, "A");
  mGraphics->ClampControl(0, 0.25, 0.75, true);
  c->SetValue(0.9);
  c->SetDirty(false);
  EXPECT_EQ(c->GetValue(), 0.75);
  c->SetValue(0.1);
  c->SetDirty(true);
  EXPECT_EQ(c->GetValue(), 0.25);
  EXPECT_EQ(Log(), Strings({ "inform 0 0.25", "change 0" }));

  // Plain bounds go through the parameter's shape.
  mGraphics->ClampControl(0, -60.0, -6.0, false);
  double lo, hi;
  c->GetClamp(&lo, &hi);
  EXPECT_EQ(lo, 0.0);
  EXPECT_DOUBLE_EQ(hi, mPlug.GetParam(0)->GetNormalized(-6.0));
}

TEST_F(ControlTest, GrayOutSetsTheWeightWhateverItWas)
{
  WeightedControl c(&mPlug, IRECT(0, 0, 4, 4));
  EXPECT_EQ(c.GetBlend()->mWeight, 0.7f);
  c.SetClean();
  c.GrayOut(true);
  EXPECT_TRUE(c.IsGrayed());
  EXPECT_EQ(c.GetBlend()->mWeight, 0.25f);
  EXPECT_EQ(c.GetBlend()->mMethod, IChannelBlend::kBlendAdd);
  EXPECT_EQ(DirtyPasses(&c), 1);  // no redraw request
  c.GrayOut(false);
  EXPECT_EQ(c.GetBlend()->mWeight, 1.0f);
}

TEST_F(ControlTest, HideRequestsASecondPass)
{
  SpyControl* c = AddSpy(IRECT(0, 0, 10, 10), 0, "A");
  c->SetClean();
  c->Hide(true);
  EXPECT_TRUE(c->IsHidden());
  EXPECT_EQ(DirtyPasses(c), 2);
  c->Hide(false);
  EXPECT_FALSE(c->IsHidden());
}

TEST_F(ControlTest, ValueFromUserInput)
{
  SpyControl* c = AddSpy(IRECT(0, 0, 10, 10), 0, "A");
  c->SetClean();
  c->SetValueFromUserInput(0.0);  // the current value
  EXPECT_FALSE(c->IsDirty());
  EXPECT_TRUE(Log().empty());
  c->SetValueFromUserInput(0.4);
  EXPECT_EQ(Log(), Strings({ "inform 0 0.4", "change 0" }));
  EXPECT_EQ(DirtyPasses(c), 2);

  // The surface hands an editor value to every control bound to the parameter.
  SpyControl* twin = AddSpy(IRECT(20, 0, 30, 10), 0, "B");
  mGraphics->SetParameterFromGUI(0, 0.6);
  EXPECT_EQ(c->GetValue(), 0.6);
  EXPECT_EQ(twin->GetValue(), 0.6);
}

TEST_F(ControlTest, RightClickPromptsOnlyBoundControlsThatAllowIt)
{
  SpyControl* bound = AddSpy(IRECT(0, 0, 10, 10), 2, "A");
  SpyControl* unbound = AddSpy(IRECT(10, 0, 20, 10), -1, "B");
  SpyControl* disabled = AddSpy(IRECT(20, 0, 30, 10), 1, "C");
  disabled->DisablePrompt(true);
  Attach();
  IMouseMod right(true, true);
  for (SpyControl* c : { bound, unbound, disabled }) DirtyPasses(c);
  for (SpyControl* c : { bound, unbound, disabled }) c->OnMouseDown(0, 0, &right);
  EXPECT_EQ(mGraphics->mPrompts, Strings({ "value Mode" }));
  // The redraw request makes the prompted control dirty after the next pass, for one pass.
  EXPECT_FALSE(bound->IsDirty());
  bound->SetClean();
  EXPECT_EQ(DirtyPasses(bound), 1);
  unbound->SetClean();
  EXPECT_FALSE(unbound->IsDirty());
}

TEST_F(ControlTest, TargetRectangleDecidesTheHit)
{
  SpyControl c(&mPlug, IRECT(0, 0, 0, 0), -1, nullptr, "E");
  for (int x = -1; x <= 1; ++x)
    for (int y = -1; y <= 1; ++y) EXPECT_FALSE(c.IsHit(x, y));
  SpyControl d(&mPlug, IRECT(2, 2, 4, 4), -1, nullptr, "D");
  EXPECT_TRUE(d.IsHit(2, 3));
  EXPECT_FALSE(d.IsHit(4, 3));
}

// A value that is not a number never reaches the control, the parameter or the saved state.
TEST_F(ControlTest, NonFiniteValuesKeepTheLastFiniteOne)
{
  SpyControl* c = AddSpy(IRECT(0, 0, 10, 10), 0, "A");
  c->SetValueFromPlug(kNaN);  // as the first value it must not become the default either
  EXPECT_EQ(c->GetDefaultValue(), -1.0);
  c->SetValueFromPlug(0.4);
  EXPECT_EQ(c->GetDefaultValue(), 0.4);
  c->SetClean();
  c->SetClean();
  for (double bad : { kNaN, kInf, -kInf })
  {
    c->SetValueFromPlug(bad);
    EXPECT_EQ(c->GetValue(), 0.4);
    c->SetValueFromUserInput(bad);
    EXPECT_EQ(c->GetValue(), 0.4);
    c->SetValue(bad);
    c->SetDirty(true);
    EXPECT_EQ(c->GetValue(), 0.4);
  }
  EXPECT_EQ(Log(), Strings({ "inform 0 0.4", "change 0", "inform 0 0.4", "change 0", "inform 0 0.4", "change 0" }));
  ByteChunk state;
  ASSERT_TRUE(mPlug.SerializeParams(&state));
  double v = 0;
  state.Get(&v, 0);
  EXPECT_TRUE(std::isfinite(v));
  EXPECT_DOUBLE_EQ(mPlug.GetParam(0)->GetNormalized(), 0.4);
}
