#include <cmath>
#include <set>
#include <utility>

#include <CoreGraphics/testkit.h>

#include "AppKitTestViews.h"

namespace
{
struct RGB
{
  uint8_t r, g, b;
  bool operator==(const RGB& o) const { return r == o.r && g == o.g && b == o.b; }
};

// The colour of the pixel at (x, y) of the window's base coordinates (y up).
RGB PixelAt(NSWindow* w, int x, int y)
{
  int width = 0, height = 0, rowBytes = 0;
  const uint8_t* p = AppKitTestKit::WindowPixels(w, &width, &height, &rowBytes);
  const uint8_t* px = p + (size_t)(height - 1 - y) * (size_t)rowBytes + (size_t)x * 4;  // A, R, G, B
  return RGB{px[1], px[2], px[3]};
}

// Every pixel that is not black, as (x, y) in base coordinates.
std::set<std::pair<int, int>> Painted(NSWindow* w)
{
  int width = 0, height = 0, rowBytes = 0;
  AppKitTestKit::WindowPixels(w, &width, &height, &rowBytes);
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (!(PixelAt(w, x, y) == RGB{0, 0, 0})) out.insert({x, y});
  return out;
}

std::set<std::pair<int, int>> Block(int x0, int y0, int x1, int y1)
{
  std::set<std::pair<int, int>> out;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) out.insert({x, y});
  return out;
}

// Fills the rectangle (view coordinates) with a colour when the view draws.
void FillOnDraw(LoggingView* v, NSRect r, CGFloat red, CGFloat green, CGFloat blue)
{
  v->mDraw = [r, red, green, blue](NSRect) {
    CGContextRef ctx = (CGContextRef)NSGraphicsContext::currentContext()->graphicsPort();
    CGContextSetRGBFillColor(ctx, red, green, blue, 1);
    CGContextFillRect(ctx, r);
  };
}

// A backend over a memory context that records what the window asks of it and delivers a queued
// press when pumped.
class RecordingBackend : public NSWindowBackend
{
public:
  RecordingBackend(int w, int h) : mInner(NSNewMemoryWindowBackend(w, h)) {}
  ~RecordingBackend() override { delete mInner; }
  CGContextRef backingContext() override { return mInner->backingContext(); }
  bool resize(int w, int h) override { return mInner->resize(w, h); }
  void flush(NSWindow*, NSRect area) override { mFlushes.push_back(area); }
  void pumpEvents(NSWindow* window) override
  {
    ++mPumps;
    if (mPendingPress)
    {
      mPendingPress = false;
      AppKitTestKit::MouseDown(window, 5, 5);
    }
  }
  NSWindowBackend* mInner;
  std::vector<NSRect> mFlushes;
  int mPumps = 0;
  bool mPendingPress = false;
};

using DisplayTest = WindowTest;
}  // namespace

TEST_F(DisplayTest, ViewsPaintInTheirOwnCoordinates)
{
  NSWindow* w = MakeWindow(40, 30);
  LoggingView* up = Add(w->contentView(), "up", NSMakeRect(5, 5, 10, 8));
  LoggingView* down = Add(w->contentView(), "down", NSMakeRect(20, 5, 10, 8), true);
  LoggingView* inner = Add(down, "inner", NSMakeRect(2, 0, 4, 4));  // unflipped in flipped
  FillOnDraw(up, NSMakeRect(1, 1, 3, 2), 1, 0, 0);
  FillOnDraw(down, NSMakeRect(1, 1, 3, 2), 0, 1, 0);
  FillOnDraw(inner, NSMakeRect(0, 0, 1, 1), 0, 0, 1);
  ASSERT_TRUE(w->viewsNeedDisplay());
  w->display();
  EXPECT_FALSE(w->viewsNeedDisplay());

  // up: x 6..8, y 6..7. down (y runs down from its top at 13): x 21..23, y 10..11. inner sits at
  // the top of down (y 9..12) with its origin at the bottom: x 22, y 9.
  std::set<std::pair<int, int>> expected = Block(6, 6, 9, 8);
  for (auto p : Block(21, 10, 24, 12)) expected.insert(p);
  expected.insert({22, 9});
  EXPECT_EQ(Painted(w), expected);
  EXPECT_EQ(PixelAt(w, 6, 6), (RGB{255, 0, 0}));
  EXPECT_EQ(PixelAt(w, 21, 11), (RGB{0, 255, 0}));
  EXPECT_EQ(PixelAt(w, 22, 9), (RGB{0, 0, 255}));

  // Parents before children, each with its whole visible bounds.
  const auto& paints = AppKitTestKit::Paints();
  ASSERT_EQ(paints.size(), 4u);
  EXPECT_EQ(paints[0].view, w->contentView());
  EXPECT_EQ(paints[1].view, up);
  EXPECT_EQ(paints[2].view, down);
  EXPECT_EQ(paints[3].view, inner);
  EXPECT_TRUE(NSEqualRects(paints[2].rect, NSMakeRect(0, 0, 10, 8)));

  // Nothing needs display: nothing happens.
  AppKitTestKit::ClearPaints();
  w->display();
  EXPECT_TRUE(AppKitTestKit::Paints().empty());
}

