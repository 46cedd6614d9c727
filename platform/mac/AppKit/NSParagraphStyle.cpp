// Paragraph styles.

#include <AppKit/NSParagraphStyle.h>

NSParagraphStyle* NSParagraphStyle::defaultParagraphStyle()
{
  static NSParagraphStyle* sDefault = [] {
    NSParagraphStyle* s = new NSParagraphStyle;
    s->makeImmortal();
    return s;
  }();
  return sDefault;
}
