#include <gtest/gtest.h>

#include <string>
#include <vector>

#define TEST_AU_PLUG_DEFINE_MAKEPLUG
#include "AUTestUnit.h"

using AUEntry = AUTestUnit;

namespace
{
std::vector<std::string> s_calls;

void Listener(void* refCon, AudioUnit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement)
{
  s_calls.push_back(std::string((const char*)refCon) + " " + std::to_string(id) + "/" + std::to_string(scope));
}

void OtherListener(void* refCon, AudioUnit, AudioUnitPropertyID id, AudioUnitScope, AudioUnitElement)
{
  s_calls.push_back(std::string("other ") + (const char*)refCon + " " + std::to_string(id));
}

OSStatus Notify(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32, UInt32, AudioBufferList*)
{
  s_calls.push_back(std::string((const char*)refCon) + (*flags == kAudioUnitRenderAction_PreRender ? " pre" : " post"));
  return noErr;
}
}  // namespace

TEST_F(AUEntry, CanDoOverTheSelectorRange)
{
  const std::vector<int> yes = { 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 14, 15, 16, 17 };
  for (int s = -10; s <= 300; ++s)
  {
    const bool expected = std::find(yes.begin(), yes.end(), s) != yes.end();
    EXPECT_EQ(CallComponentSelector(mUnit, kComponentCanDoSelect, (SInt16)s), expected ? 1 : 0) << s;
  }
  EXPECT_EQ(CallComponentSelector(mUnit, kComponentCanDoSelect, (UInt32)0xFFFFFFFF), 0);
}

