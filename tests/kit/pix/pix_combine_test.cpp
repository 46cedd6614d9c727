// The combiners against hand-computed values and against the independent model, over every source
// and destination byte at several weights; the table, the pixel builder and the filters.

#include <gtest/gtest.h>

#include <cmath>
#include <typeinfo>

#include "pix.h"
#include "pix_reference.h"

namespace
{
typedef void (*DoPix)(unsigned char*, int, int, int, int, int);

struct ClassCase
{
  const char* name;
  DoPix fn;
  ref::Kind kind;
  bool sourceAlpha;
};

const ClassCase kClasses[] = {
  {"Copy", _PIX_CombinePixelsCopy::doPix, ref::Copy, false},
  {"Add", _PIX_CombinePixelsAdd::doPix, ref::Add, false},
  {"Mul", _PIX_CombinePixelsMul::doPix, ref::Mul, false},
  {"ColorDodge", _PIX_CombinePixelsColorDodge::doPix, ref::Dodge, false},
  {"Overlay", _PIX_CombinePixelsOverlay::doPix, ref::Overlay, false},
  {"HSVAdjust", _PIX_CombinePixelsHSVAdjust::doPix, ref::HSV, false},
  {"Clobber", _PIX_CombinePixelsClobber::doPix, ref::Clobber, false},
  {"HalfMix", _PIX_CombinePixelsHalfMix::doPix, ref::HalfMix, false},
  {"CopySourceAlpha", _PIX_CombinePixelsCopySourceAlpha::doPix, ref::Copy, true},
  {"CopySourceAlphaIgnoreAlphaParm", _PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm::doPix, ref::CopyIgnore, true},
  {"AddSourceAlpha", _PIX_CombinePixelsAddSourceAlpha::doPix, ref::Add, true},
  {"MulSourceAlpha", _PIX_CombinePixelsMulSourceAlpha::doPix, ref::Mul, true},
  {"ColorDodgeSourceAlpha", _PIX_CombinePixelsColorDodgeSourceAlpha::doPix, ref::Dodge, true},
  {"OverlaySourceAlpha", _PIX_CombinePixelsOverlaySourceAlpha::doPix, ref::Overlay, true},
  {"HSVAdjustSourceAlpha", _PIX_CombinePixelsHSVAdjustSourceAlpha::doPix, ref::HSV, true},
};

uint32_t Apply(DoPix fn, uint32_t d, int r, int g, int b, int a, int w)
{
  unsigned char p[4] = {(unsigned char)(d & 0xff), (unsigned char)(d >> 8), (unsigned char)(d >> 16), (unsigned char)(d >> 24)};
  fn(p, r, g, b, a, w);
  return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}

// Destination bytes (a, r, g, b) and the source values, as the tables below write them.
uint32_t Px(int a, int r, int g, int b) { return (uint32_t)a | r << 8 | g << 16 | (uint32_t)b << 24; }
}  // namespace

