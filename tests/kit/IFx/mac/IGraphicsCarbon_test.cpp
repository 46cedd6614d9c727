// The editor as a Carbon user pane: set-up in composited and non-composited windows, the timer at
// 2 / fps, drawing with and without a region, the content offset, mouse and wheel events, Resize,
// and the free functions; the host closing the editor from its own handler, gestures and panes
// across closes, sizes that do not fit a window, the control events taken and left.

#include <climits>

#include <Carbon/testkit.h>

#include "IGraphicsCarbon.h"
#include "MacSurfaceFixture.h"
#include "pix_bitmap.h"

class CarbonPaneTest : public MacSurfaceTest
{
protected:
  IGraphicsCarbon* Open(bool composited, int windowW = 800, int windowH = 400)
  {
    Attach();
    mWindow = CarbonTestKit::NewWindow(windowW, windowH, composited);
    CarbonTestKit::ClearCalls();
    mPane = (ControlRef)mGraphics->OpenWindow(mWindow);
    return mGraphics->GetCarbonHost();
  }
  ~CarbonPaneTest() override
  {
    if (mGraphics) mGraphics->CloseWindow();
    if (mWindow) DisposeWindow(mWindow);
  }

  bool CallsContain(const std::string& call)
  {
    for (const std::string& c : CarbonTestKit::Calls())
      if (c == call) return true;
    return false;
  }

  WindowRef mWindow = nullptr;
  ControlRef mPane = nullptr;
};

TEST_F(CarbonPaneTest, CompositedSetUp)
{
  IGraphicsCarbon* host = Open(true);
  ASSERT_NE(host, nullptr);
  EXPECT_TRUE(host->IsComposited());
  EXPECT_EQ(host->GetView(), mPane);
  const CarbonTestKit::UserPaneRequest req = CarbonTestKit::LastUserPane();
  EXPECT_TRUE(req.made);
  EXPECT_EQ(req.features, 0x12000026u);
  EXPECT_EQ(req.bounds.top, 0);
  EXPECT_EQ(req.bounds.left, 0);
  EXPECT_EQ(req.bounds.bottom, 400);
  EXPECT_EQ(req.bounds.right, 800);
  HIViewRef content = nullptr;
  ASSERT_EQ(HIViewFindByID(HIViewGetRoot(mWindow), kHIViewWindowContentID, &content), noErr);
  EXPECT_EQ(CarbonTestKit::Parent(mPane), content);
  EXPECT_TRUE(CallsContain("SizeControl 800 400"));
}

TEST_F(CarbonPaneTest, NonCompositedSetUpMakesTheRootControl)
{
  ControlRef root = nullptr;
  Attach();
  mWindow = CarbonTestKit::NewWindow(800, 400, false);
  ASSERT_NE(GetRootControl(mWindow, &root), noErr);
  mPane = (ControlRef)mGraphics->OpenWindow(mWindow);
  IGraphicsCarbon* host = mGraphics->GetCarbonHost();
  ASSERT_NE(host, nullptr);
  EXPECT_FALSE(host->IsComposited());
  EXPECT_EQ(CarbonTestKit::LastUserPane().features, 0x26u);
  ASSERT_EQ(GetRootControl(mWindow, &root), noErr);
  EXPECT_EQ(CarbonTestKit::Parent(mPane), root);
  EXPECT_TRUE(CarbonTestKit::IsEmbedded(mPane));
}

TEST_F(CarbonPaneTest, AParentControlIsUsedWhenGiven)
{
  Attach();
  mWindow = CarbonTestKit::NewWindow(800, 400, true);
  HIViewRef content = nullptr;
  HIViewFindByID(HIViewGetRoot(mWindow), kHIViewWindowContentID, &content);
  ControlRef holder = nullptr;
  Rect r = { 0, 0, 400, 800 };
  ASSERT_EQ(CreateUserPaneControl(mWindow, &r, kControlSupportsEmbedding, &holder), noErr);
  mPane = (ControlRef)mGraphics->OpenWindow(mWindow, holder);
  EXPECT_EQ(CarbonTestKit::Parent(mPane), holder);
}

