#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "AUTestUnit.h"

using AUFormats = AUTestUnit;
using AURender = AUTestUnit;

TEST_F(AUFormats, StreamFormatsByScopeElementChannelsIdFlagsAndRate)
{
  const double nan = std::nan("");
  struct Case
  {
    AudioUnitScope scope;
    AudioUnitElement element;
    UInt32 channels;
    UInt32 formatID;
    UInt32 flags;
    double rate;
    ComponentResult expected;
    UInt32 channelsAfter;  // what the bus reports afterwards
  } cases[] = {
    { kAudioUnitScope_Input, 0, 2, kAudioFormatLinearPCM, 41, 48000, noErr, 2 },
    { kAudioUnitScope_Input, 1, 2, kAudioFormatLinearPCM, 41, 48000, noErr, 2 },
    { kAudioUnitScope_Input, 0, 4, kAudioFormatLinearPCM, 41, 48000, noErr, 4 },   // the widest input layout
    { kAudioUnitScope_Input, 0, 5, kAudioFormatLinearPCM, 41, 48000, kAudioUnitErr_InvalidProperty, 0 },
    { kAudioUnitScope_Input, 2, 2, kAudioFormatLinearPCM, 41, 48000, kAudioUnitErr_InvalidProperty, 0 },
    { kAudioUnitScope_Output, 0, 1, kAudioFormatLinearPCM, 41, 48000, noErr, 1 },
    { kAudioUnitScope_Output, 0, 3, kAudioFormatLinearPCM, 41, 48000, kAudioUnitErr_InvalidProperty, 0 },
    { kAudioUnitScope_Global, 0, 2, kAudioFormatLinearPCM, 41, 48000, noErr, 2 },  // global stands for the output
    { kAudioUnitScope_Output, 1, 2, kAudioFormatLinearPCM, 41, 48000, kAudioUnitErr_InvalidProperty, 0 },
    { 7, 0, 2, kAudioFormatLinearPCM, 41, 48000, kAudioUnitErr_InvalidProperty, 0 },
    { kAudioUnitScope_Output, 0, 0, kAudioFormatLinearPCM, 41, 48000, kAudioUnitErr_InvalidProperty, 0 },
    { kAudioUnitScope_Output, 0, 2, 0x696D6134 /* 'ima4' */, 41, 48000, kAudioUnitErr_InvalidProperty, 0 },
    { kAudioUnitScope_Output, 0, 2, kAudioFormatLinearPCM, 8, 48000, noErr, 2 },     // packed alone
    { kAudioUnitScope_Output, 0, 2, kAudioFormatLinearPCM, 1, 48000, noErr, 2 },     // float alone
    { kAudioUnitScope_Output, 0, 2, kAudioFormatLinearPCM, 4 | 32, 48000, kAudioUnitErr_InvalidProperty, 0 },
    { kAudioUnitScope_Output, 0, 2, kAudioFormatLinearPCM, 41, 0, noErr, 2 },  // accepted; the rate stays
    { kAudioUnitScope_Output, 0, 2, kAudioFormatLinearPCM, 41, -44100, kAudioUnitErr_InvalidProperty, 0 },
    { kAudioUnitScope_Output, 0, 2, kAudioFormatLinearPCM, 41, nan, kAudioUnitErr_InvalidProperty, 0 },
    { kAudioUnitScope_Output, 0, 2, kAudioFormatLinearPCM, 41, INFINITY, kAudioUnitErr_InvalidProperty, 0 },
    { kAudioUnitScope_Output, 0, 2, kAudioFormatLinearPCM, 41, IFxAU::kMaxSampleRate, kAudioUnitErr_InvalidProperty, 0 },
    { kAudioUnitScope_Output, 0, 2, kAudioFormatLinearPCM, 41, 7.3e223, kAudioUnitErr_InvalidProperty, 0 },
  };
  for (const Case& c : cases)
  {
    Open();
    const AudioStreamBasicDescription f = Format(c.channels, c.rate, c.formatID, c.flags);
    EXPECT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, c.scope, c.element, &f, sizeof(f)), c.expected)
      << c.scope << "/" << c.element << " " << c.channels << "ch flags " << c.flags << " rate " << c.rate;
    if (mPlug->GetBus(c.scope, c.element))
    {
      EXPECT_EQ(HostChannels(c.scope, c.element), c.channelsAfter) << c.scope << "/" << c.element;
      Float64 rate = 0;
      Get(kAudioUnitProperty_SampleRate, 0, 0, &rate);
      EXPECT_EQ(rate, c.expected == noErr && c.rate != 0 ? c.rate : 44100.0);
    }
  }
}

