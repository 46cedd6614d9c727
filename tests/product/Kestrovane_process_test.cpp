// The product's audio processing against the reference model and the closed-form figures.

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

#include "DspTestUtil.h"
#include "KestrovaneHarness.h"
#include "reference/ReferenceFigures.h"

using K = Kestrovane;
using Frame = KestrovaneHarness::Frame;

namespace
{
const double kPi = 3.141592653589793;
const double kTwoPi = 6.283185307179586;

// The reference script's test signal, term for term.
Frame TestSignal(int n)
{
  const double sw = std::sin(kPi * n / 4096.0);
  const double lift = 0.2 + 0.8 * (sw * sw);
  const double l = lift * (0.6 * std::sin(kTwoPi * 220.0 * n / 44100.0) + 0.25 * std::sin(kTwoPi * 3100.0 * n / 44100.0));
  const double r = lift * (0.5 * std::sin(kTwoPi * 330.0 * n / 44100.0) + 0.2 * std::sin(kTwoPi * 5200.0 * n / 44100.0));
  const double burst = (1500 <= n && n < 1700) ? 0.9 : 0.05;
  return { l, r, burst * std::sin(kTwoPi * 90.0 * n / 44100.0), burst * std::sin(kTwoPi * 120.0 * n / 44100.0) };
}

Frame Program(int n)
{
  const double x = 0.7 * std::sin(0.031 * n) + 0.2 * std::sin(0.53 * n);
  return { x, 0.8 * std::sin(0.017 * n), 0.0, 0.0 };
}

// Static settings that settle within half a second: "Mode" Flat, short times.
void ConfigureStatic(KestrovaneHarness& h, double threshold, double ratio, double knee, double range, int topology)
{
  h.Configure({ { K::kThreshold, threshold }, { K::kRatio, ratio }, { K::kKnee, knee }, { K::kRange, range },
                { K::kTopology, topology }, { K::kMode, K::kModeFlat }, { K::kAttack, 1.0 }, { K::kRelease, 10.0 },
                { K::kRMSSize, 1.0 } });
}

bool AnySubnormalState(const Kestrovane& k)
{
  bool any = IsSubnormal(k.GetCompressor().getAveOfSqrs()) || IsSubnormal(k.GetCompressor().getEnvdB()) ||
             IsSubnormal(k.GetCompressor().getGRdb());
  for (int f = 0; f < K::kNumFilters; ++f)
    for (int c = 0; c < 2; ++c)
    {
      const biquadfilter::State& s = k.GetFilter((K::EFilter)f).GetState(c);
      any = any || IsSubnormal(s.x1) || IsSubnormal(s.x2) || IsSubnormal(s.y1) || IsSubnormal(s.y2);
    }
  for (int e = 0; e < K::kNumEnvelopes; ++e) any = any || IsSubnormal(k.GetEnvelopeState((K::EEnvelope)e));
  return any;
}

// The two forms' outputs bit for bit, and their meters.
void ExpectSameOutputAndMeters(const KestrovaneHarness& plain, const KestrovaneHarness& staged)
{
  ASSERT_EQ(plain.out[0].size(), staged.out[0].size());
  for (size_t i = 0; i < plain.out[0].size(); ++i)
  {
    ASSERT_EQ(Bits(plain.out[0][i]), Bits(staged.out[0][i])) << i;
    ASSERT_EQ(Bits(plain.out[1][i]), Bits(staged.out[1][i])) << i;
  }
  for (int m = 0; m < 3; ++m)
    EXPECT_EQ(plain.plug->GetMeterValue((K::EMeter)m), staged.plug->GetMeterValue((K::EMeter)m));
}

// The sample-by-sample form and the staged form in every encoding the processor has, to run
// alike and compare: Staged() against plain, also in their release times and running means.
struct EveryForm
{
  KestrovaneHarness plain, staged, avx, baseline;
  EveryForm()
  {
    plain.plug->SetStagedProcessing(false);
    avx.plug->SetWidestEncoding(K::kEncodingAvx);
    baseline.plug->SetWidestEncoding(K::kEncodingBaseline);
  }
  std::array<KestrovaneHarness*, 4> All() { return { &plain, &staged, &avx, &baseline }; }
  void ExpectSame()
  {
    for (KestrovaneHarness* h : { &staged, &avx, &baseline })
    {
      ExpectSameOutputAndMeters(plain, *h);
      EXPECT_EQ(plain.plug->GetCompressor().getRelease(), h->plug->GetCompressor().getRelease());
      EXPECT_EQ(plain.plug->GetCompressor().getAveOfSqrs(), h->plug->GetCompressor().getAveOfSqrs());
    }
  }
};
}  // namespace