// The timer asks only for the dirty area; the composited pane's coordinates are the editor's.
TEST_F(CarbonPaneTest, TheTimerRunsAtHalfTheFrameRateAndMarksTheDirtyArea)
{
  PaintSpy* spy = AddSpy(IRECT(100, 50, 150, 80), 0, "A");
  Open(true);
  CarbonTestKit::Update(mWindow);
  CleanAll();
  spy->mIdles = 0;
  FoundationTestKit::RunFor(21 * 2.0 / 30 + 0.01);  // 22 ticks from the first at once: one idle run
  EXPECT_EQ(spy->mIdles, 1);

  mGraphics->SetParameterFromPlug(0, 0.25, true);
  FoundationTestKit::RunFor(2.0 / 30);
  HIRect r;
  ASSERT_TRUE(CarbonTestKit::NeedsDisplayRect(mPane, &r));
  EXPECT_TRUE(NSEqualRects(r, CGRectMake(100, 50, 50, 30)));
}

TEST_F(CarbonPaneTest, NonCompositedTimerUpdatesTheControls)
{
  AddSpy(IRECT(0, 0, 10, 10), 0, "A");
  Open(false);
  CarbonTestKit::ClearCalls();
  mGraphics->SetParameterFromPlug(0, 0.25, true);
  FoundationTestKit::RunFor(2.0 / 30);
  EXPECT_TRUE(CallsContain("UpdateControls all"));
}

// A draw event without a region draws the whole editor once, through a context flipped so that
// editor row 0 is the pane's top.
TEST_F(CarbonPaneTest, CompositedDrawWithoutARegionShowsTheBackBufferUpright)
{
  PaintSpy* top = AddSpy(IRECT(0, 0, 800, 10), -1, "top", COLOR_RED);
  AddSpy(IRECT(0, 10, 800, 400), -1, "rest", COLOR_BLUE);
  Open(true);
  EXPECT_EQ(CarbonTestKit::Draw(mPane, nullptr), noErr);
  ASSERT_EQ(top->mPasses.size(), 1u);
  EXPECT_EQ(top->mPasses[0], IRECT(0, 0, 800, 400));
  EXPECT_EQ(CarbonTestKit::WindowPixel(mWindow, 5, 0) & 0xffffff, RGBOf(COLOR_RED));
  EXPECT_EQ(CarbonTestKit::WindowPixel(mWindow, 5, 9) & 0xffffff, RGBOf(COLOR_RED));
  EXPECT_EQ(CarbonTestKit::WindowPixel(mWindow, 5, 10) & 0xffffff, RGBOf(COLOR_BLUE));
  EXPECT_EQ(CarbonTestKit::WindowPixel(mWindow, 799, 399) & 0xffffff, RGBOf(COLOR_BLUE));
  EXPECT_EQ(mGraphics->GetCarbonHost()->GetCGContext(), nullptr) << "only during the draw event";
}

TEST_F(CarbonPaneTest, CompositedDrawWithARegionDrawsThatArea)
{
  PaintSpy* spy = AddSpy(IRECT(0, 0, 800, 400), -1, "all");
  Open(true);
  const Rect region = { 20, 10, 60, 110 };  // top, left, bottom, right
  EXPECT_EQ(CarbonTestKit::Draw(mPane, &region), noErr);
  ASSERT_EQ(spy->mPasses.size(), 1u);
  EXPECT_EQ(spy->mPasses[0], IRECT(10, 20, 110, 60));
}

