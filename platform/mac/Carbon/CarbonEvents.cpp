// Event records and their typed parameters.

#include <cstring>

#include "CarbonInternal.h"

using CarbonRegistry::Live;

namespace
{
OpaqueEventRef* LiveEvent(EventRef e)
{
  return Live(CarbonRegistry::kEvent, e);
}

OpaqueEventRef::Param* FindParam(OpaqueEventRef* e, EventParamName name)
{
  for (OpaqueEventRef::Param& p : e->mParams)
  {
    if (p.mName == name) return &p;
  }
  return nullptr;
}
}  // namespace

EventTime GetCurrentEventTime(void)
{
  return CFAbsoluteTimeGetCurrent();
}

OSStatus CreateEvent(CFAllocatorRef, UInt32 inClassID, UInt32 inKind, EventTime inWhen, UInt32 inAttributes,
                     EventRef* outEvent)
{
  if (!outEvent) return paramErr;
  OpaqueEventRef* e = new OpaqueEventRef;
  e->mClass = inClassID;
  e->mKind = inKind;
  e->mTime = inWhen != 0 ? inWhen : GetCurrentEventTime();
  e->mAttributes = inAttributes;
  CarbonRegistry::Add(CarbonRegistry::kEvent, e);
  *outEvent = e;
  return noErr;
}

EventRef RetainEvent(EventRef inEvent)
{
  OpaqueEventRef* e = LiveEvent(inEvent);
  if (!e) return nullptr;
  ++e->mRefs;
  return e;
}

void ReleaseEvent(EventRef inEvent)
{
  OpaqueEventRef* e = LiveEvent(inEvent);
  if (!e || --e->mRefs > 0) return;
  CarbonRegistry::Remove(CarbonRegistry::kEvent, e);
  delete e;
}

UInt32 GetEventClass(EventRef inEvent)
{
  const OpaqueEventRef* e = LiveEvent(inEvent);
  return e ? e->mClass : 0;
}

UInt32 GetEventKind(EventRef inEvent)
{
  const OpaqueEventRef* e = LiveEvent(inEvent);
  return e ? e->mKind : 0;
}

EventTime GetEventTime(EventRef inEvent)
{
  const OpaqueEventRef* e = LiveEvent(inEvent);
  return e ? e->mTime : 0;
}

OSStatus SetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inType, ByteCount inSize,
                           const void* inDataPtr)
{
  OpaqueEventRef* e = LiveEvent(inEvent);
  if (!e || (inSize > 0 && !inDataPtr)) return paramErr;
  OpaqueEventRef::Param* p = FindParam(e, inName);
  if (!p)
  {
    e->mParams.push_back(OpaqueEventRef::Param{inName, inType, {}});
    p = &e->mParams.back();
  }
  p->mType = inType;
  const uint8_t* bytes = static_cast<const uint8_t*>(inDataPtr);
  p->mData.assign(bytes, bytes + inSize);
  return noErr;
}

OSStatus GetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inDesiredType,
                           EventParamType* outActualType, ByteCount inBufferSize, ByteCount* outActualSize,
                           void* outData)
{
  OpaqueEventRef* e = LiveEvent(inEvent);
  if (!e) return paramErr;
  const OpaqueEventRef::Param* p = FindParam(e, inName);
  if (!p) return eventParameterNotFoundErr;
  if (outActualType) *outActualType = p->mType;
  if (outActualSize) *outActualSize = p->mData.size();
  if (inDesiredType != typeWildCardType && inDesiredType != p->mType) return errAECoercionFail;
  if (!outData) return noErr;
  if (inBufferSize < p->mData.size()) return errDataSizeMismatch;
  if (!p->mData.empty()) memcpy(outData, p->mData.data(), p->mData.size());
  return noErr;
}
