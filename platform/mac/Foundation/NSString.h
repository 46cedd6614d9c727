#pragma once
// Immutable strings held as UTF-8. Lengths count UTF-16 units, as on the platform.

#include <string>

#include <CoreFoundation/CFString.h>
#include <Foundation/NSGeometry.h>
#include <Foundation/NSObject.h>

class NSDictionary;

typedef NSUInteger NSStringEncoding;
enum : NSStringEncoding
{
  NSASCIIStringEncoding = 1,
  NSUTF8StringEncoding = 4,
  NSISOLatin1StringEncoding = 5,
  NSMacOSRomanStringEncoding = 30
};

// Options of drawWithRect:options:attributes: (AppKit).
typedef NSInteger NSStringDrawingOptions;
enum : NSStringDrawingOptions
{
  NSStringDrawingUsesLineFragmentOrigin = 1 << 0,
  NSStringDrawingUsesFontLeading = 1 << 1,
  NSStringDrawingDisableScreenFontSubstitution = 1 << 2,
  NSStringDrawingUsesDeviceMetrics = 1 << 3,
  NSStringDrawingOneShot = 1 << 4,
  NSStringDrawingTruncatesLastVisibleLine = 1 << 5
};

class NSString : public NSObject
{
public:
  // Autoreleased. The C string's bytes are read as UTF-8, bytes that are not valid UTF-8 as
  // Latin-1; nil for a null pointer. stringWithUTF8String and initWithUTF8String read the same way
  // (initWithUTF8String of a null pointer releases the receiver and answers nil).
  static NSString* stringWithCString(const char* cString);
  static NSString* stringWithUTF8String(const char* utf8);
  static NSString* string();
  NSString* initWithUTF8String(const char* utf8);

  // Valid while the string lives.
  const char* UTF8String() const { return mUTF8.c_str(); }
  const char* cString() const { return mUTF8.c_str(); }
  const std::string& str() const { return mUTF8; }
  NSUInteger length() const;
  BOOL isEqualToString(const NSString* other) const;
  BOOL isEqual(id other) const override;
  NSUInteger hash() const override;
  const char* className() const override { return "NSString"; }

  // Path components, autoreleased: "a/b/c.png" has the last component "c.png", the extension "png"
  // and, without it, "a/b/c"; trailing slashes are ignored.
  NSString* lastPathComponent() const;
  NSString* pathExtension() const;
  NSString* stringByDeletingPathExtension() const;
  NSString* stringByDeletingLastPathComponent() const;

  // A new CFString with the same text (the caller releases it).
  CFStringRef copyCFString() const;
  // Autoreleased; nil for null.
  static NSString* stringWithCFString(CFStringRef cf);

  // AppKit's string drawing: one line in the rectangle of the current graphics context with the
  // attributes (font, foreground colour, paragraph alignment); see NSStringDrawing.h.
  void drawWithRect(NSRect rect, NSStringDrawingOptions options, NSDictionary* attributes) const;

protected:
  // Autoreleased, over text that is valid UTF-8 already.
  static NSString* stringWithValidUTF8(std::string utf8);
  std::string mUTF8;
};

// A constant string, the @"..." of the platform: interned per text, immortal.
NSString* NSStringConstant(const char* text);
#define NSSTR(text) NSStringConstant("" text "")
