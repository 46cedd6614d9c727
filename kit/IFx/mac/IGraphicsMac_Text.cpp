// IGraphicsMac: text, drawn with Cocoa string drawing straight into the back buffer. The
// attributes live in one dictionary that is changed only where a text differs from the last one.

#include "IGraphicsMac.h"

#include <cstring>

#include <Cocoa/Cocoa.h>

#include "gdi-draw.h"
#include "pix_bitmap.h"

namespace
{
NSTextAlignment ParagraphAlignment(int align)
{
  switch (align)
  {
    case IText::kAlignNear: return NSLeftTextAlignment;
    case IText::kAlignFar: return NSRightTextAlignment;
    default: return NSCenterTextAlignment;
  }
}

// The font, or the default face when the name does not resolve (a nil font would leave the
// dictionary without one).
NSFont* FontOrDefault(const char* name, int points)
{
  NSFont* font = NSFont::fontWithName(ToNSString(name), points);
  return font ? font : NSFont::systemFontOfSize(points);
}
}  // namespace

bool IGraphicsMac::DrawIText(IText* pTxt, const char* str, IRECT* pR)
{
  if (!pTxt || !str || !pR) return true;
  // Points from pixels.
  const int s = (int)(pTxt->mSize * 0.75);
  const bool newDict = !mTxtAttrs;
  if (newDict) mTxtAttrs = (new NSMutableDictionary)->init();

  if (newDict || strcmp(pTxt->mFont, mTxtCache.mFont) != 0 || pTxt->mSize != mTxtCache.mSize)
  {
    mTxtAttrs->setObject(FontOrDefault(pTxt->mFont, s), NSFontAttributeName);
    memcpy(mTxtCache.mFont, pTxt->mFont, sizeof(mTxtCache.mFont));
    mTxtCache.mSize = pTxt->mSize;
  }
  if (newDict || pTxt->mColor != mTxtCache.mColor)
  {
    const IColor& c = pTxt->mColor;
    mTxtAttrs->setObject(NSColor::colorWithCalibratedRed(c.R / 255.0, c.G / 255.0, c.B / 255.0, c.A / 255.0),
                         NSForegroundColorAttributeName);
    mTxtCache.mColor = c;
  }
  if (newDict || pTxt->mAlign != mTxtCache.mAlign)
  {
    NSMutableParagraphStyle* style = (new NSMutableParagraphStyle)->init();
    style->setAlignment(ParagraphAlignment(pTxt->mAlign));
    mTxtAttrs->setObject(style, NSParagraphStyleAttributeName);
    style->release();
    mTxtCache.mAlign = pTxt->mAlign;
  }

  NSGraphicsContext::saveGraphicsState();
  GDP_CTX* pDC = mDrawBitmap ? (GDP_CTX*)mDrawBitmap->getDC() : nullptr;
  NSGraphicsContext* context =
    NSGraphicsContext::graphicsContextWithGraphicsPort(pDC ? (void*)pDC->ctx : nullptr, YES);
  if (context) context->setShouldAntialias(s > 11);
  NSGraphicsContext::setCurrentContext(context);

  const NSRect r = NSMakeRect(pR->L, pR->T + s / 4, pR->R - pR->L, pR->B - pR->T);
  ToNSString(str)->drawWithRect(r, NSStringDrawingUsesDeviceMetrics, mTxtAttrs);

  NSGraphicsContext::restoreGraphicsState();
  return true;
}
