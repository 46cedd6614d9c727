// Text drawing and measuring through ATSUI layouts, and text metrics of the selected font.

#include <cmath>

#include "gdi-internal.h"

namespace
{
constexpr int kMaxText = 4095;

// The selected font, or the process-wide default made on first use.
GDP_OBJECT* FontOf(const GDP_CTX* ctx)
{
  if (ctx->curfont) return ctx->curfont;
  static GDP_OBJECT* sDefault = (GDP_OBJECT*)CreateFont(10, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  return sDefault;
}

// The bytes a UTF-8 sequence with this lead byte takes (1 for a byte that leads none).
int SequenceLength(unsigned char lead)
{
  if (lead >= 0xf8) return 1;
  return lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 1;
}

// n with a UTF-8 sequence that the end of out[0, n) cuts short left out, so that a text cut at
// the buffer's limit still reads as UTF-8.
int WholeSequences(const char* out, int n)
{
  int lead = n;
  while (lead > 0 && n - lead < 3 && ((unsigned char)out[lead - 1] & 0xc0) == 0x80) --lead;
  if (lead == 0 || ((unsigned char)out[lead - 1] & 0xc0) != 0xc0) return n;  // no sequence open
  --lead;
  return n - lead < SequenceLength((unsigned char)out[lead]) ? lead : n;
}

// The text as drawn: to its NUL or `len` characters, at most kMaxText (cut at a character's
// boundary); '\r' dropped, '&' dropped unless DT_NOPREFIX, line breaks as spaces with
// DT_SINGLELINE. Returns the length.
int PrepareText(const char* text, int len, int flags, char* out)
{
  int n = 0, i = 0;
  if (text)
    for (; (len < 0 || i < len) && text[i] && n < kMaxText; ++i)
    {
      char c = text[i];
      if (c == '\r') continue;
      if (c == '&' && !(flags & DT_NOPREFIX)) continue;
      if (c == '\n' && (flags & DT_SINGLELINE)) c = ' ';
      out[n++] = c;
    }
  const bool cut = n == kMaxText && (len < 0 || i < len) && text[i];
  if (cut) n = WholeSequences(out, n);
  out[n] = 0;
  return n;
}

// UTF-16 of the text: as UTF-8, else as ASCII, else byte by byte with a space for every byte
// neither reads. At most kMaxText characters.
int ToUniChars(const char* text, int n, UniChar* out)
{
  CFStringRef s = CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8);
  if (!s) s = CFStringCreateWithCString(nullptr, text, kCFStringEncodingASCII);
  if (s)
  {
    CFIndex len = CFStringGetLength(s);
    if (len > kMaxText) len = kMaxText;
    CFStringGetCharacters(s, CFRangeMake(0, len), out);
    CFRelease(s);
    return (int)len;
  }
  for (int i = 0; i < n; ++i) out[i] = (unsigned char)text[i] < 0x80 ? (UniChar)text[i] : (UniChar)' ';
  return n;
}

ATSUTextMeasurement StyleMeasure(ATSUStyle style, ATSUAttributeTag tag, ATSUTextMeasurement fallback)
{
  ATSUTextMeasurement v = fallback;
  const OSStatus err = ATSUGetAttribute(style, tag, sizeof(v), &v, nullptr);
  return err == noErr || err == kATSUNotSetErr ? v : fallback;
}
}  // namespace