TEST(PixCombine, HandComputedValues)
{
  struct Case
  {
    DoPix fn;
    uint32_t dest;
    int r, g, b, a, w;
    uint32_t expect;
  } cases[] = {
    // copy: weight 256 stores the source, 0 leaves the destination, 128 of 255 over 0 is 127
    {_PIX_CombinePixelsCopy::doPix, Px(9, 8, 7, 6), 10, 20, 30, 40, 256, Px(40, 10, 20, 30)},
    {_PIX_CombinePixelsCopy::doPix, Px(9, 8, 7, 6), 10, 20, 30, 40, 0, Px(9, 8, 7, 6)},
    {_PIX_CombinePixelsCopy::doPix, Px(0, 0, 0, 0), 255, 255, 255, 255, 128, Px(127, 127, 127, 127)},
    // add: 200 at 256 onto 100 saturates, at -256 it takes everything away
    {_PIX_CombinePixelsAdd::doPix, Px(100, 100, 100, 100), 200, 200, 200, 200, 256, Px(255, 255, 255, 255)},
    {_PIX_CombinePixelsAdd::doPix, Px(100, 100, 100, 100), 200, 200, 200, 200, -256, Px(0, 0, 0, 0)},
    {_PIX_CombinePixelsAdd::doPix, Px(10, 10, 10, 10), 100, 50, 3, 0, 128, Px(10, 60, 35, 11)},
    // multiply: 0 at 256 gives 0; 255 at 256 gives d * 65280 / 65536 (200 -> 199)
    {_PIX_CombinePixelsMul::doPix, Px(200, 200, 200, 200), 0, 0, 0, 0, 256, Px(0, 0, 0, 0)},
    {_PIX_CombinePixelsMul::doPix, Px(200, 200, 200, 200), 255, 255, 255, 255, 256, Px(199, 199, 199, 199)},
    // dodge: 255 at 256 turns non-zero bytes to 255 and keeps 0; 128 at 256 on 100 is 200
    {_PIX_CombinePixelsColorDodge::doPix, Px(0, 1, 100, 0), 255, 255, 255, 255, 256, Px(0, 255, 255, 0)},
    {_PIX_CombinePixelsColorDodge::doPix, Px(100, 100, 100, 100), 128, 128, 128, 128, 256, Px(200, 200, 200, 200)},
    // overlay at weight 0 leaves 100; at 256 with s 0 and d 100: 100 * (100 * 32768 / 256 + 0) / 32768 = 39
    {_PIX_CombinePixelsOverlay::doPix, Px(100, 100, 100, 100), 0, 77, 255, 3, 0, Px(100, 100, 100, 100)},
    {_PIX_CombinePixelsOverlay::doPix, Px(100, 100, 100, 100), 0, 0, 0, 0, 256, Px(39, 39, 39, 39)},
    // half mix ignores the weight; clobber stores the clamped source
    {_PIX_CombinePixelsHalfMix::doPix, Px(1, 100, 255, 0), 2, 51, 0, 255, 17, Px(128, 51, 153, 0)},
    {_PIX_CombinePixelsClobber::doPix, Px(1, 2, 3, 4), 300, -5, 128, 255, 0, Px(255, 255, 0, 128)},
    // copy by source alpha alone: alpha 128 over alpha 0 gives 129 * 129 / 256 = 65
    {_PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm::doPix, Px(0, 0, 0, 0), 255, 0, 100, 128, 9, Px(65, 128, 0, 50)},
    {_PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm::doPix, Px(7, 7, 7, 7), 1, 2, 3, 255, 0, Px(255, 1, 2, 3)},
    {_PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm::doPix, Px(7, 7, 7, 7), 1, 2, 3, 0, 256, Px(7, 7, 7, 7)},
    // source alpha 0: copy, add and multiply skip; overlay still blends with weight w / 256
    {_PIX_CombinePixelsCopySourceAlpha::doPix, Px(5, 6, 7, 8), 255, 255, 255, 0, 256, Px(5, 6, 7, 8)},
    {_PIX_CombinePixelsAddSourceAlpha::doPix, Px(5, 6, 7, 8), 255, 255, 255, 0, 256, Px(5, 6, 7, 8)},
    {_PIX_CombinePixelsMulSourceAlpha::doPix, Px(5, 6, 7, 8), 0, 0, 0, 0, 256, Px(5, 6, 7, 8)},
    // overlay, weight (0 + 1) * 256 / 256 = 1, s 0 on d 200: t = 255 * 128 = 32640;
    // 200 * (200 * 128 / 256 + 32640) / 32768 = 200 * 32740 / 32768 = 199
    {_PIX_CombinePixelsOverlaySourceAlpha::doPix, Px(200, 200, 200, 200), 0, 0, 0, 0, 256, Px(199, 199, 199, 199)},
    // source alpha 127 at weight 256: copy with weight 128
    {_PIX_CombinePixelsCopySourceAlpha::doPix, Px(0, 0, 0, 0), 255, 255, 255, 127, 256, Px(63, 127, 127, 127)},
    // HSV: no shift leaves grey alone; blue 255 raises the value by 127 (alpha byte takes a)
    {_PIX_CombinePixelsHSVAdjust::doPix, Px(9, 100, 100, 100), 128, 128, 128, 33, 256, Px(33, 100, 100, 100)},
    {_PIX_CombinePixelsHSVAdjust::doPix, Px(9, 100, 100, 100), 128, 128, 255, 33, 256, Px(33, 227, 227, 227)},
    // HSV on pure red (V 255, D 255, S 255): hue 0; red 170 shifts by 170 + 85 - 192 = 63 -> sector 0,
    // green f(1) = 255 * (16384 - 255) / 16384 = 251, blue p = 255 * 1 / 256 = 0
    {_PIX_CombinePixelsHSVAdjust::doPix, Px(0, 255, 0, 0), 170, 128, 128, 255, 256, Px(255, 255, 251, 0)},
  };
  for (const Case& c : cases)
  {
    EXPECT_EQ(Apply(c.fn, c.dest, c.r, c.g, c.b, c.a, c.w), c.expect)
      << std::hex << "dest " << c.dest << " src " << std::dec << c.r << "," << c.g << "," << c.b << "," << c.a << " w " << c.w;
  }
}

