// Event targets, their handlers, and the dispatch of an event along a target's handler chain.

#include <algorithm>

#include "CarbonInternal.h"

using CarbonRegistry::Live;

namespace
{
// Walks the chain from where the dispatch got to. Each handler is asked again for being alive
// before it is called, since an earlier one may have removed it.
OSStatus RunChain(OpaqueEventHandlerCallRef* call, EventRef event)
{
  while (call->mNext < call->mChain.size())
  {
    const OpaqueEventHandlerCallRef::Step step = call->mChain[call->mNext++];
    if (!CarbonRegistry::Alive(CarbonRegistry::kHandler, step.mHandler, step.mSerial)) continue;
    const OSStatus status = step.mHandler->mProc(call, event, step.mHandler->mUserData);
    if (status != eventNotHandledErr) return status;
  }
  return eventNotHandledErr;
}

void FreeHandler(OpaqueEventHandlerRef* h)
{
  CarbonRegistry::Remove(CarbonRegistry::kHandler, h);
  delete h;
}
}  // namespace

OpaqueEventTargetRef* CarbonNewTarget()
{
  OpaqueEventTargetRef* t = new OpaqueEventTargetRef;
  CarbonRegistry::Add(CarbonRegistry::kTarget, t);
  return t;
}

void CarbonDisposeTarget(OpaqueEventTargetRef* target)
{
  if (!target) return;
  for (OpaqueEventHandlerRef* h : target->mHandlers) FreeHandler(h);
  CarbonRegistry::Remove(CarbonRegistry::kTarget, target);
  delete target;
}

EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr userRoutine)
{
  return userRoutine;
}

void DisposeEventHandlerUPP(EventHandlerUPP) {}

EventTargetRef GetWindowEventTarget(WindowRef inWindow)
{
  const OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, inWindow);
  return w ? w->mTarget : nullptr;
}

EventTargetRef GetControlEventTarget(ControlRef inControl)
{
  const OpaqueControlRef* c = Live(CarbonRegistry::kControl, inControl);
  return c ? c->mTarget : nullptr;
}

OSStatus InstallEventHandler(EventTargetRef inTarget, EventHandlerUPP inHandler, ItemCount inNumTypes,
                             const EventTypeSpec* inList, void* inUserData, EventHandlerRef* outRef)
{
  if (outRef) *outRef = nullptr;
  OpaqueEventTargetRef* target = Live(CarbonRegistry::kTarget, inTarget);
  if (!target || !inHandler || (inNumTypes > 0 && !inList)) return paramErr;
  OpaqueEventHandlerRef* h = new OpaqueEventHandlerRef{target, inHandler, {}, inUserData, 0};
  if (inNumTypes > 0) h->mTypes.assign(inList, inList + inNumTypes);
  h->mSerial = CarbonRegistry::Add(CarbonRegistry::kHandler, h);
  target->mHandlers.push_back(h);
  if (outRef) *outRef = h;
  return noErr;
}

OSStatus RemoveEventHandler(EventHandlerRef inHandlerRef)
{
  OpaqueEventHandlerRef* h = Live(CarbonRegistry::kHandler, inHandlerRef);
  if (!h) return paramErr;
  std::vector<OpaqueEventHandlerRef*>& list = h->mTarget->mHandlers;
  list.erase(std::remove(list.begin(), list.end(), h), list.end());
  FreeHandler(h);
  return noErr;
}

OSStatus SendEventToEventTarget(EventRef inEvent, EventTargetRef inTarget)
{
  OpaqueEventTargetRef* target = Live(CarbonRegistry::kTarget, inTarget);
  if (!target || !RetainEvent(inEvent)) return paramErr;
  const UInt32 eventClass = GetEventClass(inEvent), eventKind = GetEventKind(inEvent);

  OpaqueEventHandlerCallRef call;
  for (auto it = target->mHandlers.rbegin(); it != target->mHandlers.rend(); ++it)
  {
    if ((*it)->Handles(eventClass, eventKind)) call.mChain.push_back({*it, (*it)->mSerial});
  }
  CarbonRegistry::Add(CarbonRegistry::kCallRef, &call);
  const OSStatus status = RunChain(&call, inEvent);
  CarbonRegistry::Remove(CarbonRegistry::kCallRef, &call);
  ReleaseEvent(inEvent);
  return status;
}

OSStatus CallNextEventHandler(EventHandlerCallRef inCallRef, EventRef inEvent)
{
  OpaqueEventHandlerCallRef* call = Live(CarbonRegistry::kCallRef, inCallRef);
  if (!call || !CarbonRegistry::Contains(CarbonRegistry::kEvent, inEvent)) return paramErr;
  return RunChain(call, inEvent);
}
