// The KestrovaneAU bundle as a host drives it: found in its bundle, registered and opened through
// Kestrovane_Entry, driven through its selectors and properties. The headless build of the
// product, in process, is the reference for the audio, the parameters, the presets and the state.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <dlfcn.h>

#include <AppKit/AppKit.h>
#include <AudioUnit/AUCocoaUIView.h>

#include "AUHostedUnit.h"
#include "Kestrovane.h"
#include "default_signal.h"

namespace
{
class KestrovaneAUTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    std::string err;
    mComponent = kvau::RegisterBundleComponent(KV_KESTROVANE_AU, &mEntry, &err);
    ASSERT_NE(mComponent, nullptr) << err;
    ASSERT_TRUE(mUnit.Open(mComponent, &err)) << err;
  }
  void TearDown() override
  {
    mUnit.Close();
    UnregisterComponent(mComponent);
  }

  // The headless product set up as the unit is after Prepare, a preset and Parallel at 20 %.
  static void SetUpReference(Kestrovane& ref, int block, int preset)
  {
    ref.SetSampleRate(44100.0);
    ref.SetBlockSize(block);
    ref.OnParamReset();
    ref.Reset();
    ref.RestorePreset(preset);
    ref.GetParam(Kestrovane::kParallel)->Set(20.0);
    ref.OnParamChange(Kestrovane::kParallel);
  }

  Component mComponent = nullptr;
  kvau::ComponentEntry mEntry;
  kvau::AUHostedUnit mUnit;
};

// A view made by the module's own copy of the window stand-ins: its fields read as ours, but its
// type belongs to that copy, which the sanitizer's type check of this one cannot know.
__attribute__((no_sanitize("vptr"))) NSRect FrameOfModuleView(NSView* view)
{
  return view->frame();
}

std::string UTF8(CFStringRef s)
{
  char buf[256];
  return CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8) ? std::string(buf) : std::string("<none>");
}
}  // namespace

TEST_F(KestrovaneAUTest, TheBundleDescribesItselfAndPublishesItsLayouts)
{
  EXPECT_EQ(mEntry.identifier, PLUG_BUNDLE_ID_AU);
  EXPECT_EQ(mEntry.entryName, "Kestrovane_Entry");
  EXPECT_EQ(mEntry.description.componentType, kAudioUnitType_Effect);
  EXPECT_EQ(mEntry.description.componentSubType, (OSType)PLUG_UNIQUE_ID);
  EXPECT_EQ(mEntry.description.componentManufacturer, (OSType)PLUG_MFR_ID);
  EXPECT_EQ(CallComponentSelector(mUnit.Unit(), kComponentVersionSelect), PLUG_VER);

  AUChannelInfo layouts[8] = {};
  UInt32 size = sizeof(layouts);
  ASSERT_EQ(AudioUnitGetProperty(mUnit.Unit(), kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, layouts, &size), noErr);
  ASSERT_EQ(size, 5 * sizeof(AUChannelInfo));
  const SInt16 expected[5][2] = { { 1, 1 }, { 2, 1 }, { 2, 2 }, { 3, 2 }, { 4, 2 } };
  for (int i = 0; i < 5; ++i)
  {
    EXPECT_EQ(layouts[i].inChannels, expected[i][0]);
    EXPECT_EQ(layouts[i].outChannels, expected[i][1]);
  }
  UInt32 n = 0;
  size = sizeof(n);
  ASSERT_EQ(AudioUnitGetProperty(mUnit.Unit(), kAudioUnitProperty_ElementCount, kAudioUnitScope_Input, 0, &n, &size), noErr);
  EXPECT_EQ(n, 2u);  // the main pair and the side chain
}

