// The Component Manager: the process's registered components and the instances opened from them.

#include <CoreServices/Components.h>

#include <atomic>
#include <mutex>
#include <vector>

namespace
{
std::mutex s_mutex;
ComponentRecord* s_first = nullptr;
std::atomic<ComponentEventSinkProc> s_eventSink{nullptr};
// Closed instance records, kept for ever (see CloseComponent); never destroyed, so they stay
// reachable to the very end.
std::mutex s_closedMutex;
std::vector<ComponentInstanceRecord*>& s_closed = *new std::vector<ComponentInstanceRecord*>;

bool Matches(const ComponentDescription& d, const ComponentDescription* looking)
{
  if (!looking) return true;
  return (!looking->componentType || looking->componentType == d.componentType) &&
         (!looking->componentSubType || looking->componentSubType == d.componentSubType) &&
         (!looking->componentManufacturer || looking->componentManufacturer == d.componentManufacturer);
}

bool IsComponent(Component c)
{
  return c && c->mMagic == kComponentRecordMagic;
}

bool IsInstance(ComponentInstance ci)
{
  return ci && ci->mMagic == kComponentInstanceMagic;
}

// A component's 32-bit result as the 16-bit error of the open and close calls.
OSErr ToOSErr(ComponentResult result)
{
  return (result >= -32768 && result <= 32767) ? (OSErr)result : (OSErr)invalidComponentID;
}
}  // namespace

Component RegisterComponent(const ComponentDescription* cd, ComponentRoutineUPP entry, SInt16, const char* name)
{
  if (!cd || !entry) return nullptr;
  ComponentRecord* c = new ComponentRecord();
  c->mMagic = kComponentRecordMagic;
  c->mDescription = *cd;
  c->mEntry = entry;
  if (name) strncpy(c->mName, name, sizeof(c->mName) - 1);
  std::lock_guard<std::mutex> lock(s_mutex);
  ComponentRecord** tail = &s_first;
  while (*tail) tail = &(*tail)->mNext;
  *tail = c;
  return c;
}

OSErr UnregisterComponent(Component aComponent)
{
  std::lock_guard<std::mutex> lock(s_mutex);
  for (ComponentRecord** p = &s_first; *p; p = &(*p)->mNext)
  {
    if (*p != aComponent) continue;
    *p = aComponent->mNext;
    aComponent->mMagic = 0;
    delete aComponent;
    return noErr;
  }
  return (OSErr)invalidComponentID;
}

Component FindNextComponent(Component previous, const ComponentDescription* looking)
{
  std::lock_guard<std::mutex> lock(s_mutex);
  ComponentRecord* c = s_first;
  if (previous)
  {
    while (c && c != previous) c = c->mNext;
    if (!c) return nullptr;
    c = c->mNext;
  }
  for (; c; c = c->mNext)
    if (Matches(c->mDescription, looking)) return c;
  return nullptr;
}

long CountComponents(const ComponentDescription* looking)
{
  std::lock_guard<std::mutex> lock(s_mutex);
  long n = 0;
  for (ComponentRecord* c = s_first; c; c = c->mNext)
    if (Matches(c->mDescription, looking)) ++n;
  return n;
}

OSErr OpenAComponent(Component aComponent, ComponentInstance* out)
{
  if (!out) return paramErr;
  *out = nullptr;
  if (!IsComponent(aComponent)) return (OSErr)invalidComponentID;
  ComponentInstanceRecord* ci = new ComponentInstanceRecord();
  ci->mMagic = kComponentInstanceMagic;
  ci->mDescription = aComponent->mDescription;
  ci->mEntry = aComponent->mEntry;
  ci->mComponent = aComponent;
  ci->mEventSink = s_eventSink.load();
  const ComponentResult result = CallComponentSelector(ci, kComponentOpenSelect);
  if (result != noErr)
  {
    CallComponentSelector(ci, kComponentCloseSelect);
    ci->mMagic = 0;
    delete ci;
    return ToOSErr(result);
  }
  *out = ci;
  return noErr;
}

ComponentInstance OpenComponent(Component aComponent)
{
  ComponentInstance ci = nullptr;
  OpenAComponent(aComponent, &ci);
  return ci;
}

OSErr CloseComponent(ComponentInstance ci)
{
  if (!IsInstance(ci)) return (OSErr)invalidComponentID;
  const ComponentResult result = CallComponentSelector(ci, kComponentCloseSelect);
  // The record is kept, marked closed, rather than freed: other modules (a view component of the
  // same bundle, say) may still hold the handle and ask about it, and must read "closed", not
  // freed memory.
  ci->mMagic = 0;
  ci->mStorage = nullptr;
  ci->mEntry = nullptr;
  {
    std::lock_guard<std::mutex> lock(s_closedMutex);
    s_closed.push_back(ci);
  }
  return ToOSErr(result);
}

void SetComponentEventSink(ComponentEventSinkProc sink)
{
  s_eventSink.store(sink);
}

OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle, Handle, Handle)
{
  const ComponentDescription* desc = nullptr;
  if (IsComponent(aComponent)) desc = &aComponent->mDescription;
  else if (IsInstance((ComponentInstance)(void*)aComponent)) desc = &((ComponentInstance)(void*)aComponent)->mDescription;
  if (!desc) return (OSErr)invalidComponentID;
  if (cd) *cd = *desc;
  return noErr;
}

void SetComponentInstanceStorage(ComponentInstance ci, Handle storage)
{
  if (IsInstance(ci)) ci->mStorage = storage;
}

Handle GetComponentInstanceStorage(ComponentInstance ci)
{
  return IsInstance(ci) ? ci->mStorage : nullptr;
}

ComponentInstance ComponentInstanceFromParams(const ComponentParameters* cp)
{
  if (!cp) return nullptr;
  ComponentInstance ci = ComponentParamAt<ComponentInstance>(cp, 0);
  return IsInstance(ci) ? ci : nullptr;
}

ComponentResult CallComponentDispatch(ComponentParameters* cp)
{
  ComponentInstance ci = ComponentInstanceFromParams(cp);
  if (!ci || !ci->mEntry) return badComponentInstance;
  return ci->mEntry(cp, ci->mStorage);
}
