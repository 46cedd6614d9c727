// Kestrovane: the stage-by-stage processing, for feedforward blocks with settled controls.
//
// Nothing in the detector path then depends on the audio path, so a chunk of frames runs in
// passes: the detector up to the running mean, the keys, the reductions, the linear gains, and the
// audio with its meters. Within a pass every recursive state (filters, envelopes) is a local the
// loop can keep in a register, and the independent recursions of one sample overlap; the library
// calls (log, exp, sin) get passes of their own, so no call spills the states. Every step is the
// arithmetic of the sample-by-sample form in the same order: the output is the same, bit for bit.
//
// The body of the forms, for their two translation units: KestrovaneStagedBaseRate.cpp and
// KestrovaneStagedOversampled.cpp, each compiled with the options that measured fastest for it.

#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <tuple>
#include <type_traits>

#include "Kestrovane.h"
#include "KestrovaneShapers.h"

namespace kvstaged
{
using kvshapers::Ceiled;
using kvshapers::Driven;
using kvshapers::Sagged;
using V2 = biquadfilter::V2;

// One sample of each channel as the passes carry it: both channels in one register, or the one.
template <bool kStereo>
struct Lanes;

template <>
struct Lanes<true>
{
  using T = V2;
  using Feed = biquadfilter::PairFeed;
  static Feed MakeFeed(const biquadfilter& f) { return Feed(f); }
  static void Inputs(const biquadfilter& f, T* x2x1) { Feed::Inputs(f, x2x1); }
  static void Save(const Feed& feed, biquadfilter& f, const T* x) { feed.Save(f, x); }
  static KV_HOT_INLINE T Make(double l, double r) { return T{ l, r }; }
  static KV_HOT_INLINE double Left(T v) { return v[0]; }
  static KV_HOT_INLINE double Right(T v) { return v[1]; }
  template <class F>
  static KV_HOT_INLINE T Each(T v, F f)
  {
    return T{ f(v[0]), f(v[1]) };
  }
  // Ceiled lane by lane: minpd and maxpd return their second operand where either is NaN.
  static KV_HOT_INLINE T Ceil(T v)
  {
    const T limit = { kvshapers::kMaxLevel, kvshapers::kMaxLevel };
    return _mm_max_pd(-limit, _mm_min_pd(limit, v));
  }
  static KV_HOT_INLINE T Abs(T v) { return _mm_and_pd(v, (T)_mm_set1_epi64x(0x7FFFFFFFFFFFFFFFLL)); }
  // FlushDenormal lane by lane, as a select: for values whose next step does not wait on it.
  static KV_HOT_INLINE T Flush(T v) { return _mm_andnot_pd(_mm_cmplt_pd(Abs(v), T{ DBL_MIN, DBL_MIN }), v); }
  static bool AtRest(T v) { return v[0] == 0.0 && v[1] == 0.0; }
  static KV_HOT_INLINE double MeanSquare(T d) { return d[0] * d[0] + d[1] * d[1]; }
  // The levels of a and of b (the larger magnitude of the two channels), side by side: as
  // std::max(|l|, |r|), which is |l| < |r| ? |r| : |l|, as maxpd(|r|, |l|) is, NaNs included.
  static KV_HOT_INLINE V2 Levels(T a, T b)
  {
    return _mm_max_pd(Abs(_mm_unpackhi_pd(a, b)), Abs(_mm_unpacklo_pd(a, b)));
  }

