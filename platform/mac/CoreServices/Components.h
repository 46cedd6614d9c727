#pragma once
// The Component Manager: components registered with an entry routine, instances opened from them,
// and selector calls into an instance's entry.
//
// Calling convention (shared by the entry of every component and every caller): a call is one
// ComponentParameters record. `what` is the selector. params[0] is the instance the call is
// addressed to (for the open selector, the new instance); params[1], params[2], ... are the
// call's arguments in the order of the published call, each in a pointer-sized slot: pointers and
// integers up to 64 bits are stored in the slot's low bytes, a float or double by its bit pattern.
// ComponentParamSet and ComponentParamAt write and read a slot; CallComponentSelector packs a
// whole call. paramSize is the number of argument bytes after params[0].
//
// Instance and component handles are records whose layout this header fixes, so that a module
// with its own copy of this code (a plug-in bundle) reads and writes the instance storage of a
// handle that the host's copy created.

#include <string.h>

#include <MacTypes.h>

typedef SInt32 ComponentResult;

struct ComponentDescription
{
  OSType componentType;
  OSType componentSubType;
  OSType componentManufacturer;
  UInt32 componentFlags;
  UInt32 componentFlagsMask;
};

enum
{
  kComponentOpenSelect = -1,
  kComponentCloseSelect = -2,
  kComponentCanDoSelect = -3,
  kComponentVersionSelect = -4,
  kComponentRegisterSelect = -5,
  kComponentTargetSelect = -6,
  kComponentUnregisterSelect = -7
};

enum : SInt32
{
  invalidComponentID = -3000,
  badComponentInstance = (SInt32)0x80008001,
  badComponentSelector = (SInt32)0x80008002
};

enum { kComponentMaxParams = 16 };

struct ComponentParameters
{
  UInt8 flags;
  UInt8 paramSize;
  SInt16 what;
  uintptr_t params[kComponentMaxParams];
};

// The storage is the instance storage the entry set at open (an untyped pointer here).
typedef ComponentResult (*ComponentRoutineProcPtr)(ComponentParameters* cp, void* componentStorage);
typedef ComponentRoutineProcPtr ComponentRoutineUPP;

// Where events raised inside an instance's own code are delivered (see AUEventListenerNotify);
// the opening process's Component Manager fills it in at open.
typedef OSStatus (*ComponentEventSinkProc)(void* listener, void* object, const void* event);

enum : UInt32
{
  kComponentRecordMagic = 0x436D7052,   // 'CmpR'
  kComponentInstanceMagic = 0x436D7049  // 'CmpI'
};

struct ComponentRecord
{
  UInt32 mMagic;
  ComponentDescription mDescription;
  ComponentRoutineProcPtr mEntry;
  char mName[256];
  ComponentRecord* mNext;
};

struct ComponentInstanceRecord
{
  UInt32 mMagic;
  ComponentDescription mDescription;
  ComponentRoutineProcPtr mEntry;
  Handle mStorage;
  ComponentRecord* mComponent;
  ComponentEventSinkProc mEventSink;
};

typedef ComponentRecord* Component;
typedef ComponentInstanceRecord* ComponentInstance;

template <class T>
inline void ComponentParamSet(ComponentParameters* cp, int idx, T value)
{
  static_assert(sizeof(T) <= sizeof(uintptr_t), "an argument fits one slot");
  cp->params[idx] = 0;
  memcpy(&cp->params[idx], &value, sizeof(T));
}

template <class T>
inline T ComponentParamAt(const ComponentParameters* cp, int idx)
{
  static_assert(sizeof(T) <= sizeof(uintptr_t), "an argument fits one slot");
  T value;
  memcpy(&value, &cp->params[idx], sizeof(T));
  return value;
}

// ----- Registration and lookup (the process's own list) -----

// Registers an entry under a description; name may be null. global is accepted and ignored.
Component RegisterComponent(const ComponentDescription* cd, ComponentRoutineUPP entry, SInt16 global, const char* name);
OSErr UnregisterComponent(Component aComponent);
// The next registered component after previous (null: the first) that matches the description:
// a zero type, subtype or manufacturer matches anything.
Component FindNextComponent(Component previous, const ComponentDescription* looking);
long CountComponents(const ComponentDescription* looking);

// Opens an instance through the entry's open selector; on failure nothing is left open.
OSErr OpenAComponent(Component aComponent, ComponentInstance* ci);
ComponentInstance OpenComponent(Component aComponent);
// Calls the close selector and frees the handle.
OSErr CloseComponent(ComponentInstance ci);

// The event sink that instances opened from now on get.
void SetComponentEventSink(ComponentEventSinkProc sink);

// ----- What any copy can do with a handle -----

// Accepts a Component or a ComponentInstance. The name, info and icon handles are not filled.
OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle componentName, Handle componentInfo,
                       Handle componentIcon);
void SetComponentInstanceStorage(ComponentInstance ci, Handle storage);
Handle GetComponentInstanceStorage(ComponentInstance ci);
// The instance of params[0] when it is a live handle, else null.
ComponentInstance ComponentInstanceFromParams(const ComponentParameters* cp);
// Calls the entry of the instance in params[0] with its storage; badComponentInstance for a bad handle.
ComponentResult CallComponentDispatch(ComponentParameters* cp);

template <class... Args>
inline ComponentResult CallComponentSelector(ComponentInstance ci, SInt16 what, Args... args)
{
  static_assert(sizeof...(Args) < kComponentMaxParams, "too many arguments");
  ComponentParameters cp;
  memset(&cp, 0, sizeof(cp));
  cp.what = what;
  cp.paramSize = (UInt8)(sizeof...(Args) * sizeof(uintptr_t));
  ComponentParamSet(&cp, 0, ci);
  int idx = 1;
  (ComponentParamSet(&cp, idx++, args), ...);
  (void)idx;
  return CallComponentDispatch(&cp);
}
