// The meters are written by the audio thread at each block's end and read by an editor thread.

#include <atomic>
#include <cmath>
#include <thread>

#include <gtest/gtest.h>

#include "KestrovaneHarness.h"

TEST(KestrovaneMeters, ReadWhileTheAudioThreadProcesses)
{
  KestrovaneHarness h;
  h.Configure({ { Kestrovane::kThreshold, -30.0 }, { Kestrovane::kRatio, 4.0 } });
  std::atomic<bool> done{ false };
  std::atomic<int> outOfRange{ 0 };
  std::thread reader([&] {
    while (!done.load())
    {
      for (int m = 0; m < Kestrovane::kNumMeters; ++m)
      {
        const double v = h.plug->GetMeterValue((Kestrovane::EMeter)m);
        if (!(v >= 0.0 && v <= 1.0)) outOfRange.fetch_add(1);
      }
    }
  });
  h.Run(44100, [](int n) {
    const double x = 0.9 * std::sin(0.01 * n);
    return KestrovaneHarness::Frame{ x, -x, 0.0, 0.0 };
  });
  done.store(true);
  reader.join();
  EXPECT_EQ(outOfRange.load(), 0);
  EXPECT_GT(h.plug->GetMeterValue(Kestrovane::kGainReductionMeter), 0.0);
}
