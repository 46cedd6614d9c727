#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include <CoreFoundation/CoreFoundation.h>

#include <CoreFoundation/testkit.h>

namespace
{
// Counts live objects across a test body: whatever the body makes, it must free.
class CFTest : public ::testing::Test
{
protected:
  void SetUp() override { mLiveBefore = CFTestLiveObjectCount(); }
  void TearDown() override { EXPECT_EQ(CFTestLiveObjectCount(), mLiveBefore) << "objects leaked"; }
  long mLiveBefore = 0;
};

std::string UTF8(CFStringRef s)
{
  char buf[512];
  return CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8) ? std::string(buf) : std::string("<none>");
}

CFNumberRef SInt32Number(SInt32 v)
{
  return CFNumberCreate(nullptr, kCFNumberSInt32Type, &v);
}
}  // namespace

using CFStrings = CFTest;
using CFNumbers = CFTest;
using CFContainers = CFTest;

TEST_F(CFStrings, CreationByEncoding)
{
  struct Case
  {
    const char* bytes;
    CFStringEncoding encoding;
    bool made;
    CFIndex length;  // UTF-16 units
  } cases[] = {
    { "plain", kCFStringEncodingUTF8, true, 5 },
    { "gr\xC3\xBC\xC3\x9F", kCFStringEncodingUTF8, true, 4 },
    { "\xF0\x9F\x8E\xB5", kCFStringEncodingUTF8, true, 2 },  // one character beyond the BMP
    { "bad \xC3", kCFStringEncodingUTF8, false, 0 },          // cut sequence
    { "\xC0\xAF", kCFStringEncodingUTF8, false, 0 },          // overlong
    { "\xED\xA0\x80", kCFStringEncodingUTF8, false, 0 },      // surrogate
    { "", kCFStringEncodingUTF8, true, 0 },
    { "ascii", kCFStringEncodingASCII, true, 5 },
    { "caf\xE9", kCFStringEncodingASCII, false, 0 },
    { "caf\xE9", kCFStringEncodingISOLatin1, true, 4 },
    { "x", 0x7777, false, 0 },
  };
  for (const Case& c : cases)
  {
    CFStringRef s = CFStringCreateWithCString(nullptr, c.bytes, c.encoding);
    EXPECT_EQ(s != nullptr, c.made) << c.bytes;
    EXPECT_EQ(CFStringGetLength(s), c.length) << c.bytes;
    CFRelease(s);
  }
  EXPECT_EQ(CFStringCreateWithCString(nullptr, nullptr, kCFStringEncodingUTF8), nullptr);
}

TEST_F(CFStrings, ConversionBackRefusesWhatDoesNotFit)
{
  CFStringRef s = CFStringCreateWithCString(nullptr, "gr\xC3\xBCn", kCFStringEncodingUTF8);
  char buf[16];
  EXPECT_TRUE(CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8));
  EXPECT_STREQ(buf, "gr\xC3\xBCn");
  EXPECT_TRUE(CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingISOLatin1));
  EXPECT_STREQ(buf, "gr\xFCn");
  EXPECT_FALSE(CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingASCII));
  EXPECT_STREQ(buf, "");
  // Five bytes and the terminator need six.
  EXPECT_FALSE(CFStringGetCString(s, buf, 5, kCFStringEncodingUTF8));
  EXPECT_STREQ(buf, "");
  EXPECT_TRUE(CFStringGetCString(s, buf, 6, kCFStringEncodingUTF8));
  EXPECT_STREQ(CFStringGetCStringPtr(s, kCFStringEncodingUTF8), "gr\xC3\xBCn");
  EXPECT_EQ(CFStringGetCStringPtr(s, kCFStringEncodingASCII), nullptr);

  UniChar chars[8] = {};
  CFStringGetCharacters(s, CFRangeMake(2, 10), chars);  // clipped to the string
  EXPECT_EQ(chars[0], 0xFC);
  EXPECT_EQ(chars[1], 'n');
  EXPECT_EQ(chars[2], 0);
  CFRelease(s);
}

