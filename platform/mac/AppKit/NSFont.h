#pragma once
// Fonts: an installed face found by family name (fontconfig, through the stand-ins' text engine)
// at a size in points. One point is one unit of the drawing's user space (one pixel of a bitmap
// context with the identity scale).

#include <string>

#include <Foundation/Foundation.h>
#include <text/KVText.h>

class NSFont : public NSObject
{
public:
  // Autoreleased; nil when no installed face answers to the name (or the name is nil, or the size
  // is not a positive finite number).
  static NSFont* fontWithName(NSString* fontName, CGFloat fontSize);
  // The default face (what "Arial" resolves to, else DejaVu Sans); autoreleased.
  static NSFont* systemFontOfSize(CGFloat fontSize);

  NSString* fontName() const;  // the name asked for, autoreleased
  const std::string& fontNameUTF8() const { return mName; }
  NSString* familyName() const;  // the installed family, autoreleased
  CGFloat pointSize() const { return mSize; }
  const KVText::Face& face() const { return mFace; }
  BOOL isEqual(id other) const override;
  const char* className() const override { return "NSFont"; }

private:
  std::string mName;
  KVText::Face mFace;
  CGFloat mSize = 0;
};
