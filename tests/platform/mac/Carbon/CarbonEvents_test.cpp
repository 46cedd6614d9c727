#include <cmath>
#include <cstring>

#include "CarbonFixture.h"

namespace
{
const EventTypeSpec kDown = {kEventClassMouse, kEventMouseDown};
const EventTypeSpec kUp = {kEventClassMouse, kEventMouseUp};
const EventTypeSpec kKeyDown = {kEventClassKeyboard, kEventRawKeyDown};

using Strings = std::vector<std::string>;

using CarbonHandlers = CarbonTest;
using CarbonEventRecords = CarbonTest;
using CarbonTimers = CarbonTest;
}  // namespace

TEST_F(CarbonHandlers, LastInstalledFirstAndCallNextRunsTheRest)
{
  WindowRef w = Window(100, 100, true);
  EventTargetRef target = GetWindowEventTarget(w);
  Strings log;
  Install(target, {kDown}, [&](EventHandlerCallRef, EventRef) {
    log.push_back("first");
    return (OSStatus)eventNotHandledErr;
  });
  Install(target, {kDown}, [&](EventHandlerCallRef call, EventRef e) {
    log.push_back("second");
    const OSStatus rest = CallNextEventHandler(call, e);
    log.push_back("second after next: " + std::to_string(rest));
    return (OSStatus)noErr;
  });
  Install(target, {kDown}, [&](EventHandlerCallRef, EventRef) {
    log.push_back("third");
    return (OSStatus)eventNotHandledErr;
  });

  EXPECT_EQ(CarbonTestKit::MouseDown(w, 1, 1, 0), noErr);
  // "first" ran inside "second"'s CallNextEventHandler and is not called again afterwards.
  EXPECT_EQ(log, Strings({"third", "second", "first", "second after next: -9874"}));

  // A handler that takes the event ends the chain; its answer is the result.
  log.clear();
  Install(target, {kDown}, [&](EventHandlerCallRef, EventRef) {
    log.push_back("taker");
    return (OSStatus)-1234;
  });
  EXPECT_EQ(CarbonTestKit::MouseDown(w, 1, 1, 0), -1234);
  EXPECT_EQ(log, Strings({"taker"}));
  // Nobody for this kind; a call reference or event from nowhere is refused.
  EXPECT_EQ(CarbonTestKit::MouseUp(w, 1, 1, 0), eventNotHandledErr);
  int stack = 0;
  EXPECT_EQ(CallNextEventHandler((EventHandlerCallRef)&stack, nullptr), paramErr);
}

TEST_F(CarbonHandlers, OnlyTheClassesAndKindsInstalledFor)
{
  WindowRef w = Window(100, 100, true);
  EventTargetRef target = GetWindowEventTarget(w);
  Strings log;
  auto logger = [&](const char* name) {
    return [&log, name](EventHandlerCallRef, EventRef e) {
      log.push_back(std::string(name) + ":" + std::to_string(GetEventKind(e)));
      return (OSStatus)eventNotHandledErr;
    };
  };
  Install(target, {kDown, kUp}, logger("mouse"));
  Install(target, {kKeyDown}, logger("key"));
  // The keyboard class with a mouse down's kind number: key downs, not mouse downs.
  Install(target, {{kEventClassKeyboard, kEventMouseDown}}, logger("keyboard1"));
  Install(GetControlEventTarget(ContentView(w)), {kDown}, logger("content"));  // another target

  CarbonTestKit::Click(w, 5, 5, 0);
  CarbonTestKit::MouseMoved(w, 5, 5, 0);
  CarbonTestKit::Key(w, 12, 0);
  CarbonTestKit::KeyUp(w, 12, 0);
  EXPECT_EQ(log, Strings({"mouse:1", "mouse:2", "keyboard1:1", "key:1"}));
}

