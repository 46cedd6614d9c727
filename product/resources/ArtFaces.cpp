#include "ArtFaces.h"

#include <fontconfig/fontconfig.h>

namespace art
{
namespace
{
// Whether any of the pattern's values of `object` (a face has several names, e.g. localised or
// "Condensed Bold" beside "Bold") is `name`, ignoring case.
bool HasName(FcPattern* p, const char* object, const char* name)
{
  FcChar8* s = nullptr;
  for (int i = 0; FcPatternGetString(p, object, i, &s) == FcResultMatch; ++i)
    if (!FcStrCmpIgnoreCase(s, (const FcChar8*)name)) return true;
  return false;
}

std::string First(FcPattern* p, const char* object)
{
  FcChar8* s = nullptr;
  return FcPatternGetString(p, object, 0, &s) == FcResultMatch ? (const char*)s : "";
}
}  // namespace

bool FindFace(const FaceWanted& wanted, FaceFound* found, std::string* error)
{
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, (const FcChar8*)wanted.family);
  FcPatternAddString(pat, FC_STYLE, (const FcChar8*)wanted.style);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pat, &result);
  FcPatternDestroy(pat);
  FcChar8* file = nullptr;
  const bool ok = match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
                  HasName(match, FC_FAMILY, wanted.family) && HasName(match, FC_STYLE, wanted.style);
  if (ok)
  {
    found->file = (const char*)file;
    int index = 0;
    found->index = FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch ? index : 0;
  }
  else
  {
    *error = std::string("the font face \"") + wanted.family + " " + wanted.style + "\" is not installed";
    if (file)
      *error += " (fontconfig offers \"" + First(match, FC_FAMILY) + " " + First(match, FC_STYLE) + "\", " +
                (const char*)file + ", instead)";
    *error += std::string(": install Debian's ") + wanted.package + " (scripts/setup.sh does)";
  }
  if (match) FcPatternDestroy(match);
  return ok;
}
}  // namespace art
