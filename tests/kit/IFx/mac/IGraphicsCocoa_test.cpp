// The editor's Cocoa view: the y flip of clicks and of the timer's rectangle, modifiers, click
// counts, the wheel, the repaint loop on the virtual clock (in AppKit's event-tracking mode too),
// presses passed up the responder chain first, events after the editor closed, and a gesture held
// across a close.

#include "IGraphicsCocoa.h"
#include "MacSurfaceFixture.h"
#include "pix_bitmap.h"

namespace
{
// A spy that notes the modifiers of every press.
class ModSpy : public PaintSpy
{
public:
  using PaintSpy::PaintSpy;
  void OnMouseDown(int x, int y, IMouseMod* pMod) override
  {
    mMods.push_back(*pMod);
    PaintSpy::OnMouseDown(x, y, pMod);
  }
  std::vector<IMouseMod> mMods;
};
}  // namespace

// An 800 x 400 editor in the content view of a window of its size, at the content's origin, so
// view and window coordinates agree.
class CocoaViewTest : public MacSurfaceTest
{
protected:
  void Open(int windowW = 800, int windowH = 400, NSPoint origin = NSMakePoint(0, 0))
  {
    Attach();
    mWindow = AppKitTestKit::NewWindow(windowW, windowH);
    mView = static_cast<IGraphicsCocoa_v1002*>((id)mGraphics->OpenWindow(mWindow->contentView()));
    mView->setFrameOrigin(origin);
  }
  ~CocoaViewTest() override
  {
    if (mGraphics) mGraphics->CloseWindow();
    if (mWindow) mWindow->release();
  }

  // At least one tick of the repaint timer and the paint that follows, on the virtual clock (a
  // run covers [start, end): a tick due at the end comes with the next run).
  void Tick() { FoundationTestKit::RunFor(1.5 / 30.0); }

  NSWindow* mWindow = nil;
  IGraphicsCocoa_v1002* mView = nil;
};

TEST_F(CocoaViewTest, ViewSettings)
{
  Open();
  EXPECT_TRUE(mView->isOpaque());
  EXPECT_TRUE(mView->acceptsFirstResponder());
  EXPECT_TRUE(mView->acceptsFirstMouse(nil));
  EXPECT_FALSE(mView->isFlipped());
  EXPECT_EQ(mWindow->firstResponder(), mView) << "the view takes the keyboard when it joins a window";
  EXPECT_TRUE(mWindow->acceptsMouseMovedEvents());
  EXPECT_EQ(mView->mTimer->timeInterval(), 1.0 / 30.0);
  IGraphicsCocoa_v1002* bare = (new IGraphicsCocoa_v1002)->init();
  EXPECT_EQ(bare->mGraphics, nullptr);
  EXPECT_EQ(bare->mTimer, nil);
  bare->release();
}

TEST_F(CocoaViewTest, ClicksAreFlippedAndTruncated)
{
  AddSpy(IRECT(0, 0, 800, 400), -1, "A");
  Open();
  struct Case
  {
    double x, y;
    const char* logged;
  } cases[] = {
    { 10.7, 389.2, "down A 10 11" },
    { 0.0, 399.9, "down A 0 1" },
    { 799.5, 1.5, "down A 799 399" },  // the bottom row
    { 5.0, 0.5, "" },                  // y 400: below the editor, no control there
    { 400.0, 200.0, "down A 400 200" },
  };
  for (const Case& c : cases)
  {
    Log().clear();
    AppKitTestKit::MouseDown(mWindow, c.x, c.y);
    AppKitTestKit::MouseUp(mWindow, c.x, c.y);
    EXPECT_EQ(Log().empty() ? "" : Log()[0], c.logged);
  }
}

