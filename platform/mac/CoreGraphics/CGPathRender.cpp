// Painting a path: cairo renders its coverage into an A8 mask over the path's device bounding box
// (widened by the pen for strokes, cut to the clip), then pixman blends the colour through the
// mask, source-over, into a copy of those pixels in the context's byte order, which goes back into
// the bitmap. In skip-alpha bitmaps the unused byte becomes opaque where the mask touched a pixel
// and stays as it was elsewhere.
//
// The path is kept in device space, so cairo takes it with an identity matrix (plus the flip to
// memory rows); for a stroke the matrix then becomes the CTM, which cairo uses for the pen only:
// the line width is user space at the time of the stroke, as on the platform.

#include <cairo.h>
#include <pixman.h>

#include <CoreGraphics/CGPixmanFormat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "CGPathRender.h"

namespace
{
using CGRecords::Path;

// Half a line width in device pixels beyond this strokes nothing (the pen's outline, up to the
// miter limit times this, must stay in cairo's fixed-point range).
constexpr double kPenLimit = 131072.0;  // 2^17
constexpr double kMiterLimit = 10;      // the platform's default
// Tiles keep each mask within cairo's image size limit and modest in memory.
constexpr long kTile = 2048;

using CGPixels::PixmanFormat;

// Byte offset of the unused byte of a skip format, -1 for the others.
int SkipByte(uint32_t info)
{
  switch (info & kCGBitmapAlphaInfoMask)
  {
    case kCGImageAlphaNoneSkipFirst: return 0;
    case kCGImageAlphaNoneSkipLast: return 3;
    default: return -1;
  }
}

double Unit(double v) { return v > 0 ? (v < 1 ? v : 1) : 0; }

// A rectangle of memory pixels (column x, row y from the top), half-open.
struct Box
{
  long x0, y0, x1, y1;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

struct Scratch
{
  std::vector<uint32_t> mask;
  std::vector<uint32_t> pixels;
};

Scratch& ThreadScratch()
{
  static thread_local Scratch sScratch;
  return sScratch;
}

cairo_line_cap_t CairoCap(CGLineCap cap)
{
  switch (cap)
  {
    case kCGLineCapRound: return CAIRO_LINE_CAP_ROUND;
    case kCGLineCapSquare: return CAIRO_LINE_CAP_SQUARE;
    default: return CAIRO_LINE_CAP_BUTT;
  }
}

cairo_line_join_t CairoJoin(CGLineJoin join)
{
  switch (join)
  {
    case kCGLineJoinRound: return CAIRO_LINE_JOIN_ROUND;
    case kCGLineJoinBevel: return CAIRO_LINE_JOIN_BEVEL;
    default: return CAIRO_LINE_JOIN_MITER;
  }
}

// The device path into cairo, as coordinates of a tile whose top-left memory pixel is (ox, oy).
void AddPath(cairo_t* cr, const Path& p, double ox, double oy, double height)
{
  const CGPoint* q = p.points.data();
  auto x = [&](const CGPoint& d) { return d.x - ox; };
  auto y = [&](const CGPoint& d) { return height - d.y - oy; };
  for (Path::EOp op : p.ops)
  {
    switch (op)
    {
      case Path::kMove:
        cairo_move_to(cr, x(q[0]), y(q[0]));
        q += 1;
        break;
      case Path::kLine:
        cairo_line_to(cr, x(q[0]), y(q[0]));
        q += 1;
        break;
      case Path::kCurve:
        cairo_curve_to(cr, x(q[0]), y(q[0]), x(q[1]), y(q[1]), x(q[2]), y(q[2]));
        q += 3;
        break;
      case Path::kClose: cairo_close_path(cr); break;
    }
  }
}

// Renders the path's coverage into the scratch mask for one tile; false when cairo fails.
bool RenderMask(CGContextRef c, const Path& p, CGPathRender::EPaint paint, const Box& tile, Scratch& s, int* stride)
{
  const int w = (int)(tile.x1 - tile.x0), h = (int)(tile.y1 - tile.y0);
  *stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, w);
  s.mask.assign((size_t)*stride / 4 * (size_t)h, 0);
  cairo_surface_t* surface =
    cairo_image_surface_create_for_data((unsigned char*)s.mask.data(), CAIRO_FORMAT_A8, w, h, *stride);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, c->gs.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  cairo_set_source_rgba(cr, 1, 1, 1, 1);
  AddPath(cr, p, (double)tile.x0, (double)tile.y0, (double)c->height);
  if (paint == CGPathRender::kStroke)
  {
    // The path stays where it is; only the pen follows the CTM (with the flip to memory rows). A
    // pen does not move, so the CTM's translation plays no part.
    const CGAffineTransform& t = c->gs.ctm;
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, -t.b, t.c, -t.d, 0, 0);
    cairo_set_matrix(cr, &m);
    cairo_set_line_width(cr, c->gs.lineWidth);
    cairo_set_line_cap(cr, CairoCap(c->gs.lineCap));
    cairo_set_line_join(cr, CairoJoin(c->gs.lineJoin));
    cairo_set_miter_limit(cr, kMiterLimit);
    cairo_stroke(cr);
  }
  else
  {
    cairo_set_fill_rule(cr, paint == CGPathRender::kEOFill ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
  }
  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  return ok;
}

// The colour through the mask onto one tile of the bitmap.
void Composite(CGContextRef c, const Box& tile, int maskStride, const pixman_color_t& colour, Scratch& s)
{
  const long w = tile.x1 - tile.x0, h = tile.y1 - tile.y0;
  const size_t rowBytes = (size_t)w * 4;
  s.pixels.resize((size_t)w * (size_t)h);
  uint8_t* stage = (uint8_t*)s.pixels.data();
  auto bitmapRow = [&](long y) { return c->data + (size_t)(tile.y0 + y) * c->bytesPerRow + (size_t)tile.x0 * 4; };
  for (long y = 0; y < h; ++y) memcpy(stage + (size_t)y * rowBytes, bitmapRow(y), rowBytes);

  pixman_image_t* dst = pixman_image_create_bits(PixmanFormat(c->info), (int)w, (int)h, s.pixels.data(), (int)rowBytes);
  pixman_image_t* mask = pixman_image_create_bits(PIXMAN_a8, (int)w, (int)h, s.mask.data(), maskStride);
  pixman_image_t* src = pixman_image_create_solid_fill(&colour);
  const bool ok = dst && mask && src;
  if (ok) pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, (int)w, (int)h);
  if (src) pixman_image_unref(src);
  if (mask) pixman_image_unref(mask);
  if (dst) pixman_image_unref(dst);
  if (!ok) return;

