// The KestrovaneVST bundle as a host drives it: loaded from its bundle path with dlopen, entered
// through VSTPluginMain or main, driven through every opcode and callback. The headless build of
// the product, in process, is the reference for what the audio should be.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ElfSymbols.h"
#include "FakeVstHost.h"
#include "Kestrovane.h"
#include "VstModule.h"
#include "VstOpcodeTable.h"

namespace
{
const char* kBundle = KV_KESTROVANE_VST;
constexpr int kParams = 16;

const unsigned char kDefaultChunk[136] = {
  0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00,  // "tffp", framework version 1.0
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // Threshold 0
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,  // Ratio 2
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x44, 0xc0,  // Range -40
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // Compensation 0
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x34, 0x40,  // Attack 20
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x69, 0x40,  // Release 200
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x34, 0x40,  // RMS Size 20
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x40,  // Knee 3
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // Parallel 0
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // Mode I
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // Topology Feedforward
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // Sag 0
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // Drive 0
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // Oversample Off
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // Sidechain Off
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // Auto Release Off
};

// Four channels of loud and quiet passages; the sidechain pair (2, 3) has bursts of its own.
// Every sample is a float, so the float and double paths see the same input.
struct Signal
{
  std::vector<std::vector<double>> d;
  std::vector<std::vector<float>> f;
  explicit Signal(int nFrames)
  {
    for (int c = 0; c < 4; ++c)
    {
      std::vector<float> ch((size_t)nFrames);
      for (int s = 0; s < nFrames; ++s)
      {
        const double gain = ((s / 1500) % 2) ? 0.05 : 0.9;
        const double side = ((s / 700) % 3) ? 0.0 : 0.8;
        const double x = std::sin(0.013 * s * (c + 1)) + 0.3 * std::sin(0.17 * s);
        ch[(size_t)s] = (float)(c < 2 ? gain * x * 0.75 : side * x * 0.75);
      }
      f.push_back(ch);
      d.emplace_back(ch.begin(), ch.end());
    }
  }
};

template <class T>
std::vector<T*> Pointers(std::vector<std::vector<T>>& chans)
{
  std::vector<T*> p;
  for (auto& c : chans) p.push_back(c.data());
  return p;
}

class KestrovaneVSTTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(mModule.Loaded()) << mModule.Error();
    mEffect = Open();
    ASSERT_NE(mEffect, nullptr);
  }

  AEffect* Open(const char* entry = "VSTPluginMain")
  {
    AEffect* e = mModule.Create(FakeVstHost::Callback, entry);
    if (!e) return nullptr;
    mHost.Adopt(e);
    Dispatch(e, effOpen);
    Dispatch(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(e, effSetBlockSize, 0, 64);
    Dispatch(e, effMainsChanged, 0, 1);
    return e;
  }

  // Floats the host would send, for the parameters a test changes.
  void SetCompressing(AEffect* e)
  {
    Dispatch(e, effSetProgram, 0, 2);  // "2Buss - General": threshold -16, drive 30.5, auto release
    e->setParameter(e, Kestrovane::kParallel, 0.2f);
  }

  // The headless product set up as Open() and SetCompressing() set up an instance.
  static std::unique_ptr<Kestrovane> CompressingReference()
  {
    std::unique_ptr<Kestrovane> p(new Kestrovane(IFxInstanceInfo()));
    p->SetSampleRate(44100.0);
    p->SetBlockSize(64);
    p->OnParamReset();
    p->Reset();
    p->RestorePreset(2);
    p->GetParam(Kestrovane::kParallel)->SetNormalized((double)0.2f);
    p->OnParamChange(Kestrovane::kParallel);
    return p;
  }

  std::vector<double> Values(AEffect* e)
  {
    std::vector<double> v;
    for (int i = 0; i < kParams; ++i) v.push_back(e->getParameter(e, i));
    return v;
  }

  FakeVstHost mHost;
  VstModule mModule{ kBundle };
  AEffect* mEffect = nullptr;
};
}  // namespace

