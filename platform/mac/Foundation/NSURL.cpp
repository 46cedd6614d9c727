// URLs over CoreFoundation's.

#include <Foundation/NSURL.h>

#include <sys/stat.h>

namespace
{
bool IsDirectory(const std::string& path)
{
  if (!path.empty() && path.back() == '/') return true;
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
}  // namespace

NSURL::~NSURL()
{
  if (mURL) CFRelease(mURL);
}

NSURL* NSURL::URLWithString(NSString* text)
{
  if (!text) return nil;
  CFStringRef cf = text->copyCFString();
  if (!cf) return nil;
  CFURLRef url = CFURLCreateWithString(nullptr, cf, nullptr);
  CFRelease(cf);
  if (!url) return nil;
  NSURL* u = new NSURL;
  u->mURL = url;
  return static_cast<NSURL*>(u->autorelease());
}

NSURL* NSURL::fileURLWithPath(NSString* path)
{
  if (!path || path->str().empty()) return nil;
  CFStringRef cf = path->copyCFString();
  if (!cf) return nil;
  CFURLRef url = CFURLCreateWithFileSystemPath(nullptr, cf, kCFURLPOSIXPathStyle, IsDirectory(path->str()));
  CFRelease(cf);
  if (!url) return nil;
  NSURL* u = new NSURL;
  u->mURL = url;
  return static_cast<NSURL*>(u->autorelease());
}

NSString* NSURL::absoluteString() const
{
  return NSString::stringWithCFString(CFURLGetString(mURL));
}

BOOL NSURL::isFileURL() const
{
  CFStringRef scheme = CFURLCopyScheme(mURL);
  if (!scheme) return NO;
  const BOOL file = CFStringCompare(scheme, CFSTR("file"), kCFCompareCaseInsensitive) == kCFCompareEqualTo;
  CFRelease(scheme);
  return file;
}

NSString* NSURL::path() const
{
  CFStringRef path = CFURLCopyFileSystemPath(mURL, kCFURLPOSIXPathStyle);
  if (!path) return nil;
  NSString* s = NSString::stringWithCFString(path);
  CFRelease(path);
  return s;
}
