// Bundles over CoreFoundation's registry: one immortal NSBundle for each CFBundle.

#include <Foundation/NSBundle.h>

#include <mutex>
#include <unordered_map>

namespace
{
struct Bundles
{
  std::mutex mLock;
  std::unordered_map<CFBundleRef, NSBundle*> mByRef;
};

Bundles& TheBundles()
{
  static Bundles* sBundles = new Bundles;
  return *sBundles;
}

// The path of a URL the caller owns; released here.
NSString* PathOfOwnedURL(CFURLRef url)
{
  if (!url) return nil;
  CFStringRef path = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
  CFRelease(url);
  if (!path) return nil;
  NSString* s = NSString::stringWithCFString(path);
  CFRelease(path);
  return s;
}
}  // namespace

NSBundle* NSBundle::forCFBundle(CFBundleRef bundle)
{
  if (!bundle) return nil;
  Bundles& b = TheBundles();
  std::lock_guard<std::mutex> lock(b.mLock);
  auto it = b.mByRef.find(bundle);
  if (it != b.mByRef.end()) return it->second;
  NSBundle* ns = new NSBundle(bundle);
  ns->makeImmortal();
  b.mByRef.emplace(bundle, ns);
  return ns;
}

NSBundle* NSBundle::bundleWithIdentifier(NSString* identifier)
{
  if (!identifier) return nil;
  CFStringRef cf = identifier->copyCFString();
  if (!cf) return nil;
  CFBundleRef bundle = CFBundleGetBundleWithIdentifier(cf);
  CFRelease(cf);
  return forCFBundle(bundle);
}

NSBundle* NSBundle::mainBundle()
{
  return forCFBundle(CFBundleGetMainBundle());
}

NSString* NSBundle::pathForResource(NSString* name, NSString* ext) const
{
  if (!name) return nil;
  CFStringRef cfName = name->copyCFString();
  CFStringRef cfType = ext && !ext->str().empty() ? ext->copyCFString() : nullptr;
  CFURLRef url = cfName ? CFBundleCopyResourceURL(mBundle, cfName, cfType, nullptr) : nullptr;
  if (cfType) CFRelease(cfType);
  if (cfName) CFRelease(cfName);
  return PathOfOwnedURL(url);
}

NSString* NSBundle::bundlePath() const
{
  return PathOfOwnedURL(CFBundleCopyBundleURL(mBundle));
}

NSString* NSBundle::executablePath() const
{
  return PathOfOwnedURL(CFBundleCopyExecutableURL(mBundle));
}

NSString* NSBundle::bundleIdentifier() const
{
  return NSString::stringWithCFString(CFBundleGetIdentifier(mBundle));
}
