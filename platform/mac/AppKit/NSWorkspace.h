#pragma once
// The workspace: opening URLs. Nothing is launched: each URL is recorded for tests
// (AppKitTestKit::OpenedURLs) and answered with the test kit's answer (YES unless set).

#include <Foundation/Foundation.h>

class NSWorkspace : public NSObject
{
public:
  // Immortal.
  static NSWorkspace* sharedWorkspace();
  BOOL openURL(NSURL* url);
  const char* className() const override { return "NSWorkspace"; }
};
