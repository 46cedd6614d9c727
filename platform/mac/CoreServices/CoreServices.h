#pragma once
// The core services: the Component Manager and Gestalt.

#include <CoreServices/Components.h>
#include <CoreServices/Gestalt.h>
