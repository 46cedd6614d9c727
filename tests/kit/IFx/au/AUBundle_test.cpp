#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>
#include <string>
#include <vector>

#include "AUHostedUnit.h"
#include "FakeGraphics.h"
#include "IFxAU.h"
#include "default_signal.h"

namespace
{
class AUBundle : public ::testing::Test
{
protected:
  void SetUp() override
  {
    std::string err;
    mComponent = kvau::RegisterBundleComponent(KV_TEST_AU_BUNDLE, &mEntry, &err);
    ASSERT_NE(mComponent, nullptr) << err;
    ASSERT_TRUE(mUnit.Open(mComponent, &err)) << err;
  }
  void TearDown() override
  {
    mUnit.Close();
    UnregisterComponent(mComponent);
  }

  Component mComponent = nullptr;
  kvau::ComponentEntry mEntry;
  kvau::AUHostedUnit mUnit;
};
}  // namespace

TEST_F(AUBundle, InfoPlistDescribesTheComponentAndOnlyTheEntriesAreExported)
{
  EXPECT_EQ(mEntry.identifier, "com.example.testau");
  EXPECT_EQ(mEntry.entryName, "TestAU_Entry");
  EXPECT_EQ(mEntry.description.componentType, kAudioUnitType_Effect);
  EXPECT_EQ(mEntry.description.componentSubType, 0x54737431u);
  EXPECT_EQ(mEntry.version, 0x00010203);
  void* module = dlopen(KV_TEST_AU_BUNDLE "/Contents/x86_64-linux/TestAU.so", RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(module, nullptr);
  EXPECT_NE(dlsym(module, "TestAU_Entry"), nullptr);
  EXPECT_NE(dlsym(module, "TestAU_ViewEntry"), nullptr);
  for (const char* hidden : { "MakePlug", "CFRetain", "AudioUnitRender", "SetComponentInstanceStorage" })
    EXPECT_EQ(dlsym(module, hidden), nullptr) << hidden;
  dlclose(module);
}

// The module's own copies of the platform code work on the host's handles and objects.
TEST_F(AUBundle, RendersBitExactByEveryInputKind)
{
  const kvtool::AudioBuffer input = kvtool::MakeDefaultSignal(48000.0, 2);
  for (kvau::InputKind kind : { kvau::InputKind::kRenderCallback, kvau::InputKind::kSourceFastProc, kvau::InputKind::kSourceEntry })
  {
    std::string err;
    ASSERT_TRUE(mUnit.Open(mComponent, &err)) << err;
    ASSERT_EQ(mUnit.Prepare(48000.0, 512, 2, 0, 2, kind, &err), noErr) << err;
    kvtool::AudioBuffer out;
    ASSERT_EQ(mUnit.Process(input, nullptr, 512, &out), noErr);
    ASSERT_EQ(out.NumChannels(), 2);
    for (int c = 0; c < 2; ++c) EXPECT_EQ(out.channels[(size_t)c], input.channels[(size_t)c]) << (int)kind << " " << c;
  }
}

TEST_F(AUBundle, ParametersPresetsAndStateThroughTheHost)
{
  std::string err, shown;
  ASSERT_EQ(mUnit.Parameters().size(), 4u);
  EXPECT_EQ(mUnit.FactoryPresets(), (std::vector<std::string>{ "Default", "Loud", "Quiet" }));
  ASSERT_EQ(mUnit.ChoosePreset(1), noErr);
  ASSERT_TRUE(mUnit.SetParameterByDisplay("mode", "iii", &shown, &err)) << err;
  EXPECT_EQ(shown, "III");
  ASSERT_TRUE(mUnit.SetParameterByDisplay("Gain", "-20 dB", &shown, &err)) << err;
  EXPECT_EQ(mUnit.GetParameter(0), -20.0f);
  EXPECT_FALSE(mUnit.SetParameterByDisplay("Mode", "VI", &shown, &err));
  EXPECT_FALSE(mUnit.SetParameterByDisplay("Volume", "1", &shown, &err));

  std::string xml;
  ASSERT_TRUE(mUnit.SaveState(&xml, &err)) << err;
  EXPECT_NE(xml.find("<key>data</key>"), std::string::npos);
  EXPECT_NE(xml.find("<string>Loud</string>"), std::string::npos);

  kvau::AUHostedUnit other;
  ASSERT_TRUE(other.Open(mComponent, &err)) << err;
  ASSERT_TRUE(other.LoadState(xml, &err)) << err;
  for (AudioUnitParameterID id = 0; id < 4; ++id) EXPECT_EQ(other.GetParameter(id), mUnit.GetParameter(id)) << id;
  std::string name;
  EXPECT_EQ(other.CurrentPreset(&name), 1);
  EXPECT_EQ(name, "Loud");
  EXPECT_FALSE(other.LoadState("<plist><dict/></plist>", &err));
  EXPECT_FALSE(other.LoadState("garbage", &err));
  EXPECT_FALSE(mUnit.DescribeProperties().empty());
}

// With an editor surface attached, the views are offered: the Cocoa view's bundle is the one the
// module finds from its own path, and the Carbon view component opens the surface in a window.
TEST_F(AUBundle, ViewsOnceAnEditorSurfaceIsAttached)
{
  AudioUnit unit = mUnit.Unit();
  EXPECT_EQ(AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_CocoaUI, 0, 0, nullptr, nullptr), kAudioUnitErr_InvalidProperty);
  auto log = std::make_shared<std::vector<std::string>>();
  IFxAU* plug = (IFxAU*)GetComponentInstanceStorage(unit);
  plug->AttachGraphics(new FakeGraphics(log));  // a virtual call into the module's code

  AudioUnitCocoaViewInfo info = {};
  UInt32 size = sizeof(info);
  ASSERT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_CocoaUI, 0, 0, &info, &size), noErr);
  char path[1024];
  ASSERT_TRUE(CFURLGetFileSystemRepresentation(info.mCocoaAUViewBundleLocation, true, (UInt8*)path, sizeof(path)));
  char real[1024];
  ASSERT_NE(realpath(KV_TEST_AU_BUNDLE, real), nullptr);
  EXPECT_STREQ(path, real);
  char viewClass[64];
  CFStringGetCString(info.mCocoaAUViewClass[0], viewClass, sizeof(viewClass), kCFStringEncodingUTF8);
  EXPECT_STREQ(viewClass, "Test_View");
  CFRelease(info.mCocoaAUViewBundleLocation);
  CFRelease(info.mCocoaAUViewClass[0]);

  ComponentDescription view = {};
  size = sizeof(view);
  ASSERT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_GetUIComponentList, 0, 0, &view, &size), noErr);
  EXPECT_EQ(view.componentType, kAudioUnitCarbonViewComponentType);
  EXPECT_EQ(view.componentSubType, 0x54737431u);

  // The Carbon view component, entered through the module's view entry.
  void* module = dlopen(KV_TEST_AU_BUNDLE "/Contents/x86_64-linux/TestAU.so", RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(module, nullptr);
  auto viewEntry = (ComponentRoutineProcPtr)dlsym(module, "TestAU_ViewEntry");
  dlclose(module);
  Component viewComponent = RegisterComponent(&view, viewEntry, 0, "Test: view");
  AudioUnit viewInstance = OpenComponent(viewComponent);
  ASSERT_NE(viewInstance, nullptr);
  void* control = (void*)1;
  int window = 0, parent = 0;
  Float32Point where = { 0, 0 }, extent = { 800, 400 };
  EXPECT_EQ(CallComponentSelector(viewInstance, kAudioUnitCarbonViewCreateSelect, (AudioUnit) nullptr, (void*)&window,
                                  (void*)&parent, (const Float32Point*)&where, (const Float32Point*)&extent, &control),
            badComponentSelector);
  EXPECT_EQ(control, (void*)1);  // no control written
  EXPECT_EQ(CallComponentSelector(viewInstance, kAudioUnitCarbonViewCreateSelect, unit, (void*)&window, (void*)&parent,
                                  (const Float32Point*)&where, (const Float32Point*)&extent, &control),
            noErr);
  EXPECT_EQ(control, nullptr);  // what the surface's two-argument OpenWindow gave
  EXPECT_EQ(CallComponentSelector(viewInstance, 0x0399), badComponentSelector);
  log->clear();
  CloseComponent(viewInstance);
  EXPECT_EQ(*log, std::vector<std::string>{ "close" });
  UnregisterComponent(viewComponent);
}
