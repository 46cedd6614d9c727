// Scaled blits: the same-size shortcut and the filter thresholds, the bilinear edges, negative
// positions, clipping that lines up with the unclipped picture without reading past the source
// rectangle, mirroring, flipped bitmaps and the copy shortcuts.

#include <gtest/gtest.h>

#include "pix.h"
#include "pix_blit_template.h"
#include "pix_testkit.h"

using namespace pixtest;

namespace
{
// Red 250 on odd columns, 0 on even ones; green marks the row.
void Stripes(GuardedBitmap& bm)
{
  for (int y = 0; y < bm.height(); ++y)
    for (int x = 0; x < bm.width(); ++x) bm.at(x, y) = Px(255, (x & 1) ? 250 : 0, y * 100, 0);
}

// One row of black with a red pixel at column c.
void Impulse(GuardedBitmap& bm, int c)
{
  bm.Fill(Px(255, 0, 0, 0));
  bm.at(c, 0) = Px(255, 255, 0, 0);
}
}  // namespace

TEST(PixScaledBlit, SameSizeShortcut)
{
  struct Case
  {
    const char* what;
    float srcx, srcw;
    int mode;
    int red0;  // red of destination column 0
  } cases[] = {
      // within 0.001 of the size: a plain blit of the rectangle starting at (int)(srcx + 0.5) = 2
      {"nearest, size within 0.001", 1.6f, 100.0005f, 0, 0},
      // further off: the nearest walk samples column 1
      {"nearest, size 0.002 off", 1.6f, 100.002f, 0, 250},
      // bilinear takes the shortcut only for positions within 0.03 of a whole pixel
      {"bilinear at 3.02", 3.02f, 100.0f, 0x100, 250},
      {"bilinear at 3.04", 3.04f, 100.0f, 0x100, 240},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    GuardedBitmap src(110, 2), dst(100, 2);
    Stripes(src);
    PIX_ScaledBlit(&dst, &src, 0, 0, 100, 2, c.srcx, 0.0f, c.srcw, 2.0f, 1.0f, c.mode);
    EXPECT_EQ(R(dst.get(0, 0)), c.red0);
    EXPECT_EQ(G(dst.get(0, 1)), 100);
    EXPECT_TRUE(dst.GuardsIntact());
  }
}

// The area filter takes over from bilinear sampling at a step of 1.7 in both directions, and
// widens from 3 x 3 to 5 x 5 above 3.0; cells outside the source are left out and the rest
// renormalised by their weights.
TEST(PixScaledBlit, FilterThresholds)
{
  struct Case
  {
    const char* what;
    float srcw, srch;
    int impulse;
    int red[2];
  } cases[] = {
      {"step 3.2: 5 x 5, three equal cells at the edge", 6.4f, 3.2f, 2, {85, 51}},
      {"step 3.0: 3 x 3", 6.0f, 3.0f, 2, {0, 85}},
      {"step 1.7: 3 x 3, neighbours at 0.7", 3.4f, 1.7f, 1, {104, 106}},
      {"1.69 down: bilinear", 3.4f, 1.69f, 1, {0, 76}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    GuardedBitmap src(8, 1), dst(2, 1);
    Impulse(src, c.impulse);
    PIX_ScaledBlit(&dst, &src, 0, 0, 2, 1, 0.0f, 0.0f, c.srcw, c.srch, 1.0f, 0x100);
    EXPECT_EQ(dst.get(0, 0), Px(255, c.red[0], 0, 0));
    EXPECT_EQ(dst.get(1, 0), Px(255, c.red[1], 0, 0));
  }
}

// 2 x 2 up to 4 x 4: the last source column blends vertically only, the last row horizontally
// only, and the bottom-right pixel is taken as it is.
TEST(PixScaledBlit, BilinearEdges)
{
  GuardedBitmap src(2, 2), dst(4, 4);
  const PIX_PixelValue a = Px(255, 0, 0, 0), b = Px(255, 200, 0, 0), c = Px(255, 0, 100, 0), d = Px(255, 200, 100, 40);
  src.at(0, 0) = a;
  src.at(1, 0) = b;
  src.at(0, 1) = c;
  src.at(1, 1) = d;
  PIX_ScaledBlit(&dst, &src, 0, 0, 4, 4, 0.0f, 0.0f, 2.0f, 2.0f, 1.0f, 0x100);
  const PIX_PixelValue expect[4][4] = {
      {a, Px(255, 100, 0, 0), b, b},
      {Px(255, 0, 50, 0), Px(255, 100, 50, 10), Px(255, 200, 50, 20), Px(255, 200, 50, 20)},
      {c, Px(255, 100, 100, 20), d, d},
      {c, Px(255, 100, 100, 20), d, d},
  };
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.get(x, y), expect[y][x]) << x << "," << y;
}