// The views as a host finds them in the bundle: the Cocoa view property names the factory class,
// the module exports it under that name and it hands out the editor's 800 x 400 view; the Carbon
// view entry refuses a unit without storage.
TEST_F(KestrovaneAUTest, TheBundleOffersItsEditorViews)
{
  AudioUnitCocoaViewInfo info = {};
  UInt32 size = sizeof(info);
  ASSERT_EQ(AudioUnitGetProperty(mUnit.Unit(), kAudioUnitProperty_CocoaUI, 0, 0, &info, &size), noErr)
    << "no editor: are the images in the bundle?";
  const std::string viewClass = UTF8(info.mCocoaAUViewClass[0]);
  EXPECT_EQ(viewClass, "Kestrovane_View");
  CFRelease(info.mCocoaAUViewBundleLocation);
  CFRelease(info.mCocoaAUViewClass[0]);

  const std::string module = std::string(KV_KESTROVANE_AU) + "/Contents/x86_64-linux/KestrovaneAU.so";
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr);
  auto factoryClass = (AUCocoaUIFactoryClass)dlsym(handle, viewClass.c_str());
  auto viewEntry = (ComponentRoutineProcPtr)dlsym(handle, "Kestrovane_ViewEntry");
  dlclose(handle);
  ASSERT_NE(factoryClass, nullptr);
  AUCocoaUIBase* factory = factoryClass();
  NSView* view = factory->uiViewForAudioUnit(mUnit.Unit(), NSMakeSize(320, 240));
  ASSERT_NE(view, nil);
  const NSRect frame = FrameOfModuleView(view);
  EXPECT_EQ(frame.size.width, 800);
  EXPECT_EQ(frame.size.height, 400);
  factory->releaseFactory();

  ASSERT_NE(viewEntry, nullptr);
  const ComponentDescription viewDesc = { kAudioUnitCarbonViewComponentType, PLUG_UNIQUE_ID, PLUG_MFR_ID, 0, 0 };
  Component viewComponent = RegisterComponent(&viewDesc, viewEntry, 0, "Kestrovane view");
  ComponentInstance viewInstance = OpenComponent(viewComponent);
  ASSERT_NE(viewInstance, nullptr);
  void* control = (void*)1;
  int window = 0;
  Float32Point where = { 0, 0 }, extent = { 800, 400 };
  EXPECT_EQ(CallComponentSelector(viewInstance, kAudioUnitCarbonViewCreateSelect, (AudioUnit) nullptr, (void*)&window,
                                  (void*)nullptr, (const Float32Point*)&where, (const Float32Point*)&extent, &control),
            badComponentSelector);
  EXPECT_EQ(control, (void*)1);
  EXPECT_EQ(CloseComponent(viewInstance), noErr);
  UnregisterComponent(viewComponent);
}