TEST(KestrovaneProcess, ScenariosAgreeWithTheReferenceModel)
{
  for (const ref::Scenario& s : ref::kScenarios)
  {
    SCOPED_TRACE(s.name);
    KestrovaneHarness h;
    if (!s.stereo) h.Connect(1, false);
    if (!s.sidechainConnected)
    {
      h.Connect(2, false);
      h.Connect(3, false);
    }
    std::vector<std::pair<int, double>> settings;
    for (int i = 0; i < s.nSettings; ++i) settings.push_back({ s.settings[i].idx, s.settings[i].value });
    h.Configure(settings, !s.ramped);
    h.Run(ref::kScenarioFrames, TestSignal, 512, 0.0);
    for (int p = 0; p < ref::kScenarioPicks; ++p)
    {
      const size_t i = (size_t)ref::kScenarioPickIdx[p];
      EXPECT_CLOSE(h.out[0][i], s.outL[p]) << "frame " << i;
      EXPECT_CLOSE(h.out[1][i], s.outR[p]) << "frame " << i;
    }
    for (int m = 0; m < 3; ++m) EXPECT_CLOSE(h.plug->GetMeterValue((K::EMeter)m), s.meters[m]) << "meter " << m;
    EXPECT_CLOSE(h.plug->GetCompressor().getGRdb(), s.grDb);
  }
}

TEST(KestrovaneProcess, StaticGainCurveOnDc)
{
  for (const ref::StaticCase& c : ref::kStaticCases)
  {
    SCOPED_TRACE(testing::Message() << "dc " << c.dc << ", threshold " << c.threshold << ", ratio " << c.ratio << ", knee "
                                    << c.knee << ", range " << c.range << ", topology " << c.topology
                                    << (c.stereo ? ", stereo" : ", mono"));
    KestrovaneHarness h;
    if (!c.stereo) h.Connect(1, false);
    ConfigureStatic(h, c.threshold, c.ratio, c.knee, c.range, c.topology);
    h.RunDc(22050, c.dc);
    EXPECT_NEAR(h.plug->GetCompressor().getGRdb(), c.grDb, 1e-6);
    EXPECT_NEAR(h.out[0].back() / c.dc, c.outGain, 1e-6);
    if (c.stereo) { EXPECT_EQ(h.out[1].back(), h.out[0].back()); }
  }
}

TEST(KestrovaneProcess, AttackAndReleaseTiming)
{
  // A step 10 dB over the threshold: the reduction covers 1 - 1/e of its way in the attack time and
  // falls back to 1/e of it in the release time (the short RMS window adds a few samples).
  KestrovaneHarness h;
  h.Configure({ { K::kThreshold, -20.0 }, { K::kRatio, 2.0 }, { K::kMode, K::kModeFlat }, { K::kAttack, 10.0 },
                { K::kRelease, 100.0 }, { K::kRMSSize, 0.1 } });
  const double dc = std::pow(10.0, -10.0 / 20.0) / std::sqrt(2.0);
  const double finalGr = -5.0;
  int attackSamples = -1;
  for (int n = 0; n < 20000; ++n)
  {
    h.RunDc(1, dc);
    if (attackSamples < 0 && h.plug->GetCompressor().getGRdb() <= finalGr * (1.0 - std::exp(-1.0))) attackSamples = n + 1;
  }
  EXPECT_NEAR(h.plug->GetCompressor().getGRdb(), finalGr, 1e-9);
  EXPECT_GE(attackSamples, 441);
  EXPECT_LE(attackSamples, 441 + 6);
  int releaseSamples = -1;
  for (int n = 0; n < 20000 && releaseSamples < 0; ++n)
  {
    h.RunDc(1, 0.0);
    if (h.plug->GetCompressor().getGRdb() >= finalGr * std::exp(-1.0)) releaseSamples = n + 1;
  }
  EXPECT_GE(releaseSamples, 4410);
  EXPECT_LE(releaseSamples, 4410 + 6);
}

TEST(KestrovaneProcess, InstantGainFollowsTheRmsLevelDirectly)
{
  KestrovaneHarness h;
  h.Configure({ { K::kThreshold, -20.0 }, { K::kRatio, 2.0 }, { K::kMode, K::kModeFlat }, { K::kAttack, 100.0 },
                { K::kRelease, 2000.0 }, { K::kRMSSize, 0.1 }, { K::kAutoRelease, K::kAutoReleaseZorl } });
  const double dc = std::pow(10.0, -10.0 / 20.0) / std::sqrt(2.0);
  h.RunDc(200, dc);  // the window settles in a few samples, whatever the attack says
  EXPECT_NEAR(h.plug->GetCompressor().getGRdb(), -5.0, 1e-9);
  h.RunDc(200, 0.0);
  EXPECT_EQ(h.plug->GetCompressor().getGRdb(), 0.0);
}

