// Styles: attributes set all or none, read back with their defaults, and what a style draws with.

#include <algorithm>
#include <cstring>

#include "ATSUInternal.h"

using namespace ATSUInternal;

namespace
{
struct AttributeInfo
{
  ATSUAttributeTag tag;
  EAttribute attribute;
  ByteCount size;
};

const AttributeInfo kAttributes[] = {
  {kATSUQDBoldfaceTag, kBold, sizeof(Boolean)},       {kATSUQDItalicTag, kItalic, sizeof(Boolean)},
  {kATSUQDUnderlineTag, kUnderline, sizeof(Boolean)}, {kATSUFontTag, kFont, sizeof(ATSUFontID)},
  {kATSUSizeTag, kSize, sizeof(Fixed)},               {kATSUColorTag, kColor, sizeof(RGBColor)},
  {kATSUAscentTag, kAscent, sizeof(ATSUTextMeasurement)},
  {kATSUDescentTag, kDescent, sizeof(ATSUTextMeasurement)},
  {kATSULeadingTag, kLeading, sizeof(ATSUTextMeasurement)},
};

const AttributeInfo* InfoOf(ATSUAttributeTag tag)
{
  for (const AttributeInfo& info : kAttributes)
    if (info.tag == tag) return &info;
  return nullptr;
}

OpaqueATSUStyle* LiveStyle(ATSUStyle style)
{
  return Contains(kStyle, style) ? style : nullptr;
}

Fixed FixedAt(const void* p)
{
  Fixed v;
  memcpy(&v, p, sizeof v);
  return v;
}

// Checks one value and stores it into `data`; an error leaves `data` as it was.
OSStatus Store(const AttributeInfo& info, const void* value, StyleData* data)
{
  const bool flag = info.size == sizeof(Boolean) && *(const Boolean*)value != 0;
  switch (info.attribute)
  {
    case kBold: data->bold = flag; break;
    case kItalic: data->italic = flag; break;
    case kUnderline: data->underline = flag; break;
    case kFont:
    {
      ATSUFontID id;
      memcpy(&id, value, sizeof id);
      if (!FaceOf(id)) return kATSUInvalidFontErr;
      data->font = id;
      break;
    }
    case kSize:
      if (FixedAt(value) <= 0) return kATSUInvalidAttributeValueErr;
      data->size = FixedAt(value);
      break;
    case kColor: memcpy(&data->color, value, sizeof data->color); break;
    case kAscent:
    case kDescent:
    case kLeading:
    {
      const Fixed v = FixedAt(value);
      if (v < 0) return kATSUInvalidAttributeValueErr;
      (info.attribute == kAscent ? data->ascent : info.attribute == kDescent ? data->descent : data->leading) = v;
      break;
    }
    default: return kATSUInvalidAttributeTagErr;
  }
  data->set |= 1u << info.attribute;
  return noErr;
}

// The face's ascent, descent and line height at a size, unhinted.
void FontMetrics(const KVText::Face& face, double size, double* ascent, double* descent, double* lineHeight)
{
  KVText::Style style;
  style.face = &face;
  style.size = size;
  KVText::Layout layout;
  KVText::LayoutLine(style, nullptr, 0, CGRectMake(0, 0, 0, 0), KVText::kAlignLeft, false,
                     CGAffineTransform{1, 0, 0, 1, 0, 0}, &layout);
  *ascent = layout.ascent;
  *descent = layout.descent;
  *lineHeight = layout.lineHeight;
}
}  // namespace

namespace ATSUInternal
{
Look LookOf(const StyleData& style)
{
  Look look;
  const KVText::Face* base = FaceOf((style.set & (1u << kFont)) ? style.font : DefaultFontID());
  look.face = base;
  look.fakeBold = style.bold;
  look.fakeItalic = style.italic;
  KVText::Face variant;
  if ((style.bold || style.italic) && KVText::ResolveVariant(*base, style.bold, style.italic, &variant))
  {
    look.face = FaceOf(FontIDOf(variant));
    look.fakeBold = look.fakeItalic = false;
  }
  else if (style.bold && style.italic)
  {
    // One of the two from the family, the other made up.
    if (KVText::ResolveVariant(*base, true, false, &variant))
      look.fakeBold = false;
    else if (KVText::ResolveVariant(*base, false, true, &variant))
      look.fakeItalic = false;
    if (!look.fakeBold || !look.fakeItalic) look.face = FaceOf(FontIDOf(variant));
  }
  look.underline = style.underline;
  look.size = Fix2X(style.size);
  look.rgba[0] = style.color.red / 65535.0;
  look.rgba[1] = style.color.green / 65535.0;
  look.rgba[2] = style.color.blue / 65535.0;
  double ascent, descent, lineHeight;
  FontMetrics(*look.face, look.size, &ascent, &descent, &lineHeight);
  look.ascent = (style.set & (1u << kAscent)) ? Fix2X(style.ascent) : ascent;
  look.descent = (style.set & (1u << kDescent)) ? Fix2X(style.descent) : descent;
  look.leading = (style.set & (1u << kLeading)) ? Fix2X(style.leading) : std::max(0.0, lineHeight - ascent - descent);
  return look;
}
}  // namespace ATSUInternal

