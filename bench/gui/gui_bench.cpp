// The editor's redraw costs on an 800 x 400 surface laid out like the product's: a background
// and thirty film-strip, fader and switch controls (31 in all).
//   idle tick      IsDirty with nothing dirty                       goal < 1 us
//   full redraw    every control drawn into the back buffer         goal < 1 ms
//   meter tick     three meters set, the timer's rectangle drawn    goal < 0.2 ms
//   second loads   a second instance's images, all cache hits       goal < 50 us
// The test surface's own copy of the screen is switched off: that is the platform's work.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "FakePlug.h"
#include "IControls.h"
#include "TestGraphics.h"
#include "TestImages.h"

namespace
{
struct Image
{
  int id, w, frameH, frames;
};

// Sizes and frame counts of the product's images, in its loading order after the background.
const Image kImages[] = { { 101, 800, 400, 1 },  { 102, 60, 60, 150 }, { 103, 60, 60, 150 }, { 118, 60, 60, 150 },
                          { 104, 26, 26, 151 },  { 105, 22, 16, 1 },   { 106, 22, 16, 1 },   { 107, 22, 16, 1 },
                          { 108, 40, 18, 2 },    { 109, 40, 18, 2 },   { 110, 24, 40, 2 },   { 111, 70, 70, 145 },
                          { 112, 240, 14, 376 }, { 113, 240, 14, 376 }, { 114, 6, 10, 10 },  { 115, 36, 10, 3 },
                          { 116, 36, 10, 1 } };

// The images live in memory; every surface reads the same ones, so only the cache decides.
PIX_IBitmap* MakeImage(const std::string& path)
{
  for (const Image& im : kImages)
    if (path.find("/" + std::to_string(im.id) + ".png") != std::string::npos)
      return im.frames == 1 && im.w == 800 ? (PIX_IBitmap*)MakeTestOpaque(im.w, im.frameH)
                                           : (PIX_IBitmap*)MakeTestStrip(im.w, im.frameH, im.frames, im.id);
  return nullptr;
}

// Builds the editor of the product's shape and attaches it to its plug-in.
std::unique_ptr<FakePlug> BuildEditor(TestGraphics** ppG, IControl* meters[3])
{
  FakePlugConfig c;
  c.nParams = 16;
  std::unique_ptr<FakePlug> plug(new FakePlug(c));
  for (int i = 0; i < 16; ++i) plug->GetParam(i)->InitDouble("p", 0.3, 0.0, 1.0, 0.01);
  TestGraphics* g = new TestGraphics(plug.get(), 800, 400, 30);
  g->mCopyScreen = false;
  g->mLoader = MakeImage;
  g->AttachBackground(101, "101.png");
  std::vector<IBitmap> bm;
  for (const Image& im : kImages)
    if (im.id != 101) bm.push_back(g->LoadIBitmap(im.id, (std::to_string(im.id) + ".png").c_str(), im.frames));
  IBitmap &attack = bm[0], &release = bm[1], &ratio = bm[2], &dot = bm[3], &fio = bm[4], &fgr = bm[5],
          &fcomp = bm[6], &over = bm[7], &side = bm[8], &topo = bm[9], &mode = bm[10], &vug = bm[11],
          &vur = bm[12], &lcd = bm[13], &lcdAuto = bm[14], &lcdAttack = bm[15];
  meters[0] = new IBitmapControl(plug.get(), 291, 56, -1, &vug);
  meters[1] = new IBitmapControl(plug.get(), 291, 134, -1, &vug);
  meters[2] = new IBitmapControl(plug.get(), 291, 171, -1, &vur);
  for (IControl* m : { meters[0], meters[1], meters[2] }) g->AttachControl(m);
  const int readouts[][2] = { { 206, 92 }, { 107, 166 }, { 106, 215 }, { 199, 208 }, { 233, 277 }, { 531, 277 }, { 694, 277 } };
  for (auto& p : readouts) g->AttachControl(new IBitmapControl(plug.get(), p[0], p[1], -1, &lcd));
  g->AttachControl(new IBitmapControl(plug.get(), 694, 277, -1, &lcdAuto));
  g->AttachControl(new IBitmapControl(plug.get(), 233, 277, -1, &lcdAttack));
  g->AttachControl(new IBitmapControl(plug.get(), 706, 360, -1, &lcd));
  g->AttachControl(new IKnobMultiControl(plug.get(), 281, 245, 4, &attack));
  g->AttachControl(new IKnobMultiControl(plug.get(), 443, 245, 1, &ratio));
  g->AttachControl(new IKnobMultiControl(plug.get(), 606, 245, 5, &release));
  const int dots[][3] = { { 76, 159, 7 }, { 76, 209, 6 }, { 236, 352, 12 }, { 279, 352, 11 }, { 677, 352, 8 } };
  for (auto& d : dots) g->AttachControl(new IKnobMultiControl(plug.get(), d[0], d[1], d[2], &dot));
  g->AttachControl(new IFaderControl(plug.get(), 276, 43, 407, 0, &fio, kHorizontal));
  g->AttachControl(new IFaderControl(plug.get(), 276, 161, 407, 2, &fgr, kHorizontal));
  g->AttachControl(new IFaderControl(plug.get(), 349, 356, 260, 3, &fcomp, kHorizontal));
  g->AttachControl(new ISwitchControl(plug.get(), 479, 0, 13, &over));
  g->AttachControl(new ISwitchControl(plug.get(), 359, 0, 14, &side));
  g->AttachControl(new ISwitchControl(plug.get(), 716, 79, 10, &topo));
  g->AttachControl(new IKnobMultiControl(plug.get(), 42, 41, 9, &mode));
  IText text(12, &COLOR_BLACK, DEFAULT_FONT, IText::kStyleNormal, IText::kAlignNear);
  IRECT t1(187, 3, 355, 13), t2(187, 4, 355, 14);
  g->AttachControl(new ITextControl(plug.get(), &t1, &text, "Version 2.00.01"));
  g->AttachControl(new ITextControl(plug.get(), &t2, &text, "Version 2.00.01"));
  plug->AttachGraphics(g);
  *ppG = g;
  return plug;
}

void Settle(TestGraphics* g)
{
  while (g->Tick())
  {
  }
}

void BM_IdleTick(benchmark::State& state)
{
  TestGraphics* g;
  IControl* meters[3];
  auto plug = BuildEditor(&g, meters);
  Settle(g);
  for (auto _ : state)
  {
    IRECT r;
    benchmark::DoNotOptimize(g->IsDirty(&r));
  }
  state.counters["controls"] = g->NControls();
}

void BM_FullRedraw(benchmark::State& state)
{
  TestGraphics* g;
  IControl* meters[3];
  auto plug = BuildEditor(&g, meters);
  IRECT all(0, 0, 800, 400);
  for (auto _ : state)
  {
    g->SetAllControlsDirty();
    g->Draw(&all);
    benchmark::DoNotOptimize(g->GetBits());
  }
}

void BM_MeterTick(benchmark::State& state)
{
  TestGraphics* g;
  IControl* meters[3];
  auto plug = BuildEditor(&g, meters);
  Settle(g);
  double v = 0.0;
  for (auto _ : state)
  {
    // One audio block's meter values, then the timer's question and the paint.
    v = v > 0.9 ? 0.05 : v + 0.013;
    for (int i = 0; i < 3; ++i) meters[i]->SetValueFromPlug(v + 0.01 * i);
    IRECT r;
    if (g->IsDirty(&r)) g->Draw(&r);
    benchmark::DoNotOptimize(g->GetBits());
  }
}

void BM_SecondInstanceLoads(benchmark::State& state)
{
  TestGraphics* g;
  IControl* meters[3];
  auto first = BuildEditor(&g, meters);
  FakePlug plug;
  TestGraphics second(&plug, 800, 400, 30);
  second.mLoader = nullptr;  // a read would stop the program: every load must be a hit
  for (auto _ : state)
    for (const Image& im : kImages)
      benchmark::DoNotOptimize(second.LoadIBitmap(im.id, "unused.png", im.frames).mData);
  state.counters["images"] = (double)(sizeof(kImages) / sizeof(kImages[0]));
}
}  // namespace

BENCHMARK(BM_IdleTick);
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MeterTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SecondInstanceLoads)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
