#include <gtest/gtest.h>

#include <vector>

#include "FakeGraphics.h"
#include "FakePlug.h"

namespace
{
FakePlugConfig Layout(const char* channelIO, int nParams = 4, int nPresets = 8)
{
  FakePlugConfig c;
  c.channelIO = channelIO;
  c.nParams = nParams;
  c.nPresets = nPresets;
  return c;
}
}  // namespace

TEST(IFxBase, ConstructionSetsIdentityAndDefaults)
{
  FakePlug plug(Layout("1-1 2-1 2-2 3-2 4-2", 16, 120));
  EXPECT_STREQ(plug.GetEffectName(), "Fake Effect");
  EXPECT_STREQ(plug.GetProductName(), "Fake Product");
  EXPECT_STREQ(plug.GetMfrName(), "Fake Maker");
  EXPECT_EQ(plug.GetUniqueID(), 0x46616b65);
  EXPECT_EQ(plug.GetMfrID(), 0x54657374);
  EXPECT_EQ(plug.NParams(), 16);
  EXPECT_EQ(plug.GetParam(0)->Type(), IParam::kTypeNone);
  EXPECT_EQ(plug.GetParam(16), nullptr);
  EXPECT_EQ(plug.GetParam(-1), nullptr);
  EXPECT_EQ(plug.NPresets(), 120);
  EXPECT_STREQ(plug.GetPresetName(0), "- 1 -");
  EXPECT_STREQ(plug.GetPresetName(119), "- 120 -");
  EXPECT_STREQ(plug.GetPresetName(120), "");
  EXPECT_EQ(plug.GetHost(), -1);
  EXPECT_EQ(plug.GetSampleRate(), 44100.0);
  EXPECT_EQ(plug.GetBlockSize(), 0);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_EQ(plug.GetGUI(), nullptr);
  EXPECT_EQ(plug.NChannelIO(), 5);
  EXPECT_EQ(plug.NInChannels(), 4);
  EXPECT_EQ(plug.NOutChannels(), 2);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(plug.IsInChannelConnected(i));
}

TEST(IFxBase, ChannelLayoutsAndLegalIO)
{
  FakePlug product(Layout("1-1 2-1 2-2 3-2 4-2"));
  struct Case
  {
    int nIn, nOut;
    bool legal;
  };
  for (const Case& c : { Case{ 2, 2, true }, Case{ 3, 1, false }, Case{ 1, -1, true }, Case{ -1, -1, true },
                         Case{ 5, -1, false }, Case{ 4, 2, true }, Case{ 2, 1, true }, Case{ -1, 1, true }, Case{ 0, 0, false } })
    EXPECT_EQ(product.LegalIO(c.nIn, c.nOut), c.legal) << c.nIn << "-" << c.nOut;

  int nIn = 0, nOut = 0;
  product.GetChannelIO(3, &nIn, &nOut);
  EXPECT_EQ(nIn, 3);
  EXPECT_EQ(nOut, 2);

  FakePlug one(Layout("2-2"));
  EXPECT_EQ(one.NChannelIO(), 1);
  EXPECT_EQ(one.NInChannels(), 2);
  EXPECT_EQ(one.NOutChannels(), 2);

  FakePlug none(Layout(nullptr));
  EXPECT_FALSE(none.LegalIO(-1, -1));
  EXPECT_EQ(none.NInChannels(), 0);
}

TEST(IFxBaseDeathTest, MalformedChannelLayoutStopsWithThePinnedCheck)
{
  const char* kMessage = "sscanf\\(channelIOStr, \"%d-%d\", &nIn, &nOut\\) == 2.*kit/IFx/IFxBase.*73";
  for (const char* layout : { "2-2 ", "", "2", "x-2", "2-2 1", "2-" })
    EXPECT_DEATH({ FakePlug p(Layout(layout)); }, kMessage) << '"' << layout << '"';
}

