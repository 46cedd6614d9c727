#pragma once
// The records behind the Carbon handles, the registry that says which handles are live, and the
// helpers the sources share.
//
// Every handle handed out is registered with a serial number. A function given a handle first
// asks the registry, so a stale or foreign pointer is refused without being read; code that calls
// out (handlers, timers) keeps (pointer, serial) pairs and asks again afterwards, since a callout
// may dispose anything, and a new record may reuse the address of a freed one.
//
// The HIToolbox is used from one thread at a time, as on the platform; only the registry and the
// call log are locked, so that IsValidWindowPtr and the test kit's counters may be asked from
// anywhere.

#include <cstdint>
#include <string>
#include <vector>

#include <Carbon/Carbon.h>

namespace CarbonRegistry
{
enum EKind
{
  kWindow,
  kControl,
  kTarget,
  kHandler,
  kCallRef,
  kEvent,
  kRegion,
  kPort,
  kEventLoop,
  kTimer,
  kKindCount
};

// Registers a record and answers its serial (never 0).
uint64_t Add(EKind kind, const void* p);
void Remove(EKind kind, const void* p);
bool Contains(EKind kind, const void* p);
// True when p is registered under that serial: the same record, not a later one at its address.
bool Alive(EKind kind, const void* p, uint64_t serial);
int Count(EKind kind);

template <class T>
T* Live(EKind kind, T* p)
{
  return p && Contains(kind, p) ? p : nullptr;
}
}  // namespace CarbonRegistry

// The test kit's call log, and what the last CreateUserPaneControl was given.
void CarbonLogCall(const std::string& line);
void CarbonRecordUserPane(bool made, UInt32 features, const Rect& bounds);

struct OpaqueEventHandlerRef
{
  OpaqueEventTargetRef* mTarget;
  EventHandlerUPP mProc;
  std::vector<EventTypeSpec> mTypes;
  void* mUserData;
  uint64_t mSerial;

  bool Handles(UInt32 eventClass, UInt32 eventKind) const
  {
    for (const EventTypeSpec& t : mTypes)
    {
      if (t.eventClass == eventClass && t.eventKind == eventKind) return true;
    }
    return false;
  }
};

struct OpaqueEventTargetRef
{
  std::vector<OpaqueEventHandlerRef*> mHandlers;  // in the order installed
};

// The dispatch of one event: the chain of handlers it goes through, and how far it got.
struct OpaqueEventHandlerCallRef
{
  struct Step
  {
    OpaqueEventHandlerRef* mHandler;
    uint64_t mSerial;
  };
  std::vector<Step> mChain;  // last installed first
  size_t mNext = 0;
};

struct OpaqueEventRef
{
  struct Param
  {
    EventParamName mName;
    EventParamType mType;
    std::vector<uint8_t> mData;
  };
  UInt32 mClass = 0;
  UInt32 mKind = 0;
  EventTime mTime = 0;
  UInt32 mAttributes = 0;
  int mRefs = 1;
  std::vector<Param> mParams;
};

struct OpaqueRgnHandle
{
  Rect mBounds{0, 0, 0, 0};
};

struct OpaqueGrafPtr
{
  struct OpenContext
  {
    CGContextRef mContext;
    CGContextRef mBacking;  // kept alive while the context draws into its pixels
  };
  OpaqueWindowPtr* mWindow = nullptr;
  std::vector<OpenContext> mOpen;
};

struct OpaqueControlRef
{
  OpaqueWindowPtr* mWindow = nullptr;
  OpaqueControlRef* mParent = nullptr;
  std::vector<OpaqueControlRef*> mChildren;
  HIRect mFrame{{0, 0}, {0, 0}};
  UInt32 mFeatures = 0;
  HIViewID mID{0, 0};
  OpaqueEventTargetRef* mTarget = nullptr;
  HIRect mNeedsDisplay{{0, 0}, {0, 0}};  // view coordinates; empty: nothing to redraw
  bool mDisposing = false;  // its disposal (or a parent's) has begun
  bool mTold = false;       // kEventControlDispose was sent
  uint64_t mSerial = 0;
};

struct OpaqueWindowPtr
{
  WindowClass mClass = kDocumentWindowClass;
  WindowAttributes mAttributes = 0;
  Rect mContent{0, 0, 0, 0};  // global
  CGContextRef mBacking = nullptr;
  OpaqueGrafPtr* mPort = nullptr;
  OpaqueEventTargetRef* mTarget = nullptr;
  OpaqueControlRef* mRoot = nullptr;
  std::vector<OpaqueControlRef*> mControls;  // every control of the window, in the order made
  bool mDisposing = false;
  uint64_t mSerial = 0;

  bool Composited() const { return (mAttributes & kWindowCompositingAttribute) != 0; }
  int Width() const { return mContent.right - mContent.left; }
  int Height() const { return mContent.bottom - mContent.top; }
};

struct OpaqueEventLoopRef
{
  CFRunLoopRef mRunLoop = nullptr;
  uint64_t mSerial = 0;
};

struct OpaqueEventLoopTimerRef
{
  OpaqueEventLoopRef* mLoop = nullptr;  // gone with its thread when that is not the main one
  uint64_t mLoopSerial = 0;
  CFRunLoopRef mRunLoop = nullptr;
  CFRunLoopTimerRef mTimer = nullptr;
  EventTimerInterval mInterval = 0;
  EventLoopTimerUPP mProc = nullptr;
  void* mUserData = nullptr;
};

// ----- Shared helpers

// Event targets (registered) and their handlers.
OpaqueEventTargetRef* CarbonNewTarget();
void CarbonDisposeTarget(OpaqueEventTargetRef* target);

// A backing store of w by h pixels (A, R, G, B), zero-filled; null when it cannot be made.
CGContextRef CarbonNewBacking(int w, int h);
// A context over part of a backing store; null when the part is empty.
CGContextRef CarbonContextOver(CGContextRef backing, int x, int y, int w, int h);

// Geometry. A control's frame in window coordinates, and the part of it its parents and the
// window let it draw into.
HIRect CarbonWindowFrame(const OpaqueControlRef* c);
HIRect CarbonVisibleFrame(const OpaqueControlRef* c);
HIRect CarbonIntersect(const HIRect& a, const HIRect& b);
HIRect CarbonUnion(const HIRect& a, const HIRect& b);
bool CarbonIsEmpty(const HIRect& r);
HIRect CarbonRectToHI(const Rect& r);
// The smallest QuickDraw rectangle holding r.
Rect CarbonHIToRect(const HIRect& r);

// Moves c into container (the checks of EmbedControl).
OSStatus CarbonEmbed(OpaqueControlRef* c, OpaqueControlRef* container);
// Sets a control's frame and tells it when it changed. May call out.
void CarbonSetFrame(OpaqueControlRef* c, const HIRect& frame);
// Sends kEventControlDraw (see the test kit's Draw). May call out.
OSStatus CarbonDrawControl(OpaqueControlRef* c, const Rect* region);
// Disposes a control and its children, telling each first (each control once, whoever disposes
// it). May call out.
void CarbonDisposeControl(OpaqueControlRef* c);
// Frees a control and its children without calling out (the window is going).
void CarbonFreeControlTree(OpaqueControlRef* c);
// A control record (registered, with its target) in the window, inside parent when given.
OpaqueControlRef* CarbonNewControl(OpaqueWindowPtr* w, OpaqueControlRef* parent, const HIRect& frame,
                                   UInt32 features);
