// Audio through the effect record's process callbacks, and the channel set-up around it.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "FakeGraphics.h"
#include "FakeVstHost.h"
#include "HostedVstPlug.h"
#include "VstModule.h"
#include "VstTestPlug.h"

namespace
{
template <class T>
struct Buffers
{
  std::vector<std::vector<T>> data;
  std::vector<T*> ptrs;
  Buffers(int nChannels, int nFrames, double seed)
  {
    for (int c = 0; c < nChannels; ++c)
    {
      std::vector<T> ch((size_t)nFrames);
      for (int s = 0; s < nFrames; ++s) ch[(size_t)s] = (T)std::sin(seed + 0.37 * c + 0.011 * s);
      data.push_back(ch);
    }
    for (auto& ch : data) ptrs.push_back(ch.data());
  }
  T** Get() { return ptrs.data(); }
};

// What the test plug-in computes for output c, sample s.
template <class T>
T Expected(const Buffers<T>& in, int c, int s, bool withSidechain = true)
{
  const double side = withSidechain ? 0.25 * (double)in.data[(size_t)c + 2][(size_t)s] : 0.0;
  return (T)(0.5 * (double)in.data[(size_t)c][(size_t)s] + side);
}

class VstProcessTest : public ::testing::Test
{
protected:
  AEffect* Make(const VstTestPlugConfig& c = VstTestPlugConfig())
  {
    mPlug = MakeHostedVstPlug<VstTestPlug>(mHost, c);
    return mPlug->GetAEffect();
  }
  void TearDown() override
  {
    if (mPlug) Dispatch(mPlug->GetAEffect(), effClose);
  }

  FakeVstHost mHost;
  VstTestPlug* mPlug = nullptr;
};
}  // namespace

TEST_F(VstProcessTest, ReplacingAccumulatingAndDoubleAtOddFrameCounts)
{
  AEffect* e = Make();
  Dispatch(e, effOpen);
  Dispatch(e, effMainsChanged, 0, 1);
  for (int nFrames : { 1, 7, 333, 1023, 1024, 1025, 3001 })
  {
    Buffers<float> in(4, nFrames, nFrames), out(2, nFrames, 99.0);
    e->processReplacing(e, in.Get(), out.Get(), nFrames);
    for (int c = 0; c < 2; ++c)
      for (int s = 0; s < nFrames; ++s) ASSERT_EQ(out.data[c][s], Expected(in, c, s)) << nFrames << " " << c << " " << s;

    Buffers<float> acc(2, nFrames, 5.0);
    const Buffers<float> before = acc;
    e->process(e, in.Get(), acc.Get(), nFrames);
    for (int c = 0; c < 2; ++c)
      for (int s = 0; s < nFrames; ++s)
        ASSERT_EQ(acc.data[c][s], before.data[c][s] + Expected(in, c, s)) << nFrames << " " << c << " " << s;

    Buffers<double> din(4, nFrames, nFrames), dout(2, nFrames, 7.0);
    e->processDoubleReplacing(e, din.Get(), dout.Get(), nFrames);
    for (int c = 0; c < 2; ++c)
      for (int s = 0; s < nFrames; ++s) ASSERT_EQ(dout.data[c][s], Expected(din, c, s));
  }
}

TEST_F(VstProcessTest, InPlaceBuffers)
{
  AEffect* e = Make();
  const int n = 517;
  Buffers<float> io(4, n, 1.0);
  const Buffers<float> original = io;
  float* outs[2] = { io.ptrs[0], io.ptrs[1] };
  e->processReplacing(e, io.Get(), outs, n);
  for (int c = 0; c < 2; ++c)
    for (int s = 0; s < n; ++s) ASSERT_EQ(io.data[c][s], Expected(original, c, s));

  Buffers<double> dio(4, n, 2.0);
  const Buffers<double> doriginal = dio;
  double* douts[2] = { dio.ptrs[0], dio.ptrs[1] };
  e->processDoubleReplacing(e, dio.Get(), douts, n);
  for (int c = 0; c < 2; ++c)
    for (int s = 0; s < n; ++s) ASSERT_EQ(dio.data[c][s], Expected(doriginal, c, s));
}

