#pragma once
// One-pole envelope followers: a single time constant, and an attack/release pair. A time constant
// of t ms means the state covers 1 - 1/e of a step in t ms.

#include <emmintrin.h>

#include <cfloat>
#include <cmath>

#include "flushdenormal.h"

namespace simpledyn
{
inline double lin2dB(double lin)
{
  return std::log(lin) * 8.685889638065037;  // 20 / ln 10
}

inline double dB2lin(double dB)
{
  return std::exp(0.11512925464970228 * dB);  // ln 10 / 20
}

// The one-coefficient step with its coefficient in a local: a run of steps keeps coefficient and
// state in registers.
struct OnePoleStep
{
  double coef;
  KV_HOT_INLINE void run(double x, double& s, double rest) const { s = FlushState(x + coef * (s - x), rest); }
};

// The attack/release step likewise: the attack coefficient while x is above s, else the release one.
struct AttRelStep
{
  double att, rel;
  KV_HOT_INLINE void run(double x, double& s, double rest) const
  {
    // Toward zero from zero or above (no reduction; a meter with nothing to show), x + rel (s - x)
    // is rel s exactly, and the recursion is one multiplication. The test is a branch that goes one
    // way for long runs, so the state does not wait for it.
    if (x == 0.0 && s >= 0.0)
    {
      s = FlushState(rel * s, rest);
      return;
    }
    // The attack is the rarer side (a level above what the envelope holds), and as a branch the
    // coefficient does not wait for the comparison.
    double c = rel;
    if (__builtin_expect(x > s, 0))
    {
      KV_RARELY_TAKEN();
      c = att;
    }
    s = FlushState(x + c * (s - x), rest);
  }
};

// Two attack/release steps side by side, one per lane (the input and output meters): lane by lane
// the arithmetic of AttRelStep::run, the same state bit for bit. The scalar step's shortcut toward
// zero is left out: the formula gives the same state there, and both lanes seldom take it at once.
struct AttRelPairStep
{
  __m128d att, rel;
  AttRelPairStep(const AttRelStep& lo, const AttRelStep& hi)
    : att(_mm_set_pd(hi.att, lo.att)), rel(_mm_set_pd(hi.rel, lo.rel))
  {
  }
  KV_HOT_INLINE void run(__m128d x, __m128d& s, double rest) const
  {
    // An attack in either lane takes the branch: the release coefficient does not wait for the
    // comparison.
    __m128d c = rel;
    const __m128d up = _mm_cmpgt_pd(x, s);
    if (__builtin_expect(_mm_movemask_pd(up) != 0, 0))
    {
      KV_RARELY_TAKEN();
      c = _mm_or_pd(_mm_and_pd(up, att), _mm_andnot_pd(up, rel));
    }
    const __m128d next = _mm_add_pd(x, _mm_mul_pd(c, _mm_sub_pd(s, x)));
    // FlushState lane by lane: a normal finite value passes, a zero or subnormal becomes +0, and an
    // infinity or NaN the rest.
    const __m128d a = _mm_and_pd(next, _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFFLL)));
    const __m128d normal = _mm_and_pd(_mm_cmpge_pd(a, _mm_set1_pd(DBL_MIN)), _mm_cmple_pd(a, _mm_set1_pd(DBL_MAX)));
    if (__builtin_expect(_mm_movemask_pd(normal) == 3, 1))
    {
      s = next;
      return;
    }
    KV_RARELY_TAKEN();
    const __m128d tiny = _mm_cmplt_pd(a, _mm_set1_pd(DBL_MIN));
    s = _mm_or_pd(_mm_and_pd(normal, next), _mm_andnot_pd(_mm_or_pd(normal, tiny), _mm_set1_pd(rest)));
  }
};

class EnvelopeDetector
{
public:
  EnvelopeDetector(double ms = 1.0, double sampleRate = 44100.0);
  virtual ~EnvelopeDetector() {}

  virtual void setTc(double ms);
  virtual double getTc() const { return ms; }
  virtual void setSampleRate(double sampleRate);
  virtual double getSampleRate() const { return sampleRate; }
  // coef := exp(-1000 / (ms x sampleRate)); a time or rate of 0 gives 0, a state that follows at once.
  virtual void setCoef();

  double getCoef() const { return coef; }
  OnePoleStep step() const { return { coef }; }

  // One step of state s toward x with the one coefficient, in both directions; flushed, and a
  // state that is no longer finite returns to rest.
  void run(double x, double& s, double rest) const { step().run(x, s, rest); }

protected:
  double sampleRate;
  double ms;
  double coef = 0.0;
};

class AttRelEnvelope
{
public:
  AttRelEnvelope(double attackMs = 10.0, double releaseMs = 100.0, double sampleRate = 44100.0);
  virtual ~AttRelEnvelope() {}

  virtual void setAttack(double ms) { att.setTc(ms); }
  virtual double getAttack() const { return att.getTc(); }
  virtual void setRelease(double ms) { rel.setTc(ms); }
  virtual double getRelease() const { return rel.getTc(); }
  virtual void setSampleRate(double sampleRate);
  virtual double getSampleRate() const { return att.getSampleRate(); }

  double getAttackCoef() const { return att.getCoef(); }
  double getReleaseCoef() const { return rel.getCoef(); }
  AttRelStep step() const { return { att.getCoef(), rel.getCoef() }; }

  // One step of state s toward x: the attack coefficient while x is above s, else the release
  // coefficient. Flushed; a state that is no longer finite returns to rest.
  void run(double x, double& s, double rest) const { step().run(x, s, rest); }

protected:
  EnvelopeDetector att;
  EnvelopeDetector rel;
};
}  // namespace simpledyn
