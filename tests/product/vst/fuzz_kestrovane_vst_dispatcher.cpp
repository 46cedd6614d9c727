// libFuzzer target: sequences of dispatcher calls with arbitrary index, value and option on the
// product's VST build in process (with its bundle's images, so the editor opcodes have an editor),
// mixed with setParameter, getParameter and processReplacing calls as a host makes them.
//
// The opcodes are the dispatcher's value-only ones and those whose pointer may be null; the
// pointer is null, or for an opcode that writes or reads through it a buffer of the size the
// VST 2.4 interface promises for it. effClose is never sent. Afterwards processReplacing of a
// block gives finite output, getParameter stays in [0, 1], and once the editor is closed no
// object the input made is left behind.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include <CoreFoundation/testkit.h>
#include <Foundation/testkit.h>

#include "BundleFolder.h"
#include "FakeVstHost.h"
#include "FuzzInput.h"
#include "HostedVstPlug.h"
#include "Kestrovane.h"

namespace
{
constexpr int kMaxOps = 64;
constexpr int kMaxFrames = 512;
constexpr int kFinalFrames = 256;
constexpr int kToneFrames = 2048;

// Every opcode the dispatcher handles but effClose.
const VstInt32 kOpcodes[] = {
  effOpen,           effSetProgram,        effGetProgram,          effSetProgramName,     effGetProgramName,
  effGetParamLabel,  effGetParamDisplay,   effGetParamName,        effSetSampleRate,      effSetBlockSize,
  effMainsChanged,   effEditGetRect,       effEditOpen,            effEditClose,          effEditIdle,
  effIdentify,       effGetChunk,          effSetChunk,            effProcessEvents,      effCanBeAutomated,
  effGetProgramNameIndexed, effGetInputProperties, effGetOutputProperties, effGetPlugCategory,
  effSetSpeakerArrangement, effGetEffectName, effGetVendorString,  effGetProductString,   effVendorSpecific,
  effCanDo,          effIdle,              effGetVstVersion,       effGetMidiKeyName,     effGetSpeakerArrangement,
};

const float kSpecialOpts[] = {
  0.0f, 1.0f, 0.5f, -1.0f, 44100.0f, 48000.0f, 96000.0f, 8000.0f, 1e-30f, 1.0f, 9.99e6f, 1e7f, 3e38f,
  std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
  -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::denorm_min(),
};

const char* const kQuestions[] = { "receiveVstTimeInfo", "sendVstEvents", "receiveVstMidiEvent", "bypass", "" };

// Reads every byte of a block the plug-in handed out, so that a size beyond it is caught.
unsigned Touch(const void* p, size_t n)
{
  unsigned sum = 0;
  for (size_t i = 0; i < n; ++i) sum += ((const volatile uint8_t*)p)[i];
  return sum;
}

// One instance for every input (a new one per input would spend the time making the editor):
// each input starts from the state it had when made, restored as a host restores a project, the
// factory presets (which effSetProgram and effSetProgramName change) put back as they were.
class Harness
{
public:
  explicit Harness(FakeVstHost* pHost) : mHost(pHost)
  {
    mPlug = MakeHostedVstPlug<Kestrovane>(*pHost);
    mEffect = mPlug->GetAEffect();
    Dispatch(effOpen);
    mPlug->SerializePresets(&mPresets);
    mPlug->SerializeParams(&mParams);
    mPresetIdx = mPlug->GetCurrentPresetIdx();
  }

  void Restore()
  {
    Dispatch(effEditClose);
    if (mPresetsTouched && mPlug->UnserializePresets(&mPresets, 0) < 0) abort();
    mPresetsTouched = false;
    mPlug->RestorePreset(mPresetIdx);
    if (mPlug->UnserializeParams(&mParams, 0) < 0) abort();
    VstSpeakerArrangement in = {}, out = {};
    in.numChannels = mPlug->NInChannels();
    out.numChannels = mPlug->NOutChannels();
    Dispatch(effSetSpeakerArrangement, 0, (VstIntPtr)&in, &out);
    // What every host does before anything else; the resets bring the signal path to rest.
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(effSetBlockSize, 0, kFinalFrames);
    Dispatch(effMainsChanged, 0, 0);
    Dispatch(effMainsChanged, 0, 1);
    mLastChunk.clear();
    mFrame = 0;
    mHost->Clear();
  }