  const int skip = SkipByte(c->info);
  const uint8_t* cover = (const uint8_t*)s.mask.data();
  for (long y = 0; y < h; ++y)
  {
    uint8_t* out = bitmapRow(y);
    uint8_t* row = stage + (size_t)y * rowBytes;
    if (skip >= 0)
    {
      const uint8_t* m = cover + (size_t)y * (size_t)maskStride;
      for (long x = 0; x < w; ++x) row[x * 4 + skip] = m[x] ? 255 : out[x * 4 + skip];
    }
    memcpy(out, row, rowBytes);
  }
}
}  // namespace

namespace CGPathRender
{
void Paint(CGContextRef c, const Path& path, EPaint paint)
{
  if (!c || path.spoilt || path.points.empty() || PixmanFormat(c->info) == 0) return;
  if (!((CGFloat)c->width <= kCoordLimit && (CGFloat)c->height <= kCoordLimit)) return;
  const CGFloat* rgba = paint == kStroke ? c->gs.stroke : c->gs.fill;
  const double alpha = Unit(rgba[3]);
  if (alpha == 0) return;

  // Device bounding box of the points (a curve lies inside its control points' hull).
  double lx = INFINITY, hx = -INFINITY, ly = INFINITY, hy = -INFINITY;
  for (const CGPoint& d : path.points)
  {
    lx = std::fmin(lx, d.x);
    hx = std::fmax(hx, d.x);
    ly = std::fmin(ly, d.y);
    hy = std::fmax(hy, d.y);
  }

  const CGAffineTransform& ctm = c->gs.ctm;
  const double height = (double)c->height;
  if (paint == kStroke)
  {
    CGAffineTransform inv;
    const double width = c->gs.lineWidth;
    if (!(width > 0) || !CGRecords::Invert(ctm, &inv)) return;
    // The pen's reach: half the width, stretched at most by the CTM's norm, out to a miter's tip
    // or a square cap's corner.
    const double half = width / 2 * std::sqrt(ctm.a * ctm.a + ctm.b * ctm.b + ctm.c * ctm.c + ctm.d * ctm.d);
    if (!(half <= kPenLimit)) return;  // also NaN
    const double reach = half * (c->gs.lineJoin == kCGLineJoinMiter ? kMiterLimit : std::sqrt(2.0));
    lx -= reach;
    hx += reach;
    ly -= reach;
    hy += reach;
  }

  // In memory pixels, one pixel wider for antialiasing, cut to the clip.
  const CGRecords::DeviceBox& clip = c->gs.clip;
  const long rows = (long)c->height;
  const Box box{std::max(clip.x0, (long)std::floor(lx) - 1),
                std::max(rows - clip.y1, (long)std::floor(height - hy) - 1),
                std::min(clip.x1, (long)std::ceil(hx) + 1),
                std::min(rows - clip.y0, (long)std::ceil(height - ly) + 1)};
  if (box.Empty()) return;

  const double premul = alpha * 65535.0;
  const pixman_color_t colour{(uint16_t)std::lround(Unit(rgba[0]) * premul),
                              (uint16_t)std::lround(Unit(rgba[1]) * premul),
                              (uint16_t)std::lround(Unit(rgba[2]) * premul), (uint16_t)std::lround(premul)};
  Scratch& s = ThreadScratch();
  for (long ty = box.y0; ty < box.y1; ty += kTile)
    for (long tx = box.x0; tx < box.x1; tx += kTile)
    {
      const Box tile{tx, ty, std::min(tx + kTile, box.x1), std::min(ty + kTile, box.y1)};
      int stride = 0;
      if (!RenderMask(c, path, paint, tile, s, &stride)) return;
      Composite(c, tile, stride, colour, s);
    }
}
}  // namespace CGPathRender
