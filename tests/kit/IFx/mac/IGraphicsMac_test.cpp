// The Mac editor surface: opening and closing the view or pane, URLs, paths, the system version,
// images from the bundle, the screen copy and text.

#include <cstring>

#include <Carbon/testkit.h>
#include <CoreFoundation/testkit.h>
#include <CoreGraphics/testkit.h>
#include <CoreServices/CoreServices.h>

#include "IGraphicsCarbon.h"
#include "IGraphicsCocoa.h"
#include "MacSurfaceFixture.h"
#include "pix_bitmap.h"

namespace
{
IGraphicsCocoa_v1002* AsView(void* p)
{
  return static_cast<IGraphicsCocoa_v1002*>((id)p);
}
}  // namespace

// ----- Opening and closing -----

TEST_F(MacSurfaceTest, OpenWindowByKindOfParent)
{
  Attach();
  EXPECT_EQ(AppKitTestKit::ApplicationLoadCount() > 0, true) << "the surface loads Cocoa when made";

  IGraphicsCocoa_v1002* loose = AsView(mGraphics->OpenWindow(nullptr));
  ASSERT_NE(loose, nullptr);
  EXPECT_EQ(loose->superview(), nil);
  EXPECT_EQ(loose->mGraphics, mGraphics);
  EXPECT_TRUE(loose->mTimer && loose->mTimer->isValid());
  EXPECT_TRUE(NSEqualRects(loose->frame(), NSMakeRect(0, 0, 800, 400)));
  EXPECT_EQ(mGraphics->GetWindow(), (void*)loose);
  EXPECT_TRUE(mGraphics->WindowIsOpen());
  loose->retain();  // to look at it after the surface lets go

  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  IGraphicsCocoa_v1002* view = AsView(mGraphics->OpenWindow(window->contentView()));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->superview(), window->contentView());
  EXPECT_EQ(loose->mGraphics, nullptr) << "a second open closes the first view";
  EXPECT_EQ(loose->mTimer, nil);

  WindowRef carbon = CarbonTestKit::NewWindow(800, 400, true);
  void* pane = mGraphics->OpenWindow(carbon);
  ASSERT_NE(pane, nullptr);
  ASSERT_NE(mGraphics->GetCarbonHost(), nullptr);
  EXPECT_EQ(pane, (void*)mGraphics->GetCarbonHost()->GetView());
  EXPECT_EQ(mGraphics->GetWindow(), nullptr) << "no Cocoa view under Carbon";
  EXPECT_TRUE(mGraphics->WindowIsOpen());
  EXPECT_TRUE(window->contentView()->subviews().empty()) << "the Cocoa view left its parent";

  mGraphics->CloseWindow();
  EXPECT_FALSE(mGraphics->WindowIsOpen());
  EXPECT_EQ(mGraphics->GetCarbonHost(), nullptr);
  mGraphics->CloseWindow();  // closed: nothing happens
  EXPECT_FALSE(mGraphics->WindowIsOpen());

  loose->release();
  window->release();
  DisposeWindow(carbon);
}

TEST_F(MacSurfaceTest, AForeignParentIsNeverTouchedAndChangesNothing)
{
  Attach();
  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  void* open = mGraphics->OpenWindow(window->contentView());
  ASSERT_NE(open, nullptr);

  NSView* freed = (new NSView)->initWithFrame(NSMakeRect(0, 0, 10, 10));
  void* freedAddress = freed;
  freed->release();
  int onTheStack = 0;
  WindowRef disposed = CarbonTestKit::NewWindow(10, 10, false);
  DisposeWindow(disposed);
  const long live = FoundationTestKit::LiveObjectCount();
  for (void* foreign : { (void*)&onTheStack, (void*)(uintptr_t)0xdeadbeef, (void*)(uintptr_t)0x3a00007, freedAddress,
                         (void*)disposed })
  {
    EXPECT_EQ(mGraphics->OpenWindow(foreign), nullptr);
    EXPECT_EQ(mGraphics->GetWindow(), open) << "the open editor stays as it was";
    EXPECT_EQ(mGraphics->GetCarbonHost(), nullptr) << "no pane is made";
  }
  EXPECT_EQ(mGraphics->OpenWindow(&onTheStack, nullptr), nullptr);
  EXPECT_EQ(FoundationTestKit::LiveObjectCount(), live);
  mGraphics->CloseWindow();
  window->release();
}

