// A soak of the VST build in process: three threads drive one instance as a host does, for
// KV_SOAK_SECONDS of wall time (60 when unset; the same under the sanitizers, with fewer iterations).
//  - host: random automation (0, 1, values just outside, far outside, NaN and infinities, which the
//    wrapper ignores or clamps), factory programs (effSetProgram inside effBeginSetProgram and
//    effEndSetProgram), program and bank chunks saved and later restored; every restore is read back
//    (effGetChunk) byte for byte and parameter for parameter.
//  - audio: processReplacing and now and then processDoubleReplacing of 1 to 4096 frames of noise,
//    silence, tones and loud bursts; every output sample must be finite.
//  - editor: the test's own thread, which made the instance as a host's main thread does: the editor
//    in a memory window, idle ticks (effEditIdle and the run loop), drags, clicks, double clicks and
//    the wheel at random controls, the editor closed and reopened now and then.
// Each thread's random sequence has a fixed seed, printed (KV_SOAK_SEED moves the base), so a
// failure's inputs can be replayed. Between the threads the test's own bookkeeping is atomics only;
// each thread keeps its own report, read after the join. While the host checks a restore the editor
// makes no gesture (a user's edit would rightly change the state); painting and idling go on. ctest
// bounds the test at 300 s: for longer runs start the executable directly, for instance
// KV_SOAK_SECONDS=600 ./kestrovane_vst_soak_test.

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <CoreFoundation/testkit.h>

#include "HostedVstPlug.h"
#include "IControl.h"
#include "KestrovaneEditorFixture.h"

namespace
{
using Clock = std::chrono::steady_clock;

double SoakSeconds()
{
  const char* s = getenv("KV_SOAK_SECONDS");
  const double v = s ? strtod(s, nullptr) : 0.0;
  return v > 0.0 ? v : 60.0;
}

unsigned SoakSeed()
{
  const char* s = getenv("KV_SOAK_SEED");
  return s ? (unsigned)strtoul(s, nullptr, 10) : 20240611u;
}

int Uniform(std::mt19937& rng, int lo, int hi)
{
  return std::uniform_int_distribution<int>(lo, hi)(rng);
}

double UniformReal(std::mt19937& rng, double lo, double hi)
{
  return std::uniform_real_distribution<double>(lo, hi)(rng);
}

// What the threads share: the end of the run, the first failure, and the hold the host asks for
// while it checks a restore (odd while held; the editor answers with the request it saw).
struct Shared
{
  std::atomic<bool> stop{ false };
  std::atomic<bool> failed{ false };
  std::atomic<unsigned> holdRequest{ 0 };
  std::atomic<unsigned> holdAck{ 0 };
  std::atomic<bool> editorDone{ false };
  std::atomic<long> editorTicks{ 0 };
};

// One thread's findings: written by that thread only, read after it has been joined.
struct Report
{
  std::string failure;
  void Fail(Shared& shared, const std::string& what)
  {
    if (failure.empty()) failure = what;
    shared.failed.store(true);
    shared.stop.store(true);
  }
};

// The host's side of the callback: answers what the plug-in asks and checks the editor's edits
// (every end follows a begin of the same parameter, automated values stay in 0..1), with atomics
// only, whatever thread calls.
class SoakHost
{
public:
  static VstIntPtr VSTCALLBACK Callback(AEffect* pEffect, VstInt32 opCode, VstInt32 idx, VstIntPtr, void* ptr,
                                        float opt)
  {
    SoakHost* pHost = pEffect ? (SoakHost*)pEffect->user : nullptr;
    if (opCode == audioMasterVersion) return kVstVersion;
    return pHost ? pHost->Answer(opCode, idx, ptr, opt) : 0;
  }
  void Adopt(AEffect* pEffect) { pEffect->user = this; }

