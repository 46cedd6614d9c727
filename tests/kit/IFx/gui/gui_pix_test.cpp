#include <cmath>
#include <memory>

#include "GuiFixture.h"
#include "pix_arc.h"
#include "pix_circle.h"
#include "pix_transform.h"

namespace
{
class PixTest : public GuiFixture
{
protected:
  PixTest() : GuiFixture(16, 12) {}

  void SetUp() override
  {
    Attach();
    mBg.reset(MakeTestOpaque(16, 12, 3));
    PIX_Copy(mGraphics->GetDrawBitmap(), mBg.get());
  }

  // What the back buffer should hold: the background with the raster library's own blit on top.
  std::unique_ptr<PIX_MemBitmap> Expected(PIX_IBitmap* src, int dx, int dy, int sx, int sy, int w, int h, float weight,
                                          int mode)
  {
    std::unique_ptr<PIX_MemBitmap> e(new PIX_MemBitmap());
    PIX_Copy(e.get(), mBg.get());
    PIX_Blit(e.get(), src, dx, dy, sx, sy, w, h, weight, mode);
    return e;
  }

  std::unique_ptr<PIX_MemBitmap> mBg;
};
}  // namespace

TEST(IGraphicsPixBlend, ModesAndWeights)
{
  struct Case
  {
    const IChannelBlend* blend;
    float weight;
    int mode, rotatedMode;
  };
  const IChannelBlend none(IChannelBlend::kBlendNone, 0.3f), clobber(IChannelBlend::kBlendClobber, 0.5f),
    add(IChannelBlend::kBlendAdd, 1.0f), dodge(IChannelBlend::kBlendColorDodge, 0.75f),
    other((IChannelBlend::EBlendKind)9, 0.6f);
  for (const Case& c : { Case{ nullptr, 1.0f, 0x10000, 0x10100 }, Case{ &none, 0.3f, 0x10000, 0x10100 },
                         Case{ &clobber, 0.5f, 0, 0x100 }, Case{ &add, 1.0f, 0x10001, 0x10101 },
                         Case{ &dodge, 0.75f, 0x10002, 0x10102 }, Case{ &other, 0.6f, 0x10000, 0x10100 } })
  {
    float w = 0;
    EXPECT_EQ(IGraphicsPix::BlendMode(c.blend, false, &w), c.mode);
    EXPECT_EQ(w, c.weight);
    EXPECT_EQ(IGraphicsPix::BlendMode(c.blend, true, &w), c.rotatedMode);
  }
}

TEST_F(PixTest, BitmapInEveryBlend)
{
  std::unique_ptr<PIX_MemBitmap> src(MakeTestStrip(6, 5, 2, 1));  // alpha ramps from 0 to 255
  IBitmap bmp(src.get(), 6, 10, 2);
  mGraphics->SetDrawRECT(IRECT(0, 0, 16, 12));
  const IChannelBlend blends[] = { { IChannelBlend::kBlendNone, 1.0f },       { IChannelBlend::kBlendNone, 0.5f },
                                   { IChannelBlend::kBlendClobber, 1.0f },    { IChannelBlend::kBlendClobber, 0.3f },
                                   { IChannelBlend::kBlendAdd, 0.8f },        { IChannelBlend::kBlendColorDodge, 1.0f },
                                   { (IChannelBlend::EBlendKind)7, 0.9f } };
  for (int i = -1; i < (int)(sizeof(blends) / sizeof(blends[0])); ++i)
  {
    const IChannelBlend* b = i < 0 ? nullptr : &blends[i];
    PIX_Copy(mGraphics->GetDrawBitmap(), mBg.get());
    IRECT dest(3, 4, 9, 9);
    mGraphics->DrawBitmap(&bmp, &dest, 2, b);  // frame 2 starts at source row 5
    float weight;
    const int mode = IGraphicsPix::BlendMode(b, false, &weight);
    auto expected = Expected(src.get(), 3, 4, 0, 5, 6, 5, weight, mode);
    EXPECT_EQ(PIX_BitmapCmp(mGraphics->GetDrawBitmap(), expected.get()), 0) << "blend " << i;
  }
  // Spot checks that do not lean on the library: clobber copies, source alpha 0 keeps the back.
  PIX_Copy(mGraphics->GetDrawBitmap(), mBg.get());
  IRECT dest(3, 4, 9, 9);
  const IChannelBlend clobber(IChannelBlend::kBlendClobber);
  mGraphics->DrawBitmap(&bmp, &dest, 1, &clobber);
  EXPECT_EQ(mGraphics->Pixel(3, 4), src->getBits()[0]);
  EXPECT_EQ(mGraphics->Pixel(8, 8), src->getBits()[4 * 6 + 5]);
  EXPECT_EQ(mGraphics->Pixel(9, 8), mBg->getBits()[8 * 16 + 9]);
  PIX_Copy(mGraphics->GetDrawBitmap(), mBg.get());
  mGraphics->DrawBitmap(&bmp, &dest, 1, nullptr);
  EXPECT_EQ(mGraphics->Pixel(3, 4), mBg->getBits()[4 * 16 + 3]);  // top row fully transparent
  EXPECT_EQ(mGraphics->Pixel(3, 8) >> 8, src->getBits()[4 * 6] >> 8);  // bottom row opaque
}

