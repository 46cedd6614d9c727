// Random mouse, host and timer sequences with arbitrary repaint areas; after two quiet ticks the
// back buffer must equal a redraw of the whole editor from scratch.

#include <memory>
#include <random>

#include "GuiFixture.h"
#include "RedrawCheck.h"

namespace
{
class RedrawProperty : public GuiFixture
{
protected:
  enum { kW = 64, kH = 48 };

  RedrawProperty() : GuiFixture(kW, kH) {}

  void SetUp() override
  {
    mImages.emplace_back(MakeTestOpaque(kW, kH, 11));
    mImages.emplace_back(MakeTestStrip(12, 12, 8, 2));
    mImages.emplace_back(MakeTestStrip(10, 8, 3, 5));
    mImages.emplace_back(MakeTestStrip(8, 6, 1, 7));
    mImages.emplace_back(MakeTestStrip(10, 6, 2, 9));
    mImages.emplace_back(MakeTestOpaque(11, 11, 13));
    mImages.emplace_back(MakeTestStrip(11, 11, 1, 15));
    IBitmap bg(mImages[0].get(), kW, kH, 1), knob(mImages[1].get(), 12, 96, 8), sw(mImages[2].get(), 10, 24, 3),
      handle(mImages[3].get(), 8, 6, 1), radio(mImages[4].get(), 10, 12, 2), maskBase(mImages[5].get(), 11, 11, 1),
      mask(mImages[6].get(), 11, 11, 1);
    IRECT radioArea(50, 2, 60, 46), overlayArea(0, 40, 10, 48);

    mGraphics->AttachControl(new IBitmapControl(&mPlug, 0, 0, -1, &bg, IChannelBlend::kBlendClobber));
    mGraphics->AttachControl(new IKnobMultiControl(&mPlug, 4, 4, 0, &knob));
    mGraphics->AttachControl(new IKnobMultiControl(&mPlug, 12, 10, 0, &knob));  // overlaps the first
    mGraphics->AttachControl(new ISwitchControl(&mPlug, 24, 4, 3, &sw));
    mGraphics->AttachControl(new IFaderControl(&mPlug, 4, 26, 40, 1, &handle, kHorizontal));
    mGraphics->AttachControl(new IBitmapControl(&mPlug, 30, 20, -1, &knob, IChannelBlend::kBlendAdd));  // over the fader
    mGraphics->AttachControl(new IRadioButtonsControl(&mPlug, &radioArea, 2, 4, &radio));
    mGraphics->AttachControl(new IBitmapOverlayControl(&mPlug, 38, 36, 3, &sw, &overlayArea));
    mGraphics->AttachControl(new IKnobMultiControl(&mPlug, 58, 40, -1, &knob));  // partly off the surface
    mGraphics->AttachControl(new IKnobRotatingMaskControl(&mPlug, 36, 8, 1, &maskBase, &mask, &knob));
    Attach();
  }

  IRECT RandomRect(std::mt19937& rng)
  {
    std::uniform_int_distribution<int> x(-8, kW + 8), y(-8, kH + 8);
    int l = x(rng), r = x(rng), t = y(rng), b = y(rng);
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    return IRECT(l, t, r, b);
  }

  void RandomStep(std::mt19937& rng)
  {
    std::uniform_int_distribution<int> op(0, 11), px(-2, kW + 1), py(-2, kH + 1), ctl(1, mGraphics->NControls() - 1),
      param(0, 3);
    std::uniform_real_distribution<double> value(-0.2, 1.2);
    IMouseMod mod(true, false, rng() % 4 == 0);
    switch (op(rng))
    {
      case 0: mGraphics->OnMouseDown(px(rng), py(rng), &mod); break;
      case 1:
      case 2: mGraphics->OnMouseDrag(px(rng), py(rng), &mod); break;
      case 3: mGraphics->OnMouseUp(px(rng), py(rng), &mod); break;
      case 4: mGraphics->OnMouseDblClick(px(rng), py(rng), &mod); break;
      case 5: mGraphics->OnMouseWheel(px(rng), py(rng), &mod, (int)(rng() % 7) - 3); break;
      case 6: mGraphics->SetParameterFromPlug(param(rng), value(rng), true); break;
      case 7: mGraphics->SetControlFromPlug(ctl(rng), value(rng)); break;
      case 8: mGraphics->GetControl(ctl(rng))->Hide(rng() % 2); break;
      case 9: mGraphics->GetControl(ctl(rng))->GrayOut(rng() % 3 == 0); break;
      case 10:
      {
        // The timer asks, then the platform paints some area: the one asked for, another, or
        // part of it; meanwhile the host may change a value.
        IRECT dirty;
        mGraphics->IsDirty(&dirty);
        if (rng() % 3 == 0) mGraphics->SetParameterFromPlug(param(rng), value(rng), true);
        IRECT area = dirty;
        switch (rng() % 4)
        {
          case 0: break;
          case 1: area = RandomRect(rng); break;
          case 2: area = dirty.Intersect(RandomRect(rng)); break;
          case 3: area.Union(RandomRect(rng)); break;
        }
        mGraphics->Draw(&area);
        break;
      }
      case 11:
      {
        IRECT area = RandomRect(rng);  // an expose of the window
        mGraphics->Draw(&area);
        break;
      }
    }
  }

  std::vector<std::unique_ptr<PIX_MemBitmap>> mImages;
};
}  // namespace

TEST_F(RedrawProperty, TwoQuietTicksLeaveWhatARedrawFromScratchWouldDraw)
{
  PIX_SysBitmap* back = mGraphics->GetDrawBitmap();
  PIX_MemBitmap incremental, scratch;
  for (unsigned seed = 1; seed <= 300; ++seed)
  {
    std::mt19937 rng(seed);
    const int steps = 1 + (int)(rng() % 80);
    for (int i = 0; i < steps; ++i) RandomStep(rng);
    mGraphics->Tick();
    mGraphics->Tick();
    ASSERT_TRUE(redraw_check::Clean(mGraphics)) << "seed " << seed;
    ASSERT_TRUE(redraw_check::MatchesRedrawFromScratch(mGraphics, &incremental, &scratch))
      << "seed " << seed << ", " << steps << " steps";
    EXPECT_EQ(PIX_BitmapCmp(mGraphics->mScreen.get(), back), 0) << "the screen shows the back buffer";
  }
}
