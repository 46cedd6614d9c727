// The VST wrapper's cost per 512-frame block over calling the core directly: the same plug-in
// (the base pass-through, 4 inputs, 2 outputs) driven through the effect record's process
// callbacks and through the core's buffer calls. The difference between a pair is the overhead
// (the instance mutex, the record indirection, buffer attaching); the goal is under 1 us.

#include <benchmark/benchmark.h>

#include <vector>

#include "IFxVST.h"

namespace
{
constexpr int kFrames = 512;

class PassThroughPlug : public IFxVST
{
public:
  PassThroughPlug()
    : IFxVST(IFxInstanceInfo(), 4, "1-1 2-2 4-2", 1, "Bench", "Bench", "Bench", 0x10000, 1, 1, 0, false, false, false)
  {
    for (int i = 0; i < NParams(); ++i) GetParam(i)->InitDouble("p", 0.0, 0.0, 1.0, 0.01);
    SetBlockSize(kFrames);
  }
};

template <class Sample>
struct Io
{
  std::vector<std::vector<Sample>> in{ 4, std::vector<Sample>(kFrames, (Sample)0.25) };
  std::vector<std::vector<Sample>> out{ 2, std::vector<Sample>(kFrames) };
  Sample* ins[4] = { in[0].data(), in[1].data(), in[2].data(), in[3].data() };
  Sample* outs[2] = { out[0].data(), out[1].data() };
};

template <class Sample>
void BM_Core(benchmark::State& state)
{
  PassThroughPlug plug;
  Io<Sample> io;
  for (auto _ : state)
  {
    plug.AttachInputBuffers(0, 4, io.ins, kFrames);
    plug.AttachOutputBuffers(0, 2, io.outs);
    plug.ProcessBuffers((Sample)0, kFrames);
    benchmark::DoNotOptimize(io.outs[1][kFrames - 1]);
  }
}

// The effect record's replacing callback for the host's sample type.
void ProcessThroughRecord(AEffect* e, float** in, float** out, int n) { e->processReplacing(e, in, out, n); }
void ProcessThroughRecord(AEffect* e, double** in, double** out, int n) { e->processDoubleReplacing(e, in, out, n); }

template <class Sample>
void BM_Vst(benchmark::State& state)
{
  PassThroughPlug plug;
  AEffect* e = plug.GetAEffect();
  Io<Sample> io;
  for (auto _ : state)
  {
    ProcessThroughRecord(e, io.ins, io.outs, kFrames);
    benchmark::DoNotOptimize(io.outs[1][kFrames - 1]);
  }
}

// The parameter callbacks a host calls for automation, for scale.
void BM_VstSetParameter(benchmark::State& state)
{
  PassThroughPlug plug;
  AEffect* e = plug.GetAEffect();
  float v = 0.0f;
  for (auto _ : state)
  {
    e->setParameter(e, 1, v);
    v = v > 0.99f ? 0.0f : v + 0.01f;
  }
}
}  // namespace

BENCHMARK_TEMPLATE(BM_Core, float);
BENCHMARK_TEMPLATE(BM_Vst, float);
BENCHMARK_TEMPLATE(BM_Core, double);
BENCHMARK_TEMPLATE(BM_Vst, double);
BENCHMARK(BM_VstSetParameter);
BENCHMARK_MAIN();