TEST_F(CocoaViewTest, ModifierTable)
{
  struct Case
  {
    NSUInteger flags;
    IMouseMod mod;
  } cases[] = {
    { 0, IMouseMod(true) },
    { 0x8, IMouseMod(true, true) },
    { NSCommandKeyMask, IMouseMod(true, true) },
    { NSShiftKeyMask, IMouseMod(true, false, true) },
    { NSControlKeyMask, IMouseMod(true, false, false, true) },
    { NSAlternateKeyMask, IMouseMod(true, false, false, false, true) },
    { NSAlternateKeyMask | NSShiftKeyMask | NSCommandKeyMask, IMouseMod(true, true, true, false, true) },
    { NSAlphaShiftKeyMask | NSFunctionKeyMask | 0x7, IMouseMod(true) },
  };
  for (const Case& c : cases)
  {
    const IMouseMod m = GetCocoaMouseMod(c.flags);
    EXPECT_EQ(std::vector<bool>({ m.L, m.R, m.S, m.C, m.A }),
              std::vector<bool>({ c.mod.L, c.mod.R, c.mod.S, c.mod.C, c.mod.A }))
      << std::hex << c.flags;
  }
  // And through the window to the control.
  ModSpy* spy = new ModSpy(&mPlug, IRECT(0, 0, 800, 400), -1, &mPlug.mLog, "A", COLOR_RED);
  mGraphics->AttachControl(spy);
  Open();
  AppKitTestKit::MouseDown(mWindow, 5, 5, NSCommandKeyMask | NSShiftKeyMask);
  AppKitTestKit::MouseUp(mWindow, 5, 5);
  ASSERT_EQ(spy->mMods.size(), 1u);
  EXPECT_TRUE(spy->mMods[0].L && spy->mMods[0].R && spy->mMods[0].S && !spy->mMods[0].C && !spy->mMods[0].A);
}

TEST_F(CocoaViewTest, ClickCountsDragsMovesAndTheWheel)
{
  AddSpy(IRECT(0, 0, 800, 400), -1, "A");
  Open();
  AppKitTestKit::MouseDown(mWindow, 20, 380, 0, 1);
  AppKitTestKit::MouseDragged(mWindow, 22, 377);
  AppKitTestKit::MouseUp(mWindow, 22, 377);
  AppKitTestKit::MouseDown(mWindow, 20, 380, 0, 2);
  AppKitTestKit::MouseUp(mWindow, 20, 380, 0, 2);
  AppKitTestKit::MouseDown(mWindow, 20, 380, 0, 3);
  AppKitTestKit::MouseUp(mWindow, 20, 380, 0, 3);
  EXPECT_EQ(Log(), Strings({ "down A 20 20", "drag A 2 3", "up A", "dbl A", "up A", "dbl A", "up A" }));

  Log().clear();
  AppKitTestKit::MouseMoved(mWindow, 30, 370);
  EXPECT_TRUE(Log().empty()) << "the editor takes moves only when it asks for them";
  mGraphics->SetHandleMouseOver(true);
  AppKitTestKit::MouseMoved(mWindow, 30, 370);
  EXPECT_EQ(Log(), Strings({ "over A" }));

  struct Wheel
  {
    double deltaX, deltaY;
    const char* logged;
  } wheels[] = {
    { 0, 2.9, "wheel A 2" }, { 0, -0.5, "wheel A 0" }, { 0, -2.9, "wheel A -2" }, { 3.0, 0, "wheel A 0" },
    { 0, 1e30, "wheel A 268435456" }, { 0, -1e30, "wheel A -268435456" },  // held far, never undefined
  };
  for (const Wheel& w : wheels)
  {
    Log().clear();
    AppKitTestKit::ScrollWheel(mWindow, 30, 370, w.deltaY, w.deltaX);
    EXPECT_EQ(Log(), Strings({ w.logged })) << w.deltaY;
  }
}