  std::atomic<long> mAutomations{ 0 }, mGestures{ 0 }, mBadGestures{ 0 }, mBadAutomations{ 0 };

private:
  VstIntPtr Answer(VstInt32 opCode, VstInt32 idx, void* ptr, float opt)
  {
    switch (opCode)
    {
      case audioMasterGetTime: return (VstIntPtr)&mTimeInfo;
      case audioMasterGetProductString:
        if (ptr) snprintf((char*)ptr, kVstMaxProductStrLen, "Soak Host");
        return ptr ? 1 : 0;
      case audioMasterGetVendorVersion: return 1;
      case audioMasterAutomate:
        mAutomations.fetch_add(1);
        if (idx < 0 || idx >= Kestrovane::kNumParams || !(opt >= 0.0f && opt <= 1.0f)) mBadAutomations.fetch_add(1);
        return 0;
      case audioMasterBeginEdit:
      {
        int none = -1;
        if (!mOpenGesture.compare_exchange_strong(none, idx)) mBadGestures.fetch_add(1);
        return 0;
      }
      case audioMasterEndEdit:
      {
        int open = idx;
        if (mOpenGesture.compare_exchange_strong(open, -1)) mGestures.fetch_add(1);
        else mBadGestures.fetch_add(1);
        return 0;
      }
      default: return 0;
    }
  }

  const VstTimeInfo mTimeInfo = FakeVstHost::DefaultTimeInfo();
  std::atomic<int> mOpenGesture{ -1 };
};

std::vector<uint8_t> GetChunk(AEffect* e, bool isBank)
{
  void* pData = nullptr;
  const VstIntPtr n = Dispatch(e, effGetChunk, isBank ? 0 : 1, 0, &pData);
  if (n <= 0 || !pData) return {};
  return std::vector<uint8_t>((const uint8_t*)pData, (const uint8_t*)pData + n);
}

// ----- The host thread -----

struct HostCounts
{
  long ops = 0, automations = 0, programs = 0, roundTrips[2] = { 0, 0 }, refused = 0, ownRestores = 0, rates = 0;
};

class HostThread
{
public:
  HostThread(AEffect* e, Shared& shared, unsigned seed) : mE(e), mShared(shared), mRng(seed) {}

  void Run()
  {
    mStart = Clock::now();
    mProgram = (int)Dispatch(mE, effGetProgram);
    while (!mShared.stop.load())
    {
      ++mCounts.ops;
      const int op = Uniform(mRng, 0, 999);
      if (op < 700) Automate();
      else if (op < 800) ChangeProgram();
      else if (op < 880) AskTexts();
      else if (op < 999) StateStep();
      else if (Uniform(mRng, 0, 4) == 0) ChangeRate();
    }
  }

  HostCounts mCounts;
  Report mReport;

private:
  void Fail(const std::string& what) { mReport.Fail(mShared, "host op " + std::to_string(mCounts.ops) + ": " + what); }

  float RandomValue()
  {
    const int k = Uniform(mRng, 0, 99);
    if (k < 40) return (float)UniformReal(mRng, 0.0, 1.0);
    if (k < 50) return 0.0f;
    if (k < 60) return 1.0f;
    if (k < 75)
    {
      const float near[] = { -1e-7f, -0.001f, -0.01f, 1.0f + 1e-7f, 1.001f, 1.01f };
      return near[Uniform(mRng, 0, 5)];
    }
    if (k < 80) return (float)UniformReal(mRng, -10.0, 10.0);
    if (k < 83)
    {
      const float odd[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::denorm_min() };
      return odd[Uniform(mRng, 0, 3)];
    }
    return (float)Uniform(mRng, 0, 4) / 4.0f;  // the steps of "Mode", and halves and quarters of the rest
  }

  void Automate()
  {
    ++mCounts.automations;
    int idx = Uniform(mRng, 0, mE->numParams - 1);
    if (Uniform(mRng, 0, 49) == 0) idx = Uniform(mRng, 0, 1) ? -1 : mE->numParams;
    mE->setParameter(mE, idx, RandomValue());
    const float back = mE->getParameter(mE, idx);
    if (idx < 0 || idx >= mE->numParams)
    {
      if (back != 0.0f) Fail("getParameter of index " + std::to_string(idx) + " is " + std::to_string(back));
    }
    else if (!(back >= 0.0f && back <= 1.0f))
    {
      Fail("getParameter(" + std::to_string(idx) + ") is " + std::to_string(back));
    }
  }