// In a port the image is placed by the content offset: the pane at the top of a taller window.
TEST_F(CarbonPaneTest, NonCompositedDrawPutsTheEditorAtTheTopOfThePort)
{
  AddSpy(IRECT(0, 0, 800, 10), -1, "top", COLOR_RED);
  PaintSpy* rest = AddSpy(IRECT(0, 10, 800, 400), -1, "rest", COLOR_BLUE);
  Open(false, 800, 500);
  const Rect content = { 0, 0, 500, 800 };
  EXPECT_EQ(CarbonTestKit::Draw(mPane, &content), noErr);
  EXPECT_EQ(CarbonTestKit::WindowPixel(mWindow, 5, 0) & 0xffffff, RGBOf(COLOR_RED));
  EXPECT_EQ(CarbonTestKit::WindowPixel(mWindow, 5, 10) & 0xffffff, RGBOf(COLOR_BLUE));
  EXPECT_EQ(CarbonTestKit::WindowPixel(mWindow, 5, 399) & 0xffffff, RGBOf(COLOR_BLUE));
  EXPECT_EQ(CarbonTestKit::WindowPixel(mWindow, 5, 400) & 0xffffff, 0u) << "below the editor";
  CGRect r = CGRectMake(0, 0, 800, 400);
  mGraphics->GetCarbonHost()->OffsetContentRect(&r);
  EXPECT_TRUE(NSEqualRects(r, CGRectMake(0, 100, 800, 400)));

  // The region's left stays, its other edges are dropped: the dirty controls decide the area.
  rest->mPasses.clear();
  CleanAll();
  rest->SetDirty(false);
  const Rect region = { 50, 30, 60, 40 };
  rest->mColor = COLOR_GREEN;
  CarbonTestKit::Draw(mPane, &region);
  ASSERT_EQ(rest->mPasses.size(), 1u);
  EXPECT_EQ(rest->mPasses[0], IRECT(0, 0, 800, 400));
  // A partial update leaves the editor where it was, at the top of the port.
  mGraphics->GetCarbonHost()->OffsetContentRect(&(r = CGRectMake(0, 0, 800, 400)));
  EXPECT_TRUE(NSEqualRects(r, CGRectMake(0, 100, 800, 400)));
  EXPECT_EQ(CarbonTestKit::WindowPixel(mWindow, 35, 55) & 0xffffff, RGBOf(COLOR_GREEN));
  EXPECT_EQ(CarbonTestKit::WindowPixel(mWindow, 35, 5) & 0xffffff, RGBOf(COLOR_RED));
}

TEST_F(CarbonPaneTest, MouseEventsModifiersAndClickCounts)
{
  AddSpy(IRECT(0, 0, 800, 400), -1, "A");
  Open(true);
  EXPECT_EQ(CarbonTestKit::MouseDown(mWindow, 10.7, 20.9, 0, 1), noErr);
  EXPECT_EQ(CarbonTestKit::MouseDragged(mWindow, 12, 24, 0), noErr);
  EXPECT_EQ(CarbonTestKit::MouseUp(mWindow, 12, 24, 0), noErr);
  EXPECT_EQ(CarbonTestKit::MouseDown(mWindow, 10, 20, 0, 2), noErr);
  EXPECT_EQ(CarbonTestKit::MouseUp(mWindow, 10, 20, 0), noErr);
  mGraphics->SetHandleMouseOver(true);
  EXPECT_EQ(CarbonTestKit::MouseMoved(mWindow, 30, 40, 0), noErr);
  EXPECT_EQ(Log(), Strings({ "down A 10 20", "drag A 2 4", "up A", "dbl A", "up A", "over A" }))
    << "no flip: the pane's coordinates run downwards like the editor's";

  Log().clear();
  EXPECT_EQ(CarbonTestKit::Wheel(mWindow, 5, 5, 0, kEventMouseWheelAxisY, -3), noErr);
  EXPECT_EQ(CarbonTestKit::Wheel(mWindow, 5, 5, 0, kEventMouseWheelAxisX, 4), eventNotHandledErr);
  EXPECT_EQ(Log(), Strings({ "wheel A -3" })) << "the horizontal axis reaches no control";

  Log().clear();
  EXPECT_EQ(CarbonTestKit::Key(mWindow, 12, 0), eventNotHandledErr);
  EXPECT_TRUE(Log().empty());
}

