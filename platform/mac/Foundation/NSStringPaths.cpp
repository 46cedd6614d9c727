// Path components of strings, POSIX style: '/' separates components, trailing slashes are ignored
// (the root "/" stays itself), and an extension is what follows the last dot of the last
// component unless that dot leads the component (".profile" has none).

#include <Foundation/NSString.h>

namespace
{
std::string WithoutTrailingSlashes(const std::string& path)
{
  size_t n = path.size();
  while (n > 1 && path[n - 1] == '/') --n;
  return path.substr(0, n);
}

// Where the last component of a path without trailing slashes starts.
size_t LastComponentStart(const std::string& path)
{
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

// The position of the extension's dot in a path without trailing slashes, or npos.
size_t ExtensionDot(const std::string& path)
{
  const size_t start = LastComponentStart(path);
  const size_t dot = path.rfind('.');
  return dot == std::string::npos || dot <= start ? std::string::npos : dot;
}
}  // namespace

NSString* NSString::lastPathComponent() const
{
  const std::string path = WithoutTrailingSlashes(mUTF8);
  if (path == "/") return stringWithValidUTF8(path);
  return stringWithValidUTF8(path.substr(LastComponentStart(path)));
}

NSString* NSString::pathExtension() const
{
  const std::string path = WithoutTrailingSlashes(mUTF8);
  const size_t dot = ExtensionDot(path);
  return stringWithValidUTF8(dot == std::string::npos ? std::string() : path.substr(dot + 1));
}

NSString* NSString::stringByDeletingPathExtension() const
{
  const std::string path = WithoutTrailingSlashes(mUTF8);
  const size_t dot = ExtensionDot(path);
  return stringWithValidUTF8(dot == std::string::npos ? path : path.substr(0, dot));
}

NSString* NSString::stringByDeletingLastPathComponent() const
{
  const std::string path = WithoutTrailingSlashes(mUTF8);
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return stringWithValidUTF8(std::string());
  if (slash == 0) return stringWithValidUTF8("/");
  return stringWithValidUTF8(WithoutTrailingSlashes(path.substr(0, slash)));
}
