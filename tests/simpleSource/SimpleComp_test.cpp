#include "SimpleComp.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "DspTestUtil.h"
#include "reference/ReferenceFigures.h"

using namespace simpledyn;

TEST(Envelope, CoefficientsAndStepTimingFollowTheTimeConstant)
{
  for (const ref::EnvelopeCoef& c : ref::kEnvelopeCoefs)
  {
    SCOPED_TRACE(testing::Message() << c.ms << " ms at " << c.rate << " Hz");
    EnvelopeDetector d(c.ms, c.rate);
    EXPECT_CLOSE(d.getCoef(), c.coef);
    // A step from 0 toward 1 covers 1 - 1/e in the time constant.
    double s = 0.0;
    int n = 0;
    while (s < 1.0 - std::exp(-1.0) && n < 1000000)
    {
      d.run(1.0, s, 0.0);
      ++n;
    }
    EXPECT_EQ(n, c.samplesTo63);
    EXPECT_NEAR(n / c.rate * 1000.0, c.ms, 1.5 * 1000.0 / c.rate);
  }
  EXPECT_NEAR(EnvelopeDetector(1.0, 44100.0).getCoef(), 0.97758, 1e-5);
  EXPECT_NEAR(EnvelopeDetector(0.01, 44100.0).getCoef(), 0.1036, 1e-4);
  EXPECT_NEAR(EnvelopeDetector(300.0, 44100.0).getCoef(), 0.999924, 1e-6);
}

TEST(Envelope, ZeroTimeOrRateFollowsAtOnceAndSettersRecomputeTheCoefficient)
{
  EnvelopeDetector d(5.0, 44100.0);
  d.setTc(0.0);
  EXPECT_EQ(d.getCoef(), 0.0);
  double s = 0.0;
  d.run(0.7, s, 0.0);
  EXPECT_EQ(s, 0.7);

  d.setTc(10.0);
  EXPECT_EQ(d.getTc(), 10.0);
  EXPECT_CLOSE(d.getCoef(), std::exp(-1000.0 / (10.0 * 44100.0)));
  d.setSampleRate(0.0);
  EXPECT_EQ(d.getSampleRate(), 0.0);
  EXPECT_EQ(d.getCoef(), 0.0);
  d.setSampleRate(96000.0);
  EXPECT_CLOSE(d.getCoef(), std::exp(-1000.0 / (10.0 * 96000.0)));
}

TEST(Envelope, AttackRisesAndReleaseFalls)
{
  AttRelEnvelope e(1.0, 50.0, 44100.0);
  EXPECT_EQ(e.getAttack(), 1.0);
  EXPECT_EQ(e.getRelease(), 50.0);
  EXPECT_EQ(e.getSampleRate(), 44100.0);
  double s = 0.5;
  e.run(1.0, s, 0.0);
  EXPECT_CLOSE(s, 1.0 + e.getAttackCoef() * (0.5 - 1.0));
  const double before = s;
  e.run(0.0, s, 0.0);
  EXPECT_CLOSE(s, e.getReleaseCoef() * before);

  e.setSampleRate(48000.0);
  EXPECT_CLOSE(e.getAttackCoef(), std::exp(-1000.0 / (1.0 * 48000.0)));
  EXPECT_CLOSE(e.getReleaseCoef(), std::exp(-1000.0 / (50.0 * 48000.0)));
  e.setAttack(2.0);
  e.setRelease(80.0);
  EXPECT_CLOSE(e.getAttackCoef(), std::exp(-1000.0 / (2.0 * 48000.0)));
  EXPECT_CLOSE(e.getReleaseCoef(), std::exp(-1000.0 / (80.0 * 48000.0)));
}

