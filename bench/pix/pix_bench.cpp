// Blits and fills on an 800 x 400 frame (the editor's back buffer) with a source whose alpha mixes
// opaque and clear runs with soft edges, as control images do. Each figure is per frame; bytes
// processed count one frame of 32-bit pixels. memcpy, memset and pixman's equivalents run in the
// same program as yardsticks.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <vector>

#include "pix.h"

namespace
{
constexpr int kW = 800, kH = 400;
constexpr size_t kFrameBytes = (size_t)kW * kH * 4;

// Runs of opaque and clear pixels with short soft ramps between them.
void FillControlLike(PIX_IBitmap& bm)
{
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  PIX_PixelValue* p = bm.getBits();
  int run = 0;
  uint32_t alpha = 255;
  for (int i = 0; i < kW * kH; ++i)
  {
    if (run-- <= 0)
    {
      const uint32_t k = next() >> 28;
      alpha = k < 9 ? 255 : (k < 14 ? 0 : (next() >> 24));
      run = 4 + (int)((next() >> 24) % 60);
    }
    p[i] = (next() & ~0xffu) | alpha;
  }
}

struct Frames
{
  PIX_MemBitmap src{kW, kH}, dst{kW, kH};
  Frames()
  {
    FillControlLike(src);
    PIX_Clear(&dst, 0x808080ffu);
  }
};

void Report(benchmark::State& state) { state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)kFrameBytes); }

void BM_Memcpy(benchmark::State& state)
{
  Frames f;
  for (auto _ : state)
  {
    memcpy(f.dst.getBits(), f.src.getBits(), kFrameBytes);
    benchmark::ClobberMemory();
  }
  Report(state);
}

void BM_Memset(benchmark::State& state)
{
  Frames f;
  for (auto _ : state)
  {
    memset(f.dst.getBits(), 0x5a, kFrameBytes);
    benchmark::ClobberMemory();
  }
  Report(state);
}

// PIX_Blit of the whole frame at an alpha (range 0 in 1/100) and mode.
void BM_Blit(benchmark::State& state)
{
  Frames f;
  const float alpha = (float)state.range(0) / 100.0f;
  const int mode = (int)state.range(1);
  for (auto _ : state)
  {
    PIX_Blit(&f.dst, &f.src, 0, 0, (RECT*)nullptr, alpha, mode);
    benchmark::ClobberMemory();
  }
  Report(state);
}

void BM_Fill(benchmark::State& state)
{
  Frames f;
  const float alpha = (float)state.range(0) / 100.0f;
  for (auto _ : state)
  {
    PIX_FillRect(&f.dst, 0, 0, kW, kH, 0x30a0c0ffu, alpha, 0);
    benchmark::ClobberMemory();
  }
  Report(state);
}

// pixman on the same frames, as a8r8g8b8 images over the same memory.
struct PixmanFrames : Frames
{
  pixman_image_t* s;
  pixman_image_t* d;
  PixmanFrames()
  {
    s = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, (uint32_t*)src.getBits(), kW * 4);
    d = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, (uint32_t*)dst.getBits(), kW * 4);
  }
  ~PixmanFrames()
  {
    pixman_image_unref(s);
    pixman_image_unref(d);
  }
};

void BM_Pixman(benchmark::State& state)
{
  PixmanFrames f;
  const pixman_op_t op = (pixman_op_t)state.range(0);
  const int opacity = (int)state.range(1);  // 0..100; below 100 a solid mask
  pixman_color_t mc = {0, 0, 0, (uint16_t)(opacity * 65535 / 100)};
  pixman_image_t* mask = opacity < 100 ? pixman_image_create_solid_fill(&mc) : nullptr;
  for (auto _ : state)
  {
    pixman_image_composite32(op, f.s, mask, f.d, 0, 0, 0, 0, 0, 0, kW, kH);
    benchmark::ClobberMemory();
  }
  if (mask) pixman_image_unref(mask);
  Report(state);
}

void BM_PixmanFill(benchmark::State& state)
{
  PixmanFrames f;
  for (auto _ : state)
  {
    pixman_fill((uint32_t*)f.dst.getBits(), kW, 32, 0, 0, kW, kH, 0xffc0a030u);
    benchmark::ClobberMemory();
  }
  Report(state);
}
}  // namespace

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memset)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Blit)->ArgNames({"alpha%", "mode"})
  ->Args({100, 0})->Args({50, 0})->Args({60, 0})       // copy at 1.0, 0.5, 0.6
  ->Args({100, 0x10000})                               // source alpha
  ->Args({100, 1})                                     // add
  ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fill)->ArgNames({"alpha%"})->Arg(100)->Arg(60)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pixman)->ArgNames({"op", "opacity%"})
  ->Args({PIXMAN_OP_SRC, 100})->Args({PIXMAN_OP_OVER, 100})->Args({PIXMAN_OP_ADD, 100})
  ->Args({PIXMAN_OP_SRC, 60})
  ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PixmanFill)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
