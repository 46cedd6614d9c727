// Fills, single pixels, colour keys, flood fill, per-channel scale and offset, gradients and glyphs.

#include <gtest/gtest.h>

#include <vector>

#include "TestBitmaps.h"
#include "pix.h"
#include "pix_reference.h"

namespace
{
uint32_t Lcg(uint32_t& s)
{
  s = s * 1664525u + 1013904223u;
  return s;
}

void FillRandom(PIX_IBitmap& bm, uint32_t seed)
{
  for (int y = 0; y < bm.getHeight(); ++y)
    for (int x = 0; x < bm.getWidth(); ++x) bm.getBits()[y * bm.getRowSpan() + x] = Lcg(seed);
}

std::vector<uint32_t> Pixels(PIX_IBitmap& bm)
{
  std::vector<uint32_t> v;
  for (int y = 0; y < bm.getHeight(); ++y)
    for (int x = 0; x < bm.getWidth(); ++x) v.push_back(bm.getBits()[y * bm.getRowSpan() + x]);
  return v;
}

// A bitmap that reports a size but has no memory, as after a failed allocation.
class NoPixels : public PIX_IBitmap
{
public:
  PIX_PixelValue* getBits() override { return nullptr; }
  int getWidth() override { return 4; }
  int getHeight() override { return 3; }
  int getRowSpan() override { return 4; }
  bool resize(int, int) override { return false; }
};

const ref::Kind kKinds[] = {ref::Copy, ref::Add, ref::Dodge, ref::Mul, ref::Overlay, ref::HSV};

// The model of the packed copy forms at the exact opacities.
bool RefPacked(float alpha, uint32_t c, uint32_t& d)
{
  if (alpha == 1.0f) d = c;
  else if (alpha == 0.5f) d = ((c >> 1) & 0x7f7f7f7f) + ((d >> 1) & 0x7f7f7f7f);
  else if (alpha == 0.25f) d = ((d >> 1) & 0x7f7f7f7f) + ((d >> 2) & 0x3f3f3f3f) + ((c >> 2) & 0x3f3f3f3f);
  else if (alpha == 0.75f) d = ((c >> 1) & 0x7f7f7f7f) + ((c >> 2) & 0x3f3f3f3f) + ((d >> 2) & 0x3f3f3f3f);
  else return false;
  return true;
}

// A fill's model: the alpha byte is combined with the weight itself as its source value.
uint32_t RefFillPixel(uint32_t d, uint32_t c, float alpha, int mode)
{
  if (mode & 0x10000) alpha = alpha * ((float)(c & 0xff) / 255.0f);
  if (alpha == 0.0f) return d;
  const int kind = mode & 0xff;
  if (kind == 0 && RefPacked(alpha, c, d)) return d;
  if (kind > 5 || (kind == 0 && !(alpha > 0))) return d;
  const int w = (int)(alpha * 256);
  const ref::Px cp = ref::bytes(c);
  return ref::word(ref::combine(kKinds[kind], false, ref::bytes(d), cp[1], cp[2], cp[3], w, w));
}
}  // namespace

TEST(PixFillRect, EveryModeAndAlphaAgainstTheModel)
{
  const uint32_t colors[] = {0x80ff4020u, 0x00000000u, 0xffffffffu, 0x1234567fu};
  for (int mode : {0, 1, 2, 3, 4, 5, 6, 0x10000, 0x10001, 0x10003, 0x100})
    for (float alpha : {1.0f, 0.5f, 0.25f, 0.75f, 0.6f, 0.3f, 0.0f, -0.4f, 1.7f})
      for (uint32_t c : colors)
        for (int w : {1, 3, 4, 7, 9})
        {
          PIX_MemBitmap bm(12, 6);
          FillRandom(bm, 3u + w);
          std::vector<uint32_t> want = Pixels(bm);
          PIX_FillRect(&bm, 2, 1, w, 4, c, alpha, mode);
          for (int y = 1; y < 5; ++y)
            for (int x = 2; x < 2 + w && x < 12; ++x) want[y * 12 + x] = RefFillPixel(want[y * 12 + x], c, alpha, mode);
          ASSERT_EQ(Pixels(bm), want) << std::hex << mode << " " << c << std::dec << " " << alpha << " w " << w;
        }
}