TEST(PixCombine, EveryByteAgainstTheModel)
{
  const int weights[] = {0, 1, 77, 128, 200, 255, 256, 300, -100, 1024, -1024};
  for (const ClassCase& cc : kClasses)
  {
    int mismatches = 0;
    for (int w : weights)
      for (int s = 0; s < 256; ++s)
        for (int d = 0; d < 256; ++d)
        {
          // Four different pairings in one pixel; alpha takes the source value so the
          // source-alpha forms see every alpha.
          const uint32_t dest = Px(d, 255 - d, (d * 7) & 255, (d + 128) & 255);
          const int r = s, g = 255 - s, b = (s * 3) & 255, a = s;
          const uint32_t got = Apply(cc.fn, dest, r, g, b, a, w);
          const uint32_t want = ref::word(ref::combine(cc.kind, cc.sourceAlpha, ref::bytes(dest), r, g, b, a, w));
          if (got != want && mismatches++ < 5)
            ADD_FAILURE() << cc.name << " w " << w << " s " << s << " d " << d << std::hex << " got " << got << " want " << want;
        }
    EXPECT_EQ(mismatches, 0) << cc.name;
  }
}

TEST(PixCombine, WeightZeroLeavesTheDestination)
{
  const DoPix keep[] = {_PIX_CombinePixelsCopy::doPix, _PIX_CombinePixelsAdd::doPix, _PIX_CombinePixelsMul::doPix,
                        _PIX_CombinePixelsColorDodge::doPix, _PIX_CombinePixelsOverlay::doPix,
                        _PIX_CombinePixelsCopySourceAlpha::doPix, _PIX_CombinePixelsAddSourceAlpha::doPix,
                        _PIX_CombinePixelsMulSourceAlpha::doPix, _PIX_CombinePixelsColorDodgeSourceAlpha::doPix,
                        _PIX_CombinePixelsOverlaySourceAlpha::doPix};
  for (DoPix fn : keep)
    for (int s = 0; s < 256; s += 3)
      for (int d = 0; d < 256; ++d)
      {
        const uint32_t dest = Px(d, d ^ 0x55, 255 - d, d / 2);
        ASSERT_EQ(Apply(fn, dest, s, 255 - s, s / 3, s, 0), dest) << s << " " << d;
      }
}

TEST(PixCombine, TransparentSourceSkipsForCopyAddAndMultiplyOnly)
{
  const uint32_t dest = Px(10, 20, 30, 40);
  for (int w : {1, 128, 256, 1000})
  {
    EXPECT_EQ(Apply(_PIX_CombinePixelsCopySourceAlpha::doPix, dest, 255, 0, 255, 0, w), dest);
    EXPECT_EQ(Apply(_PIX_CombinePixelsAddSourceAlpha::doPix, dest, 255, 255, 255, 0, w), dest);
    EXPECT_EQ(Apply(_PIX_CombinePixelsMulSourceAlpha::doPix, dest, 0, 0, 0, 0, w), dest);
    EXPECT_EQ(Apply(_PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm::doPix, dest, 0, 0, 0, 0, w), dest);
  }
  // The HSV form has no test: with a transparent source the alpha byte still becomes 0.
  EXPECT_EQ(Apply(_PIX_CombinePixelsHSVAdjustSourceAlpha::doPix, dest, 128, 128, 128, 0, 256) & 0xff, 0u);
}

