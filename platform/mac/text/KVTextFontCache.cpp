// The engine's cache of FreeType faces, cairo font faces and scaled fonts.

#include "KVTextFontCache.h"

#include <cairo-ft.h>

#include <cmath>

namespace KVText
{
bool FontKey::operator==(const FontKey& o) const
{
  return index == o.index && size == o.size && flipped == o.flipped && xx == o.xx && yx == o.yx && xy == o.xy &&
         yy == o.yy && antialias == o.antialias && hinted == o.hinted && file == o.file;
}

FontCache& FontCache::Instance()
{
  // Never destroyed: cairo and FreeType objects outlive every caller, including static destructors.
  static FontCache* sCache = new FontCache;
  return *sCache;
}

std::mutex& FontCache::Lock()
{
  static std::mutex* sLock = new std::mutex;
  return *sLock;
}

FontCache::FaceEntry* FontCache::Entry(const std::string& file, int index)
{
  for (FaceEntry& e : mFaces)
    if (e.index == index && e.file == file) return &e;
  if (!mLibrary && !mLibraryFailed && FT_Init_FreeType(&mLibrary) != 0)
  {
    mLibrary = nullptr;
    mLibraryFailed = true;
  }
  // A face that fails to load is remembered as such, so it is not tried again.
  FaceEntry e{file, index, nullptr, nullptr};
  if (mLibrary && !file.empty() && FT_New_Face(mLibrary, file.c_str(), index, &e.ft) == 0)
  {
    e.cairo = cairo_ft_font_face_create_for_ft_face(e.ft, 0);
    if (cairo_font_face_status(e.cairo) != CAIRO_STATUS_SUCCESS)
    {
      cairo_font_face_destroy(e.cairo);
      e.cairo = nullptr;
    }
  }
  else
  {
    e.ft = nullptr;
  }
  mFaces.push_back(e);
  return &mFaces.back();
}

FT_Face FontCache::FreeTypeFace(const std::string& file, int index) { return Entry(file, index)->ft; }

cairo_scaled_font_t* FontCache::ScaledFont(const FontKey& key)
{
  for (size_t i = 0; i < mScaled.size(); ++i)
  {
    if (!(mScaled[i].key == key)) continue;
    if (i > 0)
    {
      const ScaledEntry hit = mScaled[i];
      mScaled.erase(mScaled.begin() + (long)i);
      mScaled.insert(mScaled.begin(), hit);
    }
    return mScaled.front().font;
  }
  FaceEntry* face = Entry(key.file, key.index);
  if (!face->cairo) return nullptr;

  cairo_matrix_t fontMatrix, device;
  cairo_matrix_init_scale(&fontMatrix, key.size, key.flipped ? key.size : -key.size);
  cairo_matrix_init(&device, key.xx, key.yx, key.xy, key.yy, 0, 0);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, key.antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_metrics(options, key.hinted ? CAIRO_HINT_METRICS_ON : CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, key.hinted ? CAIRO_HINT_STYLE_SLIGHT : CAIRO_HINT_STYLE_NONE);
  cairo_scaled_font_t* font = cairo_scaled_font_create(face->cairo, &fontMatrix, &device, options);
  cairo_font_options_destroy(options);
  if (cairo_scaled_font_status(font) != CAIRO_STATUS_SUCCESS)
  {
    cairo_scaled_font_destroy(font);
    return nullptr;
  }
  if (mScaled.size() >= kMaxScaledFonts)
  {
    cairo_scaled_font_destroy(mScaled.back().font);
    mScaled.pop_back();
  }
  mScaled.insert(mScaled.begin(), ScaledEntry{key, font});
  return font;
}

FontKey MakeFontKey(const Face& face, const Style& style, bool flipped, const CGAffineTransform& ctm)
{
  FontKey k;
  k.file = face.file;
  k.index = face.index;
  k.size = style.size;
  k.flipped = flipped;
  k.xx = ctm.a;
  k.yx = -ctm.b;
  k.xy = ctm.c;
  k.yy = -ctm.d;
  k.antialias = style.antialias;
  k.hinted = style.deviceMetrics;
  return k;
}
}  // namespace KVText