  void ChangeProgram()
  {
    ++mCounts.programs;
    int program = Uniform(mRng, 0, mE->numPrograms - 1);
    if (Uniform(mRng, 0, 19) == 0) program = Uniform(mRng, 0, 1) ? -1 : mE->numPrograms;
    const bool valid = program >= 0 && program < mE->numPrograms;
    const bool bracket = Uniform(mRng, 0, 1);
    if (bracket) Dispatch(mE, effBeginSetProgram);
    Dispatch(mE, effSetProgram, 0, program);
    if (bracket) Dispatch(mE, effEndSetProgram);
    if (valid) mProgram = program;
    const VstIntPtr now = Dispatch(mE, effGetProgram);
    if (now != mProgram)
      Fail("program " + std::to_string(now) + " after effSetProgram(" + std::to_string(program) + "), expected " +
           std::to_string(mProgram));
  }

  void AskTexts()
  {
    char text[256];
    const int idx = Uniform(mRng, 0, mE->numParams - 1);
    const VstInt32 ops[] = { effGetParamDisplay, effGetParamLabel, effGetParamName, effGetProgramName };
    const VstInt32 op = ops[Uniform(mRng, 0, 3)];
    memset(text, 'x', sizeof(text));
    text[sizeof(text) - 1] = 0;
    text[0] = 0;
    Dispatch(mE, op, idx, 0, text);
    const size_t limit = op == effGetProgramName ? (size_t)kVstMaxProgNameLen : (size_t)IFxVST::kParamTextLen;
    if (strlen(text) >= limit)
      Fail("text of opcode " + std::to_string(op) + " is " + std::to_string(strlen(text)) + " long");
  }

  void ChangeRate()
  {
    ++mCounts.rates;
    const float rates[] = { 22050.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f };
    const int blocks[] = { 32, 64, 256, 512, 1024, 4096 };
    Dispatch(mE, effMainsChanged, 0, 0);
    Dispatch(mE, effSetSampleRate, 0, 0, nullptr, rates[Uniform(mRng, 0, 5)]);
    Dispatch(mE, effSetBlockSize, 0, blocks[Uniform(mRng, 0, 5)]);
    Dispatch(mE, effMainsChanged, 0, 1);
  }