TEST_F(PixTest, BitmapDrawingClipsToTheDrawingPass)
{
  std::unique_ptr<PIX_MemBitmap> src(MakeTestOpaque(10, 10, 9));
  IBitmap bmp(src.get(), 10, 10, 1);
  const IChannelBlend clobber(IChannelBlend::kBlendClobber);
  struct Case
  {
    IRECT drawRect, dest;
    int srcX, srcY;
    int bx, by, bsx, bsy, bw, bh;  // the blit that should result
  };
  for (const Case& c : {
         Case{ IRECT(5, 0, 7, 20), IRECT(1, 1, 11, 11), 0, 0, 5, 1, 4, 0, 2, 10 },
         Case{ IRECT(5, 0, 7, 20), IRECT(1, 1, 11, 11), 2, 3, 5, 1, 6, 3, 2, 10 },
         Case{ IRECT(0, 0, 16, 12), IRECT(-3, -2, 7, 8), 0, 0, 0, 0, 3, 2, 7, 8 },
         Case{ IRECT(), IRECT(1, 1, 11, 11), 0, 0, 0, 0, 0, 0, 0, 0 },            // before any pass
         Case{ IRECT(11, 0, 16, 12), IRECT(1, 1, 11, 11), 0, 0, 11, 1, 10, 0, 0, 10 },  // touching: width 0
       })
  {
    PIX_Copy(mGraphics->GetDrawBitmap(), mBg.get());
    mGraphics->SetDrawRECT(c.drawRect);
    IRECT dest = c.dest;
    mGraphics->DrawBitmap(&bmp, &dest, c.srcX, c.srcY, &clobber);
    auto expected = Expected(src.get(), c.bx, c.by, c.bsx, c.bsy, c.bw, c.bh, 1.0f, 0);
    EXPECT_EQ(PIX_BitmapCmp(mGraphics->GetDrawBitmap(), expected.get()), 0) << c.drawRect.L << " " << c.dest.L;
  }
}

TEST_F(PixTest, FillsPointsAndPixels)
{
  const IColor c(255, 10, 20, 30);
  IRECT r(2, 3, 6, 5);
  mGraphics->FillIRect(&c, &r);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x)
      EXPECT_EQ(mGraphics->Pixel(x, y), r.Contains(x, y) ? IColorToPixel(c) : mBg->getBits()[y * 16 + x]) << x << "," << y;
  EXPECT_EQ(mGraphics->GetPoint(3, 3), c);
  EXPECT_EQ(mGraphics->GetPoint(-1, 3), COLOR_TRANSPARENT);

  const IChannelBlend clobber(IChannelBlend::kBlendClobber);
  mGraphics->DrawPoint(&COLOR_WHITE, 7.4f, 8.6f, &clobber);  // rounds to (7, 9)
  EXPECT_EQ(mGraphics->GetPoint(7, 9), COLOR_WHITE);
  mGraphics->DrawPoint(&COLOR_WHITE, std::nanf(""), 1.0f, &clobber);
  mGraphics->DrawPoint(&COLOR_WHITE, 1e30f, -1e30f, &clobber);

  mGraphics->ForcePixel(&COLOR_RED, 15, 11);
  EXPECT_EQ(mGraphics->Pixel(15, 11), IColorToPixel(COLOR_RED));
  EXPECT_EQ(mGraphics->GetData(), (void*)mGraphics->GetDrawBitmap()->getBits());
}

