// URLs. A file URL keeps its absolute POSIX path; every URL keeps its text.

#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <string>

#include <CoreFoundation/CFURL.h>

#include "CFStringImpl.h"

struct __CFURL : CFRuntimeBase
{
  __CFURL() : CFRuntimeBase(kCFTypeIDURL) {}
  ~__CFURL() override { CFRelease(mString); }

  Boolean Equal(const CFRuntimeBase* other) const override
  {
    return CFEqual(mString, static_cast<const __CFURL*>(other)->mString);
  }
  CFHashCode Hash() const override { return CFHash(mString); }
  void MakeImmortal() override
  {
    CFRuntimeBase::MakeImmortal();
    CFRuntimeMakeImmortal(mString);
  }

  CFStringRef mString = nullptr;
  std::string mScheme;
  std::string mPath;  // file URLs only: absolute, without a trailing slash unless "/"
  bool mIsFile = false;
  bool mIsDirectory = false;
};

namespace
{
const __CFURL* URL(CFURLRef url)
{
  return CFCastTo<__CFURL>(url, kCFTypeIDURL);
}

bool KeepsUnescaped(unsigned char c)
{
  return isalnum(c) || strchr("/-._~!$&'()*+,;=:@", c) != nullptr;
}

std::string EscapePath(const std::string& path)
{
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path)
  {
    if (KeepsUnescaped(c)) out.push_back((char)c);
    else
    {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

int HexValue(char c)
{
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool UnescapePath(const std::string& in, std::string* out)
{
  out->clear();
  for (size_t i = 0; i < in.size(); ++i)
  {
    if (in[i] != '%')
    {
      out->push_back(in[i]);
      continue;
    }
    if (i + 2 >= in.size()) return false;
    const int hi = HexValue(in[i + 1]), lo = HexValue(in[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out->push_back((char)(hi * 16 + lo));
    i += 2;
  }
  return true;
}

// Makes the path absolute and drops "." parts, doubled slashes and a trailing slash.
std::string NormalisePath(const std::string& in)
{
  std::string path = in;
  if (path.empty() || path[0] != '/')
  {
    char cwd[PATH_MAX];
    const std::string base = getcwd(cwd, sizeof(cwd)) ? cwd : "/";
    path = base + "/" + path;
  }
  std::string out;
  size_t i = 0;
  while (i < path.size())
  {
    while (i < path.size() && path[i] == '/') ++i;
    size_t j = i;
    while (j < path.size() && path[j] != '/') ++j;
    const std::string part = path.substr(i, j - i);
    if (!part.empty() && part != ".") out += "/" + part;
    i = j;
  }
  return out.empty() ? "/" : out;
}

CFURLRef MakeFileURL(const std::string& rawPath, bool isDirectory)
{
  if (rawPath.empty()) return nullptr;
  __CFURL* u = new __CFURL;
  u->mIsFile = true;
  u->mScheme = "file";
  u->mIsDirectory = isDirectory;
  u->mPath = NormalisePath(rawPath);
  std::string text = "file://" + EscapePath(u->mPath);
  if (isDirectory && u->mPath != "/") text += "/";
  u->mString = CFStringCreateFromUTF8(text.data(), text.size());
  return u;
}
}  // namespace

CFTypeID CFURLGetTypeID(void)
{
  return kCFTypeIDURL;
}

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef filePath, CFURLPathStyle pathStyle, Boolean isDirectory)
{
  const __CFString* s = CFStringObject(filePath);
  if (!s || pathStyle != kCFURLPOSIXPathStyle) return nullptr;
  return MakeFileURL(s->mUTF8, isDirectory);
}

CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef, const UInt8* buffer, CFIndex bufLen, Boolean isDirectory)
{
  if (!buffer || bufLen <= 0) return nullptr;
  std::string path((const char*)buffer, (size_t)bufLen);
  path = path.substr(0, strnlen(path.c_str(), path.size()));
  return MakeFileURL(path, isDirectory);
}

CFURLRef CFURLCreateWithString(CFAllocatorRef, CFStringRef urlString, CFURLRef baseURL)
{
  const __CFString* s = CFStringObject(urlString);
  if (!s || baseURL) return nullptr;
  const std::string& text = s->mUTF8;
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0 || !isalpha((unsigned char)text[0])) return nullptr;
  for (size_t i = 0; i < colon; ++i)
  {
    const unsigned char c = (unsigned char)text[i];
    if (!isalnum(c) && c != '+' && c != '-' && c != '.') return nullptr;
  }
  for (unsigned char c : text)
    if (c <= 0x20 || c >= 0x7F) return nullptr;

  std::string scheme = text.substr(0, colon);
  for (char& c : scheme) c = (char)tolower((unsigned char)c);
  if (scheme == "file")
  {
    std::string rest = text.substr(colon + 1), path;
    if (rest.compare(0, 2, "//") == 0)
    {
      const size_t slash = rest.find('/', 2);
      const std::string host = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
      if (!host.empty() && host != "localhost") return nullptr;
      rest = slash == std::string::npos ? "/" : rest.substr(slash);
    }
    if (rest.empty() || rest[0] != '/' || !UnescapePath(rest, &path)) return nullptr;
    return MakeFileURL(path, rest.size() > 1 && rest.back() == '/');
  }
  __CFURL* u = new __CFURL;
  u->mScheme = scheme;
  u->mString = CFStringCreateCopy(nullptr, urlString);
  return u;
}

CFStringRef CFURLGetString(CFURLRef url)
{
  const __CFURL* u = URL(url);
  return u ? u->mString : nullptr;
}

CFStringRef CFURLCopyScheme(CFURLRef url)
{
  const __CFURL* u = URL(url);
  return u ? CFStringCreateFromUTF8(u->mScheme.data(), u->mScheme.size()) : nullptr;
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef url, CFURLPathStyle pathStyle)
{
  const __CFURL* u = URL(url);
  if (!u || !u->mIsFile || pathStyle != kCFURLPOSIXPathStyle) return nullptr;
  return CFStringCreateWithBytes(nullptr, (const UInt8*)u->mPath.data(), (CFIndex)u->mPath.size(),
                                 kCFStringEncodingUTF8, false);
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean, UInt8* buffer, CFIndex maxBufLen)
{
  const __CFURL* u = URL(url);
  if (!u || !u->mIsFile || !buffer || maxBufLen <= 0) return false;
  if ((CFIndex)u->mPath.size() + 1 > maxBufLen)
  {
    buffer[0] = 0;
    return false;
  }
  memcpy(buffer, u->mPath.c_str(), u->mPath.size() + 1);
  return true;
}

Boolean CFURLHasDirectoryPath(CFURLRef url)
{
  const __CFURL* u = URL(url);
  return u && u->mIsDirectory;
}
