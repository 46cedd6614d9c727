// Event delivery. A unit's module may carry its own copy of this code; the instance handle names
// the sink of the process that opened it, so events reach the host's recorder whichever copy
// raised them.

#include <AudioToolbox/AudioUnitUtilities.h>

#include <mutex>

#include "testkit.h"

namespace
{
struct Recorder
{
  std::mutex mMutex;
  std::vector<AUEventRecord> mEvents;
};

Recorder& TheRecorder()
{
  static Recorder* s_recorder = new Recorder;
  return *s_recorder;
}

OSStatus Record(void* listener, void* object, const void* event)
{
  if (!event) return paramErr;
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> lock(r.mMutex);
  r.mEvents.push_back({ *(const AudioUnitEvent*)event, (AUEventListenerRef)listener, object });
  return noErr;
}

// Instances opened by this process from now on deliver here.
const bool s_installed = (SetComponentEventSink(Record), true);
}  // namespace

OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener, void* inSendingObject, const AudioUnitEvent* inEvent)
{
  if (!inEvent) return paramErr;
  // The unit sits at the same place in both kinds of argument.
  AudioUnit unit = inEvent->mArgument.mParameter.mAudioUnit;
  ComponentParameters cp = {};
  ComponentParamSet(&cp, 0, unit);
  ComponentInstance ci = ComponentInstanceFromParams(&cp);
  ComponentEventSinkProc sink = ci ? ci->mEventSink : nullptr;
  if (sink && sink != Record) return sink(inSendingListener, inSendingObject, inEvent);
  return Record(inSendingListener, inSendingObject, inEvent);
}

std::vector<AUEventRecord> AUEventRecorderTake()
{
  (void)s_installed;
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> lock(r.mMutex);
  std::vector<AUEventRecord> out;
  out.swap(r.mEvents);
  return out;
}

void AUEventRecorderClear()
{
  AUEventRecorderTake();
}
