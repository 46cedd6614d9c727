// Gestalt: the system version of the stand-in. 10.5.8 is a system whose hosts take Cocoa editor
// views, which is what the editor here is.

#include <CoreServices/Gestalt.h>

#include <atomic>

namespace
{
std::atomic<SInt32> sSystemVersion{0x1058};
}

OSErr Gestalt(OSType selector, SInt32* response)
{
  if (!response) return paramErr;
  if (selector != gestaltSystemVersion) return gestaltUndefSelectorErr;
  *response = sSystemVersion.load();
  return noErr;
}

void GestaltTestSetSystemVersion(SInt32 version) { sSystemVersion.store(version); }