namespace
{
class ModLog : public SpyControl
{
public:
  using SpyControl::SpyControl;
  void OnMouseDown(int x, int y, IMouseMod* pMod) override
  {
    mMod = *pMod;
    SpyControl::OnMouseDown(x, y, pMod);
  }
  IMouseMod mMod;
};

// Installed before the pane, so it is next in the chain: notes when the pane passed the event on.
OSStatus NoteNext(EventHandlerCallRef, EventRef, void* log)
{
  ((std::vector<std::string>*)log)->push_back("next handler");
  return eventNotHandledErr;
}
}  // namespace

TEST_F(CarbonPaneTest, ModifierTableAndTheDoubleClickPassedOnFirst)
{
  ModLog* spy = new ModLog(&mPlug, IRECT(0, 0, 800, 400), -1, &mPlug.mLog, "A");
  mGraphics->AttachControl(spy);
  Attach();
  mWindow = CarbonTestKit::NewWindow(800, 400, true);
  const EventTypeSpec down = { kEventClassMouse, kEventMouseDown };
  EventHandlerRef next = nullptr;
  InstallEventHandler(GetWindowEventTarget(mWindow), NewEventHandlerUPP(NoteNext), 1, &down, &mPlug.mLog, &next);
  mPane = (ControlRef)mGraphics->OpenWindow(mWindow);

  struct Case
  {
    UInt32 mods;
    bool R, S, C, A;
  } cases[] = {
    { 0, false, false, false, false },
    { cmdKey, true, false, false, false },
    { optionKey | shiftKey, false, true, false, true },
    { controlKey, false, false, true, false },
    { alphaLock, false, false, false, false },
    { cmdKey | shiftKey | optionKey | controlKey, true, true, true, true },
  };
  for (const Case& c : cases)
  {
    CarbonTestKit::Click(mWindow, 5, 5, c.mods);
    EXPECT_EQ(std::vector<bool>({ spy->mMod.L, spy->mMod.R, spy->mMod.S, spy->mMod.C, spy->mMod.A }),
              std::vector<bool>({ true, c.R, c.S, c.C, c.A }))
      << std::hex << c.mods;
  }
  Log().clear();
  CarbonTestKit::MouseDown(mWindow, 5, 5, 0, 2);
  EXPECT_EQ(Log(), Strings({ "next handler", "dbl A" }));
  RemoveEventHandler(next);
}

// Positions outside the pane still reach the editor, as coordinates outside it.
TEST_F(CarbonPaneTest, MouseEventsComeFromTheWholeWindow)
{
  AddSpy(IRECT(0, 0, 800, 400), -1, "A");
  Open(true, 900, 500);
  Log().clear();
  CarbonTestKit::MouseMoved(mWindow, 850, 450, 0);
  CarbonTestKit::MouseDown(mWindow, 850, 450, 0);
  EXPECT_TRUE(Log().empty()) << "no control out there";
  EXPECT_EQ(CarbonTestKit::MouseUp(mWindow, 850, 450, 0), noErr);
}

TEST_F(CarbonPaneTest, ResizeSetsTheWindowAndThePane)
{
  IGraphicsCarbon* host = Open(true);
  EXPECT_TRUE(host->Resize(600, 300));
  Rect bounds;
  ASSERT_EQ(GetWindowBounds(mWindow, kWindowContentRgn, &bounds), noErr);
  EXPECT_EQ(bounds.right - bounds.left, 600);
  EXPECT_EQ(bounds.bottom - bounds.top, 300);
  EXPECT_TRUE(NSEqualRects(CarbonTestKit::Frame(mPane), CGRectMake(0, 0, 600, 300)));

  ResizeWindow(mWindow, 700, 350);
  GetWindowBounds(mWindow, kWindowContentRgn, &bounds);
  EXPECT_EQ(bounds.right - bounds.left, 700);
  EXPECT_EQ(bounds.bottom - bounds.top, 350);
}