// The direct stores clip to the back buffer, check for it, and step rows by its row span, which
// exceeds the width once the buffer has shrunk.
TEST_F(PixTest, DirectStoresClipAndUseTheRowSpan)
{
  PIX_SysBitmap* back = mGraphics->GetDrawBitmap();
  back->resize(10, 8);
  ASSERT_GT(back->getRowSpan(), back->getWidth());
  PIX_Clear(back, 0);
  const int span = back->getRowSpan();
  const std::vector<PIX_PixelValue> before(back->getBits(), back->getBits() + span * 8);
  const PIX_PixelValue red = IColorToPixel(COLOR_RED), blue = IColorToPixel(COLOR_BLUE);
  mGraphics->DrawVerticalLine(&COLOR_RED, 3, -5, 100);
  mGraphics->DrawHorizontalLine(&COLOR_BLUE, 200, -10, 4);
  for (int xy : { -1, 10, 1000 }) mGraphics->ForcePixel(&COLOR_GREEN, xy, 2), mGraphics->ForcePixel(&COLOR_GREEN, 2, xy);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x)
    {
      PIX_PixelValue want = 0;
      if (y == 7 && x <= 4) want = blue;
      else if (x == 3) want = red;
      EXPECT_EQ(mGraphics->Pixel(x, y), want) << x << "," << y;
    }
  // Nothing beyond the width in the row span was touched.
  for (int y = 0; y < 8; ++y)
    for (int x = 10; x < span; ++x) EXPECT_EQ(back->getBits()[y * span + x], before[y * span + x]) << x << "," << y;

  // No back buffer yet: nothing happens.
  TestGraphics bare(&mPlug, 8, 8);
  EXPECT_TRUE(bare.ForcePixel(&COLOR_RED, 1, 1));
  EXPECT_TRUE(bare.DrawVerticalLine(&COLOR_RED, 1, 0, 7));
  EXPECT_TRUE(bare.DrawHorizontalLine(&COLOR_RED, 1, 0, 7));
  EXPECT_EQ(bare.GetData(), nullptr);
}

TEST(IGraphicsPixLines, OutOfRangeLinesLieOnTheNearestEdge)
{
  FakePlug plug;
  TestGraphics g(&plug, 800, 400);
  g.PrepDraw();
  g.DrawHorizontalLine(&COLOR_RED, -5, -10, 10000);
  for (int x = 0; x < 800; ++x) ASSERT_EQ(g.Pixel(x, 0), IColorToPixel(COLOR_RED)) << x;
  EXPECT_EQ(g.Pixel(0, 1), 0u);
  g.DrawVerticalLine(&COLOR_BLUE, 5000, 10, 5);  // yLo above yHi: nothing
  EXPECT_EQ(g.Pixel(799, 7), 0u);
}

TEST_F(PixTest, OutlinesAndFractionLines)
{
  PIX_Clear(mGraphics->GetDrawBitmap(), 0);
  IRECT r(2, 2, 6, 5);
  EXPECT_TRUE(mGraphics->DrawRect(&COLOR_WHITE, &r));
  // The right and bottom lines lie on R and B, outside the rectangle's exclusive edges.
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
    {
      const bool on = (x >= 2 && x <= 6 && (y == 2 || y == 5)) || (y >= 2 && y <= 5 && (x == 2 || x == 6));
      EXPECT_EQ(mGraphics->Pixel(x, y), on ? IColorToPixel(COLOR_WHITE) : 0u) << x << "," << y;
    }

  PIX_Clear(mGraphics->GetDrawBitmap(), 0);
  IRECT area(0, 0, 10, 10);
  struct Case
  {
    float f;
    int at;
  };
  for (const Case& c : { Case{ 0.0f, 0 }, Case{ 0.55f, 5 }, Case{ 1.0f, 10 }, Case{ -3.0f, 0 }, Case{ 7.0f, 10 },
                         Case{ std::nanf(""), 0 } })
  {
    PIX_Clear(mGraphics->GetDrawBitmap(), 0);
    mGraphics->DrawVerticalLine(&COLOR_RED, &area, c.f);
    EXPECT_EQ(mGraphics->Pixel(std::min(c.at, 15), 4), IColorToPixel(COLOR_RED)) << c.f;
    PIX_Clear(mGraphics->GetDrawBitmap(), 0);
    mGraphics->DrawHorizontalLine(&COLOR_RED, &area, c.f);  // 0 is the bottom edge
    EXPECT_EQ(mGraphics->Pixel(4, std::min(10 - c.at, 11)), IColorToPixel(COLOR_RED)) << c.f;
  }
}

