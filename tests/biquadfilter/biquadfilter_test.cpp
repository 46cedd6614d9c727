#include "biquadfilter.h"

#include <cmath>
#include <limits>
#include <vector>

#include "DspTestUtil.h"
#include "reference/ReferenceFigures.h"

namespace
{
const double kPi = 3.141592653589793;

biquadfilter Design(int type, double freq, double gain, double s, double q, long rate)
{
  biquadfilter f;
  f.SetType((EFilterType)type);
  f.SetFreq(freq);
  f.SetGain(gain);
  f.SetSampleRate(rate);
  if (s != 0.0) f.SetS(s);
  else f.SetQ(q);
  return f;
}

// The steady-state amplitude of a unit sine through channel 0: its projection on sine and cosine
// over one second, a whole number of periods for a whole number of Hz.
double SineGain(biquadfilter& f, double freq, long rate)
{
  const int settle = 20000;
  double s = 0.0, c = 0.0;
  for (long i = 0; i < settle + rate; ++i)
  {
    const double ph = 2.0 * kPi * freq * (double)i / (double)rate;
    const double y = f.Process(0, std::sin(ph));
    if (i < settle) continue;
    s += y * std::sin(ph);
    c += y * std::cos(ph);
  }
  return 2.0 * std::sqrt(s * s + c * c) / (double)rate;
}
}  // namespace

TEST(Biquad, DesignsEveryTypeAsTheReference)
{
  for (const ref::FilterCase& c : ref::kFilterCases)
  {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " at " << c.freq << " Hz, rate " << c.rate);
    biquadfilter f = Design(c.type, c.freq, c.gain, c.s, c.q, c.rate);
    EXPECT_CLOSE(f.GetQ(), c.q_out);
    EXPECT_CLOSE(f.GetB0(), c.b0);
    EXPECT_CLOSE(f.GetB1(), c.b1);
    EXPECT_CLOSE(f.GetB2(), c.b2);
    EXPECT_EQ(f.GetA0(), 1.0);
    EXPECT_CLOSE(f.GetA1(), c.a1);
    EXPECT_CLOSE(f.GetA2(), c.a2);
    for (int k = 0; k < 4; ++k)
      EXPECT_NEAR(f.GetResponse(ref::kFilterResponseFreqs[k]), c.resp[k], 1e-8) << ref::kFilterResponseFreqs[k] << " Hz";
  }
}

TEST(Biquad, ButterworthLowPassIsThreeDecibelsDownAtItsCorner)
{
  biquadfilter f;
  f.SetType(kLowPass);
  f.SetFreq(24000.0);
  f.SetS(1.0);
  f.SetGain(0.0);
  f.SetSampleRate(176400);
  EXPECT_NEAR(f.GetQ(), 0.7071067811865476, 1e-15);
  EXPECT_EQ(f.GetA(), 1.0);
  EXPECT_NEAR(f.GetResponse(24000.0), ref::kLowPassCornerDb, 1e-9);
  EXPECT_NEAR(f.GetResponse(24000.0), -3.0103, 1e-4);
  // The filtered sine agrees with the response.
  EXPECT_NEAR(SineGain(f, 24000.0, 176400), std::pow(10.0, ref::kLowPassCornerDb / 20.0), 1e-6);
}

TEST(Biquad, ShelvesReachTheirGainAtOneEndAndUnityAtTheOther)
{
  struct Case { EFilterType type; double freq, gain, s; double lowEndDb, highEndDb; };
  const Case cases[] = {
    { kLowShelf, 200.0, -12.0, 1.0, -12.0, 0.0 },
    { kLowShelf, 100.0, 9.0, 0.5, 9.0, 0.0 },
    { kHighShelf, 5000.0, 9.0, 0.5, 0.0, 9.0 },
    { kHighShelf, 2000.0, -15.0, 1.0, 0.0, -15.0 },
  };
  for (const Case& c : cases)
  {
    biquadfilter f;
    f.SetType(c.type);
    f.SetFreq(c.freq);
    f.SetGain(c.gain);
    f.SetS(c.s);
    f.SetSampleRate(44100);
    EXPECT_NEAR(f.GetResponse(1.0), c.lowEndDb, 0.02) << c.type << " " << c.freq;
    EXPECT_NEAR(f.GetResponse(22049.0), c.highEndDb, 0.02) << c.type << " " << c.freq;
    // A shelf's response at its own frequency lies halfway in dB.
    EXPECT_NEAR(f.GetResponse(c.freq), c.gain / 2.0, 1e-9);
  }
}

