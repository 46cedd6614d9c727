// A bitmap context's graphics state: the CTM, the saved-state stack, the clip rectangle of device
// pixels, the antialias flag, the fill and stroke colours and line style, and the rectangle fill
// that honours them.

#include <CoreGraphics/CoreGraphics.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "CGPixelFormat.h"
#include "CGRecords.h"

namespace CGRecords
{
void CentreRange(CGFloat lo, CGFloat hi, size_t size, long* first, long* end)
{
  *first = *end = 0;
  if (!(lo <= hi)) return;  // also NaN
  // Clamped first, so the conversions below stay in range whatever the bounds.
  const CGFloat limit = (CGFloat)size + 1;
  lo = std::min(std::max(lo, (CGFloat)-1), limit);
  hi = std::min(std::max(hi, (CGFloat)-1), limit);
  *first = std::max(0L, (long)std::ceil(lo - 0.5));
  *end = std::min((long)size, (long)std::ceil(hi - 0.5));
  if (*end < *first) *end = *first;
}

DeviceBox CoveredPixels(CGRect rect, const CGAffineTransform& m, size_t w, size_t h)
{
  const CGFloat x0 = rect.origin.x, y0 = rect.origin.y;
  const CGFloat x1 = x0 + rect.size.width, y1 = y0 + rect.size.height;
  const CGPoint p[4] = {CGPointApplyAffineTransform(CGPointMake(x0, y0), m),
                        CGPointApplyAffineTransform(CGPointMake(x1, y0), m),
                        CGPointApplyAffineTransform(CGPointMake(x0, y1), m),
                        CGPointApplyAffineTransform(CGPointMake(x1, y1), m)};
  CGFloat lx = p[0].x, hx = p[0].x, ly = p[0].y, hy = p[0].y;
  bool finite = true;
  for (const CGPoint& q : p)
  {
    finite = finite && std::isfinite(q.x) && std::isfinite(q.y);
    lx = std::fmin(lx, q.x);
    hx = std::fmax(hx, q.x);
    ly = std::fmin(ly, q.y);
    hy = std::fmax(hy, q.y);
  }
  DeviceBox box;
  if (!finite) return box;
  CentreRange(lx, hx, w, &box.x0, &box.x1);
  CentreRange(ly, hy, h, &box.y0, &box.y1);
  return box;
}

bool Invert(const CGAffineTransform& m, CGAffineTransform* inverse)
{
  *inverse = m;
  const CGFloat det = m.a * m.d - m.b * m.c;
  if (!std::isfinite(det) || det == 0 || !std::isfinite(m.tx) || !std::isfinite(m.ty)) return false;
  *inverse = CGAffineTransform{m.d / det,
                               -m.b / det,
                               -m.c / det,
                               m.a / det,
                               (m.c * m.ty - m.d * m.tx) / det,
                               (m.b * m.tx - m.a * m.ty) / det};
  return true;
}

DeviceBox Intersect(const DeviceBox& a, const DeviceBox& b)
{
  DeviceBox r{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
  if (r.Empty()) r = DeviceBox{};
  return r;
}
}  // namespace CGRecords

namespace
{
uint8_t ToByte(CGFloat v)
{
  if (!(v > 0)) return 0;
  if (v >= 1) return 255;
  return (uint8_t)std::lround(v * 255.0);
}

CGRect BoxRect(const CGRecords::DeviceBox& b)
{
  if (b.Empty()) return CGRectMake(0, 0, 0, 0);
  return CGRectMake((CGFloat)b.x0, (CGFloat)b.y0, (CGFloat)(b.x1 - b.x0), (CGFloat)(b.y1 - b.y0));
}
}  // namespace

// ---- transformation

void CGContextTranslateCTM(CGContextRef c, CGFloat tx, CGFloat ty)
{
  if (!c) return;
  CGAffineTransform& m = c->gs.ctm;
  m.tx += m.a * tx + m.c * ty;
  m.ty += m.b * tx + m.d * ty;
}

void CGContextScaleCTM(CGContextRef c, CGFloat sx, CGFloat sy)
{
  if (!c) return;
  CGAffineTransform& m = c->gs.ctm;
  m.a *= sx;
  m.b *= sx;
  m.c *= sy;
  m.d *= sy;
}

void CGContextConcatCTM(CGContextRef c, CGAffineTransform t)
{
  if (!c) return;
  const CGAffineTransform m = c->gs.ctm;
  c->gs.ctm = CGAffineTransform{t.a * m.a + t.b * m.c,         t.a * m.b + t.b * m.d,
                                t.c * m.a + t.d * m.c,         t.c * m.b + t.d * m.d,
                                t.tx * m.a + t.ty * m.c + m.tx, t.tx * m.b + t.ty * m.d + m.ty};
}

void CGContextRotateCTM(CGContextRef c, CGFloat angle)
{
  const CGFloat s = std::sin(angle), k = std::cos(angle);
  CGContextConcatCTM(c, CGAffineTransform{k, s, -s, k, 0, 0});
}

CGAffineTransform CGContextGetCTM(CGContextRef c)
{
  return c ? c->gs.ctm : CGAffineTransform{1, 0, 0, 1, 0, 0};
}

CGPoint CGContextConvertPointToDeviceSpace(CGContextRef c, CGPoint p)
{
  return c ? CGPointApplyAffineTransform(p, c->gs.ctm) : p;
}

// ---- graphics state

void CGContextSaveGState(CGContextRef c)
{
  if (c) c->saved.push_back(c->gs);
}

void CGContextRestoreGState(CGContextRef c)
{
  if (!c || c->saved.empty()) return;
  c->gs = c->saved.back();
  c->saved.pop_back();
}

void CGContextClipToRect(CGContextRef c, CGRect rect)
{
  if (!c) return;
  c->gs.clip = CGRecords::Intersect(c->gs.clip, CGRecords::CoveredPixels(rect, c->gs.ctm, c->width, c->height));
}

CGRect CGContextGetClipBoundingBox(CGContextRef c)
{
  CGAffineTransform inv;
  if (!c || c->gs.clip.Empty() || !CGRecords::Invert(c->gs.ctm, &inv)) return CGRectMake(0, 0, 0, 0);
  const CGRecords::DeviceBox& b = c->gs.clip;
  const CGFloat xs[2] = {(CGFloat)b.x0, (CGFloat)b.x1}, ys[2] = {(CGFloat)b.y0, (CGFloat)b.y1};
  CGFloat lx = INFINITY, hx = -INFINITY, ly = INFINITY, hy = -INFINITY;
  for (CGFloat x : xs)
    for (CGFloat y : ys)
    {
      const CGPoint p = CGPointApplyAffineTransform(CGPointMake(x, y), inv);
      lx = std::fmin(lx, p.x);
      hx = std::fmax(hx, p.x);
      ly = std::fmin(ly, p.y);
      hy = std::fmax(hy, p.y);
    }
  return CGRectMake(lx, ly, hx - lx, hy - ly);
}

CGRect CGContextGetDeviceClipBox(CGContextRef c) { return c ? BoxRect(c->gs.clip) : CGRectMake(0, 0, 0, 0); }

void CGContextSetShouldAntialias(CGContextRef c, bool shouldAntialias)
{
  if (c) c->gs.antialias = shouldAntialias;
}

bool CGContextGetShouldAntialias(CGContextRef c) { return c ? c->gs.antialias : true; }

// ---- filling

void CGContextSetRGBFillColor(CGContextRef c, CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
  if (!c) return;
  c->gs.fill[0] = r;
  c->gs.fill[1] = g;
  c->gs.fill[2] = b;
  c->gs.fill[3] = a;
}

void CGContextSetFillColorWithColor(CGContextRef c, CGColorRef color)
{
  if (!c || !color) return;
  for (int i = 0; i < 4; ++i) c->gs.fill[i] = color->comps[i];
}

void CGContextFillRect(CGContextRef c, CGRect rect)
{
  if (!c || c->gs.ctm.b != 0 || c->gs.ctm.c != 0) return;
  const CGRecords::DeviceBox box =
    CGRecords::Intersect(CGRecords::CoveredPixels(rect, c->gs.ctm, c->width, c->height), c->gs.clip);
  if (box.Empty()) return;
  const CGPixels::Layout lay = CGPixels::LayoutOf(c->info);
  const CGFloat a = lay.premultiplied ? c->gs.fill[3] : 1.0;
  uint8_t px[4];
  px[lay.a] = ToByte(a);
  px[lay.r] = ToByte(c->gs.fill[0] * a);
  px[lay.g] = ToByte(c->gs.fill[1] * a);
  px[lay.b] = ToByte(c->gs.fill[2] * a);
  for (long y = box.y0; y < box.y1; ++y)
  {
    uint8_t* row = c->data + (c->height - 1 - (size_t)y) * c->bytesPerRow;
    for (long x = box.x0; x < box.x1; ++x) memcpy(row + x * 4, px, 4);
  }
}

// ---- stroke style

void CGContextSetLineWidth(CGContextRef c, CGFloat width)
{
  if (c) c->gs.lineWidth = width;
}

void CGContextSetLineCap(CGContextRef c, CGLineCap cap)
{
  if (c && (cap == kCGLineCapButt || cap == kCGLineCapRound || cap == kCGLineCapSquare)) c->gs.lineCap = cap;
}

void CGContextSetLineJoin(CGContextRef c, CGLineJoin join)
{
  if (c && (join == kCGLineJoinMiter || join == kCGLineJoinRound || join == kCGLineJoinBevel)) c->gs.lineJoin = join;
}

void CGContextSetRGBStrokeColor(CGContextRef c, CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
  if (!c) return;
  c->gs.stroke[0] = r;
  c->gs.stroke[1] = g;
  c->gs.stroke[2] = b;
  c->gs.stroke[3] = a;
}

void CGContextSetStrokeColorWithColor(CGContextRef c, CGColorRef color)
{
  if (!c || !color) return;
  for (int i = 0; i < 4; ++i) c->gs.stroke[i] = color->comps[i];
}

void CGContextFlush(CGContextRef c)
{
  if (c) c->flushes.fetch_add(1);
}
