// Drawing a laid-out line: cairo renders the glyphs' coverage into a small A8 mask over their
// device bounding box (inside the clip and the bitmap), then pixman blends the colour through the
// mask, source-over, into a copy of those pixels in the context's byte order, which goes back into
// the bitmap with the unused byte of skip formats as it was.

#include <cairo.h>
#include <pixman.h>

#include <CoreGraphics/CGPixmanFormat.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "KVText.h"
#include "KVTextFontCache.h"

namespace KVText
{
namespace
{
using CGPixels::PixmanFormat;

// Byte offset of the unused byte of a skip format, -1 for the others.
int SkipByte(CGImageAlphaInfo info)
{
  if (info == kCGImageAlphaNoneSkipFirst) return 0;
  if (info == kCGImageAlphaNoneSkipLast) return 3;
  return -1;
}

double Unit(double v) { return v > 0 ? (v < 1 ? v : 1) : 0; }

// A rectangle of memory pixels (column x, row y from the top), half-open.
struct Box
{
  long x0, y0, x1, y1;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

// Tiles keep each mask within cairo's image size limit and modest in memory.
constexpr long kTile = 2048;

struct Scratch
{
  std::vector<cairo_glyph_t> glyphs;
  std::vector<uint32_t> mask;
  std::vector<uint32_t> pixels;
};

Scratch& ThreadScratch()
{
  static thread_local Scratch sScratch;
  return sScratch;
}

// Renders the glyphs' coverage into the scratch mask for one tile; false when cairo fails.
bool RenderMask(cairo_scaled_font_t* font, const cairo_matrix_t& toMemory, const Box& tile, Scratch& s, int* stride)
{
  const int w = (int)(tile.x1 - tile.x0), h = (int)(tile.y1 - tile.y0);
  *stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, w);
  s.mask.assign((size_t)*stride / 4 * (size_t)h, 0);
  cairo_surface_t* surface =
    cairo_image_surface_create_for_data((unsigned char*)s.mask.data(), CAIRO_FORMAT_A8, w, h, *stride);
  cairo_t* cr = cairo_create(surface);
  cairo_matrix_t m = toMemory;
  m.x0 -= (double)tile.x0;
  m.y0 -= (double)tile.y0;
  cairo_set_matrix(cr, &m);
  cairo_set_scaled_font(cr, font);
  cairo_set_source_rgba(cr, 1, 1, 1, 1);
  // Coverage adds up, as cairo's own glyph masks do; pixman adds glyphs far faster than it blends them.
  cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
  cairo_show_glyphs(cr, s.glyphs.data(), (int)s.glyphs.size());
  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  return ok;
}

// The colour through the mask onto one tile of the bitmap.
void Composite(uint8_t* data, size_t bytesPerRow, CGImageAlphaInfo info, const Box& tile, int maskStride,
               const pixman_color_t& colour, Scratch& s)
{
  const long w = tile.x1 - tile.x0, h = tile.y1 - tile.y0;
  const size_t rowBytes = (size_t)w * 4;
  s.pixels.resize((size_t)w * (size_t)h);
  uint8_t* stage = (uint8_t*)s.pixels.data();
  for (long y = 0; y < h; ++y)
    memcpy(stage + (size_t)y * rowBytes, data + (size_t)(tile.y0 + y) * bytesPerRow + (size_t)tile.x0 * 4, rowBytes);

  pixman_image_t* dst = pixman_image_create_bits(PixmanFormat(info), (int)w, (int)h, s.pixels.data(), (int)rowBytes);
  pixman_image_t* mask = pixman_image_create_bits(PIXMAN_a8, (int)w, (int)h, s.mask.data(), maskStride);
  pixman_image_t* src = pixman_image_create_solid_fill(&colour);
  if (dst && mask && src)
    pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, (int)w, (int)h);
  if (src) pixman_image_unref(src);
  if (mask) pixman_image_unref(mask);
  if (dst) pixman_image_unref(dst);

  const int skip = SkipByte(info);
  for (long y = 0; y < h; ++y)
  {
    uint8_t* out = data + (size_t)(tile.y0 + y) * bytesPerRow + (size_t)tile.x0 * 4;
    uint8_t* row = stage + (size_t)y * rowBytes;
    if (skip >= 0)
      for (long x = 0; x < w; ++x) row[x * 4 + skip] = out[x * 4 + skip];
    memcpy(out, row, rowBytes);
  }
}
}  // namespace

