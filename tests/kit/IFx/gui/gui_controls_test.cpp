#include <cmath>
#include <cstring>
#include <memory>

#include "GuiFixture.h"

namespace
{
// A surface that records the drawing calls the controls make, with their arguments.
class CallRecorder : public TestGraphics
{
public:
  using TestGraphics::TestGraphics;
  using TestGraphics::DrawBitmap;

  std::vector<std::string> mCalls;

  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY, const IChannelBlend* pBlend) override
  {
    mCalls.push_back(Fmt("bitmap %d,%d,%d,%d src %d,%d %s", pDest->L, pDest->T, pDest->R, pDest->B, srcX, srcY,
                         pBlend ? Blend(pBlend).c_str() : "none"));
    return TestGraphics::DrawBitmap(pBitmap, pDest, srcX, srcY, pBlend);
  }
  bool DrawLine(const IColor*, float x1, float y1, float x2, float y2, const IChannelBlend* pBlend,
                bool antiAlias) override
  {
    mCalls.push_back(Fmt("line %.3f,%.3f %.3f,%.3f %s%s", x1, y1, x2, y2, Blend(pBlend).c_str(), antiAlias ? " aa" : ""));
    return true;
  }
  bool DrawRotatedBitmap(IBitmap*, int cx, int cy, double angle, int yOffset, const IChannelBlend* pBlend) override
  {
    mCalls.push_back(Fmt("rotated %d,%d %.4f %d %s", cx, cy, angle, yOffset, Blend(pBlend).c_str()));
    return true;
  }
  bool DrawRotatedMask(IBitmap*, IBitmap*, IBitmap*, int x, int y, double angle, const IChannelBlend* pBlend) override
  {
    mCalls.push_back(Fmt("mask %d,%d %.4f %s", x, y, angle, Blend(pBlend).c_str()));
    return true;
  }

private:
  static std::string Blend(const IChannelBlend* b)
  {
    return b ? Fmt("%d/%.2f", (int)b->mMethod, b->mWeight) : "none";
  }
  template <class... A>
  static std::string Fmt(const char* f, A... a)
  {
    char s[160];
    snprintf(s, sizeof(s), f, a...);
    return s;
  }
};

class ControlsTest : public ::testing::Test
{
protected:
  ControlsTest() : mGraphics(new CallRecorder(&mPlug, 64, 48))
  {
    InitFakeParams(&mPlug);
    mPlug.AttachGraphics(mGraphics);
    mGraphics->SetDrawRECT(IRECT(0, 0, 64, 48));
    mPlug.mLog.clear();
  }

  template <class C>
  C* Add(C* c)
  {
    mGraphics->AttachControl(c);
    return c;
  }
  std::vector<std::string> TakeCalls()
  {
    std::vector<std::string> c;
    c.swap(mGraphics->mCalls);
    return c;
  }
  IMouseMod* Mod(bool right = false, bool shift = false, bool ctrl = false)
  {
    mMod = IMouseMod(true, right, shift, ctrl);
    return &mMod;
  }

  FakePlug mPlug;
  CallRecorder* mGraphics;
  IMouseMod mMod;
  std::unique_ptr<PIX_MemBitmap> mPixels{ MakeTestStrip(10, 10, 4) };
};
}  // namespace

TEST(IFrameFromValue, Table)
{
  struct Case
  {
    double value;
    int frames, frame;
  };
  for (const Case& c : { Case{ 0.0, 101, 1 }, Case{ 0.004, 101, 1 }, Case{ 0.006, 101, 2 }, Case{ 1.0, 101, 101 },
                         Case{ 1.2, 101, 101 }, Case{ -0.5, 101, 1 }, Case{ 0.5, 3, 2 }, Case{ 0.7, 1, 1 },
                         Case{ 0.7, 0, 1 }, Case{ 0.7, -3, 1 }, Case{ std::nan(""), 10, 1 }, Case{ INFINITY, 10, 10 },
                         Case{ -INFINITY, 10, 1 }, Case{ 1e300, 145, 145 } })
    EXPECT_EQ(IFrameFromValue(c.value, c.frames), c.frame) << c.value << " of " << c.frames;
}