TEST(Biquad, AllPassIsFlatAndGainDoesNotEnterBandPassNotchOrAllPass)
{
  biquadfilter ap;
  ap.SetType(kAllPass);
  ap.SetFreq(1500.0);
  ap.SetQ(0.5);
  for (double hz = 10.0; hz < 22000.0; hz *= 1.5) EXPECT_NEAR(ap.GetResponse(hz), 0.0, 1e-9) << hz;
  EXPECT_NEAR(SineGain(ap, 700.0, 44100), 1.0, 1e-6);

  for (EFilterType t : { kBandPassSkirt, kBandPassPeak, kNotch, kAllPass })
  {
    biquadfilter f0 = Design(t, 1000.0, 0.0, 0.0, 2.0, 44100);
    biquadfilter f12 = Design(t, 1000.0, 12.0, 0.0, 2.0, 44100);
    EXPECT_EQ(f0.GetB0(), f12.GetB0()) << t;
    EXPECT_EQ(f0.GetB1(), f12.GetB1()) << t;
    EXPECT_EQ(f0.GetB2(), f12.GetB2()) << t;
    EXPECT_EQ(f0.GetA1(), f12.GetA1()) << t;
    EXPECT_EQ(f0.GetA2(), f12.GetA2()) << t;
    EXPECT_NE(f0.GetA(), f12.GetA()) << t;  // the amplitude is still worked out and kept
  }
}

TEST(Biquad, FilteredSinesFollowTheDesignedResponse)
{
  struct Case { EFilterType type; double freq, gain, q, probe; };
  const Case cases[] = {
    { kPeaking, 1000.0, 6.0, 1.0, 1000.0 },
    { kHighPass, 500.0, 0.0, 0.7071, 200.0 },
    { kLowShelf, 300.0, -10.0, 0.6, 100.0 },
    { kBandPassPeak, 2000.0, 0.0, 3.0, 1500.0 },
  };
  for (const Case& c : cases)
  {
    biquadfilter f = Design(c.type, c.freq, c.gain, 0.0, c.q, 44100);
    EXPECT_NEAR(SineGain(f, c.probe, 44100), std::pow(10.0, f.GetResponse(c.probe) / 20.0), 1e-6) << c.type;
  }
}

TEST(Biquad, SlopeGivesTheProductShelvesTheirQ)
{
  for (const ref::ShelfQ& c : ref::kShelfQs)
  {
    biquadfilter f;
    f.SetType((EFilterType)c.type);
    f.SetGain(c.gain);
    f.SetS(c.s);
    EXPECT_CLOSE(f.GetQ(), c.q) << c.type << " " << c.gain << " dB, S " << c.s;
  }
  // S before the gain derives Q from the gain in force then, not from the later one.
  biquadfilter late;
  late.SetType(kLowShelf);
  late.SetS(0.1);
  late.SetGain(-19.0);
  EXPECT_NE(late.GetQ(), ref::kShelfQs[0].q);
  EXPECT_NEAR(ref::kShelfQs[0].q, 0.2096, 1e-4);
}

