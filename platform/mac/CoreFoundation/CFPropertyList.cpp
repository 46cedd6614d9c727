// A reader for XML property lists: dict, array, string, integer, real, true, false and data.

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFPropertyList.h>

#include "CFStringImpl.h"

namespace
{
class PlistReader
{
public:
  PlistReader(const char* p, size_t n) : mP(p), mEnd(p + n) {}

  CFPropertyListRef ReadDocument()
  {
    SkipMisc();
    bool wrapped = false;
    std::string tag;
    const char* save = mP;
    if (ReadTag(&tag) && tag.compare(0, 5, "plist") == 0 && !IsEmptyElement(tag)) wrapped = true;
    else mP = save;
    CFPropertyListRef value = ReadValue(0);
    if (!value) return nullptr;
    SkipMisc();
    if (wrapped && !(ReadTag(&tag) && tag == "/plist")) { CFRelease(value); return nullptr; }
    SkipMisc();
    if (mP != mEnd) { CFRelease(value); return nullptr; }
    return value;
  }

private:
  static bool IsEmptyElement(const std::string& tag) { return !tag.empty() && tag.back() == '/'; }

  void SkipSpace()
  {
    while (mP < mEnd && (*mP == ' ' || *mP == '\t' || *mP == '\r' || *mP == '\n')) ++mP;
  }

  bool StartsWith(const char* s) const
  {
    const size_t n = strlen(s);
    return (size_t)(mEnd - mP) >= n && memcmp(mP, s, n) == 0;
  }

  bool SkipPast(const char* s)
  {
    const size_t n = strlen(s);
    for (const char* q = mP; (size_t)(mEnd - q) >= n; ++q)
      if (memcmp(q, s, n) == 0) { mP = q + n; return true; }
    mP = mEnd;
    return false;
  }

  // Whitespace, the XML declaration, a doctype and comments.
  void SkipMisc()
  {
    for (;;)
    {
      SkipSpace();
      if (StartsWith("<?")) SkipPast("?>");
      else if (StartsWith("<!--")) SkipPast("-->");
      else if (StartsWith("<!")) SkipPast(">");
      else return;
    }
  }

  // The tag's name and the text up to '>' ("dict", "/dict", "true/", "plist version=...").
  bool ReadTag(std::string* tag)
  {
    SkipMisc();
    if (mP >= mEnd || *mP != '<') return false;
    const char* close = (const char*)memchr(mP, '>', (size_t)(mEnd - mP));
    if (!close) return false;
    tag->assign(mP + 1, close);
    while (!tag->empty() && (tag->back() == ' ' || tag->back() == '\t' || tag->back() == '\n')) tag->pop_back();
    if (tag->size() > 1 && tag->back() == '/')
    {
      // "<true />": drop the space before the slash.
      std::string name = tag->substr(0, tag->size() - 1);
      while (!name.empty() && name.back() == ' ') name.pop_back();
      *tag = name + "/";
    }
    mP = close + 1;
    return true;
  }

  static std::string TagName(const std::string& tag)
  {
    size_t n = 0;
    while (n < tag.size() && tag[n] != ' ' && tag[n] != '/' && tag[n] != '\t' && tag[n] != '\n') ++n;
    return tag.substr(0, n);
  }

  // Character data up to "</name>", with the standard entities resolved.
  bool ReadText(const std::string& name, std::string* text)
  {
    text->clear();
    const std::string end = "</" + name + ">";
    while (mP < mEnd)
    {
      if (StartsWith(end.c_str()))
      {
        mP += end.size();
        return true;
      }
      if (*mP == '<') return false;
      if (*mP == '&')
      {
        const char* semi = (const char*)memchr(mP, ';', (size_t)(mEnd - mP));
        if (!semi || semi - mP > 10) return false;
        const std::string ent(mP + 1, semi);
        if (ent == "lt") text->push_back('<');
        else if (ent == "gt") text->push_back('>');
        else if (ent == "amp") text->push_back('&');
        else if (ent == "quot") text->push_back('"');
        else if (ent == "apos") text->push_back('\'');
        else if (ent.size() > 1 && ent[0] == '#')
        {
          char* stop = nullptr;
          const bool hex = ent[1] == 'x';
          const unsigned long cp = strtoul(ent.c_str() + (hex ? 2 : 1), &stop, hex ? 16 : 10);
          if (!stop || *stop || cp == 0 || cp > 0x10FFFF) return false;
          AppendUTF8((UInt32)cp, text);
        }
        else return false;
        mP = semi + 1;
        continue;
      }
      text->push_back(*mP++);
    }
    return false;
  }

