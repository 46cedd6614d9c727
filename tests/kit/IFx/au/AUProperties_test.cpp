#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AUTestUnit.h"

using AUProperties = AUTestUnit;

namespace
{
std::string UTF8(CFStringRef s)
{
  char buf[256];
  return CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8) ? std::string(buf) : std::string("<none>");
}

// Releases what a successful get handed over.
void ReleaseGot(AudioUnitPropertyID id, unsigned char* data)
{
  switch (id)
  {
    case kAudioUnitProperty_ClassInfo:
    case kAudioUnitProperty_ParameterValueStrings:
    case kAudioUnitProperty_FactoryPresets: CFRelease(*(CFTypeRef*)data); break;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset: CFRelease(((AUPreset*)data)->presetName); break;
    case kAudioUnitProperty_ParameterInfo:
      CFRelease(((AudioUnitParameterInfo*)data)->cfNameString);
      CFRelease(((AudioUnitParameterInfo*)data)->unitName);
      break;
    case kAudioUnitProperty_ParameterStringFromValue: CFRelease(((AudioUnitParameterStringFromValue*)data)->outString); break;
    case kAudioUnitProperty_ParameterIDName: CFRelease(((AudioUnitParameterIDName*)data)->outName); break;
    default: break;
  }
}
}  // namespace

