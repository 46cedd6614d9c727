// What the wrapper asks of the host, against a recording fake host: automation and gestures, time
// information (including hosts that answer oddly or not at all), host identification and MIDI.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "FakeVstHost.h"
#include "VstModule.h"
#include "VstTestPlug.h"

namespace
{
class VstHostTest : public ::testing::Test
{
protected:
  void SetUp() override { Make(FakeVstHost::Callback); }
  void TearDown() override { Close(); }

  void Make(audioMasterCallback callback, bool doesMidi = true)
  {
    Close();
    IFxInstanceInfo info;
    info.mVSTHostCallback = callback;
    VstTestPlugConfig config;
    config.doesMidi = doesMidi;
    mPlug = new VstTestPlug(info, config);
    mHost.Adopt(mPlug->GetAEffect());
  }
  void Close()
  {
    if (mPlug) Dispatch(mPlug->GetAEffect(), effClose);
    mPlug = nullptr;
  }

  FakeVstHost mHost;
  VstTestPlug* mPlug = nullptr;
};

VstMidiEvent MidiEvent(int delta, int status, int d1, int d2)
{
  VstMidiEvent ev;
  memset(&ev, 0, sizeof(ev));
  ev.type = kVstMidiType;
  ev.byteSize = sizeof(ev);
  ev.deltaFrames = delta;
  ev.midiData[0] = (char)status;
  ev.midiData[1] = (char)d1;
  ev.midiData[2] = (char)d2;
  return ev;
}
}  // namespace

TEST_F(VstHostTest, EditorChangesReachTheHostAsAutomationAndGestures)
{
  mPlug->BeginInformHostOfParamChange(2);
  mPlug->SetParameterFromGUI(2, 0.75);
  mPlug->EndInformHostOfParamChange(2);
  const auto calls = mHost.Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].opCode, audioMasterBeginEdit);
  EXPECT_EQ(calls[0].index, 2);
  EXPECT_EQ(calls[1].opCode, audioMasterAutomate);
  EXPECT_EQ(calls[1].index, 2);
  EXPECT_EQ(calls[1].opt, 0.75f);
  EXPECT_EQ(calls[2].opCode, audioMasterEndEdit);
  EXPECT_EQ(calls[2].index, 2);
}

TEST_F(VstHostTest, TimeInformationAndItsOddAnswers)
{
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const struct
  {
    bool given;
    VstInt32 flags;
    double samplePos, tempo;
    int num, denom;
    int wantPos;
    double wantTempo;
    int wantNum, wantDenom;
  } cases[] = {
    { true, kVstTempoValid | kVstTimeSigValid, 4410.0, 128.0, 3, 4, 4410, 128.0, 3, 4 },
    { true, kVstTempoValid | kVstTimeSigValid, 4410.9, 90.5, 7, 8, 4410, 90.5, 7, 8 },
    { true, 0, 100.0, 128.0, 3, 4, 100, 0.0, 0, 0 },  // nothing marked valid
    { false, 0, 0.0, 0.0, 0, 0, 0, 0.0, 0, 0 },      // no time information at all
    { true, kVstTempoValid | kVstTimeSigValid, -1.0, -120.0, -3, 4, 0, 0.0, 0, 0 },
    { true, kVstTempoValid | kVstTimeSigValid, nan, nan, 4, -4, 0, 0.0, 0, 0 },
    { true, kVstTempoValid | kVstTimeSigValid, 3.0e9, inf, 0, 0, 0, 0.0, 0, 0 },
    { true, kVstTempoValid | kVstTimeSigValid, 2147483647.5, 0.0, 0, 0, 2147483647, 0.0, 0, 0 },
  };
  for (const auto& c : cases)
  {
    mHost.mHasTimeInfo = c.given;
    mHost.mTimeInfo.flags = c.flags;
    mHost.mTimeInfo.samplePos = c.samplePos;
    mHost.mTimeInfo.tempo = c.tempo;
    mHost.mTimeInfo.timeSigNumerator = c.num;
    mHost.mTimeInfo.timeSigDenominator = c.denom;
    EXPECT_EQ(mPlug->GetSamplePos(), c.wantPos) << c.samplePos;
    EXPECT_EQ(mPlug->GetTempo(), c.wantTempo) << c.tempo;
    int num = -9, denom = -9;
    mPlug->GetTimeSig(&num, &denom);
    EXPECT_EQ(num, c.wantNum);
    EXPECT_EQ(denom, c.wantDenom);
  }
  // Each query says which part of the information it needs.
  mHost.Clear();
  mPlug->GetSamplePos();
  mPlug->GetTempo();
  int num, denom;
  mPlug->GetTimeSig(&num, &denom);
  const auto calls = mHost.Calls(audioMasterGetTime);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].value, 0);
  EXPECT_EQ(calls[1].value, kVstTempoValid);
  EXPECT_EQ(calls[2].value, kVstTimeSigValid);
  mHost.mHasTimeInfo = true;
  mHost.mTimeInfo = FakeVstHost::DefaultTimeInfo();
  mHost.mTimeInfo.tempo = 120.0;
  mPlug->SetSampleRate(48000.0);
  EXPECT_EQ(mPlug->GetSamplesPerBeat(), 24000.0);
}

