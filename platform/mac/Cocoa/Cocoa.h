#pragma once
// Cocoa: Foundation and AppKit.

#include <Foundation/Foundation.h>
#include <AppKit/AppKit.h>