TEST_F(KestrovaneVSTTest, BundleLayoutEntriesAndRecord)
{
  EXPECT_NE(std::string(kBundle).find("bundles/KestrovaneVST.vst/Contents/x86_64-linux/KestrovaneVST.so"), std::string::npos);
  EXPECT_EQ(ExportedSymbols(kBundle), (std::set<std::string>{ "VSTPluginMain", "main" }));

  for (const char* entry : { "VSTPluginMain", "main" })
  {
    AEffect* e = entry[0] == 'V' ? mEffect : Open(entry);
    ASSERT_NE(e, nullptr) << entry;
    EXPECT_EQ(e->magic, 0x56737450);
    EXPECT_EQ(e->numParams, 16);
    EXPECT_EQ(e->numPrograms, 120);
    EXPECT_EQ(e->numInputs, 4);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->version, 20000);
    EXPECT_EQ(e->uniqueID, 0x616B3563);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->ioRatio, 1.0f);
    // Replacing, double replacing, mono and the editor.
    EXPECT_EQ(e->flags, 0x1019) << entry;
  }
}

TEST_F(KestrovaneVSTTest, EveryOpcodeAnswersAsTabled)
{
  auto answers = WrapperOpcodeAnswers(136);
  answers[effGetProductString].writes = false;  // the product name is empty: only a terminator
  answers[effEditGetRect] = { 1, true };          // the editor's rectangle
  answers[effEditClose] = { 1, false };           // closing a closed editor does nothing
  CheckEveryOpcode(mEffect, answers);
  // A host asking for the vendor version gets nothing.
  EXPECT_EQ(Dispatch(mEffect, effGetVendorVersion), 0);
  EXPECT_EQ(Dispatch(mEffect, effGetVu), 0);
}

TEST_F(KestrovaneVSTTest, NamesLabelsAndDisplaysAtDefaults)
{
  const struct
  {
    const char* name;
    const char* label;
    const char* display;
  } params[kParams] = {
    { "Threshold", "dB", "0" },     { "Ratio", ":1", "2.00" },   { "Range", "dB", "-40.0" },
    { "Compensation", "dB", "0" },  { "Attack", "mS", "20.00" }, { "Release", "mS", "200.0" },
    { "RMS Size", "mS", "20.0" },   { "Knee", "dB", "3.0" },     { "Parallel", "%", "0" },
    { "Mode", "", "I" },            { "Topology", "", "Feedforward" }, { "Sag", "%", "0" },
    { "Drive", "%", "0" },          { "Oversample", "", "Off" }, { "Sidechain", "", "Off" },
    { "Auto Release", "", "Off" },
  };
  for (int i = 0; i < kParams; ++i)
  {
    EXPECT_EQ(DispatchText(mEffect, effGetParamName, i), params[i].name);
    EXPECT_EQ(DispatchText(mEffect, effGetParamLabel, i), params[i].label) << params[i].name;
    EXPECT_EQ(DispatchText(mEffect, effGetParamDisplay, i), params[i].display) << params[i].name;
  }
  EXPECT_EQ(DispatchText(mEffect, effGetEffectName), "Kestrovane Buss Compressor");
  EXPECT_EQ(DispatchText(mEffect, effGetVendorString), "Tarnquill Audio");
  EXPECT_EQ(DispatchText(mEffect, effGetProductString), "");
}