TEST_F(CarbonHandlers, RemovalAlsoFromInsideAHandler)
{
  WindowRef w = Window(100, 100, true);
  EventTargetRef target = GetWindowEventTarget(w);
  Strings log;
  Handler& last = Install(target, {kDown}, [&](EventHandlerCallRef, EventRef) {
    log.push_back("removed by middle");
    return (OSStatus)noErr;
  });
  Install(target, {kDown}, [&](EventHandlerCallRef, EventRef) {
    log.push_back("middle removes last: " + std::to_string(RemoveEventHandler(last.mRef)));
    return (OSStatus)eventNotHandledErr;
  });
  Handler* selfPtr = nullptr;
  Handler& self = Install(target, {kDown}, [&](EventHandlerCallRef call, EventRef e) {
    log.push_back("self");
    EXPECT_EQ(RemoveEventHandler(selfPtr->mRef), noErr);
    return CallNextEventHandler(call, e);  // the chain goes on after its own removal
  });
  selfPtr = &self;

  EXPECT_EQ(CarbonTestKit::MouseDown(w, 1, 1, 0), eventNotHandledErr);
  EXPECT_EQ(log, Strings({"self", "middle removes last: 0"}));
  EXPECT_EQ(CarbonTestKit::Live().handlers, 1);
  EXPECT_EQ(RemoveEventHandler(self.mRef), paramErr);  // gone already
  EXPECT_EQ(RemoveEventHandler(nullptr), paramErr);
  log.clear();
  EXPECT_EQ(CarbonTestKit::MouseDown(w, 1, 1, 0), eventNotHandledErr);
  EXPECT_EQ(log, Strings({"middle removes last: -50"}));

  // Bad installs.
  EventHandlerRef ref = (EventHandlerRef)&log;
  EXPECT_EQ(InstallEventHandler(nullptr, HandlerProc, 1, &kDown, nullptr, &ref), paramErr);
  EXPECT_EQ(ref, nullptr);
  EXPECT_EQ(InstallEventHandler(target, nullptr, 1, &kDown, nullptr, &ref), paramErr);
  EXPECT_EQ(InstallEventHandler(target, HandlerProc, 2, nullptr, nullptr, &ref), paramErr);
  EXPECT_EQ(InstallEventHandler((EventTargetRef)&log, HandlerProc, 1, &kDown, nullptr, &ref), paramErr);
}

TEST_F(CarbonHandlers, DisposingTheWindowFromAHandlerEndsTheChain)
{
  WindowRef w = Window(100, 100, true);
  int laterCalls = 0;
  Install(GetWindowEventTarget(w), {kDown}, [&](EventHandlerCallRef, EventRef) {
    ++laterCalls;
    return (OSStatus)noErr;
  });
  Install(GetWindowEventTarget(w), {kDown}, [&](EventHandlerCallRef call, EventRef e) {
    DisposeWindow(w);
    EXPECT_EQ(CallNextEventHandler(call, e), eventNotHandledErr);  // the rest of the chain went with it
    return (OSStatus)eventNotHandledErr;
  });
  EXPECT_EQ(CarbonTestKit::MouseDown(w, 1, 1, 0), eventNotHandledErr);
  EXPECT_EQ(laterCalls, 0);
  EXPECT_FALSE(IsValidWindowPtr(w));
  EXPECT_EQ(CarbonTestKit::MouseDown(w, 1, 1, 0), paramErr);
}

TEST_F(CarbonEventRecords, InputEventsCarryTheirParameters)
{
  WindowRef w = Window(100, 100, true);
  std::vector<EventRef> seen;
  Install(GetWindowEventTarget(w),
          {kDown, kUp, {kEventClassMouse, kEventMouseDragged}, {kEventClassMouse, kEventMouseWheelMoved}, kKeyDown},
          [&](EventHandlerCallRef, EventRef e) {
            seen.push_back(RetainEvent(e));
            return (OSStatus)noErr;
          });
  EXPECT_EQ(CarbonTestKit::Click(w, 10.5, 20, shiftKey | cmdKey, 2), noErr);
  EXPECT_EQ(CarbonTestKit::MouseDragged(w, 11, 21, optionKey), noErr);
  EXPECT_EQ(CarbonTestKit::Wheel(w, 3, 4, controlKey, kEventMouseWheelAxisY, -3), noErr);
  EXPECT_EQ(CarbonTestKit::Key(w, 36, alphaLock), noErr);
  ASSERT_EQ(seen.size(), 5u);

  EventRef down = seen[0];
  EXPECT_EQ(GetEventClass(down), kEventClassMouse);
  EXPECT_EQ(GetEventKind(down), kEventMouseDown);
  EXPECT_EQ(GetEventTime(down), 1000.0);
  const HIPoint where = Param<HIPoint>(down, kEventParamWindowMouseLocation, typeHIPoint);
  EXPECT_EQ(where.x, 10.5);
  EXPECT_EQ(where.y, 20);
  const HIPoint global = Param<HIPoint>(down, kEventParamMouseLocation, typeHIPoint);
  EXPECT_EQ(global.x, 110.5);
  EXPECT_EQ(global.y, 120);
  EXPECT_EQ(Param<UInt32>(down, kEventParamKeyModifiers, typeUInt32), (UInt32)(shiftKey | cmdKey));
  EXPECT_EQ(Param<UInt32>(down, kEventParamClickCount, typeUInt32), 2u);
  EXPECT_EQ(Param<EventMouseButton>(down, kEventParamMouseButton, typeMouseButton), kEventMouseButtonPrimary);
  EXPECT_EQ(GetEventKind(seen[1]), kEventMouseUp);
  EXPECT_EQ(Param<UInt32>(seen[2], kEventParamKeyModifiers, typeUInt32), (UInt32)optionKey);
  EXPECT_EQ(Param<EventMouseWheelAxis>(seen[3], kEventParamMouseWheelAxis, typeMouseWheelAxis), kEventMouseWheelAxisY);
  EXPECT_EQ(Param<SInt32>(seen[3], kEventParamMouseWheelDelta, typeSInt32), -3);
  EXPECT_EQ(Param<UInt32>(seen[4], kEventParamKeyCode, typeUInt32), 36u);
  EXPECT_EQ(Param<UInt32>(seen[4], kEventParamKeyModifiers, typeUInt32), (UInt32)alphaLock);
  for (EventRef e : seen) ReleaseEvent(e);
}