OSStatus ATSUCreateStyle(ATSUStyle* oStyle)
{
  if (!oStyle) return paramErr;
  std::lock_guard<std::mutex> hold(Lock());
  OpaqueATSUStyle* style = new OpaqueATSUStyle;
  style->mSerial = Add(kStyle, style);
  *oStyle = style;
  return noErr;
}

OSStatus ATSUCreateAndCopyStyle(ATSUStyle style, ATSUStyle* oStyle)
{
  if (!oStyle) return paramErr;
  std::lock_guard<std::mutex> hold(Lock());
  OpaqueATSUStyle* from = LiveStyle(style);
  if (!from) return kATSUInvalidStyleErr;
  OpaqueATSUStyle* copy = new OpaqueATSUStyle;
  copy->mData = from->mData;
  copy->mSerial = Add(kStyle, copy);
  *oStyle = copy;
  return noErr;
}

OSStatus ATSUDisposeStyle(ATSUStyle style)
{
  std::lock_guard<std::mutex> hold(Lock());
  OpaqueATSUStyle* s = LiveStyle(style);
  if (!s) return kATSUInvalidStyleErr;
  Remove(kStyle, s);
  delete s;
  return noErr;
}

OSStatus ATSUSetAttributes(ATSUStyle style, ItemCount count, const ATSUAttributeTag tags[], const ByteCount sizes[],
                           const ATSUAttributeValuePtr values[])
{
  std::lock_guard<std::mutex> hold(Lock());
  OpaqueATSUStyle* s = LiveStyle(style);
  if (!s) return kATSUInvalidStyleErr;
  if (count == 0) return noErr;
  if (!tags || !sizes || !values) return paramErr;
  StyleData data = s->mData;  // all or none: the copy goes back only when every value is good
  for (ItemCount i = 0; i < count; ++i)
  {
    const AttributeInfo* info = InfoOf(tags[i]);
    if (!info) return kATSUInvalidAttributeTagErr;
    if (sizes[i] != info->size) return kATSUInvalidAttributeSizeErr;
    if (!values[i]) return paramErr;
    const OSStatus status = Store(*info, values[i], &data);
    if (status != noErr) return status;
  }
  s->mData = data;
  return noErr;
}

OSStatus ATSUGetAttribute(ATSUStyle style, ATSUAttributeTag tag, ByteCount expectedSize, ATSUAttributeValuePtr oValue,
                          ByteCount* oActualSize)
{
  std::lock_guard<std::mutex> hold(Lock());
  OpaqueATSUStyle* s = LiveStyle(style);
  if (!s) return kATSUInvalidStyleErr;
  const AttributeInfo* info = InfoOf(tag);
  if (!info) return kATSUInvalidAttributeTagErr;
  if (oActualSize) *oActualSize = info->size;
  if (oValue && expectedSize < info->size) return kATSUInvalidAttributeSizeErr;
  const StyleData& d = s->mData;
  const bool set = (d.set & (1u << info->attribute)) != 0;
  if (oValue)
  {
    switch (info->attribute)
    {
      case kBold: memcpy(oValue, &d.bold, info->size); break;
      case kItalic: memcpy(oValue, &d.italic, info->size); break;
      case kUnderline: memcpy(oValue, &d.underline, info->size); break;
      case kFont:
      {
        const ATSUFontID id = set ? d.font : DefaultFontID();
        memcpy(oValue, &id, info->size);
        break;
      }
      case kSize: memcpy(oValue, &d.size, info->size); break;
      case kColor: memcpy(oValue, &d.color, info->size); break;
      default:
      {
        // Unset metrics come from the face at the style's size, as the platform answers them
        // (with kATSUNotSetErr): GetTextMetrics of the GDI emulation relies on reading the
        // face's real ascent, descent and leading here rather than fixed defaults.
        const Look look = LookOf(d);
        const double v = info->attribute == kAscent ? look.ascent
                         : info->attribute == kDescent ? look.descent
                                                       : look.leading;
        const ATSUTextMeasurement m = X2Fix(v);
        memcpy(oValue, &m, info->size);
        break;
      }
    }
  }
  return set ? (OSStatus)noErr : (OSStatus)kATSUNotSetErr;
}