TEST_F(MacSurfaceTest, BothRoadsOfClosingStopTheTimerAndLeaveTheSurfaceClosed)
{
  Attach();
  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  NSView* parent = window->contentView();

  // The wrapper closes: the timer stops and the view leaves its parent.
  IGraphicsCocoa_v1002* view = AsView(mGraphics->OpenWindow(parent));
  view->retain();
  NSTimer* timer = view->mTimer;
  timer->retain();
  mGraphics->CloseWindow();
  EXPECT_FALSE(timer->isValid());
  EXPECT_EQ(view->mTimer, nil);
  EXPECT_EQ(view->mGraphics, nullptr);
  EXPECT_EQ(view->superview(), nil);
  EXPECT_FALSE(mGraphics->WindowIsOpen());
  timer->release();
  view->release();

  // The host takes the view out: the surface closes itself.
  view = AsView(mGraphics->OpenWindow(parent));
  view->retain();
  timer = view->mTimer;
  timer->retain();
  view->removeFromSuperview();
  EXPECT_FALSE(timer->isValid());
  EXPECT_EQ(view->mGraphics, nullptr);
  EXPECT_EQ(view->superview(), nil);
  EXPECT_FALSE(mGraphics->WindowIsOpen());
  EXPECT_EQ(mGraphics->GetWindow(), nullptr);
  timer->release();
  view->release();
  window->release();
}

// Every road of opening and closing gives back every object it made.
TEST_F(MacSurfaceTest, AThousandOpenAndCloseCyclesLeaveNothingBehind)
{
  Attach();
  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  NSView* parent = window->contentView();
  WindowRef carbon = CarbonTestKit::NewWindow(800, 400, true);
  FoundationTestKit::DrainImplicitPool();
  const long live = FoundationTestKit::LiveObjectCount();
  const long cfLive = CFTestLiveObjectCount();
  for (int i = 0; i < 1000; ++i)
  {
    switch (i % 4)
    {
      case 0:  // into a parent, closed by the wrapper
        mGraphics->OpenWindow(parent);
        mGraphics->CloseWindow();
        break;
      case 1:  // no parent: the host adds the view and later removes it
        parent->addSubview(AsView(mGraphics->OpenWindow(nullptr)));
        parent->subviews().back()->removeFromSuperview();
        break;
      case 2:  // no parent, never added, closed by the wrapper
        mGraphics->OpenWindow(nullptr);
        mGraphics->CloseWindow();
        break;
      default:  // a Carbon pane
        mGraphics->OpenWindow(carbon);
        mGraphics->CloseWindow();
        break;
    }
    FoundationTestKit::DrainImplicitPool();
  }
  EXPECT_EQ(FoundationTestKit::LiveObjectCount(), live);
  EXPECT_EQ(CFTestLiveObjectCount(), cfLive) << "timers";
  EXPECT_TRUE(parent->subviews().empty());
  window->release();
  DisposeWindow(carbon);
}

TEST_F(MacSurfaceTest, DeletingTheSurfaceWithAnOpenViewClosesIt)
{
  mGraphics->PrepDraw();  // not handed to the plug-in: the test deletes it
  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  IGraphicsCocoa_v1002* view = AsView(mGraphics->OpenWindow(window->contentView()));
  view->retain();
  delete mGraphics;
  mGraphics = nullptr;
  EXPECT_EQ(view->mGraphics, nullptr);
  EXPECT_EQ(view->superview(), nil);
  AppKitTestKit::MouseDown(window, 10, 10);  // reaches nothing that is gone
  view->release();
  window->release();
}

// ----- URLs, paths, system version -----

