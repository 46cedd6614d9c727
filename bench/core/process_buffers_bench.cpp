// The core's buffer path with the base pass-through: 4 float inputs, 2 outputs, 1024 frames.
// The float/double conversions are the floor.

#include <benchmark/benchmark.h>

#include <vector>

#include "FakePlug.h"

namespace
{
FakePlugConfig Config()
{
  FakePlugConfig c;
  c.channelIO = "4-2";
  return c;
}

void BM_ProcessBuffersFloat(benchmark::State& state)
{
  const int frames = (int)state.range(0);
  FakePlug plug(Config());
  plug.SetBlockSize(frames);
  plug.SetInputChannelConnections(0, 4, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<std::vector<float>> in(4, std::vector<float>((size_t)frames, 0.25f));
  std::vector<std::vector<float>> out(2, std::vector<float>((size_t)frames));
  float* ins[4] = { in[0].data(), in[1].data(), in[2].data(), in[3].data() };
  float* outs[2] = { out[0].data(), out[1].data() };
  for (auto _ : state)
  {
    plug.AttachInputBuffers(0, 4, ins, frames);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0.f, frames);
    benchmark::DoNotOptimize(outs[1][frames - 1]);
  }
  state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK(BM_ProcessBuffersFloat)->Arg(1024);

void BM_ProcessBuffersDouble(benchmark::State& state)
{
  const int frames = (int)state.range(0);
  FakePlug plug(Config());
  plug.SetBlockSize(frames);
  plug.SetInputChannelConnections(0, 4, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<std::vector<double>> in(4, std::vector<double>((size_t)frames, 0.25));
  std::vector<std::vector<double>> out(2, std::vector<double>((size_t)frames));
  double* ins[4] = { in[0].data(), in[1].data(), in[2].data(), in[3].data() };
  double* outs[2] = { out[0].data(), out[1].data() };
  for (auto _ : state)
  {
    plug.AttachInputBuffers(0, 4, ins, frames);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0.0, frames);
    benchmark::DoNotOptimize(outs[1][frames - 1]);
  }
  state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK(BM_ProcessBuffersDouble)->Arg(1024);
}  // namespace

BENCHMARK_MAIN();