TEST_F(VstProcessTest, FramesBeyondTheBlockSizeRunInSubBlocks)
{
  AEffect* e = Make();
  Dispatch(e, effSetBlockSize, 0, 64);
  const int n = 1001;
  Buffers<float> in(4, n, 3.0), out(2, n, 0.0);
  e->processReplacing(e, in.Get(), out.Get(), n);
  EXPECT_EQ(mPlug->mMaxFrames, 64);
  EXPECT_EQ(mPlug->mProcessCalls, 16);
  for (int c = 0; c < 2; ++c)
    for (int s = 0; s < n; ++s) ASSERT_EQ(out.data[c][s], Expected(in, c, s));

  // Block sizes no buffer can be made for are refused; the last good one stays.
  for (VstIntPtr bad : { (VstIntPtr)0, (VstIntPtr)-64, (VstIntPtr)1 << 40 }) Dispatch(e, effSetBlockSize, 0, bad);
  EXPECT_EQ(mPlug->GetBlockSize(), 64);
}

TEST_F(VstProcessTest, EmptyCallsAndMissingBuffersWriteNothing)
{
  AEffect* e = Make();
  Buffers<float> in(4, 16, 1.0), out(2, 16, 4.0);
  const Buffers<float> before = out;
  e->processReplacing(e, in.Get(), out.Get(), 0);
  e->processReplacing(e, in.Get(), out.Get(), -5);
  e->process(e, in.Get(), out.Get(), -1);
  EXPECT_EQ(out.data, before.data);
  EXPECT_EQ(mPlug->mProcessCalls, 0);

  // No input buffers at all: the plug-in hears silence. No output buffers: nothing is written.
  e->processReplacing(e, nullptr, out.Get(), 16);
  for (int c = 0; c < 2; ++c)
    for (float v : out.data[c]) EXPECT_EQ(v, 0.0f);
  e->processReplacing(e, in.Get(), nullptr, 16);
}

TEST_F(VstProcessTest, SpeakerArrangementsConnectChannels)
{
  AEffect* e = Make();
  VstSpeakerArrangement stereoIn, monoOut;
  memset(&stereoIn, 0, sizeof(stereoIn));
  memset(&monoOut, 0, sizeof(monoOut));
  stereoIn.type = kSpeakerArrStereo;
  stereoIn.numChannels = 2;
  monoOut.numChannels = 1;
  EXPECT_EQ(Dispatch(e, effSetSpeakerArrangement, 0, (VstIntPtr)&stereoIn, &monoOut), 1);
  EXPECT_TRUE(mPlug->IsInChannelConnected(1));
  EXPECT_FALSE(mPlug->IsInChannelConnected(2));
  EXPECT_FALSE(mPlug->IsInChannelConnected(3));
  EXPECT_FALSE(mPlug->IsOutChannelConnected(1));

  // The sidechain reads silence; the unconnected output is not written.
  const int n = 100;
  Buffers<float> in(4, n, 2.0), out(2, n, 8.0);
  const std::vector<float> untouched = out.data[1];
  e->processReplacing(e, in.Get(), out.Get(), n);
  for (int s = 0; s < n; ++s) ASSERT_EQ(out.data[0][s], Expected(in, 0, s, false));
  EXPECT_EQ(out.data[1], untouched);

  // Counts the host cannot mean are held to the channels there are.
  VstSpeakerArrangement huge = stereoIn, negative = stereoIn;
  huge.numChannels = 1 << 30;
  negative.numChannels = -3;
  EXPECT_EQ(Dispatch(e, effSetSpeakerArrangement, 0, (VstIntPtr)&huge, &negative), 1);
  EXPECT_TRUE(mPlug->IsInChannelConnected(3));
  EXPECT_FALSE(mPlug->IsOutChannelConnected(0));
  EXPECT_EQ(Dispatch(e, effSetSpeakerArrangement, 0, 0, nullptr), 1) << "neither given changes nothing";
}