TEST_F(MacSurfaceTest, OpenURLAnswersWhetherAUrlCouldBeMadeAndOpened)
{
  struct Case
  {
    const char* text;
    bool opens;
    const char* recorded;  // null: nothing handed to the workspace
  } cases[] = {
    { "http://www.example.com/manual", true, "http://www.example.com/manual" },
    { "https://example.com/a?b=c", true, "https://example.com/a?b=c" },
    { "/tmp/manual.pdf", true, "file:///tmp/manual.pdf" },
    { "http://exa mple.com", false, nullptr },  // no URL can be made of it
    { "see http:", false, nullptr },             // "http" anywhere: taken as a URL, which this is not
    { "", false, nullptr },
  };
  for (const Case& c : cases)
  {
    AppKitTestKit::ClearOpenedURLs();
    EXPECT_EQ(mGraphics->OpenURL(c.text), c.opens) << c.text;
    if (c.recorded)
    {
      ASSERT_EQ(AppKitTestKit::OpenedURLs().size(), 1u) << c.text;
      EXPECT_EQ(AppKitTestKit::OpenedURLs()[0], c.recorded);
    }
    else
    {
      EXPECT_TRUE(AppKitTestKit::OpenedURLs().empty()) << c.text;
    }
  }
  EXPECT_FALSE(mGraphics->OpenURL(nullptr));
  AppKitTestKit::SetOpenURLAnswer(NO);
  EXPECT_FALSE(mGraphics->OpenURL("http://example.com")) << "the workspace's answer";
  AppKitTestKit::SetOpenURLAnswer(YES);
  AppKitTestKit::ClearOpenedURLs();
}

TEST_F(MacSurfaceTest, SystemVersionPathsAndPrompts)
{
  GestaltTestSetSystemVersion(0x1049);
  EXPECT_EQ(mGraphics->GetUserOSVersion(), 0x1049);
  GestaltTestSetSystemVersion(0x1058);
  EXPECT_EQ(mGraphics->GetUserOSVersion(), 0x1058);

  const std::string& bundle = TestEditorBundlePath();
  KIT_String path("unchanged");
  mGraphics->PluginPath(&path);
  EXPECT_EQ(std::string(path.Get()), bundle.substr(0, bundle.rfind('/') + 1));
  mGraphics->HostPath(&path);
  EXPECT_EQ(std::string(path.Get()), bundle + "/Contents/" KV_BUNDLE_ARCH_FOLDER "/KvTestEditor");

  mGraphics->SetBundleID("com.tarnquill.nowhere");
  path.Set("unchanged");
  mGraphics->PluginPath(&path);
  mGraphics->HostPath(&path);
  EXPECT_STREQ(path.Get(), "unchanged") << "no such bundle: the path is left alone";

  IColor color;
  EXPECT_FALSE(mGraphics->PromptForColor(&color));
  mGraphics->PromptForFile(&path);
  mGraphics->PromptUserInput(nullptr, mPlug.GetParam(0));
  EXPECT_STREQ(path.Get(), "unchanged");
}

// ----- Images -----

TEST_F(MacSurfaceTest, ImagesAreFoundByBaseNameAndType)
{
  struct Case
  {
    const char* name;
    int width;  // 0: no image
  } cases[] = {
    { "bg.png", 800 }, { "knob.jpg", 16 }, { "knob.JPG", 16 }, { "BG.PNG", 0 },  // the base name is case-sensitive
    { "images/sub.png", 2 }, { "sub.Png", 2 }, { "bg.gif", 0 }, { "png", 0 }, { "bg", 0 },
    { "missing.png", 0 }, { "broken.png", 0 }, { "knob.jpeg", 0 }, { "", 0 },
  };
  for (const Case& c : cases)
  {
    PIX_IBitmap* bm = LoadImgFromResourceOSX(kTestEditorBundleID, c.name);
    EXPECT_EQ(bm ? bm->getWidth() : 0, c.width) << c.name;
    delete bm;
  }
  EXPECT_EQ(LoadImgFromResourceOSX(kTestEditorBundleID, nullptr), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX("com.tarnquill.nowhere", "bg.png"), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX(nullptr, "bg.png"), nullptr);

  PIX_IBitmap* bg = mGraphics->OSLoadBitmap(12345, "bg.png");
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->getHeight(), 400);
  delete bg;
  mGraphics->SetBundleID("");
  EXPECT_EQ(mGraphics->OSLoadBitmap(1, "bg.png"), nullptr);
}

// ----- Screen copy -----

