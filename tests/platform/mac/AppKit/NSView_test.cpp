#include "AppKitTestViews.h"

namespace
{
std::string Text(NSPoint p)
{
  return std::to_string(p.x) + "," + std::to_string(p.y);
}

std::string Text(NSRect r)
{
  return Text(r.origin) + " " + std::to_string(r.size.width) + "x" + std::to_string(r.size.height);
}

using ViewTest = WindowTest;
}  // namespace

TEST_F(ViewTest, SubviewsAreRetainedMovedAndRemoved)
{
  std::vector<std::string> log;
  NSView* parent = NewView("parent", &log, NSMakeRect(0, 0, 100, 100));
  NSView* other = NewView("other", &log, NSMakeRect(0, 0, 100, 100));
  NSView* a = NewView("a", &log, NSMakeRect(0, 0, 10, 10));
  NSView* b = NewView("b", &log, NSMakeRect(0, 0, 10, 10));
  NSView* c = NewView("c", &log, NSMakeRect(0, 0, 10, 10));
  parent->addSubview(a);
  parent->addSubview(b);
  parent->addSubview(c);
  EXPECT_EQ(a->retainCount(), 2u);
  EXPECT_EQ(a->superview(), parent);
  EXPECT_EQ(a->nextResponder(), parent);
  EXPECT_TRUE(a->isDescendantOf(parent));
  EXPECT_FALSE(parent->isDescendantOf(a));

  parent->addSubview(a);  // already there: on top
  EXPECT_EQ(parent->subviews(), (std::vector<NSView*>{b, c, a}));
  EXPECT_EQ(a->retainCount(), 2u);

  other->addSubview(b);  // leaves the first superview; still one reference from a superview
  EXPECT_EQ(parent->subviews(), (std::vector<NSView*>{c, a}));
  EXPECT_EQ(b->superview(), other);
  EXPECT_EQ(b->retainCount(), 2u);

  a->addSubview(parent);  // an ancestor cannot become a subview
  a->addSubview(a);
  a->addSubview(nil);
  EXPECT_TRUE(a->subviews().empty());
  EXPECT_EQ(parent->superview(), nil);

  c->removeFromSuperview();
  EXPECT_EQ(c->superview(), nil);
  EXPECT_EQ(c->nextResponder(), nil);
  EXPECT_EQ(c->retainCount(), 1u);
  c->removeFromSuperview();  // no superview: nothing

  // A view whose only owner is its superview is freed by leaving it.
  a->release();
  b->release();
  c->release();
  log.clear();
  a->removeFromSuperview();
  EXPECT_EQ(log, std::vector<std::string>{"a freed"});
  // Freeing a view releases its subviews.
  log.clear();
  other->release();
  EXPECT_EQ(log, (std::vector<std::string>{"other freed", "b freed"}));
  parent->release();
}

TEST_F(ViewTest, WindowPropagatesToSubviewsWithNotifications)
{
  NSWindow* w = MakeWindow(100, 100);
  NSView* content = w->contentView();
  EXPECT_EQ(content->window(), w);
  EXPECT_EQ(content->nextResponder(), w);
  EXPECT_TRUE(NSEqualRects(content->frame(), NSMakeRect(0, 0, 100, 100)));

  NSView* parent = NewView("parent", &mLog, NSMakeRect(0, 0, 50, 50));
  NSView* child = NewView("child", &mLog, NSMakeRect(0, 0, 10, 10));
  parent->addSubview(child);
  child->release();
  EXPECT_EQ(child->window(), nil);
  EXPECT_TRUE(mLog.empty());  // no window before, none after

  content->addSubview(parent);
  EXPECT_EQ(parent->window(), w);
  EXPECT_EQ(child->window(), w);
  EXPECT_EQ(mLog, (std::vector<std::string>{"parent willMove:window", "child willMove:window", "parent didMove:window",
                                            "child didMove:window"}));
  // Moving into a window asks for a first paint.
  EXPECT_TRUE(child->needsDisplay());
  EXPECT_TRUE(NSEqualRects(child->needsDisplayRect(), child->bounds()));

  mLog.clear();
  parent->removeFromSuperview();  // the test still holds it
  EXPECT_EQ(child->window(), nil);
  EXPECT_EQ(mLog, (std::vector<std::string>{"parent willMove:nil", "child willMove:nil", "parent didMove:nil",
                                            "child didMove:nil"}));

  // Releasing the window takes the content view out of it.
  content->addSubview(parent);
  parent->release();
  content->retain();
  mLog.clear();
  w->release();
  mWindow = nil;
  EXPECT_EQ(content->window(), nil);
  EXPECT_EQ(child->window(), nil);
  EXPECT_EQ(content->nextResponder(), nil);
  EXPECT_EQ(content->retainCount(), 1u);
  EXPECT_EQ(mLog, (std::vector<std::string>{"parent willMove:nil", "child willMove:nil", "parent didMove:nil",
                                            "child didMove:nil"}));
  content->release();
}