TEST_F(AUFormats, RefusedFormatLeavesZeroThenAcceptsAndInitializedChecksBothSides)
{
  AudioStreamBasicDescription bad = Format(2, 44100, 0x61616320 /* 'aac ' */);
  EXPECT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &bad, sizeof(bad)),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(HostChannels(kAudioUnitScope_Output, 0), 0u);
  EXPECT_EQ(SetFormat(kAudioUnitScope_Output, 0, 2), noErr);
  EXPECT_EQ(HostChannels(kAudioUnitScope_Output, 0), 2u);

  ASSERT_EQ(SetFormat(kAudioUnitScope_Input, 0, 2), noErr);
  ASSERT_EQ(SetFormat(kAudioUnitScope_Input, 1, 2), noErr);
  ASSERT_EQ(AudioUnitInitialize(mUnit), noErr);
  // Four inputs with one output is not a layout of the table.
  EXPECT_EQ(SetFormat(kAudioUnitScope_Output, 0, 1), kAudioUnitErr_InvalidProperty);

  // A short format record is never read.
  EXPECT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &bad, 39),
            kAudioUnitErr_InvalidPropertyValue);
}

TEST_F(AUFormats, RateChangeThroughTheFormatResetsTheSignalPath)
{
  mPlug->mLog.clear();
  ASSERT_EQ(SetFormat(kAudioUnitScope_Output, 0, 2, 96000.0), noErr);
  EXPECT_EQ(mPlug->GetSampleRate(), 96000.0);
  EXPECT_EQ(std::count(mPlug->mLog.begin(), mPlug->mLog.end(), "reset"), 1);
  ASSERT_EQ(SetFormat(kAudioUnitScope_Input, 0, 2, 96000.0), noErr);  // same rate: no reset
  EXPECT_EQ(std::count(mPlug->mLog.begin(), mPlug->mLog.end(), "reset"), 1);
}

TEST_F(AURender, PassThroughIsBitExactFromARenderCallback)
{
  RampSource src;
  src.mBase = 0.25f;
  ASSERT_EQ(SetInputCallback(0, RampSource::Callback, &src), noErr);
  EXPECT_EQ(mPlug->GetInputConnection(0)->mInputType, IFxAU::eRenderCallback);
  HostBuffers out(2, 256);
  ASSERT_EQ(Render(out.mList, 256), noErr);
  EXPECT_EQ(src.mCalls, 1);
  EXPECT_EQ(src.mLastBus, 0u);
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < 256; ++i) ASSERT_EQ(out.Out(c)[i], 0.25f + c * 1000.0f + i) << c << " " << i;
  // The callback wrote into the unit's own input scratch, channel after channel.
  ASSERT_EQ(src.mSeenData.size(), 2u);
  EXPECT_EQ(src.mSeenData[0], mPlug->GetInputScratch());
  EXPECT_EQ(src.mSeenData[1], mPlug->GetInputScratch() + 256);
}

// Uninitialising disconnects the core's inputs until the next format or Initialize: they read
// silence, not the last block pulled, nor the scratch it lay in once that is resized.
TEST_F(AURender, UninitializingDisconnectsTheCoresInputs)
{
  RampSource src;
  src.mBase = 0.25f;
  ASSERT_EQ(SetInputCallback(0, RampSource::Callback, &src), noErr);
  HostBuffers out(2, 64);
  ASSERT_EQ(Render(out.mList, 64, 0.0), noErr);
  ASSERT_EQ(out.Out(1)[3], 1003.25f);
  ASSERT_EQ(AudioUnitUninitialize(mUnit), noErr);
  EXPECT_FALSE(mPlug->IsInChannelConnected(0));
  EXPECT_FALSE(mPlug->IsInChannelConnected(1));
  for (int pass = 0; pass < 2; ++pass)
  {
    if (pass == 1)
    {
      ASSERT_EQ(Set<UInt32>(kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, 2048), noErr);
    }
    ASSERT_EQ(Render(out.mList, 64, 64.0 * (pass + 1)), noErr);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < 64; ++i) ASSERT_EQ(out.Out(c)[i], 0.0f) << "pass " << pass << ", " << c << " " << i;
  }
  EXPECT_EQ(src.mCalls, 1);
}