// Closing removes the handlers and the timer first, then the pane: nothing reaches it afterwards.
TEST_F(CarbonPaneTest, ClosingRemovesTheHandlersAndTheTimer)
{
  AddSpy(IRECT(0, 0, 800, 400), 0, "A");
  const CarbonTestKit::LiveCounts before = CarbonTestKit::Live();
  Open(true);
  const ControlRef pane = mPane;
  mGraphics->CloseWindow();
  const CarbonTestKit::LiveCounts after = CarbonTestKit::Live();
  EXPECT_EQ(after.handlers, before.handlers);
  EXPECT_EQ(after.timers, before.timers);
  EXPECT_EQ(after.regions, before.regions);
  Log().clear();
  mGraphics->SetParameterFromPlug(0, 0.25, true);
  FoundationTestKit::RunFor(0.5);
  EXPECT_EQ(CarbonTestKit::MouseDown(mWindow, 5, 5, 0), eventNotHandledErr);
  EXPECT_EQ(CarbonTestKit::Draw(pane, nullptr), paramErr) << "the pane went with the editor";
  EXPECT_TRUE(Log().empty());
}

TEST(CarbonFreeFunctions, EventRegionAndControlRects)
{
  EventRef e = nullptr;
  ASSERT_EQ(CreateEvent(nullptr, kEventClassControl, kEventControlDraw, 0, 0, &e), noErr);
  EXPECT_EQ(EventRegionRect(e, 800, 400), IRECT(0, 0, 800, 400));
  EXPECT_EQ(GetControlRect(e, 800, 400), IRECT(0, 0, 800, 400));

  RgnHandle rgn = NewRgn();
  const Rect rr = { 5, 6, 50, 70 };
  RectRgn(rgn, &rr);
  SetEventParameter(e, kEventParamRgnHandle, typeQDRgnHandle, sizeof(rgn), &rgn);
  EXPECT_EQ(EventRegionRect(e, 800, 400), IRECT(6, 5, 70, 50));

  struct Case
  {
    Rect bounds;
    IRECT expected;
  } cases[] = {
    { { 10, 20, 110, 220 }, IRECT(0, 0, 200, 100) },
    { { 10, 20, 10, 220 }, IRECT(0, 0, 800, 400) },   // no height: empty
    { { 10, 20, 110, 20 }, IRECT(0, 0, 800, 400) },   // no width
    { { 10, 20, 5, 220 }, IRECT(0, 0, 800, 400) },    // upside down
  };
  for (const Case& c : cases)
  {
    SetEventParameter(e, kEventParamCurrentBounds, typeQDRectangle, sizeof(Rect), &c.bounds);
    EXPECT_EQ(GetControlRect(e, 800, 400), c.expected);
  }
  ReleaseEvent(e);
  DisposeRgn(rgn);
}

// ----- The host closing the editor, gestures, panes over many opens, sizes -----

namespace
{
// A host's own handler on the window, installed before the editor opens, so the pane passes a
// press on to it: it closes the editor (a click on the host's close box), or closes it and opens
// it again in the same window.
struct HostCloser
{
  IGraphicsMac* mGraphics;
  bool mReopen;
  int mCalls = 0;
};

OSStatus CloseTheEditor(EventHandlerCallRef, EventRef, void* p)
{
  HostCloser* host = (HostCloser*)p;
  ++host->mCalls;
  WindowRef window = GetControlOwner(host->mGraphics->GetCarbonHost()->GetView());
  host->mGraphics->CloseWindow();
  if (host->mReopen) host->mGraphics->OpenWindow(window);
  return noErr;
}
}  // namespace

