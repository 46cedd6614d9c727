#pragma once
// The umbrella the drawing and GDI code includes: CoreGraphics, and CoreFoundation and ATSUI where
// they exist.

#include <CoreGraphics/CoreGraphics.h>
#if __has_include(<CoreFoundation/CoreFoundation.h>)
#include <CoreFoundation/CoreFoundation.h>
#endif
#if __has_include(<ATSUI/ATSUnicode.h>)
#include <ATSUI/ATSUnicode.h>
#endif
