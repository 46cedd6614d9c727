// GDI objects: pens, brushes, colours, fonts over ATSUI styles, bitmaps over Cocoa images, the
// stock objects, selecting into contexts and deleting.

#include <AppKit/AppKit.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gdi-internal.h"
#include "gdi-misc.h"

namespace
{
// The empty pen and the empty brush: a negative width or flag, no colour.
GDP_OBJECT sStockPen = {kGdiObjPen, nullptr, -1, nullptr, nullptr, 0, nullptr, 0.0f};
GDP_OBJECT sStockBrush = {kGdiObjBrush, nullptr, -1, nullptr, nullptr, 0, nullptr, 0.0f};

// Face names beyond this many characters name no font.
constexpr size_t kMaxFaceName = 255;

HGDIOBJ NewColoured(int type, int wid, int rgb, float alpha)
{
  GDP_OBJECT* obj = GDP_OBJECT_NEW();
  if (!obj) return nullptr;
  obj->type = type;
  obj->wid = wid;
  obj->color = CreateColor(rgb, alpha);
  return obj;
}

GDP_OBJECT** SlotFor(GDP_CTX* ctx, int type)
{
  switch (type)
  {
    case kGdiObjPen: return &ctx->curpen;
    case kGdiObjBrush: return &ctx->curbrush;
    case kGdiObjFont: return &ctx->curfont;
    default: return nullptr;
  }
}

// A copy of the image with every opaque magenta pixel made transparent.
NSImage* ColorKeyed(NSImage* src)
{
  const NSSize size = src->size();
  const NSInteger w = (NSInteger)(size.width + 0.5), h = (NSInteger)(size.height + 0.5);
  NSBitmapImageRep* rep = (new NSBitmapImageRep)
                            ->initWithBitmapDataPlanes(nullptr, w, h, 8, 4, YES, NO, NSDeviceRGBColorSpace,
                                                       NSAlphaFirstBitmapFormat, 0, 32);
  if (!rep) return nil;
  NSGraphicsContext::saveGraphicsState();
  NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithBitmapImageRep(rep));
  src->drawInRect(NSMakeRect(0, 0, (CGFloat)w, (CGFloat)h), NSZeroRect, NSCompositeCopy, 1.0);
  NSGraphicsContext::restoreGraphicsState();

  // Bytes alpha, red, green, blue (premultiplied: opaque magenta reads the same either way).
  unsigned char* rows = rep->bitmapData();
  const NSInteger rowBytes = rep->bytesPerRow();
  for (NSInteger y = 0; y < h; ++y)
  {
    unsigned char* p = rows + y * rowBytes;
    for (NSInteger x = 0; x < w; ++x, p += 4)
      if (p[0] == 0xff && p[1] == 0xff && p[2] == 0 && p[3] == 0xff) memset(p, 0, 4);
  }
  NSImage* out = (new NSImage)->initWithSize(size);
  if (out) out->addRepresentation(rep);
  rep->release();
  return out;
}
}  // namespace