TEST_F(AUEntry, EverySelectorsResult)
{
  UInt32 size = 0;
  Boolean writable = 1;
  AudioUnitParameterValue value = 0;
  NoteInstanceID note = 0;
  MusicDeviceNoteParams noteParams = { 2, 61.7f, 100.0f, {} };
  struct Case
  {
    const char* what;
    ComponentResult got;
    ComponentResult expected;
  } cases[] = {
    { "version", CallComponentSelector(mUnit, kComponentVersionSelect), 0x00010203 },
    { "initialize", AudioUnitInitialize(mUnit), noErr },
    { "uninitialize", AudioUnitUninitialize(mUnit), noErr },
    { "info", AudioUnitGetPropertyInfo(mUnit, kAudioUnitProperty_SampleRate, 0, 0, &size, &writable), noErr },
    { "info nulls", AudioUnitGetPropertyInfo(mUnit, kAudioUnitProperty_SampleRate, 0, 0, nullptr, nullptr), noErr },
    { "get param", AudioUnitGetParameter(mUnit, 0, kAudioUnitScope_Global, 0, &value), noErr },
    { "set param", AudioUnitSetParameter(mUnit, 0, kAudioUnitScope_Global, 0, -12.0f, 0), noErr },
    { "reset", AudioUnitReset(mUnit, 77, 99), noErr },
    { "midi", MusicDeviceMIDIEvent(mUnit, 0x90, 60, 100, 12), noErr },
    { "sysex", CallComponentSelector(mUnit, kMusicDeviceSysExSelect, (const UInt8*)nullptr, (UInt32)0), badComponentSelector },
    { "prepare", CallComponentSelector(mUnit, kMusicDevicePrepareInstrumentSelect, (UInt32)0), noErr },
    { "release", CallComponentSelector(mUnit, kMusicDeviceReleaseInstrumentSelect, (UInt32)0), noErr },
    { "start note", MusicDeviceStartNote(mUnit, 0, 0, &note, 0, &noteParams), noErr },
    { "start note nulls", MusicDeviceStartNote(mUnit, 0, 0, nullptr, 0, nullptr), noErr },
    { "stop note", MusicDeviceStopNote(mUnit, 0, 61, 0), noErr },
    { "unknown 8", CallComponentSelector(mUnit, 8), badComponentSelector },
    { "unknown 300", CallComponentSelector(mUnit, 300), badComponentSelector },
    { "register", CallComponentSelector(mUnit, kComponentRegisterSelect), badComponentSelector },
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
  EXPECT_EQ(size, 8u);
  EXPECT_TRUE(writable);
  EXPECT_EQ(value, -6.0f);
  EXPECT_EQ(note, 61u);
  EXPECT_EQ(mPlug->GetParam(0)->Value(), -12.0);
  EXPECT_NE(std::find(mPlug->mLog.begin(), mPlug->mLog.end(), "midi 144 60 100 @12"), mPlug->mLog.end());
  // A failing selector still releases the instance mutex.
  EXPECT_EQ(mPlug->GetMutex()->LockCount(), -1);
}

TEST_F(AUEntry, InitializeAgainstLayouts)
{
  // Host channel counts for the input buses (-1 unset) and the output bus, and the answer.
  struct Case
  {
    int in0, in1, out;
    ComponentResult expected;
  } cases[] = {
    { -1, -1, -1, noErr }, { 1, -1, 1, noErr }, { 2, -1, 1, noErr }, { 2, -1, 2, noErr },
    { 3, -1, 2, noErr },   { 2, 1, 2, noErr },   { 2, 2, 2, noErr },  { 3, -1, 1, badComponentSelector },
    { 1, -1, 2, badComponentSelector }, { 2, 2, 1, badComponentSelector },
  };
  for (const Case& c : cases)
  {
    Open();
    if (c.in0 >= 0) { ASSERT_EQ(SetFormat(kAudioUnitScope_Input, 0, (UInt32)c.in0), noErr); }
    if (c.in1 >= 0) { ASSERT_EQ(SetFormat(kAudioUnitScope_Input, 1, (UInt32)c.in1), noErr); }
    if (c.out >= 0) { ASSERT_EQ(SetFormat(kAudioUnitScope_Output, 0, (UInt32)c.out), noErr); }
    mPlug->mLog.clear();
    EXPECT_EQ(AudioUnitInitialize(mUnit), c.expected) << c.in0 << " " << c.in1 << " " << c.out;
    EXPECT_EQ(mPlug->IsActive(), c.expected == noErr);
    if (c.expected == noErr) EXPECT_EQ(mPlug->mLog.back(), "activate");
    else EXPECT_TRUE(mPlug->mLog.empty());
  }
  // A unit whose layout table has only "2-2": both sides at 0 still pass.
  TestAUPlug::sConfig.channelIO = "2-2";
  Open();
  ASSERT_EQ(SetFormat(kAudioUnitScope_Input, 0, 2), noErr);
  EXPECT_EQ(AudioUnitInitialize(mUnit), noErr);
  EXPECT_EQ(AudioUnitUninitialize(mUnit), noErr);
  EXPECT_EQ(HostChannels(kAudioUnitScope_Input, 0), 2u);  // unset again: the plug channel count
  EXPECT_EQ(mPlug->mLog.back(), "deactivate");
}

TEST_F(AUEntry, ListenersAreKeptOncePerIdAndProcedure)
{
  s_calls.clear();
  char a[] = "a", b[] = "b";
  EXPECT_EQ(AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_SampleRate, Listener, a), noErr);
  EXPECT_EQ(AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_SampleRate, Listener, b), noErr);  // same id and proc
  EXPECT_EQ(AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_SampleRate, OtherListener, b), noErr);
  EXPECT_EQ(AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_BypassEffect, Listener, b), noErr);
  EXPECT_EQ(AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_BypassEffect, nullptr, b), paramErr);
  const Float64 rate = 48000.0;
  // Listeners hear a set before it is looked at, refused ones included.
  EXPECT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_SampleRate, 77, 0, &rate, sizeof(rate)), noErr);
  EXPECT_EQ(s_calls, (std::vector<std::string>{ "a 2/77", "other b 2" }));

  s_calls.clear();
  EXPECT_EQ(AudioUnitRemovePropertyListenerWithUserData(mUnit, kAudioUnitProperty_SampleRate, OtherListener, a), noErr);
  EXPECT_EQ(AudioUnitRemovePropertyListener(mUnit, kAudioUnitProperty_SampleRate, Listener), noErr);
  EXPECT_EQ(AudioUnitRemovePropertyListener(mUnit, kAudioUnitProperty_SampleRate, Listener), noErr);  // gone already
  AudioUnitSetProperty(mUnit, kAudioUnitProperty_SampleRate, 0, 0, &rate, sizeof(rate));
  EXPECT_EQ(s_calls, (std::vector<std::string>{ "other b 2" }));
  EXPECT_EQ(AudioUnitRemovePropertyListenerWithUserData(mUnit, kAudioUnitProperty_SampleRate, OtherListener, b), noErr);
  s_calls.clear();
  AudioUnitSetProperty(mUnit, kAudioUnitProperty_SampleRate, 0, 0, &rate, sizeof(rate));
  EXPECT_TRUE(s_calls.empty());

  // The latency change tells the latency listeners before the value changes.
  static double s_seenLatency = -1;
  AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_Latency, [](void* unit, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {
    Float64 l = 0;
    UInt32 size = sizeof(l);
    AudioUnitGetProperty((AudioUnit)unit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &l, &size);
    s_seenLatency = l;
  }, mUnit);
  mPlug->SetLatency(441);
  EXPECT_EQ(s_seenLatency, 0.0);
  Float64 latency = 0;
  EXPECT_EQ(Get(kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &latency), noErr);
  EXPECT_DOUBLE_EQ(latency, 441.0 / 48000.0);
}