TEST_F(CarbonEventRecords, ParametersRefuseWrongTypesAndSmallBuffers)
{
  EventRef e = nullptr;
  ASSERT_EQ(CreateEvent(nullptr, kEventClassMouse, kEventMouseDown, 0, 0, &e), noErr);
  const HIPoint point = {1.5, -2.5};
  ASSERT_EQ(SetEventParameter(e, kEventParamWindowMouseLocation, typeHIPoint, sizeof(point), &point), noErr);
  const UInt32 mods = 0x300;
  ASSERT_EQ(SetEventParameter(e, kEventParamKeyModifiers, typeUInt32, sizeof(mods), &mods), noErr);
  EXPECT_EQ(SetEventParameter(e, kEventParamClickCount, typeUInt32, 4, nullptr), paramErr);

  struct Case
  {
    const char* what;
    EventParamName name;
    EventParamType type;
    ByteCount bufferSize;
    OSStatus status;
    ByteCount actualSize;  // reported (0: not reported)
    bool written;
  } cases[] = {
    {"exact", kEventParamWindowMouseLocation, typeHIPoint, sizeof(HIPoint), noErr, sizeof(HIPoint), true},
    {"larger buffer", kEventParamWindowMouseLocation, typeHIPoint, 64, noErr, sizeof(HIPoint), true},
    {"any type", kEventParamWindowMouseLocation, typeWildCardType, sizeof(HIPoint), noErr, sizeof(HIPoint), true},
    {"smaller buffer", kEventParamWindowMouseLocation, typeHIPoint, sizeof(HIPoint) - 1, errDataSizeMismatch,
     sizeof(HIPoint), false},
    {"no buffer", kEventParamWindowMouseLocation, typeHIPoint, 0, errDataSizeMismatch, sizeof(HIPoint), false},
    {"other type", kEventParamKeyModifiers, typeSInt32, 64, errAECoercionFail, sizeof(UInt32), false},
    {"missing", kEventParamClickCount, typeUInt32, 64, eventParameterNotFoundErr, 0, false},
  };
  for (const Case& c : cases)
  {
    // The buffer sits between guards; only bufferSize bytes of it may change.
    uint8_t storage[96];
    memset(storage, 0xAB, sizeof(storage));
    uint8_t* buffer = storage + 16;
    EventParamType actualType = 0;
    ByteCount actualSize = 0;
    EXPECT_EQ(GetEventParameter(e, c.name, c.type, &actualType, c.bufferSize, &actualSize, buffer), c.status) << c.what;
    EXPECT_EQ(actualSize, c.actualSize) << c.what;
    for (size_t i = 0; i < sizeof(storage); ++i)
    {
      const bool inData = storage + i >= buffer && storage + i < buffer + c.actualSize;
      if (!inData || !c.written)
      {
        ASSERT_EQ(storage[i], 0xAB) << c.what << " byte " << i;
      }
    }
    if (c.written)
    {
      EXPECT_EQ(memcmp(buffer, &point, sizeof(point)), 0) << c.what;
    }
  }
  // Size and type only.
  EventParamType type = 0;
  ByteCount size = 0;
  EXPECT_EQ(GetEventParameter(e, kEventParamKeyModifiers, typeWildCardType, &type, 0, &size, nullptr), noErr);
  EXPECT_EQ(type, (EventParamType)typeUInt32);
  EXPECT_EQ(size, 4u);
  // Replacing keeps one parameter of the name, with the new type.
  const SInt32 v = -7;
  SetEventParameter(e, kEventParamKeyModifiers, typeSInt32, sizeof(v), &v);
  EXPECT_EQ(Param<SInt32>(e, kEventParamKeyModifiers, typeSInt32), -7);

  ReleaseEvent(e);
  UInt32 out = 0;
  EXPECT_EQ(GetEventParameter(e, kEventParamKeyModifiers, typeUInt32, nullptr, 4, nullptr, &out), paramErr);
  EXPECT_EQ(CreateEvent(nullptr, 1, 1, 0, 0, nullptr), paramErr);
}

