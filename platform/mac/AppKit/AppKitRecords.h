#pragma once
// What the AppKit sources report to the test kit (AppKitTestKit in testkit.h reads it back).

#include <AppKit/testkit.h>

namespace AppKitRecords
{
void AddDrawnText(AppKitTestKit::DrawnText&& text);
void AddPaint(const NSView* view, NSRect rect);
void AddOpenedURL(const std::string& url);
BOOL OpenURLAnswer();
void CountApplicationLoad();
}  // namespace AppKitRecords