TEST_F(VstProcessTest, HostsLimitedToStereoLoseTheSidechain)
{
  const struct
  {
    const char* product;
    bool limited;
  } hosts[] = { { "Forte", true },   { "Adobe Audition", true }, { "Orion", true }, { "SAWStudio", true },
                { "REAPER", false }, { "Fake Host", false },     { "", false } };
  for (const auto& h : hosts)
  {
    mHost.mProductString = h.product;
    AEffect* e = Make();
    Dispatch(e, effOpen);
    EXPECT_EQ(mPlug->IsInChannelConnected(2), !h.limited) << h.product;
    EXPECT_EQ(mPlug->IsInChannelConnected(3), !h.limited) << h.product;
    EXPECT_TRUE(mPlug->IsOutChannelConnected(1));
    // The record keeps announcing every channel; only connected ones take host buffers.
    EXPECT_EQ(e->numInputs, 4);
    EXPECT_EQ(e->numOutputs, 2);

    const int n = 64;
    Buffers<float> in(4, n, 1.5), out(2, n, 0.0);
    e->processReplacing(e, in.Get(), out.Get(), n);
    for (int s = 0; s < n; ++s) ASSERT_EQ(out.data[1][s], Expected(in, 1, s, !h.limited)) << h.product;

    // The set-up runs once: a second open does not ask the host again.
    mHost.Clear();
    Dispatch(e, effOpen);
    EXPECT_TRUE(mHost.Calls(audioMasterGetProductString).empty());
    Dispatch(e, effClose);
    mPlug = nullptr;
  }
}

TEST_F(VstProcessTest, LayoutAndKindSetTheFlags)
{
  const struct
  {
    const char* channelIO;
    bool chunks;
    VstInt32 flags;
  } cases[] = { { "1-1 2-2 4-2", false, 0x1018 }, { "2-2", false, 0x1010 }, { "2-2", true, 0x1030 }, { "1-1", true, 0x1038 } };
  for (const auto& c : cases)
  {
    VstTestPlugConfig config;
    config.channelIO = c.channelIO;
    config.doesChunks = c.chunks;
    config.latency = 17;
    AEffect* e = Make(config);
    EXPECT_EQ(e->flags, c.flags) << c.channelIO;
    EXPECT_EQ(e->initialDelay, 17);
    mPlug->SetLatency(33);
    EXPECT_EQ(e->initialDelay, 33);
    EXPECT_EQ(mPlug->GetLatency(), 33);
    Dispatch(e, effClose);
    mPlug = nullptr;
  }
}