TEST_F(KestrovaneAUTest, ParameterInfoForAllSixteenParameters)
{
  Kestrovane ref{ IFxInstanceInfo() };
  const char* names[16] = { "Threshold", "Ratio", "Range", "Compensation", "Attack", "Release", "RMS Size", "Knee",
                            "Parallel", "Mode", "Topology", "Sag", "Drive", "Oversample", "Sidechain", "Auto Release" };
  const std::vector<std::vector<std::string>> texts = { {}, {}, {}, {}, {}, {}, {}, {}, {},
                                                        { "I", "II", "III", "IV", "Flat" }, { "Feedforward", "Feedback" },
                                                        {}, {}, { "Off", "On" }, { "Off", "On" }, { "Off", "Slow", "Fast", "Zorl" } };
  const std::vector<kvau::ParamInfo> params = mUnit.Parameters();
  ASSERT_EQ(params.size(), 16u);
  for (int i = 0; i < 16; ++i)
  {
    const kvau::ParamInfo& p = params[(size_t)i];
    const IParam* rp = ref.GetParam(i);
    EXPECT_EQ(p.name, names[i]) << i;
    EXPECT_EQ(p.minValue, (float)rp->GetMin()) << names[i];
    EXPECT_EQ(p.maxValue, (float)rp->GetMax()) << names[i];
    EXPECT_EQ(p.defaultValue, (float)rp->Value()) << names[i];
    EXPECT_EQ(p.flags, 0xC8000010u) << names[i];
    EXPECT_EQ(p.valueStrings, texts[(size_t)i]) << names[i];
    if (!texts[(size_t)i].empty())
    {
      EXPECT_EQ(p.unit, rp->Type() == IParam::kTypeBool ? kAudioUnitParameterUnit_Boolean : kAudioUnitParameterUnit_Indexed) << names[i];
    }
    else
    {
      EXPECT_EQ(p.unit, kAudioUnitParameterUnit_CustomUnit) << names[i];
      EXPECT_EQ(p.unitName, rp->GetLabelForHost()) << names[i];
    }
  }
  EXPECT_EQ(params[0].unitName, "dB");
  EXPECT_EQ(params[1].unitName, ":1");

  AudioUnitParameterIDName idName = { Kestrovane::kCompensation, 4, nullptr };
  UInt32 size = sizeof(idName);
  ASSERT_EQ(AudioUnitGetProperty(mUnit.Unit(), kAudioUnitProperty_ParameterIDName, kAudioUnitScope_Global, 0, &idName, &size), noErr);
  EXPECT_EQ(UTF8(idName.outName), "Comp");
  CFRelease(idName.outName);
  AudioUnitParameterValueFromString vfs = { Kestrovane::kAutoRelease, CFSTR("Fast"), -1.0f };
  size = sizeof(vfs);
  ASSERT_EQ(AudioUnitGetProperty(mUnit.Unit(), kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0, &vfs, &size), noErr);
  EXPECT_EQ(vfs.outValue, 2.0f);
}

TEST_F(KestrovaneAUTest, FactoryPresetsMatchTheProduct)
{
  Kestrovane ref{ IFxInstanceInfo() };
  ref.PruneUninitializedPresets();
  const std::vector<std::string> names = mUnit.FactoryPresets();
  ASSERT_EQ((int)names.size(), ref.NPresets());
  EXPECT_EQ(names.size(), 34u);
  for (int i = 0; i < ref.NPresets(); ++i)
  {
    EXPECT_EQ(names[(size_t)i], ref.GetPresetName(i)) << i;
    ASSERT_EQ(mUnit.ChoosePreset(i), noErr);
    ref.RestorePreset(i);
    for (int p = 0; p < 16; ++p) ASSERT_EQ(mUnit.GetParameter((AudioUnitParameterID)p), (float)ref.GetParam(p)->Value()) << i << " " << p;
    std::string name;
    EXPECT_EQ(mUnit.CurrentPreset(&name), i);
    EXPECT_EQ(name, ref.GetPresetName(i));
  }
}

// End to end: the unit's output equals the product driven directly on the same input and state.
TEST_F(KestrovaneAUTest, AudioMatchesTheProductByEveryInputKind)
{
  const int block = 256;
  const kvtool::AudioBuffer input = kvtool::MakeDefaultSignal(44100.0, 2);
  const int nFrames = 44100;  // the first second is enough

  Kestrovane ref{ IFxInstanceInfo() };
  SetUpReference(ref, block, 2);
  std::vector<std::vector<double>> want(2, std::vector<double>((size_t)nFrames));
  for (int pos = 0; pos < nFrames; pos += block)
  {
    const int n = std::min(block, nFrames - pos);
    std::vector<double> in0(input.channels[0].begin() + pos, input.channels[0].begin() + pos + n);
    std::vector<double> in1(input.channels[1].begin() + pos, input.channels[1].begin() + pos + n);
    double* ins[2] = { in0.data(), in1.data() };
    double* outs[2] = { want[0].data() + pos, want[1].data() + pos };
    ref.ProcessDoubleBlock(ins, 2, outs, 2, n);
  }

  kvtool::AudioBuffer shortInput = input;
  for (auto& ch : shortInput.channels) ch.resize((size_t)nFrames);
  for (kvau::InputKind kind : { kvau::InputKind::kRenderCallback, kvau::InputKind::kSourceFastProc, kvau::InputKind::kSourceEntry })
  {
    std::string err;
    ASSERT_TRUE(mUnit.Open(mComponent, &err)) << err;
    ASSERT_EQ(mUnit.Prepare(44100.0, block, 2, 0, 2, kind, &err), noErr) << err;
    ASSERT_EQ(mUnit.ChoosePreset(2), noErr);
    ASSERT_EQ(mUnit.SetParameter(Kestrovane::kParallel, 20.0f), noErr);
    kvtool::AudioBuffer out;
    ASSERT_EQ(mUnit.Process(shortInput, nullptr, block, &out), noErr);
    for (int c = 0; c < 2; ++c)
      for (int s = 0; s < nFrames; ++s) ASSERT_EQ(out.channels[(size_t)c][(size_t)s], (float)want[(size_t)c][(size_t)s]) << (int)kind << " " << c << " " << s;
    EXPECT_LT(kvtool::MeasureLevels(out).peakDb, kvtool::MeasureLevels(shortInput).peakDb - 0.5) << "the preset compresses";
  }
}

