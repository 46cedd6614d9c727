// Input events.

#include <AppKit/NSEvent.h>

#include <AppKit/NSWindow.h>

NSEvent::~NSEvent()
{
  if (mCharacters) mCharacters->release();
}

NSEvent* NSEvent::make(NSEventType type, NSPoint location, NSUInteger modifierFlags, NSTimeInterval timestamp,
                       NSInteger windowNumber)
{
  NSEvent* e = new NSEvent;
  e->mType = type;
  e->mLocation = location;
  e->mModifierFlags = modifierFlags;
  e->mTimestamp = timestamp;
  e->mWindowNumber = windowNumber;
  return e;
}

NSEvent* NSEvent::mouseEventWithType(NSEventType type, NSPoint location, NSUInteger modifierFlags,
                                     NSTimeInterval timestamp, NSInteger windowNumber, id, NSInteger,
                                     NSInteger clickCount, float)
{
  NSEvent* e = make(type, location, modifierFlags, timestamp, windowNumber);
  e->mClickCount = clickCount;
  return static_cast<NSEvent*>(e->autorelease());
}

NSEvent* NSEvent::keyEventWithType(NSEventType type, NSPoint location, NSUInteger modifierFlags,
                                   NSTimeInterval timestamp, NSInteger windowNumber, id, NSString* characters,
                                   NSString*, BOOL, unsigned short keyCode)
{
  NSEvent* e = make(type, location, modifierFlags, timestamp, windowNumber);
  e->mKeyCode = keyCode;
  e->mCharacters = characters ? static_cast<NSString*>(characters->retain()) : nil;
  return static_cast<NSEvent*>(e->autorelease());
}

NSEvent* NSEvent::scrollWheelEventWithLocation(NSPoint location, NSUInteger modifierFlags, NSTimeInterval timestamp,
                                               NSInteger windowNumber, CGFloat deltaX, CGFloat deltaY)
{
  NSEvent* e = make(NSScrollWheel, location, modifierFlags, timestamp, windowNumber);
  e->mDeltaX = deltaX;
  e->mDeltaY = deltaY;
  return static_cast<NSEvent*>(e->autorelease());
}

NSWindow* NSEvent::window() const
{
  return NSWindow::windowWithNumber(mWindowNumber);
}
