// The product's editor in the VST build: the layout read back control by control, the readouts,
// indicators and meters following the plug-in, the editor opcodes with a stand-in window, a gesture
// reaching the host, and open/close cycles that leave nothing behind.

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include <CoreFoundation/testkit.h>

#include "IClickKnobControl.h"
#include "IControls.h"
#include "IDetentKnob.h"
#include "IOdometerControl.h"
#include "KestrovaneEditorFixture.h"
#include "TestImages.h"
#include "pix_loaders.h"

namespace
{
enum EKind { kBitmap, kOdometer, kKnob, kClickKnob, kFader, kSwitch, kDetent, kText };

EKind KindOf(IControl* c)
{
  const std::type_info& t = typeid(*c);
  if (t == typeid(IOdometerControl)) return kOdometer;
  if (t == typeid(IClickKnobControl)) return kClickKnob;
  if (t == typeid(IDetentKnob)) return kDetent;
  if (t == typeid(IKnobMultiControl)) return kKnob;
  if (t == typeid(IFaderControl)) return kFader;
  if (t == typeid(ISwitchControl)) return kSwitch;
  if (t == typeid(ITextControl)) return kText;
  return kBitmap;
}

// The height of a fader handle image in the bundle: the fader's rectangle follows it.
int HandleHeight(const char* file)
{
  const std::string path = std::string(KV_KESTROVANE_VST_BUNDLE) + "/Contents/Resources/" + file;
  PIX_IBitmap* bm = PIX_LoadPNG(path.c_str(), nullptr);
  const int h = bm ? bm->getHeight() : -1;
  delete bm;
  return h;
}

// Strict overlap of two rectangles with exclusive right and bottom edges.
bool Overlap(const IRECT& a, const IRECT& b)
{
  return a.L < b.R && b.L < a.R && a.T < b.B && b.T < a.B;
}
}  // namespace