  // Asks the editor to make no gesture and waits until it says so (or has finished).
  void Hold()
  {
    mHeldSince = Clock::now();
    const unsigned request = mShared.holdRequest.fetch_add(1) + 1;
    while (mShared.holdAck.load() != request && !mShared.editorDone.load())
      std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  void Release()
  {
    mShared.holdRequest.fetch_add(1);
    mHeldSeconds += std::chrono::duration<double>(Clock::now() - mHeldSince).count();
  }

  // A state saved, and some ops later restored and read back.
  void StateStep()
  {
    // The holds take about a tenth of the time at most, however fast each thread runs.
    if (mHeldSeconds > 0.1 * std::chrono::duration<double>(Clock::now() - mStart).count()) return;
    if (mSaved.empty())
    {
      mSavedIsBank = Uniform(mRng, 0, 1);
      Hold();
      mSaved = GetChunk(mE, mSavedIsBank);
      for (int i = 0; i < mE->numParams; ++i) mSavedParams[i] = mE->getParameter(mE, i);
      Release();
      if (mSaved.empty()) Fail(std::string("no ") + (mSavedIsBank ? "bank" : "program") + " chunk");
      // Restored some ops and some editor ticks later.
      mRestoreAtOp = mCounts.ops + Uniform(mRng, 0, 4000);
      mRestoreAtTick = mShared.editorTicks.load() + Uniform(mRng, 1, 5);
      return;
    }
    if (mCounts.ops < mRestoreAtOp || mShared.editorTicks.load() < mRestoreAtTick) return;

    const bool isBank = mSavedIsBank;
    const char* kind = isBank ? "bank" : "program";
    Hold();
    // A short copy is refused and changes nothing.
    if (Uniform(mRng, 0, 3) == 0)
    {
      ++mCounts.refused;
      const std::vector<uint8_t> before = GetChunk(mE, isBank);
      const VstIntPtr n = Uniform(mRng, 0, (int)mSaved.size() - 1);
      if (Dispatch(mE, effSetChunk, isBank ? 0 : 1, n, mSaved.data()) != 0)
        Fail(std::string("a ") + kind + " chunk cut to " + std::to_string(n) + " bytes was taken");
      else if (GetChunk(mE, isBank) != before)
        Fail(std::string("a refused ") + kind + " chunk changed the state");
    }
    if (Dispatch(mE, effSetChunk, isBank ? 0 : 1, (VstIntPtr)mSaved.size(), mSaved.data()) != 1)
      Fail(std::string("the saved ") + kind + " chunk was refused");
    CheckRestored(kind);
    // The host hands back the plug-in's own buffer, as some do.
    if (Uniform(mRng, 0, 3) == 0)
    {
      ++mCounts.ownRestores;
      void* pOwn = nullptr;
      const VstIntPtr n = Dispatch(mE, effGetChunk, isBank ? 0 : 1, 0, &pOwn);
      if (Dispatch(mE, effSetChunk, isBank ? 0 : 1, n, pOwn) != 1)
        Fail(std::string("the plug-in's own ") + kind + " chunk was refused");
      CheckRestored(kind);
    }
    Release();
    ++mCounts.roundTrips[isBank];
    mSaved.clear();
  }

  void CheckRestored(const char* kind)
  {
    const std::vector<uint8_t> again = GetChunk(mE, mSavedIsBank);
    if (again != mSaved)
    {
      size_t at = 0;
      while (at < again.size() && at < mSaved.size() && again[at] == mSaved[at]) ++at;
      Fail(std::string("the ") + kind + " chunk read after a restore differs at byte " + std::to_string(at) + " (" +
           std::to_string(again.size()) + " bytes, " + std::to_string(mSaved.size()) + " saved)");
    }
    for (int i = 0; i < mE->numParams; ++i)
    {
      const float v = mE->getParameter(mE, i);
      if (v != mSavedParams[i])
        Fail(std::string("after a ") + kind + " restore parameter " + std::to_string(i) + " is " + std::to_string(v) +
             ", saved " + std::to_string(mSavedParams[i]));
    }
  }

  AEffect* mE;
  Shared& mShared;
  std::mt19937 mRng;
  int mProgram = 0;
  std::vector<uint8_t> mSaved;
  bool mSavedIsBank = false;
  float mSavedParams[Kestrovane::kNumParams] = {};
  long mRestoreAtOp = 0, mRestoreAtTick = 0;
  Clock::time_point mStart, mHeldSince;
  double mHeldSeconds = 0.0;
};

// ----- The audio thread -----

struct AudioCounts
{
  long blocks = 0, doubleBlocks = 0, frames = 0;
};

class AudioThread
{
public:
  enum { kMaxFrames = 4096 };

  AudioThread(AEffect* e, Kestrovane* pPlug, Shared& shared, unsigned seed)
    : mE(e), mPlug(pPlug), mShared(shared), mRng(seed)
  {
    for (auto& ch : mIn) ch.assign(kMaxFrames, 0.0f);
    for (auto& ch : mOut) ch.assign(kMaxFrames, 0.0f);
    for (auto& ch : mInD) ch.assign(kMaxFrames, 0.0);
    for (auto& ch : mOutD) ch.assign(kMaxFrames, 0.0);
  }

  void Run()
  {
    float* ins[4] = { mIn[0].data(), mIn[1].data(), mIn[2].data(), mIn[3].data() };
    float* outs[2] = { mOut[0].data(), mOut[1].data() };
    double* insD[4] = { mInD[0].data(), mInD[1].data(), mInD[2].data(), mInD[3].data() };
    double* outsD[2] = { mOutD[0].data(), mOutD[1].data() };
    while (!mShared.stop.load())
    {
      const int n = Frames();
      const int kind = Uniform(mRng, 0, 99);
      const bool isDouble = Uniform(mRng, 0, 7) == 0;
      // Replacing means every frame is written: what the host left in the outputs must not show.
      const bool stale = Uniform(mRng, 0, 3) == 0;
      for (int c = 0; c < 4; ++c)
      {
        Fill(kind, c, n);
        if (isDouble)
          for (int s = 0; s < n; ++s) mInD[c][(size_t)s] = mIn[c][(size_t)s];
      }
      const float junk = std::numeric_limits<float>::quiet_NaN();
      if (isDouble)
      {
        for (auto& ch : mOutD) std::fill(ch.begin(), ch.begin() + n, stale ? (double)junk : 0.0);
        mE->processDoubleReplacing(mE, insD, outsD, n);
        ++mCounts.doubleBlocks;
      }
      else
      {
        for (auto& ch : mOut) std::fill(ch.begin(), ch.begin() + n, stale ? junk : 0.0f);
        mE->processReplacing(mE, ins, outs, n);
      }
      ++mCounts.blocks;
      mCounts.frames += n;
      for (int c = 0; c < 2; ++c)
        for (int s = 0; s < n; ++s)
        {
          const double v = isDouble ? mOutD[c][(size_t)s] : (double)mOut[c][(size_t)s];
          if (!std::isfinite(v))
          {
            Fail("output " + std::to_string(c) + " frame " + std::to_string(s) + " of " + std::to_string(n) + " is " +
                 std::to_string(v) + " (signal " + std::to_string(kind) + (isDouble ? ", double" : ", float") +
                 (stale ? ", over stale outputs)" : ")"));
            return;
          }
        }
      for (int m = 0; m < Kestrovane::kNumMeters; ++m)
      {
        const double v = mPlug->GetMeterValue((Kestrovane::EMeter)m);
        if (!(v >= 0.0 && v <= 1.0)) Fail("meter " + std::to_string(m) + " reads " + std::to_string(v));
      }
    }
  }