TEST_F(MacSurfaceTest, TheScreenCopyNeedsAViewAndItsContext)
{
  Attach();
  IRECT r(0, 0, 800, 400);
  EXPECT_FALSE(mGraphics->DrawScreen(&r)) << "no view or pane";
  mGraphics->OpenWindow(nullptr);
  EXPECT_FALSE(mGraphics->DrawScreen(&r)) << "outside drawRect: no current context";
  mGraphics->CloseWindow();
}

// A back buffer whose pixels are not the surface's size (shrunk in place by a resize) is drawn at
// its own size, its top row at the editor's top: never stretched over the view.
TEST_F(MacSurfaceTest, TheBackBufferIsDrawnAtItsOwnSize)
{
  Attach();
  IRECT all(0, 0, 800, 400);
  const IColor red = COLOR_RED, blue = COLOR_BLUE;
  mGraphics->FillIRect(&red, &all);
  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  IGraphicsCocoa_v1002* view = AsView(mGraphics->OpenWindow(window->contentView()));
  mGraphics->Resize(300, 100);
  ASSERT_EQ(mGraphics->GetDrawBitmap()->getWidth(), 300);
  AddSpy(IRECT(0, 0, 300, 100), -1, "after", blue);  // the resize replaced the controls
  view->setNeedsDisplay(YES);
  window->display();
  int w, h, rowBytes;
  const uint8_t* px = AppKitTestKit::WindowPixels(window, &w, &h, &rowBytes);
  ASSERT_EQ(h, 400);
  // The 300 x 100 view sits at the bottom-left of the window's unflipped content.
  int notBlue = 0;
  for (int y = 300; y < 400; ++y)
    for (int x = 0; x < 300; ++x) notBlue += RGBAt(px, rowBytes, x, y) != RGBOf(COLOR_BLUE);
  EXPECT_EQ(notBlue, 0);
  EXPECT_EQ(RGBAt(px, rowBytes, 300, 350), 0u) << "outside the view nothing is drawn";
  EXPECT_EQ(RGBAt(px, rowBytes, 10, 250), 0u);
  mGraphics->CloseWindow();
  window->release();
}

TEST_F(MacSurfaceTest, ResizeFollowsWithTheBackBufferAndTheView)
{
  Attach();
  IGraphicsCocoa_v1002* view = AsView(mGraphics->OpenWindow(nullptr));
  mGraphics->Resize(600, 300);
  EXPECT_EQ(mGraphics->Width(), 600);
  EXPECT_EQ(mGraphics->GetDrawBitmap()->getWidth(), 600);
  EXPECT_EQ(mGraphics->GetDrawBitmap()->getHeight(), 300);
  EXPECT_TRUE(NSEqualRects(view->frame(), NSMakeRect(0, 0, 600, 300)));
  mGraphics->CloseWindow();
}

// ----- Text -----

class MacTextTest : public MacSurfaceTest
{
protected:
  MacTextTest() { Attach(); AppKitTestKit::ClearDrawnTexts(); }

  const AppKitTestKit::DrawnText& Draw(IText txt, const char* str, IRECT r)
  {
    EXPECT_TRUE(mGraphics->DrawIText(&txt, str, &r));
    EXPECT_FALSE(AppKitTestKit::DrawnTexts().empty());
    return AppKitTestKit::DrawnTexts().back();
  }
};

TEST_F(MacTextTest, SizesAlignmentAndTheRectangle)
{
  struct Case
  {
    int size, align;
    double points;
    bool antialias;
    NSTextAlignment paragraph;
    int yOffset;  // points / 4
  } cases[] = {
    { 14, IText::kAlignCenter, 10, false, NSCenterTextAlignment, 2 },
    { 16, IText::kAlignNear, 12, true, NSLeftTextAlignment, 3 },
    { 12, IText::kAlignFar, 9, false, NSRightTextAlignment, 2 },
    { 15, IText::kAlignCenter, 11, false, NSCenterTextAlignment, 2 },  // 11.25 points: 11, not above 11
    { 24, IText::kAlignCenter, 18, true, NSCenterTextAlignment, 4 },
  };
  for (const Case& c : cases)
  {
    const IColor black = COLOR_BLACK;
    const auto& t = Draw(IText(c.size, &black, DEFAULT_FONT, IText::kStyleNormal, c.align), "Version 2.00.01",
                         IRECT(187, 3, 355, 13));
    SCOPED_TRACE(c.size);
    EXPECT_TRUE(t.drawn);
    EXPECT_EQ(t.text, "Version 2.00.01");
    EXPECT_EQ(t.pointSize, c.points);
    EXPECT_EQ(t.antialias, c.antialias);
    EXPECT_EQ(t.alignment, c.paragraph);
    EXPECT_EQ(t.options, NSStringDrawingUsesDeviceMetrics);
    EXPECT_TRUE(t.flipped);
    EXPECT_TRUE(NSEqualRects(t.rect, NSMakeRect(187, 3 + c.yOffset, 168, 10)));
    EXPECT_EQ(t.fontName, "Arial");
  }
}