TEST(PixCombine, PackedHalfAgainstCopyAtWeight128)
{
  // The packed form halves each byte before adding: one below the weighted copy exactly when
  // both bytes are odd.
  for (int s = 0; s < 256; ++s)
    for (int d = 0; d < 256; ++d)
    {
      const uint32_t sw = Px(s, d, s, d), dw = Px(d, s, 255 - s, 255 - d);
      const uint32_t packed = _PIX_PackedHalf(sw, dw);
      const uint32_t copy = Apply(_PIX_CombinePixelsCopy::doPix, dw, d, s, d, s, 128);
      for (int i = 0; i < 4; ++i)
      {
        const int pb = (packed >> (8 * i)) & 0xff, cb = (copy >> (8 * i)) & 0xff;
        const int sb = (sw >> (8 * i)) & 0xff, db = (dw >> (8 * i)) & 0xff;
        ASSERT_EQ(cb - pb, (sb & 1) & (db & 1)) << s << " " << d << " byte " << i;
        ASSERT_EQ(pb, sb / 2 + db / 2);
      }
    }
  // White over black at 0.5: 0x7f in every byte, not 0x80.
  EXPECT_EQ(_PIX_PackedHalf(0xffffffffu, 0), 0x7f7f7f7fu);
  // Quarter and three-quarter forms, per byte: d/2 + d/4 + c/4 and c/2 + c/4 + d/4.
  EXPECT_EQ(_PIX_PackedQuarter(0xff000000u, 0x00ff0000u), 0x3f7f0000u + 0x003f0000u);
  EXPECT_EQ(_PIX_PackedThreeQuarter(0x000000ffu, 0x00000003u), 0x7fu + 0x3fu + 0x00u);
}

TEST(PixCombine, ReciprocalTableAndPixelBuilder)
{
  EXPECT_EQ(_PIX_RGB2HSV_invtab[0], 0);
  EXPECT_EQ(_PIX_RGB2HSV_invtab[1], 65535);
  EXPECT_EQ(_PIX_RGB2HSV_invtab[2], 32767);
  EXPECT_EQ(_PIX_RGB2HSV_invtab[3], 21844);
  EXPECT_EQ(_PIX_RGB2HSV_invtab[255], 256);
  for (int i = 1; i < 256; ++i) ASSERT_EQ(_PIX_RGB2HSV_invtab[i], 65536 / i - 1);

  unsigned char p[4] = {1, 2, 3, 4};
  _PIX_MakePixel(p, 300, -5, 128, 255);
  EXPECT_EQ(p[0], 255);
  EXPECT_EQ(p[1], 255);
  EXPECT_EQ(p[2], 0);
  EXPECT_EQ(p[3], 128);
}

TEST(PixCombine, WeightFromAlpha)
{
  EXPECT_EQ(PIX_AlphaToWeight(1.0f), 256);
  EXPECT_EQ(PIX_AlphaToWeight(0.5f), 128);
  EXPECT_EQ(PIX_AlphaToWeight(0.999f), 255);
  EXPECT_EQ(PIX_AlphaToWeight(0.6f), 153);
  EXPECT_EQ(PIX_AlphaToWeight(-1.0f), -256);
  EXPECT_EQ(PIX_AlphaToWeight(-0.001f), 0);  // truncated toward zero
  // Out-of-range opacities are held where the integer rules cannot overflow.
  EXPECT_EQ(PIX_AlphaToWeight(1e30f), 1024);
  EXPECT_EQ(PIX_AlphaToWeight(-1e30f), -1024);
  EXPECT_EQ(PIX_AlphaToWeight(3.9f), 998);
  EXPECT_EQ(PIX_AlphaToWeight(std::nan("")), 0);
}

TEST(PixCombine, HueStaysInRangeForLargeWeights)
{
  // Hue turns of several full circles must wrap into 0..383 rather than index past the sectors;
  // compared with the model, which wraps as often as needed.
  for (int w : {700, 1024, -1024})
    for (int r = 0; r < 256; r += 5)
      for (uint32_t dest : {Px(0, 255, 0, 0), Px(0, 10, 200, 90), Px(0, 30, 60, 250), Px(0, 200, 40, 210)})
      {
        const uint32_t got = Apply(_PIX_CombinePixelsHSVAdjust::doPix, dest, r, 128, 128, 255, w);
        ASSERT_EQ(got, ref::word(ref::hsv(ref::bytes(dest), r, 128, 128, 255, w))) << w << " " << r;
      }
}