TEST_F(VstHostTest, HostIdentificationPacksTheVendorVersion)
{
  const struct
  {
    const char* product;
    VstIntPtr vendorVersion;
    int host;
    int version;
  } cases[] = {
    { "REAPER", 50300, kHostReaper, 0x050300 },
    { "Fake Host", 20503, kHostUnknown, 0x00020503 },
    { "Fake Host", 2503, kHostUnknown, 0x00001903 },
    { "Cubase SX", 0, kHostCubase, 0 },
    { "Ardour", -5, kHostArdour, 0 },
    { "Ardour", (VstIntPtr)1 << 40, kHostArdour, 0 },
    { "", 12345, kHostUnknown, 0 },
  };
  for (const auto& c : cases)
  {
    mHost.mProductString = c.product;
    mHost.mVendorVersion = c.vendorVersion;
    Make(FakeVstHost::Callback);
    mHost.Clear();
    EXPECT_EQ(mPlug->GetHost(), c.host) << c.product;
    EXPECT_EQ(mPlug->GetHostVersion(false), c.version) << c.product << " " << c.vendorVersion;
    // Asked once; an empty product string is not followed by the version question.
    EXPECT_EQ(mHost.Calls(audioMasterGetProductString).size(), 1u);
    EXPECT_EQ(mHost.Calls(audioMasterGetVendorVersion).size(), c.product[0] ? 1u : 0u);
    mPlug->GetHost();
    EXPECT_EQ(mHost.Calls().size(), c.product[0] ? 2u : 1u);
  }
}

TEST_F(VstHostTest, AHostThatFillsTheWholeProductBufferIsCut)
{
  Make([](AEffect*, VstInt32 opCode, VstInt32, VstIntPtr, void* ptr, float) -> VstIntPtr {
    if (opCode == audioMasterGetProductString) memset(ptr, 'a', 256);  // no terminator
    return opCode == audioMasterGetVendorVersion ? 10000 : 0;
  });
  EXPECT_EQ(mPlug->GetHost(), kHostUnknown);
  EXPECT_EQ(mPlug->GetHostVersion(true), 10000);
}

TEST_F(VstHostTest, WithoutAHostCallbackEverythingHasDefaults)
{
  Make(nullptr);
  AEffect* e = mPlug->GetAEffect();
  EXPECT_EQ(mPlug->GetHostCallback(), nullptr);
  EXPECT_EQ(mPlug->GetSamplePos(), 0);
  EXPECT_EQ(mPlug->GetTempo(), 0.0);
  int num = 1, denom = 1;
  mPlug->GetTimeSig(&num, &denom);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(denom, 0);
  EXPECT_EQ(mPlug->GetHost(), kHostUnknown);
  IMidiMsg msg(0, 0x90, 60, 100);
  EXPECT_FALSE(mPlug->SendMidiMsg(&msg));
  Dispatch(e, effOpen);
  mPlug->SetParameterFromGUI(0, 0.5);
  mPlug->BeginInformHostOfParamChange(0);
  float in[4][8] = {}, out[2][8] = {};
  float* ins[4] = { in[0], in[1], in[2], in[3] };
  float* outs[2] = { out[0], out[1] };
  e->processReplacing(e, ins, outs, 8);
  VstMidiEvent ev = MidiEvent(0, 0x90, 1, 2);
  VstEvents list = {};
  list.numEvents = 1;
  list.events[0] = (VstEvent*)&ev;
  EXPECT_EQ(Dispatch(e, effProcessEvents, 0, 0, &list), 1);
  EXPECT_TRUE(mHost.Calls().empty());
}