TEST(KestrovaneProcess, AutoReleaseTimesFollowTheReductionDepth)
{
  // The range pins the reduction at its depth: release max(2x, 12) ms for Slow, max(0.8x, 12) ms else.
  const struct { int mode; double depth, releaseMs; } cases[] = {
    { K::kAutoReleaseSlow, 5.0, 12.0 }, { K::kAutoReleaseSlow, 20.0, 40.0 }, { K::kAutoReleaseFast, 20.0, 16.0 },
    { K::kAutoReleaseFast, 10.0, 12.0 }, { K::kAutoReleaseZorl, 30.0, 24.0 }, { K::kAutoReleaseOff, 30.0, 200.0 },
  };
  for (const auto& c : cases)
  {
    KestrovaneHarness h;
    h.Configure({ { K::kThreshold, -50.0 }, { K::kRatio, 20.0 }, { K::kRange, -c.depth }, { K::kMode, K::kModeFlat },
                  { K::kAutoRelease, c.mode } });
    h.RunDc(8000, 0.5);
    EXPECT_EQ(h.plug->GetCompressor().getGRdb(), -c.depth);
    EXPECT_EQ(h.plug->GetCompressor().getRelease(), c.releaseMs) << c.mode << " " << c.depth;
    if (c.mode != K::kAutoReleaseOff)
    {
      EXPECT_EQ(h.plug->GetEnvelope(K::kAutoReleaseFollower).getRelease(), c.releaseMs);
      EXPECT_EQ(h.plug->GetEnvelopeState(K::kAutoReleaseFollower), c.depth);
    }
  }
}

TEST(KestrovaneProcess, OversamplingPathGainAndSubSteps)
{
  KestrovaneHarness h;
  h.Configure({ { K::kRatio, 1.0 }, { K::kOversample, 1 } });
  h.RunDc(4000, 0.1);
  EXPECT_CLOSE(h.out[0].back() / 0.1, ref::kOversampleDcGain);

  // Each sample is four sub-steps: the smoothed parameters move four times as fast.
  for (int os : { 0, 1 })
  {
    KestrovaneHarness r;
    r.Configure({ { K::kOversample, os } });
    r.Set(K::kThreshold, -10.0);
    r.RunDc(100, 0.0);
    EXPECT_NEAR(r.plug->GetCompressor().getThresh(), os ? -0.4 : -0.1, 1e-9);
  }
  // Oversampling off leaves the oversampling and detector low-passes untouched.
  KestrovaneHarness off;
  off.Run(1000, Program);
  for (K::EFilter f : { K::kOversampleInLowPass, K::kOversampleOutLowPass, K::kDetectorLowPass1, K::kDetectorLowPass2 })
    EXPECT_EQ(off.plug->GetFilter(f).GetState(0).y1, 0.0);
}

TEST(KestrovaneProcess, DriveShapesTheAudioAndSagTheDetector)
{
  for (const ref::ShaperCase& c : ref::kShaperCases)
  {
    SCOPED_TRACE(testing::Message() << c.x << " at " << c.amount << " %");
    KestrovaneHarness d;
    d.Configure({ { K::kRatio, 1.0 }, { K::kDrive, c.amount } });
    d.RunDc(3, c.x);
    EXPECT_CLOSE(d.out[0][2], c.driven);

    // Sag works on the detector only: the audio stays, the reduction follows the sagged level.
    KestrovaneHarness s;
    ConfigureStatic(s, -40.0, 4.0, 0.0, -40.0, K::kFeedforward);
    s.Set(K::kSag, c.amount);
    s.RunDc(22050, c.x);
    const double key = 20.0 * std::log10(std::sqrt(2.0) * std::fabs(c.sagged));
    const double expected = std::fmax(-std::fmax(0.0, key + 40.0) * 0.75, -40.0);
    EXPECT_NEAR(s.plug->GetCompressor().getGRdb(), expected, 1e-6);
    EXPECT_NEAR(s.out[0].back(), c.x * std::pow(10.0, expected / 20.0), 1e-6);
  }
}

TEST(KestrovaneProcess, FullParallelGivesTheDrySignalExactly)
{
  KestrovaneHarness h;
  h.Configure({ { K::kThreshold, -40.0 }, { K::kRatio, 20.0 }, { K::kDrive, 80.0 }, { K::kSag, 50.0 },
                { K::kCompensation, 12.0 }, { K::kParallel, 100.0 }, { K::kTopology, K::kFeedback } });
  h.Run(5000, Program);
  for (size_t i = 0; i < h.out[0].size(); ++i)
  {
    ASSERT_EQ(Bits(h.out[0][i]), Bits(h.in[0][i])) << i;
    ASSERT_EQ(Bits(h.out[1][i]), Bits(h.in[1][i])) << i;
  }
}

TEST(KestrovaneProcess, BitExactPassThroughWhenNothingProcesses)
{
  // Ratio 1 (or no range) with nothing else on: every sample leaves as it came.
  const std::vector<std::pair<int, double>> neutral[] = {
    { { K::kRatio, 1.0 } },
    { { K::kRange, 0.0 }, { K::kThreshold, -60.0 }, { K::kRatio, 20.0 } },
    { { K::kRatio, 1.0 }, { K::kSag, 100.0 }, { K::kTopology, K::kFeedback }, { K::kMode, K::kModeIII } },
  };
  for (const auto& settings : neutral)
  {
    KestrovaneHarness h;
    h.Configure(settings);
    h.Run(3000, Program);
    for (size_t i = 0; i < h.out[0].size(); ++i)
    {
      ASSERT_EQ(Bits(h.out[0][i]), Bits(h.in[0][i])) << i;
      ASSERT_EQ(Bits(h.out[1][i]), Bits(h.in[1][i])) << i;
    }
  }
}