  void SetInput(FuzzInput* pIn) { mIn = pIn; }
  void CloseEditor() { Dispatch(effEditClose); }

  void RunOps()
  {
    for (int i = 0; i < kMaxOps && !mIn->Empty(); ++i)
    {
      const uint8_t op = mIn->Byte();
      switch (op % 8)
      {
        case 5: Process(1 + mIn->U16() % kMaxFrames, (mIn->Byte() % 9) / 4.0f); break;
        case 6: mEffect->setParameter(mEffect, PickIndex(), PickOpt()); break;
        case 7: CheckParameter(PickIndex()); break;
        default: DispatchOne(); break;
      }
    }
  }

  // The host resumes and plays two blocks: finite output, every parameter in [0, 1].
  void CheckStillProcesses()
  {
    Dispatch(effMainsChanged, 0, 1);
    for (int block = 0; block < 2; ++block) Process(kFinalFrames, 0.8f);
    for (int i = 0; i < mPlug->NParams(); ++i) CheckParameter(i);
  }

private:
  VstIntPtr Dispatch(VstInt32 op, VstInt32 idx = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
  {
    return mEffect->dispatcher(mEffect, op, idx, value, ptr, opt);
  }

  VstInt32 PickIndex()
  {
    const uint8_t b = mIn->Byte();
    return b < 224 ? (VstInt32)(b % 24) - 2 : (VstInt32)mIn->U32();
  }
  VstIntPtr PickValue()
  {
    const uint8_t b = mIn->Byte();
    switch (b >> 6)
    {
      case 0: return (VstIntPtr)(b % 40) - 4;
      case 1: return (VstIntPtr)1 << (b % 17);
      case 2: return (VstIntPtr)(int32_t)mIn->U32();
      default: return (VstIntPtr)mIn->U64();
    }
  }
  float PickOpt()
  {
    const uint8_t b = mIn->Byte();
    return b < 128 ? kSpecialOpts[b % (sizeof(kSpecialOpts) / sizeof(kSpecialOpts[0]))] : mIn->Float();
  }

  void CheckParameter(VstInt32 idx)
  {
    const float v = mEffect->getParameter(mEffect, idx);
    if (!(v >= 0.0f && v <= 1.0f)) abort();
  }

  // Plays one block of at most the block size the plug-in has.
  void Process(int nFrames, float level)
  {
    nFrames = std::min(nFrames, std::min(mPlug->GetBlockSize(), kMaxFrames));
    if (nFrames <= 0) return;
    // Four channels of tones, one period of 2048 frames, played from where the last block ended.
    static float sTone[4][2 * kToneFrames];
    static const bool sToneMade = [] {
      for (int c = 0; c < 4; ++c)
        for (int i = 0; i < 2 * kToneFrames; ++i) sTone[c][i] = (float)std::sin(6.283185307179586 * (c + 1) * i / kToneFrames);
      return true;
    }();
    (void)sToneMade;
    static float sIn[4][kMaxFrames], sOut[2][kMaxFrames];
    for (int c = 0; c < 4; ++c)
      for (int i = 0; i < nFrames; ++i) sIn[c][i] = level * sTone[c][mFrame + i];
    mFrame = (mFrame + nFrames) % kToneFrames;
    float* ins[4] = { sIn[0], sIn[1], sIn[2], sIn[3] };
    float* outs[2] = { sOut[0], sOut[1] };
    mEffect->processReplacing(mEffect, ins, outs, nFrames);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < nFrames; ++i)
        if (!std::isfinite(sOut[c][i])) abort();
  }