TEST_F(KestrovaneEditorTest, TheLayoutControlByControl)
{
  ASSERT_NE(mGraphics, nullptr) << "no editor: are the images in the bundle?";
  EXPECT_EQ(mGraphics->Width(), 800);
  EXPECT_EQ(mGraphics->Height(), 400);
  EXPECT_EQ(mGraphics->FPS(), 30);
  EXPECT_STREQ(mGraphics->GetBundleID(), PLUG_BUNDLE_ID_VST);
  const int hIO = HandleHeight("fader_io.png"), hGR = HandleHeight("fader_gr.png"), hComp = HandleHeight("fader_comp.png");
  struct Row
  {
    EKind kind;
    IRECT rect;
    int param;
    bool hidden;
  } rows[] = {
    { kBitmap, IRECT(0, 0, 800, 400), -1, false },  // 0 background
    { kBitmap, IRECT(291, 56, 531, 70), -1, false },   // input meter
    { kBitmap, IRECT(291, 134, 531, 148), -1, false },  // output meter
    { kBitmap, IRECT(291, 171, 531, 185), -1, false },  // gain-reduction meter
    { kOdometer, IRECT(206, 92, 232, 102), -1, false },  // Threshold
    { kOdometer, IRECT(107, 166, 127, 176), -1, false },  // Knee
    { kOdometer, IRECT(106, 215, 132, 225), -1, false },  // RMS Size
    { kOdometer, IRECT(199, 208, 225, 218), -1, false },  // Range
    { kOdometer, IRECT(233, 277, 265, 287), -1, false },  // Attack
    { kOdometer, IRECT(531, 277, 557, 287), -1, false },  // Ratio
    { kOdometer, IRECT(694, 277, 726, 287), -1, false },  // Release
    { kBitmap, IRECT(694, 277, 730, 287), -1, true },     // Auto Release indicator
    { kBitmap, IRECT(233, 277, 269, 287), -1, true },     // instant-attack indicator
    { kOdometer, IRECT(706, 360, 738, 370), -1, false },  // Parallel
    { kKnob, IRECT(281, 245, 341, 305), Kestrovane::kAttack, false },
    { kKnob, IRECT(443, 245, 503, 305), Kestrovane::kRatio, false },
    { kClickKnob, IRECT(606, 245, 666, 305), Kestrovane::kRelease, false },
    { kKnob, IRECT(76, 159, 102, 185), Kestrovane::kKnee, false },
    { kKnob, IRECT(76, 209, 102, 235), Kestrovane::kRMSSize, false },
    { kKnob, IRECT(236, 352, 262, 378), Kestrovane::kDrive, false },
    { kKnob, IRECT(279, 352, 305, 378), Kestrovane::kSag, false },
    { kKnob, IRECT(677, 352, 703, 378), Kestrovane::kParallel, false },
    { kFader, IRECT(276, 43, 683, 43 + hIO), Kestrovane::kThreshold, false },
    { kFader, IRECT(276, 161, 683, 161 + hGR), Kestrovane::kRange, false },
    { kFader, IRECT(349, 356, 609, 356 + hComp), Kestrovane::kCompensation, false },
    { kSwitch, IRECT(479, 0, 519, 18), Kestrovane::kOversample, false },
    { kSwitch, IRECT(359, 0, 399, 18), Kestrovane::kSidechain, false },
    { kSwitch, IRECT(716, 79, 740, 119), Kestrovane::kTopology, false },
    { kDetent, IRECT(42, 41, 112, 111), Kestrovane::kMode, false },
    { kText, IRECT(187, 3, 355, 13), -1, false },
    { kText, IRECT(187, 4, 355, 14), -1, false },
  };
  ASSERT_EQ(mGraphics->NControls(), (int)(sizeof(rows) / sizeof(rows[0])));
  for (int i = 0; i < mGraphics->NControls(); ++i)
  {
    IControl* c = mGraphics->GetControl(i);
    SCOPED_TRACE(i);
    EXPECT_EQ(KindOf(c), rows[i].kind);
    EXPECT_EQ(*c->GetRECT(), rows[i].rect);
    EXPECT_EQ(c->ParamIdx(), rows[i].param);
    EXPECT_EQ(c->IsHidden(), rows[i].hidden);
  }
  // The product keeps the controls it feeds.
  EXPECT_EQ(mPlug->GetMeterControl(Kestrovane::kInputMeter), mGraphics->GetControl(1));
  EXPECT_EQ(mPlug->GetMeterControl(Kestrovane::kGainReductionMeter), mGraphics->GetControl(3));
  EXPECT_EQ((IControl*)mPlug->GetReadout(Kestrovane::kParallel), mGraphics->GetControl(13));
  EXPECT_EQ(mPlug->GetAutoReleaseIndicator(), mGraphics->GetControl(11));
  EXPECT_EQ(mPlug->GetInstantAttackIndicator(), mGraphics->GetControl(12));
  EXPECT_EQ((IControl*)mPlug->GetModeKnob(), mGraphics->GetControl(28));
}

// Every control fits its place: no two overlap, but the indicators over their readouts and the two
// version lines, which are meant to.
TEST_F(KestrovaneEditorTest, NoControlOverlapsItsNeighbours)
{
  ASSERT_NE(mGraphics, nullptr);
  const std::pair<int, int> meant[] = { { 10, 11 }, { 8, 12 }, { 29, 30 } };
  for (int i = 1; i < mGraphics->NControls(); ++i)
    for (int j = i + 1; j < mGraphics->NControls(); ++j)
    {
      bool allowed = false;
      for (const auto& m : meant) allowed = allowed || (m.first == i && m.second == j);
      if (allowed) continue;
      EXPECT_FALSE(Overlap(*mGraphics->GetControl(i)->GetRECT(), *mGraphics->GetControl(j)->GetRECT()))
        << "controls " << i << " and " << j;
    }
  for (int i = 0; i < mGraphics->NControls(); ++i)
  {
    const IRECT& r = *mGraphics->GetControl(i)->GetRECT();
    EXPECT_TRUE(r.L >= 0 && r.T >= 0 && r.R <= 800 && r.B <= 400) << "control " << i << " inside the panel";
  }
}