  // The least magnitude untested filter steps gave (the feeds themselves tell whether one was not
  // finite: LastFinite).
  struct Watch
  {
    T least = { DBL_MAX, DBL_MAX };
    KV_HOT_INLINE void See(T y) { least = _mm_min_pd(least, Abs(y)); }
    // Whether no output seen was a zero or a subnormal (the tested step makes -0 into +0). A NaN
    // leaves least as it was; the feed's own state shows it.
    bool Clean() const { return _mm_movemask_pd(_mm_cmpge_pd(least, T{ DBL_MIN, DBL_MIN })) == 3; }
  };
  // The watch in one AVX-512 operation per output (VRANGEPD: the lesser magnitude, its sign
  // cleared), for the AVX-512 encoding only. A NaN makes least a NaN, and the chunk then goes to
  // the tested form, as its feed would send it. Written as an instruction: the steps that call it
  // are inlined into that encoding, but are themselves of the baseline one.
  struct RangeWatch : Watch
  {
    KV_HOT_INLINE void See(T y) { __asm__("vrangepd $0x0A, %1, %0, %0" : "+v"(this->least) : "v"(y)); }
  };
};

template <>
struct Lanes<false>
{
  using T = double;
  using Feed = biquadfilter::ChannelFeed;
  static Feed MakeFeed(const biquadfilter& f) { return Feed(f, 0); }
  static void Inputs(const biquadfilter& f, T* x2x1) { Feed::Inputs(f, 0, x2x1); }
  static void Save(const Feed& feed, biquadfilter& f, const T* x) { feed.Save(f, 0, x); }
  static KV_HOT_INLINE T Make(double l, double) { return l; }
  static KV_HOT_INLINE double Left(T v) { return v; }
  static KV_HOT_INLINE double Right(T) { return 0.0; }  // the right channel rests in mono
  template <class F>
  static KV_HOT_INLINE T Each(T v, F f)
  {
    return f(v);
  }
  static KV_HOT_INLINE T Ceil(T v) { return Ceiled(v); }
  static KV_HOT_INLINE T Flush(T v) { return FlushDenormal(v); }
  static bool AtRest(T v) { return v == 0.0; }
  static KV_HOT_INLINE double MeanSquare(T d) { return 2.0 * (d * d); }
  static KV_HOT_INLINE V2 Levels(T a, T b) { return Lanes<true>::Abs(V2{ a, b }); }

  struct Watch
  {
    T least = DBL_MAX;
    KV_HOT_INLINE void See(T y)
    {
      const T a = std::fabs(y);
      least = least < a ? least : a;
    }
    bool Clean() const { return least >= DBL_MIN; }
  };
  using RangeWatch = Watch;
};

// The inputs a filter of the block takes, its previous two first; the filter's feed, a local of
// its own so that its output history stays in registers, carries the rest.
template <bool kStereo, int kLength>
struct FeedInputs
{
  using L = Lanes<kStereo>;
  using T = typename L::T;

  biquadfilter& filter;
  T x[kLength + 2];

  explicit FeedInputs(biquadfilter& f) : filter(f) { L::Inputs(f, x); }
  // Input k of the chunk through the feed: the tested step, or with kTested false the untested
  // one, its output shown to the watch.
  template <bool kTested, class Watch>
  KV_HOT_INLINE T Step(typename L::Feed& feed, int k, T in, Watch& watch)
  {
    x[k + 2] = in;
    if (kTested) return feed.Step(x + k + 2);
    const T y = feed.StepUnchecked(x + k + 2);
    watch.See(y);
    return y;
  }
  // After a chunk of n inputs: its last two become the history of the next.
  void Carry(int n)
  {
    x[0] = x[n];
    x[1] = x[n + 1];
  }
  // After the last chunk's Carry.
  void Save(const typename L::Feed& feed) const { L::Save(feed, filter, x + 1); }
};
}  // namespace kvstaged