TEST_F(AURender, SidechainBusCallbackGetsItsOwnBusIndex)
{
  RampSource main, side;
  ASSERT_EQ(SetInputCallback(0, RampSource::Callback, &main), noErr);
  ASSERT_EQ(SetInputCallback(1, RampSource::Callback, &side), noErr);
  HostBuffers out(2, 32);
  ASSERT_EQ(Render(out.mList, 32), noErr);
  EXPECT_EQ(main.mLastBus, 0u);
  EXPECT_EQ(side.mLastBus, 1u);
  EXPECT_EQ(side.mSeenData[0], mPlug->GetInputScratch() + 2 * 32);
  EXPECT_TRUE(mPlug->IsInChannelConnected(3));
}

TEST_F(AURender, RepeatedSampleTimeReusesInputsUntilSomethingChanges)
{
  RampSource src;
  ASSERT_EQ(SetInputCallback(0, RampSource::Callback, &src), noErr);
  HostBuffers out(2, 64);
  ASSERT_EQ(Render(out.mList, 64, 1000.0), noErr);
  ASSERT_EQ(Render(out.mList, 64, 1000.0), noErr);
  EXPECT_EQ(src.mCalls, 1);
  ASSERT_EQ(Render(out.mList, 64, 1064.0), noErr);
  EXPECT_EQ(src.mCalls, 2);

  // Each of these makes the next render of the same time pull again.
  struct Change
  {
    const char* what;
    std::function<void()> apply;
  } changes[] = {
    { "block size", [&] { Set<UInt32>(kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, 2048); } },
    { "callback", [&] { SetInputCallback(0, RampSource::Callback, &src); } },
    { "format", [&] { SetFormat(kAudioUnitScope_Input, 0, 2); } },
    { "reset", [&] { AudioUnitReset(mUnit, 0, 0); } },
    { "initialize", [&] { AudioUnitInitialize(mUnit); } },
    { "frame count", [] {} },
  };
  UInt32 frames = 64;
  for (const Change& c : changes)
  {
    const int before = src.mCalls;
    c.apply();
    if (!strcmp(c.what, "frame count")) frames = 32;
    ASSERT_EQ(Render(out.mList, frames, 1064.0), noErr) << c.what;
    EXPECT_EQ(src.mCalls, before + 1) << c.what;
  }
  // A NaN time always pulls.
  const int before = src.mCalls;
  Render(out.mList, 32, std::nan(""));
  Render(out.mList, 32, std::nan(""));
  EXPECT_EQ(src.mCalls, before + 2);
}

TEST_F(AURender, RenderErrors)
{
  RampSource src;
  ASSERT_EQ(SetInputCallback(0, RampSource::Callback, &src), noErr);
  HostBuffers out(2, 1025);
  AudioTimeStamp ts = {};
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  AudioTimeStamp noTime = {};
  AudioUnitRenderActionFlags flags = 0;
  HostBuffers shortOut(2, 64);
  shortOut.mList->mBuffers[1].mDataByteSize = 63 * 4;
  struct Case
  {
    const char* what;
    const AudioTimeStamp* ts;
    UInt32 bus, frames;
    AudioBufferList* list;
    ComponentResult expected;
  } cases[] = {
    { "frames = block size", &ts, 0, 1024, out.mList, noErr },
    { "one frame more", &ts, 0, 1025, out.mList, kAudioUnitErr_InvalidPropertyValue },
    { "no sample time", &noTime, 0, 64, out.mList, kAudioUnitErr_InvalidPropertyValue },
    { "no time stamp", nullptr, 0, 64, out.mList, kAudioUnitErr_InvalidPropertyValue },
    { "bus 1", &ts, 1, 64, out.mList, kAudioUnitErr_InvalidPropertyValue },
    { "no buffer list", &ts, 0, 64, nullptr, kAudioUnitErr_InvalidPropertyValue },
    { "short host buffer", &ts, 0, 64, shortOut.mList, kAudioUnitErr_InvalidPropertyValue },
    { "zero frames", &ts, 0, 0, out.mList, noErr },
  };
  for (const Case& c : cases)
  {
    ts.mSampleTime += 1.0;
    EXPECT_EQ(AudioUnitRender(mUnit, &flags, c.ts, c.bus, c.frames, c.list), c.expected) << c.what;
  }
  EXPECT_EQ(flags, 0u);  // the host's flags are never touched

  // Bypassed: success before any check, buffers untouched, no pull.
  ASSERT_EQ(Set<UInt32>(kAudioUnitProperty_BypassEffect, 0, 0, 1), noErr);
  const int calls = src.mCalls;
  out.mData.assign(out.mData.size(), 7.0f);
  EXPECT_EQ(AudioUnitRender(mUnit, &flags, &noTime, 5, 99999, out.mList), noErr);
  EXPECT_EQ(src.mCalls, calls);
  EXPECT_EQ(out.Out(0)[0], 7.0f);

  // An upstream error comes back unchanged, and the next render of that time pulls again.
  Set<UInt32>(kAudioUnitProperty_BypassEffect, 0, 0, 0);
  src.mResult = -1234;
  ts.mSampleTime = 5000;
  EXPECT_EQ(AudioUnitRender(mUnit, &flags, &ts, 0, 64, out.mList), -1234);
  src.mResult = noErr;
  EXPECT_EQ(AudioUnitRender(mUnit, &flags, &ts, 0, 64, out.mList), noErr);
  EXPECT_EQ(src.mCalls, calls + 2);

  TestAUPlug::sConfig.channelIO = "1-1";
  Open();
  EXPECT_EQ(mPlug->NOutputBuses(), 0);
  EXPECT_EQ(AudioUnitRender(mUnit, &flags, &ts, 0, 64, out.mList), kAudioUnitErr_InvalidPropertyValue);
}

