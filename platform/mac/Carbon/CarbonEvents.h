#pragma once
// Carbon events: reference-counted records of a class, a kind, a time and typed parameters, sent
// to the handlers installed on a window's or a control's event target; and timers on the event
// loops, which are the CoreFoundation subset's run loops.

#include <Carbon/HIToolboxTypes.h>

typedef UInt32 EventParamName;
typedef UInt32 EventParamType;

enum
{
  eventParameterNotFoundErr = -9870,
  eventNotHandledErr = -9874,
  // GetEventParameter: the parameter is of another type than the one asked for.
  errAECoercionFail = -1700,
  // GetEventParameter: the buffer is smaller than the parameter.
  errDataSizeMismatch = -9878
};

// ----- Classes and kinds

enum : UInt32
{
  kEventClassMouse = 0x6D6F7573,     // 'mous'
  kEventClassKeyboard = 0x6B657962,  // 'keyb'
  kEventClassControl = 0x636E746C,   // 'cntl'
  kEventClassWindow = 0x77696E64     // 'wind'
};

enum : UInt32
{
  kEventMouseDown = 1,
  kEventMouseUp = 2,
  kEventMouseMoved = 5,
  kEventMouseDragged = 6,
  kEventMouseWheelMoved = 10
};

enum : UInt32
{
  kEventRawKeyDown = 1,
  kEventRawKeyRepeat = 2,
  kEventRawKeyUp = 3
};

enum : UInt32
{
  kEventControlDraw = 4,               // to draw: 'cntx' (composited windows) or 'graf', and 'rgnh'
  kEventControlClick = 13,             // a click that the control may take
  kEventControlBoundsChanged = 154,    // the frame changed: 'attr', 'prbd', 'crct'
  kEventControlInitialize = 1000,
  kEventControlDispose = 1001          // the control is going away
};

// ----- Parameters and their types

enum : UInt32
{
  kEventParamDirectObject = 0x2D2D2D2D,         // '----' (typeControlRef for control events)
  kEventParamWindowMouseLocation = 0x776D6F75,  // 'wmou' typeHIPoint, window coordinates
  kEventParamMouseLocation = 0x6D6C6F63,        // 'mloc' typeHIPoint, global coordinates
  kEventParamMouseButton = 0x6D62746E,          // 'mbtn' typeMouseButton
  kEventParamKeyModifiers = 0x6B6D6F64,         // 'kmod' typeUInt32
  kEventParamClickCount = 0x63636E74,           // 'ccnt' typeUInt32
  kEventParamMouseWheelAxis = 0x6D776178,       // 'mwax' typeMouseWheelAxis
  kEventParamMouseWheelDelta = 0x6D77646C,      // 'mwdl' typeSInt32
  kEventParamKeyCode = 0x6B636F64,              // 'kcod' typeUInt32
  kEventParamRgnHandle = 0x72676E68,            // 'rgnh' typeQDRgnHandle
  kEventParamCGContextRef = 0x636E7478,         // 'cntx' typeCGContextRef
  kEventParamGrafPort = 0x67726166,             // 'graf' typeGrafPtr
  kEventParamAttributes = 0x61747472,           // 'attr' typeUInt32
  kEventParamPreviousBounds = 0x70726264,       // 'prbd' typeQDRectangle
  kEventParamCurrentBounds = 0x63726374         // 'crct' typeQDRectangle
};

enum : UInt32
{
  typeWildCardType = 0x2A2A2A2A,    // '****' GetEventParameter: whatever type the parameter has
  typeHIPoint = 0x68697074,         // 'hipt' HIPoint
  typeUInt32 = 0x6D61676E,          // 'magn' UInt32
  typeSInt32 = 0x6C6F6E67,          // 'long' SInt32
  typeMouseWheelAxis = 0x6D776178,  // 'mwax' EventMouseWheelAxis
  typeMouseButton = 0x6D62746E,     // 'mbtn' EventMouseButton
  typeQDRgnHandle = 0x72676E68,     // 'rgnh' RgnHandle
  typeCGContextRef = 0x636E7478,    // 'cntx' CGContextRef
  typeGrafPtr = 0x67726166,         // 'graf' CGrafPtr
  typeQDRectangle = 0x71647274,     // 'qdrt' Rect
  typeControlRef = 0x6374726C,      // 'ctrl' ControlRef
  typeWindowRef = 0x77696E64        // 'wind' WindowRef
};

typedef UInt16 EventMouseWheelAxis;
enum : EventMouseWheelAxis
{
  kEventMouseWheelAxisX = 0,
  kEventMouseWheelAxisY = 1
};

typedef UInt16 EventMouseButton;
enum : EventMouseButton
{
  kEventMouseButtonPrimary = 1,
  kEventMouseButtonSecondary = 2,
  kEventMouseButtonTertiary = 3
};

