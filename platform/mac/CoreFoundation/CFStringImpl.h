#pragma once
// The string object: its text held both as UTF-16 (what lengths and ranges count) and as UTF-8.

#include <string>

#include <CoreFoundation/CFString.h>

#include "CFRuntime.h"

struct __CFString : CFRuntimeBase
{
  __CFString() : CFRuntimeBase(kCFTypeIDString) {}

  Boolean Equal(const CFRuntimeBase* other) const override
  {
    return mUTF16 == static_cast<const __CFString*>(other)->mUTF16;
  }
  CFHashCode Hash() const override;

  std::u16string mUTF16;
  std::string mUTF8;
};

inline const __CFString* CFStringObject(CFStringRef s)
{
  return CFCastTo<__CFString>(s, kCFTypeIDString);
}

// A new string from UTF-8 text known to be valid, or null when it is not.
CFStringRef CFStringCreateFromUTF8(const char* text, size_t len);