TEST_F(KestrovaneVSTTest, ParametersNormalisedAndAsText)
{
  EXPECT_EQ(mEffect->getParameter(mEffect, -1), 0.0f);
  EXPECT_EQ(mEffect->getParameter(mEffect, 16), 0.0f);

  // Mode has five values: 0.3 of the way is 1.2, rounded to "II".
  mEffect->setParameter(mEffect, Kestrovane::kMode, 0.3f);
  EXPECT_EQ(DispatchText(mEffect, effGetParamDisplay, Kestrovane::kMode), "II");
  EXPECT_FLOAT_EQ(mEffect->getParameter(mEffect, Kestrovane::kMode), 0.25f);
  // Threshold maps through a shape of 0.5: one half is -60 + 60 * sqrt(0.5).
  mEffect->setParameter(mEffect, Kestrovane::kThreshold, 0.5f);
  EXPECT_EQ(DispatchText(mEffect, effGetParamDisplay, Kestrovane::kThreshold), "-17.6");
  EXPECT_NEAR(mEffect->getParameter(mEffect, Kestrovane::kThreshold), 0.5f, 1e-6);
  mEffect->setParameter(mEffect, Kestrovane::kAutoRelease, 1.0f);
  EXPECT_EQ(DispatchText(mEffect, effGetParamDisplay, Kestrovane::kAutoRelease), "Zorl");

  char text[64];
  memset(text, 0x5A, sizeof(text));
  EXPECT_EQ(Dispatch(mEffect, effVendorSpecific, 7, 99, text, 0.5f), 0xBEEF);
  EXPECT_EQ(text[0], 0x5A) << "nothing written for a parameter that is not there";
  EXPECT_EQ(Dispatch(mEffect, effVendorSpecific, 7, Kestrovane::kRatio, text, 1.0f), 0xBEEF);
  EXPECT_STREQ(text, "20.00");
}

TEST_F(KestrovaneVSTTest, ProgramsAndTheirNames)
{
  EXPECT_EQ(DispatchText(mEffect, effGetProgramNameIndexed, 0), "Default");
  EXPECT_EQ(DispatchText(mEffect, effGetProgramNameIndexed, 1), "Just the basics");
  EXPECT_EQ(DispatchText(mEffect, effGetProgramNameIndexed, 33), "QJ - That Cheap Thing Y") << "cut to 24 bytes";
  char text[64];
  EXPECT_EQ(Dispatch(mEffect, effGetProgramNameIndexed, 39, 0, text), 1);
  EXPECT_STREQ(text, "- 40 -");
  EXPECT_EQ(Dispatch(mEffect, effGetProgramNameIndexed, 500, 0, text), 0);
  EXPECT_STREQ(text, "");

  // Leaving a program first stores the current values into it.
  mEffect->setParameter(mEffect, Kestrovane::kKnee, 1.0f);
  Dispatch(mEffect, effSetProgram, 0, 1);
  EXPECT_EQ(DispatchText(mEffect, effGetParamDisplay, Kestrovane::kThreshold), "-10.0");
  EXPECT_EQ(Dispatch(mEffect, effGetProgram), 1);
  Dispatch(mEffect, effSetProgram, 0, 0);
  EXPECT_EQ(DispatchText(mEffect, effGetParamDisplay, Kestrovane::kKnee), "20.0");
}

TEST_F(KestrovaneVSTTest, ChunkGoldenAndRoundTrip)
{
  for (int kind : { 1, 0 })
  {
    void* pData = nullptr;
    ASSERT_EQ(Dispatch(mEffect, effGetChunk, kind, 0, &pData), 136);
    EXPECT_EQ(memcmp(pData, kDefaultChunk, sizeof(kDefaultChunk)), 0) << (kind ? "program" : "bank");
  }

  SetCompressing(mEffect);
  mEffect->setParameter(mEffect, Kestrovane::kSidechain, 1.0f);
  void* pData = nullptr;
  const VstIntPtr n = Dispatch(mEffect, effGetChunk, 0, 0, &pData);
  ASSERT_EQ(n, 136);
  const std::vector<unsigned char> chunk((unsigned char*)pData, (unsigned char*)pData + n);
  AEffect* other = Open();
  EXPECT_EQ(Dispatch(other, effSetChunk, 0, n, (void*)chunk.data()), 1);
  EXPECT_EQ(Values(other), Values(mEffect));
  for (int i = 0; i < kParams; ++i)
    EXPECT_EQ(DispatchText(other, effGetParamDisplay, i), DispatchText(mEffect, effGetParamDisplay, i));

  // 128 bytes of bare values, no header: all sixteen load.
  AEffect* third = Open();
  EXPECT_EQ(Dispatch(third, effSetChunk, 1, 128, (void*)(chunk.data() + 8)), 1);
  EXPECT_EQ(Values(third), Values(mEffect));
}