  // One dispatcher call; buffers are on the heap and exactly as large as the interface promises.
  void DispatchOne()
  {
    const uint8_t b = mIn->Byte();
    const VstInt32 op = b < 240 ? kOpcodes[b % (sizeof(kOpcodes) / sizeof(kOpcodes[0]))] : (VstInt32)mIn->U32();
    const VstInt32 idx = PickIndex();
    VstIntPtr value = PickValue();
    const float opt = PickOpt();
    const bool withBuffer = mIn->Byte() & 1;
    // The opcodes that may change the factory presets (a program change keeps the edits in the
    // program left, a name renames it, a chunk may load them).
    mPresetsTouched = mPresetsTouched || op == effSetProgram || op == effSetProgramName || op == effSetChunk;
    switch (op)
    {
      case effClose: return;
      case effSetProgramName:
      case effGetProgramName:
      case effGetProgramNameIndexed: Text(op, idx, value, opt, withBuffer, kVstMaxProgNameLen); return;
      case effGetEffectName: Text(op, idx, value, opt, withBuffer, kVstMaxEffectNameLen); return;
      case effGetVendorString: Text(op, idx, value, opt, withBuffer, kVstMaxVendorStrLen); return;
      case effGetProductString: Text(op, idx, value, opt, withBuffer, kVstMaxProductStrLen); return;
      case effCanDo:
      {
        const std::string q = (mIn->Byte() & 1) ? std::string(mIn->Pick(kQuestions)) : mIn->Text(40);
        std::vector<char> buf(q.begin(), q.end());
        buf.push_back(0);
        Dispatch(op, idx, value, withBuffer ? buf.data() : nullptr, opt);
        return;
      }
      case effGetInputProperties:
      case effGetOutputProperties:
      {
        std::vector<uint8_t> buf(sizeof(VstPinProperties));
        Dispatch(op, idx, value, withBuffer ? buf.data() : nullptr, opt);
        return;
      }
      case effGetMidiKeyName:
      {
        std::vector<uint8_t> buf(sizeof(MidiKeyName));
        MidiKeyName key = {};
        key.thisProgramIndex = (VstInt32)mIn->U32();
        key.thisKeyNumber = (VstInt32)mIn->U32();
        memcpy(buf.data(), &key, sizeof(key));
        Dispatch(op, idx, value, withBuffer ? buf.data() : nullptr, opt);
        return;
      }
      case effEditGetRect:
      {
        ERect* pRect = nullptr;
        if (Dispatch(op, idx, value, withBuffer ? &pRect : nullptr, opt) && withBuffer)
          if (!pRect || Touch(pRect, sizeof(*pRect)) == ~0u) abort();
        return;
      }
      case effGetChunk:
      {
        void* pData = nullptr;
        const VstIntPtr n = Dispatch(op, idx, value, withBuffer ? &pData : nullptr, opt);
        if (n < 0 || (n > 0 && !pData)) abort();
        if (n > 0)
        {
          Touch(pData, (size_t)n);
          mLastChunk.assign((const uint8_t*)pData, (const uint8_t*)pData + n);
        }
        return;
      }
      case effSetChunk:
      {
        // Null with any count, the input's bytes, or the last chunk handed out, each with its true count.
        if (!withBuffer)
        {
          Dispatch(op, idx, value, nullptr, opt);
          return;
        }
        std::vector<uint8_t> buf;
        if (mIn->Byte() & 1) buf = mLastChunk;
        else
        {
          buf.resize(mIn->Byte() * 2);
          mIn->Read(buf.data(), buf.size());
        }
        if (buf.empty()) buf.push_back(0);
        Dispatch(op, idx, (VstIntPtr)buf.size(), buf.data(), opt);
        return;
      }
      case effProcessEvents: Events(idx, value, opt, withBuffer); return;
      case effSetSpeakerArrangement:
      {
        VstSpeakerArrangement in = {}, out = {};
        in.type = (VstInt32)mIn->U32();
        in.numChannels = (VstInt32)mIn->U32();
        out.type = (VstInt32)mIn->U32();
        out.numChannels = (VstInt32)mIn->U32();
        const uint8_t which = mIn->Byte();
        Dispatch(op, idx, (which & 1) ? (VstIntPtr)&in : 0, (which & 2) ? &out : nullptr, opt);
        return;
      }
      case effGetSpeakerArrangement:
      {
        VstSpeakerArrangement* pIn = nullptr;
        VstSpeakerArrangement* pOut = nullptr;
        const uint8_t which = mIn->Byte();
        Dispatch(op, idx, (which & 1) ? (VstIntPtr)&pIn : 0, (which & 2) ? &pOut : nullptr, opt);
        if (pIn) Touch(pIn, sizeof(*pIn));
        if (pOut) Touch(pOut, sizeof(*pOut));
        return;
      }
      default:
        // Value-only, or a pointer the opcode may take null (parameter texts, whose size is the
        // wrapper's own, the vendor request, editor-open without a parent): null.
        Dispatch(op, idx, value, nullptr, opt);
        return;
    }
  }