TEST_F(KestrovaneAUTest, ClassInfoRoundTripBetweenTwoInstances)
{
  std::string err, shown;
  ASSERT_EQ(mUnit.ChoosePreset(5), noErr);
  ASSERT_TRUE(mUnit.SetParameterByDisplay("Threshold", "-31.5", &shown, &err)) << err;
  ASSERT_TRUE(mUnit.SetParameterByDisplay("Mode", "Flat", &shown, &err)) << err;
  std::string xml;
  ASSERT_TRUE(mUnit.SaveState(&xml, &err)) << err;

  kvau::AUHostedUnit other;
  ASSERT_TRUE(other.Open(mComponent, &err)) << err;
  ASSERT_TRUE(other.LoadState(xml, &err)) << err;
  for (AudioUnitParameterID id = 0; id < 16; ++id) EXPECT_EQ(other.GetParameter(id), mUnit.GetParameter(id)) << id;
  std::string name;
  EXPECT_EQ(other.CurrentPreset(&name), 5);

  // The "data" entry is the product's parameter state body.
  Kestrovane ref{ IFxInstanceInfo() };
  ref.RestorePreset(5);
  ref.GetParam(Kestrovane::kThreshold)->Set(-31.5);
  ref.GetParam(Kestrovane::kMode)->Set(4.0);
  ByteChunk body;
  ref.SerializeParams(&body);
  CFPropertyListRef state = nullptr;
  UInt32 size = sizeof(state);
  ASSERT_EQ(AudioUnitGetProperty(other.Unit(), kAudioUnitProperty_ClassInfo, 0, 0, &state, &size), noErr);
  CFDataRef data = (CFDataRef)CFDictionaryGetValue((CFDictionaryRef)state, CFSTR("data"));
  ASSERT_EQ(CFDataGetLength(data), body.Size());
  EXPECT_EQ(memcmp(CFDataGetBytePtr(data), body.GetBytes(), (size_t)body.Size()), 0);
  CFRelease(state);
}

namespace
{
OSStatus SetFormat(AudioUnit unit, AudioUnitScope scope, const AudioStreamBasicDescription& f)
{
  return AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, scope, 0, &f, sizeof(f));
}

UInt32 FormatChannels(AudioUnit unit, AudioUnitScope scope)
{
  AudioStreamBasicDescription f = {};
  UInt32 size = sizeof(f);
  EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_StreamFormat, scope, 0, &f, &size), noErr);
  return f.mChannelsPerFrame;
}
}  // namespace

