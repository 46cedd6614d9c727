// NSApplicationLoad: nothing to load here; the calls are counted.

#include <AppKit/NSApplication.h>

#include "AppKitRecords.h"

BOOL NSApplicationLoad(void)
{
  AppKitRecords::CountApplicationLoad();
  return YES;
}
