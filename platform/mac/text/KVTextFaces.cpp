// Family names to installed faces through fontconfig. A name resolves when the face fontconfig
// matches for it carries the name itself or one of the aliases the configuration gives that name
// (metric-compatible families and their close relatives, as Helvetica for Arial); the families
// that fontconfig's generic fallback (sans-serif and the like) appends for any name do not count.

#include <fontconfig/fontconfig.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <unordered_map>

#include "KVText.h"
#include "KVTextFontCache.h"

#if defined(__SANITIZE_ADDRESS__)
#define KV_TEXT_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KV_TEXT_LEAK_CHECKED 1
#endif
#endif

namespace KVText
{
namespace
{
typedef std::vector<std::string> Families;

// Fontconfig keeps some memory from loading its configuration that only FcFini returns. Builds
// with the leak checker return it at exit, so the checker reports only real leaks; other builds
// leave fontconfig alone, as the host process may be using it too.
void UseFontconfig()
{
#ifdef KV_TEXT_LEAK_CHECKED
  static const bool sOnce = [] { return std::atexit([] { FcFini(); }) == 0; }();
  (void)sOnce;
#endif
}

// The families of a pattern after configuration substitution, in order.
Families SubstitutedFamilies(FcPattern* pattern)
{
  Families out;
  FcChar8* s = nullptr;
  for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &s) == FcResultMatch; ++i) out.push_back((const char*)s);
  return out;
}

// Family names compare as fontconfig compares them: ignoring case and blanks.
bool SameFamily(const std::string& a, const std::string& b)
{
  size_t i = 0, j = 0;
  for (;;)
  {
    while (i < a.size() && a[i] == ' ') ++i;
    while (j < b.size() && b[j] == ' ') ++j;
    if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
    if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[j])) return false;
    ++i;
    ++j;
  }
}

// What the configuration puts in for each generic family: the families it prefers, up to and
// including the generic name. Found in a name's substituted list, this run starts the fallback.
const std::vector<Families>& GenericRuns()
{
  static const std::vector<Families>* sRuns = [] {
    UseFontconfig();
    auto* runs = new std::vector<Families>;
    for (const char* generic : {"sans-serif", "serif", "monospace", "cursive", "fantasy", "system-ui", "emoji", "math"})
    {
      FcPattern* p = FcPatternCreate();
      FcPatternAddString(p, FC_FAMILY, (const FcChar8*)generic);
      FcConfigSubstitute(nullptr, p, FcMatchPattern);
      Families list = SubstitutedFamilies(p);
      FcPatternDestroy(p);
      for (size_t i = 0; i < list.size(); ++i)
        if (SameFamily(list[i], generic))
        {
          list.resize(i + 1);
          runs->push_back(list);
          break;
        }
    }
    return runs;
  }();
  return *sRuns;
}

// How many leading families of a substituted list come from the name itself, before the generic
// fallback begins.
size_t OwnFamilies(const Families& list)
{
  size_t cut = list.size();
  for (const Families& run : GenericRuns())
  {
    for (size_t k = 0; k + run.size() <= list.size() && k < cut; ++k)
    {
      size_t j = 0;
      while (j < run.size() && SameFamily(list[k + j], run[j])) ++j;
      if (j == run.size())
      {
        cut = k;
        break;
      }
    }
  }
  return cut;
}

bool FaceOf(FcPattern* match, Face* out)
{
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch || !file || !*file) return false;
  int index = 0;
  if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
  FcChar8* family = nullptr;
  out->file = (const char*)file;
  out->index = index;
  out->family = FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch ? (const char*)family : "";
  return true;
}

// Fontconfig's match for a pattern of one family; with `strict`, only when it answers to the name.
bool Match(const char* name, bool strict, Face* out)
{
  UseFontconfig();
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, (const FcChar8*)name);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  const Families list = SubstitutedFamilies(pattern);
  const size_t own = OwnFamilies(list);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  bool answers = !strict;
  FcChar8* family = nullptr;
  for (int i = 0; !answers && FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i)
    for (size_t k = 0; k < own && !answers; ++k) answers = SameFamily((const char*)family, list[k]);
  const bool ok = answers && FaceOf(match, out);
  FcPatternDestroy(match);
  return ok;
}