TEST_F(KestrovaneVSTTest, ABrokenChunkChangesNothing)
{
  mEffect->setParameter(mEffect, Kestrovane::kRatio, 1.0f);
  const std::vector<double> before = Values(mEffect);
  for (int kind : { 0, 1 })
  {
    const unsigned char magicOnly[4] = { 0x74, 0x66, 0x66, 0x70 };
    EXPECT_EQ(Dispatch(mEffect, effSetChunk, kind, 4, (void*)magicOnly), 0);
    EXPECT_EQ(Dispatch(mEffect, effSetChunk, kind, 135, (void*)kDefaultChunk), 0);
    EXPECT_EQ(Dispatch(mEffect, effSetChunk, kind, -136, (void*)kDefaultChunk), 0);
    EXPECT_EQ(Values(mEffect), before);
  }
}

// The product through each process callback, against the headless build of the same product fed
// the same blocks: the wrapper must not change a sample.
TEST_F(KestrovaneVSTTest, AudioMatchesTheProductInEveryProcessCall)
{
  const int nFrames = 3001;
  Signal in(nFrames);
  SetCompressing(mEffect);

  std::unique_ptr<Kestrovane> reference = CompressingReference();
  std::vector<std::vector<double>> want(2, std::vector<double>((size_t)nFrames));
  std::vector<double*> inPtrs = Pointers(in.d), wantPtrs = Pointers(want);
  reference->ProcessDoubleBlock(inPtrs.data(), 4, wantPtrs.data(), 2, nFrames);

  // Double, out of place: the same doubles. A fresh, equally set instance for each path.
  std::vector<std::vector<double>> dout(2, std::vector<double>((size_t)nFrames));
  std::vector<double*> doutPtrs = Pointers(dout);
  mEffect->processDoubleReplacing(mEffect, inPtrs.data(), doutPtrs.data(), nFrames);
  EXPECT_EQ(dout, want);
  double peakIn = 0.0, peakOut = 0.0;
  for (int s = 0; s < nFrames; ++s) peakIn = std::max(peakIn, std::fabs(in.d[0][(size_t)s]));
  for (int s = 0; s < nFrames; ++s) peakOut = std::max(peakOut, std::fabs(dout[0][(size_t)s]));
  EXPECT_NE(peakIn, peakOut) << "the settings compress";

  // Float replacing, in odd-sized calls: the doubles rounded to float.
  AEffect* f = Open();
  SetCompressing(f);
  std::vector<std::vector<float>> fout(2, std::vector<float>((size_t)nFrames));
  for (int pos = 0, n = 1; pos < nFrames; pos += n, n = std::min(2 * n + 1, 1001))
  {
    n = std::min(n, nFrames - pos);
    float* ins[4] = { in.f[0].data() + pos, in.f[1].data() + pos, in.f[2].data() + pos, in.f[3].data() + pos };
    float* outs[2] = { fout[0].data() + pos, fout[1].data() + pos };
    f->processReplacing(f, ins, outs, n);
  }
  // Sub-blocks follow the calls, so compare with a reference cut the same way.
  std::unique_ptr<Kestrovane> cutReference = CompressingReference();
  std::vector<std::vector<double>> cutWant(2, std::vector<double>((size_t)nFrames));
  for (int pos = 0, n = 1; pos < nFrames; pos += n, n = std::min(2 * n + 1, 1001))
  {
    n = std::min(n, nFrames - pos);
    double* ins[4] = { in.d[0].data() + pos, in.d[1].data() + pos, in.d[2].data() + pos, in.d[3].data() + pos };
    double* outs[2] = { cutWant[0].data() + pos, cutWant[1].data() + pos };
    cutReference->ProcessDoubleBlock(ins, 4, outs, 2, n);
  }
  for (int c = 0; c < 2; ++c)
    for (int s = 0; s < nFrames; ++s) ASSERT_EQ(fout[c][s], (float)cutWant[c][s]) << c << " " << s;

  // Float accumulating and in place: what the host buffer held plus the output; in place the
  // outputs overwrite inputs 0 and 1.
  AEffect* a = Open();
  SetCompressing(a);
  std::vector<std::vector<float>> io = in.f;
  std::vector<float*> ioPtrs = Pointers(io);
  a->process(a, ioPtrs.data(), ioPtrs.data(), nFrames);
  for (int c = 0; c < 2; ++c)
    for (int s = 0; s < nFrames; ++s) ASSERT_EQ(io[c][s], in.f[c][s] + (float)want[c][s]) << c << " " << s;
  AEffect* r = Open();
  SetCompressing(r);
  io = in.f;
  r->processReplacing(r, ioPtrs.data(), ioPtrs.data(), nFrames);
  for (int c = 0; c < 2; ++c)
    for (int s = 0; s < nFrames; ++s) ASSERT_EQ(io[c][s], (float)want[c][s]) << c << " " << s;
}