TEST_F(CFStrings, CompareCopyAndConstants)
{
  CFStringRef a = CFStringCreateWithCString(nullptr, "Ratio", kCFStringEncodingUTF8);
  CFStringRef b = CFStringCreateCopy(nullptr, a);
  const UniChar lower[] = { 'r', 'a', 't', 'i', 'o' };
  CFStringRef c = CFStringCreateWithCharacters(nullptr, lower, 5);
  EXPECT_TRUE(CFEqual(a, b));
  EXPECT_EQ(CFHash(a), CFHash(b));
  EXPECT_FALSE(CFEqual(a, c));
  EXPECT_EQ(CFStringCompare(a, c, 0), kCFCompareLessThan);
  EXPECT_EQ(CFStringCompare(a, c, kCFCompareCaseInsensitive), kCFCompareEqualTo);
  EXPECT_EQ(CFStringCompare(c, CFSTR("ratios"), 0), kCFCompareLessThan);

  // Constants are interned, equal to made strings and unaffected by release.
  EXPECT_EQ(CFSTR("Ratio"), CFSTR("Ratio"));
  EXPECT_TRUE(CFEqual(CFSTR("Ratio"), a));
  CFRelease(CFSTR("Ratio"));
  EXPECT_EQ(UTF8(CFSTR("Ratio")), "Ratio");
  EXPECT_EQ(CFGetTypeID(a), CFStringGetTypeID());
  CFRelease(a);
  CFRelease(b);
  CFRelease(c);
}

TEST_F(CFNumbers, ConversionsReportLoss)
{
  struct Case
  {
    double stored;  // made as Float64 when fractional, else as SInt64
    CFNumberType asked;
    bool exact;
    double read;
  } cases[] = {
    { 42, kCFNumberSInt32Type, true, 42 },
    { -7, kCFNumberSInt8Type, true, -7 },
    { 300, kCFNumberSInt8Type, false, 44 },             // wraps and says so
    { 4294967296.0, kCFNumberSInt32Type, false, 0 },
    { 2.5, kCFNumberSInt32Type, false, 2 },
    { 1e20, kCFNumberSInt32Type, false, 2147483647 },   // saturates from a double
    { 0.1, kCFNumberFloat32Type, false, (double)0.1f },
    { 0.5, kCFNumberFloat64Type, true, 0.5 },
    { 7, kCFNumberFloat64Type, true, 7 },
  };
  for (const Case& c : cases)
  {
    CFNumberRef n;
    if (c.stored == std::floor(c.stored) && std::fabs(c.stored) < 1e18)
    {
      const SInt64 i = (SInt64)c.stored;
      n = CFNumberCreate(nullptr, kCFNumberSInt64Type, &i);
    }
    else
    {
      n = CFNumberCreate(nullptr, kCFNumberFloat64Type, &c.stored);
    }
    double read = 0;
    bool exact;
    switch (c.asked)
    {
      case kCFNumberSInt8Type: { SInt8 v = 0; exact = CFNumberGetValue(n, c.asked, &v); read = v; break; }
      case kCFNumberSInt32Type: { SInt32 v = 0; exact = CFNumberGetValue(n, c.asked, &v); read = v; break; }
      case kCFNumberFloat32Type: { Float32 v = 0; exact = CFNumberGetValue(n, c.asked, &v); read = v; break; }
      default: { Float64 v = 0; exact = CFNumberGetValue(n, c.asked, &v); read = v; break; }
    }
    EXPECT_EQ(exact, c.exact) << c.stored << " as " << c.asked;
    EXPECT_EQ(read, c.read) << c.stored << " as " << c.asked;
    CFRelease(n);
  }
}