TEST_F(ViewTest, FirstResponderGivesWayWhenItLeavesTheWindow)
{
  NSWindow* w = MakeWindow(100, 100);
  EXPECT_EQ(w->firstResponder(), w);
  LoggingView* box = Add(w->contentView(), "box", NSMakeRect(0, 0, 50, 50));
  LoggingView* field = Add(box, "field", NSMakeRect(0, 0, 10, 10));
  EXPECT_FALSE(w->makeFirstResponder(field));  // does not accept
  EXPECT_EQ(w->firstResponder(), w);
  field->mAccepts = true;
  EXPECT_TRUE(w->makeFirstResponder(field));
  EXPECT_EQ(w->firstResponder(), field);

  // A view outside the window cannot be first responder.
  LoggingView* outside = NewView("outside", &mLog, NSMakeRect(0, 0, 5, 5));
  outside->mAccepts = true;
  EXPECT_FALSE(w->makeFirstResponder(outside));
  outside->release();

  mLog.clear();
  box->removeFromSuperview();  // takes the first responder with it
  EXPECT_EQ(w->firstResponder(), w);
  EXPECT_EQ(mLog.front(), "field resign");

  EXPECT_TRUE(w->makeFirstResponder(nil));
  EXPECT_EQ(w->firstResponder(), w);
}

TEST_F(ViewTest, ConversionsThroughFlippedAndUnflippedViews)
{
  // base <- content (unflipped) <- A (unflipped) <- B (flipped) <- C (unflipped), D (flipped)
  NSWindow* w = MakeWindow(200, 100);
  LoggingView* a = Add(w->contentView(), "A", NSMakeRect(10, 20, 100, 60));
  LoggingView* b = Add(a, "B", NSMakeRect(5, 10, 50, 30), true);
  LoggingView* c = Add(b, "C", NSMakeRect(2, 3, 20, 10));
  LoggingView* d = Add(b, "D", NSMakeRect(1, 1, 10, 10), true);
  struct Case
  {
    const NSView* view;
    NSPoint inView;
    NSPoint inBase;
  } cases[] = {
    {a, {0, 0}, {10, 20}},  {a, {100, 60}, {110, 80}}, {b, {0, 0}, {15, 60}}, {b, {0, 30}, {15, 30}},
    {c, {0, 0}, {17, 47}},  {c, {0, 10}, {17, 57}},    {d, {0, 0}, {16, 59}}, {d, {2, 3}, {18, 56}},
    {w->contentView(), {7, 8}, {7, 8}},
  };
  for (const Case& k : cases)
  {
    EXPECT_EQ(Text(k.view->convertPointToView(k.inView, nil)), Text(k.inBase)) << k.view->className();
    EXPECT_EQ(Text(k.view->convertPoint(k.inBase, nil)), Text(k.inView));
  }
  // Between views of the window.
  EXPECT_EQ(Text(d->convertPoint(NSMakePoint(0, 0), c)), Text(NSMakePoint(1, 12)));
  EXPECT_EQ(Text(c->convertPointToView(NSMakePoint(0, 0), d)), Text(NSMakePoint(1, 12)));
  EXPECT_EQ(Text(a->convertPoint(NSMakePoint(0, 0), b)), Text(NSMakePoint(5, 40)));
  // Rectangles come out with positive sizes whichever way y runs.
  EXPECT_EQ(Text(c->convertRectToView(c->bounds(), nil)), Text(NSMakeRect(17, 47, 20, 10)));
  EXPECT_EQ(Text(d->convertRectToView(d->bounds(), nil)), Text(NSMakeRect(16, 49, 10, 10)));
  EXPECT_EQ(Text(b->convertRect(NSMakeRect(16, 49, 10, 10), nil)), Text(NSMakeRect(1, 1, 10, 10)));
  EXPECT_EQ(Text(d->convertRect(c->bounds(), c)), Text(NSMakeRect(1, 2, 20, 10)));
}

