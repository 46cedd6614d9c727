#pragma once
// The Carbon view component's selectors.

#include <CoreServices/Components.h>

typedef ComponentInstance AudioUnitCarbonView;

enum
{
  kAudioUnitCarbonViewRange = 0x0300,
  kAudioUnitCarbonViewCreateSelect = 0x0301,
  kAudioUnitCarbonViewSetEventListenerSelect = 0x0302
};

struct Float32Point
{
  Float32 x;
  Float32 y;
};
