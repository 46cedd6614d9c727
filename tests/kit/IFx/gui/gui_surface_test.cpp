#include "GuiFixture.h"

namespace
{
class SurfaceTest : public GuiFixture
{
protected:
  // Cleans every control (through as many passes as they ask for).
  void CleanAll()
  {
    for (int pass = 0; pass < 3; ++pass)
      for (int i = 0; i < mGraphics->NControls(); ++i) mGraphics->GetControl(i)->SetClean();
  }
  int DrawsOf(SpyControl* c) { return c->mDraws; }
};
}  // namespace

TEST_F(SurfaceTest, HitTestingPrefersTheTopmostShownEnabledControl)
{
  SpyControl* below = AddSpy(IRECT(0, 0, 20, 20), -1, "below");
  SpyControl* above = AddSpy(IRECT(10, 10, 30, 30), -1, "above");
  struct Case
  {
    int x, y, expected;
  };
  const Case cases[] = { { 15, 15, 1 }, { 5, 5, 0 }, { 25, 25, 1 }, { 35, 5, -1 }, { 20, 5, -1 }, { 19, 19, 1 } };
  for (const Case& c : cases) EXPECT_EQ(mGraphics->GetMouseControlIdx(c.x, c.y), c.expected) << c.x << "," << c.y;

  above->Hide(true);
  EXPECT_EQ(mGraphics->GetMouseControlIdx(15, 15), 0);
  EXPECT_EQ(mGraphics->GetMouseControlIdx(25, 25), -1);
  above->Hide(false);
  above->GrayOut(true);
  EXPECT_EQ(mGraphics->GetMouseControlIdx(15, 15), 0);
  below->GrayOut(true);
  EXPECT_EQ(mGraphics->GetMouseControlIdx(15, 15), -1);
}

// The order the host hears of a gesture, read together with what the controls saw.
TEST_F(SurfaceTest, GestureOrder)
{
  SpyControl* a = AddSpy(IRECT(0, 0, 20, 20), 0, "A");
  SpyControl* b = AddSpy(IRECT(30, 0, 50, 20), 1, "B");
  AddSpy(IRECT(0, 30, 20, 40), -1, "U");
  Attach();
  a->mValueOnDown = 0.7;  // jumps to the pointer, as a fader does
  a->mDragScale = -0.01;
  b->mValueOnDown = 0.2;

  struct Step
  {
    const char* event;
    int x, y;
  };
  struct Case
  {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> log;
  };
  const Case cases[] = {
    { "press, drag off, release over another control",
      { { "down", 5, 5 }, { "drag", 5, 3 }, { "drag", 40, 3 }, { "up", 40, 3 } },
      { "down A 5 5", "inform 0 0.7", "change 0", "begin 0", "drag A 0 -2", "inform 0 0.72", "change 0",
        "drag A 35 0", "inform 0 0.72", "change 0", "up A", "end 0" } },
    { "release with nothing captured", { { "up", 40, 5 } }, { "up B" } },
    { "release over nothing", { { "up", 60, 60 } }, {} },
    { "press on an unbound control", { { "down", 5, 35 }, { "up", 5, 35 } }, { "down U 5 35", "up U" } },
    { "press on nothing", { { "down", 60, 60 }, { "drag", 61, 61 }, { "up", 61, 61 } }, {} },
    { "double-click",
      { { "down", 5, 5 }, { "up", 5, 5 }, { "dbl", 5, 5 }, { "up", 5, 5 } },
      { "down A 5 5", "inform 0 0.7", "change 0", "begin 0", "up A", "end 0", "dbl A", "begin 0",
        "inform 0 0.866025", "change 0", "end 0", "up A" } },
    { "a press whose release never came",
      { { "down", 5, 5 }, { "down", 35, 5 }, { "up", 35, 5 } },
      { "down A 5 5", "inform 0 0.7", "change 0", "begin 0", "end 0", "down B 35 5", "inform 1 0.2", "change 1",
        "begin 1", "up B", "end 1" } },
    { "wheel steps: each an edit of its own", { { "wheel", 35, 5 }, { "wheel", 35, 5 } },
      { "wheel B 1", "begin 1", "inform 1 0.21", "change 1", "end 1", "wheel B 1", "begin 1", "inform 1 0.22",
        "change 1", "end 1" } },
    { "a wheel step inside a gesture of its parameter", { { "down", 35, 5 }, { "wheel", 35, 5 }, { "up", 35, 5 } },
      { "down B 35 5", "inform 1 0.2", "change 1", "begin 1", "wheel B 1", "inform 1 0.21", "change 1", "up B",
        "end 1" } },
    { "double-click on a gesture still open",
      { { "down", 5, 5 }, { "dbl", 5, 5 }, { "up", 5, 5 } },
      { "down A 5 5", "inform 0 0.7", "change 0", "begin 0", "end 0", "dbl A", "begin 0", "inform 0 0.866025",
        "change 0", "end 0", "up A" } },
  };
  for (const Case& c : cases)
  {
    Log().clear();
    for (const Step& s : c.steps)
    {
      const std::string e = s.event;
      if (e == "down") mGraphics->OnMouseDown(s.x, s.y, &mNoMod);
      else if (e == "up") mGraphics->OnMouseUp(s.x, s.y, &mNoMod);
      else if (e == "drag") mGraphics->OnMouseDrag(s.x, s.y, &mNoMod);
      else if (e == "wheel") mGraphics->OnMouseWheel(s.x, s.y, &mNoMod, 1);
      else mGraphics->OnMouseDblClick(s.x, s.y, &mNoMod);
    }
    EXPECT_EQ(Log(), c.log) << c.name;
    EXPECT_EQ(mGraphics->GetMouseCapture(), -1) << c.name;
  }
}

