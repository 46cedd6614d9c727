#pragma once
// The AppKit subset: responders, views, windows over backends, events, graphics contexts, images
// and bitmaps, fonts, colours, paragraph styles, string drawing, the workspace and
// NSApplicationLoad.

#include <Foundation/Foundation.h>
#include <AppKit/NSEvent.h>
#include <AppKit/NSResponder.h>
#include <AppKit/NSView.h>
#include <AppKit/NSWindowBackend.h>
#include <AppKit/NSWindow.h>
#include <AppKit/NSGraphicsContext.h>
#include <AppKit/NSImageRep.h>
#include <AppKit/NSBitmapImageRep.h>
#include <AppKit/NSImage.h>
#include <AppKit/NSFont.h>
#include <AppKit/NSColor.h>
#include <AppKit/NSParagraphStyle.h>
#include <AppKit/NSStringDrawing.h>
#include <AppKit/NSWorkspace.h>
#include <AppKit/NSApplication.h>
