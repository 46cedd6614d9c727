// The audio thread sets meter values and host automation sets bound values while the main
// thread draws, cleans and handles the mouse. Nothing may be lost: once the threads stop and two
// quiet ticks have run, every meter holds the last value the audio thread gave it, and the back
// buffer equals a redraw from scratch (a value drawn before a racing cleaning would differ).

#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include "GuiFixture.h"

namespace
{
class ThreadPlug : public FakePlug
{
public:
  std::atomic<int> mBegins{0}, mEnds{0}, mInforms{0};

  void BeginInformHostOfParamChange(int) override { ++mBegins; }
  void InformHostOfParamChange(int, double) override { ++mInforms; }
  void EndInformHostOfParamChange(int) override { ++mEnds; }
  void OnParamChange(int) override {}
};

constexpr int kW = 160, kH = 80, kMeters = 3, kKnobs = 4;
}  // namespace

TEST(GuiConcurrency, AudioHostAndUIThreadsLoseNoUpdate)
{
  ThreadPlug plug;
  InitFakeParams(&plug);
  TestGraphics* g = new TestGraphics(&plug, kW, kH);
  g->mCopyScreen = false;
  std::unique_ptr<PIX_MemBitmap> bgPixels(MakeTestOpaque(kW, kH, 1)), meterPixels(MakeTestStrip(8, 30, 16, 3)),
    knobPixels(MakeTestStrip(20, 20, 32, 4));
  IBitmap bg(bgPixels.get(), kW, kH, 1), meter(meterPixels.get(), 8, 480, 16), knob(knobPixels.get(), 20, 640, 32);
  g->AttachControl(new IBitmapControl(&plug, 0, 0, -1, &bg, IChannelBlend::kBlendClobber));
  IControl* meters[kMeters];
  for (int i = 0; i < kMeters; ++i)
  {
    meters[i] = new IBitmapControl(&plug, 4 + 10 * i, 4, -1, &meter);
    g->AttachControl(meters[i]);
  }
  for (int i = 0; i < kKnobs; ++i) g->AttachControl(new IKnobMultiControl(&plug, 50 + 25 * i, 10 + 5 * i, i, &knob));
  plug.AttachGraphics(g);

  std::atomic<bool> stop{false};
  std::atomic<double> lastMeter[kMeters];
  for (auto& m : lastMeter) m = 0.0;

  // The audio thread: meter values at the end of every block, no lock.
  std::thread audio([&] {
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> level(0.0, 1.0);
    while (!stop)
      for (int i = 0; i < kMeters; ++i)
      {
        const double v = level(rng);
        meters[i]->SetValueFromPlug(v);
        lastMeter[i] = v;
      }
  });

  // Host automation: under the plug-in's mutex, as the wrappers do, and the product's reaction
  // of hiding a control on another thread.
  std::thread host([&] {
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> value(0.0, 1.0);
    for (int n = 0; !stop; ++n)
    {
      const int idx = (int)(rng() % kKnobs);
      const double v = value(rng);
      KIT_MutexScope lock(plug.GetMutex());
      plug.GetParam(idx)->SetNormalized(v);
      g->SetParameterFromPlug(idx, plug.GetParam(idx)->GetNormalized(), true);
      if (n % 64 == 0) g->GetControl(1 + kMeters + kKnobs - 1)->Hide(n % 128 == 0);
    }
  });

  // The main thread: timer ticks with whatever area the platform paints, and mouse gestures.
  std::mt19937 rng(3);
  IMouseMod mod(true);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  int ticks = 0;
  while (std::chrono::steady_clock::now() < end)
  {
    IRECT r;
    if (g->IsDirty(&r))
    {
      if (rng() % 4 == 0) r = IRECT((int)(rng() % kW), 0, kW, (int)(rng() % kH));
      g->Draw(&r);
    }
    ++ticks;
    const int k = (int)(rng() % kKnobs), x = 60 + 25 * k, y = 20 + 5 * k;
    g->OnMouseDown(x, y, &mod);
    g->OnMouseDrag(x, y - 1 - (int)(rng() % 5), &mod);
    g->OnMouseUp(x, y, &mod);
  }
  stop = true;
  audio.join();
  host.join();

  g->Tick();
  g->Tick();
  for (int i = 0; i < kMeters; ++i) EXPECT_EQ(meters[i]->GetValue(), lastMeter[i].load());
  PIX_MemBitmap incremental;
  PIX_Copy(&incremental, g->GetDrawBitmap());
  IRECT all(0, 0, kW, kH);
  PIX_Clear(g->GetDrawBitmap(), 0);
  g->Draw(&all);
  EXPECT_EQ(PIX_BitmapCmp(&incremental, g->GetDrawBitmap()), 0);
  EXPECT_EQ(plug.mBegins.load(), plug.mEnds.load());
  EXPECT_GT(ticks, 10);
}

// Instances are built one at a time (the wrappers' factories hold a lock), but on any thread, and
// the cache is shared: its list is guarded by its mutex and images are read outside it.
TEST(GuiConcurrency, InstancesLoadImagesOnSeveralThreads)
{
  IGraphicsPix::FreeBitmapCache();
  constexpr int kThreads = 4, kIDs = 24;
  std::vector<std::unique_ptr<FakePlug>> plugs;
  std::vector<std::unique_ptr<TestGraphics>> surfaces;
  for (int t = 0; t < kThreads; ++t)
  {
    plugs.emplace_back(new FakePlug());
    surfaces.emplace_back(new TestGraphics(plugs.back().get(), 8, 8));
    surfaces.back()->mLoader = [](const std::string&) { return (PIX_IBitmap*)MakeTestOpaque(3, 2); };
  }
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t, g = surfaces[t].get()] {
      for (int i = 0; i < kIDs; ++i)
      {
        IBitmap b = g->LoadIBitmap(8000 + (i + 5 * t) % kIDs, "any.png", 1 + t);
        EXPECT_EQ(b.W, 3);
        EXPECT_EQ(b.N, 1 + t);
      }
    });
  for (std::thread& t : threads) t.join();
  EXPECT_GE(IGraphicsPix::CacheSize(), kIDs);
  FakePlug plug;
  TestGraphics g(&plug, 8, 8);  // no loader: every ID must now be a hit
  for (int i = 0; i < kIDs; ++i)
  {
    IBitmap b = g.LoadIBitmap(8000 + i, "any.png");
    int first = 0;
    while (IGraphicsPix::CacheID(first) != 8000 + i) ++first;
    EXPECT_EQ(b.mData, IGraphicsPix::CacheBitmap(first));
  }
  IGraphicsPix::FreeBitmapCache();
}
