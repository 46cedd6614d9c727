#pragma once
// The human-interface toolbox: Carbon events and timers, windows, controls, views and theme colours.

#include <Carbon/HIToolboxTypes.h>
#include <Carbon/QuickDraw.h>
#include <Carbon/CarbonEvents.h>
#include <Carbon/MacWindows.h>
#include <Carbon/Controls.h>
#include <Carbon/HIView.h>
#include <Carbon/HITheme.h>
