// Printed legends: FreeType renders each glyph to grey coverage at the pixel size asked for, with
// its hinting, and the raster library blends it in the colour.

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <algorithm>
#include <string>
#include <vector>

#include "ArtCanvas.h"
#include "ArtFaces.h"

namespace art
{
namespace
{
struct Fonts
{
  FT_Library library = nullptr;
  FT_Face faces[4] = {};
  bool ok = false;

  Fonts()
  {
    if (FT_Init_FreeType(&library)) return;
    // In EFace's order.
    const FaceWanted wanted[4] = { { "DejaVu Sans", "Book", "fonts-dejavu-core" },
                                   { "DejaVu Sans", "Bold", "fonts-dejavu-core" },
                                   { "DejaVu Sans Condensed", "Bold", "fonts-dejavu-extra" },
                                   { "DejaVu Sans Mono", "Bold", "fonts-dejavu-core" } };
    ok = true;
    for (int i = 0; i < 4; ++i) ok = Open(wanted[i], &faces[i]) && ok;
  }

  // Everything back, fontconfig's configuration too, so that leak checkers see a clean exit.
  ~Fonts()
  {
    for (FT_Face f : faces)
      if (f) FT_Done_Face(f);
    if (library) FT_Done_FreeType(library);
    FcFini();
  }

  bool Open(const FaceWanted& wanted, FT_Face* pFace)
  {
    FaceFound found;
    std::string error;
    if (!FindFace(wanted, &found, &error))
    {
      fprintf(stderr, "kv_editor_artwork: %s\n", error.c_str());
      return false;
    }
    if (FT_New_Face(library, found.file.c_str(), found.index, pFace) == 0) return true;
    fprintf(stderr, "kv_editor_artwork: cannot open %s\n", found.file.c_str());
    return false;
  }
};

Fonts& TheFonts()
{
  static Fonts fonts;
  return fonts;
}

// Calls f(glyph slot, pen x) for each character; returns the advance of the whole text.
template <class F>
int ForEachGlyph(const std::string& text, int pixelSize, EFace face, F f)
{
  FT_Face ft = TheFonts().faces[face];
  if (!ft || FT_Set_Pixel_Sizes(ft, 0, (FT_UInt)pixelSize)) return 0;
  long pen = 0;
  FT_UInt previous = 0;
  for (unsigned char ch : text)
  {
    const FT_UInt index = FT_Get_Char_Index(ft, ch);
    if (previous && FT_HAS_KERNING(ft))
    {
      FT_Vector k;
      if (!FT_Get_Kerning(ft, previous, index, FT_KERNING_DEFAULT, &k)) pen += k.x;
    }
    if (FT_Load_Glyph(ft, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT)) continue;
    f(ft->glyph, (int)((pen + 32) >> 6));
    pen += ft->glyph->advance.x;
    previous = index;
  }
  return (int)((pen + 32) >> 6);
}
}  // namespace

bool TextReady()
{
  return TheFonts().ok;
}

int TextWidth(const std::string& text, int pixelSize, EFace face)
{
  return ForEachGlyph(text, pixelSize, face, [](FT_GlyphSlot, int) {});
}

int Text(PIX_IBitmap* bm, int x, int y, const std::string& text, int pixelSize, PIX_PixelValue c, EAlign align, EFace face)
{
  const int width = TextWidth(text, pixelSize, face);
  const int left = align == kLeft ? x : (align == kCentre ? x - width / 2 : x - width);
  ForEachGlyph(text, pixelSize, face, [&](FT_GlyphSlot g, int penX) {
    const FT_Bitmap& b = g->bitmap;
    if (b.pixel_mode != FT_PIXEL_MODE_GRAY || !b.buffer || !b.width || !b.rows) return;
    // Rows as the raster library takes them, one byte a pixel without padding.
    std::vector<unsigned char> cov((size_t)b.width * b.rows);
    for (unsigned r = 0; r < b.rows; ++r)
      std::copy(b.buffer + (long)r * b.pitch, b.buffer + (long)r * b.pitch + b.width, cov.begin() + (long)r * b.width);
    PIX_DrawGlyph(bm, left + penX + g->bitmap_left, y - g->bitmap_top, c, cov.data(), (int)b.width, (int)b.rows, 1.0f,
                  PIX_MODE_COPY);
  });
  return width;
}
}  // namespace art