// No gesture begins on this road, so every value the control sends is an edit of its own.
TEST_F(SurfaceTest, DoubleClickAsSingleClickCapturesWithoutAGesture)
{
  SpyControl* a = AddSpy(IRECT(0, 0, 20, 20), 0, "A");
  Attach();
  a->SetDblAsSingleClick(true);
  a->mValueOnDown = 0.5;
  a->mDragScale = 0.1;
  EXPECT_TRUE(mGraphics->OnMouseDblClick(5, 5, &mNoMod));
  EXPECT_EQ(mGraphics->GetMouseCapture(), 0);
  mGraphics->OnMouseDrag(6, 7, &mNoMod);
  mGraphics->OnMouseUp(30, 30, &mNoMod);
  EXPECT_EQ(Log(), Strings({ "down A 5 5", "begin 0", "inform 0 0.5", "change 0", "end 0", "drag A 1 2", "begin 0",
                             "inform 0 0.7", "change 0", "end 0", "up A" }));
  EXPECT_FALSE(mGraphics->OnMouseDblClick(40, 40, &mNoMod));
}

TEST_F(SurfaceTest, DragsAreDeduplicatedAndRelative)
{
  AddSpy(IRECT(0, 0, 20, 20), -1, "A");
  mGraphics->OnMouseDrag(3, 3, &mNoMod);  // nothing captured: dropped
  mGraphics->OnMouseDown(5, 5, &mNoMod);
  for (auto [x, y] : { std::pair{ 5, 5 }, { 7, 4 }, { 7, 4 }, { 3, 10 }, { 100, 100 } }) mGraphics->OnMouseDrag(x, y, &mNoMod);
  mGraphics->OnMouseUp(100, 100, &mNoMod);
  mGraphics->OnMouseDrag(101, 101, &mNoMod);
  EXPECT_EQ(Log(), Strings({ "down A 5 5", "drag A 2 -1", "drag A -4 6", "drag A 97 90", "up A" }));
}

TEST_F(SurfaceTest, WheelAndKeysGoToTheControlUnderThePointerOrTheCaptured)
{
  AddSpy(IRECT(0, 0, 20, 20), -1, "A");
  AddSpy(IRECT(30, 0, 50, 20), -1, "B");
  mGraphics->OnMouseWheel(35, 5, &mNoMod, 2);
  mGraphics->OnKeyDown(5, 5, 65);
  mGraphics->OnMouseWheel(60, 60, &mNoMod, 1);
  mGraphics->OnMouseDown(5, 5, &mNoMod);
  mGraphics->OnMouseWheel(35, 5, &mNoMod, -1);
  EXPECT_EQ(Log(), Strings({ "wheel B 2", "key A 65", "down A 5 5", "wheel A -1" }));
}

