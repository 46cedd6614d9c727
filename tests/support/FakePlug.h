#pragma once
// A plug-in on the bare core: fills the pure virtual operations and records every notification
// the core sends to the host or to the product, in order, as short texts ("begin 3",
// "inform 3 0.5", "end 3", "change 3", "reset", "midi 144 60 100").

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "IFxBase.h"

struct FakePlugConfig
{
  int nParams = 4;
  const char* channelIO = "2-2";
  int nPresets = 8;
  int version = 0x00010203;
  int latency = 0;
};

class FakePlug : public IFxBase
{
public:
  explicit FakePlug(const FakePlugConfig& c = FakePlugConfig())
    : IFxBase(c.nParams, c.channelIO, c.nPresets, "Fake Effect", "Fake Product", "Fake Maker",
              c.version, 0x46616b65 /* 'Fake' */, 0x54657374 /* 'Test' */, c.latency, false, false, false)
  {
  }

  std::vector<std::string> mLog;
  int mLockCountSeen = -2;  // the mutex's recursion count the last OnParamChange saw
  double mTempo = 120.0;
  int mSamplePos = 0;
  bool mMidiAccepted = true;
  std::function<void(int idx, double v)> mOnInform;  // the host's answer to an edit, if any

  void Log(const char* fmt, int a, double b = 0.0, bool withValue = false)
  {
    char s[96];
    if (withValue) snprintf(s, sizeof(s), fmt, a, b);
    else snprintf(s, sizeof(s), fmt, a);
    mLog.push_back(s);
  }

  void Reset() override { IFxBase::Reset(); mLog.push_back("reset"); }
  void OnParamChange(int idx) override
  {
    IFxBase::OnParamChange(idx);
    mLockCountSeen = GetMutex()->LockCount();
    Log("change %d", idx);
  }
  void BeginInformHostOfParamChange(int idx) override { Log("begin %d", idx); }
  void InformHostOfParamChange(int idx, double v) override
  {
    mLockCountSeen = GetMutex()->LockCount();
    Log("inform %d %g", idx, v, true);
    if (mOnInform) mOnInform(idx, v);
  }
  void EndInformHostOfParamChange(int idx) override { Log("end %d", idx); }
  int GetSamplePos() override { return mSamplePos; }
  double GetTempo() override { return mTempo; }
  void GetTimeSig(int* pNum, int* pDenom) override { *pNum = 4; *pDenom = 4; }
  void ResizeGraphics(int w, int h) override
  {
    char s[64];
    snprintf(s, sizeof(s), "resize %d %d", w, h);
    mLog.push_back(s);
  }
  void HostSpecificInit() override { mLog.push_back("hostinit"); }
  bool SendMidiMsg(IMidiMsg* pMsg) override
  {
    char s[64];
    snprintf(s, sizeof(s), "midi %d %d %d @%d", pMsg->mStatus, pMsg->mData1, pMsg->mData2, pMsg->mOffset);
    mLog.push_back(s);
    return mMidiAccepted;
  }
  bool SendMidiMsgs(KIT_TypedBuf<IMidiMsg>* pMsgs) override
  {
    bool ok = true;
    for (int i = 0; i < pMsgs->GetSize(); ++i) ok = SendMidiMsg(pMsgs->Get() + i) && ok;
    return ok;
  }

};

// Initialises a FakePlug's four parameters as a small mixed set: a double with a shape, an int,
// an enum and a bool.
inline void InitFakeParams(IFxBase* plug)
{
  plug->GetParam(0)->InitDouble("Gain", -6.0, -60.0, 12.0, 0.1, "dB");
  plug->GetParam(0)->SetShape(2.0);
  plug->GetParam(1)->InitInt("Count", 3, 0, 10, "n");
  plug->GetParam(2)->InitEnum("Mode", 1, 4);
  plug->GetParam(3)->InitBool("Switch", true, "");
}
