#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <AudioToolbox/AudioToolbox.h>
#include <AudioToolbox/testkit.h>
#include <AudioUnit/AudioUnit.h>

namespace
{
// An entry that records what reaches it and keeps a counter as its instance storage.
struct Seen
{
  SInt16 what;
  std::vector<uintptr_t> args;
  Handle storage;
};
std::vector<Seen> s_seen;
ComponentResult s_openResult = noErr;

ComponentResult RecordingEntry(ComponentParameters* cp, void* storage)
{
  Seen s{ cp->what, {}, (Handle)storage };
  for (int i = 1; i <= (int)(cp->paramSize / sizeof(uintptr_t)); ++i) s.args.push_back(cp->params[i]);
  s_seen.push_back(s);
  ComponentInstance self = ComponentParamAt<ComponentInstance>(cp, 0);
  if (cp->what == kComponentOpenSelect && s_openResult == noErr) SetComponentInstanceStorage(self, (Handle)new int(7));
  if (cp->what == kComponentOpenSelect) return s_openResult;
  if (cp->what == kComponentCloseSelect) delete (int*)storage;
  return 100 + cp->what;
}

const ComponentDescription kDesc = { kAudioUnitType_Effect, 0x54657374 /* 'Test' */, 0x4B76616E /* 'Kvan' */, 0, 0 };

class Components : public ::testing::Test
{
protected:
  void SetUp() override
  {
    s_seen.clear();
    s_openResult = noErr;
    mComponent = RegisterComponent(&kDesc, RecordingEntry, 0, "Test: Recorder");
  }
  void TearDown() override { EXPECT_EQ(UnregisterComponent(mComponent), noErr); }
  Component mComponent = nullptr;
};
}  // namespace

TEST_F(Components, OpenCallAndCloseThroughTheEntry)
{
  ComponentInstance ci = nullptr;
  ASSERT_EQ(OpenAComponent(mComponent, &ci), noErr);
  ASSERT_NE(ci, nullptr);
  ASSERT_EQ(s_seen.size(), 1u);
  EXPECT_EQ(s_seen[0].what, kComponentOpenSelect);
  EXPECT_EQ(s_seen[0].storage, nullptr);
  int* storage = (int*)GetComponentInstanceStorage(ci);
  ASSERT_NE(storage, nullptr);
  EXPECT_EQ(*storage, 7);

  // Arguments arrive in call order, one slot each; a float travels by its bits.
  UInt32 size = 0;
  Boolean writable = 0;
  EXPECT_EQ(AudioUnitGetPropertyInfo(ci, 8, kAudioUnitScope_Input, 1, &size, &writable), 100 + kAudioUnitGetPropertyInfoSelect);
  EXPECT_EQ(AudioUnitSetParameter(ci, 3, kAudioUnitScope_Global, 0, 0.75f, 64), 100 + kAudioUnitSetParameterSelect);
  ASSERT_EQ(s_seen.size(), 3u);
  EXPECT_EQ(s_seen[1].storage, (Handle)storage);
  EXPECT_EQ(s_seen[1].args, (std::vector<uintptr_t>{ 8, 1, 1, (uintptr_t)&size, (uintptr_t)&writable }));
  ComponentParameters cp = {};
  cp.params[5] = s_seen[2].args[3];
  cp.params[6] = s_seen[2].args[4];
  EXPECT_EQ(ComponentParamAt<Float32>(&cp, 5), 0.75f);
  EXPECT_EQ(ComponentParamAt<UInt32>(&cp, 6), 64u);

  ComponentDescription d = {};
  EXPECT_EQ(GetComponentInfo((Component)(void*)ci, &d, nullptr, nullptr, nullptr), noErr);
  EXPECT_EQ(d.componentSubType, kDesc.componentSubType);
  EXPECT_EQ(GetComponentInfo(mComponent, &d, nullptr, nullptr, nullptr), noErr);
  EXPECT_EQ(d.componentManufacturer, kDesc.componentManufacturer);

  EXPECT_EQ(CloseComponent(ci), noErr + 100 + kComponentCloseSelect);
  EXPECT_EQ(s_seen.back().what, kComponentCloseSelect);
  EXPECT_EQ(s_seen.back().storage, (Handle)storage);
}

TEST_F(Components, FailedOpenLeavesNothingOpen)
{
  s_openResult = memFullErr;
  ComponentInstance ci = (ComponentInstance)0x1;
  EXPECT_EQ(OpenAComponent(mComponent, &ci), memFullErr);
  EXPECT_EQ(ci, nullptr);
  ASSERT_EQ(s_seen.size(), 2u);
  EXPECT_EQ(s_seen[1].what, kComponentCloseSelect);
  EXPECT_EQ(s_seen[1].storage, nullptr);
  EXPECT_EQ(OpenComponent(nullptr), nullptr);
}

