// The signal path's cost per stereo frame, in 512-frame blocks, for the settings that matter:
// defaults, every stage with and without oversampling, silence, and sustained gain reduction with
// the fast automatic release. Read the "frame" counter: time per stereo frame. Silence compares
// with the noise of the same settings (BM_Defaults, BM_EveryStage).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "Kestrovane.h"

namespace
{
using K = Kestrovane;
const int kBlock = 512;

// A deterministic pink-ish program: two noise generators, one smoothed, at about -12 dBFS.
std::vector<double> Noise(int n, uint32_t seed, double level)
{
  std::vector<double> v((size_t)n);
  uint32_t s = seed;
  double lp = 0.0;
  for (int i = 0; i < n; ++i)
  {
    s = s * 1664525u + 1013904223u;
    const double white = (double)(s >> 8) / 8388608.0 - 1.0;
    lp = 0.9 * lp + 0.1 * white;
    v[(size_t)i] = level * (0.5 * white + 2.0 * lp);
  }
  return v;
}

struct Rig
{
  std::unique_ptr<Kestrovane> plug = std::make_unique<Kestrovane>(IFxInstanceInfo());
  std::vector<double> in[4], out[2];
  int nBlocks;

  Rig(const std::vector<std::pair<int, double>>& settings, int seconds, bool silent, double level = 0.25)
  {
    for (const auto& s : settings)
    {
      plug->GetParam(s.first)->Set(s.second);
      plug->OnParamChange(s.first);
    }
    plug->Reset();
    const int n = seconds * 44100 / kBlock * kBlock;
    nBlocks = n / kBlock;
    for (int c = 0; c < 4; ++c)
      in[c] = silent || c >= 2 ? std::vector<double>((size_t)n, 0.0) : Noise(n, 12345u + (uint32_t)c, level);
    for (int c = 0; c < 2; ++c) out[c].assign((size_t)kBlock, 0.0);
  }

  void Block(int b)
  {
    double* ins[4];
    for (int c = 0; c < 4; ++c) ins[c] = in[c].data() + (size_t)b * kBlock;
    double* outs[2] = { out[0].data(), out[1].data() };
    plug->ProcessDoubleBlock(ins, 4, outs, 2, kBlock);
  }
};

void Run(benchmark::State& state, const std::vector<std::pair<int, double>>& settings, int seconds, bool silent,
         double level = 0.25)
{
  Rig rig(settings, seconds, silent, level);
  int b = 0;
  int64_t frames = 0;
  for (auto _ : state)
  {
    rig.Block(b);
    b = (b + 1) % rig.nBlocks;
    frames += kBlock;
    benchmark::DoNotOptimize(rig.out[0].data());
  }
  state.counters["frame"] = benchmark::Counter((double)frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

const std::vector<std::pair<int, double>> kEveryStage = {
  { K::kThreshold, -20.0 }, { K::kRatio, 4.0 }, { K::kRange, -30.0 }, { K::kCompensation, 3.0 }, { K::kAttack, 5.0 },
  { K::kRelease, 150.0 }, { K::kKnee, 6.0 }, { K::kParallel, 25.0 }, { K::kMode, K::kModeII }, { K::kSag, 40.0 },
  { K::kDrive, 60.0 }, { K::kAutoRelease, K::kAutoReleaseSlow },
};

std::vector<std::pair<int, double>> With(std::vector<std::pair<int, double>> s, int idx, double v)
{
  s.push_back({ idx, v });
  return s;
}
}  // namespace

static void BM_Defaults(benchmark::State& state) { Run(state, {}, 2, false); }
static void BM_DefaultsOversampled(benchmark::State& state) { Run(state, { { K::kOversample, 1 } }, 2, false); }
static void BM_EveryStage(benchmark::State& state) { Run(state, kEveryStage, 2, false); }
static void BM_EveryStageOversampled(benchmark::State& state) { Run(state, With(kEveryStage, K::kOversample, 1), 2, false); }
static void BM_DefaultsSilence(benchmark::State& state) { Run(state, {}, 10, true); }
static void BM_EveryStageSilence(benchmark::State& state) { Run(state, kEveryStage, 10, true); }
static void BM_SustainedReductionFastRelease(benchmark::State& state)
{
  Run(state, { { K::kThreshold, -40.0 }, { K::kRatio, 8.0 }, { K::kAttack, 2.0 }, { K::kAutoRelease, K::kAutoReleaseFast } },
      2, false, 0.5);
}

BENCHMARK(BM_Defaults);
BENCHMARK(BM_DefaultsOversampled);
BENCHMARK(BM_EveryStage);
BENCHMARK(BM_EveryStageOversampled);
BENCHMARK(BM_DefaultsSilence);
BENCHMARK(BM_EveryStageSilence);
BENCHMARK(BM_SustainedReductionFastRelease);
BENCHMARK_MAIN();
