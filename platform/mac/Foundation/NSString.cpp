// Strings: reading C strings (UTF-8, else Latin-1 byte by byte), UTF-16 lengths, equality and
// hashing, CoreFoundation strings both ways, and the interned constants.

#include <Foundation/NSString.h>

#include <mutex>
#include <unordered_map>

namespace
{
// The length of the well-formed UTF-8 sequence at s[0] (shortest form, no surrogates, at most
// U+10FFFF), or 0.
size_t ValidSequence(const unsigned char* s, size_t n)
{
  const unsigned char c = s[0];
  size_t len;
  unsigned long cp;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1F; }
  else if (c >= 0xE0 && c <= 0xEF) { len = 3; cp = c & 0x0F; }
  else if (c >= 0xF0 && c <= 0xF4) { len = 4; cp = c & 0x07; }
  else return 0;
  if (len > n) return 0;
  for (size_t k = 1; k < len; ++k)
  {
    if ((s[k] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (s[k] & 0x3F);
  }
  static const unsigned long kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

std::string ReadCString(const char* text)
{
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  size_t n = 0;
  while (s[n]) ++n;
  std::string out;
  out.reserve(n);
  for (size_t i = 0; i < n;)
  {
    const size_t len = ValidSequence(s + i, n - i);
    if (len)
    {
      out.append(text + i, len);
      i += len;
    }
    else
    {
      // A byte that starts no valid sequence is a Latin-1 character.
      out.push_back((char)(0xC0 | (s[i] >> 6)));
      out.push_back((char)(0x80 | (s[i] & 0x3F)));
      ++i;
    }
  }
  return out;
}

struct Constants
{
  std::mutex mLock;
  std::unordered_map<std::string, NSString*> mByText;
};

Constants& TheConstants()
{
  static Constants* sConstants = new Constants;
  return *sConstants;
}
}  // namespace

NSString* NSString::stringWithValidUTF8(std::string utf8)
{
  NSString* s = new NSString;
  s->mUTF8 = std::move(utf8);
  return static_cast<NSString*>(s->autorelease());
}

NSString* NSString::stringWithCString(const char* cString)
{
  return cString ? stringWithValidUTF8(ReadCString(cString)) : nil;
}

NSString* NSString::stringWithUTF8String(const char* utf8)
{
  return stringWithCString(utf8);
}

NSString* NSString::string()
{
  return stringWithValidUTF8(std::string());
}

NSString* NSString::initWithUTF8String(const char* utf8)
{
  if (!utf8)
  {
    release();
    return nil;
  }
  mUTF8 = ReadCString(utf8);
  return this;
}

NSUInteger NSString::length() const
{
  NSUInteger n = 0;
  for (unsigned char c : mUTF8)
  {
    if ((c & 0xC0) != 0x80) n += c >= 0xF0 ? 2 : 1;
  }
  return n;
}

BOOL NSString::isEqualToString(const NSString* other) const
{
  return other && (other == this || other->mUTF8 == mUTF8);
}

BOOL NSString::isEqual(id other) const
{
  if (other == this) return YES;
  const NSString* s = dynamic_cast<const NSString*>(other);
  return s && s->mUTF8 == mUTF8;
}

NSUInteger NSString::hash() const
{
  // FNV-1a over the UTF-8 bytes.
  NSUInteger h = 1469598103934665603ull;
  for (unsigned char c : mUTF8)
  {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

CFStringRef NSString::copyCFString() const
{
  return CFStringCreateWithBytes(nullptr, reinterpret_cast<const UInt8*>(mUTF8.data()), (CFIndex)mUTF8.size(),
                                 kCFStringEncodingUTF8, false);
}

NSString* NSString::stringWithCFString(CFStringRef cf)
{
  if (!cf) return nil;
  if (const char* p = CFStringGetCStringPtr(cf, kCFStringEncodingUTF8)) return stringWithValidUTF8(p);
  const CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(cf), kCFStringEncodingUTF8) + 1;
  std::string buffer((size_t)size, '\0');
  if (!CFStringGetCString(cf, &buffer[0], size, kCFStringEncodingUTF8)) return string();
  buffer.resize(std::char_traits<char>::length(buffer.c_str()));
  return stringWithValidUTF8(std::move(buffer));
}

NSString* NSStringConstant(const char* text)
{
  if (!text) text = "";
  Constants& c = TheConstants();
  std::lock_guard<std::mutex> lock(c.mLock);
  auto it = c.mByText.find(text);
  if (it != c.mByText.end()) return it->second;
  NSString* s = (new NSString)->initWithUTF8String(text);
  s->makeImmortal();
  c.mByText.emplace(text, s);
  return s;
}