  static void AppendUTF8(UInt32 cp, std::string* s)
  {
    if (cp < 0x80) s->push_back((char)cp);
    else if (cp < 0x800) { s->push_back((char)(0xC0 | (cp >> 6))); s->push_back((char)(0x80 | (cp & 0x3F))); }
    else if (cp < 0x10000)
    {
      s->push_back((char)(0xE0 | (cp >> 12)));
      s->push_back((char)(0x80 | ((cp >> 6) & 0x3F)));
      s->push_back((char)(0x80 | (cp & 0x3F)));
    }
    else
    {
      s->push_back((char)(0xF0 | (cp >> 18)));
      s->push_back((char)(0x80 | ((cp >> 12) & 0x3F)));
      s->push_back((char)(0x80 | ((cp >> 6) & 0x3F)));
      s->push_back((char)(0x80 | (cp & 0x3F)));
    }
  }

  static bool DecodeBase64(const std::string& in, std::string* out)
  {
    out->clear();
    UInt32 acc = 0;
    int bits = 0;
    for (unsigned char c : in)
    {
      int v;
      if (c >= 'A' && c <= 'Z') v = c - 'A';
      else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
      else if (c >= '0' && c <= '9') v = c - '0' + 52;
      else if (c == '+') v = 62;
      else if (c == '/') v = 63;
      else if (c == '=' || c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
      else return false;
      acc = (acc << 6) | (UInt32)v;
      bits += 6;
      if (bits >= 8)
      {
        bits -= 8;
        out->push_back((char)((acc >> bits) & 0xFF));
      }
    }
    return true;
  }

  CFPropertyListRef ReadValue(int depth)
  {
    if (depth > 64) return nullptr;
    std::string tag;
    if (!ReadTag(&tag)) return nullptr;
    const bool empty = IsEmptyElement(tag);
    const std::string name = TagName(tag);
    if (name == "true" && empty) return CFRetain(kCFBooleanTrue);
    if (name == "false" && empty) return CFRetain(kCFBooleanFalse);
    if (name == "dict") return ReadDict(depth, empty);
    if (name == "array") return ReadArray(depth, empty);

    std::string text;
    if (!empty && !ReadText(name, &text)) return nullptr;
    if (name == "string") return CFStringCreateFromUTF8(text.data(), text.size());
    if (name == "integer")
    {
      errno = 0;
      char* stop = nullptr;
      const long long v = strtoll(text.c_str(), &stop, 10);
      if (text.empty() || errno || !stop || *stop) return nullptr;
      const SInt64 v64 = v;
      return CFNumberCreate(nullptr, kCFNumberSInt64Type, &v64);
    }
    if (name == "real")
    {
      char* stop = nullptr;
      const double v = strtod(text.c_str(), &stop);
      if (text.empty() || !stop || *stop) return nullptr;
      return CFNumberCreate(nullptr, kCFNumberFloat64Type, &v);
    }
    if (name == "data")
    {
      std::string bytes;
      if (!DecodeBase64(text, &bytes)) return nullptr;
      return CFDataCreate(nullptr, (const UInt8*)bytes.data(), (CFIndex)bytes.size());
    }
    return nullptr;
  }

  CFPropertyListRef ReadDict(int depth, bool empty)
  {
    CFMutableDictionaryRef dict =
      CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    if (empty) return dict;
    for (;;)
    {
      std::string tag, keyText;
      if (!ReadTag(&tag)) break;
      if (tag == "/dict") return dict;
      if (tag != "key" || !ReadText("key", &keyText)) break;
      CFStringRef key = CFStringCreateFromUTF8(keyText.data(), keyText.size());
      CFPropertyListRef value = key ? ReadValue(depth + 1) : nullptr;
      if (value) CFDictionarySetValue(dict, key, value);
      CFRelease(key);
      if (!value) break;
      CFRelease(value);
    }
    CFRelease(dict);
    return nullptr;
  }

  CFPropertyListRef ReadArray(int depth, bool empty)
  {
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    if (empty) return array;
    for (;;)
    {
      SkipMisc();
      if (StartsWith("</array>"))
      {
        mP += 8;
        return array;
      }
      CFPropertyListRef value = ReadValue(depth + 1);
      if (!value) break;
      CFArrayAppendValue(array, value);
      CFRelease(value);
    }
    CFRelease(array);
    return nullptr;
  }

  const char* mP;
  const char* mEnd;
};
}  // namespace

CFPropertyListRef CFPropertyListCreateWithData(CFAllocatorRef, CFDataRef data, CFOptionFlags, CFPropertyListFormat* format,
                                               CFErrorRef* error)
{
  if (error) *error = nullptr;
  const UInt8* bytes = CFDataGetBytePtr(data);
  if (!bytes) return nullptr;
  PlistReader reader((const char*)bytes, (size_t)CFDataGetLength(data));
  CFPropertyListRef plist = reader.ReadDocument();
  if (plist && format) *format = kCFPropertyListXMLFormat_v1_0;
  return plist;
}
