#pragma once
// The handle and value types the HIToolbox interfaces are declared with. Every handle is a pointer
// to a record only the stand-in knows; a handle the stand-in did not hand out (or has freed) is
// recognised as such and refused, never dereferenced.

#include <MacTypes.h>

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

typedef unsigned long ItemCount;
typedef unsigned long ByteCount;

typedef struct OpaqueWindowPtr* WindowRef;
typedef struct OpaqueControlRef* ControlRef;
typedef ControlRef HIViewRef;

typedef struct OpaqueEventRef* EventRef;
typedef struct OpaqueEventHandlerRef* EventHandlerRef;
typedef struct OpaqueEventHandlerCallRef* EventHandlerCallRef;
typedef struct OpaqueEventTargetRef* EventTargetRef;
typedef struct OpaqueEventLoopRef* EventLoopRef;
typedef struct OpaqueEventLoopTimerRef* EventLoopTimerRef;

typedef CGPoint HIPoint;
typedef CGRect HIRect;

// Seconds, on the clock of the CoreFoundation subset's run loops.
typedef double EventTime;
typedef EventTime EventTimeout;
typedef EventTime EventTimerInterval;

constexpr EventTime kEventDurationSecond = 1.0;
constexpr EventTime kEventDurationMillisecond = kEventDurationSecond / 1000;
constexpr EventTime kEventDurationMicrosecond = kEventDurationSecond / 1000000;
constexpr EventTime kEventDurationMinute = kEventDurationSecond * 60;
constexpr EventTime kEventDurationNoWait = 0.0;
constexpr EventTime kEventDurationForever = -1.0;
