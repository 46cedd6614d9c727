#include <algorithm>

#include <CoreGraphics/testkit.h>

#include "AppKitTestViews.h"

namespace
{
// A focus test: a 20 x 10 window with an unflipped view at (2, 3, 4, 2) and a flipped one at
// (10, 1, 6, 4), and a current context of its own over another bitmap that a lock must put back.
class FocusTest : public WindowTest
{
protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    MakeWindow(20, 10);
    mPlain = Add(mWindow->contentView(), "plain", NSMakeRect(2, 3, 4, 2));
    mFlipped = Add(mWindow->contentView(), "flipped", NSMakeRect(10, 1, 6, 4), true);
    mOtherPort = NewBitmap(4, 4);
    mOther = NSGraphicsContext::graphicsContextWithGraphicsPort(mOtherPort, NO);
    NSGraphicsContext::setCurrentContext(mOther);
    CGContextTranslateCTM(mOtherPort, 1, 1);
  }
  void TearDown() override
  {
    EXPECT_EQ(NSGraphicsContext::currentContext(), mOther);
    EXPECT_EQ(CGContextGetCTM(mOtherPort).tx, 1);  // the saved state came back
    NSGraphicsContext::setCurrentContext(nil);
    CGContextRelease(mOtherPort);
    WindowTest::TearDown();
  }
  // The window's pixel at (x, y) of base coordinates (y up) as 0xAARRGGBB.
  uint32_t Pixel(int x, int y)
  {
    int w = 0, h = 0, row = 0;
    const uint8_t* p = AppKitTestKit::WindowPixels(mWindow, &w, &h, &row) + (h - 1 - y) * row + x * 4;
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
  }
  // The red pixels' bounding box in base coordinates, as "x,y wxh".
  std::string RedBox()
  {
    int x0 = 99, y0 = 99, x1 = -1, y1 = -1;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 20; ++x)
        if (Pixel(x, y) == 0xFFFF0000)
        {
          x0 = std::min(x0, x);
          y0 = std::min(y0, y);
          x1 = std::max(x1, x);
          y1 = std::max(y1, y);
        }
    if (x1 < 0) return "none";
    return std::to_string(x0) + "," + std::to_string(y0) + " " + std::to_string(x1 - x0 + 1) + "x" +
           std::to_string(y1 - y0 + 1);
  }
  static void FillRed(CGRect r)
  {
    CGContextRef port = static_cast<CGContextRef>(NSGraphicsContext::currentContext()->graphicsPort());
    CGContextSetRGBFillColor(port, 1, 0, 0, 1);
    CGContextFillRect(port, r);
  }

  LoggingView* mPlain = nil;
  LoggingView* mFlipped = nil;
  CGContextRef mOtherPort = nullptr;
  NSGraphicsContext* mOther = nil;
};
}  // namespace

TEST_F(FocusTest, ALockedViewDrawsInItsCoordinatesClippedToItself)
{
  const struct
  {
    bool flipped;
    CGRect fill;
    const char* box;  // in base coordinates
  } cases[] = {
    {false, CGRectMake(0, 0, 1, 1), "2,3 1x1"},            // bottom-left corner
    {false, CGRectMake(3, 1, 1, 1), "5,4 1x1"},            // top-right corner
    {false, CGRectMake(-50, -50, 100, 100), "2,3 4x2"},    // clipped to the view
    {true, CGRectMake(0, 0, 1, 1), "10,4 1x1"},            // top-left corner, y runs down
    {true, CGRectMake(5, 3, 1, 1), "15,1 1x1"},            // bottom-right corner
    {true, CGRectMake(-50, -50, 100, 100), "10,1 6x4"},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.box);
    CGContextRef backing = mWindow->backingContext();
    CGContextSetRGBFillColor(backing, 0, 0, 0, 1);
    CGContextFillRect(backing, CGRectMake(0, 0, 20, 10));
    NSView* view = c.flipped ? mFlipped : mPlain;
    ASSERT_TRUE(view->lockFocusIfCanDraw());
    NSGraphicsContext* focus = NSGraphicsContext::currentContext();
    ASSERT_NE(focus, mOther);
    EXPECT_EQ(focus->graphicsPort(), backing);
    EXPECT_EQ(focus->isFlipped(), c.flipped ? YES : NO);
    EXPECT_EQ(view->retainCount(), 2u);  // the superview's and the lock's
    FillRed(c.fill);
    view->unlockFocus();
    EXPECT_EQ(RedBox(), c.box);
    EXPECT_EQ(NSGraphicsContext::currentContext(), mOther);
    EXPECT_EQ(view->retainCount(), 1u);
    // The backing store's state is as it was: identity and no clip.
    EXPECT_EQ(CGContextGetCTM(backing).tx, 0);
    EXPECT_EQ(CGContextGetCTM(backing).d, 1);
    EXPECT_TRUE(NSEqualRects(CGContextGetClipBoundingBox(backing), CGRectMake(0, 0, 20, 10)));
  }
}