TEST_F(CFNumbers, TypesEqualityAndBadArguments)
{
  CFNumberRef i = SInt32Number(3);
  const double d3 = 3.0;
  CFNumberRef d = CFNumberCreate(nullptr, kCFNumberFloat64Type, &d3);
  EXPECT_EQ(CFNumberGetType(i), kCFNumberSInt32Type);
  EXPECT_EQ(CFNumberGetByteSize(i), 4);
  EXPECT_FALSE(CFNumberIsFloatType(i));
  EXPECT_TRUE(CFNumberIsFloatType(d));
  EXPECT_TRUE(CFEqual(i, d));
  EXPECT_EQ(CFHash(i), CFHash(d));
  EXPECT_EQ(CFNumberCreate(nullptr, kCFNumberSInt32Type, nullptr), nullptr);
  EXPECT_EQ(CFNumberCreate(nullptr, (CFNumberType)99, &d3), nullptr);
  SInt32 out = 5;
  EXPECT_FALSE(CFNumberGetValue(nullptr, kCFNumberSInt32Type, &out));
  EXPECT_FALSE(CFNumberGetValue((CFNumberRef)CFSTR("3"), kCFNumberSInt32Type, &out));  // not a number
  EXPECT_EQ(out, 5);
  EXPECT_TRUE(CFBooleanGetValue(kCFBooleanTrue));
  EXPECT_FALSE(CFBooleanGetValue(kCFBooleanFalse));
  CFRelease(i);
  CFRelease(d);
}

TEST_F(CFContainers, DataCopiesAndClipsRanges)
{
  const UInt8 bytes[] = { 1, 2, 3, 4 };
  CFDataRef d = CFDataCreate(nullptr, bytes, 4);
  EXPECT_EQ(CFDataGetLength(d), 4);
  EXPECT_NE(CFDataGetBytePtr(d), bytes);
  EXPECT_EQ(memcmp(CFDataGetBytePtr(d), bytes, 4), 0);
  UInt8 out[4] = { 9, 9, 9, 9 };
  CFDataGetBytes(d, CFRangeMake(2, 100), out);
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(out[1], 4);
  EXPECT_EQ(out[2], 9);
  CFDataRef empty = CFDataCreate(nullptr, nullptr, 0);
  EXPECT_EQ(CFDataGetLength(empty), 0);
  EXPECT_EQ(CFDataGetBytePtr(empty), nullptr);
  EXPECT_EQ(CFDataCreate(nullptr, bytes, -1), nullptr);
  EXPECT_EQ(CFDataCreate(nullptr, nullptr, 3), nullptr);
  CFRelease(d);
  CFRelease(empty);
}

TEST_F(CFContainers, DictionaryRetainsReplacesAndReleases)
{
  CFMutableDictionaryRef dict =
    CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFNumberRef one = SInt32Number(1), two = SInt32Number(2);
  CFStringRef key = CFStringCreateWithCString(nullptr, "version", kCFStringEncodingUTF8);

  CFDictionarySetValue(dict, key, one);
  EXPECT_EQ(CFGetRetainCount(one), 2);
  CFDictionaryAddValue(dict, CFSTR("version"), two);  // present: Add leaves it
  EXPECT_EQ(CFDictionaryGetValue(dict, CFSTR("version")), one);
  CFDictionarySetValue(dict, CFSTR("version"), two);  // found by an equal key
  EXPECT_EQ(CFGetRetainCount(one), 1);
  EXPECT_EQ(CFDictionaryGetCount(dict), 1);
  CFDictionaryReplaceValue(dict, CFSTR("absent"), one);
  EXPECT_FALSE(CFDictionaryContainsKey(dict, CFSTR("absent")));
  CFDictionaryAddValue(dict, CFSTR("data"), one);

  const void* keys[2] = {};
  const void* values[2] = {};
  CFDictionaryGetKeysAndValues(dict, keys, values);
  EXPECT_TRUE(CFEqual(keys[0], CFSTR("version")));
  EXPECT_EQ(values[1], one);
  const void* found = nullptr;
  EXPECT_TRUE(CFDictionaryGetValueIfPresent(dict, CFSTR("data"), &found));
  EXPECT_EQ(found, one);
  EXPECT_EQ(CFDictionaryGetValue(dict, CFSTR("nothing")), nullptr);
  EXPECT_EQ(CFDictionaryGetValue(nullptr, CFSTR("data")), nullptr);

  CFDictionaryRemoveValue(dict, CFSTR("data"));
  EXPECT_EQ(CFGetRetainCount(one), 1);
  CFRelease(key);
  CFRelease(one);
  CFRelease(two);
  CFRelease(dict);  // frees the key and the remaining value
}