  void Text(VstInt32 op, VstInt32 idx, VstIntPtr value, float opt, bool withBuffer, size_t size)
  {
    std::vector<char> buf(size);
    if (op == effSetProgramName)
    {
      // The host's name: a C string inside the field.
      const std::string name = mIn->Text(size - 1);
      memcpy(buf.data(), name.data(), name.size());
    }
    Dispatch(op, idx, value, withBuffer ? buf.data() : nullptr, opt);
    if (withBuffer && !memchr(buf.data(), 0, size)) abort();  // an unterminated text
  }

  // A list of up to four MIDI or other events, as many pointers as it says.
  void Events(VstInt32 idx, VstIntPtr value, float opt, bool withBuffer)
  {
    const int n = mIn->Byte() % 5;
    std::vector<VstMidiEvent> events((size_t)std::max(n, 1));
    std::vector<uint8_t> list(offsetof(VstEvents, events) + sizeof(VstEvent*) * std::max(n, 2));
    VstEvents* pList = (VstEvents*)list.data();
    VstEvent** slots = (VstEvent**)(list.data() + offsetof(VstEvents, events));
    pList->numEvents = n;
    for (int i = 0; i < n; ++i)
    {
      VstMidiEvent& e = events[(size_t)i];
      mIn->Read(&e, sizeof(e));
      // A MIDI event, or another kind without pointers in it.
      if (e.type == kVstSysExType || !(e.type & 1)) e.type = kVstMidiType;
      e.byteSize = (VstInt32)sizeof(VstMidiEvent);
      slots[i] = (mIn->Byte() % 8) ? (VstEvent*)&e : nullptr;
    }
    Dispatch(effProcessEvents, idx, value, withBuffer ? pList : nullptr, opt);
  }

  FakeVstHost* mHost;
  FuzzInput* mIn = nullptr;
  Kestrovane* mPlug;
  AEffect* mEffect;
  ByteChunk mPresets, mParams;
  int mPresetIdx = 0;
  bool mPresetsTouched = true;
  std::vector<uint8_t> mLastChunk;
  int mFrame = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static Harness* sHarness = [] {
    RegisterBundleFolder(KV_KESTROVANE_VST_BUNDLE);
    Harness* pHarness = new Harness(new FakeVstHost);
    // What the first editor opening and the first blocks make stays for the process.
    static const uint8_t kOpenIdleClose[] = { 0, 12, 0, 0, 0, 0, 0, 14, 0, 0, 0, 0, 0, 13, 0, 0, 0, 0 };
    FuzzInput in(kOpenIdleClose, sizeof(kOpenIdleClose));
    pHarness->Restore();
    pHarness->SetInput(&in);
    pHarness->RunOps();
    pHarness->CheckStillProcesses();
    return pHarness;
  }();

  sHarness->Restore();
  FoundationTestKit::DrainImplicitPool();
  const long live = FoundationTestKit::LiveObjectCount(), cfLive = CFTestLiveObjectCount();
  FuzzInput in(data, size);
  sHarness->SetInput(&in);
  sHarness->RunOps();
  sHarness->CheckStillProcesses();
  sHarness->CloseEditor();
  FoundationTestKit::DrainImplicitPool();
  if (FoundationTestKit::LiveObjectCount() != live || CFTestLiveObjectCount() != cfLive) abort();
  return 0;
}