// kEventParamKeyModifiers bits.
enum : UInt32
{
  cmdKey = 0x100,
  shiftKey = 0x200,
  alphaLock = 0x400,
  optionKey = 0x800,
  controlKey = 0x1000
};

// kEventParamAttributes bits of kEventControlBoundsChanged.
enum : UInt32
{
  kControlBoundsChangeSizeChanged = 1u << 2,
  kControlBoundsChangePositionChanged = 1u << 3
};

// ----- Events

// The current time of the run loops' clock.
EventTime GetCurrentEventTime(void);

// inWhen 0 stands for now. The caller holds one reference.
OSStatus CreateEvent(CFAllocatorRef inAllocator, UInt32 inClassID, UInt32 inKind, EventTime inWhen,
                     UInt32 inAttributes, EventRef* outEvent);
EventRef RetainEvent(EventRef inEvent);
void ReleaseEvent(EventRef inEvent);
UInt32 GetEventClass(EventRef inEvent);
UInt32 GetEventKind(EventRef inEvent);
EventTime GetEventTime(EventRef inEvent);

// Copies the data in; a parameter of the same name is replaced.
OSStatus SetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inType, ByteCount inSize,
                           const void* inDataPtr);
// eventParameterNotFoundErr when the event has no such parameter; errAECoercionFail when it has
// another type than inDesiredType (unless that is typeWildCardType); errDataSizeMismatch when
// inBufferSize is smaller than the data. Nothing is written to outData then; the actual type and
// size are still reported. With a null outData only the type and size are reported.
OSStatus GetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inDesiredType,
                           EventParamType* outActualType, ByteCount inBufferSize, ByteCount* outActualSize,
                           void* outData);

// ----- Handlers

typedef OSStatus (*EventHandlerProcPtr)(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void* inUserData);
typedef EventHandlerProcPtr EventHandlerUPP;

struct EventTypeSpec
{
  UInt32 eventClass;
  UInt32 eventKind;
};

EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr userRoutine);
void DisposeEventHandlerUPP(EventHandlerUPP userUPP);

EventTargetRef GetWindowEventTarget(WindowRef inWindow);
EventTargetRef GetControlEventTarget(ControlRef inControl);

// The handler is called for events of the listed classes and kinds sent to the target, until it
// is removed or its target goes. outRef may be null.
OSStatus InstallEventHandler(EventTargetRef inTarget, EventHandlerUPP inHandler, ItemCount inNumTypes,
                             const EventTypeSpec* inList, void* inUserData, EventHandlerRef* outRef);
// Safe from inside the handler itself; a removed handler is never called again.
OSStatus RemoveEventHandler(EventHandlerRef inHandlerRef);

// Calls the target's handlers for the event's class and kind, the last installed first, until one
// answers anything but eventNotHandledErr; that answer is the result (eventNotHandledErr when none
// took it).
OSStatus SendEventToEventTarget(EventRef inEvent, EventTargetRef inTarget);
// From inside a handler: runs the rest of the chain for this event and answers as it does.
OSStatus CallNextEventHandler(EventHandlerCallRef inCallRef, EventRef inEvent);

// ----- Event loops and their timers

typedef void (*EventLoopTimerProcPtr)(EventLoopTimerRef inTimer, void* inUserData);
typedef EventLoopTimerProcPtr EventLoopTimerUPP;

EventLoopTimerUPP NewEventLoopTimerUPP(EventLoopTimerProcPtr userRoutine);
void DisposeEventLoopTimerUPP(EventLoopTimerUPP userUPP);

// The main thread's loop, and the calling thread's.
EventLoopRef GetMainEventLoop(void);
EventLoopRef GetCurrentEventLoop(void);
CFTypeRef GetCFRunLoopFromEventLoop(EventLoopRef inEventLoop);

// A timer on the loop's run loop, in the common modes, first firing inFireDelay seconds from now
// (never, for kEventDurationForever) and then every inInterval seconds (0: once). It fires while
// that loop runs (CFRunLoopRunInMode) and stays until RemoveEventLoopTimer, which is safe from its
// own callback; a timer that fired once may be set to fire again. outTimer may be null.
OSStatus InstallEventLoopTimer(EventLoopRef inEventLoop, EventTimerInterval inFireDelay,
                               EventTimerInterval inInterval, EventLoopTimerUPP inTimerProc, void* inTimerData,
                               EventLoopTimerRef* outTimer);
OSStatus RemoveEventLoopTimer(EventLoopTimerRef inTimer);
// The next fire comes inNextFire seconds from now (never, for kEventDurationForever).
OSStatus SetEventLoopTimerNextFireTime(EventLoopTimerRef inTimer, EventTimerInterval inNextFire);