TEST_F(AUProperties, EveryPropertyByScopeAndElementForInfoAndGet)
{
  const OSStatus kBad = kAudioUnitErr_InvalidProperty;
  const AudioUnitScope G = kAudioUnitScope_Global, I = kAudioUnitScope_Input, O = kAudioUnitScope_Output;
  struct Case
  {
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    AudioUnitElement element;
    OSStatus info;
    UInt32 size;
    bool writable;
    OSStatus get;
  } cases[] = {
    { 0, G, 0, noErr, 8, true, noErr },        { 0, 9, 3, noErr, 8, true, noErr },
    { 1, G, 0, noErr, 16, true, noErr },       { 1, I, 1, noErr, 16, true, noErr },      { 1, O, 0, kBad, 0, false, kBad },
    { 2, 7, 0, noErr, 8, true, noErr },        { 3, G, 0, noErr, 16, false, noErr },     { 3, I, 0, noErr, 0, false, noErr },
    { 4, G, 0, noErr, 104, false, noErr },     { 4, G, 3, noErr, 104, false, noErr },    { 4, G, 4, kBad, 0, false, kBad },
    { 4, I, 0, kBad, 0, false, kBad },         { 5, G, 6, noErr, 8, false, noErr },      { 5, O, 14, noErr, 8, false, noErr },
    { 5, G, 99, noErr, 8, false, kAudioUnitErr_InvalidElement },
    { 8, I, 0, noErr, 40, true, noErr },       { 8, I, 1, noErr, 40, true, noErr },      { 8, I, 2, kBad, 0, false, kBad },
    { 8, O, 0, noErr, 40, true, noErr },       { 8, G, 0, noErr, 40, true, noErr },      { 8, O, 1, kBad, 0, false, kBad },
    { 8, 3, 0, kBad, 0, false, kBad },         { 11, I, 0, noErr, 4, false, noErr },     { 11, 4, 0, noErr, 4, false, noErr },
    { 12, G, 0, noErr, 8, false, noErr },      { 12, I, 0, kBad, 0, false, kBad },       { 13, G, 0, noErr, 20, false, noErr },
    { 13, O, 0, kBad, 0, false, kBad },        { 14, G, 0, noErr, 4, true, noErr },      { 14, I, 0, kBad, 0, false, kBad },
    { 16, G, 2, noErr, 8, false, noErr },      { 16, G, 3, noErr, 8, false, noErr },     { 16, G, 0, kBad, 0, false, kBad },
    { 16, G, 9, kBad, 0, false, kBad },        { 16, I, 2, kBad, 0, false, kBad },       { 18, G, 0, kBad, 0, false, kBad },
    { 20, G, 0, noErr, 8, false, noErr },      { 20, O, 0, kBad, 0, false, kBad },       { 21, G, 0, noErr, 4, true, noErr },
    { 21, I, 0, kBad, 0, false, kBad },        { 22, G, 0, noErr, 4, false, noErr },     { 22, O, 0, kBad, 0, false, kBad },
    { 23, I, 0, noErr, 16, true, noErr },      { 23, G, 1, noErr, 16, true, noErr },     { 23, I, 2, kBad, 0, false, kBad },
    { 23, O, 0, kBad, 0, false, kBad },        { 24, 5, 0, noErr, 8, false, noErr },     { 27, G, 0, noErr, 32, true, noErr },
    { 27, I, 0, kBad, 0, false, kBad },        { 28, 8, 0, noErr, 16, true, noErr },     { 36, G, 0, noErr, 16, true, noErr },
    { 31, G, 0, kBad, 0, false, kBad },        { 33, G, 0, noErr, 24, false, noErr },    { 33, O, 0, noErr, 24, false, noErr },
    { 34, G, 0, noErr, 16, false, noErr },     { 38, G, 0, noErr, 24, false, noErr },    { 1000, G, 0, kBad, 0, false, kBad },
    { 6, G, 0, kBad, 0, false, kBad },         { 9999, G, 0, kBad, 0, false, kBad },
  };
  for (const Case& c : cases)
  {
    UInt32 size = 0;
    Boolean writable = true;
    EXPECT_EQ(AudioUnitGetPropertyInfo(mUnit, c.id, c.scope, c.element, &size, &writable), c.info)
      << "info " << c.id << " " << c.scope << "/" << c.element;
    if (c.info == noErr)
    {
      EXPECT_EQ(size, c.size) << "size " << c.id;
      EXPECT_EQ((bool)writable, c.writable) << "writable " << c.id;
    }
    unsigned char data[256] = {};
    UInt32 dataSize = sizeof(data);
    EXPECT_EQ(AudioUnitGetProperty(mUnit, c.id, c.scope, c.element, data, &dataSize), c.get)
      << "get " << c.id << " " << c.scope << "/" << c.element;
    if (c.get != noErr) continue;
    EXPECT_EQ(dataSize, c.size) << "get size " << c.id;
    ReleaseGot(c.id, data);

    // A buffer one byte short is refused and left as it was.
    if (c.size == 0 || c.id == 1 || c.id == 23 || c.id == 27 || (c.id >= 33 && c.scope != G)) continue;
    memset(data, 0xAB, sizeof(data));
    UInt32 shortSize = c.size - 1;
    EXPECT_EQ(AudioUnitGetProperty(mUnit, c.id, c.scope, c.element, data, &shortSize), kAudioUnitErr_InvalidPropertyValue)
      << "short " << c.id;
    EXPECT_EQ(shortSize, c.size - 1);
    for (unsigned char b : data) ASSERT_EQ(b, 0xAB) << "written into a short buffer: " << c.id;
  }
  // Without a size pointer the buffer is taken as empty.
  Float64 rate = 0;
  EXPECT_EQ(AudioUnitGetProperty(mUnit, kAudioUnitProperty_SampleRate, 0, 0, &rate, nullptr), kAudioUnitErr_InvalidPropertyValue);
}

