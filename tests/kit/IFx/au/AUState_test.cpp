#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "AUTestUnit.h"

using AUState = AUTestUnit;

namespace
{
CFMutableDictionaryRef CopyDict(CFDictionaryRef d)
{
  CFMutableDictionaryRef copy =
    CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  const CFIndex n = CFDictionaryGetCount(d);
  std::vector<const void*> keys((size_t)n), values((size_t)n);
  CFDictionaryGetKeysAndValues(d, keys.data(), values.data());
  for (CFIndex i = 0; i < n; ++i) CFDictionarySetValue(copy, keys[(size_t)i], values[(size_t)i]);
  return copy;
}

void SetNumber(CFMutableDictionaryRef d, const char* key, SInt64 v)
{
  CFNumberRef n = CFNumberCreate(nullptr, kCFNumberSInt64Type, &v);
  CFStringRef k = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
  CFDictionarySetValue(d, k, n);
  CFRelease(k);
  CFRelease(n);
}

void SetValue(CFMutableDictionaryRef d, const char* key, CFTypeRef v)
{
  CFStringRef k = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
  CFDictionarySetValue(d, k, v);
  CFRelease(k);
}

void Remove(CFMutableDictionaryRef d, const char* key)
{
  CFStringRef k = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
  CFDictionaryRemoveValue(d, k);
  CFRelease(k);
}

CFDataRef Doubles(std::initializer_list<double> values, int extraBytes = 0)
{
  std::vector<unsigned char> bytes(values.size() * 8 + (size_t)extraBytes);
  size_t i = 0;
  for (double v : values) memcpy(bytes.data() + 8 * i++, &v, 8);
  return CFDataCreate(nullptr, bytes.data(), (CFIndex)bytes.size());
}
}  // namespace

TEST_F(AUState, RoundTripBetweenTwoInstances)
{
  ASSERT_EQ(AudioUnitSetParameter(mUnit, TestAUPlug::kGain, 0, 0, 4.5f, 0), noErr);
  AUPreset quiet = { 2, nullptr };
  ASSERT_EQ(Set(kAudioUnitProperty_CurrentPreset, 0, 0, quiet), noErr);
  ASSERT_EQ(AudioUnitSetParameter(mUnit, TestAUPlug::kCount, 0, 0, 7.0f, 0), noErr);
  CFPropertyListRef state = nullptr;
  ASSERT_EQ(Get(kAudioUnitProperty_ClassInfo, 0, 0, &state), noErr);
  CFDictionaryRef d = (CFDictionaryRef)state;
  EXPECT_EQ(CFDictionaryGetCount(d), 6);
  SInt32 v = 0;
  CFNumberGetValue((CFNumberRef)CFDictionaryGetValue(d, CFSTR("version")), kCFNumberSInt32Type, &v);
  EXPECT_EQ(v, 0x00010203);
  CFNumberGetValue((CFNumberRef)CFDictionaryGetValue(d, CFSTR("type")), kCFNumberSInt32Type, &v);
  EXPECT_EQ((UInt32)v, kAudioUnitType_Effect);
  CFNumberGetValue((CFNumberRef)CFDictionaryGetValue(d, CFSTR("manufacturer")), kCFNumberSInt32Type, &v);
  EXPECT_EQ((UInt32)v, TestAUPlug::kMfrID);
  char name[64];
  CFStringGetCString((CFStringRef)CFDictionaryGetValue(d, CFSTR("name")), name, sizeof(name), kCFStringEncodingUTF8);
  EXPECT_STREQ(name, "Quiet");
  EXPECT_EQ(CFDataGetLength((CFDataRef)CFDictionaryGetValue(d, CFSTR("data"))), 4 * 8);

  AudioUnit other = OpenComponent(mComponent);
  TestAUPlug* otherPlug = (TestAUPlug*)GetComponentInstanceStorage(other);
  otherPlug->mLog.clear();
  ASSERT_EQ(AudioUnitSetProperty(other, kAudioUnitProperty_ClassInfo, 0, 0, &state, sizeof(state)), noErr);
  for (int i = 0; i < TestAUPlug::kNParams; ++i)
    EXPECT_EQ(otherPlug->GetParam(i)->Value(), mPlug->GetParam(i)->Value()) << i;
  EXPECT_EQ(otherPlug->GetCurrentPresetIdx(), 2);
  CloseComponent(other);
  CFRelease(state);
}

