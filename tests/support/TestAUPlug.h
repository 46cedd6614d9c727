#pragma once
// An Audio Unit plug-in on IFxAU with a layout the test chooses before opening it (through
// TestAUPlug::sConfig), the base pass-through processing, a small mixed parameter set and a few
// presets, and a log of the product hooks the wrapper calls. Include in exactly one source file
// per executable with TEST_AU_PLUG_DEFINE_MAKEPLUG defined, which supplies MakePlug().

#include <cstdio>
#include <string>
#include <vector>

#include "IFxAU.h"

struct TestAUConfig
{
  const char* channelIO = "1-1 2-1 2-2 3-2 4-2";
  int nPresets = 4;
  bool stateChunks = false;
  bool isInst = false;
  int latency = 0;
  bool failStateRead = false;  // with stateChunks: the plug's own reader refuses every chunk
};

class TestAUPlug : public IFxAU
{
public:
  enum { kGain = 0, kCount, kMode, kSwitch, kNParams };
  static constexpr UInt32 kUniqueID = 0x54737431;  // 'Tst1'
  static constexpr UInt32 kMfrID = 0x546D6672;     // 'Tmfr'

  static inline TestAUConfig sConfig;

  static const IFxInstanceInfo& Info()
  {
    static const IFxInstanceInfo* s_info = [] {
      IFxInstanceInfo* info = new IFxInstanceInfo;
      info->mBundleID.Set("com.example.testau");
      info->mCocoaViewFactoryClassName.Set("Test_View");
      return info;
    }();
    return *s_info;
  }

  explicit TestAUPlug(const TestAUConfig& c = sConfig)
    : IFxAU(Info(), kNParams, c.channelIO, c.nPresets, "Test Effect", "Test Product", "Test Maker", 0x00010203,
            (int)kUniqueID, (int)kMfrID, c.latency, false, c.stateChunks, c.isInst),
      mFailStateRead(c.failStateRead)
  {
    GetParam(kGain)->InitDouble("Gain", -6.0, -60.0, 12.0, 0.1, "dB");
    GetParam(kCount)->InitInt("Count", 3, 0, 10, "");
    GetParam(kMode)->InitEnum("Mode", 1, 4);
    const char* modes[] = { "I", "II", "III", "IV" };
    for (int i = 0; i < 4; ++i) GetParam(kMode)->SetDisplayText(i, modes[i]);
    GetParam(kSwitch)->InitBool("Switch", true);
    MakeDefaultPreset("Default");
    MakePresetFromNamedParams("Loud", 2, kGain, 6.0, kMode, 3);
    MakePresetFromNamedParams("Quiet", 2, kGain, -40.0, kSwitch, 0);
  }

  void Reset() override
  {
    IFxAU::Reset();
    mLog.push_back("reset");
  }
  void OnParamChange(int idx) override
  {
    IFxAU::OnParamChange(idx);
    mLog.push_back("change " + std::to_string(idx));
  }
  void OnActivate(bool active) override
  {
    IFxAU::OnActivate(active);
    mLog.push_back(active ? "activate" : "deactivate");
  }
  void ProcessMidiMsg(IMidiMsg* pMsg) override
  {
    char s[64];
    snprintf(s, sizeof(s), "midi %d %d %d @%d", pMsg->mStatus, pMsg->mData1, pMsg->mData2, pMsg->mOffset);
    mLog.push_back(s);
  }
  int UnserializeState(ByteChunk* pChunk, int startPos) override
  {
    if (mFailStateRead)
    {
      // Changes a value first, as a careless reader might, and then fails.
      GetParam(kGain)->Set(11.0);
      return -1;
    }
    return IFxAU::UnserializeState(pChunk, startPos);
  }

  // Lets tests raise the latency and gesture events the product and editor would.
  using IFxAU::SetLatency;

  std::vector<std::string> mLog;
  bool mFailStateRead;
};

#ifdef TEST_AU_PLUG_DEFINE_MAKEPLUG
IFxAU* MakePlug()
{
  return new TestAUPlug(TestAUPlug::sConfig);
}
#endif