TEST_F(AUProperties, SetResultsAndShortData)
{
  const OSStatus kBad = kAudioUnitErr_InvalidProperty, kValue = kAudioUnitErr_InvalidPropertyValue;
  unsigned char zeros[64] = {};
  struct Case
  {
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    const void* data;
    UInt32 size;
    OSStatus expected;
  } cases[] = {
    { 0, 0, nullptr, 8, kValue },   { 0, 0, zeros, 4, kValue },   { 0, 0, zeros, 8, kValue },  // a null dictionary
    { 2, 0, zeros, 4, kValue },     { 2, 0, zeros, 8, kValue },   // rate 0
    { 3, 0, zeros, 64, kBad },      { 4, 0, zeros, 64, kBad },     { 5, 0, zeros, 64, kBad },
    { 11, 0, zeros, 64, kBad },     { 12, 0, zeros, 64, kBad },    { 13, 0, zeros, 64, kBad },
    { 14, 0, zeros, 2, kValue },    { 16, 0, zeros, 64, kBad },    { 18, 0, zeros, 64, kBad },
    { 20, 0, zeros, 64, kBad },     { 21, 0, zeros, 3, kValue },   { 21, 5, zeros, 4, noErr },
    { 22, 0, zeros, 64, kBad },     { 23, 1, zeros, 8, kValue },   { 23, 0, zeros, 16, kBad },
    { 24, 0, zeros, 64, kBad },     { 27, 1, zeros, 32, kBad },    { 27, 0, zeros, 32, noErr },
    { 27, 0, zeros, 8, noErr },     { 27, 0, nullptr, 8, kValue }, { 28, 0, zeros, 2, kValue },
    { 28, 0, zeros, 16, noErr },    { 36, 0, zeros, 16, noErr },   { 31, 0, zeros, 64, kBad },
    { 33, 0, zeros, 64, kBad },     { 34, 0, zeros, 64, kBad },    { 38, 0, zeros, 64, kBad },
    { 1000, 0, zeros, 64, kBad },   { 12345, 0, zeros, 64, kBad },
  };
  for (const Case& c : cases)
    EXPECT_EQ(AudioUnitSetProperty(mUnit, c.id, c.scope, 0, c.data, c.size), c.expected) << c.id << " size " << c.size;

  for (double bad : { 0.0, -1.0, std::nan(""), (double)INFINITY, IFxAU::kMaxSampleRate, 7.3e223 })
    EXPECT_EQ(Set<Float64>(kAudioUnitProperty_SampleRate, 0, 0, bad), kValue) << bad;
  EXPECT_EQ(mPlug->GetSampleRate(), 44100.0);
  mPlug->mLog.clear();
  EXPECT_EQ(Set<Float64>(kAudioUnitProperty_SampleRate, 3, 0, 22050.0), noErr);
  EXPECT_EQ(mPlug->GetSampleRate(), 22050.0);
  EXPECT_EQ(mPlug->mLog, std::vector<std::string>{ "reset" });
}

TEST_F(AUProperties, ParameterInformation)
{
  mPlug->GetParam(TestAUPlug::kGain)->Set(-3.5);  // moved by the user: reported as the default
  struct Case
  {
    const char* name;
    AudioUnitParameterUnit unit;
    const char* unitName;
    float min, max, def;
  } cases[] = {
    { "Gain", kAudioUnitParameterUnit_CustomUnit, "dB", -60.0f, 12.0f, -3.5f },
    { "Count", kAudioUnitParameterUnit_Generic, nullptr, 0.0f, 10.0f, 3.0f },
    { "Mode", kAudioUnitParameterUnit_Indexed, nullptr, 0.0f, 3.0f, 1.0f },
    { "Switch", kAudioUnitParameterUnit_Boolean, nullptr, 0.0f, 1.0f, 1.0f },
  };
  for (AudioUnitElement i = 0; i < 4; ++i)
  {
    AudioUnitParameterInfo info;
    memset(&info, 0x5A, sizeof(info));
    ASSERT_EQ(Get(kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, i, &info), noErr);
    EXPECT_STREQ(info.name, cases[i].name);
    EXPECT_EQ(UTF8(info.cfNameString), cases[i].name);
    EXPECT_EQ(info.unit, cases[i].unit) << i;
    if (cases[i].unitName) EXPECT_EQ(UTF8(info.unitName), cases[i].unitName);
    else EXPECT_EQ(info.unitName, nullptr);
    EXPECT_EQ(info.clumpID, 0u);
    EXPECT_EQ(info.minValue, cases[i].min);
    EXPECT_EQ(info.maxValue, cases[i].max);
    EXPECT_EQ(info.defaultValue, cases[i].def);
    EXPECT_EQ(info.flags, 0xC8000010u);
    CFRelease(info.cfNameString);
    CFRelease(info.unitName);
  }

  AudioUnitParameterID ids[4] = {};
  EXPECT_EQ(Get(kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, &ids), noErr);
  EXPECT_EQ(ids[3], 3u);

  CFArrayRef texts = nullptr;
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterValueStrings, kAudioUnitScope_Global, TestAUPlug::kMode, &texts), noErr);
  ASSERT_EQ(CFArrayGetCount(texts), 4);
  EXPECT_EQ(UTF8((CFStringRef)CFArrayGetValueAtIndex(texts, 3)), "IV");
  CFRelease(texts);
}

