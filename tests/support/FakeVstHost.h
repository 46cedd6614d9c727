#pragma once
// A VST host callback that records every request a plug-in makes and answers from settings a test
// controls: product string and vendor version, the time information (or none), whether events are
// accepted. Events sent to it are copied, so tests can read them after the call.

#include <vst2_interface.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

class FakeVstHost
{
public:
  struct Call
  {
    VstInt32 opCode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
  };

  FakeVstHost() { sCurrent = this; }
  ~FakeVstHost()
  {
    if (sCurrent == this) sCurrent = nullptr;
  }

  static VstIntPtr VSTCALLBACK Callback(AEffect* pEffect, VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr,
                                        float opt)
  {
    FakeVstHost* pHost = pEffect && pEffect->user ? (FakeVstHost*)pEffect->user : sCurrent;
    return pHost ? pHost->Answer(opCode, idx, value, ptr, opt) : 0;
  }

  // Makes this host the one that answers for the effect from now on.
  void Adopt(AEffect* pEffect) { pEffect->user = this; }

  // ----- Settings -----
  std::string mProductString = "Fake Host";
  VstIntPtr mVendorVersion = 10203;
  bool mHasTimeInfo = true;
  VstTimeInfo mTimeInfo = DefaultTimeInfo();
  VstIntPtr mEventsAnswer = 1;

  static VstTimeInfo DefaultTimeInfo()
  {
    VstTimeInfo ti;
    memset(&ti, 0, sizeof(ti));
    ti.samplePos = 4410.0;
    ti.sampleRate = 44100.0;
    ti.tempo = 128.0;
    ti.timeSigNumerator = 3;
    ti.timeSigDenominator = 4;
    ti.flags = kVstTempoValid | kVstTimeSigValid;
    return ti;
  }

  // ----- What was asked -----
  std::vector<Call> Calls(VstInt32 opCode = -1) const
  {
    std::lock_guard<std::mutex> lock(mMutex);
    std::vector<Call> out;
    for (const Call& c : mCalls)
      if (opCode < 0 || c.opCode == opCode) out.push_back(c);
    return out;
  }
  // The edits of one parameter, in order: "begin", "automate", "end".
  std::vector<std::string> EditsOf(VstInt32 idx) const
  {
    std::vector<std::string> out;
    for (const Call& c : Calls())
    {
      if (c.index != idx) continue;
      if (c.opCode == audioMasterBeginEdit) out.push_back("begin");
      else if (c.opCode == audioMasterEndEdit) out.push_back("end");
      else if (c.opCode == audioMasterAutomate) out.push_back("automate");
    }
    return out;
  }
  // Every event received, flattened in order; for MIDI events the whole 32-byte record.
  std::vector<VstMidiEvent> MidiEvents() const
  {
    std::lock_guard<std::mutex> lock(mMutex);
    return mMidiEvents;
  }
  std::vector<const VstEvent*> OtherEvents() const
  {
    std::lock_guard<std::mutex> lock(mMutex);
    return mOtherEvents;
  }
  std::vector<VstInt32> EventListSizes() const
  {
    std::lock_guard<std::mutex> lock(mMutex);
    return mEventListSizes;
  }
  void Clear()
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mCalls.clear();
    mMidiEvents.clear();
    mOtherEvents.clear();
    mEventListSizes.clear();
  }

private:
  VstIntPtr Answer(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt)
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mCalls.push_back({ opCode, idx, value, opt });
    switch (opCode)
    {
      case audioMasterVersion: return kVstVersion;
      case audioMasterGetTime: return mHasTimeInfo ? (VstIntPtr)&mTimeInfo : 0;
      case audioMasterGetProductString:
        if (ptr) snprintf((char*)ptr, kVstMaxProductStrLen, "%s", mProductString.c_str());
        return ptr ? 1 : 0;
      case audioMasterGetVendorVersion: return mVendorVersion;
      case audioMasterProcessEvents:
        if (ptr)
        {
          const VstEvents* pEvents = (const VstEvents*)ptr;
          mEventListSizes.push_back(pEvents->numEvents);
          VstEvent* const* ppEvents = pEvents->events;
          for (VstInt32 i = 0; i < pEvents->numEvents; ++i)
          {
            if (ppEvents[i] && ppEvents[i]->type == kVstMidiType)
              mMidiEvents.push_back(*(const VstMidiEvent*)ppEvents[i]);
            else
              mOtherEvents.push_back(ppEvents[i]);
          }
        }
        return mEventsAnswer;
      default: return 0;
    }
  }

  static inline FakeVstHost* sCurrent = nullptr;
  mutable std::mutex mMutex;
  std::vector<Call> mCalls;
  std::vector<VstMidiEvent> mMidiEvents;
  std::vector<const VstEvent*> mOtherEvents;
  std::vector<VstInt32> mEventListSizes;
};
