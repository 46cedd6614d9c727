// kv-vsthost and kv-auhost take the same options and refuse the same bad input, each running the
// product's own deliverable: one table of command lines, run through both built tools.

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <regex>
#include <string>

#include "ToolRun.h"
#include "audio_buffer.h"

namespace
{
struct Host
{
  const char* tool;
  const char* plugin;
};
const Host kHosts[] = { { KV_VSTHOST, KV_KESTROVANE_VST }, { KV_AUHOST, KV_KESTROVANE_AU } };

// Standard output and error together, or the standard output alone.
ToolRun RunHost(const Host& h, const std::string& args, bool withErrors = true)
{
  return RunTool(std::string("'") + h.tool + "' '" + h.plugin + "' " + args + (withErrors ? " 2>&1" : " 2>/dev/null"));
}

std::string Dir()
{
  return ::testing::TempDir();
}

// Half a second of a 440 Hz tone at the level given in every channel; NaNs in the first frames
// when asked.
void WriteTone(const std::string& name, int nChannels, double amplitude, int nNaNs = 0)
{
  kvtool::AudioBuffer a;
  a.sampleRate = 44100.0;
  a.Resize(nChannels, 22050);
  for (auto& ch : a.channels)
    for (size_t f = 0; f < ch.size(); ++f)
      ch[f] = f < (size_t)nNaNs ? std::numeric_limits<float>::quiet_NaN()
                                : (float)(amplitude * std::sin(2.0 * M_PI * 440.0 * (double)f / 44100.0));
  std::string err;
  ASSERT_TRUE(kvtool::WriteAudioFile(Dir() + name, a, kvtool::SampleFormat::kFloat32, &err)) << err;
}

class HostsOptions : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    WriteTone("mono.wav", 1, 0.1);
    WriteTone("stereo.wav", 2, 0.1);
    WriteTone("quad.wav", 4, 0.1);
    WriteTone("six.wav", 6, 0.1);
    WriteTone("loud.wav", 1, 0.9);
    WriteTone("nan.wav", 2, 0.1, 3);
  }
};

// The output RMS in dB from a host's report.
double OutputRms(const std::string& out)
{
  std::smatch m;
  if (!std::regex_search(out, m, std::regex("output  peak -?[0-9.]+ dB, RMS (-?[0-9.]+) dB"))) return NAN;
  return std::stod(m[1]);
}
}  // namespace

TEST_F(HostsOptions, BothHostsTakeAndRefuseTheSameCommandLines)
{
  const std::string d = "'" + Dir();
  const struct
  {
    std::string args;
    int status;
    std::string says;  // in the output of both
  } cases[] = {
    // Parameter values: a number in range with or without its unit, a text, a text's number.
    { "-p Threshold=-61", 2, "parameter \"Threshold\" takes -60 to 0 dB, not \"-61\"" },
    { "-p Ratio=100", 2, "parameter \"Ratio\" takes 1 to 20 :1, not \"100\"" },
    { "-p Threshold=nan", 2, "takes -60 to 0 dB, not \"nan\"" },
    { "-p 'Attack=5 dB'", 2, "parameter \"Attack\" takes 0.01 to 100 mS, not \"5 dB\"" },
    { "-p Oversample=2", 2, "parameter \"Oversample\" takes Off or On (or their numbers, 0 to 1), not \"2\"" },
    { "-p Mode=V", 2, "takes I, II, III, IV or Flat (or their numbers, 0 to 4)" },
    { "-p Oversample=1", 0, "Set Oversample to On" },
    { "-p oversample=on", 0, "Set Oversample to On" },
    { "-p Mode=flat", 0, "Set Mode to Flat" },
    { "-p 'Auto Release=2'", 0, "Set Auto Release to Fast" },
    { "-p Threshold=-20dB", 0, "Set Threshold to -20.0" },
    { "-p 'Attack=5 ms'", 0, "Set Attack to 5.00" },
    { "-p 'RMS Size=0.1'", 0, "Set RMS Size to 0.1" },
    // Numbers of the options themselves.
    { "-r abc", 2, "-r takes a number from 8000 to 768000, not \"abc\"" },
    { "-r nan", 2, "-r takes a number from 8000 to 768000, not \"nan\"" },
    { "-r 0", 2, "-r takes a number from 8000 to 768000, not \"0\"" },
    { "-r -44100", 2, "-r takes a number from 8000 to 768000, not \"-44100\"" },
    { "-b 12abc", 2, "-b takes a number from 1 to 65536, not \"12abc\"" },
    { "--repeat 0", 2, "--repeat takes a number from 1 to 10000" },
    { "--program ''", 2, "--program needs a value, not an empty text" },
    { "--format wav", 2, "--format takes float, pcm24 or pcm16" },
    { "--bogus", 2, "unknown option --bogus" },
    // Output files by their extensions.
    { "-o " + d + "x.jpg'", 2, "x.jpg: the extension names no file type written here (.wav, .flac, .aif, .aiff or .ogg)" },
    { "-o " + d + "x'", 2, "the extension names no file type" },
    { "-o " + d + "x.flac' --format float", 2, "FLAC holds pcm24 or pcm16 samples, not float" },
    { "-o " + d + "x.ogg' --format pcm16", 2, "Ogg Vorbis has no sample format to choose" },
    // Inputs and sidechains by their channel counts.
    { "-i " + d + "six.wav'", 2, "six.wav has 6 channels; the plug-in's main input takes 1 or 2 channels (a sidechain goes in with -s)" },
    { "-i " + d + "quad.wav'", 2, "quad.wav has 4 channels; the plug-in's main input takes 1 or 2 channels" },
    { "-i " + d + "mono.wav'", 0, "Input: " + Dir() + "mono.wav, 0.50 s, 1 channels" },
    { "-i " + d + "stereo.wav' -s " + d + "quad.wav'", 2, "quad.wav has 4 channels; the plug-in's sidechain takes 1 or 2 channels" },
    { "-i " + d + "stereo.wav' -s " + d + "loud.wav'", 0, "Sidechain: " + Dir() + "loud.wav, 1 channels, peak -0.9 dB" },
    { "-i " + d + "stereo.wav' -s " + d + "missing.wav'", 2, "missing.wav" },
    { "-i " + d + "stereo.wav' -s " + d + "mono.wav' -r 48000", 2, "runs at 44100 Hz, not the 48000 Hz asked" },
    // Samples that are no numbers are reported as such.
    { "-i " + d + "nan.wav'", 0, "input   peak -20.0 dB, RMS -23.0 dB of the finite samples; 6 samples are NaN or infinite" },
  };
  for (const Host& h : kHosts)
    for (const auto& c : cases)
    {
      const ToolRun r = RunHost(h, c.args);
      EXPECT_EQ(r.status, c.status) << h.tool << " " << c.args << "\n" << r.out;
      EXPECT_NE(r.out.find(c.says), std::string::npos) << h.tool << " " << c.args << "\n" << r.out;
      if (c.status != 0)
      {
        EXPECT_EQ(r.out.find("CPU: "), std::string::npos) << h.tool << " " << c.args << "\n" << r.out;
      }
    }
}