bool DrawLine(CGContextRef ctx, const Style& style, const Layout& layout, bool flipped, const CGFloat rgba[4])
{
  uint8_t* data = ctx ? (uint8_t*)CGBitmapContextGetData(ctx) : nullptr;
  const CGImageAlphaInfo info = CGBitmapContextGetAlphaInfo(ctx);
  if (!data || !rgba || PixmanFormat(info) == 0) return false;
  const size_t width = CGBitmapContextGetWidth(ctx), height = CGBitmapContextGetHeight(ctx);
  const size_t bytesPerRow = CGBitmapContextGetBytesPerRow(ctx);
  if (width > (size_t)INT32_MAX / 4 || height > (size_t)INT32_MAX) return false;
  const double alpha = Unit(rgba[3]);
  if (layout.glyphs.empty() || alpha == 0) return true;

  // User space to memory pixels (x right, row 0 at the top).
  const CGAffineTransform ctm = CGContextGetCTM(ctx);
  cairo_matrix_t toMemory;
  cairo_matrix_init(&toMemory, ctm.a, -ctm.b, ctm.c, -ctm.d, ctm.tx, (double)height - ctm.ty);
  const double det = ctm.a * ctm.d - ctm.b * ctm.c;
  if (!std::isfinite(det) || det == 0 || !std::isfinite(ctm.tx) || !std::isfinite(ctm.ty)) return true;
  const double pixelSize = style.size * std::sqrt(std::fabs(det));
  if (!(style.size > 0) || !(pixelSize <= kMaxPixelSize)) return true;

  const CGRect clip = CGContextGetDeviceClipBox(ctx);  // whole device pixels, y up
  Box box{(long)clip.origin.x, (long)height - (long)(clip.origin.y + clip.size.height),
          (long)(clip.origin.x + clip.size.width), (long)height - (long)clip.origin.y};
  if (box.Empty()) return true;

  Style drawn = style;
  drawn.antialias = style.antialias && CGContextGetShouldAntialias(ctx);
  const Face& face = style.face ? *style.face : DefaultFace();
  Scratch& s = ThreadScratch();
  const double premul = alpha * 65535.0;
  const pixman_color_t colour{(uint16_t)std::lround(Unit(rgba[0]) * premul),
                              (uint16_t)std::lround(Unit(rgba[1]) * premul),
                              (uint16_t)std::lround(Unit(rgba[2]) * premul), (uint16_t)std::lround(premul)};

  std::unique_lock<std::mutex> hold(FontCache::Lock());
  cairo_scaled_font_t* font = FontCache::Instance().ScaledFont(MakeFontKey(face, drawn, flipped, ctm));
  if (!font) return true;

  // Only glyphs whose pen lies within a few ems of the clip can reach it.
  const double reach = 3 * pixelSize + 2;
  s.glyphs.clear();
  for (const Glyph& g : layout.glyphs)
  {
    double x = g.x, y = g.y;
    cairo_matrix_transform_point(&toMemory, &x, &y);
    if (x >= (double)box.x0 - reach && x <= (double)box.x1 + reach && y >= (double)box.y0 - reach &&
        y <= (double)box.y1 + reach)
      s.glyphs.push_back(cairo_glyph_t{g.index, g.x, g.y});
  }
  if (s.glyphs.empty()) return true;

  // The ink's box (user space, relative to the first glyph) through the CTM, one pixel wider for
  // antialiasing, limited to the clip.
  cairo_text_extents_t ink;
  cairo_scaled_font_glyph_extents(font, s.glyphs.data(), (int)s.glyphs.size(), &ink);
  if (ink.width <= 0 || ink.height <= 0) return true;
  const double ux = s.glyphs[0].x + ink.x_bearing, uy = s.glyphs[0].y + ink.y_bearing;
  double lx = INFINITY, hx = -INFINITY, ly = INFINITY, hy = -INFINITY;
  for (int corner = 0; corner < 4; ++corner)
  {
    double x = ux + ((corner & 1) ? ink.width : 0), y = uy + ((corner & 2) ? ink.height : 0);
    cairo_matrix_transform_point(&toMemory, &x, &y);
    lx = std::fmin(lx, x);
    hx = std::fmax(hx, x);
    ly = std::fmin(ly, y);
    hy = std::fmax(hy, y);
  }
  if (!(lx >= (double)box.x0 - 1e9 && hx <= (double)box.x1 + 1e9 && ly >= (double)box.y0 - 1e9 &&
        hy <= (double)box.y1 + 1e9))
    return true;  // not finite, or absurdly far out
  box.x0 = std::max(box.x0, (long)std::floor(lx) - 1);
  box.y0 = std::max(box.y0, (long)std::floor(ly) - 1);
  box.x1 = std::min(box.x1, (long)std::ceil(hx) + 1);
  box.y1 = std::min(box.y1, (long)std::ceil(hy) + 1);

  for (long ty = box.y0; ty < box.y1; ty += kTile)
    for (long tx = box.x0; tx < box.x1; tx += kTile)
    {
      const Box tile{tx, ty, std::min(tx + kTile, box.x1), std::min(ty + kTile, box.y1)};
      if (!hold.owns_lock()) hold.lock();
      font = FontCache::Instance().ScaledFont(MakeFontKey(face, drawn, flipped, ctm));
      int stride = 0;
      if (!font || !RenderMask(font, toMemory, tile, s, &stride)) return true;
      hold.unlock();
      Composite(data, bytesPerRow, info, tile, stride, colour, s);
    }
  return true;
}
}  // namespace KVText
