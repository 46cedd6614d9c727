// Strings: creation from the supported encodings, conversion back, comparison, constants.

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "CFStringImpl.h"

namespace
{
// Decodes UTF-8 into UTF-16; false on any malformed, overlong or surrogate sequence.
bool DecodeUTF8(const UInt8* s, size_t n, std::u16string* out)
{
  out->clear();
  out->reserve(n);
  size_t i = 0;
  while (i < n)
  {
    const UInt8 c = s[i];
    UInt32 cp;
    size_t extra;
    if (c < 0x80) { cp = c; extra = 0; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
    else return false;
    if (i + extra >= n) return false;
    for (size_t k = 1; k <= extra; ++k)
    {
      const UInt8 cc = s[i + k];
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    static const UInt32 kMin[4] = { 0, 0x80, 0x800, 0x10000 };
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    if (cp >= 0x10000)
    {
      cp -= 0x10000;
      out->push_back((char16_t)(0xD800 + (cp >> 10)));
      out->push_back((char16_t)(0xDC00 + (cp & 0x3FF)));
    }
    else
    {
      out->push_back((char16_t)cp);
    }
    i += extra + 1;
  }
  return true;
}

// Encodes UTF-16 into UTF-8; a lone surrogate becomes U+FFFD.
std::string EncodeUTF8(const std::u16string& u)
{
  std::string out;
  out.reserve(u.size());
  for (size_t i = 0; i < u.size(); ++i)
  {
    UInt32 cp = u[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < u.size() && u[i + 1] >= 0xDC00 && u[i + 1] <= 0xDFFF)
    {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (u[i + 1] - 0xDC00);
      ++i;
    }
    else if (cp >= 0xD800 && cp <= 0xDFFF)
    {
      cp = 0xFFFD;
    }
    if (cp < 0x80) out.push_back((char)cp);
    else if (cp < 0x800)
    {
      out.push_back((char)(0xC0 | (cp >> 6)));
      out.push_back((char)(0x80 | (cp & 0x3F)));
    }
    else if (cp < 0x10000)
    {
      out.push_back((char)(0xE0 | (cp >> 12)));
      out.push_back((char)(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back((char)(0x80 | (cp & 0x3F)));
    }
    else
    {
      out.push_back((char)(0xF0 | (cp >> 18)));
      out.push_back((char)(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back((char)(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back((char)(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

bool IsASCII(const std::u16string& u)
{
  return std::all_of(u.begin(), u.end(), [](char16_t c) { return c < 0x80; });
}

CFStringRef MakeString(std::u16string&& u)
{
  __CFString* s = new __CFString;
  s->mUTF8 = EncodeUTF8(u);
  s->mUTF16 = std::move(u);
  return s;
}

bool Decode(const UInt8* bytes, size_t n, CFStringEncoding encoding, std::u16string* out)
{
  switch (encoding)
  {
    case kCFStringEncodingUTF8: return DecodeUTF8(bytes, n, out);
    case kCFStringEncodingASCII:
    case kCFStringEncodingMacRoman:
      out->assign(bytes, bytes + n);
      return std::all_of(bytes, bytes + n, [](UInt8 c) { return c < 0x80; });
    case kCFStringEncodingISOLatin1: out->assign(bytes, bytes + n); return true;
    default: return false;
  }
}
}  // namespace

CFHashCode __CFString::Hash() const
{
  CFHashCode h = 1469598103934665603ull;
  for (char16_t c : mUTF16) h = (h ^ (CFHashCode)c) * 1099511628211ull;
  return h;
}

CFStringRef CFStringCreateFromUTF8(const char* text, size_t len)
{
  std::u16string u;
  if (!DecodeUTF8((const UInt8*)text, len, &u)) return nullptr;
  return MakeString(std::move(u));
}

CFTypeID CFStringGetTypeID(void)
{
  return kCFTypeIDString;
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* cStr, CFStringEncoding encoding)
{
  if (!cStr) return nullptr;
  return CFStringCreateWithBytes(nullptr, (const UInt8*)cStr, (CFIndex)strlen(cStr), encoding, false);
}

CFStringRef CFStringCreateWithBytes(CFAllocatorRef, const UInt8* bytes, CFIndex numBytes, CFStringEncoding encoding,
                                    Boolean)
{
  if (numBytes < 0 || (!bytes && numBytes > 0)) return nullptr;
  std::u16string u;
  if (!Decode(bytes, (size_t)numBytes, encoding, &u)) return nullptr;
  return MakeString(std::move(u));
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar* chars, CFIndex numChars)
{
  if (numChars < 0 || (!chars && numChars > 0)) return nullptr;
  std::u16string u(chars ? (const char16_t*)chars : u"", (size_t)numChars);
  return MakeString(std::move(u));
}

CFStringRef CFStringCreateCopy(CFAllocatorRef, CFStringRef str)
{
  const __CFString* s = CFStringObject(str);
  if (!s) return nullptr;
  return MakeString(std::u16string(s->mUTF16));
}

CFIndex CFStringGetLength(CFStringRef str)
{
  const __CFString* s = CFStringObject(str);
  return s ? (CFIndex)s->mUTF16.size() : 0;
}

UniChar CFStringGetCharacterAtIndex(CFStringRef str, CFIndex idx)
{
  const __CFString* s = CFStringObject(str);
  if (!s || idx < 0 || (size_t)idx >= s->mUTF16.size()) return 0;
  return s->mUTF16[(size_t)idx];
}

void CFStringGetCharacters(CFStringRef str, CFRange range, UniChar* buffer)
{
  const __CFString* s = CFStringObject(str);
  if (!s || !buffer || range.location < 0 || range.length <= 0) return;
  const size_t n = s->mUTF16.size();
  if ((size_t)range.location >= n) return;
  const size_t len = std::min((size_t)range.length, n - (size_t)range.location);
  memcpy(buffer, s->mUTF16.data() + range.location, len * sizeof(UniChar));
}

Boolean CFStringGetCString(CFStringRef str, char* buffer, CFIndex bufferSize, CFStringEncoding encoding)
{
  if (!buffer || bufferSize <= 0) return false;
  buffer[0] = 0;
  const __CFString* s = CFStringObject(str);
  if (!s) return false;
  std::string bytes;
  switch (encoding)
  {
    case kCFStringEncodingUTF8: bytes = s->mUTF8; break;
    case kCFStringEncodingASCII:
    case kCFStringEncodingMacRoman:
      if (!IsASCII(s->mUTF16)) return false;
      bytes = s->mUTF8;
      break;
    case kCFStringEncodingISOLatin1:
      for (char16_t c : s->mUTF16)
      {
        if (c > 0xFF) return false;
        bytes.push_back((char)c);
      }
      break;
    default: return false;
  }
  if ((CFIndex)bytes.size() + 1 > bufferSize) return false;
  memcpy(buffer, bytes.c_str(), bytes.size() + 1);
  return true;
}

const char* CFStringGetCStringPtr(CFStringRef str, CFStringEncoding encoding)
{
  const __CFString* s = CFStringObject(str);
  if (!s) return nullptr;
  if (encoding == kCFStringEncodingUTF8) return s->mUTF8.c_str();
  if ((encoding == kCFStringEncodingASCII || encoding == kCFStringEncodingMacRoman) && IsASCII(s->mUTF16))
    return s->mUTF8.c_str();
  return nullptr;
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding)
{
  if (length < 0) return 0;
  switch (encoding)
  {
    case kCFStringEncodingUTF8: return length * 3;
    case kCFStringEncodingUTF16: return length * 2;
    default: return length;
  }
}

CFComparisonResult CFStringCompare(CFStringRef a, CFStringRef b, CFOptionFlags options)
{
  const __CFString* sa = CFStringObject(a);
  const __CFString* sb = CFStringObject(b);
  static const std::u16string kEmpty;
  const std::u16string& ua = sa ? sa->mUTF16 : kEmpty;
  const std::u16string& ub = sb ? sb->mUTF16 : kEmpty;
  const size_t n = std::min(ua.size(), ub.size());
  for (size_t i = 0; i < n; ++i)
  {
    char16_t ca = ua[i], cb = ub[i];
    if (options & kCFCompareCaseInsensitive)
    {
      if (ca >= 'A' && ca <= 'Z') ca = (char16_t)(ca + 32);
      if (cb >= 'A' && cb <= 'Z') cb = (char16_t)(cb + 32);
    }
    if (ca != cb) return ca < cb ? kCFCompareLessThan : kCFCompareGreaterThan;
  }
  if (ua.size() == ub.size()) return kCFCompareEqualTo;
  return ua.size() < ub.size() ? kCFCompareLessThan : kCFCompareGreaterThan;
}

CFStringRef __CFStringMakeConstantString(const char* cStr)
{
  static std::mutex s_mutex;
  static auto* s_constants = new std::unordered_map<std::string, CFStringRef>;
  const std::string key(cStr ? cStr : "");
  std::lock_guard<std::mutex> lock(s_mutex);
  auto it = s_constants->find(key);
  if (it != s_constants->end()) return it->second;
  CFStringRef s = CFStringCreateFromUTF8(key.data(), key.size());
  if (!s) s = CFStringCreateWithBytes(nullptr, (const UInt8*)key.data(), (CFIndex)key.size(), kCFStringEncodingISOLatin1, false);
  CFRuntimeMakeImmortal(s);
  (*s_constants)[key] = s;
  return s;
}
