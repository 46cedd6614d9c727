// The AppKit test kit: windows and events for tests, and the records the subset keeps of what it
// painted, drew and opened. The paint and text records keep the newest entries only, so a
// long-running host that never reads them does not grow without bound.

#include <AppKit/testkit.h>

#include <atomic>
#include <mutex>

#include "AppKitRecords.h"

namespace
{
constexpr size_t kMaxRecords = 100000;

struct Records
{
  std::mutex mLock;
  std::vector<AppKitTestKit::DrawnText> mTexts;
  std::vector<AppKitTestKit::Paint> mPaints;
  std::vector<std::string> mURLs;
};

Records& TheRecords()
{
  static Records* sRecords = new Records;
  return *sRecords;
}

std::atomic<bool> sOpenURLAnswer{true};
std::atomic<int> sApplicationLoads{0};

template <class T>
void Keep(std::vector<T>& list, T&& item)
{
  if (list.size() >= kMaxRecords) list.erase(list.begin(), list.begin() + (long)(kMaxRecords / 2));
  list.push_back(std::move(item));
}

void Send(NSWindow* window, NSEvent* event)
{
  if (window) window->sendEvent(event);
}

NSEvent* Mouse(NSWindow* window, NSEventType type, double x, double y, NSUInteger flags, NSInteger clicks)
{
  return NSEvent::mouseEventWithType(type, NSMakePoint(x, y), flags, CFAbsoluteTimeGetCurrent(),
                                     window ? window->windowNumber() : 0, nil, 0, clicks, 1.0f);
}
}  // namespace

namespace AppKitRecords
{
void AddDrawnText(AppKitTestKit::DrawnText&& text)
{
  Records& r = TheRecords();
  std::lock_guard<std::mutex> lock(r.mLock);
  Keep(r.mTexts, std::move(text));
}

void AddPaint(const NSView* view, NSRect rect)
{
  Records& r = TheRecords();
  std::lock_guard<std::mutex> lock(r.mLock);
  Keep(r.mPaints, AppKitTestKit::Paint{view, rect});
}

void AddOpenedURL(const std::string& url)
{
  Records& r = TheRecords();
  std::lock_guard<std::mutex> lock(r.mLock);
  r.mURLs.push_back(url);
}

BOOL OpenURLAnswer()
{
  return sOpenURLAnswer.load() ? YES : NO;
}

void CountApplicationLoad()
{
  sApplicationLoads.fetch_add(1);
}
}  // namespace AppKitRecords

namespace AppKitTestKit
{
NSWindow* NewWindow(int width, int height)
{
  return (new NSWindow)->initWithContentRect(NSMakeRect(0, 0, width, height), NSBorderlessWindowMask,
                                             NSBackingStoreBuffered, NO);
}

void MouseDown(NSWindow* window, double x, double y, NSUInteger modifierFlags, NSInteger clickCount)
{
  Send(window, Mouse(window, NSLeftMouseDown, x, y, modifierFlags, clickCount));
}

void MouseUp(NSWindow* window, double x, double y, NSUInteger modifierFlags, NSInteger clickCount)
{
  Send(window, Mouse(window, NSLeftMouseUp, x, y, modifierFlags, clickCount));
}

void MouseDragged(NSWindow* window, double x, double y, NSUInteger modifierFlags)
{
  Send(window, Mouse(window, NSLeftMouseDragged, x, y, modifierFlags, 1));
}

void MouseMoved(NSWindow* window, double x, double y, NSUInteger modifierFlags)
{
  Send(window, Mouse(window, NSMouseMoved, x, y, modifierFlags, 0));
}

void RightMouseDown(NSWindow* window, double x, double y, NSUInteger modifierFlags)
{
  Send(window, Mouse(window, NSRightMouseDown, x, y, modifierFlags, 1));
}

void RightMouseUp(NSWindow* window, double x, double y, NSUInteger modifierFlags)
{
  Send(window, Mouse(window, NSRightMouseUp, x, y, modifierFlags, 1));
}

void ScrollWheel(NSWindow* window, double x, double y, double deltaY, double deltaX, NSUInteger modifierFlags)
{
  Send(window, NSEvent::scrollWheelEventWithLocation(NSMakePoint(x, y), modifierFlags, CFAbsoluteTimeGetCurrent(),
                                                      window ? window->windowNumber() : 0, deltaX, deltaY));
}

void KeyDown(NSWindow* window, unsigned short keyCode, const char* characters, NSUInteger modifierFlags)
{
  NSString* chars = NSString::stringWithUTF8String(characters);
  Send(window, NSEvent::keyEventWithType(NSKeyDown, NSMakePoint(0, 0), modifierFlags, CFAbsoluteTimeGetCurrent(),
                                         window ? window->windowNumber() : 0, nil, chars, chars, NO, keyCode));
}

const uint8_t* WindowPixels(NSWindow* window, int* width, int* height, int* rowBytes)
{
  CGContextRef ctx = window ? window->backingContext() : nullptr;
  if (width) *width = ctx ? (int)CGBitmapContextGetWidth(ctx) : 0;
  if (height) *height = ctx ? (int)CGBitmapContextGetHeight(ctx) : 0;
  if (rowBytes) *rowBytes = ctx ? (int)CGBitmapContextGetBytesPerRow(ctx) : 0;
  return ctx ? static_cast<const uint8_t*>(CGBitmapContextGetData(ctx)) : nullptr;
}

const std::vector<DrawnText>& DrawnTexts()
{
  return TheRecords().mTexts;
}

void ClearDrawnTexts()
{
  Records& r = TheRecords();
  std::lock_guard<std::mutex> lock(r.mLock);
  r.mTexts.clear();
}

const std::vector<Paint>& Paints()
{
  return TheRecords().mPaints;
}

void ClearPaints()
{
  Records& r = TheRecords();
  std::lock_guard<std::mutex> lock(r.mLock);
  r.mPaints.clear();
}

const std::vector<std::string>& OpenedURLs()
{
  return TheRecords().mURLs;
}

void ClearOpenedURLs()
{
  Records& r = TheRecords();
  std::lock_guard<std::mutex> lock(r.mLock);
  r.mURLs.clear();
}

void SetOpenURLAnswer(BOOL answer)
{
  sOpenURLAnswer.store(answer != NO);
}

int ApplicationLoadCount()
{
  return sApplicationLoads.load();
}
}  // namespace AppKitTestKit