TEST(PixCombine, BilinearWeightsSumTo65536)
{
  const unsigned char white[8] = {255, 255, 255, 255, 255, 255, 255, 255};
  for (int xf = 0; xf < 65536; xf += 4099)
    for (int yf = 0; yf < 65536; yf += 3989)
    {
      int r, g, b, a;
      __PIX_BilinearFilterI(&r, &g, &b, &a, white, white, xf, yf);
      ASSERT_EQ(r, 255) << xf << " " << yf;
      ASSERT_EQ(a, 255);
      // Each corner's weight alone, read through a single 255 in one channel of that corner.
      const int c = (int)(((unsigned)xf * (unsigned)yf) >> 16);
      const int wts[4] = {65536 - xf - yf + c, xf - c, yf - c, c};
      ASSERT_EQ(wts[0] + wts[1] + wts[2] + wts[3], 65536);
      for (int corner = 0; corner < 4; ++corner)
      {
        unsigned char top[8] = {0}, bottom[8] = {0};
        unsigned char* px = corner < 2 ? top + 4 * corner : bottom + 4 * (corner - 2);
        px[2] = 255;  // green
        __PIX_BilinearFilterI(&r, &g, &b, &a, top, bottom, xf, yf);
        ASSERT_EQ(g, 255 * wts[corner] / 65536);
        ASSERT_EQ(r + b + a, 0);
      }
    }
  // Halfway both ways over a block of 0, 100, 200, 40 (red): (0 + 100 + 200 + 40) / 4 = 85.
  const unsigned char top[8] = {0, 0, 0, 0, 0, 100, 0, 0}, bottom[8] = {0, 200, 0, 0, 0, 40, 0, 0};
  int r, g, b, a;
  __PIX_BilinearFilterI(&r, &g, &b, &a, top, bottom, 0x8000, 0x8000);
  EXPECT_EQ(r, 85);
}

TEST(PixCombine, LinearFilter)
{
  const unsigned char p[4] = {0, 0, 255, 10}, q[4] = {255, 255, 0, 20};
  int r, g, b, a;
  __PIX_LinearFilterI(&r, &g, &b, &a, p, q, 0);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(g, 255);
  EXPECT_EQ(b, 10);
  __PIX_LinearFilterI(&r, &g, &b, &a, p, q, 0x8000);
  EXPECT_EQ(a, 127);
  EXPECT_EQ(r, 127);
  EXPECT_EQ(g, 127);
  EXPECT_EQ(b, 15);
  __PIX_LinearFilterI(&r, &g, &b, &a, p, q, 0xc000);  // (10 * 16384 + 20 * 49152) / 65536 = 17
  EXPECT_EQ(b, 17);
}

namespace
{
struct Recorder
{
  const std::type_info* chosen = nullptr;
  template <class C>
  void run() { chosen = &typeid(C); }
};
}  // namespace

TEST(PixCombine, TemplateBlitsPickTheirCombinerOncePerCall)
{
  struct Case
  {
    int mode;
    float alpha;
    const std::type_info* expect;  // null: nothing drawn
  } cases[] = {
    {0, 1.0f, &typeid(_PIX_CombinePixelsClobber)},
    {0x100, 1.0f, &typeid(_PIX_CombinePixelsClobber)},
    {0, 0.6f, &typeid(_PIX_CombinePixelsCopy)},
    {0, 0.0f, nullptr},
    {0, -0.5f, nullptr},
    {1, -0.5f, &typeid(_PIX_CombinePixelsAdd)},
    {2, 0.5f, &typeid(_PIX_CombinePixelsColorDodge)},
    {3, 0.5f, &typeid(_PIX_CombinePixelsMul)},
    {4, 0.5f, &typeid(_PIX_CombinePixelsOverlay)},
    {5, 0.5f, &typeid(_PIX_CombinePixelsHSVAdjust)},
    {0x10000, 1.0f, &typeid(_PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm)},
    {0x10000, 0.7f, &typeid(_PIX_CombinePixelsCopySourceAlpha)},
    {0x10001, 1.0f, &typeid(_PIX_CombinePixelsAddSourceAlpha)},
    {0x10002, 1.0f, &typeid(_PIX_CombinePixelsColorDodgeSourceAlpha)},
    {0x10003, 1.0f, &typeid(_PIX_CombinePixelsMulSourceAlpha)},
    {0x10004, 1.0f, &typeid(_PIX_CombinePixelsOverlaySourceAlpha)},
    {0x10105, 1.0f, &typeid(_PIX_CombinePixelsHSVAdjustSourceAlpha)},
    {6, 1.0f, nullptr},
    {0x10006, 1.0f, nullptr},
    {0xf4, 1.0f, nullptr},
  };
  for (const Case& c : cases)
  {
    Recorder rec;
    const bool drew = PIX_DispatchTemplateBlit(c.mode, c.alpha, rec);
    EXPECT_EQ(drew, c.expect != nullptr) << std::hex << c.mode;
    EXPECT_EQ(rec.chosen, c.expect) << std::hex << c.mode;
  }
}