TEST(PixFillRect, ClippingAndHandValues)
{
  PIX_MemBitmap bm(8, 8);
  PIX_FillRect(&bm, -5, -5, 10, 10, 0xffffffffu, 1.0f, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(bm.getBits()[y * 8 + x], (x < 5 && y < 5) ? 0xffffffffu : 0u) << x << "," << y;

  const std::vector<uint32_t> before = Pixels(bm);
  PIX_FillRect(&bm, 0, 0, 0, 8, 0x11111111u, 1.0f, 0);            // no width
  PIX_FillRect(&bm, 0, 0, 8, 8, 0x11111111u, 0.0f, 0);            // no alpha
  PIX_FillRect(&bm, 0, 0, 8, 8, 0x11111100u, 1.0f, 0x10000);      // colour alpha 0 makes alpha 0
  PIX_FillRect(&bm, 8, 0, 8, 8, 0x11111111u, 1.0f, 0);            // right of the bitmap
  PIX_FillRect(&bm, 0, -8, 8, 8, 0x11111111u, 1.0f, 0);           // above it
  PIX_FillRect(&bm, 0, 0, 8, 8, 0x11111111u, 1.0f, 9);            // unknown mode
  PIX_FillRect(nullptr, 0, 0, 8, 8, 0x11111111u, 1.0f, 0);
  EXPECT_EQ(Pixels(bm), before);

  // Runaway opacities act as 4.0, in every mode, without overflowing.
  for (int mode : {0, 1, 2, 3, 4, 5})
  {
    PIX_MemBitmap a(3, 1), b(3, 1);
    for (int i = 0; i < 3; ++i) a.getBits()[i] = b.getBits()[i] = 0x80808080u + i;
    PIX_FillRect(&a, 0, 0, 3, 1, 0xff7f01ffu, 1e9f, mode);
    PIX_FillRect(&b, 0, 0, 3, 1, 0xff7f01ffu, 4.0f, mode);
    EXPECT_EQ(Pixels(a), Pixels(b)) << mode;
  }

  // Copy at 0.3 over alpha 0: the alpha byte becomes 76 * 76 / 256 = 22.
  PIX_MemBitmap px(1, 1);
  PIX_FillRect(&px, 0, 0, 1, 1, 0x000000ffu, 0.3f, 0);
  EXPECT_EQ(px.getBits()[0] & 0xff, 22u);
  // Copy at 0.6 is the weighted copy with weight 153: 255 * 153 / 256 = 152 over black.
  px.getBits()[0] = 0;
  PIX_FillRect(&px, 0, 0, 1, 1, 0xffffff00u, 0.6f, 0);
  EXPECT_EQ(px.getBits()[0], 0x98989800u | (153 * 153 / 256));
  // Add: the alpha byte takes w * w / 256.
  px.getBits()[0] = 0x00000010u;
  PIX_FillRect(&px, 0, 0, 1, 1, 0x00000000u, 0.5f, 1);
  EXPECT_EQ(px.getBits()[0], 0x10u + 64u);
  // HSV at 1.0: the alpha byte takes the weight 256 clamped to 255 (not wrapped to 0); at 0.5, 128.
  px.getBits()[0] = 0x64646400u;
  PIX_FillRect(&px, 0, 0, 1, 1, 0x80808000u, 1.0f, 5);
  EXPECT_EQ(px.getBits()[0], 0x646464ffu);
  PIX_FillRect(&px, 0, 0, 1, 1, 0x80808000u, 0.5f, 5);
  EXPECT_EQ(px.getBits()[0], 0x64646480u);
  PIX_GradRect(&px, 0, 0, 1, 1, 0.5f, 0.5f, 0.5f, 1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 5);
  EXPECT_EQ(px.getBits()[0] & 0xff, 0xffu);
}

TEST(PixFillRect, FlippedBitmapsFillTheirVisualRows)
{
  FlippedBitmap fb(6, 5, 8);
  PIX_FillRect(&fb, 1, 0, 2, 2, 0xabababffu, 1.0f, 0);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(fb.pixel(x, y), (x >= 1 && x < 3 && y < 2) ? 0xabababffu : 0u);
}

TEST(PixPixels, PutGetClearAndColourKeys)
{
  PIX_MemBitmap bm(4, 3);
  PIX_Clear(&bm, 0x11223344u);
  for (uint32_t p : Pixels(bm)) EXPECT_EQ(p, 0x11223344u);

  EXPECT_EQ(PIX_GetPixel(&bm, 3, 2), 0x11223344u);
  for (auto xy : {std::pair<int, int>{-1, 0}, {4, 0}, {0, 3}, {0, -1}}) EXPECT_EQ(PIX_GetPixel(&bm, xy.first, xy.second), 0u);
  EXPECT_EQ(PIX_GetPixel(nullptr, 0, 0), 0u);

  PIX_PutPixel(&bm, -1, 0, 0xffffffffu, 1.0f, 0);
  PIX_PutPixel(&bm, 4, 0, 0xffffffffu, 1.0f, 0);
  for (uint32_t p : Pixels(bm)) EXPECT_EQ(p, 0x11223344u);
  PIX_PutPixel(&bm, 1, 1, 0xcafe0077u, 1.0f, 0x10000);  // bit 16 ignored: the colour word as it is
  EXPECT_EQ(PIX_GetPixel(&bm, 1, 1), 0xcafe0077u);

  // Every mode and alpha against the model: the colour's own alpha byte is the source alpha.
  for (int mode : {0, 1, 2, 3, 4, 5, 6})
    for (float alpha : {1.0f, 0.5f, 0.25f, 0.75f, 0.6f, 0.0f, -0.5f, 2.0f})
    {
      const uint32_t c = 0x80c04033u, d0 = 0x204080f0u;
      PIX_MemBitmap one(1, 1);
      one.getBits()[0] = d0;
      PIX_PutPixel(&one, 0, 0, c, alpha, mode);
      uint32_t want = d0;
      if (!((mode & 0xff) == 0 && RefPacked(alpha, c, want)) && alpha != 0.0f && mode <= 5 && !(mode == 0 && alpha < 0))
      {
        const ref::Px cp = ref::bytes(c);
        want = ref::word(ref::combine(kKinds[mode], false, ref::bytes(d0), cp[1], cp[2], cp[3], cp[0], (int)(alpha * 256)));
      }
      EXPECT_EQ(one.getBits()[0], want) << mode << " " << alpha;
    }

  // Clear by mask and bits inside a clipped rectangle.
  PIX_Clear(&bm, 0xffffffffu);
  PIX_ClearRect(&bm, -1, 1, 3, 5, 0x00ffff00u, 0x00000011u);
  EXPECT_EQ(PIX_GetPixel(&bm, 0, 1), 0x00ffff11u);
  EXPECT_EQ(PIX_GetPixel(&bm, 1, 2), 0x00ffff11u);
  EXPECT_EQ(PIX_GetPixel(&bm, 2, 1), 0xffffffffu);
  EXPECT_EQ(PIX_GetPixel(&bm, 0, 0), 0xffffffffu);

  // Colour key: the matching colour (alpha byte ignored in the pixel) takes the key, the rest
  // become opaque; a key with its own alpha matches nothing.
  PIX_MemBitmap ck(3, 1);
  ck.getBits()[0] = 0x00ff0042u;
  ck.getBits()[1] = 0x00ff0100u;
  ck.getBits()[2] = 0x12345600u;
  PIX_SetAlphaFromColorMask(&ck, 0x00ff0000u);
  EXPECT_EQ(ck.getBits()[0], 0x00ff0000u);
  EXPECT_EQ(ck.getBits()[1], 0x00ff01ffu);
  EXPECT_EQ(ck.getBits()[2], 0x123456ffu);
  PIX_SetAlphaFromColorMask(&ck, 0x00ff0001u);
  EXPECT_EQ(ck.getBits()[0], 0x00ff00ffu);
}

TEST(PixSimpleFill, FillsTheSeedColumnsRegion)
{
  // 0 is open, 1 a wall. The seed at (2, 2).
  const char* rows[] = {
    "1000001",
    "0010010",
    "0100100",
    "0000010",
    "1110111",
    "0000000",
  };
  PIX_MemBitmap bm(7, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 7; ++x) bm.getBits()[y * 7 + x] = rows[y][x] == '1' ? 0x000000ffu : 0x11000000u;
  PIX_SimpleFill(&bm, 2, 2, 0x00aa0000u, 0x000000ffu, 0xff000000u);
  // Row 2 fills from column 2 right to the wall at 4 and stops left at the wall at 1; row 3
  // matches in column 2 and fills out to column 0 and to the wall at 5; rows 4 and 1 have a wall
  // in column 2, so both passes stop there.
  const char* want[] = {
    "1000001",
    "0010010",
    "01##100",
    "#####10",
    "1110111",
    "0000000",
  };
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 7; ++x)
    {
      const uint32_t p = bm.getBits()[y * 7 + x];
      if (want[y][x] == '#') EXPECT_EQ(p, 0x11aa0000u) << x << "," << y;
      else EXPECT_EQ(p, rows[y][x] == '1' ? 0x000000ffu : 0x11000000u) << x << "," << y;
    }
  // Seeds outside the bitmap do nothing.
  const std::vector<uint32_t> before = Pixels(bm);
  PIX_SimpleFill(&bm, -1, 0, 0, 0, 0);
  PIX_SimpleFill(&bm, 0, 6, 0, 0, 0);
  PIX_SimpleFill(nullptr, 0, 0, 0, 0, 0);
  EXPECT_EQ(Pixels(bm), before);
}

