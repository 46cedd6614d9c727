// The editor on a real (virtual) X server: it opens into the host's window and shows what the
// headless render shows, takes drags, double-clicks, the wheel and modifiers through the server,
// ends an edit held when the host closes it, survives the host destroying its window first, gives
// back every window it made, and refuses to open without a display.

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

#include "KestrovaneX11Fixture.h"
#include "pix_loaders.h"

namespace
{
// The headless render of a state, as 0x00RRGGBB rows.
std::vector<uint32_t> Render(const std::string& args)
{
  // Each test runs in its own process, side by side with the others: a picture of its own.
  const std::string png = testing::TempDir() + "kv_x11_render_" + std::to_string(getpid()) + ".png";
  const std::string cmd = std::string("'") + KV_EDITOR_RENDER + "' " + args + " -o '" + png + "' >/dev/null 2>&1";
  std::vector<uint32_t> out;
  if (system(cmd.c_str()) != 0) return out;
  std::unique_ptr<PIX_IBitmap> bm(PIX_LoadPNG(png.c_str(), nullptr));
  remove(png.c_str());
  if (!bm) return out;
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
    {
      const PIX_PixelValue p = bm->getBits()[y * bm->getRowSpan() + x];
      out.push_back((p >> 8 & 0xff) << 16 | (p >> 16 & 0xff) << 8 | (p >> 24 & 0xff));
    }
  return out;
}

int Differ(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}
}  // namespace

TEST_F(KestrovaneX11Test, TheEditorShowsWhatTheHeadlessRenderShows)
{
  ASSERT_TRUE(Open());
  Idle(8);
  const std::vector<uint32_t> atDefaults = Render("");
  ASSERT_EQ(atDefaults.size(), 800u * 400u);
  EXPECT_EQ(Differ(mX.Pixels(mWindow, 800, 400), atDefaults), 0);
  EXPECT_EQ(mX.CountWindows(mWindow), 1) << "one child window of the editor's size";

  // The host changes two parameters: the next ticks bring the window up to date.
  mEffect->setParameter(mEffect, Kestrovane::kMode, 0.5f);
  mEffect->setParameter(mEffect, Kestrovane::kOversample, 1.0f);
  Idle(6);
  EXPECT_EQ(Differ(mX.Pixels(mWindow, 800, 400), Render("-p Mode=III -p Oversample=On")), 0);
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
}

TEST_F(KestrovaneX11Test, ADragOnTheAttackKnobIsOneEditForTheHost)
{
  ASSERT_TRUE(Open());
  Idle(3);
  mHost.Clear();
  const float before = mEffect->getParameter(mEffect, Kestrovane::kAttack);
  Drag(311, 275, 30);
  const std::vector<std::string> edits = EditsOf(Kestrovane::kAttack);
  ASSERT_GE(edits.size(), 3u);
  EXPECT_EQ(edits.front(), "begin");
  EXPECT_EQ(edits.back(), "end");
  for (size_t i = 1; i + 1 < edits.size(); ++i) EXPECT_EQ(edits[i], "automate");
  EXPECT_GT(mEffect->getParameter(mEffect, Kestrovane::kAttack), before);
}

// A host idling at 15 Hz: a whole drag arrives between two idle calls and is handled in one
// turn, its motion compressed to the last position, ending where a drag seen step by step ends.
TEST_F(KestrovaneX11Test, AtFifteenHertzAFloodOfMotionEndsWhereAStepwiseDragEnds)
{
  ASSERT_TRUE(Open());
  Idle(3, 67);
  const float before = mEffect->getParameter(mEffect, Kestrovane::kAttack);
  Drag(311, 275, 30);
  const float stepwise = mEffect->getParameter(mEffect, Kestrovane::kAttack);
  ASSERT_GT(stepwise, before);

  // Long enough after the first press that the next one is not a double-click.
  mEffect->setParameter(mEffect, Kestrovane::kAttack, before);
  Idle(8, 67);
  mHost.Clear();
  mX.MoveTo(311, 275);
  mX.Press(1);
  Idle(1, 67);
  for (int moved = 3; moved <= 30; moved += 3) mX.MoveTo(311, 275 - moved);
  mX.Release(1);
  Idle(1, 67);
  EXPECT_NEAR(mEffect->getParameter(mEffect, Kestrovane::kAttack), stepwise, 1e-5);
  const std::vector<std::string> edits = EditsOf(Kestrovane::kAttack);
  ASSERT_GE(edits.size(), 3u);
  EXPECT_EQ(edits.front(), "begin");
  EXPECT_EQ(edits.back(), "end");
}

