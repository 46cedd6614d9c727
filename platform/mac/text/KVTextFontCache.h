#pragma once
// The engine's font state, kept for the life of the process: the FreeType library, one FreeType
// face and one cairo font face per face file, and a bounded set of cairo scaled fonts. All of it
// is used under the one engine lock (FontCache::Lock()).

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>
#include <string>
#include <vector>

#include "KVText.h"

namespace KVText
{
// How a scaled font is made: face, em size in user units, the way user space runs, the
// user-to-device matrix (device y down, translation ignored) and the rendering options.
struct FontKey
{
  std::string file;
  int index = 0;
  double size = 0;
  bool flipped = false;
  double xx = 1, yx = 0, xy = 0, yy = 1;
  bool antialias = true;
  bool hinted = false;

  bool operator==(const FontKey& o) const;
};

class FontCache
{
public:
  static FontCache& Instance();
  static std::mutex& Lock();

  // With Lock() held. Null when the face cannot be loaded or the font cannot be made; the cache
  // owns the result, which stays valid until the lock is released.
  FT_Face FreeTypeFace(const std::string& file, int index);
  cairo_scaled_font_t* ScaledFont(const FontKey& key);

private:
  FontCache() = default;
  struct FaceEntry
  {
    std::string file;
    int index;
    FT_Face ft;
    cairo_font_face_t* cairo;
  };
  struct ScaledEntry
  {
    FontKey key;
    cairo_scaled_font_t* font;
  };
  FaceEntry* Entry(const std::string& file, int index);

  static constexpr size_t kMaxScaledFonts = 48;
  FT_Library mLibrary = nullptr;
  bool mLibraryFailed = false;
  std::vector<FaceEntry> mFaces;
  std::vector<ScaledEntry> mScaled;  // most recently used first
};

// The key of the font a style draws with under a CG transformation (device y up, as the context
// keeps it): cairo's device space runs down, so its y axis is the CTM's negated.
FontKey MakeFontKey(const Face& face, const Style& style, bool flipped, const CGAffineTransform& ctm);
}  // namespace KVText