TEST_F(DisplayTest, DrawingIsClippedToTheAreaAndTheVisibleRect)
{
  NSWindow* w = MakeWindow(40, 30);
  LoggingView* box = Add(w->contentView(), "box", NSMakeRect(10, 10, 10, 10));
  LoggingView* spill = Add(box, "spill", NSMakeRect(5, 5, 20, 20), true);  // half outside box
  FillOnDraw(box, NSMakeRect(-100, -100, 1000, 1000), 1, 1, 1);
  FillOnDraw(spill, NSMakeRect(-100, -100, 1000, 1000), 1, 0, 1);
  w->display();
  EXPECT_EQ(Painted(w), Block(10, 10, 20, 20));
  EXPECT_EQ(PixelAt(w, 16, 16), (RGB{255, 0, 255}));
  EXPECT_EQ(PixelAt(w, 12, 12), (RGB{255, 255, 255}));
  ASSERT_EQ(AppKitTestKit::Paints().back().view, spill);
  EXPECT_TRUE(NSEqualRects(AppKitTestKit::Paints().back().rect, NSMakeRect(0, 15, 5, 5)));  // flipped: top

  // Only the area asked for is painted again, whatever the view fills.
  FillOnDraw(box, NSMakeRect(-100, -100, 1000, 1000), 0, 0, 1);
  box->setNeedsDisplayInRect(NSMakeRect(1, 1, 2, 3));
  AppKitTestKit::ClearPaints();
  w->display();
  ASSERT_EQ(AppKitTestKit::Paints().size(), 1u);
  EXPECT_TRUE(NSEqualRects(AppKitTestKit::Paints()[0].rect, NSMakeRect(1, 1, 2, 3)));
  for (auto p : Painted(w))
  {
    const bool inArea = p.first >= 11 && p.first < 13 && p.second >= 11 && p.second < 14;
    EXPECT_EQ(PixelAt(w, p.first, p.second) == (RGB{0, 0, 255}), inArea) << p.first << "," << p.second;
  }
  // The CTM and clip are the window's own again after display.
  CGContextRef port = w->backingContext();
  const CGAffineTransform ctm = CGContextGetCTM(port);
  EXPECT_EQ(ctm.tx, 0);
  EXPECT_EQ(ctm.ty, 0);
  EXPECT_EQ(ctm.d, 1);
  EXPECT_TRUE(NSEqualRects(CGContextGetClipBoundingBox(port), NSMakeRect(0, 0, 40, 30)));
}

TEST_F(DisplayTest, RunLoopPassPumpsEventsThenDisplaysAndFlushes)
{
  RecordingBackend* backend = new RecordingBackend(40, 30);
  mWindow = (new NSWindow)->initWithContentRect(NSMakeRect(0, 0, 40, 30), backend);
  ASSERT_NE(mWindow, nil);
  EXPECT_EQ(mWindow->backend(), backend);
  LoggingView* v = Add(mWindow->contentView(), "v", NSMakeRect(2, 3, 10, 10));
  mWindow->display();
  ASSERT_EQ(backend->mFlushes.size(), 1u);
  EXPECT_TRUE(NSEqualRects(backend->mFlushes[0], NSMakeRect(0, 0, 40, 30)));

  v->mDraw = [v](NSRect) { v->setNeedsDisplayInRect(NSMakeRect(0, 0, 1, 1)); };  // asks again while drawing
  v->setNeedsDisplayInRect(NSMakeRect(1, 1, 4, 2));
  backend->mPendingPress = true;
  mLog.clear();
  FoundationTestKit::RunFor(0);
  EXPECT_EQ(backend->mPumps, 1);
  EXPECT_EQ(mLog, std::vector<std::string>{"v down 3,2"});  // delivered by the pump
  ASSERT_EQ(backend->mFlushes.size(), 2u);
  EXPECT_TRUE(NSEqualRects(backend->mFlushes[1], NSMakeRect(3, 4, 4, 2)));  // base coordinates
  EXPECT_TRUE(NSEqualRects(v->needsDisplayRect(), NSMakeRect(0, 0, 1, 1)));
  v->mDraw = nullptr;
  FoundationTestKit::RunFor(0);
  EXPECT_EQ(backend->mFlushes.size(), 3u);
  EXPECT_FALSE(mWindow->viewsNeedDisplay());
  FoundationTestKit::RunFor(0);
  EXPECT_EQ(backend->mFlushes.size(), 3u);  // nothing to paint, nothing flushed
  EXPECT_EQ(backend->mPumps, 3);
}