int GDI_DrawText(HDC hdc, const char* text, int len, RECT* r, int flags)
{
  GDP_CTX* ctx = (GDP_CTX*)hdc;
  if (!ctx || !r) return 0;
  char buf[kMaxText + 1];
  const int n = PrepareText(text, len, flags, buf);
  GDP_OBJECT* font = FontOf(ctx);
  if (!font || !font->fontstyle) return 0;

  UniChar chars[kMaxText];
  UniCharCount count = (UniCharCount)ToUniChars(buf, n, chars);

  // The layout draws with a copy of the font's style in the context's colour: the font (the
  // default one above all) may be drawing on another thread in another colour at the same time.
  ATSUStyle style = nullptr;
  if (ATSUCreateAndCopyStyle((ATSUStyle)font->fontstyle, &style) != noErr) return 0;
  const int rgb = ctx->curtextcolor_int;
  RGBColor color = {(unsigned short)(((rgb >> 16) & 0xff) << 8), (unsigned short)(((rgb >> 8) & 0xff) << 8),
                    (unsigned short)((rgb & 0xff) << 8)};
  ATSUAttributeTag colorTag = kATSUColorTag;
  ByteCount colorSize = sizeof(color);
  ATSUAttributeValuePtr colorValue = &color;
  ATSUSetAttributes(style, 1, &colorTag, &colorSize, &colorValue);

  ATSUTextLayout layout = nullptr;
  if (ATSUCreateTextLayoutWithTextPtr(chars, 0, count, count, 1, &count, &style, &layout) != noErr)
  {
    ATSUDisposeStyle(style);
    return 0;
  }
  // Disposes of the layout, then of the style it drew with.
  auto done = [&layout, &style] {
    ATSUDisposeTextLayout(layout);
    ATSUDisposeStyle(style);
  };
  CGContextRef cg = ctx->ctx;
  Fixed rotation = X2Fix(font->font_rotation);
  UInt32 options = (flags & DT_PIXELALIGN) ? (UInt32)kATSLineUseDeviceMetrics : 0u;
  ATSUAttributeTag tags[3] = {kATSUCGContextTag, kATSULineRotationTag, kATSULineLayoutOptionsTag};
  ByteCount sizes[3] = {sizeof(cg), sizeof(rotation), sizeof(options)};
  ATSUAttributeValuePtr values[3] = {&cg, &rotation, &options};
  ATSUSetLayoutControls(layout, 3, tags, sizes, values);

  ATSUTextMeasurement before = 0, after = 0, ascent = 0, descent = 0;
  ATSUGetUnjustifiedBounds(layout, kATSUFromTextBeginning, kATSUToTextEnd, &before, &after, &ascent, &descent);
  const double w = Fix2X(after - before), a = Fix2X(ascent), d = Fix2X(descent), height = a + d;
  const int result = gdi::ClampToInt32(std::ceil(height));

  if (flags & DT_CALCRECT)
  {
    done();
    r->right = gdi::ClampToInt32((double)r->left + std::ceil(w));
    r->bottom = gdi::ClampToInt32((int64_t)r->top + result);
    return result;
  }
  if (!cg)
  {
    done();
    return result;
  }

  CGContextSaveGState(cg);
  if (!(flags & DT_NOCLIP)) CGContextClipToRect(cg, gdi::RectOf(*r));
  double x = r->left;
  if (std::fabs(font->font_rotation) >= 45) x = r->left + a;
  else if (flags & DT_RIGHT) x = r->right - w;
  else if (flags & DT_CENTER) x = ((double)r->left + r->right) / 2.0 - w / 2;
  double y = r->top;
  if (flags & DT_BOTTOM) y = r->bottom - height;
  else if (flags & DT_VCENTER) y = ((double)r->top + r->bottom) / 2.0 - height / 2;
  // ATSUI draws upwards: turn the line's box over so the text stands upright in it.
  CGContextTranslateCTM(cg, 0, y);
  CGContextScaleCTM(cg, 1, -1);
  CGContextTranslateCTM(cg, 0, -y - height);
  ATSUDrawText(layout, kATSUFromTextBeginning, kATSUToTextEnd, X2Fix(x), X2Fix(y + d));
  CGContextRestoreGState(cg);
  done();
  return result;
}

bool GetTextMetrics(HDC hdc, TEXTMETRIC* tm)
{
  if (!tm) return false;
  *tm = TEXTMETRIC{16, 12, 4, 3, 12};
  const GDP_CTX* ctx = (const GDP_CTX*)hdc;
  if (!ctx || !ctx->curfont || !ctx->curfont->fontstyle) return false;
  ATSUStyle style = (ATSUStyle)ctx->curfont->fontstyle;
  const double ascent = Fix2X(StyleMeasure(style, kATSUAscentTag, Long2Fix(10)));
  const double descent = Fix2X(StyleMeasure(style, kATSUDescentTag, Long2Fix(3)));
  const double leading = Fix2X(StyleMeasure(style, kATSULeadingTag, Long2Fix(3)));
  tm->tmAscent = (int)std::ceil(ascent);
  tm->tmDescent = (int)std::ceil(descent);
  tm->tmInternalLeading = (int)leading;
  tm->tmHeight = (int)std::ceil(ascent + descent + leading);
  tm->tmAveCharWidth = (int)(tm->tmHeight * 0.75);
  return true;
}