TEST_F(ControlsTest, BitmapControlDrawsTheFrameOfItsValue)
{
  IBitmap strip(mPixels.get(), 10, 40, 4);
  IBitmapControl* c = Add(new IBitmapControl(&mPlug, 5, 6, -1, &strip, IChannelBlend::kBlendAdd));
  EXPECT_EQ(*c->GetRECT(), IRECT(5, 6, 15, 16));
  for (double v : { 0.0, 0.2, 0.5, 1.0 })
  {
    mGraphics->SetControlFromPlug(0, v);
    c->Draw(mGraphics);
  }
  // Frame f starts at source row int(0.5 + H * (f - 1) / N).
  EXPECT_EQ(TakeCalls(), Strings({ "bitmap 5,6,15,16 src 0,0 2/1.00", "bitmap 5,6,15,16 src 0,10 2/1.00",
                                   "bitmap 5,6,15,16 src 0,20 2/1.00", "bitmap 5,6,15,16 src 0,30 2/1.00" }));
}

TEST_F(ControlsTest, SwitchStepping)
{
  struct Case
  {
    int frames;
    double start;
    std::vector<double> after;  // the value after each click
  };
  for (const Case& k : { Case{ 3, 0.0, { 0.5, 1.0, 0.0, 0.5 } }, Case{ 1, 0.0, { 1.0, 0.0, 1.0 } },
                         Case{ 2, 0.0, { 1.0, 0.0 } }, Case{ 3, 0.9995, { 0.0 } }, Case{ 5, 0.75, { 1.0, 0.0 } } })
  {
    IBitmap strip(mPixels.get(), 10, 40, k.frames);
    ISwitchControl* s = Add(new ISwitchControl(&mPlug, 0, 0, 3, &strip));
    s->SetValueFromPlug(k.start);
    for (double v : k.after)
    {
      s->OnMouseDown(1, 1, Mod());
      EXPECT_NEAR(s->GetValue(), v, 1e-12) << k.frames << " frames from " << k.start;
    }
  }
  // A right click prompts, does not step, and still sends the value, as a press does: before the
  // begin of its gesture.
  IBitmap strip(mPixels.get(), 10, 40, 3);
  ISwitchControl* s = Add(new ISwitchControl(&mPlug, 0, 0, 2, &strip));
  s->SetValueFromPlug(0.5);
  mPlug.mLog.clear();
  mGraphics->OnMouseDown(1, 1, Mod(true));
  EXPECT_EQ(s->GetValue(), 0.5);
  EXPECT_EQ(mGraphics->mPrompts, Strings({ "value Mode" }));
  EXPECT_EQ(mPlug.mLog, Strings({ "inform 2 0.5", "change 2", "begin 2" }));
  mGraphics->OnMouseUp(1, 1, Mod(true));
}

TEST_F(ControlsTest, ContactIsOnOnlyWhilePressed)
{
  IBitmap strip(mPixels.get(), 10, 40, 2);
  IContactControl* c = Add(new IContactControl(&mPlug, 0, 0, 3, &strip));
  mGraphics->OnMouseDown(1, 1, Mod());
  EXPECT_EQ(c->GetValue(), 1.0);
  mGraphics->OnMouseUp(30, 30, Mod());
  EXPECT_EQ(c->GetValue(), 0.0);
  EXPECT_EQ(mPlug.mLog, Strings({ "inform 3 1", "change 3", "begin 3", "inform 3 0", "change 3", "end 3" }));
}

TEST_F(ControlsTest, OverlayIsHitInItsTargetAreaWhileOff)
{
  IBitmap strip(mPixels.get(), 10, 20, 2);
  IRECT target(40, 30, 50, 40);
  IBitmapOverlayControl* o = Add(new IBitmapOverlayControl(&mPlug, 0, 0, -1, &strip, &target));
  // Before its first drawing: hit on its image.
  EXPECT_TRUE(o->IsHit(5, 5));
  EXPECT_FALSE(o->IsHit(45, 35));
  o->Draw(mGraphics);
  EXPECT_TRUE(TakeCalls().empty());  // off: nothing drawn
  EXPECT_FALSE(o->IsHit(5, 5));
  EXPECT_TRUE(o->IsHit(45, 35));
  mGraphics->OnMouseDown(45, 35, Mod());
  EXPECT_EQ(o->GetValue(), 1.0);
  o->Draw(mGraphics);
  EXPECT_EQ(TakeCalls(), Strings({ "bitmap 0,0,10,10 src 0,10 0/1.00" }));
  EXPECT_TRUE(o->IsHit(5, 5));
  EXPECT_FALSE(o->IsHit(45, 35));
}

