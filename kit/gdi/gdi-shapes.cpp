// Lines, Bezier runs, polylines, polygons, rectangles, ellipses, pixels and images in rectangles,
// drawn with the context's selected pen and brush.

#include <AppKit/AppKit.h>
#include <Carbon/Carbon.h>

#include "gdi-internal.h"

namespace
{
GDP_CTX* Drawable(HDC hdc)
{
  GDP_CTX* ctx = (GDP_CTX*)hdc;
  return ctx && ctx->ctx ? ctx : nullptr;
}

// The pen's width (0 strokes one unit wide) and colour become the context's stroke.
void UsePen(GDP_CTX* ctx)
{
  CGContextSetLineWidth(ctx->ctx, ctx->curpen->wid > 0 ? ctx->curpen->wid : 1);
  CGContextSetStrokeColorWithColor(ctx->ctx, ctx->curpen->color);
}
}  // namespace

using gdi::RectOf;

void MoveToEx(HDC hdc, int x, int y, POINT* oldPos)
{
  GDP_CTX* ctx = (GDP_CTX*)hdc;
  if (!ctx) return;
  if (oldPos)
  {
    // A float position may lie past the int range (INT_MAX as a float is 2^31).
    oldPos->x = gdi::ClampToInt32((double)ctx->lastpos_x);
    oldPos->y = gdi::ClampToInt32((double)ctx->lastpos_y);
  }
  ctx->lastpos_x = (float)x;
  ctx->lastpos_y = (float)y;
}

void GDI_LineTo(HDC hdc, int x, int y)
{
  GDP_CTX* ctx = Drawable(hdc);
  if (!ctx || !gdi::UsablePen(ctx)) return;
  UsePen(ctx);
  CGContextBeginPath(ctx->ctx);
  CGContextMoveToPoint(ctx->ctx, ctx->lastpos_x, ctx->lastpos_y);
  CGContextAddLineToPoint(ctx->ctx, x, y);
  CGContextStrokePath(ctx->ctx);
  ctx->lastpos_x = (float)x;
  ctx->lastpos_y = (float)y;
}

void PolyBezierTo(HDC hdc, const POINT* pts, int count)
{
  GDP_CTX* ctx = Drawable(hdc);
  if (!ctx || !pts || count < 3 || !gdi::UsablePen(ctx)) return;
  UsePen(ctx);
  CGContextBeginPath(ctx->ctx);
  CGContextMoveToPoint(ctx->ctx, ctx->lastpos_x, ctx->lastpos_y);
  int i = 0;
  for (; count - i >= 3; i += 3)
    CGContextAddCurveToPoint(ctx->ctx, pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, pts[i + 2].x, pts[i + 2].y);
  CGContextStrokePath(ctx->ctx);
  ctx->lastpos_x = (float)pts[i - 1].x;
  ctx->lastpos_y = (float)pts[i - 1].y;
}

void PolyPolyline(HDC hdc, const POINT* pts, const uint32_t* counts, int n)
{
  GDP_CTX* ctx = Drawable(hdc);
  if (!ctx || !pts || !counts || n <= 0 || !gdi::UsablePen(ctx)) return;
  UsePen(ctx);
  CGContextBeginPath(ctx->ctx);
  const POINT* p = pts;
  for (int run = 0; run < n; ++run)
  {
    const uint32_t c = counts[run];
    if (c >= 2)
    {
      CGContextMoveToPoint(ctx->ctx, p[0].x, p[0].y);
      for (uint32_t j = 1; j < c; ++j) CGContextAddLineToPoint(ctx->ctx, p[j].x, p[j].y);
    }
    p += c;  // a run of one point is skipped, one of none takes no point
  }
  CGContextStrokePath(ctx->ctx);
}

void GDI_Polygon(HDC hdc, const POINT* pts, int count)
{
  GDP_CTX* ctx = Drawable(hdc);
  if (!ctx || !pts || count < 2) return;
  const bool fill = gdi::UsableBrush(ctx), stroke = gdi::UsablePen(ctx);
  if (!fill && !stroke) return;
  if (fill) CGContextSetFillColorWithColor(ctx->ctx, ctx->curbrush->color);
  if (stroke) UsePen(ctx);
  CGContextBeginPath(ctx->ctx);
  CGContextMoveToPoint(ctx->ctx, pts[0].x, pts[0].y);
  for (int i = 1; i < count; ++i) CGContextAddLineToPoint(ctx->ctx, pts[i].x, pts[i].y);
  CGContextDrawPath(ctx->ctx, fill && stroke ? kCGPathFillStroke : fill ? kCGPathFill : kCGPathStroke);
}