TEST_F(SurfaceTest, MouseOverOnlyWhenHandled)
{
  AddSpy(IRECT(0, 0, 20, 20), -1, "A");
  AddSpy(IRECT(30, 0, 50, 20), -1, "B");
  EXPECT_FALSE(mGraphics->OnMouseOver(5, 5, &mNoMod));
  EXPECT_TRUE(Log().empty());
  mGraphics->SetHandleMouseOver(true);
  EXPECT_TRUE(mGraphics->OnMouseOver(5, 5, &mNoMod));
  mGraphics->OnMouseOver(6, 5, &mNoMod);
  mGraphics->OnMouseOver(60, 60, &mNoMod);  // over nothing: no change
  mGraphics->OnMouseOver(35, 5, &mNoMod);
  mGraphics->OnMouseOut();
  EXPECT_EQ(Log(), Strings({ "over A", "over A", "over B", "out A", "out A", "out B" }));
}

TEST_F(SurfaceTest, IsDirtyUnionsAndCountsIdleTicks)
{
  SpyControl* a = AddSpy(IRECT(10, 10, 20, 20), -1, "A");
  SpyControl* b = AddSpy(IRECT(30, 5, 40, 15), -1, "B");
  IRECT r;
  EXPECT_TRUE(mGraphics->IsDirty(&r));
  EXPECT_EQ(r, IRECT(10, 5, 40, 20));

  CleanAll();
  b->Hide(true);  // hidden controls count
  r = IRECT();
  EXPECT_TRUE(mGraphics->IsDirty(&r));
  EXPECT_EQ(r, IRECT(30, 5, 40, 15));

  CleanAll();
  for (int i = 1; i <= 20; ++i)
  {
    r = IRECT();
    EXPECT_FALSE(mGraphics->IsDirty(&r));
    EXPECT_TRUE(r.Empty());
  }
  EXPECT_EQ(a->mIdles, 0);
  EXPECT_FALSE(mGraphics->IsDirty(&r));  // the 21st clean call in a row
  EXPECT_EQ(a->mIdles, 1);
  EXPECT_EQ(b->mIdles, 1);

  for (int i = 0; i < 10; ++i) mGraphics->IsDirty(&r);
  a->SetDirty(false);
  EXPECT_TRUE(mGraphics->IsDirty(&r));  // one dirty control resets the count
  a->SetClean();
  for (int i = 0; i < 20; ++i) mGraphics->IsDirty(&r);
  EXPECT_EQ(a->mIdles, 1);
  mGraphics->IsDirty(&r);
  EXPECT_EQ(a->mIdles, 2);
}

TEST_F(SurfaceTest, IdleOnAnEmptyEditor)
{
  IRECT r;
  for (int i = 0; i < 21; ++i) EXPECT_FALSE(mGraphics->IsDirty(&r));
  EXPECT_TRUE(mGraphics->Draw(&r));
  Attach();
  EXPECT_TRUE(mGraphics->Draw(&r));
  EXPECT_EQ(mGraphics->mScreenCopies, 0);  // nothing to draw, nothing copied
}

TEST_F(SurfaceTest, StrictDrawingAgainstRectanglesThatTouch)
{
  SpyControl* left = AddSpy(IRECT(0, 0, 10, 10), -1, "left");     // right edge on the area's left edge
  SpyControl* inside = AddSpy(IRECT(12, 2, 18, 8), -1, "inside");
  SpyControl* right = AddSpy(IRECT(20, 0, 30, 10), -1, "right");  // left edge on the area's right edge
  SpyControl* below = AddSpy(IRECT(10, 10, 20, 20), -1, "below");  // top edge on the area's bottom edge
  SpyControl* hidden = AddSpy(IRECT(11, 1, 19, 9), -1, "hidden");
  SpyControl* part = AddSpy(IRECT(15, 5, 25, 15), -1, "part");
  Attach();
  hidden->Hide(true);
  IRECT area(10, 0, 20, 10);
  EXPECT_TRUE(mGraphics->Draw(&area));
  EXPECT_EQ(*mGraphics->GetDrawRECT(), area);
  EXPECT_EQ(mGraphics->mScreenCopies, 1);
  EXPECT_EQ(mGraphics->mLastScreenRect, area);

  // The area's Intersects is inclusive on its own right and bottom edges.
  EXPECT_EQ(DrawsOf(left), 0);
  EXPECT_EQ(DrawsOf(inside), 1);
  EXPECT_EQ(DrawsOf(right), 1);
  EXPECT_EQ(DrawsOf(below), 1);
  EXPECT_EQ(DrawsOf(hidden), 0);
  EXPECT_EQ(DrawsOf(part), 1);
  // Only what the area covered is cleaned; a hidden control inside it is cleaned too. The rest
  // stays dirty for the next tick, also the controls drawn only in part.
  EXPECT_EQ(inside->mCleans, 1);
  EXPECT_EQ(hidden->mCleans, 1);
  EXPECT_FALSE(inside->IsDirty());
  for (SpyControl* c : { left, right, below, part })
  {
    EXPECT_EQ(c->mCleans, 0);
    EXPECT_TRUE(c->IsDirty());
  }
}

