// The sample-buffer path: float and double host buffers, accumulation, in-place processing,
// unconnected channels, and blocks longer than the block size.

#include <gtest/gtest.h>

#include <vector>

#include "FailingAllocator.h"
#include "FakePlug.h"

namespace
{
// Records what the processing saw and writes a recognisable output: out[c][s] = 10 * in[c][s] + c.
class RecordingPlug : public FakePlug
{
public:
  explicit RecordingPlug(const char* io) : FakePlug(Config(io)) {}

  static FakePlugConfig Config(const char* io)
  {
    FakePlugConfig c;
    c.channelIO = io;
    return c;
  }

  std::vector<std::vector<double>> mSeenIn;
  std::vector<int> mCallFrames;
  bool mPassThrough = false;

  void ProcessDoubleReplacing(double** in, double** out, int nFrames) override
  {
    mCallFrames.push_back(nFrames);
    if (mPassThrough)
    {
      IFxBase::ProcessDoubleReplacing(in, out, nFrames);
      return;
    }
    mSeenIn.resize((size_t)NInChannels());
    for (int c = 0; c < NInChannels(); ++c) mSeenIn[(size_t)c].insert(mSeenIn[(size_t)c].end(), in[c], in[c] + nFrames);
    std::vector<double> sums((size_t)nFrames);
    for (int s = 0; s < nFrames; ++s) sums[(size_t)s] = in[0][s];
    for (int c = 0; c < NOutChannels(); ++c)
      for (int s = 0; s < nFrames; ++s) out[c][s] = 10.0 * sums[(size_t)s] + c;
  }
};

std::vector<float> Ramp(int n, float start)
{
  std::vector<float> v((size_t)n);
  for (int i = 0; i < n; ++i) v[(size_t)i] = start + (float)i;
  return v;
}
}  // namespace

TEST(IFxBuffers, FloatInFloatOutReplacingAndAccumulating)
{
  for (bool accumulate : { false, true })
  {
    RecordingPlug plug("2-2");
    plug.SetBlockSize(16);
    plug.SetInputChannelConnections(0, 2, true);
    plug.SetOutputChannelConnections(0, 2, true);
    std::vector<float> in0 = Ramp(16, 1), in1 = Ramp(16, 100);
    std::vector<float> out0(16, 0.5f), out1(16, 0.5f);
    float* ins[] = { in0.data(), in1.data() };
    float* outs[] = { out0.data(), out1.data() };
    plug.AttachInputBuffers(0, 2, ins, 16);
    plug.AttachOutputBuffers(0, 2, outs);
    if (accumulate) plug.ProcessBuffersAccumulating(0.f, 16);
    else plug.ProcessBuffers(0.f, 16);
    ASSERT_EQ(plug.mSeenIn[1].size(), 16u);
    EXPECT_EQ(plug.mSeenIn[1][3], 103.0);
    const float base = accumulate ? 0.5f : 0.0f;
    for (int s = 0; s < 16; ++s)
    {
      EXPECT_EQ(out0[(size_t)s], base + 10.f * (1.f + (float)s)) << s;
      EXPECT_EQ(out1[(size_t)s], base + 10.f * (1.f + (float)s) + 1.f) << s;
    }
  }
}