// The pane the press came to is gone when the event comes back: nothing more is read of it, and
// the press reaches no control (not even one of a pane opened meanwhile).
TEST_F(CarbonPaneTest, AHostHandlerThatClosesTheEditorOnAPress)
{
  AddSpy(IRECT(0, 0, 800, 400), 0, "A");
  Attach();
  mWindow = CarbonTestKit::NewWindow(800, 400, true);
  for (bool reopen : { false, true })
  {
    HostCloser host = { mGraphics, reopen };
    const EventTypeSpec down = { kEventClassMouse, kEventMouseDown };
    EventHandlerRef closer = nullptr;
    ASSERT_EQ(InstallEventHandler(GetWindowEventTarget(mWindow), NewEventHandlerUPP(CloseTheEditor), 1, &down, &host,
                                  &closer), noErr);
    mPane = (ControlRef)mGraphics->OpenWindow(mWindow);
    ASSERT_NE(mPane, nullptr);
    Log().clear();
    EXPECT_EQ(CarbonTestKit::MouseDown(mWindow, 5, 5, 0), noErr) << reopen;
    EXPECT_EQ(host.mCalls, 1);
    EXPECT_TRUE(Log().empty()) << reopen;
    EXPECT_EQ(mGraphics->GetMouseCapture(), -1);
    EXPECT_EQ(mGraphics->WindowIsOpen(), reopen);
    RemoveEventHandler(closer);
    mGraphics->CloseWindow();
  }
}

// A press on a control bound to a parameter, then the editor closes before the release: the host
// hears the gesture end once, whatever comes after.
TEST_F(CarbonPaneTest, ClosingWithAPressHeldEndsTheGestureOnce)
{
  AddSpy(IRECT(0, 0, 800, 400), 2, "A");
  Open(true);
  Log().clear();
  CarbonTestKit::MouseDown(mWindow, 5, 5, 0);
  EXPECT_EQ(Log(), Strings({ "down A 5 5", "begin 2" }));
  mGraphics->CloseWindow();
  mGraphics->CloseWindow();
  EXPECT_EQ(mGraphics->GetMouseCapture(), -1);
  mGraphics->OnMouseUp(5, 5, nullptr);  // a release that still found its way to the surface
  EXPECT_EQ(Log(), Strings({ "down A 5 5", "begin 2", "end 2", "up A" }));
}

// A host that keeps its window: every close takes the pane out of it and disposes of it.
TEST_F(CarbonPaneTest, AWindowReusedForManyOpensKeepsOnlyItsOwnControls)
{
  Attach();
  for (bool composited : { true, false })
  {
    WindowRef window = CarbonTestKit::NewWindow(800, 400, composited);
    ControlRef root = nullptr;
    if (!composited) CreateRootControl(window, &root);
    const int before = CarbonTestKit::Live().controls;
    for (int i = 0; i < 100; ++i)
    {
      ControlRef pane = (ControlRef)mGraphics->OpenWindow(window);
      ASSERT_NE(pane, nullptr);
      ASSERT_EQ(CarbonTestKit::Live().controls, before + 1);
      mGraphics->CloseWindow();
      ASSERT_EQ(CarbonTestKit::Live().controls, before) << composited << " cycle " << i;
      ASSERT_EQ(GetControlOwner(pane), nullptr) << "disposed of";
    }
    DisposeWindow(window);
  }
}

// A host that disposes of its window (and with it the pane) before it closes the editor: the close
// lets go of handles that are gone already and leaves nothing behind.
TEST_F(CarbonPaneTest, TheHostDisposingItsWindowBeforeTheClose)
{
  AddSpy(IRECT(0, 0, 800, 400), 0, "A");
  const CarbonTestKit::LiveCounts before = CarbonTestKit::Live();
  Open(true);
  CarbonTestKit::MouseDown(mWindow, 5, 5, 0);
  DisposeWindow(mWindow);
  mWindow = nullptr;
  Log().clear();
  mGraphics->CloseWindow();
  EXPECT_EQ(Log(), Strings({ "end 0" }));
  const CarbonTestKit::LiveCounts after = CarbonTestKit::Live();
  EXPECT_EQ(after.windows, before.windows);
  EXPECT_EQ(after.controls, before.controls);
  EXPECT_EQ(after.handlers, before.handlers);
  EXPECT_EQ(after.timers, before.timers);
  EXPECT_EQ(after.regions, before.regions);
}

