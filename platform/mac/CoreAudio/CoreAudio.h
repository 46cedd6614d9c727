#pragma once
#include <CoreAudio/CoreAudioTypes.h>
