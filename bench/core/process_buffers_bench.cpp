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

// Sample is the host's sample type: float buffers are converted, double buffers pass through.
template <class Sample>
void BM_ProcessBuffers(benchmark::State& state)
{
  const int frames = (int)state.range(0);
  FakePlug plug(Config());
  plug.SetBlockSize(frames);
  plug.SetInputChannelConnections(0, 4, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<std::vector<Sample>> in(4, std::vector<Sample>((size_t)frames, (Sample)0.25));
  std::vector<std::vector<Sample>> out(2, std::vector<Sample>((size_t)frames));
  Sample* ins[4] = { in[0].data(), in[1].data(), in[2].data(), in[3].data() };
  Sample* outs[2] = { out[0].data(), out[1].data() };
  for (auto _ : state)
  {
    plug.AttachInputBuffers(0, 4, ins, frames);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers((Sample)0, frames);
    benchmark::DoNotOptimize(outs[1][frames - 1]);
  }
  state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK_TEMPLATE(BM_ProcessBuffers, float)->Arg(1024);
BENCHMARK_TEMPLATE(BM_ProcessBuffers, double)->Arg(1024);
}  // namespace

BENCHMARK_MAIN();