TEST_F(HostsOptions, HelpGoesToTheStandardOutput)
{
  for (const Host& h : kHosts)
  {
    const ToolRun r = RunHost(h, "--help", false);
    EXPECT_EQ(r.status, 0) << h.tool;
    EXPECT_EQ(r.out.rfind("usage: ", 0), 0u) << h.tool << "\n" << r.out;
    EXPECT_NE(r.out.find("-s, --sidechain FILE"), std::string::npos) << h.tool << "\n" << r.out;
  }
  for (const char* tool : { KV_LV2HOST, KV_EDITOR_RENDER })
  {
    const ToolRun r = RunTool(std::string("'") + tool + "' --help 2>/dev/null");
    EXPECT_EQ(r.status, 0) << tool;
    EXPECT_EQ(r.out.rfind("usage: ", 0), 0u) << tool << "\n" << r.out;
  }
}

TEST_F(HostsOptions, TheSidechainFileKeysTheCompressorInBothHosts)
{
  // A quiet input under a loud sidechain: compressed only when the sidechain is heard.
  const std::string base = "-q -i '" + Dir() + "stereo.wav' -p Sidechain=On -p Threshold=-30 -p Ratio=20";
  for (const Host& h : kHosts)
  {
    const ToolRun alone = RunHost(h, base);
    const ToolRun keyed = RunHost(h, base + " -s '" + Dir() + "loud.wav'");
    ASSERT_EQ(alone.status, 0) << alone.out;
    ASSERT_EQ(keyed.status, 0) << keyed.out;
    EXPECT_LT(OutputRms(keyed.out), OutputRms(alone.out) - 3.0) << h.tool << "\n" << alone.out << keyed.out;
  }
}

TEST_F(HostsOptions, OutputFilesAreOfTheTypeTheirNamesSay)
{
  const struct
  {
    const char* name;
    int major, subtype;
  } cases[] = {
    { "out.wav", SF_FORMAT_WAV, SF_FORMAT_FLOAT },
    { "out.FLAC", SF_FORMAT_FLAC, SF_FORMAT_PCM_24 },
    { "out.aiff", SF_FORMAT_AIFF, SF_FORMAT_FLOAT },
    { "out.ogg", SF_FORMAT_OGG, SF_FORMAT_VORBIS },
  };
  for (const Host& h : kHosts)
    for (const auto& c : cases)
    {
      const std::string path = Dir() + c.name;
      std::remove(path.c_str());
      const ToolRun r = RunHost(h, "-q -i '" + Dir() + "stereo.wav' -o '" + path + "'");
      ASSERT_EQ(r.status, 0) << h.tool << " " << c.name << "\n" << r.out;
      SF_INFO info = {};
      SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
      ASSERT_NE(f, nullptr) << h.tool << " " << c.name;
      sf_close(f);
      EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, c.major) << h.tool << " " << c.name;
      EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, c.subtype) << h.tool << " " << c.name;
      EXPECT_EQ(info.channels, 2);
      EXPECT_EQ(info.frames, 22050);
    }
}
