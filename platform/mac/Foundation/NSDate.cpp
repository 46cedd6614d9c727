// Dates on the run loop's clock.

#include <Foundation/NSDate.h>

NSDate* NSDate::date()
{
  return dateWithTimeIntervalSinceReferenceDate(CFAbsoluteTimeGetCurrent());
}

NSDate* NSDate::dateWithTimeIntervalSinceNow(NSTimeInterval seconds)
{
  return dateWithTimeIntervalSinceReferenceDate(CFAbsoluteTimeGetCurrent() + seconds);
}

NSDate* NSDate::dateWithTimeIntervalSinceReferenceDate(NSTimeInterval seconds)
{
  NSDate* d = new NSDate;
  d->mTime = seconds;
  return static_cast<NSDate*>(d->autorelease());
}

NSTimeInterval NSDate::timeIntervalSinceNow() const
{
  return mTime - CFAbsoluteTimeGetCurrent();
}