TEST_F(KestrovaneX11Test, DoubleClicksTheWheelAndModifiers)
{
  ASSERT_TRUE(Open());
  Idle(3);
  // Two quick clicks on the Release knob: one double-click, Auto Release Off to Slow.
  mX.MoveTo(636, 275);
  mX.Press(1);
  mX.Release(1);
  mX.Press(1);
  mX.Release(1);
  Idle(2);
  EXPECT_FLOAT_EQ(mEffect->getParameter(mEffect, Kestrovane::kAutoRelease), 1.0f / 3.0f);
  EXPECT_FALSE(EditsOf(Kestrovane::kAutoRelease).empty());

  // Three wheel steps up over the Ratio knob.
  const float ratio = mEffect->getParameter(mEffect, Kestrovane::kRatio);
  mX.MoveTo(473, 275);
  for (int i = 0; i < 3; ++i)
  {
    mX.Press(4);
    mX.Release(4);
  }
  Idle(2);
  EXPECT_NEAR(mEffect->getParameter(mEffect, Kestrovane::kRatio), ratio + 0.03f, 1e-4);

  // A Shift-drag moves the Parallel knob a tenth as far as a plain one.
  const float parallel = mEffect->getParameter(mEffect, Kestrovane::kParallel);
  Drag(690, 365, 12);
  const float plain = mEffect->getParameter(mEffect, Kestrovane::kParallel) - parallel;
  mEffect->setParameter(mEffect, Kestrovane::kParallel, parallel);
  Idle(14);  // longer than a double-click takes, so the next press is a click of its own
  const uint8_t shift = mX.Keycode(0xffe1);
  ASSERT_NE(shift, 0);
  mX.KeyDown(shift);
  Drag(690, 365, 12);
  mX.KeyUp(shift);
  const float fine = mEffect->getParameter(mEffect, Kestrovane::kParallel) - parallel;
  EXPECT_GT(plain, 0.0f);
  EXPECT_NEAR(fine, plain / 10.0f, plain / 40.0f);
}

// The host closes the editor while the Attack knob is held: the host hears the edit end once, and
// the release that follows, with no editor to reach, adds nothing.
TEST_F(KestrovaneX11Test, EditorCloseWhileAKnobIsHeldEndsTheEditOnce)
{
  ASSERT_TRUE(Open());
  Idle(3);
  mHost.Clear();
  mX.MoveTo(311, 275);
  mX.Press(1);
  Idle(1);
  mX.MoveTo(311, 260);
  Idle(1);
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
  mX.Release(1);
  Idle(2);
  const std::vector<std::string> edits = EditsOf(Kestrovane::kAttack);
  ASSERT_GE(edits.size(), 2u);
  EXPECT_EQ(edits.front(), "begin");
  EXPECT_EQ(edits.back(), "end");
  EXPECT_EQ(std::count(edits.begin(), edits.end(), "begin"), 1);
  EXPECT_EQ(std::count(edits.begin(), edits.end(), "end"), 1);
}

TEST_F(KestrovaneX11Test, TheHostDestroyingItsWindowFirst)
{
  const int windows = mX.CountWindows(mX.Root());
  ASSERT_TRUE(Open());
  Idle(3);
  mX.Destroy(mWindow);
  Idle(3);  // requests on the destroyed window fail on the editor's own connection, and are dropped
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
  Idle(1);
  EXPECT_EQ(mX.CountWindows(mX.Root()), windows - 1) << "the host's window and ours are gone";
}

TEST_F(KestrovaneX11Test, OpenTwiceCloseWithoutOpenAndIdleWithoutEditor)
{
  EXPECT_EQ(Dispatch(mEffect, effEditIdle), 0);
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1) << "nothing open: nothing happens";
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Open());
  Idle(2);
  EXPECT_EQ(mX.CountWindows(mWindow), 1) << "the second open replaced the first";
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
  EXPECT_EQ(mX.CountWindows(mWindow), 0);
}

// The host squeezes the editor's window: what is painted is copied only as far as it fits.
TEST_F(KestrovaneX11Test, APaintLargerThanTheWindowCopiesWhatFits)
{
  ASSERT_TRUE(Open());
  Idle(3);
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(mX.Connection(), xcb_query_tree(mX.Connection(), mWindow), nullptr);
  ASSERT_NE(tree, nullptr);
  ASSERT_EQ(xcb_query_tree_children_length(tree), 1);
  const xcb_window_t child = xcb_query_tree_children(tree)[0];
  free(tree);
  const uint32_t size[2] = { 300, 200 };
  xcb_configure_window(mX.Connection(), child, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
  mX.Sync();
  mEffect->setParameter(mEffect, Kestrovane::kTopology, 1.0f);
  Idle(4);
  const std::vector<uint32_t> inside = mX.Pixels(child, 300, 200);
  ASSERT_EQ(inside.size(), 300u * 200u);
  const std::vector<uint32_t> full = Render("-p Topology=Feedback");
  ASSERT_EQ(full.size(), 800u * 400u);
  int differ = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) differ += inside[(size_t)y * 300 + x] != full[(size_t)y * 800 + x];
  EXPECT_EQ(differ, 0) << "the part that fits is the editor's";
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
}

TEST_F(KestrovaneX11Test, TwoHundredOpenCloseCyclesGiveEveryWindowBack)
{
  for (int i = 0; i < 200; ++i)
  {
    ASSERT_TRUE(Open()) << i;
    Dispatch(mEffect, effEditIdle);
    ASSERT_EQ(Dispatch(mEffect, effEditClose), 1);
  }
  EXPECT_EQ(mX.CountWindows(mWindow), 0);
}

TEST_F(KestrovaneX11Test, NoDisplayNoEditorAndNothingElseChanges)
{
  const std::string display = getenv("DISPLAY");
  unsetenv("DISPLAY");
  EXPECT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, (void*)(uintptr_t)mWindow), 0);
  setenv("DISPLAY", display.c_str(), 1);
  EXPECT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, (void*)(uintptr_t)0x1fffff0), 0) << "no such window";
  EXPECT_EQ(mX.CountWindows(mWindow), 0);
  ASSERT_TRUE(Open());
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
}
