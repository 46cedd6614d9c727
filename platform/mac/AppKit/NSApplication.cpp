// NSApplicationLoad: what makes AppKit usable inside a host that is not an application of its
// own. Here that is the event-tracking mode among the main loop's common modes and taking a
// host's X11 window as a parent view; the calls are counted.

#include <AppKit/NSApplication.h>

#include <CoreFoundation/CFRunLoop.h>

#include "AppKitRecords.h"
#include "NSX11Backend.h"

NSString* const NSEventTrackingRunLoopMode = NSSTR("NSEventTrackingRunLoopMode");

BOOL NSApplicationLoad(void)
{
  AppKitRecords::CountApplicationLoad();
  CFStringRef tracking = NSEventTrackingRunLoopMode->copyCFString();
  CFRunLoopAddCommonMode(CFRunLoopGetMain(), tracking);
  CFRelease(tracking);
  NSInstallX11ParentAdoption();
  return YES;
}