// Window sizes are 16-bit: a size whose window edge does not fit is refused, and nothing changes.
TEST_F(CarbonPaneTest, SizesThatDoNotFitTheWindowAreRefused)
{
  IGraphicsCarbon* host = Open(true);
  // The content's left and top edges are at 100: an edge past 32767 does not fit.
  struct Case
  {
    int w, h;
    bool fits;
  } cases[] = {
    { 40000, 300, false }, { 300, 40000, false }, { 65536 + 600, 300, false }, { 32668, 300, false },
    { 300, 32668, false }, { -1, 300, false },    { 300, -600, false },         { INT_MIN, 300, false },
    { 32667, 300, true },  { 600, 32667, true },  { 600, 300, true },
  };
  for (const Case& c : cases)
  {
    ASSERT_TRUE(host->Resize(800, 400));
    EXPECT_EQ(host->Resize(c.w, c.h), c.fits) << c.w << " x " << c.h;
    Rect bounds;
    ASSERT_EQ(GetWindowBounds(mWindow, kWindowContentRgn, &bounds), noErr);
    const HIRect frame = CarbonTestKit::Frame(mPane);
    const int expectW = c.fits ? c.w : 800, expectH = c.fits ? c.h : 400;
    EXPECT_EQ(bounds.right - bounds.left, expectW) << c.w << " x " << c.h;
    EXPECT_EQ(bounds.bottom - bounds.top, expectH) << c.w << " x " << c.h;
    EXPECT_TRUE(NSEqualRects(frame, CGRectMake(0, 0, expectW, expectH))) << c.w << " x " << c.h;
  }

  // Through the surface: refused before the controls or the back buffer change.
  ASSERT_TRUE(host->Resize(800, 400));
  AddSpy(IRECT(0, 0, 10, 10), -1, "kept");
  const int controls = mGraphics->NControls();
  Log().clear();
  mGraphics->Resize(40000, 300);
  EXPECT_EQ(mGraphics->Width(), 800);
  EXPECT_EQ(mGraphics->NControls(), controls);
  EXPECT_EQ(mGraphics->GetDrawBitmap()->getWidth(), 800);
  EXPECT_TRUE(Log().empty()) << "the plug-in is not asked for new controls";
  mGraphics->Resize(600, 300);
  EXPECT_EQ(Log(), Strings({ "resize 600 300" }));
  EXPECT_TRUE(NSEqualRects(CarbonTestKit::Frame(mPane), CGRectMake(0, 0, 600, 300)));
}

// A surface too large for a Carbon window gets no pane: nothing is made and nothing changes.
TEST(CarbonPaneSizes, ASurfaceLargerThanAWindowCanBeGetsNoPane)
{
  FakePlug plug;
  WindowRef window = CarbonTestKit::NewWindow(800, 400, true);
  const int controls = CarbonTestKit::Live().controls;
  for (const auto& size : { std::make_pair(40000, 300), std::make_pair(300, 40000), std::make_pair(-5, 300) })
  {
    IGraphicsMac graphics(&plug, size.first, size.second, 30);
    EXPECT_EQ(graphics.OpenWindow(window), nullptr) << size.first << " x " << size.second;
    EXPECT_FALSE(graphics.WindowIsOpen());
    EXPECT_EQ(CarbonTestKit::Live().controls, controls);
  }
  DisposeWindow(window);
}

