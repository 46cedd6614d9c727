// Resampling blits and vector shapes: scaled bilinear blits up and down, rotated blits of a knob
// and of a whole frame, antialiased lines and filled circles. pixman's bilinear scale and rotation
// of the same pixels run in the same program as yardsticks. Figures are per call; items are
// destination pixels (lines: pixels along the line).

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdint>

#include "pix.h"

namespace
{
constexpr int kW = 800, kH = 400;
constexpr int kMode = 0x100;  // copy, bilinear

// A photo-like source: smooth gradients with a little noise, alpha mostly opaque with soft edges.
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
      const int r = (x * 255 / w + n) & 255, g = (y * 255 / h + n) & 255, b = ((x + y) & 255);
      const int dx = x - w / 2, dy = y - h / 2;
      const int d2 = dx * dx * 4 / (w * w / 100 + 1) + dy * dy * 4 / (h * h / 100 + 1);
      const int a = d2 < 90 ? 255 : (d2 < 100 ? (100 - d2) * 25 : 0);
      p[(size_t)y * w + x] = (PIX_PixelValue)a | (PIX_PixelValue)r << 8 | (PIX_PixelValue)g << 16 | (PIX_PixelValue)b << 24;
    }
}

pixman_image_t* Wrap(PIX_IBitmap& bm)
{
  return pixman_image_create_bits(PIXMAN_a8r8g8b8, bm.getWidth(), bm.getHeight(), (uint32_t*)bm.getBits(),
                                  bm.getRowSpan() * 4);
}

void Items(benchmark::State& state, int64_t perCall) { state.SetItemsProcessed((int64_t)state.iterations() * perCall); }

// Scale factor in 1/100: 200 is x2 (400 x 200 up to 800 x 400), 50 and 25 shrink the frame.
void Sizes(int pct, int* sw, int* sh, int* dw, int* dh)
{
  if (pct > 100)
  {
    *dw = kW, *dh = kH, *sw = kW * 100 / pct, *sh = kH * 100 / pct;
  }
  else
  {
    *sw = kW, *sh = kH, *dw = kW * pct / 100, *dh = kH * pct / 100;
  }
}

void BM_ScaledBilinear(benchmark::State& state)
{
  int sw, sh, dw, dh;
  Sizes((int)state.range(0), &sw, &sh, &dw, &dh);
  PIX_MemBitmap src(sw, sh), dst(dw, dh);
  FillImage(src);
  for (auto _ : state)
  {
    PIX_ScaledBlit(&dst, &src, 0, 0, dw, dh, 0.0f, 0.0f, (float)sw, (float)sh, 1.0f, kMode);
    benchmark::ClobberMemory();
  }
  Items(state, (int64_t)dw * dh);
}

void BM_PixmanScaledBilinear(benchmark::State& state)
{
  int sw, sh, dw, dh;
  Sizes((int)state.range(0), &sw, &sh, &dw, &dh);
  PIX_MemBitmap src(sw, sh), dst(dw, dh);
  FillImage(src);
  pixman_image_t *s = Wrap(src), *d = Wrap(dst);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed((double)sw / dw), pixman_double_to_fixed((double)sh / dh));
  pixman_image_set_transform(s, &t);
  pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  for (auto _ : state)
  {
    pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, dw, dh);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
  Items(state, (int64_t)dw * dh);
}

// A w x h image turned by 30 degrees about its centre into a w x h destination, bilinear. The
// knob (64 x 64) is drawn with its own alpha, as the editor draws control images.
void BM_Rotated(benchmark::State& state)
{
  const int w = (int)state.range(0), h = (int)state.range(1), mode = (int)state.range(2);
  PIX_MemBitmap src(w, h), dst(w, h);
  FillImage(src);
  PIX_Clear(&dst, 0x404040ffu);
  const float angle = 30.0f * 3.14159265f / 180.0f;
  for (auto _ : state)
  {
    PIX_RotatedBlit(&dst, &src, 0, 0, w, h, 0.0f, 0.0f, (float)w, (float)h, angle, false, 1.0f, mode, 0.0f, 0.0f);
    benchmark::ClobberMemory();
  }
  Items(state, (int64_t)w * h);
}

