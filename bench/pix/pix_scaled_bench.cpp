// The bilinear 2x enlargement of a 400 x 200 image to 800 x 400 (an editor frame): the scaled
// blit's vector walk, its scalar walk, and pixman's bilinear scale of the same pixels, as copy
// (pixman's SRC) and as copy by source alpha at 1.0 (pixman's OVER). Figures are per call; items
// are destination pixels. scaled_pairs.sh runs ours and pixman's as pairs on one processor.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>

#include "pix.h"
#include "pix_blit_scaled.h"

namespace
{
constexpr int kSW = 400, kSH = 200, kDW = 800, kDH = 400;

// Smooth gradients with a little noise; alpha opaque inside an ellipse, clear outside, soft between.
void FillImage(PIX_IBitmap& bm)
{
  uint32_t seed = 777;
  PIX_PixelValue* p = bm.getBits();
  const int w = bm.getWidth(), h = bm.getHeight();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      seed = seed * 1664525u + 1013904223u;
      const int n = (int)(seed >> 28);
      const int r = (x * 255 / w + n) & 255, g = (y * 255 / h + n) & 255, b = (x + y) & 255;
      const int dx = x - w / 2, dy = y - h / 2;
      const int d2 = dx * dx * 400 / (w * w) + dy * dy * 400 / (h * h);
      const int a = d2 < 90 ? 255 : (d2 < 100 ? (100 - d2) * 25 : 0);
      p[(size_t)y * w + x] = (PIX_PixelValue)a | (PIX_PixelValue)r << 8 | (PIX_PixelValue)g << 16 | (PIX_PixelValue)b << 24;
    }
}

struct Frames
{
  PIX_MemBitmap src{kSW, kSH}, dst{kDW, kDH};
  Frames()
  {
    FillImage(src);
    PIX_Clear(&dst, 0x404040ffu);
  }
};

void Items(benchmark::State& state) { state.SetItemsProcessed((int64_t)state.iterations() * kDW * kDH); }

// range 0: the mode (0x100 copy, 0x10100 copy by source alpha); range 1: 1 for the vector walk.
void BM_Scaled2x(benchmark::State& state)
{
  Frames f;
  const int mode = (int)state.range(0);
  const EPIX_ScaledPath path = state.range(1) ? kPIX_ScaledVector : kPIX_ScaledScalar;
  for (auto _ : state)
  {
    PIX_ScaledBlitWith(path, &f.dst, &f.src, 0, 0, kDW, kDH, 0.0f, 0.0f, (float)kSW, (float)kSH, 1.0f, mode);
    benchmark::ClobberMemory();
  }
  Items(state);
}

void BM_Pixman2x(benchmark::State& state)
{
  Frames f;
  const pixman_op_t op = (pixman_op_t)state.range(0);
  pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSW, kSH, (uint32_t*)f.src.getBits(), kSW * 4);
  pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, kDW, kDH, (uint32_t*)f.dst.getBits(), kDW * 4);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed((double)kSW / kDW), pixman_double_to_fixed((double)kSH / kDH));
  pixman_image_set_transform(s, &t);
  pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  for (auto _ : state)
  {
    pixman_image_composite32(op, s, nullptr, d, 0, 0, 0, 0, 0, 0, kDW, kDH);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
  Items(state);
}
}  // namespace

BENCHMARK(BM_Scaled2x)->ArgNames({"mode", "vector"})
  ->Args({0x100, 1})->Args({0x10100, 1})->Args({0x100, 0})->Args({0x10100, 0})
  ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pixman2x)->ArgName("op")->Arg(PIXMAN_OP_SRC)->Arg(PIXMAN_OP_OVER)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
