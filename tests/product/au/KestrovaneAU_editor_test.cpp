// The Audio Unit build's editor views, in process: the Cocoa view property with its system floor,
// the view factory Kestrovane_View, the Carbon view component, and a view that outlives its unit.

#include <gtest/gtest.h>

#include <cstdlib>

#include <AppKit/testkit.h>
#include <AudioUnit/AUCocoaUIView.h>
#include <Carbon/testkit.h>
#include <CoreServices/CoreServices.h>
#include <Foundation/testkit.h>

#include "BundleFolder.h"
#include "IGraphicsCarbon.h"
#include "IGraphicsMac.h"
#include "Kestrovane.h"

// The factory as the bundle exports it, under the class's name.
extern "C" AUCocoaUIBase* KestrovaneViewFactory() __asm__(PLUG_VIEW_CLASS);

namespace
{
class KestrovaneAUEditorTest : public ::testing::Test
{
protected:
  static void SetUpTestSuite() { RegisterBundleFolder(KV_KESTROVANE_AU_BUNDLE); }

  KestrovaneAUEditorTest()
  {
    const ComponentDescription desc = { kAudioUnitType_Effect, PLUG_UNIQUE_ID, PLUG_MFR_ID, 0, 0 };
    mComponent = RegisterComponent(&desc, IFxAU::IFxAUEntry, 0, "Kestrovane in process");
    mUnit = OpenComponent(mComponent);
    const ComponentDescription view = { kAudioUnitCarbonViewComponentType, PLUG_UNIQUE_ID, PLUG_MFR_ID, 0, 0 };
    mViewComponent = RegisterComponent(&view, IFxAU::IFxAUCarbonViewEntry, 0, "Kestrovane view in process");
  }
  ~KestrovaneAUEditorTest() override
  {
    if (mUnit) CloseComponent(mUnit);
    UnregisterComponent(mViewComponent);
    UnregisterComponent(mComponent);
    FoundationTestKit::DrainImplicitPool();
  }

  IGraphicsMac* Editor() const
  {
    IFxAU* pPlug = (IFxAU*)GetComponentInstanceStorage(mUnit);
    return pPlug ? static_cast<IGraphicsMac*>(pPlug->GetGUI()) : nullptr;
  }

  ComponentResult CreateCarbonView(ComponentInstance view, AudioUnit unit, WindowRef window, ControlRef* pControl)
  {
    Float32Point where = { 0, 0 }, size = { 300, 200 };
    return CallComponentSelector(view, kAudioUnitCarbonViewCreateSelect, unit, (void*)window, (void*)nullptr,
                                 (const Float32Point*)&where, (const Float32Point*)&size, (void**)pControl);
  }

  Component mComponent = nullptr, mViewComponent = nullptr;
  AudioUnit mUnit = nullptr;
};

std::string UTF8(CFStringRef s)
{
  char buf[256];
  return CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8) ? std::string(buf) : std::string();
}
}  // namespace

TEST_F(KestrovaneAUEditorTest, TheCocoaViewPropertyNamesTheFactoryFromTenFiveOn)
{
  ASSERT_NE(Editor(), nullptr) << "no editor: are the images in the bundle?";
  AudioUnitCocoaViewInfo info = {};
  UInt32 size = sizeof(info);
  ASSERT_EQ(AudioUnitGetProperty(mUnit, kAudioUnitProperty_CocoaUI, 0, 0, &info, &size), noErr);
  EXPECT_EQ(UTF8(info.mCocoaAUViewClass[0]), "Kestrovane_View");
  char path[1024], real[1024];
  ASSERT_TRUE(CFURLGetFileSystemRepresentation(info.mCocoaAUViewBundleLocation, true, (UInt8*)path, sizeof(path)));
  ASSERT_NE(realpath(KV_KESTROVANE_AU_BUNDLE, real), nullptr);
  EXPECT_STREQ(path, real);
  CFRelease(info.mCocoaAUViewBundleLocation);
  CFRelease(info.mCocoaAUViewClass[0]);

  GestaltTestSetSystemVersion(0x1049);
  EXPECT_EQ(AudioUnitGetPropertyInfo(mUnit, kAudioUnitProperty_CocoaUI, 0, 0, nullptr, nullptr), kAudioUnitErr_InvalidProperty);
  GestaltTestSetSystemVersion(0x1050);
  EXPECT_EQ(AudioUnitGetPropertyInfo(mUnit, kAudioUnitProperty_CocoaUI, 0, 0, nullptr, nullptr), noErr);
  GestaltTestSetSystemVersion(0x1058);
}

