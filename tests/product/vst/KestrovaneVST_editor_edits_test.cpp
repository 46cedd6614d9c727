// Edits the product's editor makes on its own reach the host as it can record them: a host writes
// touch automation between a parameter's begin and end, so every value of a wheel step or a
// double-click (a reset, the Mode knob's release after it, the Release knob's Auto Release step
// and its Release re-send) lies inside a begin/end pair of its own parameter, and two pairs of one
// parameter never nest. Only a press sends its value before its begin: the control reacts (a fader
// jumps to the pointer) and then the gesture starts.

#include <cmath>
#include <string>
#include <vector>

#include <Foundation/testkit.h>

#include "IControl.h"
#include "KestrovaneEditorFixture.h"

namespace
{
constexpr double kFrame = 1.0 / 15;  // two ticks of the editor's timer: every paint runs

// The calls to the host that one press made, [first, last) in the host's record.
struct Press
{
  size_t first, last;
};

class KestrovaneEditorEditsTest : public KestrovaneEditorTest
{
protected:
  void SetUp() override
  {
    ASSERT_NE(mGraphics, nullptr) << "no editor: are the images in the bundle?";
    mWindow = AppKitTestKit::NewWindow(800, 400);
    ASSERT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, mWindow->contentView()), 1);
    FoundationTestKit::RunFor(kFrame);
    mHost.Clear();
  }
  void TearDown() override
  {
    if (!mWindow) return;
    Dispatch(mEffect, effEditClose);
    mWindow->release();
  }

  // The centre of a control, in the window's base coordinates (origin bottom left).
  double X(IControl* c) const { return (c->GetRECT()->L + c->GetRECT()->R) / 2; }
  double Y(IControl* c) const { return 400 - (c->GetRECT()->T + c->GetRECT()->B) / 2; }

  void Wheel(IControl* c, double d, NSUInteger mods = 0)
  {
    AppKitTestKit::ScrollWheel(mWindow, X(c), Y(c), d, 0, mods);
    FoundationTestKit::RunFor(kFrame);
  }
  // As the window server sends one: a click, then a press and release counted as two.
  void DoubleClick(IControl* c)
  {
    const size_t first = mHost.Calls().size();
    AppKitTestKit::MouseDown(mWindow, X(c), Y(c), 0, 1);
    mPresses.push_back({ first, mHost.Calls().size() });
    FoundationTestKit::RunFor(kFrame);
    AppKitTestKit::MouseUp(mWindow, X(c), Y(c), 0, 1);
    FoundationTestKit::RunFor(kFrame);
    AppKitTestKit::MouseDown(mWindow, X(c), Y(c), 0, 2);
    FoundationTestKit::RunFor(kFrame);
    AppKitTestKit::MouseUp(mWindow, X(c), Y(c), 0, 2);
    FoundationTestKit::RunFor(kFrame);
  }

  // Every automate inside a begin/end pair of its index, no pair nested in one of its own index,
  // none left open; a press's values may come just before the begin of its gesture. Returns the
  // first fault ("" when there is none) and counts the automates.
  std::string FirstFault(int* pAutomates) const
  {
    const std::vector<FakeVstHost::Call> calls = mHost.Calls();
    std::vector<bool> open(Kestrovane::kNumParams, false);
    *pAutomates = 0;
    for (size_t i = 0; i < calls.size(); ++i)
    {
      const FakeVstHost::Call& c = calls[i];
      const bool begin = c.opCode == audioMasterBeginEdit, end = c.opCode == audioMasterEndEdit;
      if (!begin && !end && c.opCode != audioMasterAutomate) continue;
      const std::string at = " (call " + std::to_string(i) + ", parameter " + std::to_string(c.index) + ")";
      if (c.index < 0 || c.index >= Kestrovane::kNumParams) return "an edit of no parameter" + at;
      if (begin && open[c.index]) return "a begin inside a gesture of the same parameter" + at;
      if (end && !open[c.index]) return "an end without its begin" + at;
      if (begin || end) open[c.index] = begin;
      else
      {
        ++*pAutomates;
        if (!open[c.index] && !PressValue(calls, i)) return "an edit outside any begin/end of its parameter" + at;
      }
    }
    for (int p = 0; p < Kestrovane::kNumParams; ++p)
      if (open[p]) return "parameter " + std::to_string(p) + " left open";
    return "";
  }

  // A value a press sent before the begin of its gesture, within the same press.
  bool PressValue(const std::vector<FakeVstHost::Call>& calls, size_t i) const
  {
    for (const Press& p : mPresses)
    {
      if (i < p.first || i >= p.last) continue;
      for (size_t j = i + 1; j < p.last; ++j)
        if (calls[j].index == calls[i].index && calls[j].opCode == audioMasterBeginEdit) return true;
    }
    return false;
  }

  NSWindow* mWindow = nullptr;
  std::vector<Press> mPresses;
};