// What each data slot handed to the processing points at: the host buffer a connected channel
// was last given, else the channel's own scratch. Connecting changes no slot; disconnecting
// forgets the host buffer, so reconnecting without a new one reads the scratch again.
TEST(IFxBase, ConnectionsAndDataSlots)
{
  class SlotPlug : public FakePlug
  {
  public:
    using FakePlug::FakePlug;
    std::vector<double*> mIn, mOut;
    void ProcessDoubleReplacing(double** in, double** out, int) override
    {
      mIn.assign(in, in + NInChannels());
      mOut.assign(out, out + NOutChannels());
    }
    void Run() { ProcessBuffers(0.0, 64); }
  };
  SlotPlug plug(Layout("1-1 2-1 2-2 3-2 4-2"));
  plug.SetBlockSize(64);

  // Nothing connected yet: every slot is its channel's scratch, one block per channel.
  plug.Run();
  const std::vector<double*> in = plug.mIn, out = plug.mOut;
  ASSERT_EQ(in.size(), 4u);
  ASSERT_EQ(out.size(), 2u);
  std::vector<double*> all = in;
  all.insert(all.end(), out.begin(), out.end());
  for (size_t i = 0; i < all.size(); ++i)
  {
    EXPECT_NE(all[i], nullptr) << i;
    for (size_t j = 0; j < i; ++j) EXPECT_NE(all[i], all[j]) << i << " " << j;
  }

  std::vector<double> host[6];
  for (std::vector<double>& h : host) h.assign(64, 0.0);
  double* h[6] = { host[0].data(), host[1].data(), host[2].data(), host[3].data(), host[4].data(), host[5].data() };

  plug.SetInputChannelConnections(0, 4, true);
  plug.SetOutputChannelConnections(0, 2, true);
  plug.Run();
  EXPECT_EQ(plug.mIn, in) << "connecting alone gives no channel a host buffer";
  EXPECT_EQ(plug.mOut, out);

  plug.AttachInputBuffers(0, 4, h, 64);
  plug.AttachOutputBuffers(0, 2, h + 4);
  plug.Run();
  EXPECT_EQ(plug.mIn, (std::vector<double*>{ h[0], h[1], h[2], h[3] }));
  EXPECT_EQ(plug.mOut, (std::vector<double*>{ h[4], h[5] }));

  plug.SetInputChannelConnections(2, 2, false);
  plug.SetOutputChannelConnections(1, 1, false);
  EXPECT_TRUE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_FALSE(plug.IsInChannelConnected(3));
  EXPECT_FALSE(plug.IsInChannelConnected(4));
  EXPECT_FALSE(plug.IsInChannelConnected(-1));
  EXPECT_FALSE(plug.IsOutChannelConnected(1));
  plug.Run();
  EXPECT_EQ(plug.mIn, (std::vector<double*>{ h[0], h[1], in[2], in[3] }));
  EXPECT_EQ(plug.mOut, (std::vector<double*>{ h[4], out[1] }));

  // Reconnected, the channels have no host buffer until one is attached.
  plug.SetInputChannelConnections(2, 2, true);
  plug.Run();
  EXPECT_EQ(plug.mIn, (std::vector<double*>{ h[0], h[1], in[2], in[3] }));

  // Host buffers go in order to the connected channels of the range only.
  plug.SetInputChannelConnections(0, 1, false);
  plug.SetInputChannelConnections(2, 1, false);
  plug.AttachInputBuffers(0, 4, h, 64);
  plug.Run();
  EXPECT_EQ(plug.mIn, (std::vector<double*>{ in[0], h[0], in[2], h[1] }));

  // A range past the channels is cut; a negative start too.
  plug.SetOutputChannelConnections(1, 100, true);
  EXPECT_TRUE(plug.IsOutChannelConnected(1));
  plug.SetOutputChannelConnections(-5, 6, true);
  EXPECT_TRUE(plug.IsOutChannelConnected(0));
  plug.Run();
  EXPECT_EQ(plug.mOut, (std::vector<double*>{ h[4], out[1] }));
}

TEST(IFxBase, LimitToStereoIO)
{
  FakePlug plug(Layout("4-4"));
  plug.SetInputChannelConnections(0, 4, true);
  plug.LimitToStereoIO();
  EXPECT_TRUE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_FALSE(plug.IsInChannelConnected(3));
  EXPECT_FALSE(plug.IsOutChannelConnected(0));
  EXPECT_TRUE(plug.IsOutChannelConnected(2));
  EXPECT_TRUE(plug.IsOutChannelConnected(3));
}

TEST(IFxBase, SamplesPerBeatAndVersions)
{
  FakePlug plug;
  plug.SetSampleRate(48000);
  plug.mTempo = 120;
  EXPECT_DOUBLE_EQ(plug.GetSamplesPerBeat(), 24000.0);
  plug.mTempo = 0;
  EXPECT_DOUBLE_EQ(plug.GetSamplesPerBeat(), 0.0);

  EXPECT_EQ(plug.GetEffectVersion(false), 0x10203);
  EXPECT_EQ(plug.GetEffectVersion(true), 10203);
  char s[32];
  plug.GetEffectVersionStr(s);
  EXPECT_STREQ(s, "v1.2");

  plug.SetHost("Steinberg Nuendo", 0x40100);
  EXPECT_EQ(plug.GetHost(), kHostNuendo);
  EXPECT_EQ(plug.GetHostVersion(true), 40100);
  plug.GetHostVersionStr(s);
  EXPECT_STREQ(s, "v4.1");
}

TEST(IFxBase, DefaultHooks)
{
  FakePlug plug;
  char name[32] = "junk";
  EXPECT_FALSE(plug.MidiNoteName(60, name));
  EXPECT_STREQ(name, "");
  IMidiMsg msg;
  msg.MakeNoteOnMsg(60, 100, 5);
  plug.ProcessMidiMsg(&msg);
  ASSERT_EQ(plug.mLog.size(), 1u);
  EXPECT_EQ(plug.mLog[0], "midi 144 60 100 @5");
  plug.OnActivate(true);
  EXPECT_EQ(plug.GetMutex()->LockCount(), -1);
  plug.SetLatency(64);
  EXPECT_EQ(plug.GetLatency(), 64);
}

TEST(IFxBase, DestructionDeletesTheEditor)
{
  auto log = std::make_shared<std::vector<std::string>>();
  {
    FakePlug plug;
    InitFakeParams(&plug);
    plug.AttachGraphics(new FakeGraphics(log));
    EXPECT_NE(plug.GetGUI(), nullptr);
  }
  ASSERT_FALSE(log->empty());
  EXPECT_EQ(log->back(), "deleted");
}
