#pragma once
// Input events: mouse, wheel and key events as a window receives them. Locations are in the
// window's base coordinates: origin at the bottom-left corner of its content, y upwards.

#include <Foundation/Foundation.h>

class NSWindow;

typedef NSUInteger NSEventType;
enum : NSEventType
{
  NSLeftMouseDown = 1,
  NSLeftMouseUp = 2,
  NSRightMouseDown = 3,
  NSRightMouseUp = 4,
  NSMouseMoved = 5,
  NSLeftMouseDragged = 6,
  NSRightMouseDragged = 7,
  NSMouseEntered = 8,
  NSMouseExited = 9,
  NSKeyDown = 10,
  NSKeyUp = 11,
  NSFlagsChanged = 12,
  NSScrollWheel = 22,
  NSOtherMouseDown = 25,
  NSOtherMouseUp = 26,
  NSOtherMouseDragged = 27
};

enum : NSUInteger
{
  NSAlphaShiftKeyMask = 1u << 16,
  NSShiftKeyMask = 1u << 17,
  NSControlKeyMask = 1u << 18,
  NSAlternateKeyMask = 1u << 19,
  NSCommandKeyMask = 1u << 20,
  NSNumericPadKeyMask = 1u << 21,
  NSHelpKeyMask = 1u << 22,
  NSFunctionKeyMask = 1u << 23,
  NSDeviceIndependentModifierFlagsMask = 0xffff0000u
};

class NSEvent : public NSObject
{
public:
  // Autoreleased. windowNumber names the window the event is for (NSWindow::windowNumber).
  static NSEvent* mouseEventWithType(NSEventType type, NSPoint location, NSUInteger modifierFlags,
                                     NSTimeInterval timestamp, NSInteger windowNumber, id context,
                                     NSInteger eventNumber, NSInteger clickCount, float pressure);
  static NSEvent* keyEventWithType(NSEventType type, NSPoint location, NSUInteger modifierFlags,
                                   NSTimeInterval timestamp, NSInteger windowNumber, id context,
                                   NSString* characters, NSString* charactersIgnoringModifiers, BOOL isARepeat,
                                   unsigned short keyCode);
  // The platform makes wheel events only from the system's own; ours come from here.
  static NSEvent* scrollWheelEventWithLocation(NSPoint location, NSUInteger modifierFlags, NSTimeInterval timestamp,
                                               NSInteger windowNumber, CGFloat deltaX, CGFloat deltaY);

  NSEventType type() const { return mType; }
  NSPoint locationInWindow() const { return mLocation; }
  NSUInteger modifierFlags() const { return mModifierFlags; }
  NSTimeInterval timestamp() const { return mTimestamp; }
  NSInteger windowNumber() const { return mWindowNumber; }
  // The window of that number, while it lives; else nil.
  NSWindow* window() const;
  NSInteger clickCount() const { return mClickCount; }
  CGFloat deltaX() const { return mDeltaX; }
  CGFloat deltaY() const { return mDeltaY; }
  CGFloat deltaZ() const { return 0; }
  unsigned short keyCode() const { return mKeyCode; }
  NSString* characters() const { return mCharacters; }
  const char* className() const override { return "NSEvent"; }

protected:
  ~NSEvent() override;

private:
  // A new event (one reference) with the fields every kind has.
  static NSEvent* make(NSEventType type, NSPoint location, NSUInteger modifierFlags, NSTimeInterval timestamp,
                       NSInteger windowNumber);

  NSEventType mType = 0;
  NSPoint mLocation{0, 0};
  NSUInteger mModifierFlags = 0;
  NSTimeInterval mTimestamp = 0;
  NSInteger mWindowNumber = 0;
  NSInteger mClickCount = 0;
  CGFloat mDeltaX = 0, mDeltaY = 0;
  unsigned short mKeyCode = 0;
  NSString* mCharacters = nil;
};