TEST_F(KestrovaneAUEditorTest, TheFactoryHandsOutTheEditorsViewAtItsOwnSize)
{
  ASSERT_NE(Editor(), nullptr);
  AUCocoaUIBase* factory = KestrovaneViewFactory();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(factory->interfaceVersion(), 0u);
  EXPECT_STREQ(factory->description()->UTF8String(), "Kestrovane Buss Compressor View");
  const NSSize sizes[] = { NSMakeSize(100, 50), NSMakeSize(1600, 900), NSMakeSize(0, 0) };
  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  for (const NSSize& s : sizes)
  {
    NSView* view = factory->uiViewForAudioUnit(mUnit, s);
    ASSERT_NE(view, nil);
    EXPECT_TRUE(NSEqualRects(view->frame(), NSMakeRect(0, 0, 800, 400)));
    EXPECT_EQ(view->superview(), nil);
    // The host places it and later takes it out: the editor closes itself.
    window->contentView()->addSubview(view);
    EXPECT_TRUE(Editor()->WindowIsOpen());
    view->removeFromSuperview();
    EXPECT_FALSE(Editor()->WindowIsOpen());
    FoundationTestKit::DrainImplicitPool();
  }
  EXPECT_EQ(factory->uiViewForAudioUnit(nullptr, NSMakeSize(800, 400)), nil) << "no unit, no view";
  factory->releaseFactory();
  window->release();
}

TEST_F(KestrovaneAUEditorTest, TheCarbonViewOpensCreatesAndCloses)
{
  ASSERT_NE(Editor(), nullptr);
  WindowRef window = CarbonTestKit::NewWindow(800, 400, true);
  ComponentInstance view = OpenComponent(mViewComponent);
  ASSERT_NE(view, nullptr);
  ControlRef control = (ControlRef)(uintptr_t)1;
  EXPECT_EQ(CreateCarbonView(view, nullptr, window, &control), (ComponentResult)badComponentSelector);
  EXPECT_EQ(control, (ControlRef)(uintptr_t)1) << "empty storage: no control written";
  ASSERT_EQ(CreateCarbonView(view, mUnit, window, &control), noErr);
  ASSERT_NE(Editor()->GetCarbonHost(), nullptr);
  EXPECT_EQ(control, Editor()->GetCarbonHost()->GetView());
  EXPECT_EQ(CarbonTestKit::Draw(control, nullptr), noErr);
  CloseComponent(view);
  EXPECT_FALSE(Editor()->WindowIsOpen()) << "closing the view closes the editor";
  DisposeWindow(window);
}

// The unit closes first: the view finds no plug-in through the unit any more and does nothing.
TEST_F(KestrovaneAUEditorTest, AViewThatOutlivesItsUnitDoesNothing)
{
  ASSERT_NE(Editor(), nullptr);
  WindowRef window = CarbonTestKit::NewWindow(800, 400, false);
  ComponentInstance view = OpenComponent(mViewComponent);
  ControlRef control = nullptr;
  ASSERT_EQ(CreateCarbonView(view, mUnit, window, &control), noErr);
  CloseComponent(mUnit);
  AudioUnit closed = mUnit;
  mUnit = nullptr;
  EXPECT_EQ(CreateCarbonView(view, closed, window, &control), (ComponentResult)badComponentSelector);
  EXPECT_EQ(CloseComponent(view), noErr);
  DisposeWindow(window);
}