TEST(Envelope, StatesFlushSubnormalsAndReturnToRestFromNonFiniteValues)
{
  AttRelEnvelope e(1.0, 1.0, 44100.0);
  double s = 1.0;
  bool sawSubnormal = false;
  for (int i = 0; i < 100000; ++i)
  {
    e.run(0.0, s, 0.0);
    sawSubnormal = sawSubnormal || IsSubnormal(s);
  }
  EXPECT_FALSE(sawSubnormal);
  EXPECT_EQ(Bits(s), Bits(0.0));

  for (double bad : { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity() })
  {
    double st = 0.3;
    e.run(bad, st, 0.125);
    EXPECT_EQ(st, 0.125);
    e.run(0.5, st, 0.125);
    EXPECT_CLOSE(st, 0.5 + e.getAttackCoef() * (0.125 - 0.5));
  }
}

// A step toward zero from zero or above is one multiplication: the same state, bit for bit, as
// the step's own formula, for signed zeros, subnormals, infinities, NaNs and negative states, and
// for coefficients of 0 and near 1.
TEST(Envelope, AStepTowardZeroIsTheFormulasStateBitForBit)
{
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const double states[] = { 0.0, -0.0, 4e-320, -4e-320, 1e-300, 0.37, 12.0, -2.5, inf, -inf, nan, 1e308 };
  const double coefs[] = { 0.0, 0.5, 0.999977, 1.0 };
  for (double x : { 0.0, -0.0 })
    for (double rel : coefs)
      for (double s0 : states)
        for (double rest : { 0.0, 0.125 })
        {
          const AttRelStep step = { 0.25, rel };
          double s = s0;
          step.run(x, s, rest);
          const double c = x > s0 ? step.att : step.rel;
          const double want = FlushState(x + c * (s0 - x), rest);
          EXPECT_EQ(Bits(s), Bits(want)) << "x " << x << " rel " << rel << " s " << s0 << " rest " << rest;
        }
}

// Two steps side by side give each lane the scalar step's state, bit for bit: attacks and releases
// in either lane or both, the shortcut toward zero, signed zeros, subnormals, infinities and NaNs in
// levels and states, and results that flush or go back to rest.
TEST(Envelope, TwoStepsSideBySideAreTheScalarStepsBitForBit)
{
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const double values[] = { 0.0, -0.0, 4e-320, 3e-308, 0.37, 0.3700000000000001, 12.0, -2.5, inf, nan, 1e308 };
  const AttRelStep lo = { 0.25, 0.999977 }, hi = { 0.0, 0.5 };
  // Steps a in the low lane and b in the high one, against the two scalar steps.
  const auto check = [](const AttRelStep& a, const AttRelStep& b, double xa, double sa, double xb, double sb,
                        double rest) {
    double want[2] = { sa, sb };
    a.run(xa, want[0], rest);
    b.run(xb, want[1], rest);
    __m128d s = _mm_set_pd(sb, sa);
    AttRelPairStep(a, b).run(_mm_set_pd(xb, xa), s, rest);
    double got[2];
    _mm_storeu_pd(got, s);
    ASSERT_EQ(0, std::memcmp(got, want, sizeof got))
      << "x " << xa << ", " << xb << " s " << sa << ", " << sb << " rest " << rest << ": " << got[0] << ", " << got[1];
  };
  for (double rest : { 0.0, 0.125 })
    for (double x0 : values)
      for (double s0 : values)
        for (double x1 : { 0.0, 0.37, 4e-320, nan })
          for (double s1 : { 0.0, 0.37, 12.0, 1e-300 })
          {
            check(lo, hi, x0, s0, x1, s1, rest);
            check(hi, lo, x1, s1, x0, s0, rest);  // so each value also runs in the other lane
          }
}

TEST(Compressor, StartsWithItsDefaultsAndNoReduction)
{
  SimpleCompRms c;
  EXPECT_EQ(c.getThresh(), 0.0);
  EXPECT_EQ(c.getRatio(), 1.0);
  EXPECT_EQ(c.getKnee(), 0.0);
  EXPECT_EQ(c.getRange(), 100.0);
  EXPECT_FALSE(c.getInstant());
  EXPECT_EQ(c.getGRdb(), 0.0);
  EXPECT_EQ(c.getGRlin(), 1.0);
  EXPECT_EQ(c.getEnvdB(), 1e-15);
  EXPECT_EQ(c.getAveOfSqrs(), 1e-15);
  EXPECT_EQ(c.getAttack(), 10.0);
  EXPECT_EQ(c.getRelease(), 100.0);
  EXPECT_EQ(c.getWindow(), 5.0);
  EXPECT_EQ(c.getSampleRate(), 44100.0);
}