  AudioCounts mCounts;
  Report mReport;

private:
  void Fail(const std::string& what)
  {
    mReport.Fail(mShared, "audio block " + std::to_string(mCounts.blocks) + ": " + what);
  }

  int Frames()
  {
    const int k = Uniform(mRng, 0, 9);
    if (k < 4) return Uniform(mRng, 1, kMaxFrames);
    if (k < 6) return Uniform(mRng, 1, 64);
    if (k < 8) return 1 << Uniform(mRng, 0, 12);
    return 512;
  }

  // The inputs of one block: 0-34 noise, 35-54 silence, 55-74 a loud burst in noise, 75-89 tones,
  // 90-99 a side chain louder than the main inputs.
  void Fill(int kind, int c, int n)
  {
    float* p = mIn[c].data();
    if (kind < 35)
    {
      const double a = UniformReal(mRng, 0.0, 1.0);
      for (int s = 0; s < n; ++s) p[s] = (float)(a * UniformReal(mRng, -1.0, 1.0));
    }
    else if (kind < 55)
    {
      std::fill(p, p + n, 0.0f);
    }
    else if (kind < 75)
    {
      const int start = Uniform(mRng, 0, n - 1), len = Uniform(mRng, 1, n - start);
      const double a = UniformReal(mRng, 2.0, 100.0);
      for (int s = 0; s < n; ++s)
        p[s] = (float)((s >= start && s < start + len ? a : 0.01) * UniformReal(mRng, -1.0, 1.0));
    }
    else if (kind < 90)
    {
      const double a = UniformReal(mRng, 0.0, 1.5), w = UniformReal(mRng, 0.0001, 3.0);
      for (int s = 0; s < n; ++s) p[s] = (float)(a * std::sin(mPhase[c] + w * s));
      mPhase[c] = std::fmod(mPhase[c] + w * n, 6.283185307179586);
    }
    else
    {
      const double a = c >= 2 ? UniformReal(mRng, 1.0, 20.0) : 0.05;
      for (int s = 0; s < n; ++s) p[s] = (float)(a * UniformReal(mRng, -1.0, 1.0));
    }
  }