TEST(KestrovaneProcess, SidechainRouting)
{
  // Quiet program, loud sidechain pair.
  auto signal = [](int n) {
    const double x = 0.05 * std::sin(0.02 * n);
    return Frame{ x, x, 0.9 * std::sin(0.01 * n), 0.9 * std::cos(0.01 * n) };
  };
  auto grAfter = [&](bool sidechainOn, bool connected, bool stereo) {
    KestrovaneHarness h;
    if (!connected)
    {
      h.Connect(2, false);
      h.Connect(3, false);
    }
    if (!stereo) h.Connect(1, false);
    h.Configure({ { K::kThreshold, -20.0 }, { K::kRatio, 10.0 }, { K::kMode, K::kModeFlat }, { K::kSidechain, sidechainOn } });
    h.Run(8000, signal);
    return h.plug->GetCompressor().getGRdb();
  };
  EXPECT_LT(grAfter(true, true, true), -10.0);   // the external pair keys the compressor
  EXPECT_GT(grAfter(false, true, true), -1e-12);  // off: the program keys it
  EXPECT_GT(grAfter(true, false, true), -1e-12);  // on, but nothing connected: the program again
  // Mono counts sidechain input 2 twice: the same key as a stereo pair of equal level.
  auto monoKey = [&](bool stereo) {
    KestrovaneHarness h;
    if (!stereo) h.Connect(1, false);
    h.Configure({ { K::kThreshold, -20.0 }, { K::kRatio, 10.0 }, { K::kMode, K::kModeFlat }, { K::kSidechain, 1 } });
    h.Run(8000, [](int n) {
      const double s = 0.9 * std::sin(0.01 * n);
      return Frame{ 0.0, 0.0, s, s };
    });
    return h.plug->GetCompressor().getGRdb();
  };
  EXPECT_EQ(monoKey(false), monoKey(true));
  EXPECT_LT(monoKey(false), -10.0);
}

TEST(KestrovaneProcess, MonoWritesOnlyTheFirstOutput)
{
  KestrovaneHarness h;
  h.Connect(1, false);
  h.Run(1000, Program, 512, 7.0);
  for (double v : h.out[1]) ASSERT_EQ(v, 7.0);
  bool wrote = false;
  for (double v : h.out[0]) wrote = wrote || v != 7.0;
  EXPECT_TRUE(wrote);
}

TEST(KestrovaneProcess, MeterValuesAtTheBlockEnd)
{
  KestrovaneHarness h;
  EXPECT_EQ(h.plug->GetMeterValue(K::kInputMeter), 0.0);
  EXPECT_EQ(h.plug->GetMeterValue(K::kGainReductionMeter), 0.0);
  h.Configure({ { K::kRatio, 1.0 } });
  // From quiet to loud: the meters' 0.01 ms attack settles at once.
  std::vector<ref::MeterCase> levels(std::begin(ref::kLevelMeterCases), std::end(ref::kLevelMeterCases));
  std::sort(levels.begin(), levels.end(), [](const ref::MeterCase& a, const ref::MeterCase& b) { return a.level < b.level; });
  for (const ref::MeterCase& c : levels)
  {
    h.RunDc(512, c.level);
    EXPECT_NEAR(h.plug->GetMeterValue(K::kInputMeter), c.value, 1e-9) << c.level;
    EXPECT_NEAR(h.plug->GetMeterValue(K::kOutputMeter), c.value, 1e-9) << c.level;
  }
  // A reduction pinned at 10 dB by the range.
  KestrovaneHarness r;
  r.Configure({ { K::kThreshold, -50.0 }, { K::kRatio, 20.0 }, { K::kRange, -10.0 }, { K::kMode, K::kModeFlat } });
  r.RunDc(44100, 0.5);
  EXPECT_NEAR(r.plug->GetMeterValue(K::kGainReductionMeter), ref::kReductionMeterCases[2].value, 1e-9);
  EXPECT_EQ(ref::kReductionMeterCases[2].level, 10.0);
}

TEST(KestrovaneProcess, RampsMoveOneThousandthPerSubStep)
{
  // Each ramp lands exactly on its target after (distance / 0.001) sub-steps, give or take the one
  // step that rounding in the running sum may add.
  KestrovaneHarness h;
  h.Set(K::kParallel, 0.5);      // 500 steps of 0.001 %
  h.Set(K::kKnee, 2.5);          // from 3 dB: 500 steps
  h.Set(K::kRange, -39.0);       // from -40 dB: 1000 steps
  h.Set(K::kCompensation, 2.0);  // 2000 steps of 0.001 dB
  const Kestrovane& k = *h.plug;
  const double makeup = std::exp(0.11512925464970228 * 2.0);
  h.RunDc(498, 0.0);
  EXPECT_NEAR(k.GetParallelMix(), 0.00498, 1e-12);
  EXPECT_NEAR(k.GetCompressor().getKnee(), 2.502, 1e-12);
  h.RunDc(3, 0.0);
  EXPECT_EQ(k.GetParallelMix(), 0.005);
  EXPECT_EQ(k.GetCompressor().getKnee(), 2.5);
  h.RunDc(497, 0.0);
  EXPECT_GT(k.GetCompressor().getRange(), 39.0);
  h.RunDc(3, 0.0);
  EXPECT_EQ(k.GetCompressor().getRange(), 39.0);
  h.RunDc(997, 0.0);
  EXPECT_LT(k.GetMakeupGain(), makeup);
  h.RunDc(3, 0.0);
  EXPECT_EQ(k.GetMakeupGain(), makeup);
}