// A control dirtied between the timer's question and the paint is drawn at the next tick.
TEST_F(SurfaceTest, AControlDirtiedAfterTheTimerAskedIsDrawnNextTick)
{
  SpyControl* a = AddSpy(IRECT(0, 0, 10, 10), 0, "A");
  SpyControl* b = AddSpy(IRECT(40, 0, 50, 10), 1, "B");
  Attach();
  mGraphics->Tick();
  mGraphics->Tick();
  a->SetValueFromPlug(0.9);
  IRECT r;
  ASSERT_TRUE(mGraphics->IsDirty(&r));
  EXPECT_EQ(r, IRECT(0, 0, 10, 10));
  b->GrayOut(true);  // marked dirty (without a redraw request) before the paint
  mGraphics->Draw(&r);
  EXPECT_TRUE(b->IsDirty());
  const int before = b->mDraws;
  r = IRECT();
  ASSERT_TRUE(mGraphics->IsDirty(&r));
  EXPECT_EQ(r, IRECT(0, 0, 50, 10));
  mGraphics->Draw(&r);
  EXPECT_EQ(b->mDraws, before + 1);
}

TEST_F(SurfaceTest, AControlPartlyOffTheSurfaceIsCleanedWhenItsVisiblePartIsDrawn)
{
  SpyControl* edge = AddSpy(IRECT(50, 40, 80, 60), -1, "edge");  // the surface is 64 x 48
  SpyControl* off = AddSpy(IRECT(100, 100, 110, 110), -1, "off");
  Attach();
  IRECT visible(0, 0, 64, 48);
  mGraphics->Draw(&visible);
  EXPECT_FALSE(edge->IsDirty());
  EXPECT_FALSE(off->IsDirty());
  EXPECT_EQ(off->mDraws, 0);
}

// A window smaller than the editor shows only part of it: a control is cleaned once its shown part
// is drawn, and one that is not shown at all needs no drawing.
TEST_F(SurfaceTest, TheVisibleAreaDecidesWhatCountsAsDrawnInFull)
{
  SpyControl* clipped = AddSpy(IRECT(20, 10, 50, 30), -1, "clipped");  // right part beyond x 40
  SpyControl* hiddenByWindow = AddSpy(IRECT(45, 0, 60, 10), -1, "beyond");
  SpyControl* inside = AddSpy(IRECT(0, 0, 10, 10), -1, "inside");
  Attach();
  mGraphics->SetVisibleArea(IRECT(0, 0, 40, 48));
  IRECT shown(0, 0, 40, 48);
  mGraphics->Draw(&shown);
  EXPECT_FALSE(clipped->IsDirty());
  EXPECT_FALSE(hiddenByWindow->IsDirty());
  EXPECT_FALSE(inside->IsDirty());
  EXPECT_EQ(hiddenByWindow->mDraws, 0);

  // Within the visible area the rule stays: a partly drawn control stays dirty.
  clipped->SetDirty(false);
  IRECT part(0, 0, 30, 48);
  mGraphics->Draw(&part);
  EXPECT_TRUE(clipped->IsDirty());

  // Nothing shown: nothing needs drawing.
  mGraphics->SetVisibleArea(IRECT());
  IRECT none(0, 0, 1, 1);
  mGraphics->Draw(&none);
  EXPECT_FALSE(clipped->IsDirty());
}

