#pragma once
// Audio Unit events: parameter changes and gestures, and property changes, sent to the host's
// listeners.

#include <AudioUnit/AUComponent.h>

typedef UInt32 AudioUnitEventType;
enum : AudioUnitEventType
{
  kAudioUnitEvent_ParameterValueChange = 0,
  kAudioUnitEvent_BeginParameterChangeGesture = 1,
  kAudioUnitEvent_EndParameterChangeGesture = 2,
  kAudioUnitEvent_PropertyChange = 3
};

struct AudioUnitParameter
{
  AudioUnit mAudioUnit;
  AudioUnitParameterID mParameterID;
  AudioUnitScope mScope;
  AudioUnitElement mElement;
};

struct AudioUnitProperty
{
  AudioUnit mAudioUnit;
  AudioUnitPropertyID mPropertyID;
  AudioUnitScope mScope;
  AudioUnitElement mElement;
};

struct AudioUnitEvent
{
  AudioUnitEventType mEventType;
  union
  {
    AudioUnitParameter mParameter;
    AudioUnitProperty mProperty;
  } mArgument;
};

typedef struct AUListenerBase* AUEventListenerRef;

// Delivers the event to the process that opened the unit (its recorder, see testkit.h). Thread
// safe. paramErr for a null event.
OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener, void* inSendingObject, const AudioUnitEvent* inEvent);
