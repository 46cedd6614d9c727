#include "audio_buffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace
{
using kvtool::AudioBuffer;
using kvtool::SampleFormat;

AudioBuffer Ramp(int nChannels, int nFrames)
{
  AudioBuffer a;
  a.sampleRate = 48000.0;
  a.Resize(nChannels, nFrames);
  for (int c = 0; c < nChannels; ++c)
    for (int f = 0; f < nFrames; ++f) a.channels[(size_t)c][(size_t)f] = (float)((f % 200) - 100) / 128.0f * (c ? -1.0f : 1.0f);
  return a;
}

std::string TempPath(const char* name)
{
  return std::string(::testing::TempDir()) + name;
}
}  // namespace

TEST(AudioFile, RoundTripsEachFormat)
{
  const AudioBuffer in = Ramp(2, 1001);
  const struct
  {
    SampleFormat format;
    double tolerance;
  } cases[] = { { SampleFormat::kFloat32, 0.0 }, { SampleFormat::kPcm24, 1.0 / (1 << 23) }, { SampleFormat::kPcm16, 1.0 / (1 << 15) } };
  for (const auto& c : cases)
  {
    const std::string path = TempPath("roundtrip.wav");
    std::string err;
    ASSERT_TRUE(kvtool::WriteAudioFile(path, in, c.format, &err)) << err;
    AudioBuffer out;
    ASSERT_TRUE(kvtool::ReadAudioFile(path, &out, &err)) << err;
    EXPECT_EQ(out.sampleRate, 48000.0);
    ASSERT_EQ(out.NumChannels(), 2);
    ASSERT_EQ(out.NumFrames(), 1001);
    for (int ch = 0; ch < 2; ++ch)
      for (int f = 0; f < 1001; ++f)
        ASSERT_NEAR(out.channels[(size_t)ch][(size_t)f], in.channels[(size_t)ch][(size_t)f], c.tolerance) << ch << " " << f;
    std::remove(path.c_str());
  }
}

TEST(AudioFile, FailuresSayWhy)
{
  AudioBuffer out;
  std::string err;
  EXPECT_FALSE(kvtool::ReadAudioFile(TempPath("does-not-exist.wav"), &out, &err));
  EXPECT_NE(err.find("does-not-exist.wav"), std::string::npos);

  AudioBuffer empty;
  err.clear();
  EXPECT_FALSE(kvtool::WriteAudioFile(TempPath("empty.wav"), empty, SampleFormat::kFloat32, &err));
  EXPECT_FALSE(err.empty());
  EXPECT_FALSE(kvtool::WriteAudioFile("/nonexistent-dir/x.wav", Ramp(1, 10), SampleFormat::kFloat32, &err));
}

TEST(Levels, PeakAndRmsInDb)
{
  std::vector<float> square(1000);
  for (size_t i = 0; i < square.size(); ++i) square[i] = (i % 2) ? 0.5f : -0.5f;
  const kvtool::Levels l = kvtool::MeasureLevels(square);
  EXPECT_NEAR(l.peakDb, -6.0206, 1e-3);
  EXPECT_NEAR(l.rmsDb, -6.0206, 1e-3);

  const std::vector<float> silence(10, 0.0f);
  EXPECT_TRUE(std::isinf(kvtool::MeasureLevels(silence).peakDb));
  EXPECT_EQ(kvtool::FormatDb(kvtool::MeasureLevels(silence).rmsDb), "-inf dB");
  EXPECT_EQ(kvtool::FormatDb(-6.0206), "-6.0 dB");
  // A window past the end is cut to the samples there are.
  EXPECT_NEAR(kvtool::MeasureLevels(square, 990, 100).peakDb, -6.0206, 1e-3);
}