TEST(Biquad, SlopeAndBandwidthDeriveQFromTypeAndGain)
{
  // Low- and high-pass slopes ignore the gain; band-passes take 10^(gain/40) instead of 10^(gain/80).
  biquadfilter lp = Design(kLowPass, 1000.0, 12.0, 1.0, 0.0, 44100);
  EXPECT_NEAR(lp.GetQ(), 1.0 / std::sqrt(2.0), 1e-15);
  biquadfilter bp = Design(kBandPassPeak, 1000.0, 12.0, 0.5, 0.0, 44100);
  const double a = std::sqrt(std::exp(12.0 * 2.302585092994046 / 20.0));
  EXPECT_CLOSE(bp.GetQ(), 1.0 / std::sqrt((a + 1.0 / a) * (1.0 / 0.5 - 1.0) + 2.0));

  biquadfilter bw;
  bw.SetType(kBandPassPeak);
  bw.SetFreq(1000.0);
  bw.SetBW(1.0);
  EXPECT_CLOSE(bw.GetQ(), ref::kOneOctaveQ);
  EXPECT_EQ(bw.GetBW(), 1.0);
}

TEST(Biquad, StateBelongsToItsChannelAndOnlyInitializeStateClearsIt)
{
  biquadfilter f = Design(kLowPass, 2000.0, 0.0, 0.0, 0.7071, 44100);
  f.Process(0, 1.0);
  f.Process(0, 0.5);
  EXPECT_EQ(f.GetState(1).x1, 0.0);
  EXPECT_EQ(f.GetState(1).y1, 0.0);
  const biquadfilter::State before = f.GetState(0);
  EXPECT_EQ(before.x1, 0.5);
  EXPECT_EQ(before.x2, 1.0);

  f.SetFreq(3000.0);
  f.SetGain(3.0);
  f.SetS(0.7);
  f.SetQ(2.0);
  f.SetSampleRate(48000);
  f.SetType(kHighShelf);
  EXPECT_EQ(f.GetState(0).y1, before.y1);
  EXPECT_EQ(f.GetState(0).y2, before.y2);

  f.Process(1, 0.25);
  f.InitializeState();
  for (int c = 0; c < 2; ++c)
  {
    EXPECT_EQ(f.GetState(c).x1, 0.0);
    EXPECT_EQ(f.GetState(c).x2, 0.0);
    EXPECT_EQ(f.GetState(c).y1, 0.0);
    EXPECT_EQ(f.GetState(c).y2, 0.0);
  }
}

TEST(Biquad, DecayIntoSilenceNeverLeavesSubnormals)
{
  biquadfilter f = Design(kLowShelf, 20.0, -19.0, 0.1, 0.0, 44100);
  f.Process(0, 1e-300);
  bool sawSubnormal = false;
  double y = 1.0;
  for (int i = 0; i < 200000; ++i)
  {
    y = f.Process(0, 0.0);
    sawSubnormal = sawSubnormal || IsSubnormal(y);
  }
  EXPECT_FALSE(sawSubnormal);
  EXPECT_EQ(Bits(y), Bits(0.0));
  EXPECT_EQ(Bits(f.Process(0, -1e-320)), Bits(0.0));  // a subnormal output becomes +0.0
}

TEST(Biquad, NonFiniteInputResetsTheChannelAndAudioResumes)
{
  const double bad[] = { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity() };
  for (double b : bad)
  {
    biquadfilter f = Design(kPeaking, 1000.0, 6.0, 0.0, 1.0, 44100);
    biquadfilter fresh = f;
    f.Process(0, 0.3);
    f.Process(1, 0.2);
    EXPECT_FALSE(std::isfinite(f.Process(0, b)));
    EXPECT_EQ(f.GetState(0).y1, 0.0);
    EXPECT_EQ(f.GetState(0).x1, 0.0);
    EXPECT_NE(f.GetState(1).y1, 0.0);  // the other channel is untouched
    for (int i = 0; i < 10; ++i)
    {
      const double x = std::sin(0.1 * i);
      EXPECT_EQ(f.Process(0, x), fresh.Process(0, x));
    }
  }
}