TEST_F(SurfaceTest, NonStrictDrawing)
{
  SpyControl* bg = AddSpy(IRECT(0, 0, 64, 48), -1, "bg");
  SpyControl* a = AddSpy(IRECT(0, 0, 10, 10), -1, "A");
  SpyControl* b = AddSpy(IRECT(5, 5, 15, 15), -1, "B");
  SpyControl* far = AddSpy(IRECT(40, 40, 50, 48), -1, "far");
  SpyControl* hidden = AddSpy(IRECT(30, 30, 35, 35), -1, "hidden");
  Attach();
  mGraphics->SetStrictDrawing(false);
  hidden->Hide(true);
  IRECT r(0, 0, 1, 1);  // not consulted
  mGraphics->Draw(&r);  // the background is dirty: everything shown is drawn and cleaned
  for (SpyControl* c : { bg, a, b, far }) EXPECT_EQ(c->mDraws, 1);
  EXPECT_EQ(hidden->mDraws, 0);
  EXPECT_TRUE(hidden->IsDirty());

  CleanAll();
  b->SetDirty(false);
  mGraphics->Draw(&r);  // only b's neighbourhood
  EXPECT_EQ(bg->mDraws, 2);
  EXPECT_EQ(a->mDraws, 2);
  EXPECT_EQ(b->mDraws, 2);
  EXPECT_EQ(far->mDraws, 1);
  EXPECT_EQ(*mGraphics->GetDrawRECT(), IRECT(5, 5, 15, 15));
}

TEST_F(SurfaceTest, ParameterBindingBothWays)
{
  SpyControl* a = AddSpy(IRECT(0, 0, 10, 10), 0, "A");
  SpyControl* twin = AddSpy(IRECT(10, 0, 20, 10), 0, "twin");
  SpyControl* other = AddSpy(IRECT(20, 0, 30, 10), 2, "other");
  SpyControl* free = AddSpy(IRECT(30, 0, 40, 10), -1, "free");
  Attach();
  // Attaching pushed each parameter's value, which became each control's default.
  EXPECT_DOUBLE_EQ(a->GetDefaultValue(), mPlug.GetParam(0)->GetNormalized());
  EXPECT_DOUBLE_EQ(other->GetValue(), mPlug.GetParam(2)->GetNormalized());
  EXPECT_EQ(free->GetDefaultValue(), -1.0);
  EXPECT_NE(mGraphics->GetDrawBitmap(), nullptr);

  mGraphics->SetParameterFromPlug(0, 0.25, true);
  EXPECT_EQ(a->GetValue(), 0.25);
  EXPECT_EQ(twin->GetValue(), 0.25);
  mGraphics->SetParameterFromPlug(0, 0.0, false);  // plain: through the parameter
  EXPECT_DOUBLE_EQ(a->GetValue(), mPlug.GetParam(0)->GetNormalized(0.0));
  mGraphics->SetParameterFromPlug(2, 3.0, false);
  EXPECT_DOUBLE_EQ(other->GetValue(), 1.0);

  mGraphics->SetControlFromPlug(3, 0.6);
  EXPECT_EQ(free->GetValue(), 0.6);
  mGraphics->SetControlFromPlug(-1, 0.1);
  mGraphics->SetControlFromPlug(4, 0.1);
  EXPECT_TRUE(Log().empty());  // nothing goes back to the plug-in

  mGraphics->HideControl(0, true);
  EXPECT_TRUE(a->IsHidden() && twin->IsHidden());
  EXPECT_FALSE(other->IsHidden());
  mGraphics->GrayOutControl(2, true);
  EXPECT_TRUE(other->IsGrayed());
  CleanAll();
  mGraphics->SetAllControlsDirty();
  for (SpyControl* c : { a, twin, other, free }) EXPECT_TRUE(c->IsDirty());
  EXPECT_TRUE(Log().empty());
}

TEST_F(SurfaceTest, BackgroundIsInsertedFirst)
{
  mGraphics->mLoader = [](const std::string&) { return (PIX_IBitmap*)MakeTestOpaque(64, 48); };
  SpyControl* a = AddSpy(IRECT(0, 0, 10, 10), -1, "A");
  SpyControl* b = AddSpy(IRECT(0, 0, 10, 10), -1, "B");
  SpyControl* c = AddSpy(IRECT(0, 0, 10, 10), -1, "C");
  mGraphics->AttachBackground(9101, "bg.png");
  ASSERT_EQ(mGraphics->NControls(), 4);
  IControl* bg = mGraphics->GetControl(0);
  EXPECT_EQ(*bg->GetRECT(), IRECT(0, 0, 64, 48));
  EXPECT_EQ(bg->GetBlend()->mMethod, IChannelBlend::kBlendClobber);
  EXPECT_EQ(bg->ParamIdx(), -1);
  EXPECT_EQ(mGraphics->GetControl(1), a);
  EXPECT_EQ(mGraphics->GetControl(2), b);
  EXPECT_EQ(mGraphics->GetControl(3), c);
  EXPECT_EQ(mGraphics->GetControl(4), nullptr);
  IGraphicsPix::FreeBitmapCache();
}