TEST_F(CocoaViewTest, TheTimerAsksForTheDirtyAreaFlippedAndThePaintDrawsIt)
{
  PaintSpy* spy = AddSpy(IRECT(100, 50, 150, 80), 0, "A");
  Open();
  mView->onTimer(mView->mTimer);
  mWindow->display();  // the first paint: everything was dirty
  spy->mPasses.clear();
  AppKitTestKit::ClearPaints();

  mGraphics->SetParameterFromPlug(0, 0.25, true);
  mView->onTimer(mView->mTimer);
  EXPECT_TRUE(NSEqualRects(mView->needsDisplayRect(), NSMakeRect(100, 320, 50, 30)));
  mWindow->display();
  ASSERT_EQ(AppKitTestKit::Paints().size(), 1u);
  EXPECT_TRUE(NSEqualRects(AppKitTestKit::Paints()[0].rect, NSMakeRect(100, 320, 50, 30)));
  ASSERT_EQ(spy->mPasses.size(), 1u);
  EXPECT_EQ(spy->mPasses[0], IRECT(100, 50, 150, 80));
  EXPECT_TRUE(spy->IsDirty()) << "a value from the host is drawn once more";

  // drawRect: truncates each of x, y, w and h on its own.
  spy->mPasses.clear();
  mView->drawRect(NSMakeRect(100.9, 320.9, 50.9, 30.9));
  ASSERT_EQ(spy->mPasses.size(), 1u);
  EXPECT_EQ(spy->mPasses[0], IRECT(100, 50, 150, 80));

  // Nothing dirty, or another timer: no request.
  mView->onTimer(mView->mTimer);
  EXPECT_FALSE(mView->needsDisplay());
  mGraphics->SetParameterFromPlug(0, 0.75, true);
  NSTimer* other = NSTimer::timerWithTimeInterval(1.0, mView, selector(&IGraphicsCocoa_v1002::onTimer), nil, NO);
  mView->onTimer(other);
  EXPECT_FALSE(mView->needsDisplay());
  other->invalidate();
}

// One loop on the virtual clock: a host change dirties a control, the next tick asks for its
// rectangle, the window paints it, and the window shows exactly the back buffer.
TEST_F(CocoaViewTest, AHostChangeReachesTheWindowsPixelsOnTheNextTick)
{
  AddSpy(IRECT(0, 0, 800, 400), -1, "bg", COLOR_GRAY);
  PaintSpy* knob = AddSpy(IRECT(300, 100, 340, 140), 0, "knob", COLOR_RED);
  Open();
  Tick();
  knob->mColor = COLOR_GREEN;
  mGraphics->SetParameterFromPlug(0, 0.5, true);
  EXPECT_TRUE(knob->IsDirty());
  Tick();
  int w, h, rowBytes;
  const uint8_t* px = AppKitTestKit::WindowPixels(mWindow, &w, &h, &rowBytes);
  const uint8_t* bb = (const uint8_t*)mGraphics->GetBits();
  const int bbRow = mGraphics->GetDrawBitmap()->getRowSpan() * 4;
  EXPECT_EQ(RGBAt(px, rowBytes, 310, 110), RGBOf(COLOR_GREEN));
  int differ = 0;
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 800; ++x) differ += RGBAt(px, rowBytes, x, y) != RGBAt(bb, bbRow, x, y);
  EXPECT_EQ(differ, 0);
  Tick();  // the pass a value from the host asks for
  EXPECT_FALSE(knob->IsDirty());
}

TEST_F(CocoaViewTest, TheTimerRunsAtTheFrameRateAndIdlesAClean)
{
  PaintSpy* spy = AddSpy(IRECT(0, 0, 10, 10), -1, "A");
  Open();
  Tick();  // paints what attaching dirtied
  spy->mIdles = 0;
  FoundationTestKit::RunFor(7.0 + 0.5 / 30);  // 210 clean ticks: the idle handlers run every 21st
  EXPECT_EQ(spy->mIdles, 10);
}

// The host window shows only the top-left quarter: controls across its edges are cleaned once
// their shown part is painted, and an idle editor then asks for nothing more.
TEST_F(CocoaViewTest, AViewClippedByASmallerWindowDoesNotRepaintForEver)
{
  PaintSpy* across = AddSpy(IRECT(350, 150, 450, 250), -1, "across");
  PaintSpy* beyond = AddSpy(IRECT(600, 300, 700, 350), -1, "beyond");
  Open(400, 200, NSMakePoint(0, -200));
  Tick();
  EXPECT_FALSE(across->IsDirty());
  EXPECT_FALSE(beyond->IsDirty());
  const int draws = across->mDraws;
  AppKitTestKit::ClearPaints();
  FoundationTestKit::RunFor(1.0);
  EXPECT_EQ(across->mDraws, draws);
  EXPECT_TRUE(AppKitTestKit::Paints().empty());
}

