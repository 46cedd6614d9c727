#include "default_signal.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
double PassageRmsDb(const kvtool::AudioBuffer& a, double start, double end)
{
  const int first = (int)(start * a.sampleRate), count = (int)((end - start) * a.sampleRate);
  return kvtool::MeasureLevels(a.channels[0], first, count).rmsDb;
}
}  // namespace

TEST(DefaultSignal, IsProgramLikeWithLoudAndQuietPassages)
{
  const kvtool::AudioBuffer a = kvtool::MakeDefaultSignal(48000.0, 2);
  ASSERT_EQ(a.NumChannels(), 2);
  EXPECT_EQ(a.NumFrames(), 8 * 48000);
  EXPECT_NEAR(kvtool::MeasureLevels(a).peakDb, -1.0, 0.05);
  EXPECT_NE(a.channels[0], a.channels[1]) << "hats and pad are spread in stereo";

  const double loud = PassageRmsDb(a, 0.0, 2.0), quiet = PassageRmsDb(a, 2.0, 4.0);
  const double riseStart = PassageRmsDb(a, 4.0, 4.5), riseEnd = PassageRmsDb(a, 5.5, 6.0);
  const double hard = PassageRmsDb(a, 6.0, 8.0);
  EXPECT_LT(quiet, loud - 18.0);
  EXPECT_GT(riseEnd, riseStart + 9.0);
  EXPECT_GE(hard, loud);
  EXPECT_GT(loud, -20.0) << "loud passages are near full scale";
}

TEST(DefaultSignal, IsDeterministicAndFollowsTheRate)
{
  const kvtool::AudioBuffer a = kvtool::MakeDefaultSignal(44100.0, 2);
  const kvtool::AudioBuffer b = kvtool::MakeDefaultSignal(44100.0, 2);
  EXPECT_EQ(a.channels, b.channels);
  EXPECT_EQ(a.sampleRate, 44100.0);
  EXPECT_EQ(a.NumFrames(), 352800);

  const kvtool::AudioBuffer mono = kvtool::MakeDefaultSignal(44100.0, 1);
  ASSERT_EQ(mono.NumChannels(), 1);
  const kvtool::AudioBuffer quad = kvtool::MakeDefaultSignal(44100.0, 4);
  EXPECT_EQ(quad.channels[2], quad.channels[0]);
  EXPECT_EQ(quad.channels[3], quad.channels[1]);
  // Starts and ends silent, so a plug-in sees no click at the edges.
  EXPECT_EQ(a.channels[0].front(), 0.0f);
  EXPECT_EQ(a.channels[0].back(), 0.0f);
}
