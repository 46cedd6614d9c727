// Fonts: installed faces found through the text engine.

#include <AppKit/NSFont.h>

#include <cmath>

namespace
{
constexpr CGFloat kDefaultPointSize = 12;

bool UsableSize(CGFloat size)
{
  return size > 0 && std::isfinite(size);
}
}  // namespace

NSFont* NSFont::fontWithName(NSString* fontName, CGFloat fontSize)
{
  if (!fontName || !UsableSize(fontSize)) return nil;
  KVText::Face face;
  if (!KVText::ResolveFace(fontName->UTF8String(), &face)) return nil;
  NSFont* f = new NSFont;
  f->mName = fontName->str();
  f->mFace = face;
  f->mSize = fontSize;
  return static_cast<NSFont*>(f->autorelease());
}

NSFont* NSFont::systemFontOfSize(CGFloat fontSize)
{
  NSFont* f = new NSFont;
  f->mFace = KVText::DefaultFace();
  f->mName = f->mFace.family;
  f->mSize = UsableSize(fontSize) ? fontSize : kDefaultPointSize;
  return static_cast<NSFont*>(f->autorelease());
}

NSString* NSFont::fontName() const
{
  return NSString::stringWithUTF8String(mName.c_str());
}

NSString* NSFont::familyName() const
{
  return NSString::stringWithUTF8String(mFace.family.c_str());
}

BOOL NSFont::isEqual(id other) const
{
  if (other == this) return YES;
  const NSFont* f = dynamic_cast<const NSFont*>(other);
  return f && f->mFace.file == mFace.file && f->mFace.index == mFace.index && f->mSize == mSize;
}
