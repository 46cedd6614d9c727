#pragma once
// Paragraph styles: only the alignment matters to one-line string drawing.

#include <Foundation/Foundation.h>

typedef NSUInteger NSTextAlignment;
enum : NSTextAlignment
{
  NSLeftTextAlignment = 0,
  NSRightTextAlignment = 1,
  NSCenterTextAlignment = 2,
  NSJustifiedTextAlignment = 3,
  NSNaturalTextAlignment = 4
};

class NSParagraphStyle : public NSObject
{
public:
  // Immortal; natural alignment.
  static NSParagraphStyle* defaultParagraphStyle();
  NSTextAlignment alignment() const { return mAlignment; }
  const char* className() const override { return "NSParagraphStyle"; }

protected:
  NSTextAlignment mAlignment = NSNaturalTextAlignment;
};

class NSMutableParagraphStyle : public NSParagraphStyle
{
public:
  NSMutableParagraphStyle* init() override { return this; }
  void setAlignment(NSTextAlignment alignment) { mAlignment = alignment; }
  const char* className() const override { return "NSMutableParagraphStyle"; }
};
