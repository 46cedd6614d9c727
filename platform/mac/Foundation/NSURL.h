#pragma once
// URLs over CoreFoundation's.

#include <CoreFoundation/CFURL.h>
#include <Foundation/NSString.h>

class NSURL : public NSObject
{
public:
  // Autoreleased; nil when the text is not a valid URL ("scheme:rest", no spaces or control
  // characters) or is nil.
  static NSURL* URLWithString(NSString* text);
  // Autoreleased file URL; a relative path is taken against the current directory; nil for nil or
  // an empty path.
  static NSURL* fileURLWithPath(NSString* path);

  NSString* absoluteString() const;  // autoreleased
  BOOL isFileURL() const;
  NSString* path() const;            // autoreleased; nil unless a file URL
  CFURLRef cfURL() const { return mURL; }
  const char* className() const override { return "NSURL"; }

protected:
  ~NSURL() override;

private:
  CFURLRef mURL = nullptr;
};
