#pragma once
// A plug-in on the bare core behind the VST wrapper: four parameters of mixed kinds (FakePlug.h),
// layouts "1-1 2-2 4-2" (inputs 3 and 4 a sidechain), eight presets of which three are filled,
// and a processing that is easy to check: out[c] = 0.5 * in[c] + 0.25 * in[c + 2]. It records
// the product hooks the wrapper calls.

#include <algorithm>
#include <string>
#include <vector>

#include "FakePlug.h"
#include "IFxVST.h"

struct VstTestPlugConfig
{
  const char* channelIO = "1-1 2-2 4-2";
  int nPresets = 8;
  bool doesMidi = true;
  bool doesChunks = false;
  int latency = 0;
};

class VstTestPlug : public IFxVST
{
public:
  static constexpr int kUniqueID = 0x54737431;  // 'Tst1'

  explicit VstTestPlug(IFxInstanceInfo info, const VstTestPlugConfig& c = VstTestPlugConfig())
    : IFxVST(info, 4, c.channelIO, c.nPresets, "Test Effect", "Test Product", "Test Maker", 0x00010203, kUniqueID,
             0x54657374 /* 'Test' */, c.latency, c.doesMidi, c.doesChunks, false)
  {
    InitFakeParams(this);
    MakeDefaultPreset(nullptr, 1);
    MakePresetFromNamedParams("Loud", 2, 0, 6.0, 2, 3);
    MakePresetFromNamedParams("A preset name longer than the field", 1, 1, 7);
  }

  void Reset() override
  {
    IFxVST::Reset();
    Log("reset");
  }
  void OnParamChange(int idx) override
  {
    IFxVST::OnParamChange(idx);
    Log("change " + std::to_string(idx));
  }
  void OnActivate(bool active) override
  {
    IFxVST::OnActivate(active);
    Log(active ? "activate" : "deactivate");
  }

  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override
  {
    mMaxFrames = std::max(mMaxFrames, nFrames);
    ++mProcessCalls;
    const int nIn = NInChannels();
    for (int c = 0; c < NOutChannels(); ++c)
    {
      const double* side = c + 2 < nIn ? inputs[c + 2] : nullptr;
      for (int s = 0; s < nFrames; ++s)
        outputs[c][s] = 0.5 * inputs[c][s] + (side ? 0.25 * side[s] : 0.0);
    }
  }

  // The most recent hooks, oldest first. Bounded, so that a fuzzer's long run of inputs does not
  // grow it without end: past kMaxLog entries the older half is dropped.
  static constexpr size_t kMaxLog = 4096;
  std::vector<std::string> mLog;
  int mMaxFrames = 0;
  int mProcessCalls = 0;

private:
  void Log(const std::string& s)
  {
    // Logged only from the dispatcher's thread in the concurrency test, under the instance mutex.
    KIT_MutexScope lock(GetMutex());
    if (mLog.size() >= kMaxLog) mLog.erase(mLog.begin(), mLog.begin() + kMaxLog / 2);
    mLog.push_back(s);
  }
};
