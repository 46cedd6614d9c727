#include "IFxHeadless.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
class Headless : public IFxHeadless
{
public:
  Headless()
    : IFxHeadless(IFxInstanceInfo(), 2, "1-1 2-2 3-2", 4, "Effect", "Product", "Maker", 0x00010000, 1, 2, 0,
                  false, false, false)
  {
  }
};
}  // namespace

TEST(IFxHeadless, SetsUpLikeAHostWrapper)
{
  Headless h;
  EXPECT_EQ(h.GetBlockSize(), 1024);
  for (int c = 0; c < h.NInChannels(); ++c) EXPECT_TRUE(h.IsInChannelConnected(c));
  for (int c = 0; c < h.NOutChannels(); ++c) EXPECT_TRUE(h.IsOutChannelConnected(c));
  EXPECT_EQ(h.GetTempo(), 120.0);
  EXPECT_EQ(h.GetSamplePos(), 0);
  int num = 0, denom = 0;
  h.GetTimeSig(&num, &denom);
  EXPECT_EQ(num, 4);
  EXPECT_EQ(denom, 4);
  EXPECT_EQ(h.GetSamplesPerBeat(), 22050.0);
  IMidiMsg msg(0, 0x90, 60, 100);
  EXPECT_FALSE(h.SendMidiMsg(&msg));
  KIT_TypedBuf<IMidiMsg> none;
  EXPECT_TRUE(h.SendMidiMsgs(&none));
  EXPECT_EQ(h.GetHost(), kHostUninit);
}

TEST(IFxHeadless, ProcessesDoubleBlocksOfAnyLength)
{
  // The base processing copies inputs to outputs; blocks longer than the block size are split.
  Headless h;
  const int n = 3000;
  std::vector<double> in0(n), in1(n), out0(n, -1.0), out1(n, -1.0);
  for (int i = 0; i < n; ++i)
  {
    in0[(size_t)i] = i * 0.5;
    in1[(size_t)i] = -i;
  }
  double* ins[3] = { in0.data(), in1.data(), in1.data() };
  double* outs[2] = { out0.data(), out1.data() };
  h.ProcessDoubleBlock(ins, 3, outs, 2, n);
  EXPECT_EQ(out0, in0);
  EXPECT_EQ(out1, in1);
}
