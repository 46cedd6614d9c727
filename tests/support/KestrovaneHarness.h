#pragma once
// Drives a headless Kestrovane as a host would: parameters set through the core, four input and two
// output channels of doubles processed in blocks. Inputs are generated per frame by a callback.

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "Kestrovane.h"

struct KestrovaneHarness
{
  using Frame = std::array<double, 4>;  // left, right, sidechain left, sidechain right

  std::unique_ptr<Kestrovane> plug = std::make_unique<Kestrovane>(IFxInstanceInfo());
  std::vector<double> in[4], out[2];

  // Sets a parameter as a host does: the value, then the product's reaction.
  void Set(int idx, double value)
  {
    plug->GetParam(idx)->Set(value);
    plug->OnParamChange(idx);
  }

  // Several at once, then a reset so the smoothed parameters start at their values.
  template <class Settings>
  void Configure(const Settings& settings, bool reset = true)
  {
    for (const auto& s : settings) Set(s.first, s.second);
    if (reset) plug->Reset();
  }
  void Configure(std::initializer_list<std::pair<int, double>> settings, bool reset = true)
  {
    Configure<std::initializer_list<std::pair<int, double>>>(settings, reset);
  }

  void Connect(int inChannel, bool connected) { plug->SetInputChannelConnections(inChannel, 1, connected); }

  // Processes nFrames of the signal in blocks; the outputs are appended to out[0] and out[1].
  // Output buffers start as a sentinel, so a channel that is not written keeps it. In place, the
  // main inputs' buffers are the outputs too, as some hosts give them.
  void Run(int nFrames, const std::function<Frame(int)>& signal, int blockSize = 512, double sentinel = 0.0,
           bool inPlace = false)
  {
    for (int start = 0; start < nFrames; start += blockSize)
    {
      const int n = std::min(blockSize, nFrames - start);
      std::vector<double> bin[4], bout[2];
      for (int c = 0; c < 4; ++c) bin[c].resize((size_t)n);
      for (int c = 0; c < 2; ++c) bout[c].assign((size_t)n, sentinel);
      for (int i = 0; i < n; ++i)
      {
        const Frame f = signal(mFrame + i);
        for (int c = 0; c < 4; ++c) bin[c][(size_t)i] = f[(size_t)c];
      }
      // Host buffers go to the connected channels in order.
      double* inPtrs[4];
      int nIn = 0;
      for (int c = 0; c < 4; ++c)
        if (plug->IsInChannelConnected(c)) inPtrs[nIn++] = bin[c].data();
      double* outPtrs[2] = { bout[0].data(), bout[1].data() };
      for (int c = 0; c < 4; ++c) in[c].insert(in[c].end(), bin[c].begin(), bin[c].end());
      if (inPlace)
        for (int c = 0; c < 2; ++c) outPtrs[c] = bin[c].data();
      plug->ProcessDoubleBlock(inPtrs, nIn, outPtrs, 2, n);
      for (int c = 0; c < 2; ++c) out[c].insert(out[c].end(), outPtrs[c], outPtrs[c] + n);
      mFrame += n;
    }
  }

  // A constant on both main channels (and optionally the sidechain pair).
  void RunDc(int nFrames, double dc, double sidechain = 0.0)
  {
    Run(nFrames, [=](int) { return Frame{ dc, dc, sidechain, sidechain }; });
  }

  void ClearOutput()
  {
    for (auto& v : in) v.clear();
    for (auto& v : out) v.clear();
  }

  int mFrame = 0;
};