TEST_F(ViewTest, VisibleRectIsClippedByAncestorsAndTheWindow)
{
  NSWindow* w = MakeWindow(200, 100);
  LoggingView* a = Add(w->contentView(), "A", NSMakeRect(10, 20, 100, 60));
  struct Case
  {
    const char* what;
    NSView* parent;
    NSRect frame;
    bool flipped;
    NSRect visible;
  } cases[] = {
    {"inside", a, NSMakeRect(10, 10, 20, 20), false, NSMakeRect(0, 0, 20, 20)},
    {"left and top cut by the parent", a, NSMakeRect(-10, 50, 40, 30), false, NSMakeRect(10, 0, 30, 10)},
    {"flipped, top cut by the parent", a, NSMakeRect(0, 50, 20, 20), true, NSMakeRect(0, 10, 20, 10)},
    {"cut by the window", w->contentView(), NSMakeRect(180, 90, 50, 50), false, NSMakeRect(0, 0, 20, 10)},
    {"outside the parent", a, NSMakeRect(200, 0, 10, 10), false, NSZeroRect},
  };
  for (const Case& c : cases)
  {
    LoggingView* v = Add(c.parent, c.what, c.frame, c.flipped);
    EXPECT_EQ(Text(v->visibleRect()), Text(c.visible)) << c.what;
    v->removeFromSuperview();
  }
  // A grandchild is cut by every ancestor.
  LoggingView* mid = Add(a, "mid", NSMakeRect(90, 0, 40, 40));
  LoggingView* leaf = Add(mid, "leaf", NSMakeRect(5, 30, 20, 20));
  EXPECT_EQ(Text(leaf->visibleRect()), Text(NSMakeRect(0, 0, 5, 10)));
  // Shrinking the window's content cuts the content view's subviews.
  w->contentView()->setFrameSize(NSMakeSize(300, 300));
  w->setContentSize(NSMakeSize(50, 50));
  EXPECT_EQ(Text(a->visibleRect()), Text(NSMakeRect(0, 0, 40, 30)));
}

TEST_F(ViewTest, HitTestFindsTheTopmostDeepestView)
{
  NSWindow* w = MakeWindow(200, 100);
  LoggingView* a = Add(w->contentView(), "A", NSMakeRect(10, 20, 100, 60));
  LoggingView* b = Add(a, "B", NSMakeRect(5, 10, 50, 30), true);
  LoggingView* c = Add(b, "C", NSMakeRect(2, 3, 20, 10));
  LoggingView* d = Add(b, "D", NSMakeRect(1, 1, 10, 10), true);
  NSView* content = w->contentView();
  struct Case
  {
    NSPoint base;
    NSView* hit;
  } cases[] = {
    {{30, 50}, c},       {{20, 50}, d},  // both: D was added last
    {{15.5, 35}, b},     {{12, 25}, a},       {{150, 80}, content}, {{250, 50}, nil},
    {{10, 20}, a},       {{10, 80}, content},  // bottom-left edges in, top edge out
    {{30, 30}, b},       {{30, 60}, a},        // the same for the flipped B, whose y runs down
    {{-1, 50}, nil},
  };
  for (const Case& k : cases)
    EXPECT_EQ(content->hitTest(k.base), k.hit) << Text(k.base);
  b->addSubview(c);  // now on top
  EXPECT_EQ(content->hitTest(NSMakePoint(20, 50)), c);
}

TEST_F(ViewTest, NeedsDisplayAccumulatesInsideTheBounds)
{
  NSWindow* w = MakeWindow(100, 100);
  LoggingView* v = Add(w->contentView(), "v", NSMakeRect(10, 10, 50, 40));
  w->display();
  EXPECT_FALSE(w->viewsNeedDisplay());
  struct Step
  {
    NSRect add;
    NSRect total;
  } steps[] = {
    {NSMakeRect(10, 10, 5, 5), NSMakeRect(10, 10, 5, 5)},
    {NSMakeRect(20, 20, 5, 5), NSMakeRect(10, 10, 15, 15)},
    {NSMakeRect(40, 30, 100, 100), NSMakeRect(10, 10, 40, 30)},  // clipped to the bounds first
    {NSMakeRect(-20, -20, 10, 10), NSMakeRect(10, 10, 40, 30)},  // outside: nothing
    {NSMakeRect(0, 0, 0, 10), NSMakeRect(10, 10, 40, 30)},      // empty: nothing
  };
  for (const Step& s : steps)
  {
    v->setNeedsDisplayInRect(s.add);
    EXPECT_EQ(Text(v->needsDisplayRect()), Text(s.total)) << Text(s.add);
  }
  EXPECT_TRUE(w->viewsNeedDisplay());
  v->setNeedsDisplay(NO);
  EXPECT_FALSE(v->needsDisplay());
  EXPECT_FALSE(w->viewsNeedDisplay());
  v->setNeedsDisplay(YES);
  EXPECT_EQ(Text(v->needsDisplayRect()), Text(v->bounds()));
  // Shrinking the frame shrinks the area with it.
  v->setFrameSize(NSMakeSize(20, 20));
  EXPECT_EQ(Text(v->needsDisplayRect()), Text(NSMakeRect(0, 0, 20, 20)));
}
