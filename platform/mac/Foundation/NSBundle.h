#pragma once
// Bundles over CoreFoundation's bundle registry. One NSBundle object stands for each bundle and
// lives as long as the process (immortal, not counted as live).

#include <CoreFoundation/CFBundle.h>
#include <Foundation/NSString.h>

class NSBundle : public NSObject
{
public:
  // nil when no bundle with that identifier is known (see CFBundleGetBundleWithIdentifier).
  static NSBundle* bundleWithIdentifier(NSString* identifier);
  static NSBundle* mainBundle();

  // The path of Resources/<name>.<ext> when that file exists, else nil (autoreleased). An empty or
  // nil extension looks for the name alone.
  NSString* pathForResource(NSString* name, NSString* ext) const;
  NSString* bundlePath() const;       // the bundle folder, without a trailing slash
  NSString* executablePath() const;   // nil when the module's path cannot be told
  NSString* bundleIdentifier() const; // nil without one
  CFBundleRef cfBundle() const { return mBundle; }
  const char* className() const override { return "NSBundle"; }

private:
  explicit NSBundle(CFBundleRef bundle) : mBundle(bundle) {}
  static NSBundle* forCFBundle(CFBundleRef bundle);
  CFBundleRef mBundle;
};