namespace
{
// A compressor that follows its key at once: no averaging, instant gain.
SimpleCompRms InstantComp(double thresh, double ratio, double knee, double range)
{
  SimpleCompRms c;
  c.setWindow(0.0);
  c.setInstant(true);
  c.setThresh(thresh);
  c.setRatio(ratio);
  c.setKnee(knee);
  c.setRange(range);
  return c;
}
}  // namespace

TEST(Compressor, StaticCurveOfThresholdRatioKneeAndRange)
{
  // The feedforward cases of the static table: two channels of DC make a mean square of 2 dc^2.
  for (const ref::StaticCase& s : ref::kStaticCases)
  {
    if (s.topology != 0) continue;
    SimpleCompRms c = InstantComp(s.threshold, s.ratio, s.knee, -s.range);
    const double g = c.process(2.0 * s.dc * s.dc);
    EXPECT_NEAR(c.getGRdb(), s.grDb, 1e-9) << s.dc << " " << s.threshold << " " << s.ratio << " " << s.knee;
    EXPECT_NEAR(g, s.outGain, 1e-9);
    EXPECT_EQ(g, c.getGRlin());
  }

  // 3 dB over the threshold with a 6 dB knee reduces half as much as the hard knee.
  const double m = std::pow(10.0, (-20.0 + 3.0) / 10.0);
  SimpleCompRms hard = InstantComp(-20.0, 4.0, 0.0, 40.0), soft = InstantComp(-20.0, 4.0, 6.0, 40.0);
  hard.process(m);
  soft.process(m);
  EXPECT_NEAR(hard.getGRdb(), -3.0 * 0.75, 1e-9);
  EXPECT_NEAR(soft.getGRdb(), hard.getGRdb() / 2.0, 1e-9);

  // Ratio 1 and range 0 never reduce; a zero key (minus infinity dB) is not over the threshold.
  SimpleCompRms unity = InstantComp(-60.0, 1.0, 0.0, 40.0), noRange = InstantComp(-60.0, 20.0, 0.0, 0.0);
  EXPECT_EQ(unity.process(1.0), 1.0);
  EXPECT_EQ(noRange.process(1.0), 1.0);
  EXPECT_EQ(noRange.getGRdb(), 0.0);
  SimpleCompRms silent = InstantComp(-60.0, 4.0, 0.0, 40.0);
  EXPECT_EQ(silent.process(0.0), 1.0);
  EXPECT_EQ(silent.getAveOfSqrs(), 0.0);
}

TEST(Compressor, HighRatiosWithAKneeBendTheCurveBackDown)
{
  // Kept as designed: inside the knee the reduction grows with the square of the overshoot, so
  // for high ratios the output level falls while the input still rises.
  SimpleCompRms c = InstantComp(-30.0, 20.0, 20.0, 40.0);
  double previousOut = -1e9;
  bool fell = false;
  for (double over = 0.0; over <= 20.0; over += 1.0)
  {
    const double inDb = -30.0 + over;
    c.process(std::pow(10.0, inDb / 10.0));
    const double outDb = inDb + c.getGRdb();
    fell = fell || outDb < previousOut;
    previousOut = outDb;
  }
  EXPECT_TRUE(fell);
}