TEST_F(VstHostTest, MidiInIsEchoedAndOtherEventsPassedBack)
{
  AEffect* e = mPlug->GetAEffect();
  VstMidiEvent noteOn = MidiEvent(5, 0x90, 60, 100);
  noteOn.noteLength = 77;  // not carried over: echoes are new events
  VstMidiEvent cc = MidiEvent(9, 0xB3, 7, 127);
  VstMidiSysexEvent sysex;
  memset(&sysex, 0, sizeof(sysex));
  sysex.type = kVstSysExType;
  sysex.byteSize = sizeof(sysex);
  char dump[3] = { (char)0xF0, 0x7E, (char)0xF7 };
  sysex.dumpBytes = 3;
  sysex.sysexDump = dump;

  // A list of four, past the two pointers the record declares, with a null entry.
  struct
  {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[4];
  } list = { 4, 0, { (VstEvent*)&noteOn, nullptr, (VstEvent*)&sysex, (VstEvent*)&cc } };
  EXPECT_EQ(Dispatch(e, effProcessEvents, 0, 0, &list), 1);

  EXPECT_EQ(mHost.EventListSizes(), (std::vector<VstInt32>{ 1, 1, 1 })) << "one list per event";
  const auto midi = mHost.MidiEvents();
  ASSERT_EQ(midi.size(), 2u);
  EXPECT_EQ(midi[0].type, kVstMidiType);
  EXPECT_EQ(midi[0].byteSize, 32);
  EXPECT_EQ(midi[0].deltaFrames, 5);
  EXPECT_EQ(midi[0].noteLength, 0);
  EXPECT_EQ((unsigned char)midi[0].midiData[0], 0x90);
  EXPECT_EQ(midi[0].midiData[1], 60);
  EXPECT_EQ(midi[0].midiData[2], 100);
  EXPECT_EQ((unsigned char)midi[1].midiData[0], 0xB3);
  EXPECT_EQ(midi[1].deltaFrames, 9);
  const auto others = mHost.OtherEvents();
  ASSERT_EQ(others.size(), 1u);
  EXPECT_EQ(others[0], (const VstEvent*)&sysex) << "passed back unchanged";

  // A list that claims no events, or fewer than none, sends nothing.
  mHost.Clear();
  list.numEvents = -3;
  EXPECT_EQ(Dispatch(e, effProcessEvents, 0, 0, &list), 1);
  EXPECT_TRUE(mHost.Calls().empty());
}

TEST_F(VstHostTest, SendingMidiReportsTheHostsAnswer)
{
  IMidiMsg msg(3, 0x80, 64, 0);
  EXPECT_TRUE(mPlug->SendMidiMsg(&msg));
  mHost.mEventsAnswer = 0;
  EXPECT_FALSE(mPlug->SendMidiMsg(&msg));

  KIT_TypedBuf<IMidiMsg> msgs;
  EXPECT_TRUE(mPlug->SendMidiMsgs(&msgs)) << "an empty list";
  msgs.Resize(3);
  for (int i = 0; i < 3; ++i) msgs.Get()[i] = IMidiMsg(i, 0x90, 60 + i, 1);
  mHost.Clear();
  EXPECT_FALSE(mPlug->SendMidiMsgs(&msgs));
  EXPECT_EQ(mHost.MidiEvents().size(), 3u) << "every message is sent, also after a refusal";
  mHost.mEventsAnswer = 1;
  EXPECT_TRUE(mPlug->SendMidiMsgs(&msgs));
}

TEST_F(VstHostTest, OnlyAMidiPlugInAsksForMidiWhenProcessing)
{
  for (bool doesMidi : { true, false })
  {
    Make(FakeVstHost::Callback, doesMidi);
    AEffect* e = mPlug->GetAEffect();
    float in[4][8] = {}, out[2][8] = {};
    float* ins[4] = { in[0], in[1], in[2], in[3] };
    float* outs[2] = { out[0], out[1] };
    double din[4][8] = {}, dout[2][8] = {};
    double* dins[4] = { din[0], din[1], din[2], din[3] };
    double* douts[2] = { dout[0], dout[1] };
    mHost.Clear();
    e->processReplacing(e, ins, outs, 8);
    e->process(e, ins, outs, 8);
    e->processDoubleReplacing(e, dins, douts, 8);
    EXPECT_EQ(mHost.Calls(audioMasterWantMidi).size(), doesMidi ? 3u : 0u);
    EXPECT_EQ(Dispatch(e, effCanDo, 0, 0, (void*)"receiveVstMidiEvent"), doesMidi ? 1 : 0);
    EXPECT_EQ(Dispatch(e, effCanDo, 0, 0, (void*)"receiveVstTimeInfo"), 1);
  }
}
