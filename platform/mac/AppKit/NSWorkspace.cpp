// The workspace: URLs are recorded, never opened.

#include <AppKit/NSWorkspace.h>

#include "AppKitRecords.h"

NSWorkspace* NSWorkspace::sharedWorkspace()
{
  static NSWorkspace* sShared = [] {
    NSWorkspace* w = new NSWorkspace;
    w->makeImmortal();
    return w;
  }();
  return sShared;
}

BOOL NSWorkspace::openURL(NSURL* url)
{
  if (!url) return NO;
  AppKitRecords::AddOpenedURL(url->absoluteString()->str());
  return AppKitRecords::OpenURLAnswer();
}
