#pragma once
// What a plug-in inside a host that is not a Cocoa application calls before using AppKit: here it
// only counts its calls (AppKitTestKit::ApplicationLoadCount) and answers YES.

#include <Foundation/Foundation.h>

BOOL NSApplicationLoad(void);