TEST_F(CFContainers, RawCallbacksImmutabilityAndCapacity)
{
  int a = 1, b = 2;
  CFMutableDictionaryRef raw = CFDictionaryCreateMutable(nullptr, 1, nullptr, nullptr);
  CFDictionarySetValue(raw, &a, &b);
  CFDictionarySetValue(raw, &b, &a);  // beyond the capacity of one
  EXPECT_EQ(CFDictionaryGetCount(raw), 1);
  EXPECT_EQ(CFDictionaryGetValue(raw, &a), &b);
  CFRelease(raw);

  CFNumberRef n = SInt32Number(7);
  const void* keys[] = { CFSTR("k") };
  const void* values[] = { n };
  CFDictionaryRef fixed =
    CFDictionaryCreate(nullptr, keys, values, 1, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFDictionarySetValue((CFMutableDictionaryRef)fixed, CFSTR("other"), n);
  CFDictionaryRemoveValue((CFMutableDictionaryRef)fixed, CFSTR("k"));
  EXPECT_EQ(CFDictionaryGetCount(fixed), 1);
  EXPECT_EQ(CFDictionaryGetValue(fixed, CFSTR("k")), n);

  CFMutableDictionaryRef same =
    CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFDictionarySetValue(same, CFSTR("k"), n);
  EXPECT_TRUE(CFEqual(fixed, same));
  CFRelease(same);
  CFRelease(fixed);
  CFRelease(n);
}

TEST_F(CFContainers, ArrayOrderAndIndexChecks)
{
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
  CFStringRef names[] = { CFStringCreateWithCString(nullptr, "I", kCFStringEncodingUTF8),
                          CFStringCreateWithCString(nullptr, "II", kCFStringEncodingUTF8),
                          CFStringCreateWithCString(nullptr, "III", kCFStringEncodingUTF8) };
  CFArrayAppendValue(array, names[0]);
  CFArrayAppendValue(array, names[2]);
  CFArrayInsertValueAtIndex(array, 1, names[1]);
  CFArrayInsertValueAtIndex(array, 9, names[1]);  // past the end: nothing
  ASSERT_EQ(CFArrayGetCount(array), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(CFArrayGetValueAtIndex(array, i), names[i]);
  EXPECT_EQ(CFArrayGetValueAtIndex(array, 3), nullptr);
  EXPECT_EQ(CFArrayGetValueAtIndex(array, -1), nullptr);
  EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 3), CFSTR("III")), 2);
  EXPECT_EQ(CFGetRetainCount(names[1]), 2);
  CFArrayRemoveValueAtIndex(array, 1);
  EXPECT_EQ(CFGetRetainCount(names[1]), 1);
  CFArraySetValueAtIndex(array, 0, names[1]);
  EXPECT_EQ(CFGetRetainCount(names[0]), 1);

  const void* fixedValues[] = { names[0], names[1] };
  CFArrayRef fixed = CFArrayCreate(nullptr, fixedValues, 2, &kCFTypeArrayCallBacks);
  CFArrayAppendValue((CFMutableArrayRef)fixed, names[2]);
  EXPECT_EQ(CFArrayGetCount(fixed), 2);
  CFRelease(fixed);
  for (CFStringRef s : names) CFRelease(s);
  CFRelease(array);
}

TEST(CFBase, NullAndForeignReferencesAreIgnored)
{
  CFRelease(nullptr);
  EXPECT_EQ(CFRetain(nullptr), nullptr);
  EXPECT_EQ(CFGetTypeID(nullptr), 0u);
  int notAnObject[8] = {};
  CFRelease(notAnObject);
  EXPECT_EQ(CFGetTypeID(notAnObject), 0u);
  EXPECT_FALSE(CFEqual(notAnObject, CFSTR("x")));
  EXPECT_EQ(CFDictionaryGetCount((CFDictionaryRef)CFSTR("x")), 0);
}
