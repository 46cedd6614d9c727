#pragma once
// Makes a bundle folder known to this process, as a host's process knows the bundles it loaded:
// its identifier then finds it (CFBundleGetBundleWithIdentifier). False when there is no bundle.

#include <string>

#include <CoreFoundation/CoreFoundation.h>

inline bool RegisterBundleFolder(const std::string& path)
{
  CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, (const UInt8*)path.c_str(), (CFIndex)path.size(), true);
  if (!url) return false;
  const bool known = CFBundleCreate(nullptr, url) != nullptr;
  CFRelease(url);
  return known;
}