TEST_F(KestrovaneEditorTest, ReadoutsShowTheParameters)
{
  ASSERT_NE(mGraphics, nullptr);
  auto frames = [&](int param) {
    IOdometerControl* o = mPlug->GetReadout(param);
    std::vector<int> f(o->NDigits());
    o->DigitFrames(f.data());
    return f;
  };
  EXPECT_EQ(frames(Kestrovane::kRange), (std::vector<int>{ 5, 1, 1, 1 })) << "-40 dB shows 40.00";
  EXPECT_EQ(frames(Kestrovane::kAttack), (std::vector<int>{ 1, 3, 1, 1, 1 })) << "020.00";
  EXPECT_EQ(frames(Kestrovane::kRelease), (std::vector<int>{ 1, 3, 1, 1, 1 })) << "0200.0";
  mEffect->setParameter(mEffect, Kestrovane::kThreshold, (float)mPlug->GetParam(0)->GetNormalized(-20.0));
  EXPECT_EQ(frames(Kestrovane::kThreshold), (std::vector<int>{ 3, 1, 1, 1 })) << "-20 dB shows 20.00";
  mPlug->GetParam(Kestrovane::kKnee)->Set(4.5);
  mPlug->OnParamChange(Kestrovane::kKnee);
  EXPECT_EQ(frames(Kestrovane::kKnee), (std::vector<int>{ 1, 5, 6 })) << "04.5";
}

TEST_F(KestrovaneEditorTest, AutoReleaseIndicators)
{
  ASSERT_NE(mGraphics, nullptr);
  IControl* release = mPlug->GetReadout(Kestrovane::kRelease);
  IControl* attack = mPlug->GetReadout(Kestrovane::kAttack);
  IControl* autoInd = mPlug->GetAutoReleaseIndicator();
  IControl* instant = mPlug->GetInstantAttackIndicator();
  struct Case
  {
    int mode;
    bool releaseShown, attackShown, autoShown, instantShown;
    double autoValue;
  } cases[] = {
    { Kestrovane::kAutoReleaseSlow, false, true, true, false, 0.5 },
    { Kestrovane::kAutoReleaseFast, false, true, true, false, 1.0 },
    { Kestrovane::kAutoReleaseZorl, false, false, true, true, 0.0 },
    { Kestrovane::kAutoReleaseOff, true, true, false, false, 0.0 },
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.mode);
    mEffect->setParameter(mEffect, Kestrovane::kAutoRelease, (float)(c.mode / 3.0));
    EXPECT_EQ(!release->IsHidden(), c.releaseShown);
    EXPECT_EQ(!attack->IsHidden(), c.attackShown);
    EXPECT_EQ(!autoInd->IsHidden(), c.autoShown);
    EXPECT_EQ(!instant->IsHidden(), c.instantShown);
    EXPECT_EQ(autoInd->GetValue(), c.autoValue);
    EXPECT_TRUE(release->IsDirty() && attack->IsDirty() && autoInd->IsDirty() && instant->IsDirty());
  }
}