// With "Sidechain" on, the detector listens to inputs 3 and 4 while they are connected. The hosts
// limited to stereo, and a host whose speaker arrangement gives two inputs, disconnect them: the
// detector then listens to the main inputs as with "Sidechain" off.
TEST_F(KestrovaneVSTTest, SidechainFollowsTheHostSetUp)
{
  const int nFrames = 24000;  // the threshold ramps down to the program's -16 dB over the first 16000
  Signal in(nFrames);
  const auto run = [&](const char* hostProduct, int nInputs, bool sidechainOn) {
    mHost.mProductString = hostProduct;
    AEffect* e = Open();
    SetCompressing(e);
    Dispatch(e, effMainsChanged, 0, 0);  // the reset settles the preset's threshold, which else glides 0.001 dB a sample
    Dispatch(e, effMainsChanged, 0, 1);
    e->setParameter(e, Kestrovane::kSidechain, sidechainOn ? 1.0f : 0.0f);
    if (nInputs)
    {
      VstSpeakerArrangement arr;
      memset(&arr, 0, sizeof(arr));
      arr.numChannels = nInputs;
      Dispatch(e, effSetSpeakerArrangement, 0, (VstIntPtr)&arr, nullptr);
    }
    std::vector<std::vector<float>> src = in.f;
    std::vector<std::vector<float>> out(2, std::vector<float>((size_t)nFrames));
    std::vector<float*> ins = Pointers(src), outs = Pointers(out);
    e->processReplacing(e, ins.data(), outs.data(), nFrames);
    return out;
  };
  const auto external = run("REAPER", 0, true);
  const auto internal = run("REAPER", 0, false);
  EXPECT_NE(external, internal) << "the sidechain reaches the detector";
  EXPECT_EQ(run("Adobe Audition", 0, true), internal);
  EXPECT_EQ(run("SAWStudio", 0, true), internal);
  EXPECT_EQ(run("Forte", 0, true), internal);
  EXPECT_EQ(run("REAPER", 2, true), internal);
  EXPECT_EQ(run("REAPER", 4, true), external);
}