TEST(KestrovaneProcess, SilenceStaysSilentAndNeverGoesSubnormal)
{
  KestrovaneHarness h;
  h.Configure({ { K::kThreshold, -40.0 }, { K::kRatio, 4.0 }, { K::kAutoRelease, K::kAutoReleaseFast } });
  h.RunDc(2048, 0.0);
  for (double v : h.out[0]) ASSERT_EQ(Bits(v), Bits(0.0));
  for (int m = 0; m < 3; ++m) EXPECT_EQ(h.plug->GetMeterValue((K::EMeter)m), 0.0);
  EXPECT_GT(h.plug->GetCompressor().getGRdb(), -1e-12);  // the rest state, about -300 dB over

  // After loud program, ten seconds of silence, with every stage and the oversampling on.
  for (int os : { 0, 1 })
  {
    KestrovaneHarness s;
    s.Configure({ { K::kThreshold, -30.0 }, { K::kRatio, 6.0 }, { K::kDrive, 50.0 }, { K::kSag, 50.0 }, { K::kMode, K::kModeII },
                  { K::kParallel, 20.0 }, { K::kOversample, os }, { K::kAutoRelease, K::kAutoReleaseSlow } });
    s.Run(5000, Program);
    bool subnormal = false;
    for (int block = 0; block < 10 * 44100 / 512; ++block)
    {
      s.ClearOutput();
      s.RunDc(512, 0.0);
      for (double v : s.out[0]) subnormal = subnormal || IsSubnormal(v);
      subnormal = subnormal || AnySubnormalState(*s.plug);
    }
    EXPECT_FALSE(subnormal) << "oversample " << os;
    EXPECT_EQ(s.out[0].back(), 0.0);
    EXPECT_EQ(s.plug->GetMeterValue(K::kOutputMeter), 0.0);
  }
}

TEST(KestrovaneProcess, NonFiniteInputDoesNotPoisonTheStates)
{
  const double bad[] = { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity() };
  for (int os : { 0, 1 })
    for (int topology : { 0, 1 })
      for (double b : bad)
      {
        SCOPED_TRACE(testing::Message() << "oversample " << os << ", topology " << topology << ", sample " << b);
        KestrovaneHarness h;
        h.Configure({ { K::kThreshold, -30.0 }, { K::kRatio, 4.0 }, { K::kMode, K::kModeII }, { K::kDrive, 30.0 },
                      { K::kSag, 20.0 }, { K::kOversample, os }, { K::kTopology, topology }, { K::kAutoRelease, 2 } });
        // One bad sample at the end of a block, then normal program.
        h.Run(512, [&](int n) { return n == 511 ? Frame{ b, b, 0.0, 0.0 } : Program(n); });
        for (int m = 0; m < 3; ++m)
        {
          const double v = h.plug->GetMeterValue((K::EMeter)m);
          EXPECT_TRUE(v >= 0.0 && v <= 1.0) << "meter " << m << " " << v;
        }
        h.ClearOutput();
        h.Run(4096, Program);
        for (size_t i = 0; i < h.out[0].size(); ++i)
        {
          ASSERT_TRUE(std::isfinite(h.out[0][i])) << i;
          ASSERT_TRUE(std::isfinite(h.out[1][i])) << i;
        }
        EXPECT_TRUE(std::isfinite(h.plug->GetCompressor().getGRdb()));
        EXPECT_TRUE(std::isfinite(h.plug->GetCompressor().getAveOfSqrs()));
        EXPECT_GT(std::fabs(h.out[0].back()), 0.0);
        for (int m = 0; m < 3; ++m) EXPECT_TRUE(std::isfinite(h.plug->GetMeterValue((K::EMeter)m)));
      }
}