// A face's own weight, slant and width as fontconfig's cache knows them (regular, roman and
// normal when it does not).
void StyleOf(const Face& face, int* weight, int* slant, int* width)
{
  *weight = FC_WEIGHT_REGULAR;
  *slant = FC_SLANT_ROMAN;
  *width = FC_WIDTH_NORMAL;
  UseFontconfig();
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FILE, (const FcChar8*)face.file.c_str());
  FcPatternAddInteger(pattern, FC_INDEX, face.index);
  FcObjectSet* objects = FcObjectSetBuild(FC_WEIGHT, FC_SLANT, FC_WIDTH, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  if (set && set->nfont > 0)
  {
    FcPatternGetInteger(set->fonts[0], FC_WEIGHT, 0, weight);
    FcPatternGetInteger(set->fonts[0], FC_SLANT, 0, slant);
    FcPatternGetInteger(set->fonts[0], FC_WIDTH, 0, width);
  }
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
}

// The family's face in that weight, slant and width, when fontconfig's match is of the family and
// the face itself is at least as bold and as slanted as asked (the match reports the style it
// would synthesise, so the face's own style is looked up).
bool MatchVariant(const std::string& family, int weight, int slant, int width, Face* out)
{
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, (const FcChar8*)family.c_str());
  FcPatternAddInteger(pattern, FC_WEIGHT, weight);
  FcPatternAddInteger(pattern, FC_SLANT, slant);
  FcPatternAddInteger(pattern, FC_WIDTH, width);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  bool ours = false;
  FcChar8* name = nullptr;
  for (int i = 0; !ours && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    ours = SameFamily((const char*)name, family);
  Face face;
  const bool found = ours && FaceOf(match, &face);
  FcPatternDestroy(match);
  if (!found) return false;
  int w, s, wd;
  StyleOf(face, &w, &s, &wd);
  if ((weight >= FC_WEIGHT_DEMIBOLD && w < FC_WEIGHT_DEMIBOLD) || (slant != FC_SLANT_ROMAN && s == FC_SLANT_ROMAN))
    return false;
  *out = face;
  return true;
}

std::string Folded(const char* s)
{
  std::string out(s);
  for (char& c : out) c = (char)std::tolower((unsigned char)c);
  return out;
}
}  // namespace

bool ResolveFace(const char* family, Face* out)
{
  if (!family || !*family) return false;
  static auto* sResolved = new std::unordered_map<std::string, std::unique_ptr<Face>>;
  const std::string key = Folded(family);
  std::lock_guard<std::mutex> hold(FontCache::Lock());
  auto it = sResolved->find(key);
  if (it == sResolved->end())
  {
    std::unique_ptr<Face> face(new Face);
    if (!Match(family, true, face.get())) face.reset();
    if (sResolved->size() >= 512) sResolved->clear();  // a bound for callers that invent names
    it = sResolved->emplace(key, std::move(face)).first;
  }
  if (!it->second) return false;
  if (out) *out = *it->second;
  return true;
}

bool ResolveVariant(const Face& face, bool bold, bool italic, Face* out)
{
  if (!bold && !italic)
  {
    if (out) *out = face;
    return true;
  }
  if (face.file.empty() || face.family.empty()) return false;
  static auto* sVariants = new std::unordered_map<std::string, std::unique_ptr<Face>>;
  const std::string key = face.file + '\n' + std::to_string(face.index) + (bold ? "b" : "") + (italic ? "i" : "");
  std::lock_guard<std::mutex> hold(FontCache::Lock());
  auto it = sVariants->find(key);
  if (it == sVariants->end())
  {
    int weight, slant, width;
    StyleOf(face, &weight, &slant, &width);
    if (bold && weight < FC_WEIGHT_BOLD) weight = FC_WEIGHT_BOLD;
    if (italic && slant == FC_SLANT_ROMAN) slant = FC_SLANT_ITALIC;
    std::unique_ptr<Face> variant(new Face);
    if (!MatchVariant(face.family, weight, slant, width, variant.get())) variant.reset();
    if (sVariants->size() >= 512) sVariants->clear();
    it = sVariants->emplace(key, std::move(variant)).first;
  }
  if (!it->second) return false;
  if (out) *out = *it->second;
  return true;
}

const Face& DefaultFace()
{
  static const Face* sDefault = [] {
    auto* face = new Face;
    if (ResolveFace("Arial", face) || ResolveFace("DejaVu Sans", face)) return face;
    std::lock_guard<std::mutex> hold(FontCache::Lock());
    if (!Match("sans-serif", false, face)) *face = Face{};
    return face;
  }();
  return *sDefault;
}
}  // namespace KVText
