// Drawing a layout's range into its CoreGraphics context: each run's piece laid out and drawn by
// the text engine under the context's CTM turned about the pen, with the synthetic bold, slant and
// underline the styles ask for.

#include <algorithm>
#include <cmath>

#include "ATSUInternal.h"

using namespace ATSUInternal;

namespace
{
// A one-unit line one unit under the baseline from pen to pen + width, as a rectangle fill in the
// caller's user space: only where that stays a rectangle of device pixels.
void Underline(CGContextRef ctx, Fixed rotation, double x, double y, double pen, double width, const CGFloat rgba[4])
{
  const CGAffineTransform ctm = CGContextGetCTM(ctx);
  if (ctm.b != 0 || ctm.c != 0 || rotation % (90 << 16) != 0 || !(width > 0)) return;
  const CGAffineTransform line = SegmentTransform(rotation, x, y, pen, false);
  double lx = INFINITY, hx = -INFINITY, ly = INFINITY, hy = -INFINITY;
  for (int corner = 0; corner < 4; ++corner)
  {
    const CGPoint p = CGPointApplyAffineTransform(CGPointMake((corner & 1) ? width : 0, (corner & 2) ? -2 : -1), line);
    lx = std::min(lx, p.x);
    hx = std::max(hx, p.x);
    ly = std::min(ly, p.y);
    hy = std::max(hy, p.y);
  }
  CGContextSaveGState(ctx);
  CGContextSetRGBFillColor(ctx, rgba[0], rgba[1], rgba[2], rgba[3]);
  CGContextFillRect(ctx, CGRectMake(lx, ly, hx - lx, hy - ly));
  CGContextRestoreGState(ctx);
}
}  // namespace

OSStatus ATSUDrawText(ATSUTextLayout iTextLayout, UniCharArrayOffset iLineOffset, UniCharCount iLineLength,
                      ATSUTextMeasurement iLocationX, ATSUTextMeasurement iLocationY)
{
  std::lock_guard<std::mutex> hold(Lock());
  if (!Contains(kLayout, iTextLayout)) return kATSUInvalidTextLayoutErr;
  OpaqueATSUTextLayout& layout = *iTextLayout;
  CGContextRef ctx = layout.mContext;
  if (!ctx) return paramErr;
  size_t first, end;
  const OSStatus status = RangeOf(layout, iLineOffset, iLineLength, &first, &end);
  if (status != noErr) return status;

  const bool device = (layout.mOptions & kATSLineUseDeviceMetrics) != 0;
  const double x = Fix2X(iLocationX), y = Fix2X(iLocationY);
  double pen = 0;
  KVText::Layout line;
  for (const Segment& segment : SegmentsOf(layout, first, end))
  {
    const Look& look = segment.look;
    CGContextSaveGState(ctx);
    CGContextConcatCTM(ctx, SegmentTransform(layout.mRotation, x, y, pen, look.fakeItalic));
    const CGAffineTransform ctm = CGContextGetCTM(ctx);
    LaySegment(segment, device, ctm, &line);
    const KVText::Style style = TextStyle(look, device);
    KVText::DrawLine(ctx, style, line, false, look.rgba);
    if (look.fakeBold)
    {
      // Drawn again a little to the right: size / 24, and at least one device pixel.
      const double scale = std::sqrt(std::fabs(ctm.a * ctm.d - ctm.b * ctm.c));
      const double dx = std::max(look.size / 24, scale > 0 ? 1 / scale : 0);
      for (KVText::Glyph& g : line.glyphs) g.x += dx;
      KVText::DrawLine(ctx, style, line, false, look.rgba);
    }
    CGContextRestoreGState(ctx);
    if (look.underline) Underline(ctx, layout.mRotation, x, y, pen, line.width, look.rgba);
    pen += line.width;
  }
  return noErr;
}