void BM_PixmanRotated(benchmark::State& state)
{
  const int w = (int)state.range(0), h = (int)state.range(1);
  const pixman_op_t op = (pixman_op_t)state.range(2);
  PIX_MemBitmap src(w, h), dst(w, h);
  FillImage(src);
  PIX_Clear(&dst, 0x404040ffu);
  pixman_image_t *s = Wrap(src), *d = Wrap(dst);
  const double a = 30.0 * 3.14159265358979 / 180.0;
  pixman_f_transform_t ft;
  pixman_f_transform_init_identity(&ft);
  pixman_f_transform_translate(&ft, nullptr, -w / 2.0, -h / 2.0);
  pixman_f_transform_rotate(&ft, nullptr, std::cos(a), std::sin(a));
  pixman_f_transform_translate(&ft, nullptr, w / 2.0, h / 2.0);
  pixman_transform_t t;
  pixman_transform_from_pixman_f_transform(&t, &ft);
  pixman_image_set_transform(s, &t);
  pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  for (auto _ : state)
  {
    pixman_image_composite32(op, s, nullptr, d, 0, 0, 0, 0, 0, 0, w, h);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
  Items(state, (int64_t)w * h);
}

// Antialiased lines of 300 pixels in eight directions (range: 0 integer, 1 float end points).
void BM_AntialiasedLine(benchmark::State& state)
{
  PIX_MemBitmap dst(kW, kH);
  PIX_Clear(&dst, 0x202020ffu);
  const bool fl = state.range(0) != 0;
  const int ends[8][4] = {{100, 50, 400, 130}, {100, 50, 180, 350}, {400, 50, 100, 130}, {180, 50, 100, 350},
                          {100, 130, 400, 50}, {100, 350, 180, 50}, {400, 130, 100, 50}, {180, 350, 100, 50}};
  for (auto _ : state)
  {
    for (const auto& e : ends)
    {
      if (fl)
        PIX_FLine(&dst, e[0] + 0.3f, e[1] + 0.6f, e[2] + 0.2f, e[3] + 0.7f, 0xffe0c0a0u, 0.8f, 0, true);
      else
        PIX_Line(&dst, e[0], e[1], e[2], e[3], 0xffe0c0a0u, 0.8f, 0, true);
    }
    benchmark::ClobberMemory();
  }
  Items(state, 8 * 301);
}

void BM_FillCircle(benchmark::State& state)
{
  PIX_MemBitmap dst(kW, kH);
  PIX_Clear(&dst, 0x202020ffu);
  const bool aa = state.range(0) != 0;
  const float alpha = (float)state.range(1) / 100.0f;
  for (auto _ : state)
  {
    PIX_FillCircle(&dst, 400.5f, 200.25f, 100.0f, 0xffe0c0a0u, alpha, 0, aa);
    benchmark::ClobberMemory();
  }
  Items(state, (int64_t)(3.14159265 * 100 * 100));
}
}  // namespace

BENCHMARK(BM_ScaledBilinear)->ArgName("scale%")->Arg(200)->Arg(50)->Arg(25)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PixmanScaledBilinear)->ArgName("scale%")->Arg(200)->Arg(50)->Arg(25)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rotated)
    ->ArgNames({"w", "h", "mode"})
    ->Args({64, 64, 0x10100})
    ->Args({64, 64, 0x100})
    ->Args({kW, kH, 0x100})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PixmanRotated)
    ->ArgNames({"w", "h", "op"})
    ->Args({64, 64, PIXMAN_OP_OVER})
    ->Args({64, 64, PIXMAN_OP_SRC})
    ->Args({kW, kH, PIXMAN_OP_SRC})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AntialiasedLine)->ArgName("float")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillCircle)->ArgNames({"aa", "alpha%"})->Args({0, 100})->Args({1, 100})->Args({1, 60})->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