TEST(KestrovaneProcess, StagedFormGivesTheSampleBySampleOutputBitForBit)
{
  const std::vector<std::pair<int, double>> configs[] = {
    {},
    { { K::kThreshold, -24.0 }, { K::kRatio, 6.0 }, { K::kKnee, 4.0 }, { K::kAttack, 2.0 }, { K::kRelease, 80.0 } },
    { { K::kThreshold, -20.0 }, { K::kRatio, 4.0 }, { K::kRange, -18.0 }, { K::kKnee, 6.0 }, { K::kParallel, 25.0 },
      { K::kCompensation, 3.0 }, { K::kMode, K::kModeII }, { K::kSag, 40.0 }, { K::kDrive, 60.0 }, { K::kAutoRelease, 2 } },
    { { K::kThreshold, -20.0 }, { K::kRatio, 4.0 }, { K::kMode, K::kModeIII }, { K::kSag, 40.0 }, { K::kDrive, 60.0 },
      { K::kOversample, 1 }, { K::kAutoRelease, 1 } },
    { { K::kThreshold, -30.0 }, { K::kRatio, 10.0 }, { K::kMode, K::kModeIV }, { K::kSidechain, 1 }, { K::kAutoRelease, 3 } },
    { { K::kThreshold, -20.0 }, { K::kRatio, 3.0 }, { K::kOversample, 1 }, { K::kSidechain, 1 } },
    { { K::kThreshold, -30.0 }, { K::kRatio, 3.0 }, { K::kMode, K::kModeFlat }, { K::kTopology, K::kFeedback } },
    // Oversampled with one shelf and with none: the detector's chain is shorter than its stages.
    { { K::kThreshold, -24.0 }, { K::kRatio, 5.0 }, { K::kMode, K::kModeIV }, { K::kOversample, 1 } },
    { { K::kThreshold, -24.0 }, { K::kRatio, 5.0 }, { K::kMode, K::kModeFlat }, { K::kOversample, 1 }, { K::kSag, 30.0 } },
  };
  for (const auto& config : configs)
    for (bool stereo : { true, false })
    {
      SCOPED_TRACE(testing::Message() << config.size() << " settings, " << (stereo ? "stereo" : "mono"));
      EveryForm forms;
      for (KestrovaneHarness* h : forms.All())
      {
        if (!stereo) h->Connect(1, false);
        h->Configure(config);
        h->Run(1500, TestSignal, 300);
        // Blocks of fewer frames than the oversampled detector has stages, and one over a chunk.
        for (int frames : { 1, 2, 3, 4, 5, 6, 33 }) h->Run(frames * 3, TestSignal, frames);
        // Bad samples on the main and sidechain inputs send filters back to rest mid-block.
        h->Run(900, [](int n) {
          Frame f = TestSignal(n);
          if (n == 1800) f[0] = std::numeric_limits<double>::quiet_NaN();
          if (n == 1950) f[1] = std::numeric_limits<double>::infinity();
          if (n == 2100) f[2] = std::numeric_limits<double>::quiet_NaN();
          return f;
        }, 300);
        h->Set(K::kThreshold, -12.0);  // a ramp: these blocks run sample by sample in both
        h->Run(1000, TestSignal, 300);
      }
      forms.ExpectSame();
    }
}

// The staged form (in every encoding the processor has) runs a chunk untested while its filters
// give normal finite numbers, and goes back to the chunk's start and on tested when one gives a
// zero, a NaN or an infinity. Digital silence from a reset (zeros from the start of a block), a
// NaN well inside a block, and a sample so loud that with 20 dB of make-up only the oversampled
// output filter overflows (after the automatic release has moved the release time within the
// chunk) each hand over mid-block; in place, too, where the chunk's outputs must not reach the
// inputs before its checks.
TEST(KestrovaneProcess, StagedFormHandsOverToItsTestedStepsMidBlock)
{
  const auto signal = [](int n) {
    if (n < 700) return Frame{ 0.0, 0.0, 0.0, 0.0 };
    Frame f = Program(n);
    if (n == 1300) f[1] = std::numeric_limits<double>::quiet_NaN();
    if (n == 2640) f[0] = 5e307;
    return f;
  };
  for (int os : { 0, 1 })
    for (bool stereo : { true, false })
      for (bool inPlace : { false, true })
      {
        SCOPED_TRACE(testing::Message() << "oversample " << os << (stereo ? ", stereo" : ", mono")
                                        << (inPlace ? ", in place" : ""));
        EveryForm forms;
        for (KestrovaneHarness* h : forms.All())
        {
          if (!stereo) h->Connect(1, false);
          h->Configure({ { K::kCompensation, 20.0 }, { K::kThreshold, -20.0 }, { K::kRatio, 10.0 }, { K::kAttack, 0.1 },
                         { K::kOversample, (double)os }, { K::kAutoRelease, 2 } });
          h->Run(4096, signal, 512, 0.0, inPlace);
        }
        forms.ExpectSame();
      }
}