TEST_F(AUEntry, RenderNotificationsKeepDuplicatesAndRemoveByProcedure)
{
  s_calls.clear();
  char a[] = "a", b[] = "b";
  EXPECT_EQ(AudioUnitAddRenderNotify(mUnit, Notify, a), noErr);
  EXPECT_EQ(AudioUnitAddRenderNotify(mUnit, Notify, b), noErr);
  EXPECT_EQ(AudioUnitAddRenderNotify(mUnit, nullptr, b), paramErr);
  HostBuffers out(1, 16);
  ASSERT_EQ(Render(out.mList, 16), noErr);
  EXPECT_EQ(s_calls, (std::vector<std::string>{ "a pre", "b pre", "a post", "b post" }));
  s_calls.clear();
  EXPECT_EQ(AudioUnitRemoveRenderNotify(mUnit, Notify, b), noErr);  // removes the first, added with a
  ASSERT_EQ(Render(out.mList, 16, 16.0), noErr);
  EXPECT_EQ(s_calls, (std::vector<std::string>{ "b pre", "b post" }));
  EXPECT_EQ(AudioUnitRemoveRenderNotify(mUnit, Notify, nullptr), noErr);
  EXPECT_EQ(AudioUnitRemoveRenderNotify(mUnit, Notify, nullptr), noErr);
}

TEST_F(AUEntry, ScheduleParametersStopsAtTheFirstError)
{
  AudioUnitParameterEvent events[4] = {};
  events[0].eventType = kParameterEvent_Immediate;
  events[0].parameter = TestAUPlug::kGain;
  events[0].eventValues.immediate.value = 3.0f;
  events[1].eventType = kParameterEvent_Ramped;
  events[1].parameter = TestAUPlug::kCount;
  events[1].eventValues.ramp = { 0, 10, 1.0f, 9.0f };
  events[2] = events[0];
  events[2].scope = kAudioUnitScope_Output;
  events[3] = events[0];
  events[3].eventValues.immediate.value = 9.0f;
  EXPECT_EQ(AudioUnitScheduleParameters(mUnit, events, 4), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(mPlug->GetParam(TestAUPlug::kGain)->Value(), 3.0);
  EXPECT_EQ(mPlug->GetParam(TestAUPlug::kCount)->Value(), 3.0);  // ramps are skipped
  EXPECT_EQ(AudioUnitScheduleParameters(mUnit, nullptr, 0), noErr);
  EXPECT_EQ(AudioUnitScheduleParameters(mUnit, nullptr, 2), paramErr);
}

TEST_F(AUEntry, OpenPrunesUnfilledPresetsAndCloseWithoutStorageIsHarmless)
{
  EXPECT_EQ(mPlug->NPresets(), 3);
  ComponentParameters cp = {};
  cp.what = kComponentCloseSelect;
  EXPECT_EQ(IFxAU::IFxAUEntry(&cp, nullptr), noErr);
  cp.what = kAudioUnitResetSelect;
  EXPECT_EQ(IFxAU::IFxAUEntry(&cp, nullptr), badComponentInstance);
  EXPECT_EQ(std::string(mPlug->GetBundleID()), "com.example.testau");
  EXPECT_EQ(std::string(mPlug->GetCocoaViewFactoryClassName()), "Test_View");
}