TEST_F(AURender, NullOutputMemoryPointsAtTheScratchAndFewerHostChannelsConnectFewer)
{
  RampSource src;
  ASSERT_EQ(SetInputCallback(0, RampSource::Callback, &src), noErr);
  HostBuffers out(2, 48, false);
  ASSERT_EQ(Render(out.mList, 48), noErr);
  EXPECT_EQ(out.Out(0), mPlug->GetOutputScratch());
  EXPECT_EQ(out.Out(1), mPlug->GetOutputScratch() + 48);
  EXPECT_EQ(out.Out(1)[5], 1005.0f);

  // Output format of 1 channel, host list of 2 buffers: one core output connected.
  ASSERT_EQ(SetFormat(kAudioUnitScope_Output, 0, 1), noErr);
  HostBuffers two(2, 48);
  two.mData.assign(two.mData.size(), -1.0f);
  ASSERT_EQ(Render(two.mList, 48, 48.0), noErr);
  EXPECT_TRUE(mPlug->IsOutChannelConnected(0));
  EXPECT_FALSE(mPlug->IsOutChannelConnected(1));
  EXPECT_EQ(two.Out(0)[3], 3.0f);
  EXPECT_EQ(two.Out(1)[3], -1.0f);
}

TEST_F(AURender, HostChannelsBeyondTheCoreAreNeverTouched)
{
  // The sidechain bus takes 2 host channels; the main bus is fed by a callback that tries to
  // write every buffer it gets. More host output buffers than the core has channels.
  RampSource src;
  ASSERT_EQ(SetFormat(kAudioUnitScope_Input, 0, 4), noErr);  // legal: 4 inputs on one bus
  ASSERT_EQ(SetInputCallback(0, RampSource::Callback, &src), noErr);
  HostBuffers out(6, 32, false);
  ASSERT_EQ(Render(out.mList, 32), noErr);
  ASSERT_EQ(src.mSeenData.size(), 4u);  // channels 0-3 exist in the core
  EXPECT_EQ(src.mSeenData[3], mPlug->GetInputScratch() + 3 * 32);
  EXPECT_EQ(out.Out(1)[2], 1002.0f);
  for (int c = 2; c < 6; ++c)
  {
    ASSERT_NE(out.Out(c), nullptr) << c;
    EXPECT_EQ(out.Out(c)[31], 0.0f) << c;  // silent memory of the unit's own
  }

  // A bus whose host count runs past the core's channels: only the core's are pulled.
  TestAUPlug::sConfig.channelIO = "2-2 3-2 4-2";
  Open();
  ASSERT_EQ(SetFormat(kAudioUnitScope_Input, 1, 3), noErr);
  ASSERT_EQ(SetFormat(kAudioUnitScope_Input, 0, 1), noErr);  // 4 in all: legal, but bus 1 covers 2
  RampSource side;
  ASSERT_EQ(SetInputCallback(1, RampSource::Callback, &side), noErr);
  HostBuffers out2(2, 32);
  ASSERT_EQ(Render(out2.mList, 32), noErr);
  EXPECT_EQ(side.mSeenData.size(), 2u);
}

