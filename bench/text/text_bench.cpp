// Goals: a 30-character line at 9 px draws in well under 25 us once its fonts are cached; an
// 800 x 400 image copies 1:1 into an 800 x 400 context in well under 0.3 ms.

#include <benchmark/benchmark.h>

#include <text/KVText.h>

#include <cstring>
#include <vector>

namespace
{
const char kLine[] = "Threshold -18.5 dB  Ratio 4.0:1";  // 31 characters

struct BackBuffer
{
  std::vector<uint8_t> pixels;
  CGContextRef ctx;

  explicit BackBuffer(uint32_t info = kCGImageAlphaNoneSkipFirst, size_t w = 800, size_t h = 400)
    : pixels(w * h * 4, 0x40)
  {
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    ctx = CGBitmapContextCreate(pixels.data(), w, h, 8, w * 4, space, info);
    CGColorSpaceRelease(space);
    CGContextTranslateCTM(ctx, 0, (CGFloat)h);  // the editor's y-down user space
    CGContextScaleCTM(ctx, 1, -1);
  }
  ~BackBuffer() { CGContextRelease(ctx); }
};

void BM_DrawLine(benchmark::State& state)
{
  BackBuffer bb;
  KVText::Style style;
  style.size = 9;
  style.deviceMetrics = state.range(0) != 0;
  KVText::Layout layout;
  KVText::LayoutLine(style, kLine, strlen(kLine), CGRectMake(100, 100, 200, 12), KVText::kAlignCenter, true,
                     CGContextGetCTM(bb.ctx), &layout);
  const CGFloat white[4] = {1, 1, 1, 1};
  for (auto _ : state) benchmark::DoNotOptimize(KVText::DrawLine(bb.ctx, style, layout, true, white));
}
BENCHMARK(BM_DrawLine)->Arg(0)->Arg(1)->ArgName("deviceMetrics");

void BM_LayoutAndDrawLine(benchmark::State& state)
{
  BackBuffer bb;
  KVText::Style style;
  style.size = 9;
  style.deviceMetrics = true;
  const CGFloat white[4] = {1, 1, 1, 1};
  KVText::Layout layout;
  for (auto _ : state)
  {
    KVText::LayoutLine(style, kLine, strlen(kLine), CGRectMake(100, 100, 200, 12), KVText::kAlignCenter, true,
                       CGContextGetCTM(bb.ctx), &layout);
    benchmark::DoNotOptimize(KVText::DrawLine(bb.ctx, style, layout, true, white));
  }
}
BENCHMARK(BM_LayoutAndDrawLine);

// range(0): 0 = opaque image 1:1, 1 = premultiplied image 1:1 (source-over), 2 = opaque, scaled 2x.
void BM_DrawImage(benchmark::State& state)
{
  const bool premul = state.range(0) == 1;
  BackBuffer src(premul ? kCGImageAlphaPremultipliedFirst : kCGImageAlphaNoneSkipFirst);
  CGImageRef image = CGBitmapContextCreateImage(src.ctx);
  BackBuffer dst;
  const CGRect rect = state.range(0) == 2 ? CGRectMake(-400, -200, 1600, 800) : CGRectMake(0, 0, 800, 400);
  for (auto _ : state)
  {
    CGContextDrawImage(dst.ctx, rect, image);
    benchmark::ClobberMemory();
  }
  CGImageRelease(image);
}
BENCHMARK(BM_DrawImage)->Arg(0)->Arg(1)->Arg(2)->ArgName("kind")->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