TEST(Biquad, DesignFrequenciesAtOrAboveNyquistAreHeldJustBelowIt)
{
  // The 20 kHz shelf at a 32 kHz rate: designed at 0.499 of the rate, and stable.
  biquadfilter hs = Design(kHighShelf, 20000.0, 19.0, 0.1, 0.0, 32000);
  EXPECT_CLOSE(hs.GetW0(), 0.499 * 32000.0 * 6.283185307179586 / 32000.0);
  EXPECT_EQ(hs.GetFreq(), 20000.0);  // the stored frequency stays as given
  double y = hs.Process(0, 1.0);
  for (int i = 0; i < 200000; ++i) y = hs.Process(0, 0.0);
  EXPECT_LT(std::fabs(y), 1e-30);

  // The 24 kHz low-pass at four times 8 kHz, likewise.
  biquadfilter lp = Design(kLowPass, 24000.0, 0.0, 1.0, 0.0, 32000);
  EXPECT_NEAR(SineGain(lp, 1000.0, 32000), std::pow(10.0, lp.GetResponse(1000.0) / 20.0), 1e-6);
  EXPECT_NEAR(lp.GetResponse(1000.0), 0.0, 1e-3);

  // Below half the rate nothing changes.
  biquadfilter below = Design(kHighShelf, 15999.0, 19.0, 0.1, 0.0, 32000);
  EXPECT_EQ(below.GetW0(), 15999.0 * 6.283185307179586 / 32000.0);
}

TEST(Biquad, ADesignThatIsNotFinitePassesTheSignalThrough)
{
  biquadfilter f = Design(kLowPass, 1000.0, 0.0, 0.0, 0.7071, 0);
  EXPECT_EQ(f.Process(0, 0.25), 0.25);
  EXPECT_EQ(f.Process(0, -0.5), -0.5);
  biquadfilter zeroQ = Design(kPeaking, 1000.0, 6.0, 0.0, 0.0, 44100);
  EXPECT_EQ(zeroQ.Process(0, 0.125), 0.125);
}

TEST(Biquad, OutOfRangeTypesAreDesignedAsPeaking)
{
  biquadfilter peak = Design(kPeaking, 800.0, 5.0, 0.0, 1.2, 44100);
  for (int t : { -1, 9, 42 })
  {
    biquadfilter f = Design(t, 800.0, 5.0, 0.0, 1.2, 44100);
    EXPECT_EQ(f.GetType(), t);
    EXPECT_EQ(f.GetB0(), peak.GetB0());
    EXPECT_EQ(f.GetA2(), peak.GetA2());
  }
}

TEST(Biquad, PairProcessingIsTwoChannelsBitForBit)
{
  biquadfilter pair = Design(kHighShelf, 9000.0, 11.0, 0.4, 0.0, 44100), single = pair;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (int i = 0; i < 3000; ++i)
  {
    // Program, then a bad sample in one lane, then a decay into subnormal territory.
    double l = i < 1000 ? std::sin(0.3 * i) : (i == 1500 ? nan : (i < 1200 ? 1e-300 : 0.0));
    double r = i < 1000 ? 0.5 * std::cos(0.11 * i) : (i == 1700 ? std::numeric_limits<double>::infinity() : 0.0);
    const double el = single.Process(0, l), er = single.Process(1, r);
    pair.ProcessPair(l, r);
    ASSERT_EQ(Bits(l), Bits(el)) << i;
    ASSERT_EQ(Bits(r), Bits(er)) << i;
    for (int c = 0; c < 2; ++c)
    {
      ASSERT_EQ(Bits(pair.GetState(c).y1), Bits(single.GetState(c).y1)) << i;
      ASSERT_EQ(Bits(pair.GetState(c).x2), Bits(single.GetState(c).x2)) << i;
    }
  }
}