// The meters take the block's values at its end, and show frame 1 + int(0.5 + 375 v).
TEST_F(KestrovaneEditorTest, MetersFollowEachBlock)
{
  ASSERT_NE(mGraphics, nullptr);
  mPlug->SetSampleRate(44100.0);
  mPlug->SetBlockSize(512);
  mPlug->Reset();
  std::vector<double> in(512), out(512);
  for (int i = 0; i < 512; ++i) in[i] = 0.8 * std::sin(i * 0.05);
  double* ins[4] = { in.data(), in.data(), in.data(), in.data() };
  double* outs[2] = { out.data(), out.data() };
  mPlug->GetParam(Kestrovane::kThreshold)->Set(-30.0);
  mPlug->OnParamChange(Kestrovane::kThreshold);
  for (int b = 0; b < 20; ++b) mPlug->ProcessDoubleReplacing(ins, outs, 512);
  for (int m = 0; m < Kestrovane::kNumMeters; ++m)
  {
    EXPECT_EQ(mPlug->GetMeterControl((Kestrovane::EMeter)m)->GetValue(), mPlug->GetMeterValue((Kestrovane::EMeter)m)) << m;
    EXPECT_GT(mPlug->GetMeterValue((Kestrovane::EMeter)m), 0.0) << m;
  }
  struct Frame
  {
    double v;
    int frame;
  } frames[] = { { 0.0, 1 }, { 1.0, 376 }, { 0.5, 189 }, { 0.001, 1 }, { 0.002, 2 } };
  for (const Frame& f : frames) EXPECT_EQ(IFrameFromValue(f.v, 376), f.frame) << f.v;
}

TEST_F(KestrovaneEditorTest, TheEditorOpensAndAGestureReachesTheHost)
{
  ASSERT_NE(mGraphics, nullptr);
  EXPECT_EQ(mEffect->flags, 0x1019) << "the editor is announced";
  ERect* pRect = nullptr;
  ASSERT_EQ(Dispatch(mEffect, effEditGetRect, 0, 0, &pRect), 1);
  EXPECT_EQ(pRect->right - pRect->left, 800);
  EXPECT_EQ(pRect->bottom - pRect->top, 400);

  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  ASSERT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, window->contentView()), 1);
  FoundationTestKit::RunFor(0.1);
  mHost.Clear();
  const double before = mPlug->GetParam(Kestrovane::kAttack)->Value();
  // The Attack knob's centre, (311, 275) in the editor, is y 125 in the window's base coordinates.
  AppKitTestKit::MouseDown(window, 311, 125);
  for (int dy = 2; dy <= 20; dy += 2) AppKitTestKit::MouseDragged(window, 311, 125 + dy);
  AppKitTestKit::MouseUp(window, 311, 145);
  const std::vector<std::string> edits = EditsOf(Kestrovane::kAttack);
  ASSERT_GE(edits.size(), 3u);
  EXPECT_EQ(edits.front(), "begin");
  EXPECT_EQ(edits.back(), "end");
  for (size_t i = 1; i + 1 < edits.size(); ++i) EXPECT_EQ(edits[i], "automate");
  EXPECT_GT(mPlug->GetParam(Kestrovane::kAttack)->Value(), before) << "dragged up";
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 1);
  EXPECT_TRUE(window->contentView()->subviews().empty());
  window->release();
}

TEST_F(KestrovaneEditorTest, AHundredOpenAndCloseCyclesLeakNothing)
{
  ASSERT_NE(mGraphics, nullptr);
  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  // One cycle first: what the first opening makes once (fonts, bundles) stays for the process.
  ASSERT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, window->contentView()), 1);
  FoundationTestKit::RunFor(1.0 / 15);
  Dispatch(mEffect, effEditClose);
  FoundationTestKit::DrainImplicitPool();
  const long live = FoundationTestKit::LiveObjectCount(), cfLive = CFTestLiveObjectCount();
  for (int i = 0; i < 100; ++i)
  {
    ASSERT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, i % 2 ? nullptr : (void*)window->contentView()), 1);
    FoundationTestKit::RunFor(1.0 / 15);
    ASSERT_EQ(Dispatch(mEffect, effEditClose), 1);
    FoundationTestKit::DrainImplicitPool();
  }
  EXPECT_EQ(FoundationTestKit::LiveObjectCount(), live);
  EXPECT_EQ(CFTestLiveObjectCount(), cfLive);
  window->release();
}