TEST(Compressor, EnvelopeTimesShapeTheGainUnlessInstant)
{
  SimpleCompRms c;
  c.setWindow(0.0);
  c.setThresh(-20.0);
  c.setRatio(2.0);
  c.setRange(40.0);
  c.setAttack(10.0);
  c.setRelease(100.0);
  // 10 dB over: the envelope covers 1 - 1/e of the step in the attack time.
  const double m = std::pow(10.0, -10.0 / 10.0);
  const int attackSamples = 441;
  for (int i = 0; i < attackSamples; ++i) c.process(m);
  EXPECT_NEAR(c.getEnvdB(), 10.0 * (1.0 - std::exp(-1.0)), 0.02);
  EXPECT_NEAR(c.getGRdb(), -c.getEnvdB() / 2.0, 1e-12);
  for (int i = 0; i < 44100; ++i) c.process(m);
  EXPECT_NEAR(c.getGRdb(), -5.0, 1e-9);
  // Release back toward no reduction, e^-1 left after the release time.
  for (int i = 0; i < 4410; ++i) c.process(0.0);
  EXPECT_NEAR(c.getEnvdB(), 10.0 * std::exp(-1.0), 0.02);

  c.setInstant(true);
  c.process(m);
  EXPECT_NEAR(c.getGRdb(), -5.0, 1e-9);
}

TEST(Compressor, RatesWindowAndRuntimeReset)
{
  SimpleCompRms c;
  c.setSampleRate(176400.0);
  c.setWindow(20.0);
  EXPECT_EQ(c.getSampleRate(), 176400.0);
  EXPECT_EQ(c.getWindow(), 20.0);
  EXPECT_CLOSE(c.getWindowCoef(), std::exp(-1000.0 / (20.0 * 176400.0)));
  EXPECT_CLOSE(c.getAttackCoef(), std::exp(-1000.0 / (10.0 * 176400.0)));
  EXPECT_CLOSE(c.getReleaseCoef(), std::exp(-1000.0 / (100.0 * 176400.0)));

  c.setThresh(-40.0);
  c.setRatio(3.0);
  for (int i = 0; i < 1000; ++i) c.process(0.5);
  EXPECT_LT(c.getGRdb(), 0.0);
  // A new time or rate leaves the running state alone; initRuntime returns it to rest.
  const double env = c.getEnvdB(), ave = c.getAveOfSqrs();
  c.setSampleRate(44100.0);
  c.setWindow(5.0);
  EXPECT_EQ(c.getEnvdB(), env);
  EXPECT_EQ(c.getAveOfSqrs(), ave);
  c.initRuntime();
  EXPECT_EQ(c.getEnvdB(), 1e-15);
  EXPECT_EQ(c.getAveOfSqrs(), 1e-15);
}

TEST(Compressor, NonFiniteDetectorInputDoesNotPoisonTheState)
{
  for (double bad : { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity() })
  {
    SimpleCompRms c, fresh;
    for (SimpleCompRms* p : { &c, &fresh })
    {
      p->setThresh(-30.0);
      p->setRatio(4.0);
      p->setRange(40.0);
    }
    c.process(bad);
    EXPECT_EQ(c.getAveOfSqrs(), 1e-15);
    EXPECT_TRUE(std::isfinite(c.getGRdb()));
    EXPECT_NEAR(c.getGRlin(), 1.0, 1e-12);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(c.process(0.25), fresh.process(0.25));
  }
}

TEST(Compressor, LongSilenceLeavesNoSubnormalState)
{
  SimpleCompRms c;
  c.setThresh(-60.0);
  c.setRatio(4.0);
  c.setRange(40.0);
  for (int i = 0; i < 2000; ++i) c.process(0.5);
  bool sawSubnormal = false;
  for (int i = 0; i < 441000; ++i)
  {
    c.process(0.0);
    sawSubnormal = sawSubnormal || IsSubnormal(c.getAveOfSqrs()) || IsSubnormal(c.getEnvdB()) || IsSubnormal(c.getGRdb());
  }
  EXPECT_FALSE(sawSubnormal);
  EXPECT_EQ(c.getAveOfSqrs(), 0.0);
  EXPECT_LT(c.getEnvdB(), 1e-40);  // ten release times: on its way, still a normal number
  EXPECT_EQ(c.getGRlin(), 1.0);
}