// Every control of the editor bound to a parameter, from the layout.
std::vector<int> BoundControls(IGraphics* g)
{
  std::vector<int> out;
  for (int i = 0; i < g->NControls(); ++i)
    if (g->GetControl(i)->ParamIdx() >= 0) out.push_back(i);
  return out;
}
}  // namespace

TEST_F(KestrovaneEditorEditsTest, WheelStepsAndDoubleClicksOnEveryControlAreEditsTheHostCanRecord)
{
  const std::vector<int> controls = BoundControls(mGraphics);
  ASSERT_EQ(controls.size(), 15u) << "knobs, faders, switches and the Mode knob";
  struct Gesture
  {
    const char* name;
    double wheel;  // steps, or 0 for a double-click
    NSUInteger mods;
  } gestures[] = {
    { "three wheel steps up", 3, 0 },
    { "two fine wheel steps down", -2, NSShiftKeyMask },
    { "a double-click", 0, 0 },
    { "thirty wheel steps up", 30, 0 },  // the Mode knob's paints move its detent on the way
    { "another double-click", 0, 0 },
  };
  for (int idx : controls)
  {
    IControl* c = mGraphics->GetControl(idx);
    for (const Gesture& g : gestures)
    {
      const std::string what = "control " + std::to_string(idx) + ", " + g.name;
      mHost.Clear();
      mPresses.clear();
      if (g.wheel == 0) DoubleClick(c);
      else
        for (int s = 0; s < (int)std::abs(g.wheel); ++s) Wheel(c, g.wheel > 0 ? 1.0 : -1.0, g.mods);
      int automates;
      EXPECT_EQ(FirstFault(&automates), "") << what;
      EXPECT_GT(automates, 0) << what << ": the host heard no edit";
    }
  }
}

// The Release knob's double-click steps "Auto Release" as a gesture of its own and then sends
// Release again: each in its own pair, one after the other, over the four steps back to Off.
TEST_F(KestrovaneEditorEditsTest, TheReleaseDoubleClickSendsEachValueInItsOwnPair)
{
  IControl* release = mGraphics->GetControl(16);
  ASSERT_EQ(release->ParamIdx(), Kestrovane::kRelease);
  const char* steps[] = { "Slow", "Fast", "Zorl", "Off" };
  for (const char* step : steps)
  {
    mHost.Clear();
    mPresses.clear();
    DoubleClick(release);
    int automates;
    EXPECT_EQ(FirstFault(&automates), "") << step;
    char display[32];
    mPlug->GetParam(Kestrovane::kAutoRelease)->GetDisplayForHost(display);
    EXPECT_STREQ(display, step);
    const std::vector<std::string> autoRelease = EditsOf(Kestrovane::kAutoRelease);
    EXPECT_EQ(autoRelease, (std::vector<std::string>{ "begin", "automate", "end" })) << step;
    // The click's own gesture, then the re-send.
    EXPECT_EQ(EditsOf(Kestrovane::kRelease), (std::vector<std::string>{ "begin", "end", "begin", "automate", "end" }))
      << step;
  }
}
