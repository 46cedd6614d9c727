// A module with its own copy of the CoreFoundation subset, loaded by the tests.

#include <CoreFoundation/CoreFoundation.h>

#include <CoreFoundation/testkit.h>

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

// The folder of the bundle this module finds under the identifier, or "" when none.
PROBE_EXPORT void ProbeBundlePathFor(const char* identifier, char* out, long size)
{
  out[0] = 0;
  CFStringRef id = CFStringCreateWithCString(nullptr, identifier, kCFStringEncodingUTF8);
  CFBundleRef bundle = CFBundleGetBundleWithIdentifier(id);
  CFRelease(id);
  CFURLRef url = CFBundleCopyBundleURL(bundle);
  if (url) CFURLGetFileSystemRepresentation(url, true, (UInt8*)out, size);
  CFRelease(url);
}

// A dictionary made by this module's copy, handed to the caller, who owns it.
PROBE_EXPORT CFDictionaryRef ProbeMakeDictionary(void)
{
  CFMutableDictionaryRef d =
    CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  const SInt32 v = 42;
  CFNumberRef n = CFNumberCreate(nullptr, kCFNumberSInt32Type, &v);
  CFDictionarySetValue(d, CFSTR("answer"), n);
  CFRelease(n);
  CFStringRef s = CFStringCreateWithCString(nullptr, "probe", kCFStringEncodingUTF8);
  CFDictionarySetValue(d, CFSTR("name"), s);
  CFRelease(s);
  return d;
}

PROBE_EXPORT long ProbeLiveObjects(void)
{
  return CFTestLiveObjectCount();
}