TEST_F(VstProcessTest, ParametersNormalisedAndAsText)
{
  AEffect* e = Make();
  auto log = std::make_shared<std::vector<std::string>>();
  mPlug->AttachGraphics(new FakeGraphics(log));
  log->clear();
  mPlug->mLog.clear();

  // Gain -60..12 dB through a shape of 2: normalised 0.5 is -60 + 0.25 * 72 = -42.
  e->setParameter(e, 0, 0.5f);
  EXPECT_FLOAT_EQ(e->getParameter(e, 0), 0.5f);
  EXPECT_EQ(DispatchText(e, effGetParamDisplay, 0), "-42.0");
  EXPECT_EQ(DispatchText(e, effGetParamLabel, 0), "dB");
  EXPECT_EQ(DispatchText(e, effGetParamName, 0), "Gain");

  // Mode has four values: 0.3 of the way is 0.9, rounded to 1; the editor is given 0.3 itself.
  e->setParameter(e, 2, 0.3f);
  EXPECT_EQ(mPlug->GetParam(2)->Int(), 1);
  EXPECT_FLOAT_EQ(e->getParameter(e, 2), 1.0f / 3.0f);
  ASSERT_EQ(log->size(), 2u);
  EXPECT_EQ((*log)[0], "set 0 0.5 norm");
  EXPECT_EQ((*log)[1], "set 2 0.3 norm");
  EXPECT_EQ(mPlug->mLog, (std::vector<std::string>{ "change 0", "change 2" }));
  // Through the vendor-specific request a host reads the text of a value it has not set.
  char text[64] = {};
  EXPECT_EQ(Dispatch(e, effVendorSpecific, 7, 0, text, 1.0f), 0xBEEF);
  EXPECT_STREQ(text, "12.0");
  EXPECT_EQ(DispatchText(e, effGetParamDisplay, 3), "on");

  // Out of range: held to the ends; not a number, or an index outside: ignored.
  e->setParameter(e, 1, 7.0f);
  EXPECT_EQ(DispatchText(e, effGetParamDisplay, 1), "10");
  e->setParameter(e, 1, -7.0f);
  EXPECT_EQ(DispatchText(e, effGetParamDisplay, 1), "0");
  mPlug->mLog.clear();
  log->clear();
  e->setParameter(e, 1, std::nanf(""));
  e->setParameter(e, -1, 0.5f);
  e->setParameter(e, 4, 0.5f);
  EXPECT_TRUE(mPlug->mLog.empty());
  EXPECT_TRUE(log->empty());
  EXPECT_EQ(DispatchText(e, effGetParamDisplay, 1), "0");
}

TEST_F(VstProcessTest, AnAttachedEditorIsAnnouncedAndOpened)
{
  AEffect* e = Make();
  auto log = std::make_shared<std::vector<std::string>>();
  mPlug->AttachGraphics(nullptr);
  EXPECT_EQ(e->flags & effFlagsHasEditor, 0);
  mPlug->AttachGraphics(new FakeGraphics(log, 800, 400));
  EXPECT_EQ(e->flags & effFlagsHasEditor, effFlagsHasEditor);

  ERect* pRect = nullptr;
  EXPECT_EQ(Dispatch(e, effEditGetRect, 0, 0, &pRect), 1);
  ASSERT_NE(pRect, nullptr);
  EXPECT_EQ(pRect->top, 0);
  EXPECT_EQ(pRect->left, 0);
  EXPECT_EQ(pRect->bottom, 400);
  EXPECT_EQ(pRect->right, 800);
  mPlug->ResizeGraphics(10, 10);
  EXPECT_EQ(pRect->right, 800) << "the size comes from the editor, not the arguments";

  log->clear();
  int parent = 0;
  EXPECT_EQ(Dispatch(e, effEditOpen, 0, 0, &parent), 1);
  EXPECT_EQ(Dispatch(e, effEditOpen, 0, 0, nullptr), 0) << "the editor opened nothing";
  EXPECT_EQ(Dispatch(e, effEditClose), 1);
  EXPECT_EQ(*log, (std::vector<std::string>{ "open", "open", "close" }));
}

TEST_F(VstProcessTest, OpenRateAndActivationReachTheProduct)
{
  AEffect* e = Make();
  Dispatch(e, effOpen);
  EXPECT_EQ(mPlug->mLog.size(), 4u) << "a change for every parameter";
  mPlug->mLog.clear();
  Dispatch(e, effSetSampleRate, 0, 0, nullptr, 96000.0f);
  EXPECT_EQ(mPlug->GetSampleRate(), 96000.0);
  for (float bad : { 0.0f, -44100.0f, std::nanf(""), INFINITY }) Dispatch(e, effSetSampleRate, 0, 0, nullptr, bad);
  EXPECT_EQ(mPlug->GetSampleRate(), 96000.0) << "rates no filter can run at are ignored";
  Dispatch(e, effMainsChanged, 0, 1);
  Dispatch(e, effMainsChanged, 0, 0);
  EXPECT_EQ(mPlug->mLog, (std::vector<std::string>{ "reset", "reset", "reset", "reset", "reset", "activate",
                                                    "deactivate", "reset" }));
}
