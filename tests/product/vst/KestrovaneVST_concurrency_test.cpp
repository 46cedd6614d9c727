// The bundle under ThreadSanitizer: one thread processes audio while another drives the
// dispatcher, every parameter, programs, chunks, activation and sample-rate changes.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "FakeVstHost.h"
#include "VstModule.h"

TEST(KestrovaneVSTConcurrency, ProcessingWhileTheHostDrivesTheDispatcher)
{
  FakeVstHost host;
  VstModule module(KV_KESTROVANE_VST);
  ASSERT_TRUE(module.Loaded()) << module.Error();
  AEffect* e = module.Create(FakeVstHost::Callback);
  ASSERT_NE(e, nullptr);
  host.Adopt(e);
  Dispatch(e, effOpen);
  Dispatch(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  Dispatch(e, effSetBlockSize, 0, 256);
  Dispatch(e, effMainsChanged, 0, 1);

  std::atomic<bool> done{ false };
  std::atomic<int> blocks{ 0 };
  bool finite = true;
  std::thread audio([&] {
    std::vector<float> in[4], out[2];
    for (int c = 0; c < 4; ++c)
    {
      in[c].resize(300);
      for (int s = 0; s < 300; ++s) in[c][(size_t)s] = 0.8f * (float)std::sin(0.05 * s * (c + 1));
    }
    for (auto& ch : out) ch.assign(300, 0.0f);
    float* ins[4] = { in[0].data(), in[1].data(), in[2].data(), in[3].data() };
    float* outs[2] = { out[0].data(), out[1].data() };
    while (!done.load() || blocks.load() < 100)
    {
      e->processReplacing(e, ins, outs, 300);
      for (float v : out[0]) finite = finite && std::isfinite(v);
      blocks.fetch_add(1);
    }
  });

  char text[256];
  for (int i = 0; i < 1500; ++i)
  {
    e->setParameter(e, i % 16, (float)((i * 7) % 100) / 100.0f);
    (void)e->getParameter(e, (i + 3) % 16);
    Dispatch(e, effGetParamDisplay, i % 16, 0, text);
    if (i % 60 == 0)
    {
      void* pData = nullptr;
      const VstIntPtr n = Dispatch(e, effGetChunk, i % 2, 0, &pData);
      Dispatch(e, effSetChunk, i % 2, n, pData);
      Dispatch(e, effSetProgram, 0, (i / 60) % 34);
    }
    if (i % 400 == 0)
    {
      Dispatch(e, effMainsChanged, 0, 0);
      Dispatch(e, effSetSampleRate, 0, 0, nullptr, (i / 400) % 2 ? 48000.0f : 44100.0f);
      Dispatch(e, effMainsChanged, 0, 1);
    }
  }
  done.store(true);
  audio.join();
  EXPECT_TRUE(finite);
  EXPECT_GE(blocks.load(), 100);
}