TEST_F(PixTest, RotatedBitmapIsPlacedByItsCentre)
{
  FakePlug plug;
  TestGraphics g(&plug, 200, 200);
  g.PrepDraw();
  std::unique_ptr<PIX_MemBitmap> bg(MakeTestOpaque(200, 200, 1)), src(MakeTestOpaque(51, 51, 2));
  IBitmap img(src.get(), 51, 51, 1);
  struct Case
  {
    double angle;
    int yOffset;
    IChannelBlend blend;
  };
  for (const Case& c : { Case{ 0.0, 0, IChannelBlend(IChannelBlend::kBlendClobber) },
                         Case{ 0.7, 0, IChannelBlend(IChannelBlend::kBlendNone, 0.5f) },
                         Case{ -2.0, 6, IChannelBlend(IChannelBlend::kBlendAdd) } })
  {
    PIX_Copy(g.GetDrawBitmap(), bg.get());
    g.DrawRotatedBitmap(&img, 100, 100, c.angle, c.yOffset, &c.blend);
    PIX_MemBitmap expected;
    PIX_Copy(&expected, bg.get());
    float w;
    const int mode = IGraphicsPix::BlendMode(&c.blend, true, &w);
    PIX_RotatedBlit(&expected, src.get(), 75, 75, 51, 51, 0, 0, 51, 51, (float)c.angle, false, w, mode, 0, (float)c.yOffset);
    EXPECT_EQ(PIX_BitmapCmp(g.GetDrawBitmap(), &expected), 0) << c.angle;
    EXPECT_EQ(w, c.blend.mWeight);
    EXPECT_EQ(mode & PIX_MODE_FILTERBILINEAR, PIX_MODE_FILTERBILINEAR);
  }
  // Unturned, the image lands with its top-left corner at (75, 75); nothing outside it changes.
  PIX_Copy(g.GetDrawBitmap(), bg.get());
  const IChannelBlend clobber(IChannelBlend::kBlendClobber);
  g.DrawRotatedBitmap(&img, 100, 100, 0.0, 0, &clobber);
  for (int y = 70; y < 130; ++y)
    for (int x = 70; x < 130; ++x)
    {
      const bool inside = x >= 75 && x < 126 && y >= 75 && y < 126;
      EXPECT_EQ(g.Pixel(x, y), inside ? src->getBits()[(y - 75) * 51 + x - 75] : bg->getBits()[y * 200 + x]) << x << "," << y;
    }
}

namespace
{
// A knob of three images: opaque base colours, a black mask whose alpha is given per pixel, and a
// top image (transparent unless asked).
struct MaskKnob
{
  MaskKnob(int w, int h, int (*maskAlpha)(int x, int y), bool opaqueTopCentre = false)
    : base(MakeTestOpaque(w, h, 4)), mask(new PIX_MemBitmap(w, h)), top(new PIX_MemBitmap(w, h))
  {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
      {
        mask->getBits()[y * w + x] = TestPixel(maskAlpha(x, y), 0, 0, 0);
        if (opaqueTopCentre && x == w / 2 && y == h / 2) top->getBits()[y * w + x] = TestPixel(255, 1, 2, 3);
      }
  }
  IBitmap B() { return IBitmap(base.get(), base->getWidth(), base->getHeight(), 1); }
  IBitmap M() { return IBitmap(mask.get(), mask->getWidth(), mask->getHeight(), 1); }
  IBitmap T() { return IBitmap(top.get(), top->getWidth(), top->getHeight(), 1); }
  std::unique_ptr<PIX_MemBitmap> base, mask, top;
};

int AlphaOfPixel(PIX_PixelValue p) { return (int)(p & 255); }
}  // namespace