TEST_F(AUState, MalformedDictionariesAreRefusedAndChangeNothing)
{
  CFPropertyListRef good = nullptr;
  ASSERT_EQ(Get(kAudioUnitProperty_ClassInfo, 0, 0, &good), noErr);
  AudioUnitSetParameter(mUnit, TestAUPlug::kGain, 0, 0, -20.0f, 0);
  AudioUnitSetParameter(mUnit, TestAUPlug::kMode, 0, 0, 2.0f, 0);

  const double nan = std::nan("");
  struct Case
  {
    const char* what;
    std::function<void(CFMutableDictionaryRef)> edit;
    OSStatus expected;
  } cases[] = {
    { "no version", [](CFMutableDictionaryRef d) { Remove(d, "version"); }, kAudioUnitErr_InvalidPropertyValue },
    { "other version", [](CFMutableDictionaryRef d) { SetNumber(d, "version", 0x00090000); }, noErr },
    { "version a string", [](CFMutableDictionaryRef d) { SetValue(d, "version", CFSTR("1")); }, kAudioUnitErr_InvalidPropertyValue },
    { "no type", [](CFMutableDictionaryRef d) { Remove(d, "type"); }, kAudioUnitErr_InvalidPropertyValue },
    { "foreign type", [](CFMutableDictionaryRef d) { SetNumber(d, "type", kAudioUnitType_Generator); }, kAudioUnitErr_InvalidPropertyValue },
    { "foreign subtype", [](CFMutableDictionaryRef d) { SetNumber(d, "subtype", 1); }, kAudioUnitErr_InvalidPropertyValue },
    { "no manufacturer", [](CFMutableDictionaryRef d) { Remove(d, "manufacturer"); }, kAudioUnitErr_InvalidPropertyValue },
    { "type as unsigned 64-bit", [](CFMutableDictionaryRef d) { SetNumber(d, "type", (SInt64)kAudioUnitType_Effect); }, noErr },
    { "type out of range", [](CFMutableDictionaryRef d) { SetNumber(d, "type", (SInt64)kAudioUnitType_Effect + (1ll << 32)); }, kAudioUnitErr_InvalidPropertyValue },
    { "no name", [](CFMutableDictionaryRef d) { Remove(d, "name"); }, kAudioUnitErr_InvalidPropertyValue },
    { "name a number", [](CFMutableDictionaryRef d) { SetNumber(d, "name", 3); }, kAudioUnitErr_InvalidPropertyValue },
    { "unknown name", [](CFMutableDictionaryRef d) { SetValue(d, "name", CFSTR("Nobody")); }, noErr },
    { "name too long", [](CFMutableDictionaryRef d) { SetValue(d, "name", CFStringCreateWithCString(nullptr, std::string(300, 'x').c_str(), kCFStringEncodingUTF8)); }, noErr },
    { "no data", [](CFMutableDictionaryRef d) { Remove(d, "data"); }, kAudioUnitErr_InvalidPropertyValue },
    { "data a string", [](CFMutableDictionaryRef d) { SetValue(d, "data", CFSTR("bytes")); }, kAudioUnitErr_InvalidPropertyValue },
    { "data ends early", [](CFMutableDictionaryRef d) { CFDataRef x = Doubles({ 1, 2, 1 }); SetValue(d, "data", x); CFRelease(x); }, kAudioUnitErr_InvalidPropertyValue },
    { "data one byte short", [](CFMutableDictionaryRef d) { CFDataRef x = Doubles({ 1, 2, 1 }, 7); SetValue(d, "data", x); CFRelease(x); }, kAudioUnitErr_InvalidPropertyValue },
    { "empty data", [](CFMutableDictionaryRef d) { CFDataRef x = CFDataCreate(nullptr, nullptr, 0); SetValue(d, "data", x); CFRelease(x); }, kAudioUnitErr_InvalidPropertyValue },
    { "NaN in data", [nan](CFMutableDictionaryRef d) { CFDataRef x = Doubles({ nan, 2, 1, 0 }); SetValue(d, "data", x); CFRelease(x); }, kAudioUnitErr_InvalidPropertyValue },
    { "longer data", [](CFMutableDictionaryRef d) { CFDataRef x = Doubles({ -1, 2, 1, 0, 99 }); SetValue(d, "data", x); CFRelease(x); }, noErr },
  };
  for (const Case& c : cases)
  {
    CFMutableDictionaryRef d = CopyDict((CFDictionaryRef)good);
    c.edit(d);
    AudioUnitSetParameter(mUnit, TestAUPlug::kGain, 0, 0, -20.0f, 0);
    AudioUnitSetParameter(mUnit, TestAUPlug::kMode, 0, 0, 2.0f, 0);
    AUPreset loud = { 1, nullptr };
    Set(kAudioUnitProperty_CurrentPreset, 0, 0, loud);
    AudioUnitSetParameter(mUnit, TestAUPlug::kGain, 0, 0, -20.0f, 0);
    CFPropertyListRef p = d;
    EXPECT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_ClassInfo, 0, 0, &p, sizeof(p)), c.expected) << c.what;
    if (c.expected != noErr)
    {
      EXPECT_EQ(mPlug->GetParam(TestAUPlug::kGain)->Value(), -20.0) << c.what;
      EXPECT_EQ(mPlug->GetCurrentPresetIdx(), 1) << c.what;
    }
    else
    {
      EXPECT_NE(mPlug->GetParam(TestAUPlug::kGain)->Value(), -20.0) << c.what;
    }
    if (!strcmp(c.what, "name too long")) CFRelease(CFDictionaryGetValue(d, CFSTR("name")));
    CFRelease(d);
  }
  // Not a dictionary at all.
  CFPropertyListRef notDict = CFSTR("state");
  EXPECT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_ClassInfo, 0, 0, &notDict, sizeof(notDict)),
            kAudioUnitErr_InvalidPropertyValue);
  CFRelease(good);
}

