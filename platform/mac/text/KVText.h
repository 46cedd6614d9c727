#pragma once
// The text engine: installed faces found by family name (fontconfig), single lines laid out and
// drawn into bitmap contexts with FreeType glyphs that cairo renders and pixman composites into the
// context's byte order. Used by the string drawing of the Mac stand-ins. Every call may come from
// any thread; the engine serialises its font work under one lock.

#include <CoreGraphics/CoreGraphics.h>

#include <cstddef>
#include <string>
#include <vector>

namespace KVText
{
struct Face
{
  std::string file;
  int index = 0;
  std::string family;
};

// The installed face a family name resolves to. False when no installed face answers to the name:
// fontconfig's generic fallback for an unknown name does not count, a configured metric-compatible
// alias does ("Arial" resolves to Liberation Sans where that is installed). Case-insensitive. Null
// or empty name: false. `out` may be null. Results are cached.
bool ResolveFace(const char* family, Face* out);

// The face of `face`'s family with its own width and at least its own weight and slant, made bold
// and/or italic (an oblique face counts as italic) where the family has such a face installed.
// False, leaving `out` alone, when it has none. Neither asked: the face itself. `out` may be null.
// Results are cached.
bool ResolveVariant(const Face& face, bool bold, bool italic, Face* out);

// The face to use when a name does not resolve: what "Arial" resolves to, else "DejaVu Sans", else
// fontconfig's match for "sans-serif". A face with an empty file only when no font is installed.
const Face& DefaultFace();

enum EAlign
{
  kAlignLeft = 0,
  kAlignCenter = 1,
  kAlignRight = 2
};

struct Style
{
  const Face* face = nullptr;  // not owned; null means DefaultFace()
  double size = 12;            // em size in user-space units
  bool deviceMetrics = false;  // advances and positions rounded to whole device pixels (hinted metrics)
  bool antialias = true;       // grey-scale antialiasing, else one-bit (aliased) glyphs
};

struct Glyph
{
  unsigned index;  // glyph id in the face
  double x, y;     // pen position on the baseline, user space
};

struct Layout
{
  std::string fontFile;  // the face's file
  double pixelSize = 0;  // em size in device pixels, as rendered
  std::vector<Glyph> glyphs;
  double width = 0;                                // total advance
  double ascent = 0, descent = 0, lineHeight = 0;  // of the font at that size, positive numbers
  double originX = 0, baselineY = 0;               // where the pen starts, user space
  CGRect lineBox{};                                // the line's box in user space (w, h >= 0)
};

// Em sizes above this many device pixels (and sizes that are not positive and finite) lay out as
// an empty line with zero metrics.
constexpr double kMaxPixelSize = 4096;

// Lays out UTF-8 text (len bytes; a byte that starts no valid sequence is taken as Latin-1) on one
// line in `rect` of a user space that runs downwards when `flipped`, upwards otherwise. The top of
// the line box lies on the rectangle's top edge (origin.y when flipped, origin.y + height when
// not), the baseline one ascent below it; x is aligned in the rectangle's width (left: x; centre:
// x + (w - width) / 2; right: x + w - width), overflowing by the same rule when the text is wider.
// Nothing is clipped or wrapped; a newline is a character like any other. Null or empty text gives
// no glyphs and width 0 with the font's metrics. The CTM matters for deviceMetrics (and pixelSize):
// pass the CTM the text will be drawn with (identity when unknown).
void LayoutLine(const Style& style, const char* utf8, size_t len, CGRect rect, EAlign align, bool flipped,
                CGAffineTransform ctm, Layout* out);

// Draws a laid-out line into a bitmap context: user space maps to device space through the
// context's current CTM (any affine one), glyphs upright in user space running the way `flipped`
// says (as given to LayoutLine), clipped to the context's clip and bitmap. The colour rgba (0..1,
// not premultiplied) is blended source-over with the glyph coverage; the unused byte of skip
// formats is left as it was. Glyphs are aliased when the style or the context
// (CGContextGetShouldAntialias) turns antialiasing off. True when the line was drawn (or had
// nothing visible); false, drawing nothing, for a null context or colour, or a context whose
// pixels it cannot address.
bool DrawLine(CGContextRef ctx, const Style& style, const Layout& layout, bool flipped, const CGFloat rgba[4]);
}  // namespace KVText