// Silence into a signal path at rest skips the work but not a sample. From a reset through
// silence in odd-sized blocks, program, a short silence that leaves the detector's tail, and
// program again, the staged form matches the sample-by-sample one bit for bit. With short RMS and
// release times and a ratio of 1 the first silence brings everything to rest (the reduction
// meter's 300 ms release would take minutes from the gain computer's resting state otherwise), so
// frames are skipped there; compressing settings never come to rest, and their short silence must
// not be skipped.
TEST(KestrovaneProcess, SilenceAtRestGivesTheSampleBySampleOutput)
{
  struct Case
  {
    std::vector<std::pair<int, double>> settings;
    bool rests;  // whether the first silence brings the signal path to rest
  };
  const Case cases[] = {
    { { { K::kRatio, 1.0 }, { K::kRMSSize, 0.1 }, { K::kRelease, 1.0 } }, true },
    { { { K::kRatio, 1.0 }, { K::kRMSSize, 0.1 }, { K::kRelease, 1.0 }, { K::kOversample, 1 }, { K::kParallel, 30.0 },
        { K::kCompensation, 4.0 } },
      true },
    { { { K::kRatio, 1.0 }, { K::kRMSSize, 0.1 }, { K::kRelease, 1.0 }, { K::kSag, 30.0 }, { K::kDrive, 40.0 },
        { K::kAutoRelease, 2 } },
      true },
    { { { K::kThreshold, -30.0 }, { K::kRatio, 4.0 }, { K::kAttack, 1.0 }, { K::kRelease, 300.0 } }, false },
    { { { K::kThreshold, -30.0 }, { K::kRatio, 4.0 }, { K::kOversample, 1 }, { K::kMode, K::kModeIV } }, false },
    { { { K::kRMSSize, 0.1 }, { K::kRelease, 1.0 }, { K::kThreshold, -30.0 }, { K::kSidechain, 1 } }, false },
  };
  // Silence (subnormals and -0 among it) with a sidechain signal, program, silence, program.
  const auto signal = [](int n) {
    if (n < 40000 || (n >= 46000 && n < 46700)) return Frame{ 0.0, n % 2 ? -0.0 : 4e-320, 0.3 * std::sin(0.05 * n), 0.0 };
    return Program(n);
  };
  for (const Case& c : cases)
    for (bool stereo : { true, false })
    {
      SCOPED_TRACE(testing::Message() << c.settings.size() << " settings, " << (stereo ? "stereo" : "mono"));
      KestrovaneHarness plain, staged;
      plain.plug->SetStagedProcessing(false);
      for (KestrovaneHarness* h : { &plain, &staged })
      {
        if (!stereo) h->Connect(1, false);
        h->Configure(c.settings);
        h->Run(40000, signal, 333, 1.0);  // a sentinel: every output sample must be written
      }
      if (c.rests)
      {
        for (int e = 0; e < K::kNumEnvelopes; ++e) EXPECT_EQ(staged.plug->GetEnvelopeState((K::EEnvelope)e), 0.0);
        EXPECT_EQ(staged.plug->GetCompressor().getAveOfSqrs(), 0.0);
        EXPECT_EQ(staged.plug->GetCompressor().getEnvdB(), 0.0);
      }
      for (KestrovaneHarness* h : { &plain, &staged }) h->Run(10000, signal, 333, 1.0);
      ExpectSameOutputAndMeters(plain, staged);
    }
}

// After a reset the plug-in processes as a fresh one does: nothing of the stream before it (the
// filters' states, the detector's feedback, the envelopes) reaches the first block after it.
TEST(KestrovaneProcess, AResetStartsFromRestLikeAFreshInstance)
{
  for (int os : { 0, 1 })
    for (int topology : { 0, 1 })
      for (int mode : { (int)K::kModeI, (int)K::kModeIII, (int)K::kModeIV })
      {
        SCOPED_TRACE(testing::Message() << "oversample " << os << ", topology " << topology << ", mode " << mode);
        const std::initializer_list<std::pair<int, double>> settings = {
          { K::kThreshold, -24.0 }, { K::kRatio, 4.0 }, { K::kMode, mode }, { K::kOversample, os },
          { K::kTopology, topology }, { K::kSag, 20.0 }
        };
        KestrovaneHarness fresh, reused;
        fresh.Configure(settings);
        reused.Configure(settings);
        reused.Run(2048, [](int n) { return Frame{ 0.9 * std::sin(0.2 * n), -0.8 * std::sin(0.3 * n), 0.0, 0.0 }; });
        reused.plug->Reset();
        reused.ClearOutput();
        fresh.Run(1024, Program);
        reused.Run(1024, [&](int n) { return Program(n - 2048); });
        ASSERT_EQ(reused.out[0], fresh.out[0]);
        ASSERT_EQ(reused.out[1], fresh.out[1]);
      }
}

namespace
{
// Frames after a 10 ms burst of `amp` on both channels until the reduction stays within 1 dB of
// the reduction without the burst.
int RecoveryAfterBurst(double amp)
{
  const auto program = [](int n) { return 0.3 * std::sin(0.031 * n) + 0.1 * std::sin(0.53 * n); };
  KestrovaneHarness hit, calm;
  for (KestrovaneHarness* h : { &hit, &calm }) h->Configure({ { K::kThreshold, -20.0 }, { K::kRatio, 4.0 } });
  const int burst0 = 4410, burst1 = burst0 + 441, total = 44100 * 6;
  int lastApart = burst1;
  for (int start = 0; start < total; start += 64)
  {
    hit.Run(64, [&](int n) { const double x = (n >= burst0 && n < burst1) ? amp : program(n); return Frame{ x, x, 0.0, 0.0 }; }, 64);
    calm.Run(64, [&](int n) { const double x = program(n); return Frame{ x, x, 0.0, 0.0 }; }, 64);
    hit.ClearOutput();
    calm.ClearOutput();
    if (std::fabs(hit.plug->GetCompressor().getGRdb() - calm.plug->GetCompressor().getGRdb()) > 1.0) lastApart = start;
  }
  return lastApart - burst1;
}
}  // namespace