TEST_F(AUState, UnknownPresetNameStillRestoresData)
{
  CFPropertyListRef good = nullptr;
  ASSERT_EQ(Get(kAudioUnitProperty_ClassInfo, 0, 0, &good), noErr);
  CFMutableDictionaryRef d = CopyDict((CFDictionaryRef)good);
  SetValue(d, "name", CFSTR("Nobody"));
  CFDataRef data = Doubles({ 9.5, 4, 3, 0 });
  SetValue(d, "data", data);
  CFRelease(data);
  CFPropertyListRef p = d;
  ASSERT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_ClassInfo, 0, 0, &p, sizeof(p)), noErr);
  EXPECT_EQ(mPlug->GetParam(TestAUPlug::kGain)->Value(), 9.5);
  EXPECT_EQ(mPlug->GetParam(TestAUPlug::kMode)->Value(), 3.0);
  EXPECT_EQ(mPlug->GetCurrentPresetIdx(), 0);
  CFRelease(d);
  CFRelease(good);
}

TEST_F(AUState, OwnStateReaderThatFailsIsRolledBack)
{
  TestAUPlug::sConfig.stateChunks = true;
  TestAUPlug::sConfig.failStateRead = true;
  Open();
  CFPropertyListRef state = nullptr;
  ASSERT_EQ(Get(kAudioUnitProperty_ClassInfo, 0, 0, &state), noErr);
  CFMutableDictionaryRef d = CopyDict((CFDictionaryRef)state);
  SetValue(d, "name", CFSTR("Loud"));
  AudioUnitSetParameter(mUnit, TestAUPlug::kGain, 0, 0, -33.0f, 0);
  CFPropertyListRef p = d;
  EXPECT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_ClassInfo, 0, 0, &p, sizeof(p)), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(mPlug->GetParam(TestAUPlug::kGain)->Value(), -33.0);
  EXPECT_EQ(mPlug->GetCurrentPresetIdx(), 0);
  CFRelease(d);
  CFRelease(state);
}

TEST_F(AUState, WithoutAComponentInstanceThereIsNoState)
{
  TestAUPlug plug;
  CFPropertyListRef state = nullptr;
  EXPECT_EQ(plug.GetState(&state), invalidComponentID);
  EXPECT_EQ(state, nullptr);
}