TEST(IFxBuffers, DoubleBuffersPassStraightThroughAndInPlaceWorks)
{
  RecordingPlug plug("2-2");
  plug.mPassThrough = true;
  plug.SetBlockSize(8);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<double> a(8), b(8);
  for (int i = 0; i < 8; ++i) { a[(size_t)i] = i * 0.25; b[(size_t)i] = -i * 0.5; }
  const std::vector<double> a0 = a, b0 = b;
  double* bufs[] = { a.data(), b.data() };
  plug.AttachInputBuffers(0, 2, bufs, 8);
  plug.AttachOutputBuffers(0, 2, bufs);  // in place
  plug.ProcessBuffers(0.0, 8);
  EXPECT_EQ(a, a0);
  EXPECT_EQ(b, b0);

  // Float in place, bit for bit through the double conversion.
  std::vector<float> f = { 0.1f, -0.2f, 1e-30f, 3.4e38f, -0.0f, 0.5f, 0.25f, 1.0f };
  std::vector<float> g = f;
  float* fb[] = { f.data(), g.data() };
  plug.AttachInputBuffers(0, 2, fb, 8);
  plug.AttachOutputBuffers(0, 2, fb);
  plug.ProcessBuffers(0.f, 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(memcmp(&f[(size_t)i], &g[(size_t)i], 4), 0);
  EXPECT_EQ(f[3], 3.4e38f);
}

TEST(IFxBuffers, HostBuffersGoToConnectedChannelsOnly)
{
  RecordingPlug plug("2-2");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(1, 1, true);  // channel 0 unconnected
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> host0 = Ramp(4, 7), out0(4), out1(4);
  float* ins[] = { host0.data() };
  float* outs[] = { out0.data(), out1.data() };
  plug.AttachInputBuffers(0, 2, ins, 4);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.f, 4);
  EXPECT_EQ(plug.mSeenIn[1], std::vector<double>({ 7, 8, 9, 10 }));
  EXPECT_EQ(plug.mSeenIn[0], std::vector<double>(4, 0.0));  // scratch stands in, zeroed
}

TEST(IFxBuffers, DisconnectedChannelReadsSilenceNotItsLastInput)
{
  RecordingPlug plug("2-2");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> in0 = Ramp(4, 1), in1 = Ramp(4, 5), out0(4), out1(4);
  float* ins[] = { in0.data(), in1.data() };
  float* outs[] = { out0.data(), out1.data() };
  plug.AttachInputBuffers(0, 2, ins, 4);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.f, 4);
  plug.SetInputChannelConnections(1, 1, false);
  plug.mSeenIn.clear();
  plug.AttachInputBuffers(0, 2, ins, 4);
  plug.ProcessBuffers(0.f, 4);
  EXPECT_EQ(plug.mSeenIn[1], std::vector<double>(4, 0.0));
}

TEST(IFxBuffers, DisconnectedSlotsFollowTheScratchWhenTheBlockSizeChanges)
{
  RecordingPlug plug("2-2");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetInputChannelConnections(1, 1, false);
  plug.SetOutputChannelConnections(0, 2, true);
  plug.SetBlockSize(4096);  // the scratch blocks move
  std::vector<float> in0(4096, 1.f), out0(4096), out1(4096);
  float* ins[] = { in0.data() };
  float* outs[] = { out0.data(), out1.data() };
  plug.AttachInputBuffers(0, 2, ins, 4096);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.f, 4096);  // ASan sees any read of the old block
  EXPECT_EQ(plug.mSeenIn[1].size(), 4096u);
  EXPECT_EQ(plug.mSeenIn[1][4095], 0.0);
}

