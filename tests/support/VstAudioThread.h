#pragma once
// An audio thread for concurrency tests: calls an effect's processReplacing with 4 inputs and
// 2 outputs of `frames` frames, over and over, until stopped and at least `minBlocks` are done,
// and notes whether every output sample was finite.

#include <vst2_interface.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

class VstAudioThread
{
public:
  VstAudioThread(AEffect* pEffect, int frames, int minBlocks)
    : mThread([this, pEffect, frames, minBlocks] { Run(pEffect, frames, minBlocks); })
  {
  }
  ~VstAudioThread() { Stop(); }

  void Stop()
  {
    mDone.store(true);
    if (mThread.joinable()) mThread.join();
  }
  int Blocks() const { return mBlocks.load(); }
  bool AllFinite() const { return mFinite.load(); }

private:
  void Run(AEffect* e, int frames, int minBlocks)
  {
    std::vector<float> in[4], out[2];
    for (int c = 0; c < 4; ++c)
    {
      in[c].resize((size_t)frames);
      for (int s = 0; s < frames; ++s) in[c][(size_t)s] = 0.8f * (float)std::sin(0.05 * s * (c + 1));
    }
    for (auto& ch : out) ch.assign((size_t)frames, 0.0f);
    float* ins[4] = { in[0].data(), in[1].data(), in[2].data(), in[3].data() };
    float* outs[2] = { out[0].data(), out[1].data() };
    while (!mDone.load() || mBlocks.load() < minBlocks)
    {
      e->processReplacing(e, ins, outs, frames);
      for (float v : out[0])
        if (!std::isfinite(v)) mFinite.store(false);
      mBlocks.fetch_add(1);
    }
  }

  std::atomic<bool> mDone{ false };
  std::atomic<int> mBlocks{ 0 };
  std::atomic<bool> mFinite{ true };
  std::thread mThread;  // last: starts once the fields above exist
};
