// Restores class-info dictionaries built from fuzz bytes into a test plug opened through the
// Component Manager. Half the runs start from the unit's own saved state and overwrite some of
// its entries; whatever the dictionary holds, the restore answers, the parameters stay in their
// ranges, and no CoreFoundation object is left behind.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <CoreFoundation/testkit.h>

#define TEST_AU_PLUG_DEFINE_MAKEPLUG
#include "TestAUPlug.h"

namespace
{
class Bytes
{
public:
  Bytes(const uint8_t* p, size_t n) : mP(p), mEnd(p + n) {}
  bool Empty() const { return mP >= mEnd; }
  uint8_t Byte() { return Empty() ? 0 : *mP++; }
  uint32_t U32()
  {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
    return v;
  }
  std::string Text(size_t maxLen)
  {
    const size_t n = std::min<size_t>(Byte() % (maxLen + 1), (size_t)(mEnd - mP));
    std::string s((const char*)mP, n);
    mP += n;
    return s;
  }

private:
  const uint8_t* mP;
  const uint8_t* mEnd;
};

const char* const kKeys[] = { "version", "type", "subtype", "manufacturer", "name", "data", "extra" };

CFTypeRef MakeValue(Bytes& in, int depth)
{
  switch (in.Byte() % 9)
  {
    case 0:
    {
      const SInt32 v = (SInt32)in.U32();
      return CFNumberCreate(nullptr, kCFNumberSInt32Type, &v);
    }
    case 1:
    {
      const SInt64 v = ((SInt64)in.U32() << 32) | in.U32();
      return CFNumberCreate(nullptr, kCFNumberSInt64Type, &v);
    }
    case 2:
    {
      uint32_t bits = in.U32();
      float f;
      memcpy(&f, &bits, 4);
      return CFNumberCreate(nullptr, kCFNumberFloat32Type, &f);
    }
    case 3:
    {
      const std::string s = in.Text(300);
      CFStringRef str = CFStringCreateWithBytes(nullptr, (const UInt8*)s.data(), (CFIndex)s.size(), kCFStringEncodingUTF8, false);
      return str ? str : CFStringCreateWithBytes(nullptr, (const UInt8*)s.data(), (CFIndex)s.size(), kCFStringEncodingISOLatin1, false);
    }
    case 4:
    case 5:
    {
      const std::string s = in.Text(80);
      return CFDataCreate(nullptr, (const UInt8*)s.data(), (CFIndex)s.size());
    }
    case 6: return CFRetain(in.Byte() & 1 ? kCFBooleanTrue : kCFBooleanFalse);
    case 7:
    {
      CFMutableArrayRef a = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
      for (int n = in.Byte() % 3; n > 0 && depth < 3; --n)
      {
        CFTypeRef v = MakeValue(in, depth + 1);
        CFArrayAppendValue(a, v);
        CFRelease(v);
      }
      return a;
    }
    default:
    {
      // A preset name the unit knows, or a parameter body of the right length.
      if (in.Byte() & 1) return CFStringCreateWithCString(nullptr, in.Byte() & 1 ? "Loud" : "Default", kCFStringEncodingUTF8);
      uint8_t body[TestAUPlug::kNParams * 8];
      for (uint8_t& b : body) b = in.Byte();
      return CFDataCreate(nullptr, body, sizeof(body));
    }
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static const ComponentDescription desc = { kAudioUnitType_Effect, TestAUPlug::kUniqueID, TestAUPlug::kMfrID, 0, 0 };
  static Component component = RegisterComponent(&desc, IFxAU::IFxAUEntry, 0, "Test: Fuzz");
  const long live = CFTestLiveObjectCount();

  Bytes in(data, size);
  TestAUPlug::sConfig.stateChunks = in.Byte() & 1;
  AudioUnit unit = OpenComponent(component);
  TestAUPlug* plug = (TestAUPlug*)GetComponentInstanceStorage(unit);

  CFMutableDictionaryRef dict =
    CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  if (in.Byte() & 1)
  {
    CFPropertyListRef saved = nullptr;
    UInt32 sz = sizeof(saved);
    if (AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, 0, 0, &saved, &sz) == noErr)
    {
      CFDictionaryApplyFunction((CFDictionaryRef)saved,
                                [](const void* k, const void* v, void* ctx) { CFDictionarySetValue((CFMutableDictionaryRef)ctx, k, v); },
                                dict);
      CFRelease(saved);
    }
  }
  for (int n = in.Byte() % 8; n > 0 && !in.Empty(); --n)
  {
    const uint8_t op = in.Byte();
    CFStringRef key = CFStringCreateWithCString(nullptr, kKeys[op % 7], kCFStringEncodingUTF8);
    if (op & 0x80) CFDictionaryRemoveValue(dict, key);
    else
    {
      CFTypeRef value = MakeValue(in, 0);
      CFDictionarySetValue(dict, key, value);
      CFRelease(value);
    }
    CFRelease(key);
  }

  CFPropertyListRef p = (in.Byte() % 16) ? (CFPropertyListRef)dict : nullptr;
  AudioUnitSetProperty(unit, kAudioUnitProperty_ClassInfo, 0, 0, &p, sizeof(p));
  for (int i = 0; i < plug->NParams(); ++i)
  {
    const IParam* param = plug->GetParam(i);
    if (std::isnan(param->Value()) || param->Value() < param->GetMin() || param->Value() > param->GetMax()) abort();
  }
  CFRelease(dict);
  CloseComponent(unit);
  TestAUPlug::sConfig = TestAUConfig();
  if (CFTestLiveObjectCount() != live) abort();
  return 0;
}
