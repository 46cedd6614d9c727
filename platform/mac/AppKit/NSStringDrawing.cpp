// One-line string drawing through the text engine, reported to the test kit.

#include <AppKit/NSStringDrawing.h>

#include <AppKit/NSGraphicsContext.h>

#include "AppKitRecords.h"

NSString* const NSFontAttributeName = NSSTR("NSFont");
NSString* const NSForegroundColorAttributeName = NSSTR("NSColor");
NSString* const NSParagraphStyleAttributeName = NSSTR("NSParagraphStyle");

namespace
{
constexpr double kDefaultPointSize = 12;

// The attribute's value when it is of the class the attribute takes; else null.
template <class T>
const T* Attribute(NSDictionary* attributes, NSString* name)
{
  if (!attributes) return nullptr;
  return dynamic_cast<const T*>(attributes->objectForKey(name));
}

KVText::EAlign AlignFor(NSTextAlignment alignment)
{
  switch (alignment)
  {
    case NSRightTextAlignment: return KVText::kAlignRight;
    case NSCenterTextAlignment: return KVText::kAlignCenter;
    default: return KVText::kAlignLeft;  // left, justified and natural
  }
}
}  // namespace

void NSString::drawWithRect(NSRect rect, NSStringDrawingOptions options, NSDictionary* attributes) const
{
  const NSFont* font = Attribute<NSFont>(attributes, NSFontAttributeName);
  const NSColor* color = Attribute<NSColor>(attributes, NSForegroundColorAttributeName);
  const NSParagraphStyle* style = Attribute<NSParagraphStyle>(attributes, NSParagraphStyleAttributeName);
  const KVText::Face& face = font ? font->face() : KVText::DefaultFace();

  AppKitTestKit::DrawnText record;
  record.text = mUTF8;
  record.fontName = font ? font->fontNameUTF8() : face.family;
  record.fontFamily = face.family;
  record.fontFile = face.file;
  record.pointSize = font ? font->pointSize() : kDefaultPointSize;
  record.rect = rect;
  record.options = options;
  record.alignment = style ? style->alignment() : NSNaturalTextAlignment;
  const CGFloat black[4] = {0, 0, 0, 1};
  const CGFloat* rgba = color ? color->components() : black;
  for (int i = 0; i < 4; ++i) record.rgba[i] = rgba[i];

  NSGraphicsContext* context = NSGraphicsContext::currentContext();
  CGContextRef port = context ? static_cast<CGContextRef>(context->graphicsPort()) : nullptr;
  if (!port)
  {
    record.drawn = false;
    AppKitRecords::AddDrawnText(std::move(record));
    return;
  }
  KVText::Style textStyle;
  textStyle.face = &face;
  textStyle.size = record.pointSize;
  textStyle.deviceMetrics = (options & NSStringDrawingUsesDeviceMetrics) != 0;
  textStyle.antialias = CGContextGetShouldAntialias(port);
  record.antialias = textStyle.antialias;
  record.flipped = context->isFlipped() != NO;
  KVText::LayoutLine(textStyle, mUTF8.data(), mUTF8.size(), rect, AlignFor(record.alignment), record.flipped,
                     CGContextGetCTM(port), &record.layout);
  record.drawn = KVText::DrawLine(port, textStyle, record.layout, record.flipped, rgba);
  record.fontFile = record.layout.fontFile;
  record.pixelSize = record.layout.pixelSize;
  AppKitRecords::AddDrawnText(std::move(record));
}