// ----- Golden pictures: the editor as a user sees it, at the defaults and after a few moves. A
// changed picture fails until a reviewed change updates the golden files
// (KV_UPDATE_GOLDEN=1 writes them into tests/product/vst/golden/).

namespace
{
std::unique_ptr<PIX_MemBitmap> WindowPicture(NSWindow* window)
{
  int w, h, rowBytes;
  const uint8_t* px = AppKitTestKit::WindowPixels(window, &w, &h, &rowBytes);
  std::unique_ptr<PIX_MemBitmap> bm(new PIX_MemBitmap(w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      const uint8_t* p = px + (size_t)y * rowBytes + (size_t)x * 4;
      bm->getBits()[y * w + x] = TestPixel(255, p[1], p[2], p[3]);
    }
  return bm;
}

void CheckGolden(PIX_MemBitmap* actual, const char* name)
{
  const std::string golden = std::string(KV_GOLDEN_DIR) + "/" + name;
  if (getenv("KV_UPDATE_GOLDEN"))
  {
    ASSERT_TRUE(WriteTestPng(golden, actual));
    return;
  }
  std::unique_ptr<PIX_IBitmap> expected(PIX_LoadPNG(golden.c_str(), nullptr));
  ASSERT_NE(expected, nullptr) << golden << " is missing";
  ASSERT_EQ(expected->getWidth(), actual->getWidth());
  ASSERT_EQ(expected->getHeight(), actual->getHeight());
  int differ = 0;
  for (int y = 0; y < actual->getHeight(); ++y)
    for (int x = 0; x < actual->getWidth(); ++x)
      differ += (expected->getBits()[y * expected->getRowSpan() + x] | 0xff) != (actual->getBits()[y * actual->getWidth() + x] | 0xff);
  if (differ)
  {
    const std::string got = testing::TempDir() + name;
    WriteTestPng(got, actual);
    ADD_FAILURE() << differ << " pixels differ from " << golden << "; the picture drawn is " << got;
  }
}
}  // namespace

TEST_F(KestrovaneEditorTest, GoldenPictures)
{
  ASSERT_NE(mGraphics, nullptr);
  NSWindow* window = AppKitTestKit::NewWindow(800, 400);
  ASSERT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, window->contentView()), 1);
  FoundationTestKit::RunFor(0.2);
  CheckGolden(WindowPicture(window).get(), "editor_default.png");

  // The host sets a few parameters, the audio thread the meters, the user turns two knobs.
  mEffect->setParameter(mEffect, Kestrovane::kThreshold, (float)mPlug->GetParam(0)->GetNormalized(-18.0));
  mEffect->setParameter(mEffect, Kestrovane::kMode, 0.5f);
  mEffect->setParameter(mEffect, Kestrovane::kAutoRelease, 1.0f);
  mEffect->setParameter(mEffect, Kestrovane::kOversample, 1.0f);
  mEffect->setParameter(mEffect, Kestrovane::kParallel, 0.35f);
  const double meters[3] = { 0.8, 0.7, 0.35 };
  for (int m = 0; m < 3; ++m) mPlug->GetMeterControl((Kestrovane::EMeter)m)->SetValueFromPlug(meters[m]);
  AppKitTestKit::MouseDown(window, 473, 125);  // Ratio
  for (int dy = 3; dy <= 30; dy += 3) AppKitTestKit::MouseDragged(window, 473, 125 + dy);
  AppKitTestKit::MouseUp(window, 473, 155);
  AppKitTestKit::MouseDown(window, 89, 228);  // Knee, down a little
  AppKitTestKit::MouseDragged(window, 89, 222);
  AppKitTestKit::MouseUp(window, 89, 222);
  FoundationTestKit::RunFor(0.2);
  CheckGolden(WindowPicture(window).get(), "editor_moves.png");
  Dispatch(mEffect, effEditClose);
  window->release();
}
