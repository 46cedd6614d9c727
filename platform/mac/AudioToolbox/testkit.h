#pragma once
// The event recorder behind AUEventListenerNotify, for tests and the test host.

#include <vector>

#include <AudioToolbox/AudioUnitUtilities.h>

struct AUEventRecord
{
  AudioUnitEvent mEvent;
  AUEventListenerRef mListener;
  void* mObject;
};

// Every event delivered to this process since the last take, in order; the recorder is emptied.
std::vector<AUEventRecord> AUEventRecorderTake();
void AUEventRecorderClear();