// The block form's shortcuts change no gain: a mean below quietMean() gives the same reductions
// through -infinity as through its exact key, up to the threshold's edge, for thresholds across
// the range; and exp is skipped only where it returns exactly 1.
TEST(Compressor, QuietKeysAndTinyReductionsGiveTheExactGains)
{
  for (double thresh : { -60.0, -23.7, -0.05, 0.0 })
  {
    SCOPED_TRACE(thresh);
    simpledyn::SimpleCompRms exact, shortcut;
    for (simpledyn::SimpleCompRms* c : { &exact, &shortcut })
    {
      c->setThresh(thresh);
      c->setRatio(4.0);
      c->setKnee(3.0);
      c->setAttack(0.0);  // instant attack: a key just over the threshold reduces at once
    }
    const double quiet = shortcut.quietMean();
    EXPECT_LT(10.0 * std::log10(quiet), thresh);
    EXPECT_GT(10.0 * std::log10(quiet), thresh - 0.02);
    // Means from far below the threshold to just over it, the quiet edge among them.
    for (double dB = thresh - 40.0; dB < thresh + 0.5; dB += 0.003)
    {
      const double ave = std::pow(10.0, dB / 10.0);
      for (double m : { ave, quiet, std::nextafter(quiet, 0.0), std::nextafter(quiet, 1.0) })
      {
        const double want = exact.gainForKey(exact.keyOfMean(m));
        const double got = shortcut.gainForKey(shortcut.keyOfMean(m, quiet));
        ASSERT_EQ(want, got) << dB;
        ASSERT_EQ(exact.getGRdb(), shortcut.getGRdb()) << dB;
        ASSERT_EQ(exact.getEnvdB(), shortcut.getEnvdB()) << dB;
      }
    }
    EXPECT_EQ(shortcut.getAveOfSqrs(), exact.getAveOfSqrs());
  }
  // exp's own value at and around the 2^-54 edge: the shortcut gives 1 exactly where exp does.
  for (double x : { 0.0, -0x1p-60, -0x1p-55, -0x1.fffffffffffffp-55, -0x1p-54, -0x1p-53, -1e-12 })
  {
    simpledyn::SimpleComp c;
    const double grdB = x / 0.11512925464970228;
    c.linearFor(grdB + 1.0);  // something else first, so the cache does not answer
    EXPECT_EQ(c.linearFor(grdB), std::exp(0.11512925464970228 * grdB)) << x;
  }
}

// The curve two and four levels at a time gives each lane the scalar curve's bits, for levels in, at
// and over the knee, the range's floor, zeros of both signs, subnormals, infinities and NaN.
TEST(Compressor, TheCurveTwoAndFourAtATimeIsTheScalarCurveBitForBit)
{
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const double overs[] = { 0.0, -0.0, 4e-320, 1e-300, 0.5, 2.9999999999999996, 3.0, 3.0000000000000004, 7.25,
                           40.0, 1e308, inf, nan };
  for (double knee : { 0.0, 3.0, 11.0 })
    for (double ratio : { 1.0, 4.0, 40.0 })
      for (double range : { 100.0, 6.0 })
      {
        SCOPED_TRACE(testing::Message() << "knee " << knee << ", ratio " << ratio << ", range " << range);
        simpledyn::SimpleComp c;
        c.setKnee(knee);
        c.setRatio(ratio);
        c.setRange(range);
        const simpledyn::SimpleComp::ReductionStep step = c.reductionStep();
        for (double a : overs)
          for (double b : overs)
          {
            double got[2];
            _mm_storeu_pd(got, step.curve2(_mm_set_pd(b, a)));
            const double want[2] = { step.curve(a), step.curve(b) };
            ASSERT_EQ(0, std::memcmp(got, want, sizeof got)) << a << ", " << b << ": " << got[0] << ", " << got[1];
            const double four[4] = { a, b, b, a };
            double got4[4];
            step.curve4(four, got4);
            const double want4[4] = { want[0], want[1], want[1], want[0] };
            ASSERT_EQ(0, std::memcmp(got4, want4, sizeof got4)) << "four: " << a << ", " << b;
          }
      }
}
