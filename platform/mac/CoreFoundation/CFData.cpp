// Immutable byte blocks.

#include <algorithm>
#include <cstring>
#include <vector>

#include <CoreFoundation/CFData.h>

#include "CFRuntime.h"

struct __CFData : CFRuntimeBase
{
  __CFData() : CFRuntimeBase(kCFTypeIDData) {}
  Boolean Equal(const CFRuntimeBase* other) const override
  {
    return mBytes == static_cast<const __CFData*>(other)->mBytes;
  }
  CFHashCode Hash() const override
  {
    CFHashCode h = 1469598103934665603ull;
    for (UInt8 b : mBytes) h = (h ^ b) * 1099511628211ull;
    return h;
  }
  std::vector<UInt8> mBytes;
};

CFTypeID CFDataGetTypeID(void)
{
  return kCFTypeIDData;
}

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length)
{
  if (length < 0 || (!bytes && length > 0)) return nullptr;
  __CFData* d = new __CFData;
  if (length) d->mBytes.assign(bytes, bytes + length);
  return d;
}

CFIndex CFDataGetLength(CFDataRef data)
{
  const __CFData* d = CFCastTo<__CFData>(data, kCFTypeIDData);
  return d ? (CFIndex)d->mBytes.size() : 0;
}

const UInt8* CFDataGetBytePtr(CFDataRef data)
{
  const __CFData* d = CFCastTo<__CFData>(data, kCFTypeIDData);
  return d && !d->mBytes.empty() ? d->mBytes.data() : nullptr;
}

void CFDataGetBytes(CFDataRef data, CFRange range, UInt8* buffer)
{
  const __CFData* d = CFCastTo<__CFData>(data, kCFTypeIDData);
  if (!d || !buffer || range.location < 0 || range.length <= 0) return;
  const size_t n = d->mBytes.size();
  if ((size_t)range.location >= n) return;
  const size_t len = std::min((size_t)range.length, n - (size_t)range.location);
  memcpy(buffer, d->mBytes.data() + range.location, len);
}