TEST(IFxBuffers, BlocksLongerThanTheBlockSizeRunInSubBlocks)
{
  struct Case
  {
    int blockSize, frames;
    std::vector<int> calls;
  };
  const Case cases[] = {
    { 16, 16, { 16 } },
    { 16, 40, { 16, 16, 8 } },
    { 16, 7, { 7 } },
    { 5, 15, { 5, 5, 5 } },
  };
  for (const Case& c : cases)
  {
    for (int mode = 0; mode < 3; ++mode)  // float replacing, float accumulating, double
    {
      RecordingPlug plug("1-1");
      plug.SetBlockSize(c.blockSize);
      plug.SetInputChannelConnections(0, 1, true);
      plug.SetOutputChannelConnections(0, 1, true);
      std::vector<float> fin = Ramp(c.frames, 0), fout((size_t)c.frames, 0.f);
      std::vector<double> din(fin.begin(), fin.end()), dout((size_t)c.frames, 0.0);
      if (mode < 2)
      {
        float* in[] = { fin.data() };
        float* out[] = { fout.data() };
        plug.AttachInputBuffers(0, 1, in, c.frames);
        plug.AttachOutputBuffers(0, 1, out);
        if (mode == 0) plug.ProcessBuffers(0.f, c.frames);
        else plug.ProcessBuffersAccumulating(0.f, c.frames);
      }
      else
      {
        double* in[] = { din.data() };
        double* out[] = { dout.data() };
        plug.AttachInputBuffers(0, 1, in, c.frames);
        plug.AttachOutputBuffers(0, 1, out);
        plug.ProcessBuffers(0.0, c.frames);
      }
      EXPECT_EQ(plug.mCallFrames, c.calls) << c.blockSize << " " << c.frames << " mode " << mode;
      for (int s = 0; s < c.frames; ++s)
      {
        const double expected = 10.0 * s;
        EXPECT_EQ(mode < 2 ? (double)fout[(size_t)s] : dout[(size_t)s], expected) << s;
      }
    }
  }
}

TEST(IFxBuffers, NullHostBuffersReadAsSilenceAndAreNotWritten)
{
  RecordingPlug plug("2-2");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> out1(4, 9.f);
  float* ins[] = { nullptr, nullptr };
  float* outs[] = { nullptr, out1.data() };
  plug.AttachInputBuffers(0, 2, ins, 4);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.f, 4);
  EXPECT_EQ(plug.mSeenIn[0], std::vector<double>(4, 0.0));
  EXPECT_EQ(out1, std::vector<float>(4, 1.f));
  plug.AttachInputBuffers(0, 2, (float**)nullptr, 4);  // no array at all
  plug.ProcessBuffers(0.f, 4);
}

TEST(IFxBuffers, NoBlockSizeMeansSilenceNotACrash)
{
  RecordingPlug plug("1-1");
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  std::vector<float> in(8, 1.f), out(8, 3.f);
  float* ins[] = { in.data() };
  float* outs[] = { out.data() };
  plug.AttachInputBuffers(0, 1, ins, 8);
  plug.AttachOutputBuffers(0, 1, outs);
  plug.ProcessBuffers(0.f, 8);
  EXPECT_TRUE(plug.mCallFrames.empty());
  EXPECT_EQ(out, std::vector<float>(8, 0.f));
}

TEST(IFxBuffers, BaseProcessingCopiesAndZeroes)
{
  RecordingPlug plug("1-2");
  plug.mPassThrough = true;
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> in = Ramp(4, 2), out0(4), out1(4, 5.f);
  float* ins[] = { in.data() };
  float* outs[] = { out0.data(), out1.data() };
  plug.AttachInputBuffers(0, 1, ins, 4);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.f, 4);
  EXPECT_EQ(out0, in);
  EXPECT_EQ(out1, std::vector<float>(4, 0.f));
}

TEST(IFxBuffers, SetBlockSizeRefusesBadSizesAndKeepsTheOld)
{
  RecordingPlug plug("2-2");
  plug.SetBlockSize(256);
  for (int bad : { 0, -1, -100000, IFxBase::kMaxBlockSize + 1, INT_MAX })
  {
    plug.SetBlockSize(bad);
    EXPECT_EQ(plug.GetBlockSize(), 256) << bad;
  }
  {
    FailingAllocator fail(64 * 1024);  // room for the old buffers, not for 100000 doubles
    plug.SetBlockSize(100000);
  }
  EXPECT_EQ(plug.GetBlockSize(), 256);
  // The old size still processes whole.
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> in(256, 1.f), out0(256), out1(256);
  float* ins[] = { in.data(), in.data() };
  float* outs[] = { out0.data(), out1.data() };
  plug.AttachInputBuffers(0, 2, ins, 256);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.f, 256);
  EXPECT_EQ(plug.mCallFrames, std::vector<int>({ 256 }));
  EXPECT_EQ(out1[255], 11.f);
}