// A feed over an array of inputs, as a block runs it, against the filter sample by sample: with
// bad samples the channel's input history in the array goes back to rest with its state.
TEST(Biquad, FeedsOverAnArrayMatchProcessSampleBySample)
{
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const auto input = [&](int c, int i) {
    if (i == 20 + c) return c ? inf : nan;
    if (i == 21) return nan;
    return i > 40 ? 1e-310 : std::sin(0.2 * i + c);
  };
  const int n = 64;
  biquadfilter reference = Design(kLowShelf, 200.0, -9.0, 0.4, 0.0, 44100);
  for (int i = 0; i < 5; ++i)
  {
    double l = 0.3 * i, r = -0.2 * i;
    reference.ProcessPair(l, r);
  }
  biquadfilter pair = reference, channel = reference;

  biquadfilter::V2 px[n + 2];
  double cx[n + 2];
  biquadfilter::PairFeed::Inputs(pair, px);
  biquadfilter::ChannelFeed::Inputs(channel, 1, cx);
  biquadfilter::PairFeed pairFeed(pair);
  biquadfilter::ChannelFeed channelFeed(channel, 1);
  for (int i = 0; i < n; ++i)
  {
    double l = input(0, i), r = input(1, i);
    reference.ProcessPair(l, r);
    px[i + 2] = biquadfilter::V2{ input(0, i), input(1, i) };
    cx[i + 2] = input(1, i);
    const biquadfilter::V2 y = pairFeed.Step(px + i + 2);
    const double yc = channelFeed.Step(cx + i + 2);
    ASSERT_EQ(Bits(y[0]), Bits(l)) << i;
    ASSERT_EQ(Bits(y[1]), Bits(r)) << i;
    ASSERT_EQ(Bits(yc), Bits(r)) << i;
  }
  pairFeed.Save(pair, px + n + 1);
  channelFeed.Save(channel, 1, cx + n + 1);
  for (int c = 0; c < 2; ++c)
  {
    const biquadfilter::State want = reference.GetState(c), got = pair.GetState(c);
    EXPECT_EQ(Bits(got.x1), Bits(want.x1));
    EXPECT_EQ(Bits(got.x2), Bits(want.x2));
    EXPECT_EQ(Bits(got.y1), Bits(want.y1));
    EXPECT_EQ(Bits(got.y2), Bits(want.y2));
  }
  EXPECT_EQ(Bits(channel.GetState(1).x1), Bits(reference.GetState(1).x1));
  EXPECT_EQ(Bits(channel.GetState(1).y2), Bits(reference.GetState(1).y2));
}