TEST_F(SurfaceTest, ResizeDeletesTheControlsLastFirst)
{
  SpyControl* a = AddSpy(IRECT(0, 0, 10, 10), 0, "A");
  AddSpy(IRECT(10, 0, 20, 10), -1, "B")->mLogDelete = true;
  a->mLogDelete = true;
  Attach();
  mGraphics->OnMouseDown(5, 5, &mNoMod);
  mGraphics->Resize(100, 50);
  EXPECT_EQ(Log(), Strings({ "down A 5 5", "begin 0", "end 0", "delete B", "delete A", "resize 100 50" }));
  EXPECT_EQ(mGraphics->NControls(), 0);
  EXPECT_EQ(mGraphics->Width(), 100);
  EXPECT_EQ(mGraphics->Height(), 50);
  EXPECT_EQ(mGraphics->GetMouseCapture(), -1);
  mGraphics->OnMouseUp(5, 5, &mNoMod);  // the gesture already ended
  mGraphics->OnMouseOver(5, 5, &mNoMod);
  EXPECT_EQ(Log().size(), 6u);
}

TEST(Surface, FramesPerSecondAndDefaults)
{
  FakePlug plug;
  for (auto [given, expected] : { std::pair{ 0, 24 }, { -5, 24 }, { 30, 30 }, { 1, 1 } })
  {
    TestGraphics g(&plug, 800, 400, given);
    EXPECT_EQ(g.FPS(), expected);
    EXPECT_EQ(g.Width(), 800);
    EXPECT_EQ(g.Height(), 400);
    EXPECT_EQ(g.GetPlug(), &plug);
    EXPECT_TRUE(g.IsStrict());
  }
}

// What the framework itself does about the window: WindowIsOpen asks the platform's GetWindow
// each time (it keeps no state of its own), and the two-argument open (a pane in a host's
// control) opens nothing unless a platform surface provides it.
TEST(Surface, WindowIsOpenAsksThePlatformAndThePaneOpenIsNothingByDefault)
{
  class WindowSurface : public TestGraphics
  {
  public:
    using TestGraphics::TestGraphics;
    void* mPlatformWindow = nullptr;
    int mOpens = 0;
    void* GetWindow() override { return mPlatformWindow; }
    void* OpenWindow(void*) override
    {
      ++mOpens;
      return nullptr;
    }
  };
  FakePlug plug;
  WindowSurface g(&plug);
  IGraphics& surface = g;
  int window = 0, control = 0;
  EXPECT_FALSE(surface.WindowIsOpen());
  for (void* platform : { (void*)&window, (void*)nullptr, (void*)&control, (void*)nullptr })
  {
    g.mPlatformWindow = platform;
    EXPECT_EQ(surface.WindowIsOpen(), platform != nullptr);
  }

  EXPECT_EQ(surface.OpenWindow(&window, &control), nullptr);
  EXPECT_EQ(g.mOpens, 0) << "the pane open is not the view open";
  EXPECT_FALSE(surface.WindowIsOpen());
}

TEST(Surface, TheSurfaceGoesWithThePlugInAndTakesItsControls)
{
  std::vector<std::string> deletions;
  {
    FakePlug plug;
    TestGraphics* g = new TestGraphics(&plug);
    for (const char* name : { "A", "B" })
    {
      SpyControl* c = new SpyControl(&plug, IRECT(0, 0, 1, 1), -1, &deletions, name);
      c->mLogDelete = true;
      g->AttachControl(c);
    }
    plug.AttachGraphics(g);
    EXPECT_EQ(plug.GetGUI(), g);
  }
  EXPECT_EQ(deletions, Strings({ "delete B", "delete A" }));
}