TEST_F(Components, LookupByDescriptionWithWildcards)
{
  const ComponentDescription other = { kAudioUnitType_Effect, 0x4F746872, 0x4B76616E, 0, 0 };
  Component second = RegisterComponent(&other, RecordingEntry, 0, nullptr);
  const ComponentDescription anyEffect = { kAudioUnitType_Effect, 0, 0, 0, 0 };
  const ComponentDescription exact = other;
  const ComponentDescription none = { kAudioUnitType_Output, 0, 0, 0, 0 };
  EXPECT_GE(CountComponents(&anyEffect), 2);
  EXPECT_EQ(CountComponents(&none), 0);
  EXPECT_EQ(FindNextComponent(nullptr, &exact), second);
  EXPECT_EQ(FindNextComponent(second, &exact), nullptr);
  Component first = FindNextComponent(nullptr, &kDesc);
  EXPECT_EQ(first, mComponent);
  EXPECT_EQ(UnregisterComponent(second), noErr);
  EXPECT_EQ(UnregisterComponent(second), invalidComponentID);
  EXPECT_EQ(CountComponents(&exact), 0);
}

TEST(ComponentHandles, BadHandlesAreRefused)
{
  EXPECT_EQ(AudioUnitInitialize(nullptr), badComponentInstance);
  ComponentInstanceRecord fake = {};
  EXPECT_EQ(AudioUnitInitialize(&fake), badComponentInstance);
  EXPECT_EQ(GetComponentInstanceStorage(&fake), nullptr);
  SetComponentInstanceStorage(&fake, (Handle)&fake);
  EXPECT_EQ(fake.mStorage, nullptr);
  ComponentDescription d;
  EXPECT_EQ(GetComponentInfo(nullptr, &d, nullptr, nullptr, nullptr), invalidComponentID);
  EXPECT_EQ(CloseComponent(nullptr), invalidComponentID);
  const ComponentDescription desc = { 1, 2, 3, 0, 0 };
  EXPECT_EQ(RegisterComponent(&desc, nullptr, 0, "no entry"), nullptr);
}

TEST_F(Components, EventsReachTheOpenersRecorder)
{
  AUEventRecorderClear();
  ComponentInstance ci = OpenComponent(mComponent);
  ASSERT_NE(ci, nullptr);
  AudioUnitEvent e = {};
  e.mEventType = kAudioUnitEvent_BeginParameterChangeGesture;
  e.mArgument.mParameter = { ci, 5, kAudioUnitScope_Global, 0 };
  EXPECT_EQ(AUEventListenerNotify(nullptr, nullptr, &e), noErr);
  EXPECT_EQ(AUEventListenerNotify(nullptr, nullptr, nullptr), paramErr);
  // An instance whose sink is another process's delivers there.
  static std::vector<AudioUnitEventType> s_elsewhere;
  ComponentEventSinkProc saved = ci->mEventSink;
  ci->mEventSink = [](void*, void*, const void* ev) -> OSStatus {
    s_elsewhere.push_back(((const AudioUnitEvent*)ev)->mEventType);
    return noErr;
  };
  e.mEventType = kAudioUnitEvent_EndParameterChangeGesture;
  AUEventListenerNotify(nullptr, nullptr, &e);
  ci->mEventSink = saved;

  const std::vector<AUEventRecord> got = AUEventRecorderTake();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].mEvent.mEventType, kAudioUnitEvent_BeginParameterChangeGesture);
  EXPECT_EQ(got[0].mEvent.mArgument.mParameter.mAudioUnit, ci);
  EXPECT_EQ(got[0].mEvent.mArgument.mParameter.mParameterID, 5u);
  EXPECT_EQ(s_elsewhere, std::vector<AudioUnitEventType>{ kAudioUnitEvent_EndParameterChangeGesture });
  EXPECT_TRUE(AUEventRecorderTake().empty());
  CloseComponent(ci);
}

TEST(AudioUnitRecords, SizesOnThisTarget)
{
  // Records that hold pointers grow past their 32-bit sizes; the rest keep them.
  EXPECT_EQ(sizeof(AudioStreamBasicDescription), 40u);
  EXPECT_EQ(sizeof(ComponentDescription), 20u);
  EXPECT_EQ(sizeof(AUChannelInfo), 4u);
  EXPECT_EQ(sizeof(AudioUnitConnection), 16u);
  EXPECT_EQ(sizeof(AURenderCallbackStruct), 16u);
  EXPECT_EQ(sizeof(HostCallbackInfo), 32u);
  EXPECT_EQ(sizeof(AUPreset), 16u);
  EXPECT_EQ(sizeof(AudioUnitCocoaViewInfo), 16u);
  EXPECT_EQ(sizeof(AudioUnitParameterInfo), 104u);
  EXPECT_EQ((UInt32)(kAudioUnitParameterFlag_IsWritable | kAudioUnitParameterFlag_IsReadable |
                     kAudioUnitParameterFlag_HasCFNameString | kAudioUnitParameterFlag_CFNameRelease),
            0xC8000010u);
  EXPECT_LT(badComponentSelector, 0);
  EXPECT_EQ(badComponentSelector, -2147450878);
  EXPECT_EQ(kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved, 41u);
}