// A host negotiating formats by trial: it stops the unit, offers formats the unit refuses, then a
// good one, and starts it again. The input it connected before is still pulled, and the output is
// the output of a unit that never saw the trial. While no output format stands, a render is
// refused and the host's buffers keep what they held.
TEST_F(KestrovaneAUTest, FormatTrialKeepsTheHostsInputAndNeverLeavesBuffersUnwritten)
{
  const int block = 256;
  kvtool::AudioBuffer input = kvtool::MakeDefaultSignal(44100.0, 2);
  for (auto& ch : input.channels) ch.resize(8192);
  const AudioStreamBasicDescription refused[] = { kvau::FloatFormat(44100.0, 0), kvau::FloatFormat(44100.0, 8),
                                                  kvau::FloatFormat(NAN, 2), kvau::FloatFormat(INFINITY, 2) };
  const AudioStreamBasicDescription good = kvau::FloatFormat(44100.0, 2);

  for (kvau::InputKind kind : { kvau::InputKind::kRenderCallback, kvau::InputKind::kSourceFastProc, kvau::InputKind::kSourceEntry })
  {
    std::string err;
    kvau::AUHostedUnit fresh;
    ASSERT_TRUE(fresh.Open(mComponent, &err)) << err;
    ASSERT_EQ(fresh.Prepare(44100.0, block, 2, 0, 2, kind, &err), noErr) << err;
    kvtool::AudioBuffer want;
    ASSERT_EQ(fresh.Process(input, nullptr, block, &want), noErr);
    ASSERT_GT(kvtool::MeasureLevels(want).peakDb, -20.0);

    ASSERT_TRUE(mUnit.Open(mComponent, &err)) << err;
    ASSERT_EQ(mUnit.Prepare(44100.0, block, 2, 0, 2, kind, &err), noErr) << err;
    AudioUnit unit = mUnit.Unit();
    kvtool::AudioBuffer out;
    ASSERT_EQ(mUnit.Process(input, nullptr, block, &out), noErr);
    ASSERT_EQ(AudioUnitUninitialize(unit), noErr);

    for (const AudioStreamBasicDescription& f : refused)
      for (AudioUnitScope scope : { kAudioUnitScope_Input, kAudioUnitScope_Output })
      {
        EXPECT_EQ(SetFormat(unit, scope, f), kAudioUnitErr_InvalidProperty) << f.mChannelsPerFrame << " " << f.mSampleRate;
        EXPECT_EQ(FormatChannels(unit, scope), 0u);
      }
    EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Output, kvau::FloatFormat(44100.0, 3)), kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(FormatChannels(unit, kAudioUnitScope_Output), 0u);

    // Both buses refused: the unit starts, but has nothing to write into the host's buffers.
    ASSERT_EQ(AudioUnitInitialize(unit), noErr);
    std::vector<float> memory(2 * block, 7.0f);
    struct
    {
      UInt32 n;
      AudioBuffer b[2];
    } list = { 2, { { 1, block * 4, memory.data() }, { 1, block * 4, memory.data() + block } } };
    AudioTimeStamp ts = {};
    ts.mFlags = kAudioTimeStampSampleTimeValid;
    AudioUnitRenderActionFlags flags = 0;
    EXPECT_EQ(AudioUnitRender(unit, &flags, &ts, 0, block, (AudioBufferList*)&list), kAudioUnitErr_InvalidPropertyValue);
    for (float v : memory) ASSERT_EQ(v, 7.0f);
    ASSERT_EQ(AudioUnitUninitialize(unit), noErr);

    ASSERT_EQ(SetFormat(unit, kAudioUnitScope_Input, good), noErr);
    ASSERT_EQ(SetFormat(unit, kAudioUnitScope_Output, good), noErr);
    ASSERT_EQ(AudioUnitInitialize(unit), noErr);
    ASSERT_EQ(AudioUnitReset(unit, kAudioUnitScope_Global, 0), noErr);
    ASSERT_EQ(mUnit.Process(input, nullptr, block, &out), noErr);
    for (int c = 0; c < 2; ++c)
      for (size_t s = 0; s < out.channels[(size_t)c].size(); ++s)
        ASSERT_EQ(out.channels[(size_t)c][s], want.channels[(size_t)c][s]) << (int)kind << " " << c << " " << s;
  }
}
