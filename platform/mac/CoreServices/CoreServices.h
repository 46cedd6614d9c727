#pragma once
// The Component Manager part of the core services.

#include <CoreServices/Components.h>