TEST_F(AUProperties, ParameterTextsAndNames)
{
  const AudioUnitParameterValue v = 2.9f;
  AudioUnitParameterStringFromValue sfv = { TestAUPlug::kMode, &v, nullptr };
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterStringFromValue, kAudioUnitScope_Global, 0, &sfv), noErr);
  EXPECT_EQ(UTF8(sfv.outString), "III");
  CFRelease(sfv.outString);
  sfv.inValue = nullptr;
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterStringFromValue, kAudioUnitScope_Global, 0, &sfv), noErr);
  EXPECT_EQ(UTF8(sfv.outString), "II");
  CFRelease(sfv.outString);
  const AudioUnitParameterValue huge = 1e30f;
  sfv.inValue = &huge;
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterStringFromValue, kAudioUnitScope_Global, 0, &sfv), noErr);
  EXPECT_EQ(UTF8(sfv.outString), "");
  CFRelease(sfv.outString);

  struct NameCase
  {
    SInt32 length;
    const char* expected;
  } names[] = { { 2, "Ga" }, { 0, "" }, { 40, "Gain" }, { -1, "Gain" }, { -9, "Gain" } };
  for (const NameCase& c : names)
  {
    AudioUnitParameterIDName idName = { TestAUPlug::kGain, c.length, nullptr };
    ASSERT_EQ(Get(kAudioUnitProperty_ParameterIDName, kAudioUnitScope_Global, 0, &idName), noErr);
    EXPECT_EQ(UTF8(idName.outName), c.expected) << c.length;
    CFRelease(idName.outName);
  }

  AudioUnitParameterValueFromString vfs = { TestAUPlug::kMode, CFSTR("IV"), -1.0f };
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0, &vfs), noErr);
  EXPECT_EQ(vfs.outValue, 3.0f);
  vfs = { TestAUPlug::kMode, CFSTR("V"), -1.0f };
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0, &vfs), noErr);
  EXPECT_EQ(vfs.outValue, -1.0f);
  vfs = { TestAUPlug::kMode, nullptr, -1.0f };
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0, &vfs), noErr);
  EXPECT_EQ(vfs.outValue, -1.0f);

  // Ids past the list are refused on every path that carries one.
  AudioUnitParameterStringFromValue badSFV = { 4, nullptr, nullptr };
  AudioUnitParameterIDName badName = { 99, -1, nullptr };
  AudioUnitParameterValueFromString badVFS = { 0xFFFFFFFF, CFSTR("I"), 0.0f };
  CFArrayRef texts = nullptr;
  EXPECT_EQ(Get(kAudioUnitProperty_ParameterStringFromValue, kAudioUnitScope_Global, 0, &badSFV), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(Get(kAudioUnitProperty_ParameterIDName, kAudioUnitScope_Global, 0, &badName), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(Get(kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0, &badVFS), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(Get(kAudioUnitProperty_ParameterValueStrings, kAudioUnitScope_Global, 4, &texts), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(badSFV.outString, nullptr);
  EXPECT_EQ(badName.outName, nullptr);
}

TEST_F(AUProperties, PresetsChannelsAndCounts)
{
  CFArrayRef presets = nullptr;
  ASSERT_EQ(Get(kAudioUnitProperty_FactoryPresets, 0, 0, &presets), noErr);
  ASSERT_EQ(CFArrayGetCount(presets), 3);
  const char* names[] = { "Default", "Loud", "Quiet" };
  for (int i = 0; i < 3; ++i)
  {
    const AUPreset* p = (const AUPreset*)CFArrayGetValueAtIndex(presets, i);
    EXPECT_EQ(p->presetNumber, i);
    EXPECT_EQ(UTF8(p->presetName), names[i]);
  }
  CFRelease(presets);

  AUPreset choose = { 1, nullptr };
  ASSERT_EQ(Set(kAudioUnitProperty_PresentPreset, 0, 0, choose), noErr);
  EXPECT_EQ(mPlug->GetParam(TestAUPlug::kGain)->Value(), 6.0);
  AUPreset current = {};
  ASSERT_EQ(Get(kAudioUnitProperty_CurrentPreset, 0, 0, &current), noErr);
  EXPECT_EQ(current.presetNumber, 1);
  EXPECT_EQ(UTF8(current.presetName), "Loud");
  CFRelease(current.presetName);

  AUChannelInfo layouts[5] = {};
  ASSERT_EQ(Get(kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, &layouts), noErr);
  EXPECT_EQ(layouts[0].inChannels, 1);
  EXPECT_EQ(layouts[4].inChannels, 4);
  EXPECT_EQ(layouts[4].outChannels, 2);

  struct Count
  {
    AudioUnitScope scope;
    UInt32 n;
  } counts[] = { { kAudioUnitScope_Input, 2 }, { kAudioUnitScope_Output, 1 }, { kAudioUnitScope_Global, 1 }, { 4, 0 } };
  for (const Count& c : counts)
  {
    UInt32 n = 99;
    ASSERT_EQ(Get(kAudioUnitProperty_ElementCount, c.scope, 0, &n), noErr);
    EXPECT_EQ(n, c.n) << c.scope;
  }
}

namespace
{
struct FakeHost
{
  Float64 tempo = 0;
  Float64 sample = 0;
  Float32 num = 0;
  UInt32 denom = 0;
};

OSStatus BeatAndTempo(void* user, Float64* beat, Float64* tempo)
{
  EXPECT_EQ(*beat, 0.0);
  EXPECT_EQ(*tempo, 0.0);
  *tempo = ((FakeHost*)user)->tempo;
  return -1;  // ignored
}

OSStatus TimeLocation(void* user, UInt32*, Float32* num, UInt32* denom, Float64*)
{
  *num = ((FakeHost*)user)->num;
  *denom = ((FakeHost*)user)->denom;
  return noErr;
}

OSStatus Transport(void* user, Boolean*, Boolean*, Float64* sample, Boolean*, Float64*, Float64*)
{
  *sample = ((FakeHost*)user)->sample;
  return noErr;
}
}  // namespace

TEST_F(AUProperties, HostCallbacksThroughFakeProcedures)
{
  int num = 3, denom = 5;
  EXPECT_EQ(mPlug->GetTempo(), 120.0);
  EXPECT_EQ(mPlug->GetSamplePos(), 0);
  mPlug->GetTimeSig(&num, &denom);
  EXPECT_EQ(num, 3);
  EXPECT_EQ(denom, 5);

  FakeHost host;
  HostCallbackInfo info = { &host, BeatAndTempo, TimeLocation, Transport };
  ASSERT_EQ(Set(kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, info), noErr);
  host.tempo = 96.5;
  host.sample = 48000.9;
  host.num = 6.0f;
  host.denom = 8;
  EXPECT_EQ(mPlug->GetTempo(), 96.5);
  host.tempo = 0.0;
  EXPECT_EQ(mPlug->GetTempo(), 96.5);  // not positive: the last one stays
  EXPECT_EQ(mPlug->GetSamplePos(), 48000);
  host.sample = 1e300;
  EXPECT_EQ(mPlug->GetSamplePos(), 0);
  mPlug->GetTimeSig(&num, &denom);
  EXPECT_EQ(num, 6);
  EXPECT_EQ(denom, 8);

  // A host with a shorter record: only the words it gave are taken.
  ASSERT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, &info,
                                 2 * sizeof(void*)),
            noErr);
  host.tempo = 140.0;
  host.sample = 10.0;
  EXPECT_EQ(mPlug->GetTempo(), 140.0);
  EXPECT_EQ(mPlug->GetSamplePos(), 0);
  num = denom = 1;
  mPlug->GetTimeSig(&num, &denom);
  EXPECT_EQ(num, 1);
}
