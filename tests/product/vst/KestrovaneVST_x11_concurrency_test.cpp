// The editor on the X server while the audio thread processes and a host thread automates: the
// editor thread turns the loop, takes a drag and paints, and ThreadSanitizer sees no race.

#include <atomic>
#include <cmath>
#include <thread>

#include "KestrovaneX11Fixture.h"

TEST_F(KestrovaneX11Test, AudioAutomationAndTheEditorTogether)
{
  Dispatch(mEffect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  Dispatch(mEffect, effSetBlockSize, 0, 256);
  Dispatch(mEffect, effMainsChanged, 0, 1);
  ASSERT_TRUE(Open());
  std::atomic<bool> stop{ false };
  std::thread audio([&] {
    std::vector<float> in(256), out(256);
    float* ins[4] = { in.data(), in.data(), in.data(), in.data() };
    float* outs[2] = { out.data(), out.data() };
    for (int b = 0; !stop.load(); ++b)
    {
      for (int i = 0; i < 256; ++i) in[(size_t)i] = 0.6f * (float)std::sin((b * 256 + i) * 0.03);
      mEffect->processReplacing(mEffect, ins, outs, 256);
    }
  });
  std::thread automation([&] {
    for (int i = 0; !stop.load(); ++i)
    {
      mEffect->setParameter(mEffect, Kestrovane::kThreshold, (i % 100) / 100.0f);
      mEffect->setParameter(mEffect, Kestrovane::kAutoRelease, (float)(i % 4) / 3.0f);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  for (int round = 0; round < 3; ++round)
  {
    Idle(5);
    Drag(311, 275, 15);
  }
  stop.store(true);
  audio.join();
  automation.join();
  EXPECT_FALSE(EditsOf(Kestrovane::kAttack).empty());
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
}