// Positions between -1 and 0 sample the edge pixel; the fraction of a negative position would
// blend toward the wrong neighbour (or, for rows, extrapolate).
TEST(PixScaledBlit, NegativePositionsSampleTheEdge)
{
  GuardedBitmap src(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.at(x, y) = Px(255, 60 * x, 60 * y, 0);
  GuardedBitmap dst(8, 8);
  PIX_ScaledBlit(&dst, &src, 0, 0, 8, 8, -0.25f, -0.25f, 4.0f, 4.0f, 1.0f, 0x100);
  EXPECT_EQ(dst.get(0, 0), src.get(0, 0));
  // Position 0.25 blends a quarter toward the next column and row.
  EXPECT_EQ(dst.get(1, 1), Px(255, 15, 15, 0));

  // Nearest sampling rounds columns down (-0.25 lies in column -1, outside) but truncates rows.
  GuardedBitmap near(8, 8, Px(0, 1, 2, 3));
  PIX_ScaledBlit(&near, &src, 0, 0, 8, 8, -0.25f, -0.25f, 4.0f, 4.0f, 1.0f, 0x200);
  EXPECT_EQ(near.get(0, 0), Px(0, 1, 2, 3));
  EXPECT_EQ(near.get(1, 0), src.get(0, 0));
}

// A frame of a film strip, fenced by sentinel pixels (red 255; the frame has no red), drawn at
// several scales and filters: cut by the destination's edges it must equal the matching part of
// the uncut picture and never show a sentinel.
TEST(PixScaledBlit, ClippedEqualsUnclippedAndNeverBleeds)
{
  const int kFrame = 16, kBorder = 3;
  GuardedBitmap src(kFrame + 2 * kBorder, 3 * kFrame);
  for (int y = 0; y < src.height(); ++y)
    for (int x = 0; x < src.width(); ++x) src.at(x, y) = Px(255, 255, 0, 0);
  const int fy = kFrame;  // the middle frame
  for (int y = 0; y < kFrame; ++y)
    for (int x = 0; x < kFrame; ++x) src.at(kBorder + x, fy + y) = Px(255, 0, 13 * x + 7, 11 * y + 3);

  struct Case
  {
    const char* what;
    int size;
    int mode;
    float alpha;
  } cases[] = {
      {"nearest x2", 32, 0, 1.0f},         {"nearest x0.5 blended", 8, 0x200, 0.75f},
      {"bilinear x2", 32, 0x100, 1.0f},    {"bilinear x4", 64, 0x100, 1.0f},
      {"area x0.5", 8, 0x100, 1.0f},       {"area x0.25", 4, 0x100, 1.0f},
      {"bilinear x2 source alpha", 32, 0x10100, 0.5f},
  };
  struct Cut
  {
    int x, y;
  } cuts[] = {{-3, 0}, {0, -3}, {-5, -2}, {-1, -1}};
  for (const Case& c : cases)
    for (const Cut& cut : cuts)
    {
      SCOPED_TRACE(std::string(c.what) + " cut " + std::to_string(cut.x) + "," + std::to_string(cut.y));
      GuardedBitmap whole(c.size, c.size), part(c.size, c.size);
      PIX_ScaledBlit(&whole, &src, 0, 0, c.size, c.size, (float)kBorder, (float)fy, (float)kFrame, (float)kFrame,
                     c.alpha, c.mode);
      PIX_ScaledBlit(&part, &src, cut.x, cut.y, c.size, c.size, (float)kBorder, (float)fy, (float)kFrame,
                     (float)kFrame, c.alpha, c.mode);
      for (int y = 0; y < c.size; ++y)
        for (int x = 0; x < c.size; ++x)
        {
          EXPECT_EQ(R(whole.get(x, y)), 0) << x << "," << y;
          EXPECT_EQ(R(part.get(x, y)), 0) << x << "," << y;
          if (x - cut.x < c.size && y - cut.y < c.size)
          {
            EXPECT_EQ(part.get(x, y), whole.get(x - cut.x, y - cut.y)) << x << "," << y;
          }
        }
      // Cut on the right and bottom by a smaller destination: the top-left part, unchanged.
      GuardedBitmap small(c.size - 3, c.size - 2);
      PIX_ScaledBlit(&small, &src, 0, 0, c.size, c.size, (float)kBorder, (float)fy, (float)kFrame, (float)kFrame,
                     c.alpha, c.mode);
      for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x) EXPECT_EQ(small.get(x, y), whole.get(x, y));
      EXPECT_TRUE(part.GuardsIntact() && small.GuardsIntact());
    }
}

