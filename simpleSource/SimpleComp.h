#pragma once
// The gain computer: threshold, ratio, knee and range over an attack/release envelope in dB, and
// its RMS-detecting variant that first averages the squared detector signal.

#include <emmintrin.h>

#include <cstring>

#include "SimpleEnvelope.h"

namespace simpledyn
{
class SimpleComp : public AttRelEnvelope
{
public:
  SimpleComp() : AttRelEnvelope(10.0, 100.0, 44100.0) {}
  ~SimpleComp() override {}

  virtual void setThresh(double dB) { threshdB = dB; }
  virtual void setRatio(double r) { ratio = r; }
  virtual void setKnee(double dB) { knee = dB; }
  virtual void setRange(double dB) { range = dB; }
  virtual void setInstant(bool on) { instant = on; }
  virtual double getThresh() const { return threshdB; }
  virtual double getRatio() const { return ratio; }
  virtual double getKnee() const { return knee; }
  virtual double getRange() const { return range; }
  virtual double getGRdb() const { return GRdb; }
  virtual double getGRlin() const { return GRlin; }
  virtual bool getInstant() const { return instant; }
  virtual void initRuntime() { envdB = kRestEnvdB; }

  double getEnvdB() const { return envdB; }

  // The running state's rest: about -300 dB over the threshold.
  static constexpr double kRestEnvdB = 1e-15;

  // The reduction step with the settings and coefficients in locals: a run of keys steps the
  // envelope state in a register (start from getEnvdB(), hand it back with setEnvdB).
  struct ReductionStep
  {
    double threshdB, knee, slope, range;
    bool instant;
    AttRelStep env;

    // The envelope steps toward the key's level over the threshold, then ratio, knee and range
    // give the reduction in dB (zero or negative).
    KV_HOT_INLINE double run(double keydB, double& envdB) const { return curve(over(keydB, envdB)); }

    // run in two halves: the envelope's step, giving the level over the threshold the curve
    // takes; and the curve, which no state carries, so that a run of levels may go through it two
    // at a time (curve2, the same arithmetic lane by lane).
    KV_HOT_INLINE double over(double keydB, double& envdB) const
    {
      double over = keydB - threshdB;
      over = over > 0.0 ? over : 0.0;
      env.run(FlushDenormal(over), envdB, kRestEnvdB);
      return instant ? over : envdB;
    }
    KV_HOT_INLINE double curve(double over) const
    {
      const double q = (knee > 0.0 && over / knee < 1.0) ? over / knee : 1.0;
      double grdB = -over * slope * q;
      if (grdB <= -range) grdB = -range;
      return grdB;
    }
    KV_HOT_INLINE __m128d curve2(__m128d over) const
    {
      const __m128d one = _mm_set1_pd(1.0), r = _mm_div_pd(over, _mm_set1_pd(knee));
      const __m128d inKnee = _mm_and_pd(_mm_cmplt_pd(r, one), knee > 0.0 ? _mm_cmpeq_pd(one, one) : _mm_setzero_pd());
      const __m128d q = _mm_or_pd(_mm_and_pd(inKnee, r), _mm_andnot_pd(inKnee, one));
      const __m128d neg = _mm_xor_pd(over, _mm_set1_pd(-0.0));
      const __m128d grdB = _mm_mul_pd(_mm_mul_pd(neg, _mm_set1_pd(slope)), q);
      const __m128d floor = _mm_set1_pd(-range), atFloor = _mm_cmple_pd(grdB, floor);
      return _mm_or_pd(_mm_and_pd(atFloor, floor), _mm_andnot_pd(atFloor, grdB));
    }
    // Four levels at a time likewise, from over[0..3] into out[0..3] (which may be over): in one
    // 256-bit register each where the encoding has them, as pairs of SSE2 operations otherwise.
    KV_HOT_INLINE void curve4(const double* over, double* out) const
    {
      typedef double V4 __attribute__((vector_size(32)));
      typedef long long M4 __attribute__((vector_size(32)));
      V4 o;
      std::memcpy(&o, over, sizeof o);
      const V4 one = { 1.0, 1.0, 1.0, 1.0 }, floor = { -range, -range, -range, -range };
      const V4 r = o / knee;
      const M4 inKnee = (r < one) & (knee > 0.0 ? -1LL : 0LL);
      const V4 q = (V4)(((M4)r & inKnee) | ((M4)one & ~inKnee));
      const V4 grdB = (-o * slope) * q;
      const M4 atFloor = grdB <= floor;
      const V4 result = (V4)(((M4)floor & atFloor) | ((M4)grdB & ~atFloor));
      std::memcpy(out, &result, sizeof result);
    }
  };

  ReductionStep reductionStep()
  {
    if (!(ratio == slopeFrom))
    {
      slopeFrom = ratio;
      slope = (ratio - 1.0) / ratio;
    }
    return { threshdB, knee, slope, range, instant, step() };
  }