TEST_F(PixTest, RotatedMaskComposesBaseMaskAndTop)
{
  FakePlug plug;
  TestGraphics g(&plug, 80, 80);
  g.PrepDraw();
  g.SetDrawRECT(IRECT(0, 0, 80, 80));
  const IChannelBlend clobber(IChannelBlend::kBlendClobber);

  // Unturned: the base's colours everywhere, its alpha from the mask, the top laid over.
  MaskKnob flat(32, 32, [](int x, int) { return 8 * x; }, true);
  IBitmap b = flat.B(), m = flat.M(), t = flat.T();
  g.DrawRotatedMask(&b, &m, &t, 10, 20, 0.0, &clobber);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
    {
      const PIX_PixelValue got = g.Pixel(10 + x, 20 + y);
      if (x == 16 && y == 16)
      {
        EXPECT_EQ(got >> 8, TestPixel(0, 1, 2, 3) >> 8);
        continue;
      }
      ASSERT_EQ(got >> 8, flat.base->getBits()[y * 32 + x] >> 8) << x << "," << y;
      EXPECT_EQ(AlphaOfPixel(got) > 0, x > 1) << x;  // the mask's alpha, weighted by itself
    }

  // Half a turn takes the mask's opaque top half to the bottom.
  MaskKnob half(32, 32, [](int, int y) { return y < 16 ? 255 : 0; });
  b = half.B(), m = half.M(), t = half.T();
  g.DrawRotatedMask(&b, &m, &t, 40, 40, 180.0, &clobber);
  for (int x = 4; x < 28; ++x)
  {
    EXPECT_EQ(AlphaOfPixel(g.Pixel(40 + x, 40 + 4)), 0) << x;
    EXPECT_GT(AlphaOfPixel(g.Pixel(40 + x, 40 + 27)), 200) << x;
  }
}

TEST_F(PixTest, RotatedMaskTurnsAboutTheCentreAndClipsToThePass)
{
  FakePlug plug;
  TestGraphics g(&plug, 80, 80);
  g.PrepDraw();
  std::unique_ptr<PIX_MemBitmap> bg(MakeTestOpaque(80, 80, 5));
  struct Case
  {
    int w;
    double degrees;
    IChannelBlend blend;
    IRECT drawRect;
  };
  for (const Case& c : { Case{ 31, 30.0, IChannelBlend(), IRECT(0, 0, 80, 80) },
                         Case{ 32, 30.0, IChannelBlend(), IRECT(0, 0, 80, 80) },
                         Case{ 31, -75.0, IChannelBlend(IChannelBlend::kBlendAdd, 0.5f), IRECT(20, 10, 30, 60) },
                         Case{ 32, 200.0, IChannelBlend(IChannelBlend::kBlendClobber), IRECT(0, 0, 0, 0) } })
  {
    MaskKnob k(c.w, 24, [](int x, int y) { return (x * 7 + y * 3) & 255; }, true);
    IBitmap b = k.B(), m = k.M(), t = k.T();
    PIX_Copy(g.GetDrawBitmap(), bg.get());
    g.SetDrawRECT(c.drawRect);
    g.DrawRotatedMask(&b, &m, &t, 12, 15, c.degrees, &c.blend);

    // The composite as the raster library makes it: an odd width turns half a pixel left of
    // the centre, so that the picture stays on whole pixels.
    PIX_MemBitmap scratch;
    PIX_Copy(&scratch, k.base.get());
    PIX_ClearRect(&scratch, 0, 0, c.w, 24, 0xFFFFFF00, 0);
    const float a = (float)(3.141592653589793 * c.degrees / 180.0), dx = c.w % 2 ? -0.5f : 0.0f;
    PIX_RotatedBlit(&scratch, k.mask.get(), 0, 0, c.w, 24, 0, 0, (float)c.w, 24, a, true, 1.0f, 0x10101, dx, 0);
    PIX_RotatedBlit(&scratch, k.top.get(), 0, 0, c.w, 24, 0, 0, (float)c.w, 24, a, true, 1.0f, 0x10100, dx, 0);
    PIX_MemBitmap expected;
    PIX_Copy(&expected, bg.get());
    const IRECT r = IRECT(12, 15, 12 + c.w, 39).Intersect(c.drawRect);
    float w;
    const int mode = IGraphicsPix::BlendMode(&c.blend, false, &w);
    PIX_Blit(&expected, &scratch, r.L, r.T, r.L - 12, r.T - 15, r.W(), r.H(), w, mode);
    EXPECT_EQ(PIX_BitmapCmp(g.GetDrawBitmap(), &expected), 0) << c.w << " " << c.degrees;
    // Nothing outside the pass changed.
    for (int y = 0; y < 80; y += 3)
      for (int x = 0; x < 80; x += 3)
      {
        if (c.drawRect.Contains(x, y)) continue;
        ASSERT_EQ(g.Pixel(x, y), bg->getBits()[y * 80 + x]) << x << "," << y;
      }
  }
}