TEST(PixMultiplyAddRect, ScalesAndOffsetsPerChannel)
{
  PIX_MemBitmap bm(3, 2);
  for (int i = 0; i < 6; ++i) bm.getBits()[i] = 0xc8648032u;  // alpha 0x32, red 0x80, green 0x64, blue 0xc8
  const std::vector<uint32_t> before = Pixels(bm);
  PIX_MultiplyAddRect(&bm, 0, 0, 3, 2, 1, 1, 1, 1, 0, 0, 0, 0);
  EXPECT_EQ(Pixels(bm), before);
  // Red x2 (128 -> 255), green x0.5 (100 -> 50), blue + (-0.5) offset: (-128 + 256 * 200) >> 8 = 199,
  // alpha x1 + 0.3: (76 + 256 * 50) >> 8 = 50; only the clipped part changes.
  PIX_MultiplyAddRect(&bm, 1, -1, 5, 2, 2, 0.5f, 1, 1, 0, 0, -0.5f, 0.3f);
  EXPECT_EQ(bm.getBits()[0], 0xc8648032u);
  EXPECT_EQ(bm.getBits()[1], 0xc732ff32u);
  EXPECT_EQ(bm.getBits()[2], 0xc732ff32u);
  EXPECT_EQ(bm.getBits()[4], 0xc8648032u);
  // A negative scale clamps red at 0; a large offset saturates alpha.
  PIX_MultiplyAddRect(&bm, 0, 0, 1, 1, -1, 0, 0, 0, 0, 0, 0, 1000.0f);
  EXPECT_EQ(bm.getBits()[0], 0x000000ffu);
}