TEST_F(CarbonEventRecords, ReferenceCounted)
{
  EventRef e = nullptr;
  ASSERT_EQ(CreateEvent(nullptr, kEventClassControl, kEventControlDraw, 55.5, 0, &e), noErr);
  EXPECT_EQ(GetEventTime(e), 55.5);
  EXPECT_EQ(RetainEvent(e), e);
  ReleaseEvent(e);
  EXPECT_EQ(CarbonTestKit::Live().events, 1);
  EXPECT_EQ(GetEventClass(e), kEventClassControl);
  ReleaseEvent(e);
  EXPECT_EQ(CarbonTestKit::Live().events, 0);
  // A freed or foreign event is refused, not read.
  ReleaseEvent(e);
  EXPECT_EQ(RetainEvent(e), nullptr);
  EXPECT_EQ(GetEventClass(e), 0u);
  EXPECT_EQ(SendEventToEventTarget(e, nullptr), paramErr);
}

TEST_F(CarbonTimers, FireOnTheVirtualClockWhileTheMainLoopRuns)
{
  EXPECT_EQ(GetCurrentEventLoop(), GetMainEventLoop());
  EXPECT_EQ(GetCFRunLoopFromEventLoop(GetMainEventLoop()), (CFTypeRef)CFRunLoopGetMain());
  std::vector<double> fires;
  EventLoopTimerRef timer = nullptr;
  ASSERT_EQ(InstallEventLoopTimer(GetMainEventLoop(), 0, kEventDurationSecond / 15.0,
                                  NewEventLoopTimerUPP([](EventLoopTimerRef, void* data) {
                                    static_cast<std::vector<double>*>(data)->push_back(CFAbsoluteTimeGetCurrent());
                                  }),
                                  &fires, &timer),
            noErr);
  EXPECT_TRUE(fires.empty());  // nothing happens until the loop runs
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1, false);
  ASSERT_EQ(fires.size(), 15u);
  for (size_t k = 0; k < fires.size(); ++k) EXPECT_EQ(fires[k], 1000.0 + (double)k * (1.0 / 15.0)) << k;
  EXPECT_EQ(RemoveEventLoopTimer(timer), noErr);
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1, false);
  EXPECT_EQ(fires.size(), 15u);
  EXPECT_EQ(RemoveEventLoopTimer(timer), paramErr);
  EXPECT_EQ(CarbonTestKit::Calls(), Strings({"InstallEventLoopTimer 0 0.0666667", "RemoveEventLoopTimer"}));
}

TEST_F(CarbonTimers, RemovedFromItsOwnCallbackAndReArmed)
{
  struct State
  {
    EventLoopTimerRef mTimer = nullptr;
    int mFires = 0;
  } repeating, once;
  auto removeAfterThree = [](EventLoopTimerRef t, void* data) {
    State* s = static_cast<State*>(data);
    EXPECT_EQ(t, s->mTimer);
    if (++s->mFires == 3)
    {
      EXPECT_EQ(RemoveEventLoopTimer(t), noErr);
    }
  };
  ASSERT_EQ(InstallEventLoopTimer(GetMainEventLoop(), 0.5, 0.25, removeAfterThree, &repeating, &repeating.mTimer), noErr);
  ASSERT_EQ(InstallEventLoopTimer(GetMainEventLoop(), 0.1, 0, [](EventLoopTimerRef, void* data) {
              ++static_cast<State*>(data)->mFires;
            }, &once, &once.mTimer), noErr);
  EXPECT_EQ(CarbonTestKit::Live().timers, 2);
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 2, false);
  EXPECT_EQ(repeating.mFires, 3);
  EXPECT_EQ(once.mFires, 1);
  EXPECT_EQ(CarbonTestKit::Live().timers, 1);  // a one-shot stays installed until removed

  // Fired once, set to fire again; then never.
  EXPECT_EQ(SetEventLoopTimerNextFireTime(once.mTimer, 0.5), noErr);
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1, false);
  EXPECT_EQ(once.mFires, 2);
  EXPECT_EQ(SetEventLoopTimerNextFireTime(once.mTimer, kEventDurationForever), noErr);
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1, false);
  EXPECT_EQ(once.mFires, 2);
  EXPECT_EQ(RemoveEventLoopTimer(once.mTimer), noErr);

  EventLoopTimerRef t = nullptr;
  EXPECT_EQ(InstallEventLoopTimer(nullptr, 0, 1, removeAfterThree, nullptr, &t), paramErr);
  EXPECT_EQ(InstallEventLoopTimer(GetMainEventLoop(), 0, 1, nullptr, nullptr, &t), paramErr);
  EXPECT_EQ(InstallEventLoopTimer(GetMainEventLoop(), NAN, 1, removeAfterThree, nullptr, &t), paramErr);
  EXPECT_EQ(t, nullptr);
  EXPECT_EQ(RemoveEventLoopTimer((EventLoopTimerRef)&t), paramErr);
}