namespace
{
struct Upstream
{
  int mFastCalls = 0;
  OSStatus mResult = noErr;
};

// A source unit: its entry answers StreamFormat and FastDispatch and renders a constant.
Upstream s_upstream;
bool s_upstreamHasFastProc = true;
bool s_upstreamFormatFails = false;

ComponentResult UpstreamRender(void* storage, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32 bus, UInt32 nFrames,
                               AudioBufferList* io)
{
  Upstream* u = (Upstream*)storage;
  ++u->mFastCalls;
  static float s_data[4][4096];
  for (UInt32 c = 0; c < io->mNumberBuffers; ++c)
  {
    for (UInt32 i = 0; i < nFrames; ++i) s_data[c][i] = 0.5f + (float)bus + (float)c;
    io->mBuffers[c].mData = s_data[c];
  }
  return u->mResult;
}

ComponentResult UpstreamEntry(ComponentParameters* cp, void* storage)
{
  switch (cp->what)
  {
    case kComponentOpenSelect: SetComponentInstanceStorage(ComponentParamAt<ComponentInstance>(cp, 0), (Handle)&s_upstream); return noErr;
    case kComponentCloseSelect: return noErr;
    case kAudioUnitGetPropertySelect:
    {
      const UInt32 id = ComponentParamAt<UInt32>(cp, 1);
      void* data = ComponentParamAt<void*>(cp, 4);
      if (id == kAudioUnitProperty_StreamFormat)
      {
        if (s_upstreamFormatFails) return kAudioUnitErr_InvalidProperty;
        AudioStreamBasicDescription f = MakeTestFormat(2);
        memcpy(data, &f, sizeof(f));
        return noErr;
      }
      if (id == kAudioUnitProperty_FastDispatch && s_upstreamHasFastProc)
      {
        *(AudioUnitRenderProc*)data = UpstreamRender;
        return noErr;
      }
      return kAudioUnitErr_InvalidProperty;
    }
    case kAudioUnitRenderSelect:
      return UpstreamRender(storage, nullptr, nullptr, ComponentParamAt<UInt32>(cp, 3), ComponentParamAt<UInt32>(cp, 4),
                            ComponentParamAt<AudioBufferList*>(cp, 5));
    default: return badComponentSelector;
  }
}
}  // namespace

TEST_F(AURender, ConnectionsWithAndWithoutFastProcedureAndFailingSources)
{
  const ComponentDescription desc = { kAudioUnitType_Generator, 0x55707374, 0x546D6672, 0, 0 };
  Component srcComp = RegisterComponent(&desc, UpstreamEntry, 0, "Test: Upstream");
  AudioUnit src = OpenComponent(srcComp);
  ASSERT_NE(src, nullptr);

  struct Case
  {
    const char* what;
    bool fastProc, formatFails;
    AudioUnitScope scope;
    UInt32 dest;
    AudioUnit source;
    ComponentResult expected;
    IFxAU::EAUInputType kind;
  } cases[] = {
    { "fast", true, false, kAudioUnitScope_Input, 0, src, noErr, IFxAU::eDirectFastProc },
    { "global scope", true, false, kAudioUnitScope_Global, 1, src, noErr, IFxAU::eDirectFastProc },
    { "no fast proc", false, false, kAudioUnitScope_Input, 0, src, noErr, IFxAU::eDirectNoFastProc },
    { "format fails", true, true, kAudioUnitScope_Input, 0, src, kAudioUnitErr_InvalidProperty, IFxAU::eNotConnected },
    { "disconnect", true, false, kAudioUnitScope_Input, 0, nullptr, noErr, IFxAU::eNotConnected },
    { "output scope", true, false, kAudioUnitScope_Output, 0, src, kAudioUnitErr_InvalidProperty, IFxAU::eNotConnected },
    { "bus 2", true, false, kAudioUnitScope_Input, 2, src, kAudioUnitErr_InvalidProperty, IFxAU::eNotConnected },
  };
  for (const Case& c : cases)
  {
    Open();
    s_upstreamHasFastProc = c.fastProc;
    s_upstreamFormatFails = c.formatFails;
    s_upstream = Upstream();
    const AudioUnitConnection conn = { c.source, 1, c.dest };
    EXPECT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_MakeConnection, c.scope, 0, &conn, sizeof(conn)), c.expected)
      << c.what;
    EXPECT_EQ(mPlug->GetInputConnection(c.dest < 2 ? (int)c.dest : 0)->mInputType, c.kind) << c.what;
    if (c.expected != noErr || !c.source) continue;

    HostBuffers out(2, 16);
    ASSERT_EQ(Render(out.mList, 16, 0.0), noErr) << c.what;
    if (c.dest == 0)
    {
      EXPECT_EQ(out.Out(0)[15], 1.5f) << c.what;  // the source's output bus 1, channel 0
      EXPECT_EQ(out.Out(1)[15], 2.5f) << c.what;
    }
    EXPECT_EQ(s_upstream.mFastCalls, 1) << c.what;
    s_upstream.mResult = -77;
    EXPECT_EQ(Render(out.mList, 16, 16.0), -77) << c.what;
  }
  Open();
  const AudioUnitConnection conn = { src, 0, 0 };
  EXPECT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &conn, 8),
            kAudioUnitErr_InvalidPropertyValue);
  CloseComponent(src);
  UnregisterComponent(srcComp);
}