  AEffect* mE;
  Kestrovane* mPlug;
  Shared& mShared;
  std::mt19937 mRng;
  double mPhase[4] = {};
  std::vector<float> mIn[4], mOut[2];
  std::vector<double> mInD[4], mOutD[2];
};

// ----- The editor thread (the test's own) -----

struct EditorCounts
{
  long ticks = 0, paints = 0, drags = 0, clicks = 0, doubleClicks = 0, wheels = 0, reopens = 0, heldTicks = 0;
};
}  // namespace

TEST(KestrovaneVSTSoak, HostAudioAndEditorThreadsForKvSoakSeconds)
{
  const double seconds = SoakSeconds();
  const unsigned seed = SoakSeed();
  printf("soak: %.0f s of wall time (KV_SOAK_SECONDS), seeds host %u, audio %u, editor %u (KV_SOAK_SEED %u)\n", seconds,
         seed + 1, seed + 2, seed + 3, seed);
  fflush(stdout);

  RegisterKestrovaneVSTBundle();
  SoakHost host;
  Kestrovane* pPlug = MakeHostedVstPlug<Kestrovane>(host);
  AEffect* e = pPlug->GetAEffect();
  IGraphicsMac* pGraphics = static_cast<IGraphicsMac*>(pPlug->GetGUI());
  ASSERT_NE(pGraphics, nullptr) << "no editor: are the images in the bundle?";
  Dispatch(e, effOpen);
  Dispatch(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  Dispatch(e, effSetBlockSize, 0, 512);
  Dispatch(e, effMainsChanged, 0, 1);

  // One open and close first: what the first opening makes once stays for the process.
  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  ASSERT_EQ(Dispatch(e, effEditOpen, 0, 0, window->contentView()), 1);
  FoundationTestKit::RunFor(0.1);
  Dispatch(e, effEditClose);
  FoundationTestKit::DrainImplicitPool();
  const long live = FoundationTestKit::LiveObjectCount(), cfLive = CFTestLiveObjectCount();

  // Where the mouse goes: the target of a control bound to a parameter, else anywhere.
  std::vector<IRECT> targets;
  for (int i = 0; i < pGraphics->NControls(); ++i)
  {
    IControl* c = pGraphics->GetControl(i);
    if (c->ParamIdx() >= 0) targets.push_back(*c->GetTargetRECT());
  }
  const int h = pGraphics->Height(), w = pGraphics->Width();

  Shared shared;
  HostThread hostThread(e, shared, seed + 1);
  AudioThread audioThread(e, pPlug, shared, seed + 2);
  std::thread audio([&] { audioThread.Run(); });
  std::thread hostT([&] { hostThread.Run(); });

  std::mt19937 rng(seed + 3);
  EditorCounts counts;
  Report editor;
  bool open = Dispatch(e, effEditOpen, 0, 0, window->contentView()) == 1;
  if (!open) editor.Fail(shared, "the editor did not open");
  int closedTicks = 0;
  const Clock::time_point end =
    Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  double heldSeconds = 0.0;
  for (Clock::time_point tick = Clock::now(); tick < end && !shared.failed.load();)
  {
    ++counts.ticks;
    shared.editorTicks.fetch_add(1);
    const unsigned hold = shared.holdRequest.load();
    const bool held = hold & 1;
    if (held)
    {
      shared.holdAck.store(hold);
      ++counts.heldTicks;
    }
    Dispatch(e, effEditIdle);
    FoundationTestKit::RunFor(Uniform(rng, 1, 3) / 30.0);

    if (!open)
    {
      if (--closedTicks <= 0)
      {
        open = Dispatch(e, effEditOpen, 0, 0, window->contentView()) == 1;
        if (!open) editor.Fail(shared, "the editor did not reopen");
        ++counts.reopens;
      }
    }
    else if (!held)
    {
      int x, y;
      if (Uniform(rng, 0, 9) == 0)
      {
        x = Uniform(rng, 0, w - 1);
        y = Uniform(rng, 0, h - 1);
      }
      else
      {
        const IRECT& r = targets[(size_t)Uniform(rng, 0, (int)targets.size() - 1)];
        x = Uniform(rng, r.L, r.R - 1);
        y = Uniform(rng, r.T, r.B - 1);
      }
      const NSUInteger mods = Uniform(rng, 0, 4) == 0 ? (NSUInteger)NSShiftKeyMask : 0;
      const int gesture = Uniform(rng, 0, 99);
      if (gesture < 55)
      {
        ++counts.drags;
        AppKitTestKit::MouseDown(window, x, h - y, mods);
        for (int step = Uniform(rng, 1, 12); step > 0; --step)
        {
          x += Uniform(rng, -20, 20);
          y += Uniform(rng, -20, 20);
          AppKitTestKit::MouseDragged(window, x, h - y, mods);
        }
        AppKitTestKit::MouseUp(window, x, h - y, mods);
      }
      else if (gesture < 75)
      {
        ++counts.wheels;
        const int d = Uniform(rng, 1, 3) * (Uniform(rng, 0, 1) ? 1 : -1);
        AppKitTestKit::ScrollWheel(window, x, h - y, d, 0, mods);
      }
      else if (gesture < 85)
      {
        ++counts.doubleClicks;
        AppKitTestKit::MouseDown(window, x, h - y, 0, 1);
        AppKitTestKit::MouseUp(window, x, h - y, 0, 1);
        AppKitTestKit::MouseDown(window, x, h - y, 0, 2);
        AppKitTestKit::MouseUp(window, x, h - y, 0, 2);
      }
      else if (gesture < 95)
      {
        ++counts.clicks;
        AppKitTestKit::MouseDown(window, x, h - y, mods);
        AppKitTestKit::MouseUp(window, x, h - y, mods);
      }
    }
    if (open && Uniform(rng, 0, 149) == 0)
    {
      if (Dispatch(e, effEditClose) != 1) editor.Fail(shared, "the editor did not close");
      FoundationTestKit::DrainImplicitPool();
      open = false;
      closedTicks = Uniform(rng, 0, 1) ? 0 : Uniform(rng, 1, 10);
      if (closedTicks == 0)
      {
        open = Dispatch(e, effEditOpen, 0, 0, window->contentView()) == 1;
        if (!open) editor.Fail(shared, "the editor did not reopen");
        ++counts.reopens;
      }
    }
    FoundationTestKit::DrainImplicitPool();
    // What the stand-ins record for tests would grow for the whole run.
    counts.paints += (long)AppKitTestKit::Paints().size();
    AppKitTestKit::ClearPaints();
    AppKitTestKit::ClearDrawnTexts();
    const Clock::time_point next = Clock::now();
    if (held) heldSeconds += std::chrono::duration<double>(next - tick).count();
    tick = next;
  }
  shared.editorDone.store(true);
  shared.stop.store(true);
  hostT.join();
  audio.join();

  const HostCounts& hc = hostThread.mCounts;
  const AudioCounts& ac = audioThread.mCounts;
  printf("soak: host %ld ops (%ld automations, %ld program changes, %ld program and %ld bank round trips, %ld short "
         "chunks refused, %ld own-buffer restores, %ld rate changes)\n",
         hc.ops, hc.automations, hc.programs, hc.roundTrips[0], hc.roundTrips[1], hc.refused, hc.ownRestores, hc.rates);
  printf("soak: audio %ld blocks (%ld double), %ld frames\n", ac.blocks, ac.doubleBlocks, ac.frames);
  printf("soak: editor %ld ticks (%ld, %.0f%% of the time, held by the host), %ld paints, %ld drags, %ld clicks, "
         "%ld double clicks, %ld wheel turns, %ld reopens; the host heard %ld gestures and %ld automations\n",
         counts.ticks, counts.heldTicks, 100.0 * heldSeconds / seconds, counts.paints, counts.drags, counts.clicks,
         counts.doubleClicks, counts.wheels, counts.reopens, host.mGestures.load(), host.mAutomations.load());
  fflush(stdout);
  RecordProperty("host_ops", std::to_string(hc.ops));
  RecordProperty("audio_blocks", std::to_string(ac.blocks));
  RecordProperty("editor_ticks", std::to_string(counts.ticks));

  EXPECT_EQ(hostThread.mReport.failure, "");
  EXPECT_EQ(audioThread.mReport.failure, "");
  EXPECT_EQ(editor.failure, "");
  EXPECT_EQ(host.mBadGestures.load(), 0) << "an end without its begin, or a begin inside another gesture";
  EXPECT_EQ(host.mBadAutomations.load(), 0) << "an automated value outside 0..1";
  EXPECT_GT(hc.roundTrips[0] + hc.roundTrips[1], 0);
  EXPECT_GT(ac.blocks, 0);
  EXPECT_GT(counts.drags, 0);
  EXPECT_GT(counts.paints, 0);
  EXPECT_GT(host.mGestures.load(), 0);

  // The editor closes and leaves nothing behind; then the plug-in closes.
  if (open)
  {
    EXPECT_EQ(Dispatch(e, effEditClose), 1);
  }
  FoundationTestKit::DrainImplicitPool();
  EXPECT_EQ(FoundationTestKit::LiveObjectCount(), live);
  EXPECT_EQ(CFTestLiveObjectCount(), cfLive);
  EXPECT_TRUE(window->contentView()->subviews().empty());
  window->release();
  Dispatch(e, effClose);
  FoundationTestKit::DrainImplicitPool();
}