TEST_F(FocusTest, LocksNestAndUnlockOnlyTheLatest)
{
  ASSERT_TRUE(mPlain->lockFocusIfCanDraw());
  NSGraphicsContext* plain = NSGraphicsContext::currentContext();
  ASSERT_TRUE(mFlipped->lockFocusIfCanDraw());
  NSGraphicsContext* flipped = NSGraphicsContext::currentContext();
  EXPECT_NE(flipped, plain);
  mPlain->unlockFocus();  // not the latest lock: nothing
  EXPECT_EQ(NSGraphicsContext::currentContext(), flipped);
  mFlipped->unlockFocus();
  EXPECT_EQ(NSGraphicsContext::currentContext(), plain);
  FillRed(CGRectMake(-50, -50, 100, 100));  // still the plain view's state
  EXPECT_EQ(RedBox(), "2,3 4x2");
  mPlain->unlockFocus();
  EXPECT_EQ(NSGraphicsContext::currentContext(), mOther);
  mPlain->unlockFocus();  // no lock: nothing
  mWindow->contentView()->unlockFocus();
  EXPECT_EQ(NSGraphicsContext::currentContext(), mOther);
}

TEST_F(FocusTest, AViewThatCannotDrawIsRefused)
{
  std::vector<std::string> log;
  LoggingView* loose = NewView("loose", &log, NSMakeRect(0, 0, 5, 5));
  LoggingView* outside = Add(mWindow->contentView(), "outside", NSMakeRect(30, 0, 5, 5));
  LoggingView* empty = Add(mWindow->contentView(), "empty", NSMakeRect(1, 1, 0, 3));
  for (NSView* v : {static_cast<NSView*>(loose), static_cast<NSView*>(outside), static_cast<NSView*>(empty)})
  {
    const NSUInteger refs = v->retainCount();
    EXPECT_FALSE(v->lockFocusIfCanDraw());
    EXPECT_EQ(NSGraphicsContext::currentContext(), mOther);
    EXPECT_EQ(v->retainCount(), refs);
    // lockFocus still pairs with unlockFocus, with no context to draw into between them.
    v->lockFocus();
    EXPECT_EQ(NSGraphicsContext::currentContext(), nil);
    v->unlockFocus();
    EXPECT_EQ(NSGraphicsContext::currentContext(), mOther);
  }
  loose->release();
  // lockFocus of a view that can draw is lockFocusIfCanDraw.
  mPlain->lockFocus();
  FillRed(CGRectMake(0, 0, 1, 1));
  mPlain->unlockFocus();
  EXPECT_EQ(RedBox(), "2,3 1x1");
}

TEST_F(FocusTest, DisplayStillPaintsEachViewInItsOwnCoordinates)
{
  // The window's display sets up drawRect: the same way.
  mWindow->display();
  mPlain->mDraw = [](NSRect) { FillRed(CGRectMake(0, 0, 1, 1)); };
  mFlipped->mDraw = [](NSRect) { FillRed(CGRectMake(0, 0, 1, 1)); };
  mPlain->setNeedsDisplay(YES);
  mWindow->display();
  EXPECT_EQ(RedBox(), "2,3 1x1");
  mFlipped->setNeedsDisplay(YES);
  mWindow->display();
  EXPECT_EQ(Pixel(10, 4), 0xFFFF0000u);
  EXPECT_EQ(NSGraphicsContext::currentContext(), mOther);
}
