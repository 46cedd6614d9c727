#pragma once
// The umbrella the drawing and GDI code includes: CoreGraphics, and CoreFoundation where it exists.

#include <CoreGraphics/CoreGraphics.h>
#if __has_include(<CoreFoundation/CoreFoundation.h>)
#include <CoreFoundation/CoreFoundation.h>
#endif