TEST_F(KestrovaneVSTTest, MidiIsEchoedThoughTheProductDoesNone)
{
  EXPECT_EQ(Dispatch(mEffect, effCanDo, 0, 0, (void*)"receiveVstMidiEvent"), 0);
  EXPECT_EQ(Dispatch(mEffect, effCanDo, 0, 0, (void*)"sendVstMidiEvent"), 0);
  EXPECT_EQ(Dispatch(mEffect, effCanDo, 0, 0, (void*)"receiveVstTimeInfo"), 1);
  VstMidiEvent ev;
  memset(&ev, 0, sizeof(ev));
  ev.type = kVstMidiType;
  ev.byteSize = sizeof(ev);
  ev.deltaFrames = 12;
  ev.midiData[0] = (char)0x90;
  ev.midiData[1] = 64;
  ev.midiData[2] = 99;
  VstEvents list = {};
  list.numEvents = 1;
  list.events[0] = (VstEvent*)&ev;
  mHost.Clear();
  EXPECT_EQ(Dispatch(mEffect, effProcessEvents, 0, 0, &list), 1);
  const auto midi = mHost.MidiEvents();
  ASSERT_EQ(midi.size(), 1u);
  EXPECT_EQ(midi[0].deltaFrames, 12);
  EXPECT_EQ((unsigned char)midi[0].midiData[0], 0x90);
  EXPECT_EQ(midi[0].midiData[1], 64);
  EXPECT_EQ(midi[0].midiData[2], 99);

  float in[4][32] = {}, out[2][32] = {};
  float* ins[4] = { in[0], in[1], in[2], in[3] };
  float* outs[2] = { out[0], out[1] };
  mHost.Clear();
  mEffect->processReplacing(mEffect, ins, outs, 32);
  EXPECT_TRUE(mHost.Calls(audioMasterWantMidi).empty());
}

// The editor through the bundle as a host loads it: its rectangle, a view opened without a parent
// (the module keeps its own copy of the window stand-ins, so nothing of the host's is a parent to
// it), foreign handles refused, and open/close cycles.
TEST_F(KestrovaneVSTTest, TheEditorOpensAndClosesAndForeignHandlesAreRefused)
{
  EXPECT_EQ(mEffect->flags & effFlagsHasEditor, effFlagsHasEditor);
  ERect* pRect = nullptr;
  ASSERT_EQ(Dispatch(mEffect, effEditGetRect, 0, 0, &pRect), 1);
  ASSERT_NE(pRect, nullptr);
  EXPECT_EQ(pRect->top, 0);
  EXPECT_EQ(pRect->left, 0);
  EXPECT_EQ(pRect->bottom, 400);
  EXPECT_EQ(pRect->right, 800);
  for (void* handle : { (void*)(uintptr_t)0x2e00004, (void*)(uintptr_t)0x10, (void*)pRect })
    EXPECT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, handle), 0);
  for (int i = 0; i < 100; ++i)
  {
    ASSERT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, nullptr), 1);
    EXPECT_EQ(Dispatch(mEffect, effEditIdle), 0);
    ASSERT_EQ(Dispatch(mEffect, effEditClose), 1);
  }
}

// A host's float blocks through "Drive" at 100 %: a block far over full scale (finite) gives
// finite output, with or without oversampling, and the blocks after it are the program again.
TEST_F(KestrovaneVSTTest, FiniteBlocksGiveFiniteOutputAtFullDrive)
{
  const int block = 1024;
  for (float os : { 0.0f, 1.0f })
    for (float level : { 1e20f, -3e38f })
    {
      SCOPED_TRACE(testing::Message() << "oversample " << os << ", level " << level);
      AEffect* e = Open();
      Dispatch(e, effSetBlockSize, 0, block);
      e->setParameter(e, Kestrovane::kDrive, 1.0f);
      e->setParameter(e, Kestrovane::kOversample, os);
      std::vector<std::vector<float>> in(4, std::vector<float>(block)), out(2, std::vector<float>(block));
      std::vector<float*> ins = Pointers(in), outs = Pointers(out);
      for (int b = 0; b < 6; ++b)
      {
        for (int c = 0; c < 2; ++c)
          for (int s = 0; s < block; ++s)
          {
            const float x = (float)std::sin(0.02 * (b * block + s) + c);
            in[(size_t)c][(size_t)s] = b == 2 ? level * x : 0.5f * x;
          }
        e->processReplacing(e, ins.data(), outs.data(), block);
        for (int c = 0; c < 2; ++c)
          for (int s = 0; s < block; ++s)
          {
            const float y = out[(size_t)c][(size_t)s];
            ASSERT_TRUE(std::isfinite(y)) << "block " << b << ", " << c << " " << s;
            if (b >= 4)
            {
              ASSERT_LT(std::fabs(y), 2.0f) << "block " << b << ", " << c << " " << s;
            }
          }
      }
    }
}