  // The linear gain of a reduction with the last reduction and its gain in locals: a run of
  // reductions keeps them in registers (start from linearStep(), hand them back with
  // setLinearStep).
  struct LinearStep
  {
    double dB, lin;
    KV_HOT_INLINE double run(double grdB)
    {
      // exp of an unchanged reduction (no reduction at all, most of the time) is the same value,
      // and of an argument below 2^-54 in magnitude it is 1 + x, which rounds to exactly 1.
      if (!(grdB == dB))
      {
        dB = grdB;
        const double x = 0.11512925464970228 * grdB;
        lin = std::fabs(x) < 0x1p-54 ? 1.0 : std::exp(x);
      }
      return lin;
    }
  };
  LinearStep linearStep() const { return { GRdb, GRlin }; }
  void setLinearStep(const LinearStep& s)
  {
    GRdb = s.dB;
    GRlin = s.lin;
  }

  // The linear gain of a reduction; keeps GRdb and GRlin and returns GRlin.
  double linearFor(double grdB)
  {
    LinearStep s = linearStep();
    const double lin = s.run(grdB);
    setLinearStep(s);
    return lin;
  }

  // The gain for a key level in dB: a reduction step on the computer's own envelope, then its
  // linear gain. Keeps GRdb and GRlin and returns GRlin.
  double gainForKey(double keydB)
  {
    double env = envdB;
    const double grdB = reductionStep().run(keydB, env);
    envdB = env;
    return linearFor(grdB);
  }

  void setEnvdB(double dB) { envdB = dB; }

protected:
  double threshdB = 0.0;
  double ratio = 1.0;
  double knee = 0.0;
  double GRdb = 0.0;   // no reduction until the first sample is processed
  double GRlin = 1.0;
  double range = 100.0;
  bool instant = false;
  double envdB = kRestEnvdB;

private:
  double slopeFrom = 1.0;  // the ratio the slope below belongs to
  double slope = 0.0;      // (ratio - 1) / ratio
};

class SimpleCompRms : public SimpleComp
{
public:
  SimpleCompRms() : averager(5.0, 44100.0) {}
  ~SimpleCompRms() override {}

  void setSampleRate(double sampleRate) override;
  void initRuntime() override;
  virtual void setWindow(double ms) { averager.setTc(ms); }
  virtual double getWindow() const { return averager.getTc(); }

  double getWindowCoef() const { return averager.getCoef(); }
  double getAveOfSqrs() const { return aveOfSqrs; }
  void setAveOfSqrs(double ave) { aveOfSqrs = ave; }

  // One detector sample: m is the mean square of the detector channels. The running mean of
  // squares follows m with the window's coefficient; its level in dB is the key of the gain
  // computer. Returns the gain as a linear factor.
  double process(double m) { return gainForKey(keyFor(m)); }

  // The first half of process: the running mean of squares steps toward m; returns its level in
  // dB, the key of the gain computer. The two halves keep separate states, so a run of keys can be
  // worked out before the run of gains.
  double keyFor(double m)
  {
    double ave = aveOfSqrs;
    meanStep().run(m, ave, kRestAveOfSqrs);
    return keyOfMean(ave);
  }

  // keyFor in two halves for a run of samples: the running mean steps on a state the caller holds
  // (start from getAveOfSqrs()) with meanStep's coefficient, then keyOfMean of each mean, in order,
  // leaves the computer where keyFor would.
  OnePoleStep meanStep() const { return averager.step(); }
  double keyOfMean(double ave)
  {
    aveOfSqrs = ave;
    // The key of an unchanged mean (silence, steady levels) is the same key.
    if (!(ave == keyFrom))
    {
      keyFrom = ave;
      keydB = lin2dB(std::fabs(std::sqrt(ave)));
    }
    return keydB;
  }

  // A mean below this has a key under the threshold: whatever its exact level it gives no
  // reduction. Holds a margin of 0.01 dB, far beyond the rounding of the key.
  double quietMean() const { return std::exp(0.23025850929940458 * (threshdB - 0.01)); }
  // keyOfMean where only the gain computer reads the key: a mean below quiet (quietMean())
  // skips the logarithm and gives -infinity, which reduces nothing, as its exact key would.
  double keyOfMean(double ave, double quiet)
  {
    if (ave < quiet)
    {
      aveOfSqrs = ave;
      return -HUGE_VAL;
    }
    return keyOfMean(ave);
  }

  static constexpr double kRestAveOfSqrs = 1e-15;

private:
  EnvelopeDetector averager;
  double aveOfSqrs = kRestAveOfSqrs;
  double keyFrom = -1.0;  // the mean the key below belongs to (none yet)
  double keydB = 0.0;
};
}  // namespace simpledyn