TEST(PixGradRect, FixedPointStepsAndModes)
{
  // Red 1.0, alpha 1.0, no deltas: every pixel red 255, alpha 255 (copy formula at weight 256
  // with the weight as source alpha gives 256 -> clamped 255).
  PIX_MemBitmap bm(4, 3);
  PIX_GradRect(&bm, 0, 0, 4, 3, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  for (uint32_t p : Pixels(bm)) EXPECT_EQ(p, 0x0000ffffu);
  // Alpha 0.5 blends with weight 128: red (255 * 128 + 255 * 128) / 256 = 255 over red, green
  // (128 * 255 + 0) / 256 = 127 over 0, alpha (128 * 128 + 255 * 128) / 256 = 191.
  PIX_GradRect(&bm, 0, 0, 4, 3, 1, 1, 0, 0.5f, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  for (uint32_t p : Pixels(bm)) EXPECT_EQ(p, 0x007fffbfu);

  // A horizontal ramp against the model, with a negative origin that moves the start forward.
  for (int mode : {0, 1, 2, 3, 4, 5})
  {
    PIX_MemBitmap g(6, 4), want(6, 4);
    FillRandom(g, 8);
    for (int i = 0; i < 24; ++i) want.getBits()[i] = g.getBits()[i];
    const float ir = 0.1f, ia = 0.2f, drdx = 0.15f, dadx = 0.1f, dgdy = 0.2f;
    PIX_GradRect(&g, -2, -1, 7, 9, ir, 0, 0.5f, ia, drdx, 0, 0, dadx, 0, dgdy, 0, 0, mode);
    // Model: start values after skipping two columns and one row, in 16.16.
    const long long r0 = (long long)((double)(ir * 255 - (-2.0f) * (drdx * 255)) * 65536.0);
    const long long g0 = (long long)((double)(0 * 255 - (-1.0f) * (dgdy * 255)) * 65536.0);
    const long long b0 = (long long)((double)(0.5f * 255) * 65536.0);
    const long long a0 = (long long)((double)(ia * 256 - (-2.0f) * (dadx * 256)) * 65536.0);
    const long long rx = (long long)((double)(drdx * 255) * 65536.0), ax = (long long)((double)(dadx * 256) * 65536.0);
    const long long gy = (long long)((double)(dgdy * 255) * 65536.0);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x)
      {
        const long long r = (r0 + x * rx) / 65536, gg = (g0 + y * gy) / 65536, b = b0 / 65536, w = (a0 + x * ax) / 65536;
        uint32_t& d = want.getBits()[y * 6 + x];
        d = ref::word(ref::combine(kKinds[mode], false, ref::bytes(d), r, gg, b, w, w));
      }
    EXPECT_EQ(Pixels(g), Pixels(want)) << mode;
  }
  // Unknown modes, empty areas and areas that clip away draw nothing: opaque white would show.
  struct Nothing
  {
    const char* what;
    int x, y, w, h, mode;
  };
  const Nothing nothing[] = {
    { "mode 6", 0, 0, 4, 3, 6 },
    { "channel copy (blits only)", 0, 0, 4, 3, PIX_MODE_CHANNELCOPY },
    { "zero width", 0, 0, 0, 3, 0 },
    { "zero height", 0, 0, 4, 0, 0 },
    { "negative width", 2, 0, -2, 3, 0 },
    { "right of the bitmap", 4, 0, 3, 1, 0 },
    { "left of the bitmap", -3, 1, 3, 1, 0 },
    { "above the bitmap", 0, -2, 4, 2, 0 },
    { "below the bitmap", 0, 3, 4, 2, 0 },
  };
  const std::vector<uint32_t> before = Pixels(bm);
  for (const Nothing& c : nothing)
  {
    PIX_GradRect(&bm, c.x, c.y, c.w, c.h, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, c.mode);
    EXPECT_EQ(Pixels(bm), before) << c.what;
  }
  // No bitmap, no pixels: nothing is written (a write would crash).
  PIX_GradRect(nullptr, 0, 0, 4, 3, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  NoPixels noPixels;
  PIX_GradRect(&noPixels, 0, 0, 4, 3, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  PIX_MemBitmap empty;
  PIX_GradRect(&empty, 0, 0, 4, 3, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(empty.getWidth(), 0);
  // Runaway values stay defined.
  PIX_GradRect(&bm, 0, 0, 4, 3, 1e20f, -1e20f, 0, 1e20f, 1e20f, 1e20f, 0, 0, 0, 0, 0, 0, 3);
  EXPECT_EQ(Pixels(bm).size(), before.size());
}

TEST(PixDrawGlyph, ClipsTheMaskAndWeightsByCoverage)
{
  // A 4 x 3 mask with distinct coverage per column.
  const unsigned char mask[12] = {0, 64, 128, 255, 255, 0, 64, 128, 128, 255, 0, 64};
  for (int mode : {0, 1, 2, 3, 4, 5})
    for (float alpha : {1.0f, 0.5f})
      for (auto xy : {std::pair<int, int>{-2, 0}, {1, -1}, {3, 1}, {0, 0}, {-4, 0}, {5, 0}})
      {
        PIX_MemBitmap bm(5, 3), want(5, 3);
        FillRandom(bm, 12);
        for (int i = 0; i < 15; ++i) want.getBits()[i] = bm.getBits()[i];
        const uint32_t c = 0x30c0ff99u;
        PIX_DrawGlyph(&bm, xy.first, xy.second, c, mask, 4, 3, alpha, mode);
        for (int gy = 0; gy < 3; ++gy)
          for (int gx = 0; gx < 4; ++gx)
          {
            const int x = xy.first + gx, y = xy.second + gy;
            if (x < 0 || y < 0 || x >= 5 || y >= 3 || !mask[gy * 4 + gx]) continue;
            const int w = (int)(alpha * 256) * mask[gy * 4 + gx] / 256;
            const ref::Px cp = ref::bytes(c);
            uint32_t& d = want.getBits()[y * 5 + x];
            d = ref::word(ref::combine(kKinds[mode], false, ref::bytes(d), cp[1], cp[2], cp[3], cp[0], w));
          }
        ASSERT_EQ(Pixels(bm), Pixels(want)) << mode << " " << alpha << " at " << xy.first << "," << xy.second;
      }
  PIX_MemBitmap bm(5, 3);
  const std::vector<uint32_t> before = Pixels(bm);
  PIX_DrawGlyph(&bm, 0, 0, 0xffffffffu, mask, 4, 3, 0.0f, 0);
  PIX_DrawGlyph(&bm, 0, 0, 0xffffffffu, mask, 4, 3, -1.0f, 0);
  PIX_DrawGlyph(&bm, 0, 0, 0xffffffffu, mask, 4, 3, 1.0f, 7);
  PIX_DrawGlyph(&bm, 0, 0, 0xffffffffu, nullptr, 4, 3, 1.0f, 0);
  EXPECT_EQ(Pixels(bm), before);
}
