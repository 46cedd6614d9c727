#pragma once
// The Carbon stand-in: the CoreFoundation subset and CoreGraphics, with the HIToolbox (events,
// event loop timers, windows, controls, views) and QuickDraw (rectangles, regions, ports). Headless:
// windows are backing stores in memory that nothing shows; the test kit (Carbon/testkit.h) sends
// them input and reads them back.

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>
#include <Carbon/HIToolbox.h>