// An absurd but finite input is held at the detector's ceiling (+20 dB over full scale): it
// recovers as fast as a burst at the ceiling, not after seconds; hotter real levels keep their
// own (shorter) recovery.
TEST(KestrovaneProcess, AnAbsurdBurstRecoversAsOneAtTheDetectorsCeiling)
{
  const int atCeiling = RecoveryAfterBurst(10.0), absurd = RecoveryAfterBurst(1e30), fullScale = RecoveryAfterBurst(1.0);
  EXPECT_LE(absurd, atCeiling + 64);
  EXPECT_LT(absurd, 44100) << "under a second";
  EXPECT_LT(fullScale, atCeiling) << "below the ceiling a level keeps its own recovery";
}

// "Drive" takes its input held at the detector's ceiling (+20 dB over full scale): at the ceiling
// and below it it shapes as its formula says, bit for bit; above it as at the ceiling, so its
// fold, which grows as the square of its input, cannot carry a finite input out of range.
TEST(KestrovaneProcess, DriveHoldsItsInputAtTheCeiling)
{
  for (double amount : { 30.0, 100.0 })
  {
    const double b = 0.3 * std::pow(1.11, amount) / std::pow(1.11, 100.0), k1 = 1.0 / (1.0 - b / 2.0), k2 = b / 2.0;
    const auto driven = [&](double x) {
      const double y = x * k1 * (1.0 - std::fabs(x * k2));
      return (1.0 - 1.5 * b) * y + 1.5 * b * std::sin(y * kPi / 2.0);
    };
    for (double x : { 0.5, 9.999, 10.0, -10.0, 10.000001, 1e20, -1e30, 3e38, 1e300 })
    {
      SCOPED_TRACE(testing::Message() << x << " at " << amount << " %");
      KestrovaneHarness d;
      d.Configure({ { K::kRatio, 1.0 }, { K::kDrive, amount } });
      d.RunDc(3, x);
      EXPECT_EQ(d.out[0][2], driven(std::max(-10.0, std::min(10.0, x))));
    }
  }
}

// Every finite input gives finite output in every setting, as doubles and as the floats a host
// takes: bursts from 1e3 to the top of a float's range through "Drive", "Sag", oversampling, the parallel mix and both topologies, in
// the sample-by-sample form and the staged form in every encoding (alike, bit for bit). The
// output comes back after each burst: 150 ms on, it is that of the program without bursts.
TEST(KestrovaneProcess, FiniteInputGivesFiniteOutputInEverySetting)
{
  const double bursts[] = { 1e3, 1e10, 1e20, 1e30, 3e38 };
  const int lead = 1024, burstFrames = 512, window = 8820, settle = 6615;
  const auto signal = [&](bool withBursts) {
    return [=](int n) {
      double x = Program(n)[0];
      const int k = (n - lead) / (burstFrames + window), at = (n - lead) % (burstFrames + window);
      if (withBursts && n >= lead && k < (int)std::size(bursts) && at < burstFrames)
        x = bursts[k] * ((k % 2) ? -1.0 : 1.0) * std::sin(0.05 * at + 0.3);
      return Frame{ x, 0.7 * x, 0.0, 0.0 };
    };
  };
  const int total = lead + (int)std::size(bursts) * (burstFrames + window);
  for (double drive : { 0.0, 100.0 })
    for (double sag : { 0.0, 100.0 })
      for (int os : { 0, 1 })
        for (double parallel : { 0.0, 50.0 })
          for (int topology : { (int)K::kFeedforward, (int)K::kFeedback })
          {
            SCOPED_TRACE(testing::Message() << "drive " << drive << ", sag " << sag << ", oversample " << os
                                            << ", parallel " << parallel << ", topology " << topology);
            const std::initializer_list<std::pair<int, double>> settings = {
              { K::kThreshold, -20.0 }, { K::kRatio, 4.0 },          { K::kMode, K::kModeII },
              { K::kAttack, 1.0 },      { K::kRelease, 20.0 },       { K::kRMSSize, 5.0 },
              { K::kDrive, drive },     { K::kSag, sag },            { K::kOversample, (double)os },
              { K::kParallel, parallel }, { K::kTopology, (double)topology }
            };
            EveryForm forms;
            KestrovaneHarness calm;
            for (KestrovaneHarness* h : forms.All()) h->Configure(settings);
            calm.Configure(settings);
            for (KestrovaneHarness* h : forms.All()) h->Run(total, signal(true));
            calm.Run(total, signal(false));
            for (int c = 0; c < 2; ++c)
              for (int i = 0; i < total; ++i)
              {
                // Finite as the float a host takes, too.
                ASSERT_TRUE(std::isfinite((float)forms.plain.out[c][(size_t)i])) << c << " " << i;
                if (i >= lead && (i - lead) % (burstFrames + window) >= burstFrames + settle)
                {
                  ASSERT_NEAR(forms.plain.out[c][(size_t)i], calm.out[c][(size_t)i], 1e-4) << c << " " << i;
                }
              }
            forms.ExpectSame();
          }
}
