#pragma once
// The Audio Unit interface: component calls, properties, music-device calls and the Carbon view.

#include <AudioUnit/AUComponent.h>
#include <AudioUnit/AudioUnitProperties.h>
#include <AudioUnit/MusicDevice.h>
#include <AudioUnit/AudioUnitCarbonView.h>
