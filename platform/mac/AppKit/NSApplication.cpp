// NSApplicationLoad: what makes AppKit usable inside a host that is not an application of its
// own. Here that is taking a host's X11 window as a parent view; the calls are counted.

#include <AppKit/NSApplication.h>

#include "AppKitRecords.h"
#include "NSX11Backend.h"

BOOL NSApplicationLoad(void)
{
  AppKitRecords::CountApplicationLoad();
  NSInstallX11ParentAdoption();
  return YES;
}