// A negative size on one side draws the mirror image, pixel for pixel (positions are corners,
// so the walk starts one step inside the far edge).
TEST(PixScaledBlit, NegativeSizeMirrors)
{
  GuardedBitmap src(6, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) src.at(x, y) = Px(255, 40 * x, 80 * y, 7);
  for (int mode : {0, 0x200, 0x100})
  {
    SCOPED_TRACE(mode);
    GuardedBitmap plain(12, 6), flipx(12, 6), flipy(12, 6), both(12, 6);
    PIX_ScaledBlit(&plain, &src, 0, 0, 12, 6, 0.0f, 0.0f, 6.0f, 3.0f, 1.0f, mode);
    PIX_ScaledBlit(&flipx, &src, 12, 0, -12, 6, 0.0f, 0.0f, 6.0f, 3.0f, 1.0f, mode);
    PIX_ScaledBlit(&flipy, &src, 0, 0, 12, 6, 0.0f, 3.0f, 6.0f, -3.0f, 1.0f, mode);
    PIX_ScaledBlit(&both, &src, 12, 0, -12, 6, 6.0f, 0.0f, -6.0f, 3.0f, 1.0f, mode);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 12; ++x)
      {
        EXPECT_EQ(flipx.get(x, y), plain.get(11 - x, y)) << x << "," << y;
        EXPECT_EQ(flipy.get(x, y), plain.get(x, 5 - y)) << x << "," << y;
        EXPECT_EQ(both.get(x, y), plain.get(x, y)) << x << "," << y;
      }
  }
}

TEST(PixScaledBlit, FlippedBitmapsAreAddressedFromTheVisibleTop)
{
  GuardedBitmap src(5, 4), fsrc(5, 4, 0, true);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) src.at(x, y) = fsrc.at(x, y) = Px(255, 50 * x, 60 * y, 1);
  for (int mode : {0, 0x100})
  {
    GuardedBitmap a(9, 7), b(9, 7, 0, true);
    PIX_ScaledBlit(&a, &src, 1, 1, 8, 6, 0.5f, 0.0f, 4.0f, 3.0f, 1.0f, mode);
    PIX_ScaledBlit(&b, &fsrc, 1, 1, 8, 6, 0.5f, 0.0f, 4.0f, 3.0f, 1.0f, mode);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 9; ++x) EXPECT_EQ(a.get(x, y), b.get(x, y));
    EXPECT_TRUE(b.GuardsIntact());
  }
}

// Copy at exactly 0.5 without filter is the packed halving sum; the filter byte 0x200 samples
// the nearest pixel too but skips that shortcut; a copy at a negative alpha draws nothing.
TEST(PixScaledBlit, CopyShortcuts)
{
  GuardedBitmap src(2, 2, Px(1, 255, 1, 3));
  struct Case
  {
    int mode;
    float alpha;
    PIX_PixelValue expect;
  } cases[] = {
      {0, 0.5f, Px(0, 127, 0, 1)},      // ((s >> 1) + (d >> 1)) per byte
      {0x200, 0.5f, Px(1, 128, 1, 2)},  // (s * 128 + d * 128) / 256
      {0, -0.5f, Px(1, 1, 1, 1)},
      {0, 0.0f, Px(1, 1, 1, 1)},
      {6, 1.0f, Px(1, 1, 1, 1)},
      {0x10100, 1.0f, Px(1, 255, 1, 3)},  // source alpha 1 blends by m = 2
  };
  for (const Case& c : cases)
  {
    GuardedBitmap dst(4, 4, Px(1, 1, 1, 1));
    PIX_ScaledBlit(&dst, &src, 0, 0, 4, 4, 0.0f, 0.0f, 2.0f, 2.0f, c.alpha, c.mode);
    if (c.mode == 0x10100)
      EXPECT_EQ(dst.get(0, 0), Px((2 * 2 + 1 * 254) / 256, (255 * 2 + 254) / 256, 1, (3 * 2 + 254) / 256));
    else
      EXPECT_EQ(dst.get(3, 3), c.expect) << std::hex << c.mode << " " << c.alpha;
  }
}

// The area filter divides its sums by the full kernel's total through a reciprocal; the quotient
// must be the integer division's for every sum it can meet (below 2^29) and every total.
TEST(PixScaledBlit, AreaFilterDivisionIsExact)
{
  uint32_t seed = 1;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int round = 0; round < 2000; ++round)
  {
    const int d = 65536 + (int)(next() % (24u * 65536u + 1u));
    const pix_walk::Divider div(d);
    const int limit = 25 * 65536 * 255;
    for (int k = 0; k < 50; ++k)
    {
      const int n = (int)(next() % (uint32_t)limit);
      ASSERT_EQ(div(n), n / d) << n << " / " << d;
      const int q = n / d;
      for (int m : {q * d, q * d - 1, (q + 1) * d - 1, (q + 1) * d})
        if (m >= 0 && m < limit)
        {
          ASSERT_EQ(div(m), m / d) << m << " / " << d;
        }
    }
  }
}