TEST_F(PixTest, LinesArcsAndCircles)
{
  const PIX_PixelValue white = IColorToPixel(COLOR_WHITE);
  const IChannelBlend clobber(IChannelBlend::kBlendClobber);
  // Float end points are truncated toward zero before the integer line.
  PIX_Clear(mGraphics->GetDrawBitmap(), 0);
  mGraphics->DrawLine(&COLOR_WHITE, 1.9f, 2.9f, 6.7f, 2.2f, &clobber, false);
  mGraphics->DrawLine(&COLOR_WHITE, -0.7f, 5.0f, -0.2f, 8.9f, &clobber, true);  // aa on a straight line: the plain span
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x)
    {
      const bool on = (y == 2 && x >= 1 && x <= 6) || (x == 0 && y >= 5 && y <= 8);
      EXPECT_EQ(mGraphics->Pixel(x, y), on ? white : 0u) << x << "," << y;
    }
  // Lines with coordinates that are not numbers draw nothing; far ones are clipped.
  PIX_Clear(mGraphics->GetDrawBitmap(), 0);
  mGraphics->DrawLine(&COLOR_WHITE, std::nanf(""), 1.0f, 3.0f, 3.0f, &clobber);
  mGraphics->DrawLine(&COLOR_WHITE, 1.0f, INFINITY, 3.0f, 3.0f, &clobber);
  EXPECT_EQ(mGraphics->Pixel(3, 3), 0u);
  mGraphics->DrawLine(&COLOR_WHITE, -1e12f, 4.0f, 1e12f, 4.0f, &clobber);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(mGraphics->Pixel(x, 4), white) << x;

  // The radial line: angle 0 points up, a quarter turn to the right.
  PIX_Clear(mGraphics->GetDrawBitmap(), 0);
  mGraphics->DrawRadialLine(&COLOR_WHITE, 8.0f, 6.0f, 0.0f, 2.0f, 5.0f, &clobber);
  for (int y = 0; y < 12; ++y) EXPECT_EQ(mGraphics->Pixel(8, y), y >= 1 && y <= 4 ? white : 0u) << y;
  PIX_Clear(mGraphics->GetDrawBitmap(), 0);
  mGraphics->DrawRadialLine(&COLOR_WHITE, 8.0f, 6.0f, (float)(3.141592653589793 / 2), 1.0f, 6.0f, &clobber);
  EXPECT_EQ(mGraphics->Pixel(9, 6), white);
  EXPECT_EQ(mGraphics->Pixel(13, 6), white);
  EXPECT_EQ(mGraphics->Pixel(8, 6), 0u);

  // Arcs and circles go to the raster library with the blend's weight and mode.
  struct Case
  {
    IChannelBlend blend;
    bool aa;
  };
  for (const Case& c : { Case{ IChannelBlend(IChannelBlend::kBlendClobber), false },
                         Case{ IChannelBlend(IChannelBlend::kBlendNone, 0.5f), true },
                         Case{ IChannelBlend(IChannelBlend::kBlendAdd, 0.7f), false } })
  {
    float w;
    const int mode = IGraphicsPix::BlendMode(&c.blend, false, &w);
    PIX_MemBitmap expected;
    PIX_Copy(mGraphics->GetDrawBitmap(), mBg.get());
    PIX_Copy(&expected, mBg.get());
    mGraphics->DrawCircle(&COLOR_ORANGE, 7.5f, 6.0f, 4.2f, &c.blend, c.aa);
    PIX_Circle(&expected, 7.5f, 6.0f, 4.2f, IColorToPixel(COLOR_ORANGE), w, mode, c.aa);
    mGraphics->DrawArc(&COLOR_BLUE, 8.0f, 6.0f, 5.0f, -1.0f, 2.0f, &c.blend, c.aa);
    PIX_Arc(&expected, 8.0f, 6.0f, 5.0f, -1.0f, 2.0f, IColorToPixel(COLOR_BLUE), w, mode, c.aa);
    EXPECT_EQ(PIX_BitmapCmp(mGraphics->GetDrawBitmap(), &expected), 0) << c.blend.mMethod;
  }
  PIX_Clear(mGraphics->GetDrawBitmap(), 0);
  mGraphics->DrawCircle(&COLOR_WHITE, 8.0f, 6.0f, 4.0f, &clobber);
  EXPECT_EQ(mGraphics->Pixel(8, 6), 0u);  // an outline
  EXPECT_NE(mGraphics->Pixel(8, 2), 0u);
  EXPECT_NE(mGraphics->Pixel(12, 6), 0u);
}