// The pane's control events: a draw is drawn; a dispose (1001) and a bounds change (154) are
// taken and do nothing; a click (13) and any other kind are left to the next handler.
TEST_F(CarbonPaneTest, ControlEventsTakenAndLeft)
{
  PaintSpy* spy = AddSpy(IRECT(0, 0, 800, 400), -1, "A");
  Open(true);
  struct Case
  {
    UInt32 kind;
    OSStatus answer;
  } cases[] = {
    { kEventControlClick, eventNotHandledErr },        // 13
    { kEventControlDispose, noErr },                   // 1001
    { kEventControlBoundsChanged, noErr },             // 154
  };
  static_assert(kEventControlClick == 13 && kEventControlDispose == 1001 && kEventControlBoundsChanged == 154, "");
  for (const Case& c : cases)
  {
    EventRef e = nullptr;
    ASSERT_EQ(CreateEvent(nullptr, kEventClassControl, c.kind, 0, 0, &e), noErr);
    SetEventParameter(e, kEventParamDirectObject, typeControlRef, sizeof(mPane), &mPane);
    Log().clear();
    const int draws = spy->mDraws;
    EXPECT_EQ(SendEventToEventTarget(e, GetControlEventTarget(mPane)), c.answer) << c.kind;
    ReleaseEvent(e);
    EXPECT_TRUE(Log().empty()) << c.kind;
    EXPECT_EQ(spy->mDraws, draws) << c.kind;
    EXPECT_EQ(GetControlOwner(mPane), mWindow) << c.kind;
  }
}

// A pane that cannot go into its parent (one of another window) is left as it was made: never sized.
TEST_F(CarbonPaneTest, AFailedEmbeddingLeavesThePaneUnsized)
{
  Attach();
  for (bool composited : { true, false })
  {
    WindowRef other = CarbonTestKit::NewWindow(300, 200, composited);
    ControlRef foreignParent = nullptr;
    const Rect r = { 0, 0, 200, 300 };
    ASSERT_EQ(CreateUserPaneControl(other, &r, kControlSupportsEmbedding, &foreignParent), noErr);
    WindowRef window = CarbonTestKit::NewWindow(800, 400, composited);
    CarbonTestKit::ClearCalls();
    ControlRef pane = (ControlRef)mGraphics->OpenWindow(window, foreignParent);
    ASSERT_NE(pane, nullptr);
    EXPECT_NE(CarbonTestKit::Parent(pane), foreignParent) << composited;
    bool sized = false;
    for (const std::string& call : CarbonTestKit::Calls()) sized |= call.rfind("SizeControl", 0) == 0;
    EXPECT_FALSE(sized) << composited;
    mGraphics->CloseWindow();
    DisposeWindow(window);
    DisposeWindow(other);
  }
}

// Resize answers false without a window or without a pane, and then leaves the window alone.
TEST(CarbonPaneSizes, ResizeWithoutAWindowOrAPaneAnswersFalse)
{
  FakePlug plug;
  IGraphicsMac graphics(&plug, 800, 400, 30);
  IGraphicsCarbon noWindow(&graphics, nullptr, nullptr);
  EXPECT_EQ(noWindow.GetView(), nullptr);
  EXPECT_FALSE(noWindow.Resize(600, 300));

  // A pane that could not be made (a surface of no size a control can have): the window stays.
  WindowRef window = CarbonTestKit::NewWindow(800, 400, true);
  IGraphicsMac empty(&plug, -10, -10, 30);
  {
    IGraphicsCarbon noPane(&empty, window, nullptr);
    ASSERT_EQ(noPane.GetView(), nullptr);
    CarbonTestKit::ClearCalls();
    EXPECT_FALSE(noPane.Resize(600, 300));
    Rect bounds;
    ASSERT_EQ(GetWindowBounds(window, kWindowContentRgn, &bounds), noErr);
    EXPECT_EQ(bounds.right - bounds.left, 800);
    EXPECT_EQ(bounds.bottom - bounds.top, 400);
    EXPECT_TRUE(CarbonTestKit::Calls().empty());
  }
  DisposeWindow(window);
}
