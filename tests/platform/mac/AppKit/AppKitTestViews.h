#pragma once
// Views and a window fixture for the AppKit tests: views that log what they are told and paint
// what a test asks.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <AppKit/AppKit.h>

#include <AppKit/testkit.h>
#include <Foundation/testkit.h>

class LoggingView : public NSView
{
public:
  LoggingView(std::string name, std::vector<std::string>* log, bool flipped = false)
    : mName(std::move(name)), mLog(log), mFlipped(flipped)
  {
  }

  BOOL isFlipped() const override { return mFlipped ? YES : NO; }
  BOOL acceptsFirstResponder() override { return mAccepts ? YES : NO; }
  BOOL resignFirstResponder() override
  {
    note("resign");
    return YES;
  }
  void drawRect(NSRect rect) override
  {
    if (mDraw) mDraw(rect);
  }
  void viewWillMoveToWindow(NSWindow* w) override { note(w ? "willMove:window" : "willMove:nil"); }
  void viewDidMoveToWindow() override { note(window() ? "didMove:window" : "didMove:nil"); }

  void mouseDown(NSEvent* e) override { noteEvent("down", e); }
  void mouseUp(NSEvent* e) override { noteEvent("up", e); }
  void mouseDragged(NSEvent* e) override { noteEvent("drag", e); }
  void mouseMoved(NSEvent* e) override { noteEvent("moved", e); }
  void rightMouseDown(NSEvent* e) override { noteEvent("rdown", e); }
  void rightMouseUp(NSEvent* e) override { noteEvent("rup", e); }
  void scrollWheel(NSEvent* e) override { noteEvent("wheel " + std::to_string((int)e->deltaY()), e); }
  void keyDown(NSEvent* e) override { note("key " + std::to_string(e->keyCode()) + " " + e->characters()->str()); }

  bool mAccepts = false;
  std::function<void(NSRect)> mDraw;

protected:
  ~LoggingView() override { note("freed"); }

private:
  void note(const std::string& what)
  {
    if (mLog) mLog->push_back(mName + " " + what);
  }
  // The event with its location in this view's coordinates.
  void noteEvent(const std::string& what, NSEvent* e)
  {
    const NSPoint p = convertPoint(e->locationInWindow(), nil);
    note(what + " " + std::to_string((int)p.x) + "," + std::to_string((int)p.y));
  }

  std::string mName;
  std::vector<std::string>* mLog;
  bool mFlipped;
};

// Made with one reference, owned by the caller.
inline LoggingView* NewView(const char* name, std::vector<std::string>* log, NSRect frame, bool flipped = false)
{
  LoggingView* v = new LoggingView(name, log, flipped);
  v->initWithFrame(frame);
  return v;
}

// A memory-backed window and a clean slate of records; checks that every object made is gone.
class WindowTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    FoundationTestKit::DrainImplicitPool();
    mLive = FoundationTestKit::LiveObjectCount();
    AppKitTestKit::ClearPaints();
    AppKitTestKit::ClearDrawnTexts();
  }
  void TearDown() override
  {
    if (mWindow) mWindow->release();
    mWindow = nil;
    FoundationTestKit::DrainImplicitPool();
    EXPECT_EQ(FoundationTestKit::LiveObjectCount(), mLive);
    EXPECT_EQ(NSGraphicsContext::currentContext(), nil);
  }
  NSWindow* MakeWindow(int w, int h)
  {
    mWindow = AppKitTestKit::NewWindow(w, h);
    return mWindow;
  }
  // Adds a view (made here, owned by its superview).
  LoggingView* Add(NSView* parent, const char* name, NSRect frame, bool flipped = false)
  {
    LoggingView* v = NewView(name, &mLog, frame, flipped);
    parent->addSubview(v);
    v->release();
    return v;
  }

  NSWindow* mWindow = nil;
  std::vector<std::string> mLog;
  long mLive = 0;
};

// A zero-filled w x h bitmap context in the window's pixel format (the caller releases it).
inline CGContextRef NewBitmap(int w, int h)
{
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  CGContextRef ctx = CGBitmapContextCreate(nullptr, w, h, 8, w * 4, space, kCGImageAlphaNoneSkipFirst);
  CGColorSpaceRelease(space);
  return ctx;
}