template <bool kStereo, bool kOs, bool kTested, bool kRangeWatch>
__attribute__((always_inline)) inline int Kestrovane::RunStaged(double** inputs, double** outputs, int nFrames)
{
  using namespace kvstaged;
  using L = Lanes<kStereo>;
  using T = typename L::T;
  // A chunk is 128 sub-steps: its arrays (about 20 kB) stay in the first-level cache, and each
  // pass runs long enough that its set-up does not count (64 measured 2 to 4 per cent slower).
  enum { kSub = kOs ? 4 : 1, kChunk = 128 / kSub, kSteps = kChunk * kSub };
  using Inputs = FeedInputs<kStereo, kSteps>;
  using Feed = typename L::Feed;
  using Watch = std::conditional_t<kRangeWatch, typename L::RangeWatch, typename L::Watch>;

  InterpolateControls();  // the first sub-step's call; with no ramp running the others change nothing
  const bool external = EnumParam(kSidechain) >= 1 && IsInChannelConnected(2);
  const int autoRelease = EnumParam(kAutoRelease);
  biquadfilter* chain[2] = { &mFilters[kModeLowShelf], &mFilters[kModeHighShelf] };
  int nChain = 2;
  switch (EnumParam(kMode))
  {
    case kModeI:
    case kModeII: break;
    case kModeIII: chain[0] = &mFilters[kModeIIILowShelf]; chain[1] = &mFilters[kModeIIIHighShelf]; break;
    case kModeIV: chain[0] = &mFilters[kModeIVLowShelf]; nChain = 1; break;
    default: nChain = 0; break;  // "Flat"
  }
  const bool sag = mSagActive, drive = mDriveActive;
  const double osGain = mOversampleGain, detectorGain = mDetectorGain;
  const double directMix = mDirectMix, makeup = mMakeup, parallel = mParallel;
  const double quiet = mComp.quietMean();

  // The block, with the common chain of two shelves as a constant: its loops then carry no test
  // for it.
  int done = nFrames;
  const auto run = [&](auto chainLength) __attribute__((always_inline))
  {
    const int nShelves = decltype(chainLength)::value >= 0 ? decltype(chainLength)::value : nChain;
    // The states of the block, in locals.
    Feed osIn = L::MakeFeed(mFilters[kOversampleInLowPass]), osOut = L::MakeFeed(mFilters[kOversampleOutLowPass]);
    Feed shelf1 = L::MakeFeed(*chain[0]), shelf2 = L::MakeFeed(*chain[1]);
    Feed lp1 = L::MakeFeed(mFilters[kDetectorLowPass1]), lp2 = L::MakeFeed(mFilters[kDetectorLowPass2]);
    Inputs osInX(mFilters[kOversampleInLowPass]), osOutX(mFilters[kOversampleOutLowPass]);
    Inputs shelf1X(*chain[0]), shelf2X(*chain[1]);
    Inputs lp1X(mFilters[kDetectorLowPass1]), lp2X(mFilters[kDetectorLowPass2]);
    // The inputs of the filters this block runs (the feeds themselves stay out of any array: their
    // addresses would keep them in memory).
    Inputs* const used[6] = { kOs && kTested ? &osInX : nullptr, kOs ? &osOutX : nullptr,
                              nShelves > 0 ? &shelf1X : nullptr, nShelves > 1 ? &shelf2X : nullptr,
                              kOs ? &lp1X : nullptr,             kOs ? &lp2X : nullptr };
    // Untested and oversampled, the input low-pass takes its input history for zeros at each
    // frame's start, as the zero-stuffing leaves it; a history that is not (a state set from
    // outside) leaves the block to the tested form.
    if (kOs && !kTested && !(L::AtRest(osInX.x[0]) && L::AtRest(osInX.x[1])))
    {
      done = 0;
      return;
    }
    const simpledyn::AttRelPairStep inOutMeters(mEnvelopes[kInputMeterEnvelope].step(),
                                                mEnvelopes[kOutputMeterEnvelope].step());
    const simpledyn::AttRelStep grMeter = mEnvelopes[kGainReductionMeterEnvelope].step();
    simpledyn::AttRelStep follower = mEnvelopes[kAutoReleaseFollower].step();
    const simpledyn::OnePoleStep mean = mComp.meanStep();
    simpledyn::SimpleComp::ReductionStep reduction = mComp.reductionStep();
    simpledyn::SimpleComp::LinearStep linear = mComp.linearStep();
    double inLevel = mEnvelopeStates[kInputMeterEnvelope], outLevel = mEnvelopeStates[kOutputMeterEnvelope];
    double grLevel = mEnvelopeStates[kGainReductionMeterEnvelope], peak = mEnvelopeStates[kAutoReleaseFollower];
    double ave = mComp.getAveOfSqrs(), envdB = mComp.getEnvdB();

    T sub[kSteps];     // the main pair's sub-samples, as the audio path takes them
    T det[kSteps];     // the detector after its shelves; then the driven audio
    double a[kSteps];  // the running mean, its key, then the reduction, per sub-step
    double g[kSteps];  // the gain
    T out[kChunk];     // untested and oversampled: the output until the output filter's check

    // At base rate, frame k's detector from its ceiling through the mode shelves.
    Watch watch;
    auto shelves = [&](int k, T d) __attribute__((always_inline))
    {
      d = L::Ceil(d);
      if (nShelves > 0) d = shelf1X.template Step<kTested>(shelf1, k, d, watch);
      if (nShelves > 1) d = shelf2X.template Step<kTested>(shelf2, k, d, watch);
      return d;
    };
    // The detector, after "Sag" (oversampled, after the low-passes too), to the running mean of squares.
    auto meanOf = [&](T d) __attribute__((always_inline))
    {
      mean.run(FlushDenormal(L::MeanSquare(d)), ave, simpledyn::SimpleCompRms::kRestAveOfSqrs);
      return ave;
    };

    for (int start = 0; start < nFrames; start += kChunk)
    {
      const int n = std::min((int)kChunk, nFrames - start);
      const double* in[4] = { inputs[0] + start, inputs[kStereo ? 1 : 0] + start, inputs[2] + start,
                              inputs[kStereo ? 3 : 2] + start };
      // Untested, the chunk's filters skip the per-sample test for the outputs they treat apart
      // (zeros, subnormals, infinities, NaNs); the watch sees every output's magnitude, and each
      // feed's last output shows whether one was not finite. If the chunk met one such,
      // the block goes back to the states of the chunk's start and the tested form goes on from
      // there; else the chunk went as the tested form takes it. The outputs wait for the last
      // check (they may be the inputs' buffers); the release times, which the automatic release
      // sets before it, go back with the states.
      const auto startStates = [&]()
      {
        if constexpr (kTested) return 0;  // the tested form never goes back
        else
          return std::make_tuple(osIn, osOut, shelf1, shelf2, lp1, lp2, inLevel, outLevel, grLevel, peak, ave, envdB,
                                 reduction, follower);
      }();
      bool releaseMoved = false;  // and if so, the release times before
      double startRelease = 0.0, startFollowerRelease = 0.0;
      const auto backToStart = [&]()
      {
        if constexpr (!kTested)
          std::tie(osIn, osOut, shelf1, shelf2, lp1, lp2, inLevel, outLevel, grLevel, peak, ave, envdB, reduction,
                   follower) = startStates;
        if (releaseMoved)
        {
          mComp.setRelease(startRelease);
          mEnvelopes[kAutoReleaseFollower].setRelease(startFollowerRelease);
        }
        done = start;
      };

      // The sub-samples (zero-stuffed and low-passed with oversampling) and the detector up to the
      // running mean. "Sag" takes a pass of its own between the shelves and the rest (the sine's
      // calls; fewer live states per loop).
      const int nSub = n * kSub;
      if (kOs)
      {
        // Skewed by frames: a step takes the input low-pass over frame f, the first shelf over
        // f - 1, the second over f - 2 and so on down the chain, so that each recursion takes
        // inputs a step before left ready and they run beside each other (one after the other,
        // each sub-step waited on the filters before it). det carries the detector from stage to
        // stage.
        const auto subSamples = [&](int f) __attribute__((always_inline))
        {
          T sample = L::Make(0.0, 0.0);
          #pragma GCC unroll 4
          for (int j = 0, k = f * kSub; j < kSub; ++j, ++k)
          {
            T x = L::Make(0.0, 0.0), side = L::Make(0.0, 0.0);
            if (j == 0)
            {
              x = sample = L::Flush(L::Make(in[0][f], in[1][f]));
              if (external) side = L::Flush(L::Make(in[2][f], in[3][f]));
            }
            if (kTested) x = osInX.template Step<true>(osIn, k, x, watch) * osGain;
            else
            {
              // The input history stays at rest (above): only the sample's product counts.
              x = osIn.StepUncheckedZeroStuffed(j, sample);
              watch.See(x);
              x = x * osGain;
            }
            side = side * osGain;
            sub[k] = x;
            det[k] = L::Ceil(external ? L::Flush(side) : x);
          }
        };
        // A filter of the chain over frame f, its outputs times gain (exact with 1).
        const auto filter = [&](Inputs& inputsOf, Feed& feed, int f, double gain) __attribute__((always_inline))
        {
          #pragma GCC unroll 4
          for (int j = 0, k = f * kSub; j < kSub; ++j, ++k)
            det[k] = inputsOf.template Step<kTested>(feed, k, det[k], watch) * gain;
        };
        const auto meanOver = [&](int f) __attribute__((always_inline))
        {
          #pragma GCC unroll 4
          for (int j = 0, k = f * kSub; j < kSub; ++j, ++k) a[k] = meanOf(det[k]);
        };
        const auto shelvesAt = [&](int f) __attribute__((always_inline))
        {
          if (nShelves > 0 && f >= 1 && f <= n) filter(shelf1X, shelf1, f - 1, 1.0);
          if (nShelves > 1 && f >= 2 && f <= n + 1) filter(shelf2X, shelf2, f - 2, 1.0);
        };
        const auto lowPassesAt = [&](int f) __attribute__((always_inline))
        {
          if (f >= 0 && f < n) filter(lp1X, lp1, f, 1.0);
          if (f >= 1 && f <= n) filter(lp2X, lp2, f - 1, detectorGain);
          if (f >= 2) meanOver(f - 2);
        };
        if (sag)
        {
          for (int f = 0; f < n + 2; ++f)
          {
            if (f < n) subSamples(f);
            shelvesAt(f);
          }
          const Shaper shape = mSag;
          for (int k = 0; k < nSub; ++k) det[k] = L::Each(det[k], [&](double d) { return Sagged(d, shape.k1, shape.k2); });
          for (int f = 0; f < n + 2; ++f) lowPassesAt(f);
        }
        else
          for (int f = 0; f < n + 5; ++f)
          {
            if (f < n) subSamples(f);
            shelvesAt(f);
            lowPassesAt(f - 3);
          }
      }
      else
      {
        for (int f = 0, k = 0; f < n; ++f)
        {
          // At base rate, in the form measured fastest: written otherwise (one loop, or the two
          // tests of "Sag" below as one), the same arithmetic compiled a little slower.
          T sample = L::Make(0.0, 0.0);
          #pragma GCC unroll 4
          for (int j = 0; j < kSub; ++j, ++k)
          {
            T x = L::Make(0.0, 0.0), side = L::Make(0.0, 0.0);
            if (j == 0)
            {
              x = sample = L::Flush(L::Make(in[0][f], in[1][f]));
              if (external) side = L::Flush(L::Make(in[2][f], in[3][f]));
            }
            sub[k] = x;
            const T d = shelves(k, external ? L::Flush(side) : x);
            if (sag) det[k] = d;
            else a[k] = meanOf(d);
          }
        }
        if (sag)
        {
          const Shaper shape = mSag;
          for (int k = 0; k < nSub; ++k) det[k] = L::Each(det[k], [&](double d) { return Sagged(d, shape.k1, shape.k2); });
        }
        if (sag)
          for (int k = 0; k < nSub; ++k) a[k] = meanOf(det[k]);
      }

      const bool detectorClean = watch.Clean() &&
                                 (!kOs || (osIn.LastFinite() && lp1.LastFinite() && lp2.LastFinite())) &&
                                 (nShelves < 1 || shelf1.LastFinite()) && (nShelves < 2 || shelf2.LastFinite());
      if (!kTested && !detectorClean)
      {
        backToStart();
        break;
      }

      // The keys: the logarithm only where the key can reach the threshold.
      for (int k = 0; k < nSub; ++k) a[k] = mComp.keyOfMean(a[k], quiet);

      // The reductions and the automatic release. Without it the envelope's steps and the curve
      // run apart, the curve two sub-steps at a time.
      if (autoRelease == kAutoReleaseOff)
      {
        for (int k = 0; k < nSub; ++k) a[k] = reduction.over(a[k], envdB);
        int k = 0;
        // In the AVX-512 encoding four at a time, in 256-bit registers: the division, the pass's
        // costliest step, then serves four sub-steps (measured 2 to 3 per cent faster at either
        // rate).
        if constexpr (kRangeWatch)
          for (; k + 3 < nSub; k += 4) reduction.curve4(a + k, a + k);
        for (; k + 1 < nSub; k += 2) _mm_storeu_pd(a + k, reduction.curve2(_mm_loadu_pd(a + k)));
        if (k < nSub) a[k] = reduction.curve(a[k]);
      }
      else
        for (int k = 0; k < nSub; ++k)
        {
          // A new peak of reduction sets the release time from its depth.
          const double grdB = reduction.run(a[k], envdB);
          const double x = grdB > 0.0 ? 0.0 : -grdB;
          follower.run(x, peak, 0.0);
          if (x > peak)
          {
            if (!kTested && !releaseMoved)
            {
              releaseMoved = true;
              startRelease = mComp.getRelease();
              startFollowerRelease = mEnvelopes[kAutoReleaseFollower].getRelease();
            }
            peak = x;
            const double t = AutoReleaseMs(autoRelease, x);
            mComp.setRelease(t);
            mEnvelopes[kAutoReleaseFollower].setRelease(t);
            reduction.env.rel = mComp.getReleaseCoef();
            follower.rel = mEnvelopes[kAutoReleaseFollower].getReleaseCoef();
          }
          a[k] = grdB;
        }

      // The linear gains.
      for (int k = 0; k < nSub; ++k) g[k] = linear.run(a[k]);

      // "Drive".
      if (drive)
      {
        const Shaper shape = mDrive;
        for (int k = 0; k < nSub; ++k)
          det[k] = L::Each(sub[k], [&](double x) { return Driven(x, shape.b, shape.k1, shape.k2); });
      }

      // Reduction, make-up and the parallel mix; with oversampling the output low-pass and the
      // decimation (the last sub-step reaches the output); the meters and the buffers. The meters'
      // recursions run here beside each other, where the passes before leave their inputs ready:
      // the detector's pass, the busiest, then carries none of them. The input and output meters
      // share one register (5 per cent faster at base rate than two scalar steps).
      V2 inOutLevels = { inLevel, outLevel };
      for (int f = 0, k = 0; f < n; ++f)
      {
        T y = L::Make(0.0, 0.0);
        #pragma GCC unroll 4
        for (int j = 0; j < kSub; ++j, ++k)
        {
          const T driven = drive ? det[k] : sub[k];
          y = directMix * (makeup * (g[k] * driven)) + parallel * sub[k];
          grMeter.run(FlushDenormal(-a[k]), grLevel, 0.0);
          if (kOs) y = osOutX.template Step<kTested>(osOut, k, y, watch);
        }
        if (kOs) y = y * osGain;
        inOutMeters.run(Lanes<true>::Flush(L::Levels(L::Make(in[0][f], in[1][f]), y)), inOutLevels, 0.0);
        if (kOs && !kTested) out[f] = y;
        else
        {
          outputs[0][start + f] = L::Left(y);
          if (kStereo) outputs[1][start + f] = L::Right(y);
        }
      }
      inLevel = inOutLevels[0];
      outLevel = inOutLevels[1];
      if (kOs && !kTested)
      {
        if (!(watch.Clean() && osOut.LastFinite()))
        {
          backToStart();
          break;
        }
        for (int f = 0; f < n; ++f)
        {
          outputs[0][start + f] = L::Left(out[f]);
          if (kStereo) outputs[1][start + f] = L::Right(out[f]);
        }
      }
      mFeedback[0] = L::Left(sub[nSub - 1]);
      mFeedback[1] = L::Right(sub[nSub - 1]);
      for (Inputs* x : used)
        if (x) x->Carry(nSub);
    }
    if (kOs)
    {
      osInX.Save(osIn);
      osOutX.Save(osOut);
      lp1X.Save(lp1);
      lp2X.Save(lp2);
    }
    if (nShelves > 0) shelf1X.Save(shelf1);
    if (nShelves > 1) shelf2X.Save(shelf2);
    mEnvelopeStates[kInputMeterEnvelope] = inLevel;
    mEnvelopeStates[kOutputMeterEnvelope] = outLevel;
    mEnvelopeStates[kGainReductionMeterEnvelope] = grLevel;
    mEnvelopeStates[kAutoReleaseFollower] = peak;
    mComp.setAveOfSqrs(ave);
    mComp.setEnvdB(envdB);
    mComp.setLinearStep(linear);
  };
  if (nChain == 2) run(std::integral_constant<int, 2>());
  else run(std::integral_constant<int, -1>());
  return done;
}

template <bool kStereo, bool kOs, bool kTested>
int Kestrovane::ProcessStaged(double** inputs, double** outputs, int nFrames)
{
  return RunStaged<kStereo, kOs, kTested, false>(inputs, outputs, nFrames);
}

template <bool kStereo, bool kTested>
__attribute__((target("avx"))) int Kestrovane::ProcessStagedAvx(double** inputs, double** outputs, int nFrames)
{
  return RunStaged<kStereo, true, kTested, false>(inputs, outputs, nFrames);
}

template <bool kStereo, bool kOs, bool kTested>
__attribute__((target("avx512f,avx512vl,avx512dq"))) int Kestrovane::ProcessStagedAvx512(double** inputs,
                                                                                     double** outputs, int nFrames)
{
  return RunStaged<kStereo, kOs, kTested, true>(inputs, outputs, nFrames);
}
