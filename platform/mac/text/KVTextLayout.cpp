// One line of text laid out with a cairo scaled font: glyph ids from the face's character map,
// advances and font extents from cairo (hinted in device space when device metrics are asked for),
// pen positions aligned in the rectangle.

#include <cairo.h>

#include <cmath>

#include "KVText.h"
#include "KVTextFontCache.h"
#include "KVTextUtf8.h"

namespace KVText
{
namespace
{
bool Invertible(const CGAffineTransform& m)
{
  const double det = m.a * m.d - m.b * m.c;
  return std::isfinite(det) && det != 0 && std::isfinite(m.tx) && std::isfinite(m.ty);
}

// A user point moved to the nearest whole device pixel.
void SnapToDevice(const CGAffineTransform& m, double* x, double* y)
{
  const double dx = std::round(m.a * *x + m.c * *y + m.tx), dy = std::round(m.b * *x + m.d * *y + m.ty);
  const double det = m.a * m.d - m.b * m.c;
  const double ux = dx - m.tx, uy = dy - m.ty;
  const double nx = (m.d * ux - m.c * uy) / det, ny = (m.a * uy - m.b * ux) / det;
  if (std::isfinite(nx) && std::isfinite(ny))
  {
    *x = nx;
    *y = ny;
  }
}
}  // namespace

void LayoutLine(const Style& style, const char* utf8, size_t len, CGRect rect, EAlign align, bool flipped,
                CGAffineTransform ctm, Layout* out)
{
  if (!out) return;
  const Face& face = style.face ? *style.face : DefaultFace();
  *out = Layout{};
  out->fontFile = face.file;
  if (!utf8) len = 0;
  if (!Invertible(ctm)) ctm = CGAffineTransform{1, 0, 0, 1, 0, 0};
  const double pixelSize = style.size * std::sqrt(std::fabs(ctm.a * ctm.d - ctm.b * ctm.c));
  const double top = flipped ? rect.origin.y : rect.origin.y + rect.size.height;
  out->originX = rect.origin.x;
  out->baselineY = top;
  out->lineBox = CGRectMake(rect.origin.x, top, 0, 0);
  if (!(style.size > 0) || !(pixelSize <= kMaxPixelSize)) return;  // also NaN
  out->pixelSize = pixelSize;

  std::lock_guard<std::mutex> hold(FontCache::Lock());
  FontCache& cache = FontCache::Instance();
  cairo_scaled_font_t* font = cache.ScaledFont(MakeFontKey(face, style, flipped, ctm));
  FT_Face ft = cache.FreeTypeFace(face.file, face.index);
  if (!font || !ft) return;

  cairo_font_extents_t fe;
  cairo_scaled_font_extents(font, &fe);
  out->ascent = std::fabs(fe.ascent);
  out->descent = std::fabs(fe.descent);
  out->lineHeight = std::fabs(fe.height);

  // Glyphs and advances first (positions relative to the pen's start), then the alignment.
  const unsigned char* s = (const unsigned char*)utf8;
  out->glyphs.reserve(len);
  double pen = 0;
  for (size_t i = 0; i < len;)
  {
    const uint32_t cp = NextCodePoint(s, len, &i);
    cairo_glyph_t g{FT_Get_Char_Index(ft, cp), 0, 0};
    cairo_text_extents_t te;
    cairo_scaled_font_glyph_extents(font, &g, 1, &te);
    out->glyphs.push_back(Glyph{(unsigned)g.index, pen, 0});
    pen += te.x_advance;
  }
  out->width = pen;

  const double w = rect.size.width;
  double x = rect.origin.x;
  if (align == kAlignCenter)
    x += (w - pen) / 2;
  else if (align == kAlignRight)
    x += w - pen;
  double baseline = flipped ? top + out->ascent : top - out->ascent;
  if (style.deviceMetrics) SnapToDevice(ctm, &x, &baseline);
  out->originX = x;
  out->baselineY = baseline;
  out->lineBox = CGRectMake(x, flipped ? top : top - out->lineHeight, pen, out->lineHeight);
  for (Glyph& g : out->glyphs)
  {
    g.x += x;
    g.y = baseline;
    if (style.deviceMetrics) SnapToDevice(ctm, &g.x, &g.y);
  }
}
}  // namespace KVText