TEST_F(CocoaViewTest, EventsAndTicksAfterTheEditorClosedDoNothing)
{
  PaintSpy* spy = AddSpy(IRECT(0, 0, 800, 400), 0, "A");
  Open();
  Tick();
  mView->retain();
  mGraphics->CloseWindow();
  mGraphics->SetParameterFromPlug(0, 0.5, true);
  Log().clear();
  const int draws = spy->mDraws;

  NSEvent* down = NSEvent::mouseEventWithType(NSLeftMouseDown, NSMakePoint(5, 5), 0, 0, mWindow->windowNumber(), nil,
                                              0, 1, 1);
  mView->mouseDown(down);
  mView->mouseUp(down);
  mView->mouseDragged(down);
  mView->mouseMoved(down);
  mView->scrollWheel(NSEvent::scrollWheelEventWithLocation(NSMakePoint(5, 5), 0, 0, mWindow->windowNumber(), 0, 1));
  mView->drawRect(NSMakeRect(0, 0, 800, 400));
  mView->onTimer(nil);
  FoundationTestKit::RunFor(0.5);
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(spy->mDraws, draws);
  EXPECT_FALSE(mView->needsDisplay());
  mView->release();
}

// A press held on a control bound to a parameter when the editor closes, by the wrapper or by the
// host taking the view out: the host hears the gesture end once, and a later release or a second
// close adds nothing.
TEST_F(CocoaViewTest, ClosingWithAPressHeldEndsTheGestureOnce)
{
  AddSpy(IRECT(0, 0, 800, 400), 1, "A");
  for (bool byTheHost : { false, true })
  {
    Open();
    Log().clear();
    AppKitTestKit::MouseDown(mWindow, 5, 395);
    EXPECT_EQ(Log(), Strings({ "down A 5 5", "begin 1" }));
    if (byTheHost)
      mView->removeFromSuperview();
    else
      mGraphics->CloseWindow();
    mGraphics->CloseWindow();
    EXPECT_EQ(mGraphics->GetMouseCapture(), -1);
    AppKitTestKit::MouseUp(mWindow, 5, 395);  // the view is gone: reaches nothing
    mGraphics->OnMouseUp(5, 5, nullptr);     // a release that still found its way to the surface
    EXPECT_EQ(Log(), Strings({ "down A 5 5", "begin 1", "end 1", "up A" })) << byTheHost;
    mWindow->release();
    mWindow = nil;
    FoundationTestKit::DrainImplicitPool();
  }
}

namespace
{
// The view the editor sits in: notes the presses passed on to it.
class NotingParent : public NSView
{
public:
  explicit NotingParent(std::vector<std::string>* pLog) : mLog(pLog) {}
  void mouseDown(NSEvent*) override { mLog->push_back("parent down"); }
  const char* className() const override { return "NotingParent"; }

private:
  std::vector<std::string>* mLog;
};
}  // namespace

// A press goes to the inherited handler (up the responder chain) before the editor takes it.
TEST_F(CocoaViewTest, APressIsPassedOnBeforeTheEditorTakesIt)
{
  AddSpy(IRECT(0, 0, 800, 400), -1, "A");
  Attach();
  mWindow = AppKitTestKit::NewWindow(800, 400);
  NotingParent* parent = new NotingParent(&mPlug.mLog);
  parent->initWithFrame(NSMakeRect(0, 0, 800, 400));
  mWindow->contentView()->addSubview(parent);
  parent->release();
  mView = static_cast<IGraphicsCocoa_v1002*>((id)mGraphics->OpenWindow(parent));
  ASSERT_NE(mView, nullptr);
  Log().clear();
  AppKitTestKit::MouseDown(mWindow, 5, 395);
  AppKitTestKit::MouseDown(mWindow, 5, 395, 0, 2);
  EXPECT_EQ(Log(), Strings({ "parent down", "down A 5 5", "parent down", "dbl A" }));
}

// The repaint timer runs in the common modes: it keeps ticking while AppKit tracks the mouse in
// its own mode (a host's slider or menu held open).
TEST_F(CocoaViewTest, TheTimerTicksWhileTheLoopRunsInTheEventTrackingMode)
{
  PaintSpy* spy = AddSpy(IRECT(0, 0, 10, 10), -1, "A");
  Open();
  Tick();  // paints what attaching dirtied
  spy->mIdles = 0;
  CFStringRef tracking = NSEventTrackingRunLoopMode->copyCFString();
  EXPECT_EQ(CFRunLoopRunInMode(tracking, 7.0 + 0.5 / 30, false), kCFRunLoopRunTimedOut);
  CFRelease(tracking);
  EXPECT_EQ(spy->mIdles, 10) << "210 clean ticks";
}
