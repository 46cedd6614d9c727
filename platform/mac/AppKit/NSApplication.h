#pragma once
// What a plug-in inside a host that is not a Cocoa application calls before using AppKit: it
// counts its calls (AppKitTestKit::ApplicationLoadCount), makes AppKit's event-tracking mode one
// of the main run loop's common modes, as the application object does, and answers YES.

#include <Foundation/Foundation.h>

// The mode AppKit runs the loop in while it tracks the mouse (a slider or a menu held open).
extern NSString* const NSEventTrackingRunLoopMode;

BOOL NSApplicationLoad(void);
