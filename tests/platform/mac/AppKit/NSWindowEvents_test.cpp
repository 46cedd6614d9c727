#include "AppKitTestViews.h"

namespace
{
using Log = std::vector<std::string>;

// A window 100 x 50 with two views side by side; the right one takes first responder.
class EventTest : public WindowTest
{
protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    MakeWindow(100, 50);
    mLeft = Add(mWindow->contentView(), "left", NSMakeRect(0, 0, 50, 50));
    mRight = Add(mWindow->contentView(), "right", NSMakeRect(50, 0, 50, 50), true);
    mRight->mAccepts = true;
    mLog.clear();
  }
  LoggingView* mLeft = nullptr;
  LoggingView* mRight = nullptr;
};
}  // namespace

TEST_F(EventTest, PressIsCapturedByThePressedViewUntilTheRelease)
{
  using namespace AppKitTestKit;
  MouseDown(mWindow, 10, 10);
  EXPECT_EQ(mLeft->retainCount(), 2u);  // its superview and the press
  MouseDragged(mWindow, 70, 20);        // over the other view: still the pressed one's
  MouseUp(mWindow, 80, 20);
  EXPECT_EQ(mLeft->retainCount(), 1u);
  MouseDragged(mWindow, 10, 10);  // no press: nowhere
  MouseUp(mWindow, 10, 10);
  EXPECT_EQ(mLog, (Log{"left down 10,10", "left drag 70,20", "left up 80,20"}));
  EXPECT_EQ(mWindow->firstResponder(), mWindow);  // left does not accept

  mLog.clear();
  MouseDown(mWindow, 60, 10);
  EXPECT_EQ(mWindow->firstResponder(), mRight);
  MouseUp(mWindow, 60, 10);
  RightMouseDown(mWindow, 20, 5);
  RightMouseUp(mWindow, 90, 5);
  EXPECT_EQ(mLog, (Log{"right down 10,40", "right up 10,40", "left rdown 20,5", "left rup 90,5"}));
}

// A press and release of another button meanwhile leaves the first press with its view: its
// drags and its release still arrive there.
TEST_F(EventTest, EachButtonKeepsItsOwnPress)
{
  using namespace AppKitTestKit;
  MouseDown(mWindow, 10, 10);
  RightMouseDown(mWindow, 60, 10);
  RightMouseUp(mWindow, 20, 10);
  MouseDragged(mWindow, 70, 20);
  MouseUp(mWindow, 80, 20);
  EXPECT_EQ(mLog, (Log{"left down 10,10", "right rdown 10,40", "right rup -30,40", "left drag 70,20", "left up 80,20"}));
  EXPECT_EQ(mLeft->retainCount(), 1u);
  EXPECT_EQ(mRight->retainCount(), 1u);
  mLog.clear();
  MouseUp(mWindow, 80, 20);  // released already: nowhere
  RightMouseUp(mWindow, 20, 10);
  EXPECT_TRUE(mLog.empty());
}

TEST_F(EventTest, PressedViewThatLeavesTheWindowLetsThePressGo)
{
  using namespace AppKitTestKit;
  MouseDown(mWindow, 10, 10);
  mLeft->retain();
  mLeft->removeFromSuperview();
  EXPECT_EQ(mLeft->retainCount(), 1u);  // neither the superview nor the press holds it
  mLog.clear();
  MouseDragged(mWindow, 20, 20);
  MouseUp(mWindow, 20, 20);
  EXPECT_TRUE(mLog.empty());
  mLeft->release();
}

TEST_F(EventTest, MovedOnlyWhenAcceptedWheelUnderPointerKeysToFirstResponder)
{
  using namespace AppKitTestKit;
  MouseMoved(mWindow, 10, 10);
  EXPECT_TRUE(mLog.empty());
  mWindow->setAcceptsMouseMovedEvents(YES);
  EXPECT_TRUE(mWindow->acceptsMouseMovedEvents());
  MouseMoved(mWindow, 10, 10);
  MouseMoved(mWindow, 75, 10);
  ScrollWheel(mWindow, 75, 10, 3);
  ScrollWheel(mWindow, 5, 10, -2);
  KeyDown(mWindow, 12, "q");  // the window is first responder: goes nowhere
  mWindow->makeFirstResponder(mRight);
  KeyDown(mWindow, 12, "q");
  EXPECT_EQ(mLog, (Log{"left moved 10,10", "right moved 25,40", "right wheel 3 25,40", "left wheel -2 5,10",
                       "right key 12 q"}));
}

TEST_F(EventTest, EventsOutsideEveryViewGoNowhere)
{
  using namespace AppKitTestKit;
  mWindow->setAcceptsMouseMovedEvents(YES);
  MouseDown(mWindow, 150, 10);
  MouseDragged(mWindow, 10, 10);
  MouseUp(mWindow, 10, 10);
  MouseMoved(mWindow, -1, 10);
  ScrollWheel(mWindow, 10, 60, 1);
  mWindow->sendEvent(nil);
  EXPECT_TRUE(mLog.empty());
}

TEST_F(EventTest, UnhandledEventsGoUpTheResponderChain)
{
  using namespace AppKitTestKit;
  NSView* plain = (new NSView)->initWithFrame(NSMakeRect(5, 5, 10, 10));
  mLeft->addSubview(plain);
  plain->release();
  MouseDown(mWindow, 8, 8);  // a plain view passes it to its superview
  MouseUp(mWindow, 8, 8);
  EXPECT_EQ(mLog, (Log{"left down 8,8", "left up 8,8"}));
  // The content view passes it to the window, where the chain ends.
  mLog.clear();
  NSView* content = mWindow->contentView();
  content->mouseDown(nullptr);
  content->doCommandBySelector(nullptr);
  EXPECT_TRUE(mLog.empty());
}
