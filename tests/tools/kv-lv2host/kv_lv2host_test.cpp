// kv-lv2host runs an LV2 plug-in over the built-in signal: the example amplifier of lv2-examples
// (one audio input, one output, a gain control in dB) shows that the signal reaches the plug-in
// and comes back block by block, and that control inputs are set; the MIDI gate shows atom ports
// connected; plug-ins and options it cannot serve fail with status 2 and a reason.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <string>

#include "ToolRun.h"
#include "audio_buffer.h"
#include "default_signal.h"

namespace
{
constexpr const char* kAmp = "http://lv2plug.in/plugins/eg-amp";
constexpr const char* kMidiGate = "http://lv2plug.in/plugins/eg-midigate";
constexpr const char* kSampler = "http://lv2plug.in/plugins/eg-sampler";

using HostRun = ToolRun;

HostRun RunHost(const std::string& args)
{
  return RunTool(std::string("'") + KV_LV2HOST + "' " + args + " 2>&1");
}

void ExpectFailure(const std::string& args, const std::string& reason)
{
  const HostRun r = RunHost(args);
  EXPECT_EQ(r.status, 2) << args << "\n" << r.out;
  EXPECT_NE(r.out.find("kv-lv2host: "), std::string::npos) << args << "\n" << r.out;
  EXPECT_NE(r.out.find(reason), std::string::npos) << args << "\n" << r.out;
  EXPECT_EQ(r.out.find("CPU: "), std::string::npos) << args << "\n" << r.out;
}

class KvLv2Host : public ::testing::Test
{
protected:
  void SetUp() override
  {
    const HostRun list = RunHost("--list");
    ASSERT_EQ(list.status, 0) << list.out;
    if (list.out.find(std::string(kAmp) + "  ") == std::string::npos)
      FAIL() << "the LV2 example plug-ins are not installed: scripts/setup.sh installs them (lv2-examples)";
  }
};
}  // namespace

TEST_F(KvLv2Host, AmplifierScalesTheSignalInEveryBlock)
{
  // 333 does not divide the signal's length: the last block of each pass is a short one.
  const std::string wav = ::testing::TempDir() + "kv_lv2host_amp.wav";
  const HostRun r = RunHost(std::string(kAmp) + " -q -b 333 --repeat 2 -p gain=-6 -o '" + wav + "'");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(std::regex_search(r.out, std::regex("\nCPU: [0-9]+\\.[0-9]{4} ms per second of audio \\(")))
    << r.out;
  EXPECT_NE(r.out.find("in 2120 blocks of up to 333, 2 times"), std::string::npos) << r.out;

  kvtool::AudioBuffer out;
  std::string err;
  ASSERT_TRUE(kvtool::ReadAudioFile(wav, &out, &err)) << err;
  const kvtool::AudioBuffer in = kvtool::MakeDefaultSignal(44100.0, 2);
  ASSERT_EQ(out.NumChannels(), 1);  // the amplifier is mono: it takes the left channel
  ASSERT_EQ(out.NumFrames(), in.NumFrames());
  const float gain = std::pow(10.0f, -6.0f * 0.05f);
  int wrong = 0;
  for (int i = 0; i < in.NumFrames(); ++i)
    if (std::fabs(out.channels[0][(size_t)i] - gain * in.channels[0][(size_t)i]) > 1e-6f && ++wrong < 5)
      ADD_FAILURE() << "frame " << i << ": " << out.channels[0][(size_t)i] << " for " << in.channels[0][(size_t)i];
  EXPECT_EQ(wrong, 0);
  std::remove(wav.c_str());
}

TEST_F(KvLv2Host, ConnectsAtomPortsOfAMidiGate)
{
  // With an empty MIDI sequence on its atom input the gate stays shut.
  const HostRun r = RunHost(std::string(kMidiGate) + " -q");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("1 atom in"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("output  peak -inf dB"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("CPU: "), std::string::npos) << r.out;
}

// Needs no plug-in installed.
TEST(KvLv2HostErrors, UnknownUriFailsWithStatusTwo)
{
  ExpectFailure("urn:kestrovane:no-such-plugin -q", "no LV2 plug-in has the URI urn:kestrovane:no-such-plugin");
}

TEST_F(KvLv2Host, FailsWithStatusTwoAndAReason)
{
  const struct
  {
    std::string args, reason;
  } cases[] = {
    { kSampler, "requires features this host does not offer: " },
    { kSampler, "http://lv2plug.in/ns/ext/worker#schedule" },
    { std::string(kAmp) + " -p gain=100", "control \"gain\" ranges from -90 to 24" },
    { std::string(kAmp) + " -p volume=1", "no control input \"volume\"; the control inputs are: gain" },
    { std::string(kAmp) + " --program 1", "no programs" },
  };
  for (const auto& c : cases) ExpectFailure(c.args, c.reason);
}
