// The VST editor opcodes through the Mac surface: the editor is announced, editor-open hands the
// host's parent to OpenWindow, editor-close closes it (ending a gesture a press still held),
// get-rect answers the surface's size; in process and in a module loaded as a host loads it.

#include <gtest/gtest.h>

#include <AppKit/testkit.h>
#include <Carbon/testkit.h>
#include <Foundation/testkit.h>

#include "FakeVstHost.h"
#include "HostedVstPlug.h"
#include "IGraphicsCocoa.h"
#include "VstEditorPlug.h"
#include "VstModule.h"

namespace
{
class VstEditorTest : public ::testing::Test
{
protected:
  VstEditorTest()
  {
    mPlug = MakeHostedVstPlug<VstEditorPlug>(mHost);
    mEffect = mPlug->GetAEffect();
  }
  ~VstEditorTest() override
  {
    Dispatch(mEffect, effClose);
    FoundationTestKit::DrainImplicitPool();
  }

  FakeVstHost mHost;
  VstEditorPlug* mPlug;
  AEffect* mEffect;
};
}  // namespace

TEST_F(VstEditorTest, TheEditorIsAnnouncedWithItsSize)
{
  EXPECT_EQ(mEffect->flags & effFlagsHasEditor, effFlagsHasEditor);
  ERect* pRect = nullptr;
  ASSERT_EQ(Dispatch(mEffect, effEditGetRect, 0, 0, &pRect), 1);
  ASSERT_NE(pRect, nullptr);
  EXPECT_EQ(pRect->top, 0);
  EXPECT_EQ(pRect->left, 0);
  EXPECT_EQ(pRect->bottom, 400);
  EXPECT_EQ(pRect->right, 800);
  EXPECT_EQ(Dispatch(mEffect, effEditGetRect, 0, 0, nullptr), 0);
}

TEST_F(VstEditorTest, OpenAndCloseThroughTheSurface)
{
  IGraphicsMac* pGraphics = mPlug->Graphics();
  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  NSView* parent = window->contentView();

  EXPECT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, parent), 1);
  ASSERT_EQ(parent->subviews().size(), 1u);
  EXPECT_EQ((void*)parent->subviews()[0], pGraphics->GetWindow());
  EXPECT_EQ(Dispatch(mEffect, effEditIdle), 0);
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
  EXPECT_TRUE(parent->subviews().empty());
  EXPECT_FALSE(pGraphics->WindowIsOpen());

  EXPECT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, nullptr), 1) << "no parent: a view for the host to place";
  EXPECT_TRUE(pGraphics->WindowIsOpen());
  WindowRef carbon = CarbonTestKit::NewWindow(800, 400, true);
  EXPECT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, carbon), 1);
  EXPECT_NE(pGraphics->GetCarbonHost(), nullptr);

  int onTheStack = 0;
  for (void* foreign : { (void*)&onTheStack, (void*)(uintptr_t)0x3a00007 })
  {
    EXPECT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, foreign), 0);
    EXPECT_NE(pGraphics->GetCarbonHost(), nullptr) << "a refused open changes nothing";
  }
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
  EXPECT_FALSE(pGraphics->WindowIsOpen());
  DisposeWindow(carbon);
  window->release();
}

// A press and a drag on the editor reach the host as one gesture with its values.
TEST_F(VstEditorTest, AGestureInTheViewReachesTheHost)
{
  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  ASSERT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, window->contentView()), 1);
  mHost.Clear();
  AppKitTestKit::MouseDown(window, 100, 300);
  AppKitTestKit::MouseDragged(window, 100, 310);
  AppKitTestKit::MouseUp(window, 100, 310);
  std::vector<VstInt32> ops;
  for (const FakeVstHost::Call& c : mHost.Calls())
    if (c.opCode == audioMasterBeginEdit || c.opCode == audioMasterAutomate || c.opCode == audioMasterEndEdit)
      ops.push_back(c.opCode);
  EXPECT_EQ(ops, (std::vector<VstInt32>{ audioMasterAutomate, audioMasterBeginEdit, audioMasterAutomate,
                                         audioMasterEndEdit }));
  EXPECT_NEAR(mPlug->GetParam(0)->GetNormalized(), 0.85, 0.01) << "0.75 on the press, 10 pixels up";
  Dispatch(mEffect, effEditClose);
  window->release();
}

// The host closes the editor while the knob is held: it hears the gesture end once, and
// neither a second close nor the release adds another end.
TEST_F(VstEditorTest, EditorCloseDuringAPressEndsTheGestureOnce)
{
  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  ASSERT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, window->contentView()), 1);
  mHost.Clear();
  AppKitTestKit::MouseDown(window, 100, 300);
  EXPECT_EQ(mHost.EditsOf(0), (std::vector<std::string>{ "automate", "begin" }));
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
  AppKitTestKit::MouseUp(window, 100, 300);
  EXPECT_EQ(mHost.EditsOf(0), (std::vector<std::string>{ "automate", "begin", "end" }));
  window->release();
}

TEST(VstEditorModule, TheModuleOpensAViewAndRefusesForeignParents)
{
  FakeVstHost host;
  VstModule module(KV_TEST_VST_EDITOR_MODULE);
  ASSERT_TRUE(module.Loaded()) << module.Error();
  AEffect* e = module.Create(FakeVstHost::Callback);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->flags & effFlagsHasEditor, effFlagsHasEditor);
  ERect* pRect = nullptr;
  ASSERT_EQ(Dispatch(e, effEditGetRect, 0, 0, &pRect), 1);
  EXPECT_EQ(pRect->right, 800);
  EXPECT_EQ(pRect->bottom, 400);
  // The module has its own copy of the window stand-ins: a view of the host's is foreign to it.
  NSView* hostView = (new NSView)->initWithFrame(NSMakeRect(0, 0, 800, 400));
  for (void* foreign : { (void*)hostView, (void*)(uintptr_t)0x3a00007, (void*)(uintptr_t)0xdeadbeef })
    EXPECT_EQ(Dispatch(e, effEditOpen, 0, 0, foreign), 0);
  EXPECT_EQ(Dispatch(e, effEditOpen, 0, 0, nullptr), 1);
  EXPECT_EQ(Dispatch(e, effEditIdle), 0);
  EXPECT_EQ(Dispatch(e, effEditClose), 1);
  hostView->release();
}
