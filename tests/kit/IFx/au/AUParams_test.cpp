#include <gtest/gtest.h>

#include <AudioToolbox/testkit.h>

#include "AUTestUnit.h"
#include "FakeGraphics.h"

#include <CoreFoundation/testkit.h>

using AUParams = AUTestUnit;

TEST_F(AUParams, SetClampsRoundsStepsAndTellsTheEditorWhatCame)
{
  auto log = std::make_shared<std::vector<std::string>>();
  mPlug->AttachGraphics(new FakeGraphics(log));
  log->clear();
  mPlug->mLog.clear();
  struct Case
  {
    AudioUnitParameterID id;
    float sent;
    double stored;
  } cases[] = {
    { TestAUPlug::kGain, 150.0f, 12.0 },        // clamped, not rounded
    { TestAUPlug::kGain, -1.25f, -1.25 },
    { TestAUPlug::kMode, 2.7f, 3.0 },           // rounded to its step
    { TestAUPlug::kMode, 2.2f, 2.0 },
    { TestAUPlug::kMode, 9.0f, 3.0 },
    { TestAUPlug::kSwitch, 0.4f, 0.0 },
    { TestAUPlug::kCount, 4.6f, 5.0 },
  };
  for (const Case& c : cases)
  {
    ASSERT_EQ(AudioUnitSetParameter(mUnit, c.id, kAudioUnitScope_Global, 7, c.sent, 99), noErr);
    EXPECT_EQ(mPlug->GetParam((int)c.id)->Value(), c.stored) << c.id << " " << c.sent;
    AudioUnitParameterValue got = 0;
    ASSERT_EQ(AudioUnitGetParameter(mUnit, c.id, kAudioUnitScope_Global, 3, &got), noErr);
    EXPECT_EQ(got, (float)c.stored);
    char expected[64];
    snprintf(expected, sizeof(expected), "set %d %g plain", (int)c.id, (double)c.sent);
    EXPECT_EQ(log->back(), expected);
  }
  EXPECT_EQ(mPlug->mLog.size(), std::size(cases));  // one change call each

  struct Refusal
  {
    const char* what;
    ComponentResult got, expected;
  } refusals[] = {
    { "set output scope", AudioUnitSetParameter(mUnit, 0, kAudioUnitScope_Output, 0, 1.0f, 0), kAudioUnitErr_InvalidProperty },
    { "set id past the list", AudioUnitSetParameter(mUnit, 4, kAudioUnitScope_Global, 0, 1.0f, 0), kAudioUnitErr_InvalidElement },
    { "set NaN", AudioUnitSetParameter(mUnit, 0, kAudioUnitScope_Global, 0, std::nanf(""), 0), kAudioUnitErr_InvalidParameter },
    { "get input scope", AudioUnitGetParameter(mUnit, 0, kAudioUnitScope_Input, 0, nullptr), kAudioUnitErr_InvalidProperty },
    { "get id past the list", [&] { AudioUnitParameterValue v; return AudioUnitGetParameter(mUnit, 4, 0, 0, &v); }(), kAudioUnitErr_InvalidElement },
    { "get into null", AudioUnitGetParameter(mUnit, 0, 0, 0, nullptr), paramErr },
  };
  for (const Refusal& r : refusals) EXPECT_EQ(r.got, r.expected) << r.what;
  EXPECT_EQ(mPlug->GetParam(0)->Value(), -1.25);

  // The fast procedures do the same.
  AudioUnitSetParameterProc setProc = nullptr;
  ASSERT_EQ(Get(kAudioUnitProperty_FastDispatch, 0, kAudioUnitSetParameterSelect, &setProc), noErr);
  EXPECT_EQ(setProc(mPlug, TestAUPlug::kMode, 0, 0, 0.6f, 0), noErr);
  EXPECT_EQ(mPlug->GetParam(TestAUPlug::kMode)->Value(), 1.0);
  EXPECT_EQ(setProc(mPlug, 17, 0, 0, 0.6f, 0), kAudioUnitErr_InvalidElement);
}

TEST_F(AUParams, EventsAsTheRecorderSeesThem)
{
  AUEventRecorderClear();
  mPlug->BeginInformHostOfParamChange(2);
  mPlug->SetParameterFromGUI(2, 1.0);  // informs the host
  mPlug->EndInformHostOfParamChange(2);
  const std::vector<AUEventRecord> events = AUEventRecorderTake();
  ASSERT_EQ(events.size(), 3u);
  const AudioUnitEventType types[] = { kAudioUnitEvent_BeginParameterChangeGesture, kAudioUnitEvent_ParameterValueChange,
                                       kAudioUnitEvent_EndParameterChangeGesture };
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_EQ(events[i].mEvent.mEventType, types[i]);
    EXPECT_EQ(events[i].mEvent.mArgument.mParameter.mAudioUnit, mUnit);
    EXPECT_EQ(events[i].mEvent.mArgument.mParameter.mParameterID, 2u);
    EXPECT_EQ(events[i].mEvent.mArgument.mParameter.mScope, kAudioUnitScope_Global);
    EXPECT_EQ(events[i].mEvent.mArgument.mParameter.mElement, 0u);
    EXPECT_EQ(events[i].mListener, nullptr);
    EXPECT_EQ(events[i].mObject, nullptr);
  }
  EXPECT_EQ(mPlug->GetParam(2)->Value(), 3.0);
}

TEST_F(AUParams, HostIsIdentifiedFromTheMainBundle)
{
  EXPECT_EQ(mPlug->GetHost(), kHostUnknown);  // this test program has no identifier
  CFTestSetMainBundleIdentifier("com.example.Logic Studio");
  Open();
  EXPECT_EQ(mPlug->GetHost(), kHostLogic);
  CFTestSetMainBundleIdentifier(nullptr);
}
