#pragma once
// Points in time on the run loop's clock (CFAbsoluteTimeGetCurrent: virtual unless a test or a host
// switched to the real one).

#include <CoreFoundation/CFDate.h>
#include <Foundation/NSObject.h>

class NSDate : public NSObject
{
public:
  // Autoreleased.
  static NSDate* date();
  static NSDate* dateWithTimeIntervalSinceNow(NSTimeInterval seconds);
  static NSDate* dateWithTimeIntervalSinceReferenceDate(NSTimeInterval seconds);
  NSTimeInterval timeIntervalSinceReferenceDate() const { return mTime; }
  NSTimeInterval timeIntervalSinceNow() const;
  const char* className() const override { return "NSDate"; }

private:
  CFAbsoluteTime mTime = 0;
};