// Uninitialize forgets the formats but keeps the sources the host gave: the next input format, or
// the next Initialize, pulls them again without the host setting them anew.
TEST_F(AURender, SourcesOutliveUninitializeAndArePulledAgain)
{
  const ComponentDescription desc = { kAudioUnitType_Generator, 0x55707374, 0x546D6672, 0, 0 };
  Component srcComp = RegisterComponent(&desc, UpstreamEntry, 0, "Test: Upstream");
  AudioUnit src = OpenComponent(srcComp);
  ASSERT_NE(src, nullptr);
  enum ESource { kCallback, kFast, kNoFast };
  for (ESource source : { kCallback, kFast, kNoFast })
    for (bool byFormat : { true, false })
    {
      Open();
      RampSource ramp;
      ramp.mBase = 0.25f;
      s_upstream = Upstream();
      s_upstreamHasFastProc = source == kFast;
      s_upstreamFormatFails = false;
      const AudioUnitConnection conn = { src, 0, 0 };
      const OSStatus connected =
        source == kCallback
          ? SetInputCallback(0, RampSource::Callback, &ramp)
          : AudioUnitSetProperty(mUnit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &conn, sizeof(conn));
      ASSERT_EQ(connected, noErr);
      const IFxAU::EAUInputType kind = mPlug->GetInputConnection(0)->mInputType;
      ASSERT_EQ(AudioUnitInitialize(mUnit), noErr);
      HostBuffers out(2, 32);
      ASSERT_EQ(Render(out.mList, 32, 0.0), noErr);
      ASSERT_EQ(AudioUnitUninitialize(mUnit), noErr);
      EXPECT_EQ(mPlug->GetInputConnection(0)->mInputType, IFxAU::eNotConnected);
      EXPECT_FALSE(mPlug->IsInChannelConnected(0));

      // A refused format then a good one, or no format at all; then Initialize.
      if (byFormat)
      {
        EXPECT_EQ(SetFormat(kAudioUnitScope_Input, 0, 0), kAudioUnitErr_InvalidProperty);
        EXPECT_EQ(SetFormat(kAudioUnitScope_Input, 0, 2), noErr);
      }
      ASSERT_EQ(AudioUnitInitialize(mUnit), noErr);
      EXPECT_EQ(mPlug->GetInputConnection(0)->mInputType, kind) << source << " " << byFormat;
      out.mData.assign(out.mData.size(), 0.0f);
      ASSERT_EQ(Render(out.mList, 32, 32.0), noErr);
      const float want = source == kCallback ? 1031.25f : 1.5f;  // channel 1, last frame
      EXPECT_EQ(out.Out(1)[31], want) << source << " " << byFormat;
      EXPECT_EQ(source == kCallback ? ramp.mCalls : s_upstream.mFastCalls, 2) << source << " " << byFormat;
    }
  CloseComponent(src);
  UnregisterComponent(srcComp);
}