CGColorRef CreateColor(int rgb, float alpha)
{
  const CGFloat comps[4] = {((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0, alpha};
  return CGColorCreate(GDI_SharedRGBColorSpace(), comps);
}

HGDIOBJ CreatePen(int style, int width, int rgb) { return CreatePenAlpha(style, width, rgb, 1.0f); }

HGDIOBJ CreatePenAlpha(int, int width, int rgb, float alpha)
{
  return NewColoured(kGdiObjPen, width < 0 ? 0 : width, rgb, alpha);
}

HGDIOBJ CreateSolidBrush(int rgb) { return CreateSolidBrushAlpha(rgb, 1.0f); }

HGDIOBJ CreateSolidBrushAlpha(int rgb, float alpha) { return NewColoured(kGdiObjBrush, 0, rgb, alpha); }

HGDIOBJ CreateFont(long height, long width, long, long orientation, long weight, char italic, char underline,
                   char, char, char, char, char, char, const char* faceName)
{
  GDP_OBJECT* obj = GDP_OBJECT_NEW();
  if (!obj) return nullptr;
  obj->type = kGdiObjFont;
  // Magnitudes as doubles: the negation of the smallest long is not a long.
  double size = std::fabs((double)(height ? height : width));
  if (size < 2 || size > 8192) size = 10;
  obj->font_rotation = (float)(orientation / 10.0);

  ATSUStyle style = nullptr;
  if (ATSUCreateStyle(&style) != noErr) style = nullptr;
  obj->fontstyle = style;
  if (!style) return obj;

  ATSUFontID font = 0;
  bool found = false;
  const size_t nameLen = faceName ? strnlen(faceName, kMaxFaceName + 1) : 0;
  if (nameLen > 0 && nameLen <= kMaxFaceName)
    found = ATSUFindFontFromName(faceName, nameLen, kFontFullName, kFontNoPlatformCode, kFontNoScriptCode,
                                 kFontNoLanguageCode, &font) == noErr;

  Boolean yes = true;
  Fixed fixedSize = X2Fix(size);
  ATSUAttributeTag tags[5];
  ByteCount sizes[5];
  ATSUAttributeValuePtr values[5];
  ItemCount n = 0;
  auto add = [&](ATSUAttributeTag tag, ByteCount bytes, void* value) {
    tags[n] = tag;
    sizes[n] = bytes;
    values[n] = value;
    ++n;
  };
  if (weight > 699) add(kATSUQDBoldfaceTag, sizeof(yes), &yes);
  if (italic) add(kATSUQDItalicTag, sizeof(yes), &yes);
  if (underline) add(kATSUQDUnderlineTag, sizeof(yes), &yes);
  add(kATSUSizeTag, sizeof(fixedSize), &fixedSize);
  if (found) add(kATSUFontTag, sizeof(font), &font);
  ATSUSetAttributes(style, n, tags, sizes, values);
  return obj;
}

HGDIOBJ CreateFontIndirect(const LOGFONT* lf)
{
  if (!lf) return nullptr;
  // The record holds the name inline and need not end it with a NUL.
  char face[LF_FACESIZE + 1];
  memcpy(face, lf->lfFaceName, LF_FACESIZE);
  face[LF_FACESIZE] = 0;
  return CreateFont(lf->lfHeight, lf->lfWidth, lf->lfEscapement, lf->lfOrientation, lf->lfWeight, lf->lfItalic,
                    lf->lfUnderline, lf->lfStrikeOut, lf->lfCharSet, lf->lfOutPrecision, lf->lfClipPrecision,
                    lf->lfQuality, lf->lfPitchAndFamily, face);
}

HGDIOBJ LoadNamedImage(const char* name, bool colorKey)
{
  CFStringRef cf = GDI_CStringToCFString(name);
  if (!cf) return nullptr;
  NSString* str = NSString::stringWithCFString(cf);
  CFRelease(cf);
  if (!str) return nullptr;

  NSImage* img = nil;
  bool owned = false;
  if (name && strchr(name, '/'))
  {
    img = (new NSImage)->initWithContentsOfFile(str);
    owned = img != nil;
  }
  if (!img) img = NSImage::imageNamed(str);
  if (!img) return nullptr;

  if (colorKey)
  {
    NSImage* keyed = ColorKeyed(img);
    if (owned) img->release();
    if (!keyed) return nullptr;
    img = keyed;
    owned = true;
  }
  GDP_OBJECT* obj = GDP_OBJECT_NEW();
  if (!obj)
  {
    if (owned) img->release();
    return nullptr;
  }
  obj->type = kGdiObjBitmap;
  obj->wid = owned ? 1 : 0;
  obj->bitmapptr = img;
  return obj;
}

HGDIOBJ GetStockObject(int which)
{
  if (which == 1) return &sStockPen;
  if (which == 2) return &sStockBrush;
  return nullptr;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj)
{
  GDP_CTX* ctx = (GDP_CTX*)hdc;
  if (!ctx || !obj) return nullptr;
  const bool none = gdi::IsTypeNumber(obj);
  const int type = none ? (int)(uintptr_t)obj : ((GDP_OBJECT*)obj)->type;
  GDP_OBJECT** slot = SlotFor(ctx, type);
  if (!slot) return nullptr;
  GDP_OBJECT* prev = *slot;
  *slot = none ? nullptr : (GDP_OBJECT*)obj;
  if (*slot != prev)
  {
    gdi::Selected(*slot);
    gdi::Deselected(prev);
  }
  return prev ? (HGDIOBJ)prev : (HGDIOBJ)(intptr_t)type;
}

int DeleteObject(HGDIOBJ h)
{
  if (!h || gdi::IsTypeNumber(h)) return 0;
  GDP_OBJECT* obj = (GDP_OBJECT*)h;
  if (obj->type < kGdiObjPen || obj->type > kGdiObjBitmap)
  {
    free(obj);
    return 1;
  }
  if ((obj->type == kGdiObjPen || obj->type == kGdiObjBrush) && obj->wid < 0) return 1;
  // A context still drawing with it would read a freed record.
  if (__atomic_load_n(&obj->selections, __ATOMIC_RELAXED) > 0) return 0;

  if (obj->color) CGColorRelease(obj->color);
  if (obj->heldobj) ((NSObject*)obj->heldobj)->release();
  if (obj->fontstyle) ATSUDisposeStyle((ATSUStyle)obj->fontstyle);
  if (obj->type == kGdiObjBitmap && obj->wid && obj->bitmapptr) ((NSImage*)obj->bitmapptr)->release();
  GDP_OBJECT_FREE(obj);
  return 1;
}

int GetObject(HGDIOBJ h, int size, void* buf)
{
  if (size < 0) return 0;
  if (buf && size > 0) memset(buf, 0, (size_t)size);
  if (!h || gdi::IsTypeNumber(h) || !buf) return 0;
  const GDP_OBJECT* obj = (const GDP_OBJECT*)h;
  if (obj->type != kGdiObjBitmap || !obj->bitmapptr || size != 8) return 0;
  const NSSize s = ((NSImage*)obj->bitmapptr)->size();
  const int wh[2] = {(int)(s.width + 0.5), (int)(s.height + 0.5)};
  memcpy(buf, wh, sizeof(wh));
  return 1;
}

void* GetNSImageFromHICON(HGDIOBJ h)
{
  if (!h || gdi::IsTypeNumber(h)) return nullptr;
  const GDP_OBJECT* obj = (const GDP_OBJECT*)h;
  return obj->type == kGdiObjBitmap ? obj->bitmapptr : nullptr;
}

int GetSysColor(int index)
{
  switch (index)
  {
    case 0: return 0x606060;
    case 1: return 0xE0E0E0;
    case 2:
    case 4:
    case 7: return 0xC0C0C0;
    case 5: return 0x202020;
    case 6: return 0x303030;
    case 8: return 0xFFF0C8;
    default: return 0;
  }
}
