// The product per 512-frame block through the KestrovaneVST bundle (dlopen, the effect record's
// double-replacing callback) and the same product built headless, called through the core
// directly. Both run the full signal path at its defaults, so the difference is what the wrapper
// and the module boundary add.

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cmath>
#include <vector>

#include "Kestrovane.h"
#include "vst2_interface.h"

namespace
{
constexpr int kFrames = 512;

struct Io
{
  std::vector<std::vector<double>> in, out{ 2, std::vector<double>(kFrames) };
  double* ins[4];
  double* outs[2];
  Io()
  {
    for (int c = 0; c < 4; ++c)
    {
      std::vector<double> ch(kFrames);
      for (int s = 0; s < kFrames; ++s) ch[(size_t)s] = 0.5 * std::sin(0.03 * s * (c + 1));
      in.push_back(ch);
    }
    for (int c = 0; c < 4; ++c) ins[c] = in[(size_t)c].data();
    for (int c = 0; c < 2; ++c) outs[c] = out[(size_t)c].data();
  }
};

VstIntPtr VSTCALLBACK SilentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float)
{
  return 0;
}

void BM_ProductHeadless(benchmark::State& state)
{
  Kestrovane plug{ IFxInstanceInfo() };
  plug.SetBlockSize(kFrames);
  plug.Reset();
  Io io;
  for (auto _ : state)
  {
    plug.ProcessDoubleBlock(io.ins, 4, io.outs, 2, kFrames);
    benchmark::DoNotOptimize(io.outs[1][kFrames - 1]);
  }
}

void BM_ProductThroughTheBundle(benchmark::State& state)
{
  void* module = dlopen(KV_KESTROVANE_VST, RTLD_NOW | RTLD_LOCAL);
  typedef AEffect* (*EntryProc)(audioMasterCallback);
  EntryProc entry = module ? (EntryProc)dlsym(module, "VSTPluginMain") : nullptr;
  AEffect* e = entry ? entry(SilentHost) : nullptr;
  if (!e)
  {
    state.SkipWithError("the bundle did not load");
    return;
  }
  e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
  e->dispatcher(e, effSetBlockSize, 0, kFrames, nullptr, 0.0f);
  e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
  Io io;
  for (auto _ : state)
  {
    e->processDoubleReplacing(e, io.ins, io.outs, kFrames);
    benchmark::DoNotOptimize(io.outs[1][kFrames - 1]);
  }
  e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
  dlclose(module);
}
}  // namespace

BENCHMARK(BM_ProductHeadless);
BENCHMARK(BM_ProductThroughTheBundle);
BENCHMARK_MAIN();