void RoundRect(HDC hdc, int left, int top, int right, int bottom, int ew, int eh)
{
  const int64_t a = ew / 3, b = eh / 3;
  const int32_t ta = gdi::ClampToInt32(left + a), tb = gdi::ClampToInt32(top + b);
  const int32_t ra = gdi::ClampToInt32(right - a), bb = gdi::ClampToInt32(bottom - b);
  const POINT pts[10] = {{left, tb}, {ta, top},    {ra, top},    {right, tb}, {right, bb},
                         {ra, bottom}, {ta, bottom}, {left, bb}, {left, tb},  {ta, top}};
  GDI_Polygon(hdc, pts, 10);
}

void Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
  GDP_CTX* ctx = Drawable(hdc);
  if (!ctx) return;
  const CGRect r = RectOf(left, top, right, bottom);
  if (gdi::UsableBrush(ctx))
  {
    CGContextSetFillColorWithColor(ctx->ctx, ctx->curbrush->color);
    CGContextFillRect(ctx->ctx, r);
  }
  if (gdi::UsablePen(ctx))
  {
    CGContextSetStrokeColorWithColor(ctx->ctx, ctx->curpen->color);
    CGContextStrokeRectWithWidth(ctx->ctx, r, ctx->curpen->wid > 1 ? ctx->curpen->wid : 1);
  }
}

void Ellipse(HDC hdc, int left, int top, int right, int bottom)
{
  GDP_CTX* ctx = Drawable(hdc);
  if (!ctx) return;
  const CGRect r = RectOf(left, top, right, bottom);
  if (gdi::UsableBrush(ctx))
  {
    CGContextSetFillColorWithColor(ctx->ctx, ctx->curbrush->color);
    CGContextFillEllipseInRect(ctx->ctx, r);
  }
  if (gdi::UsablePen(ctx))
  {
    // At the context's line width as the last stroke left it, not the pen's.
    CGContextSetStrokeColorWithColor(ctx->ctx, ctx->curpen->color);
    CGContextStrokeEllipseInRect(ctx->ctx, r);
  }
}

void GDI_FillRect(HDC hdc, const RECT* r, HGDIOBJ brush)
{
  GDP_CTX* ctx = Drawable(hdc);
  if (!ctx || !r || !brush || gdi::IsTypeNumber(brush)) return;
  const GDP_OBJECT* b = (const GDP_OBJECT*)brush;
  if (b->type != kGdiObjBrush || b->wid < 0 || !b->color) return;
  CGContextSetFillColorWithColor(ctx->ctx, b->color);
  CGContextFillRect(ctx->ctx, RectOf(*r));
}

void GDI_FillDialogBackground(HDC hdc, const RECT* r, int)
{
  GDP_CTX* ctx = Drawable(hdc);
  if (!ctx || !r) return;
  HIThemeSetFill(kThemeBrushDialogBackgroundActive, nullptr, ctx->ctx, kHIThemeOrientationNormal);
  CGContextFillRect(ctx->ctx, RectOf(*r));
}

void GDI_SetPixel(HDC hdc, int x, int y, int rgb)
{
  GDP_CTX* ctx = Drawable(hdc);
  if (!ctx) return;
  CGColorRef color = CreateColor(rgb, 1.0f);
  if (!color) return;
  CGContextSetLineWidth(ctx->ctx, 1.5);
  CGContextSetStrokeColorWithColor(ctx->ctx, color);
  CGContextBeginPath(ctx->ctx);
  CGContextMoveToPoint(ctx->ctx, x, y);
  CGContextAddLineToPoint(ctx->ctx, x + 0.5, y + 0.5);
  CGContextStrokePath(ctx->ctx);
  CGColorRelease(color);
}

void DrawImageInRect(HDC hdc, HGDIOBJ bitmap, const RECT* r)
{
  GDP_CTX* ctx = Drawable(hdc);
  NSImage* img = (NSImage*)GetNSImageFromHICON(bitmap);
  if (!ctx || !img || !r) return;
  CGContextSaveGState(ctx->ctx);
  NSGraphicsContext::saveGraphicsState();
  NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(ctx->ctx, NO));
  // The context runs downwards: flip about the rectangle so the image lands upright in it.
  CGContextTranslateCTM(ctx->ctx, 0, (double)r->top + r->bottom);
  CGContextScaleCTM(ctx->ctx, 1, -1);
  img->drawInRect(RectOf(*r), NSZeroRect, NSCompositeSourceOver, 1.0);
  NSGraphicsContext::restoreGraphicsState();
  CGContextRestoreGState(ctx->ctx);
}