// An output bus whose format was refused has no channel to write: its render is refused before
// anything is pulled or notified, and the host's buffers keep what they held.
TEST_F(AURender, ARefusedOutputFormatRefusesTheRender)
{
  RampSource src;
  ASSERT_EQ(SetInputCallback(0, RampSource::Callback, &src), noErr);
  ASSERT_EQ(SetFormat(kAudioUnitScope_Output, 0, 3), kAudioUnitErr_InvalidProperty);
  ASSERT_EQ(SetFormat(kAudioUnitScope_Input, 0, 0), kAudioUnitErr_InvalidProperty);
  ASSERT_EQ(AudioUnitInitialize(mUnit), noErr);  // no channels on either side
  static int s_notified = 0;
  s_notified = 0;
  const AURenderCallback notify = [](void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                                     AudioBufferList*) -> OSStatus {
    ++s_notified;
    return noErr;
  };
  ASSERT_EQ(AudioUnitAddRenderNotify(mUnit, notify, nullptr), noErr);
  HostBuffers out(2, 32);
  out.mData.assign(out.mData.size(), 7.0f);
  EXPECT_EQ(Render(out.mList, 32), kAudioUnitErr_InvalidPropertyValue);
  for (float v : out.mData) ASSERT_EQ(v, 7.0f);
  EXPECT_EQ(src.mCalls, 0);
  EXPECT_EQ(s_notified, 0);

  ASSERT_EQ(AudioUnitUninitialize(mUnit), noErr);
  ASSERT_EQ(SetFormat(kAudioUnitScope_Output, 0, 2), noErr);
  ASSERT_EQ(AudioUnitInitialize(mUnit), noErr);
  EXPECT_EQ(Render(out.mList, 32, 32.0), noErr);
  EXPECT_EQ(out.Out(1)[31], 1031.0f);
  EXPECT_EQ(s_notified, 2);
}

TEST_F(AURender, MaximumFramesSizesTheScratchOrIsRefused)
{
  ASSERT_EQ(Set<UInt32>(kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, 512), noErr);
  UInt32 frames = 0;
  EXPECT_EQ(Get(kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, &frames), noErr);
  EXPECT_EQ(frames, 512u);
  HostBuffers out(2, 513);
  EXPECT_EQ(Render(out.mList, 513), kAudioUnitErr_InvalidPropertyValue);
  for (UInt32 bad : { 0u, 0x7FFFFFFFu, 0xFFFFFFFFu })
  {
    EXPECT_EQ(Set<UInt32>(kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, bad), kAudioUnitErr_InvalidPropertyValue) << bad;
    EXPECT_EQ(mPlug->GetBlockSize(), 512) << bad;
  }
  EXPECT_EQ(Render(out.mList, 512), noErr);
}

// A unit connected to itself, or two units pulling from each other, would pull forever: the
// render that comes back into a unit is answered with an error, which ends the pull.
TEST_F(AURender, ARenderThatComesBackIntoItsUnitIsAnError)
{
  const AudioUnitConnection self = { mUnit, 0, 0 };
  ASSERT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &self, sizeof(self)),
            noErr);
  HostBuffers out(2, 16);
  EXPECT_EQ(Render(out.mList, 16, 0.0), kAudioUnitErr_CannotDoInCurrentContext);
  EXPECT_EQ(Render(out.mList, 16, 16.0), kAudioUnitErr_CannotDoInCurrentContext) << "and again: nothing stays stuck";

  AudioUnit other = nullptr;
  ASSERT_EQ(OpenAComponent(mComponent, &other), noErr);
  const AudioUnitConnection fromOther = { other, 0, 0 }, fromThis = { mUnit, 0, 0 };
  ASSERT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &fromOther,
                                 sizeof(fromOther)),
            noErr);
  ASSERT_EQ(AudioUnitSetProperty(other, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &fromThis,
                                 sizeof(fromThis)),
            noErr);
  EXPECT_EQ(Render(out.mList, 16, 32.0), kAudioUnitErr_CannotDoInCurrentContext);

  // Broken up, the chain renders again.
  const AudioUnitConnection none = { nullptr, 0, 0 };
  ASSERT_EQ(AudioUnitSetProperty(other, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &none, sizeof(none)),
            noErr);
  EXPECT_EQ(Render(out.mList, 16, 48.0), noErr);
  CloseComponent(other);
}
