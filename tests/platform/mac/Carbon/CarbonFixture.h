#pragma once
// What the Carbon suites share: a fixture that checks every handle, CF object and CG context a test
// made is gone at its end, and handlers written as lambdas.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include <Carbon/Carbon.h>

#include <Carbon/testkit.h>
#include <CoreFoundation/testkit.h>
#include <CoreGraphics/testkit.h>

class CarbonTest : public ::testing::Test
{
protected:
  using HandlerFn = std::function<OSStatus(EventHandlerCallRef, EventRef)>;
  struct Handler
  {
    HandlerFn mFn;
    EventHandlerRef mRef = nullptr;
  };

  void SetUp() override
  {
    CFTestUseRealClock(false);
    CFTestSetClock(1000);
    CarbonTestKit::ClearCalls();
    mCFBefore = CFTestLiveObjectCount();
    mContextsBefore = CGTestKit::Live().contexts;
  }

  void TearDown() override
  {
    for (WindowRef w : mWindows) DisposeWindow(w);
    const CarbonTestKit::LiveCounts live = CarbonTestKit::Live();
    EXPECT_EQ(live.windows, 0);
    EXPECT_EQ(live.controls, 0);
    EXPECT_EQ(live.handlers, 0);
    EXPECT_EQ(live.timers, 0);
    EXPECT_EQ(live.events, 0);
    EXPECT_EQ(live.regions, 0);
    EXPECT_EQ(CFTestLiveObjectCount(), mCFBefore) << "CF objects leaked";
    EXPECT_EQ(CGTestKit::Live().contexts, mContextsBefore) << "CG contexts leaked";
  }

  // A window the fixture disposes at the end (disposing it earlier is fine).
  WindowRef Window(int w, int h, bool composited)
  {
    WindowRef window = CarbonTestKit::NewWindow(w, h, composited);
    EXPECT_NE(window, nullptr);
    mWindows.push_back(window);
    return window;
  }

  static OSStatus HandlerProc(EventHandlerCallRef call, EventRef event, void* userData)
  {
    return static_cast<Handler*>(userData)->mFn(call, event);
  }

  Handler& Install(EventTargetRef target, std::initializer_list<EventTypeSpec> types, HandlerFn fn)
  {
    mHandlers.push_back(Handler{std::move(fn), nullptr});
    Handler& h = mHandlers.back();
    const std::vector<EventTypeSpec> list(types);
    EXPECT_EQ(InstallEventHandler(target, NewEventHandlerUPP(HandlerProc), list.size(), list.data(), &h, &h.mRef),
              noErr);
    return h;
  }

  static ControlRef UserPane(WindowRef w, short left, short top, short width, short height, UInt32 features = 0)
  {
    const Rect r = {top, left, (short)(top + height), (short)(left + width)};
    ControlRef c = nullptr;
    EXPECT_EQ(CreateUserPaneControl(w, &r, features, &c), noErr);
    return c;
  }

  static ControlRef ContentView(WindowRef w)
  {
    HIViewRef content = nullptr;
    HIViewFindByID(HIViewGetRoot(w), kHIViewWindowContentID, &content);
    return content;
  }

  template <class T>
  static T Param(EventRef e, EventParamName name, EventParamType type)
  {
    T value{};
    EXPECT_EQ(GetEventParameter(e, name, type, nullptr, sizeof(T), nullptr, &value), noErr);
    return value;
  }

  std::vector<WindowRef> mWindows;
  std::deque<Handler> mHandlers;
  long mCFBefore = 0;
  int mContextsBefore = 0;
};

inline bool operator==(const Rect& a, const Rect& b)
{
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

inline std::ostream& operator<<(std::ostream& os, const Rect& r)
{
  return os << "{t" << r.top << " l" << r.left << " b" << r.bottom << " r" << r.right << "}";
}