TEST_F(DisplayTest, ResizingMakesANewBackingStoreOrKeepsTheOld)
{
  NSWindow* w = MakeWindow(40, 30);
  LoggingView* v = Add(w->contentView(), "v", NSMakeRect(0, 0, 5, 5));
  w->display();
  CGContextRef before = w->backingContext();
  CGTestKit::FailNext(CGTestKit::kContext);
  w->setContentSize(NSMakeSize(80, 60));
  CGTestKit::ClearFailures();
  EXPECT_EQ(w->backingContext(), before);
  EXPECT_EQ(w->contentSize().width, 40);
  EXPECT_FALSE(w->viewsNeedDisplay());

  w->setContentSize(NSMakeSize(80, 60));
  int width = 0, height = 0, rowBytes = 0;
  EXPECT_NE(AppKitTestKit::WindowPixels(w, &width, &height, &rowBytes), nullptr);
  EXPECT_EQ(width, 80);
  EXPECT_EQ(height, 60);
  EXPECT_EQ(rowBytes, 320);
  EXPECT_TRUE(NSEqualRects(w->contentView()->frame(), NSMakeRect(0, 0, 80, 60)));
  EXPECT_TRUE(v->needsDisplay());  // the new store is blank

  for (NSSize bad : {NSMakeSize(0, 10), NSMakeSize(-5, 10), NSMakeSize(NAN, 10), NSMakeSize(1e9, 10)})
  {
    w->setContentSize(bad);
    EXPECT_EQ(w->contentSize().width, 80);
  }
}

TEST_F(DisplayTest, WindowsHaveNumbersThatAreNeverReused)
{
  EXPECT_EQ(AppKitTestKit::NewWindow(0, 10), nil);
  EXPECT_EQ(AppKitTestKit::NewWindow(10, -1), nil);
  NSWindow* a = AppKitTestKit::NewWindow(10, 10);
  NSWindow* b = AppKitTestKit::NewWindow(10, 10);
  ASSERT_TRUE(a && b);
  EXPECT_GE(a->windowNumber(), 1);
  EXPECT_GT(b->windowNumber(), a->windowNumber());
  EXPECT_EQ(NSWindow::windowWithNumber(a->windowNumber()), a);
  NSEvent* e = NSEvent::mouseEventWithType(NSLeftMouseDown, NSMakePoint(1, 1), 0, 0, b->windowNumber(), nil, 0, 1, 1);
  EXPECT_EQ(e->window(), b);
  const NSInteger gone = a->windowNumber();
  a->release();
  EXPECT_EQ(NSWindow::windowWithNumber(gone), nil);
  NSWindow* c = AppKitTestKit::NewWindow(10, 10);
  EXPECT_GT(c->windowNumber(), b->windowNumber());
  b->release();
  EXPECT_EQ(e->window(), nil);
  c->release();
  EXPECT_EQ(NSWindow::windowWithNumber(0), nil);
}

TEST_F(DisplayTest, ContentViewCanBeReplaced)
{
  NSWindow* w = MakeWindow(40, 30);
  NSView* first = w->contentView();
  first->retain();
  LoggingView* next = NewView("next", &mLog, NSMakeRect(3, 3, 5, 5));
  w->setContentView(next);
  next->release();
  EXPECT_EQ(w->contentView(), next);
  EXPECT_TRUE(NSEqualRects(next->frame(), NSMakeRect(0, 0, 40, 30)));  // fills the content
  EXPECT_EQ(next->window(), w);
  EXPECT_EQ(next->nextResponder(), w);
  EXPECT_EQ(first->window(), nil);
  EXPECT_EQ(first->retainCount(), 1u);
  first->release();
  w->setContentView(nil);
  EXPECT_EQ(w->contentView(), nil);
  EXPECT_FALSE(w->viewsNeedDisplay());
  w->display();  // nothing to paint
  AppKitTestKit::MouseDown(w, 1, 1);  // nowhere to go
}
