#pragma once
// The whole VST 2.4 binary interface: the effect record with its callbacks and opcodes, and the
// records passed through them.

#include "vst2_effect.h"
#include "vst2_records.h"