TEST_F(MacTextTest, OnlyWhatDiffersFromTheLastTextIsReplaced)
{
  const IColor black = COLOR_BLACK, grey(255, 120, 120, 120);
  Draw(IText(12, &black, DEFAULT_FONT, 0, IText::kAlignNear), "a", IRECT(0, 0, 50, 10));
  NSDictionary* attrs = mGraphics->GetTextAttributes();
  ASSERT_NE(attrs, nil);
  id font = attrs->objectForKey(NSFontAttributeName), style = attrs->objectForKey(NSParagraphStyleAttributeName);
  id color = attrs->objectForKey(NSForegroundColorAttributeName);
  const auto& t = Draw(IText(12, &grey, DEFAULT_FONT, 0, IText::kAlignNear), "a", IRECT(0, 1, 50, 11));
  EXPECT_EQ(attrs->objectForKey(NSFontAttributeName), font);
  EXPECT_EQ(attrs->objectForKey(NSParagraphStyleAttributeName), style);
  EXPECT_NE(attrs->objectForKey(NSForegroundColorAttributeName), color);
  EXPECT_NEAR(t.rgba[0], 120 / 255.0, 1e-9);
  EXPECT_EQ(t.rgba[3], 1.0);
  Draw(IText(12, &grey, DEFAULT_FONT, 0, IText::kAlignFar), "a", IRECT(0, 1, 50, 11));
  EXPECT_NE(attrs->objectForKey(NSParagraphStyleAttributeName), style);
  EXPECT_EQ(attrs->objectForKey(NSFontAttributeName), font);
}

TEST_F(MacTextTest, AFontThatDoesNotResolveFallsBackToTheDefaultFace)
{
  const IColor black = COLOR_BLACK;
  const auto& t = Draw(IText(16, &black, "No Such Font Qwerty"), "text", IRECT(0, 0, 100, 20));
  EXPECT_TRUE(t.drawn);
  EXPECT_EQ(t.fontFamily, KVText::DefaultFace().family);
  EXPECT_NE(mGraphics->GetTextAttributes()->objectForKey(NSFontAttributeName), nil);
}

TEST_F(MacTextTest, InkLandsInTheBackBufferInsideTheLine)
{
  const IColor white = COLOR_WHITE;
  IRECT all(0, 0, 800, 400);
  mGraphics->FillIRect(&white, &all);
  const IColor black = COLOR_BLACK;
  Draw(IText(16, &black, DEFAULT_FONT, 0, IText::kAlignNear), "HHHH", IRECT(100, 50, 300, 70));
  const uint8_t* px = (const uint8_t*)mGraphics->GetBits();
  const int rowBytes = mGraphics->GetDrawBitmap()->getRowSpan() * 4;
  int dark = 0, outside = 0;
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 800; ++x)
    {
      if (RGBAt(px, rowBytes, x, y) == 0xffffff) continue;
      if (x >= 100 && x < 300 && y >= 50 && y < 70) ++dark;
      else ++outside;
    }
  EXPECT_GT(dark, 20);
  EXPECT_EQ(outside, 0);
}

TEST_F(MacTextTest, NullTextDrawsNothing)
{
  IText txt;
  IRECT r(0, 0, 10, 10);
  EXPECT_TRUE(mGraphics->DrawIText(&txt, nullptr, &r));
  EXPECT_TRUE(mGraphics->DrawIText(nullptr, "a", &r));
  EXPECT_TRUE(AppKitTestKit::DrawnTexts().empty());
}