// The untested steps are the tested ones, output and state, wherever the outputs are normal
// finite numbers: a block may take a run of them for the tested run once it has seen them all.
TEST(Biquad, UntestedStepsMatchTheTestedOnesOverNormalOutputs)
{
  const int n = 200;
  const biquadfilter f = Design(kHighShelf, 3000.0, 6.0, 0.7, 0.0, 48000);
  biquadfilter::V2 px[n + 2], qx[n + 2];
  double cx[n + 2], dx[n + 2];
  biquadfilter::PairFeed::Inputs(f, px);
  biquadfilter::PairFeed::Inputs(f, qx);
  biquadfilter::ChannelFeed::Inputs(f, 0, cx);
  biquadfilter::ChannelFeed::Inputs(f, 0, dx);
  biquadfilter::PairFeed tested(f), untested(f);
  biquadfilter::ChannelFeed testedChannel(f, 0), untestedChannel(f, 0);
  for (int i = 0; i < n; ++i)
  {
    const biquadfilter::V2 x = { std::sin(0.3 * i) + 0.1, std::cos(0.7 * i) - 2.0 };
    px[i + 2] = qx[i + 2] = x;
    cx[i + 2] = dx[i + 2] = x[0];
    const biquadfilter::V2 want = tested.Step(px + i + 2), got = untested.StepUnchecked(qx + i + 2);
    ASSERT_TRUE(std::isnormal(want[0]) && std::isnormal(want[1])) << i;
    ASSERT_EQ(Bits(got[0]), Bits(want[0])) << i;
    ASSERT_EQ(Bits(got[1]), Bits(want[1])) << i;
    ASSERT_EQ(Bits(untestedChannel.StepUnchecked(dx + i + 2)), Bits(testedChannel.Step(cx + i + 2))) << i;
  }
  biquadfilter a = f, b = f, c = f, d = f;
  tested.Save(a, px + n + 1);
  untested.Save(b, qx + n + 1);
  testedChannel.Save(c, 0, cx + n + 1);
  untestedChannel.Save(d, 0, dx + n + 1);
  for (int ch = 0; ch < 2; ++ch)
  {
    EXPECT_EQ(Bits(a.GetState(ch).y1), Bits(b.GetState(ch).y1));
    EXPECT_EQ(Bits(a.GetState(ch).y2), Bits(b.GetState(ch).y2));
  }
  EXPECT_EQ(Bits(c.GetState(0).y1), Bits(d.GetState(0).y1));
  EXPECT_EQ(Bits(c.GetState(0).y2), Bits(d.GetState(0).y2));

  // Zero-stuffed inputs (a sample, then three zeros) from an input history at rest: the step from
  // the sample alone is the untested step over the stuffed inputs.
  biquadfilter::PairFeed stuffed(f), plain(f);
  biquadfilter::ChannelFeed stuffedChannel(f, 0), plainChannel(f, 0);
  biquadfilter::V2 zx[n + 2] = {};
  double zc[n + 2] = {};
  for (int i = 0; i < n; ++i)
  {
    const biquadfilter::V2 s = { std::sin(0.9 * (i / 4)) - 0.3, 0.5 * std::cos(0.4 * (i / 4)) };
    zx[i + 2] = i % 4 == 0 ? s : biquadfilter::V2{ 0.0, 0.0 };
    zc[i + 2] = zx[i + 2][1];
    const biquadfilter::V2 want = plain.StepUnchecked(zx + i + 2), got = stuffed.StepUncheckedZeroStuffed(i % 4, s);
    ASSERT_TRUE(std::isnormal(want[0]) && std::isnormal(want[1])) << i;
    ASSERT_EQ(Bits(got[0]), Bits(want[0])) << i;
    ASSERT_EQ(Bits(got[1]), Bits(want[1])) << i;
    ASSERT_EQ(Bits(stuffedChannel.StepUncheckedZeroStuffed(i % 4, s[1])), Bits(plainChannel.StepUnchecked(zc + i + 2)))
      << i;
  }
}

// Once an untested step's output is not finite none after it is, whatever the design: a run's
// last output tells whether every one was. The inputs stand near the top of the range, so that the
// largest finite one overflows too.
TEST(Biquad, UntestedOutputsStayNotFiniteAfterABadInput)
{
  const double bad[] = { std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN(), 1e308 };
  const biquadfilter designs[] = { Design(kLowPass, 1000.0, 0.0, 0.7, 0.0, 48000),
                                   Design(kHighShelf, 3000.0, 6.0, 0.7, 0.0, 48000),
                                   Design(kPeaking, 12000.0, 9.0, 2.0, 0.0, 48000) };
  for (const biquadfilter& f : designs)
    for (double b : bad)
    {
      biquadfilter::V2 x[66] = {};
      double cx[66] = {};
      biquadfilter::PairFeed pair(f);
      biquadfilter::ChannelFeed channel(f, 0);
      for (int i = 0; i < 64; ++i)
      {
        const double in = i == 10 ? b : std::sin(0.3 * i);
        x[i + 2] = biquadfilter::V2{ in * 1e300, std::cos(0.2 * i) };
        cx[i + 2] = in * 1e300;
        pair.StepUnchecked(x + i + 2);
        channel.StepUnchecked(cx + i + 2);
        if (i >= 10)
        {
          ASSERT_FALSE(pair.LastFinite()) << b << " " << i;
          ASSERT_FALSE(channel.LastFinite()) << b << " " << i;
        }
        else
        {
          ASSERT_TRUE(pair.LastFinite()) << i;
          ASSERT_TRUE(channel.LastFinite()) << i;
        }
      }
    }
}