TEST_F(ControlsTest, InvisibleSwitchTogglesAndNeverPrompts)
{
  IRECT r(0, 0, 10, 10);
  IInvisibleSwitchControl* s = Add(new IInvisibleSwitchControl(&mPlug, &r, 3));
  EXPECT_EQ(s->GetBlend()->mMethod, IChannelBlend::kBlendClobber);
  for (double expected : { 1.0, 0.0, 1.0 })
  {
    s->OnMouseDown(1, 1, Mod(true));
    EXPECT_EQ(s->GetValue(), expected);
  }
  EXPECT_TRUE(mGraphics->mPrompts.empty());
  EXPECT_TRUE(s->Draw(mGraphics));
  EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(ControlsTest, KnobGearing)
{
  struct Case
  {
    EDirection dir;
    IRECT r;
    double gearing;
    int dX, dY;
    bool shift, ctrl;
    double delta;
  };
  for (const Case& c : {
         Case{ kVertical, IRECT(0, 0, 40, 100), 4.0, 0, -100, false, false, 0.25 },
         Case{ kVertical, IRECT(0, 0, 40, 100), 4.0, 0, -100, true, false, 0.025 },
         Case{ kVertical, IRECT(0, 0, 40, 100), 4.0, 0, -100, false, true, 0.025 },
         Case{ kVertical, IRECT(0, 0, 40, 100), 2.0, 30, 20, false, false, -0.1 },
         Case{ kHorizontal, IRECT(0, 0, 50, 10), 4.0, 20, -7, false, false, 0.1 },
         Case{ kVertical, IRECT(0, 5, 40, 5), 4.0, 3, 0, false, false, 0.0 },   // no height: no step
         Case{ kVertical, IRECT(0, 5, 40, 5), 4.0, 0, 9, false, false, 0.0 },
         Case{ kHorizontal, IRECT(0, 0, 50, 10), 0.0, 5, 0, false, false, 0.0 },  // no gearing
       })
  {
    IRECT r = c.r;
    IKnobLineControl k(&mPlug, &r, -1, &COLOR_RED, 0, 0, 0, 1, c.dir, c.gearing);
    k.SetValueFromPlug(0.5);
    k.OnMouseDrag(0, 0, c.dX, c.dY, Mod(false, c.shift, c.ctrl));
    EXPECT_NEAR(k.GetValue(), 0.5 + c.delta, 1e-12) << c.dX << "," << c.dY << " gearing " << c.gearing;
  }
}

TEST_F(ControlsTest, MultiKnobFollowsADrag)
{
  IBitmap strip(mPixels.get(), 10, 40, 4);
  IKnobMultiControl* k = Add(new IKnobMultiControl(&mPlug, 0, 0, 0, &strip));
  EXPECT_EQ(*k->GetRECT(), IRECT(0, 0, 10, 10));
  k->SetValueFromPlug(0.0);
  mGraphics->OnMouseDown(5, 5, Mod());
  mGraphics->OnMouseDrag(5, -15, Mod());  // 20 up over a 10-high knob, gearing 4: +0.5
  EXPECT_NEAR(k->GetValue(), 0.5, 1e-12);
  k->Draw(mGraphics);
  EXPECT_EQ(TakeCalls(), Strings({ "bitmap 0,0,10,10 src 0,20 0/1.00" }));
}

TEST_F(ControlsTest, FaderSnapsItsHandleCentreToThePointer)
{
  PIX_MemBitmap handlePixels(20, 8);
  IBitmap handle(&handlePixels, 20, 8, 1);
  IFaderControl* f = Add(new IFaderControl(&mPlug, 4, 2, 200, 0, &handle, kHorizontal));
  EXPECT_EQ(*f->GetRECT(), IRECT(4, 2, 204, 10));
  struct Case
  {
    int x;
    double value;
  };
  for (const Case& c : { Case{ 4 + 10, 0.0 }, Case{ 4 + 190, 1.0 }, Case{ 4 + 100, 0.5 }, Case{ 4 + 300, 1.0 },
                         Case{ 0, 0.0 }, Case{ 4 + 55, 0.25 } })
  {
    f->OnMouseDown(c.x, 5, Mod());
    EXPECT_NEAR(f->GetValue(), c.value, 1e-12) << c.x;
  }
  EXPECT_EQ(f->GetHandleRECT(0.5), IRECT(94, 2, 114, 10));  // 90 right of L
  EXPECT_EQ(f->GetHandleRECT(), IRECT(4 + 45, 2, 24 + 45, 10));
  EXPECT_EQ(f->GetHandleRECT(7.0), IRECT(184, 2, 204, 10));
  // A drag snaps too; a right click only prompts.
  mGraphics->OnMouseDown(14, 5, Mod());
  mGraphics->OnMouseDrag(104, 5, Mod());
  EXPECT_NEAR(f->GetValue(), 0.5, 1e-12);
  mGraphics->OnMouseUp(104, 5, Mod());
  f->OnMouseDown(194, 5, Mod(true));
  EXPECT_NEAR(f->GetValue(), 0.5, 1e-12);
  EXPECT_EQ(mGraphics->mPrompts.size(), 1u);
  TakeCalls();
  f->Draw(mGraphics);
  EXPECT_EQ(TakeCalls(), Strings({ "bitmap 94,2,114,10 src 0,0 0/1.00" }));

  // Vertical: 1.0 at the top.
  IFaderControl* v = Add(new IFaderControl(&mPlug, 0, 0, 50, 1, &handle, kVertical));
  EXPECT_EQ(*v->GetRECT(), IRECT(0, 0, 20, 50));
  v->SnapToMouse(5, 4);
  EXPECT_NEAR(v->GetValue(), 1.0, 1e-12);
  v->SnapToMouse(5, 46);
  EXPECT_NEAR(v->GetValue(), 0.0, 1e-12);
  EXPECT_EQ(v->GetHandleRECT(1.0), IRECT(0, 0, 20, 8));
  EXPECT_EQ(v->GetHandleRECT(0.0), IRECT(0, 42, 20, 50));

  // A travel of zero gives no finite value: the fader keeps its own.
  IFaderControl* none = Add(new IFaderControl(&mPlug, 0, 0, 20, 2, &handle, kHorizontal));
  none->SetValueFromPlug(0.25);
  none->SnapToMouse(5, 1);
  none->SnapToMouse(10, 1);
  EXPECT_EQ(none->GetValue(), 0.25);
}

TEST_F(ControlsTest, RadioButtonLayout)
{
  IBitmap two(mPixels.get(), 10, 20, 2);  // frames 10 high
  struct Case
  {
    IRECT r;
    int n;
    EDirection dir;
    std::vector<IRECT> buttons;
  };
  for (const Case& c : {
         Case{ IRECT(0, 0, 10, 100), 4, kVertical,
               { IRECT(0, 0, 10, 10), IRECT(0, 30, 10, 40), IRECT(0, 60, 10, 70), IRECT(0, 90, 10, 100) } },
         Case{ IRECT(5, 5, 60, 15), 3, kHorizontal, { IRECT(5, 5, 15, 15), IRECT(27, 5, 37, 15), IRECT(49, 5, 59, 15) } },
         Case{ IRECT(0, 0, 10, 25), 2, kVertical, { IRECT(0, 0, 10, 10), IRECT(0, 15, 10, 25) } },
         Case{ IRECT(3, 4, 50, 50), 1, kVertical, { IRECT(3, 4, 13, 14) } },  // one button, no gap
         Case{ IRECT(3, 4, 50, 50), 1, kHorizontal, { IRECT(3, 4, 13, 14) } },
         Case{ IRECT(3, 4, 50, 50), 0, kVertical, {} },
       })
  {
    IRECT r = c.r;
    IRadioButtonsControl radio(&mPlug, &r, 2, c.n, &two, c.dir);
    ASSERT_EQ(radio.NButtons(), (int)c.buttons.size());
    for (int i = 0; i < radio.NButtons(); ++i) EXPECT_EQ(*radio.GetButtonRECT(i), c.buttons[i]) << c.n << " button " << i;
    EXPECT_EQ(radio.GetButtonRECT(radio.NButtons()), nullptr);
  }
}

TEST_F(ControlsTest, RadioButtonClicksAndDrawing)
{
  IBitmap two(mPixels.get(), 10, 20, 2);
  IRECT r(0, 0, 10, 100);
  IRadioButtonsControl* radio = Add(new IRadioButtonsControl(&mPlug, &r, 2, 4, &two));
  radio->SetValueFromPlug(0.0);
  mGraphics->OnMouseDown(5, 65, Mod());
  EXPECT_NEAR(radio->GetValue(), 2.0 / 3.0, 1e-12);
  mGraphics->OnMouseUp(5, 65, Mod());
  mPlug.mLog.clear();
  mGraphics->OnMouseDown(5, 50, Mod());  // between buttons: the old value again
  EXPECT_NEAR(radio->GetValue(), 2.0 / 3.0, 1e-12);
  ASSERT_FALSE(mPlug.mLog.empty());
  EXPECT_EQ(mPlug.mLog[0], "inform 2 0.666667");
  mGraphics->OnMouseUp(5, 50, Mod());
  radio->OnMouseDown(5, 5, Mod(true));  // a right click only prompts
  EXPECT_NEAR(radio->GetValue(), 2.0 / 3.0, 1e-12);
  EXPECT_EQ(mGraphics->mPrompts.size(), 1u);

  radio->Draw(mGraphics);
  EXPECT_EQ(TakeCalls(), Strings({ "bitmap 0,0,10,10 src 0,0 0/1.00", "bitmap 0,30,10,40 src 0,0 0/1.00",
                                   "bitmap 0,60,10,70 src 0,10 0/1.00", "bitmap 0,90,10,100 src 0,0 0/1.00" }));

  // A single button is its own first and last: a click selects it, no division by zero.
  IRECT one(20, 0, 30, 10);
  IRadioButtonsControl* single = Add(new IRadioButtonsControl(&mPlug, &one, 3, 1, &two));
  single->SetValueFromPlug(1.0);
  mGraphics->OnMouseDown(25, 5, Mod());
  EXPECT_EQ(single->GetValue(), 0.0);
  single->Draw(mGraphics);
  EXPECT_EQ(TakeCalls(), Strings({ "bitmap 20,0,30,10 src 0,10 0/1.00" }));
}

TEST_F(ControlsTest, LineRotaterAndMaskKnobsDrawAtTheirValuesAngle)
{
  IRECT r(10, 20, 30, 40);
  IKnobLineControl* line = Add(new IKnobLineControl(&mPlug, &r, -1, &COLOR_WHITE, 2.0, 0.0, -1.0, 1.0));
  line->SetValueFromPlug(0.5);  // angle 0: straight up from the centre (20, 30)
  line->Draw(mGraphics);
  line->SetValueFromPlug(1.0);  // angle 1 radian, clockwise
  line->Draw(mGraphics);
  const double s = sin(1.0), c = cos(1.0);
  char second[128];
  snprintf(second, sizeof(second), "line %.3f,%.3f %.3f,%.3f 1/1.00 aa", 20 + s * 2, 30 - c * 2, 20 + s * 10, 30 - c * 10);
  EXPECT_EQ(TakeCalls(), Strings({ "line 20.000,28.000 20.000,20.000 1/1.00 aa", second }));

  IBitmap img(mPixels.get(), 10, 40, 1);
  IKnobRotaterControl* rot = Add(new IKnobRotaterControl(&mPlug, 3, 4, -1, &img, -2.0, 2.0, 5));
  EXPECT_EQ(*rot->GetRECT(), IRECT(3, 4, 13, 44));
  rot->SetValueFromPlug(0.25);
  rot->Draw(mGraphics);
  IKnobRotatingMaskControl* mask = Add(new IKnobRotatingMaskControl(&mPlug, 7, 8, -1, &img, &img, &img, -90.0, 90.0));
  mask->SetValueFromPlug(0.75);
  mask->Draw(mGraphics);
  EXPECT_EQ(TakeCalls(), Strings({ "rotated 8,24 -1.0000 5 0/1.00", "mask 7,8 45.0000 0/1.00" }));
}

TEST_F(ControlsTest, LineKnobDrawsItsLine)
{
  TestGraphics g(&mPlug, 40, 40);
  g.PrepDraw();
  IRECT r(10, 20, 30, 40);
  IKnobLineControl line(&mPlug, &r, -1, &COLOR_WHITE, 2.0, 0.0, -1.0, 1.0);
  line.SetValueFromPlug(0.5);
  line.Draw(&g);
  for (int y = 15; y < 35; ++y) EXPECT_EQ(g.Pixel(20, y), y >= 20 && y <= 28 ? IColorToPixel(COLOR_WHITE) : 0u) << y;
}

TEST_F(ControlsTest, BaseStraightLinesAreClobberingLines)
{
  mGraphics->IGraphics::DrawVerticalLine(&COLOR_RED, 3, 1, 5);
  mGraphics->IGraphics::DrawHorizontalLine(&COLOR_RED, 7, 2, 9);
  EXPECT_EQ(TakeCalls(), Strings({ "line 3.000,1.000 3.000,5.000 1/1.00", "line 2.000,7.000 9.000,7.000 1/1.00" }));
}

TEST_F(ControlsTest, TextControl)
{
  IRECT r(1, 2, 40, 12);
  IText style(12, &COLOR_RED, "Mono", IText::kStyleNormal, IText::kAlignNear);
  ITextControl* t = Add(new ITextControl(&mPlug, &r, &style, ""));
  t->Draw(mGraphics);
  EXPECT_TRUE(mGraphics->mTexts.empty());  // an empty text draws nothing
  t->SetClean();
  t->SetTextFromPlug("");
  EXPECT_FALSE(t->IsDirty());
  t->SetTextFromPlug("hello");
  EXPECT_TRUE(t->IsDirty());
  t->SetClean();
  t->SetTextFromPlug("hello");  // the text it already shows
  EXPECT_FALSE(t->IsDirty());
  t->Draw(mGraphics);
  ASSERT_EQ(mGraphics->mTexts.size(), 1u);
  EXPECT_EQ(mGraphics->mTexts[0].mStr, "hello");
  EXPECT_EQ(mGraphics->mTexts[0].mRect, r);
  EXPECT_STREQ(mGraphics->mTexts[0].mText.mFont, "Mono");
  EXPECT_EQ(mGraphics->mTexts[0].mText.mAlign, 0);
  EXPECT_EQ(t->ParamIdx(), -1);
}

TEST_F(ControlsTest, Captions)
{
  mPlug.GetParam(0)->InitDouble("Level", -12.0, -60.0, 12.0, 0.1, "dB");
  mPlug.GetParam(1)->InitDouble("Bare", -12.0, -60.0, 12.0, 0.1, "");
  struct Case
  {
    int param;
    bool label;
    const char* shown;
  };
  for (const Case& c : { Case{ 0, true, "-12.0 dB" }, Case{ 1, true, "-12.0 " }, Case{ 0, false, "-12.0" },
                         Case{ 2, true, "1 " }, Case{ 9, true, "" } })
  {
    IRECT r(0, 0, 40, 10);
    IText style;
    ICaptionControl cap(&mPlug, &r, c.param, &style, c.label);
    EXPECT_EQ(cap.ParamIdx(), c.param);
    mGraphics->mTexts.clear();
    cap.Draw(mGraphics);
    if (!c.shown[0]) EXPECT_TRUE(mGraphics->mTexts.empty());
    else
    {
      ASSERT_EQ(mGraphics->mTexts.size(), 1u);
      EXPECT_EQ(mGraphics->mTexts[0].mStr, c.shown);
    }
  }
}

TEST_F(ControlsTest, URLControlOpensTheLinkOrTheBackup)
{
  struct Case
  {
    const char* url;
    const char* backup;
    std::set<std::string> openable;
    std::vector<std::string> tried;
  };
  for (const Case& c : { Case{ "http://a", "http://b", { "http://a" }, { "http://a" } },
                         Case{ "http://a", "http://b", {}, { "http://a", "http://b" } },
                         Case{ "", "http://b", {}, { "http://b" } },
                         Case{ "http://a", nullptr, {}, { "http://a" } },
                         Case{ nullptr, nullptr, {}, {} } })
  {
    IRECT r(0, 0, 10, 10);
    IURLControl u(&mPlug, &r, c.url, c.backup, "could not open");
    mGraphics->mURLs.clear();
    mGraphics->mOpenableURLs = c.openable;
    u.OnMouseDown(1, 1, Mod(true));  // no prompt, even with a right click
    EXPECT_EQ(mGraphics->mURLs, c.tried);
  }
  EXPECT_TRUE(mGraphics->mPrompts.empty());

  // Texts longer than their fields are cut, not written past them.
  const std::string longURL(600, 'u'), longMsg(3000, 'm');
  IRECT r(0, 0, 10, 10);
  IURLControl u(&mPlug, &r, longURL.c_str(), longURL.c_str(), longMsg.c_str());
  EXPECT_EQ(strlen(u.GetURL()), 255u);
  EXPECT_EQ(strlen(u.GetBackupURL()), 255u);
  EXPECT_EQ(strlen(u.GetErrMsg()), 1023u);
}

TEST_F(ControlsTest, FileSelectorStates)
{
  IBitmap img(mPixels.get(), 10, 40, 4);
  IRECT r(2, 2, 12, 12);
  IFileSelectorControl* fs =
    Add(new IFileSelectorControl(&mPlug, &r, 1, &img, IGraphics::kFileSave, "/presets", "fxp fxb"));
  EXPECT_EQ(fs->GetState(), IFileSelectorControl::kFSNone);
  fs->Draw(mGraphics);
  EXPECT_TRUE(TakeCalls().empty());
  fs->SetClean();
  fs->SetClean();
  EXPECT_FALSE(fs->IsDirty());

  // While the dialog is up the control shows its whole image.
  mGraphics->mWhilePromptingForFile = [&] {
    EXPECT_EQ(fs->GetState(), IFileSelectorControl::kFSSelecting);
    fs->Draw(mGraphics);
  };
  mGraphics->mNextFile = "/presets/a.fxp";
  for (double expected : { 1.0, 0.0, 1.0 })
  {
    mGraphics->OnMouseDown(5, 5, Mod());
    mGraphics->OnMouseUp(5, 5, Mod());
    EXPECT_EQ(fs->GetValue(), expected);
  }
  EXPECT_EQ(mGraphics->mPrompts, Strings({ "file 1 /presets fxp fxb", "file 1 /presets fxp fxb", "file 1 /presets fxp fxb" }));
  EXPECT_EQ(TakeCalls(), Strings({ "bitmap 2,2,12,12 src 0,0 none", "bitmap 2,2,12,12 src 0,0 none",
                                   "bitmap 2,2,12,12 src 0,0 none" }));
  EXPECT_EQ(fs->GetState(), IFileSelectorControl::kFSDone);
  KIT_String file;
  fs->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/presets/a.fxp");

  // Done reports dirty once more after the control is clean, then rests.
  fs->SetClean();
  EXPECT_TRUE(fs->IsDirty());
  EXPECT_EQ(fs->GetState(), IFileSelectorControl::kFSNone);
  EXPECT_FALSE(fs->IsDirty());
  fs->Draw(mGraphics);
  EXPECT_TRUE(TakeCalls().empty());

  fs->SetLastSelectedFileFromPlug("/x.fxp");
  EXPECT_FALSE(fs->IsDirty());
  fs->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/x.fxp");

  // Without an editor surface a click does nothing.
  FakePlug bare;
  IFileSelectorControl alone(&bare, &r, -1, &img);
  alone.OnMouseDown(5, 5, Mod());
  EXPECT_EQ(alone.GetState(), IFileSelectorControl::kFSNone);
  EXPECT_EQ(alone.GetValue(), 0.0);
}
