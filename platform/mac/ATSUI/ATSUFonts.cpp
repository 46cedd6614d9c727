// Font ids for installed faces, and faces found by family or full name through the text engine.

#include <cctype>
#include <deque>
#include <map>

#include "ATSUInternal.h"

namespace
{
// Ids start well away from small numbers, so a made-up id is unlikely to be one of ours.
constexpr ATSUFontID kFirstFontID = 0x4B560001;

struct Fonts
{
  std::deque<KVText::Face> mFaces;  // id - kFirstFontID; a deque keeps faces where they are
  std::map<std::pair<std::string, int>, ATSUFontID> mIDs;
};

Fonts& TheFonts()
{
  static Fonts* sFonts = new Fonts;
  return *sFonts;
}

std::string Lower(std::string s)
{
  for (char& c : s) c = (char)std::tolower((unsigned char)c);
  return s;
}

// The words after a family name in a full name that say nothing or name a style.
bool StyleWord(const std::string& word, bool* bold, bool* italic)
{
  const std::string w = Lower(word);
  if (w == "bold")
    *bold = true;
  else if (w == "italic" || w == "oblique")
    *italic = true;
  else if (w != "regular" && w != "book" && w != "roman" && w != "normal" && w != "plain")
    return false;
  return true;
}

// A full name: a family name as it stands (a regular face's full name is its family's), else a
// family name followed by style words, naming that family's face in that style.
bool ResolveFullName(const std::string& name, KVText::Face* out)
{
  if (KVText::ResolveFace(name.c_str(), out)) return true;
  bool bold = false, italic = false;
  size_t end = name.size();
  bool stripped = false;
  for (;;)
  {
    while (end > 0 && name[end - 1] == ' ') --end;
    const size_t space = name.rfind(' ', end == 0 ? 0 : end - 1);
    if (space == std::string::npos || space == 0) break;
    if (!StyleWord(name.substr(space + 1, end - space - 1), &bold, &italic)) break;
    end = space;
    stripped = true;
  }
  if (!stripped) return false;
  KVText::Face family;
  return KVText::ResolveFace(name.substr(0, end).c_str(), &family) &&
         KVText::ResolveVariant(family, bold, italic, out);
}
}  // namespace

namespace ATSUInternal
{
ATSUFontID FontIDOf(const KVText::Face& face)
{
  Fonts& f = TheFonts();
  auto it = f.mIDs.find({face.file, face.index});
  if (it != f.mIDs.end()) return it->second;
  const ATSUFontID id = kFirstFontID + (ATSUFontID)f.mFaces.size();
  f.mFaces.push_back(face);
  f.mIDs.emplace(std::make_pair(face.file, face.index), id);
  return id;
}

const KVText::Face* FaceOf(ATSUFontID id)
{
  Fonts& f = TheFonts();
  if (id < kFirstFontID || id - kFirstFontID >= f.mFaces.size()) return nullptr;
  return &f.mFaces[id - kFirstFontID];
}

ATSUFontID DefaultFontID()
{
  return FontIDOf(KVText::DefaultFace());
}
}  // namespace ATSUInternal

OSStatus ATSUFindFontFromName(const void* iName, ByteCount iNameLength, FontNameCode iFontNameCode,
                              FontPlatformCode, FontScriptCode, FontLanguageCode, ATSUFontID* oFontID)
{
  if (!oFontID) return paramErr;
  *oFontID = kATSUInvalidFontID;
  if (!iName && iNameLength > 0) return paramErr;
  const std::string name(iName ? (const char*)iName : "", iName ? iNameLength : 0);
  if (name.empty() || name.find('\0') != std::string::npos) return kATSUInvalidFontErr;
  std::lock_guard<std::mutex> hold(ATSUInternal::Lock());
  KVText::Face face;
  bool found = false;
  if (iFontNameCode == kFontFamilyName)
    found = KVText::ResolveFace(name.c_str(), &face);
  else if (iFontNameCode == kFontFullName)
    found = ResolveFullName(name, &face);
  if (!found) return kATSUInvalidFontErr;
  *oFontID = ATSUInternal::FontIDOf(face);
  return noErr;
}
