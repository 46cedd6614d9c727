// Rotated, delta and transform blits: rotation at 0 and a quarter turn, mirroring, clipping to
// the source, bilinear edges and negative positions, grids, and clipped warps that line up.

#include <gtest/gtest.h>

#include <cmath>

#include "pix.h"
#include "pix_testkit.h"

using namespace pixtest;

namespace
{
// Each pixel names its own position: red = 10 * x + 1, green = 10 * y + 1.
void Positions(GuardedBitmap& bm)
{
  for (int y = 0; y < bm.height(); ++y)
    for (int x = 0; x < bm.width(); ++x) bm.at(x, y) = Px(255, 10 * x + 1, 10 * y + 1, 0);
}
PIX_PixelValue At(int x, int y) { return Px(255, 10 * x + 1, 10 * y + 1, 0); }
const PIX_PixelValue kBlank = Px(0, 0, 0, 9);
}  // namespace

TEST(PixRotatedBlit, AngleZeroCopiesTheRectangle)
{
  GuardedBitmap src(12, 10);
  Positions(src);
  for (int mode : {0, 0x100, 0x10100})
  {
    SCOPED_TRACE(mode);
    GuardedBitmap dst(7, 5, kBlank);
    PIX_RotatedBlit(&dst, &src, 1, 0, 6, 5, 2.0f, 3.0f, 6.0f, 5.0f, 0.0f, true, 1.0f, mode, 0.0f, 0.0f);
    for (int y = 0; y < 5; ++y)
    {
      EXPECT_EQ(dst.get(0, y), kBlank);
      for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.get(x + 1, y), At(x + 2, y + 3)) << x << "," << y;
    }
    EXPECT_TRUE(dst.GuardsIntact());
  }
}

// Positions are corners: a quarter turn with exact steps samples column j, row N - k at
// destination (k, j), so the left column falls on row N, outside the source, and stays. With the
// steps a float angle of pi/2 gives, the row step is 65535 / 65536 and rows from the second on
// sample one column further left.
TEST(PixRotatedBlit, QuarterTurn)
{
  const int N = 8;
  GuardedBitmap src(N, N);
  Positions(src);
  GuardedBitmap exact(N, N, kBlank), rotated(N, N, kBlank);
  PIX_DeltaBlit(&exact, &src, 0, 0, N, N, 0.0f, (float)N, (float)N, (float)N, 0.0, -1.0, 1.0, 0.0, 0.0, 0.0, false,
                1.0f, 0);
  PIX_RotatedBlit(&rotated, &src, 0, 0, N, N, 0.0f, 0.0f, (float)N, (float)N, 1.5707964f, false, 1.0f, 0, 0.0f,
                  0.0f);
  for (int j = 0; j < N; ++j)
  {
    EXPECT_EQ(exact.get(0, j), kBlank);
    EXPECT_EQ(rotated.get(0, j), kBlank);
    for (int k = 1; k < N; ++k)
    {
      EXPECT_EQ(exact.get(k, j), At(j, N - k)) << k << "," << j;
      EXPECT_EQ(rotated.get(k, j), At(j > 0 ? j - 1 : 0, N - k)) << k << "," << j;
    }
  }
}

// A negative width mirrors about the destination's left edge; the first mirrored column samples
// just past the source rectangle, which clipping to the source leaves alone.
TEST(PixRotatedBlit, NegativeWidthMirrors)
{
  GuardedBitmap src(10, 4);
  Positions(src);
  for (bool clip : {true, false})
  {
    GuardedBitmap dst(8, 4, kBlank);
    PIX_RotatedBlit(&dst, &src, 6, 0, -5, 4, 2.0f, 0.0f, 5.0f, 4.0f, 0.0f, clip, 1.0f, 0, 0.0f, 0.0f);
    for (int y = 0; y < 4; ++y)
    {
      EXPECT_EQ(dst.get(0, y), kBlank);
      EXPECT_EQ(dst.get(6, y), kBlank);
      EXPECT_EQ(dst.get(1, y), clip ? kBlank : At(7, y));
      for (int k = 1; k < 5; ++k) EXPECT_EQ(dst.get(1 + k, y), At(7 - k, y));
    }
  }
}

// Without clipping to the source a turned corner samples pixels outside the source rectangle;
// with it those destination pixels stay as they were.
TEST(PixRotatedBlit, ClipToSource)
{
  const PIX_PixelValue outside = Px(255, 255, 0, 0), inside = Px(255, 0, 255, 0);
  GuardedBitmap src(16, 16, outside);
  for (int y = 4; y < 12; ++y)
    for (int x = 4; x < 12; ++x) src.at(x, y) = inside;
  for (bool clip : {true, false})
    for (int mode : {0, 0x100})
    {
      GuardedBitmap dst(8, 8, kBlank);
      PIX_RotatedBlit(&dst, &src, 0, 0, 8, 8, 4.0f, 4.0f, 8.0f, 8.0f, 0.7853982f, clip, 1.0f, mode, 0.0f, 0.0f);
      EXPECT_EQ(dst.get(4, 4), inside);
      EXPECT_EQ(dst.get(0, 0), clip ? kBlank : outside) << clip << " " << mode;
      EXPECT_EQ(dst.get(7, 7), clip ? kBlank : outside) << clip << " " << mode;
    }
}

// Bilinear sampling blends in both directions inside, vertically only on the last clip column,
// horizontally only on the last row, and copies the bottom-right pixel; a position between -1
// and 0 samples the edge pixel.
TEST(PixRotatedBlit, BilinearEdgesAndNegativePositions)
{
  GuardedBitmap src(2, 2);
  const PIX_PixelValue a = Px(255, 0, 0, 0), b = Px(255, 200, 0, 0), c = Px(255, 0, 100, 0), d = Px(255, 200, 100, 40);
  src.at(0, 0) = a;
  src.at(1, 0) = b;
  src.at(0, 1) = c;
  src.at(1, 1) = d;
  GuardedBitmap dst(2, 2);
  PIX_RotatedBlit(&dst, &src, 0, 0, 2, 2, 0.5f, 0.5f, 2.0f, 2.0f, 0.0f, false, 1.0f, 0x100, 0.0f, 0.0f);
  EXPECT_EQ(dst.get(0, 0), Px(255, 100, 50, 10));
  EXPECT_EQ(dst.get(1, 0), Px(255, 200, 50, 20));
  EXPECT_EQ(dst.get(0, 1), Px(255, 100, 100, 20));
  EXPECT_EQ(dst.get(1, 1), d);

  GuardedBitmap neg(2, 2);
  PIX_RotatedBlit(&neg, &src, 0, 0, 2, 2, -0.25f, -0.25f, 2.0f, 2.0f, 0.0f, false, 1.0f, 0x100, 0.0f, 0.0f);
  EXPECT_EQ(neg.get(0, 0), a);
  // Nearest sampling truncates: -0.25 falls in column and row 0.
  GuardedBitmap nearest(2, 2);
  PIX_DeltaBlit(&nearest, &src, 0, 0, 2, 2, -0.25f, -0.25f, 2.0f, 2.0f, 1.0, 0.0, 0.0, 1.0, 0.0, 0.0, false, 1.0f, 0);
  EXPECT_EQ(nearest.get(0, 0), a);
  EXPECT_EQ(nearest.get(1, 1), a);
}

namespace
{
// A trapezoid: the top edge spans columns 0 to 8, the bottom edge columns 2 to 6.
float kTrapezoid[8] = {0, 0, 8, 0, 2, 8, 6, 8};
}  // namespace

// A 2 x 2 grid is one delta blit whose per-pixel step shrinks from row to row; the steps derived
// by hand give the same picture, and the map shows the rows narrowing.
TEST(PixTransformBlit, TwoByTwoGridIsOneDeltaBlit)
{
  GuardedBitmap src(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) src.at(x, y) = Px(255, x, 0, 0);
  GuardedBitmap grid(8, 8), delta(8, 8);
  PIX_TransformBlit(&grid, &src, 0, 0, 8, 8, kTrapezoid, 2, 2, 1.0f, 0);
  PIX_DeltaBlit(&delta, &src, 0, 0, 8, 8, 0.0f, 0.0f, 8.0f, 0.0f, 1.0, 0.0, 0.25, 1.0, -0.0625, 0.0, false, 1.0f, 0);
  std::map<PIX_PixelValue, char> legend;
  for (int x = 0; x < 8; ++x) legend[Px(255, x, 0, 0)] = (char)('0' + x);
  EXPECT_EQ(Ascii(grid, legend), Ascii(delta, legend));
  EXPECT_EQ(Ascii(grid, legend), Map(R"(
      01234567
      01234456
      01234456
      01234456
      11234456
      11234456
      12234455
      12234455
  )"));
}

// Cut at the top and left, the visible part of a warped cell is exactly that part of the uncut
// cell: the clip advances the per-row steps along with the start.
TEST(PixTransformBlit, ClippedCellLinesUp)
{
  GuardedBitmap src(8, 8);
  Positions(src);
  for (int mode : {0, 0x100})
  {
    GuardedBitmap whole(8, 8), part(8, 8);
    PIX_TransformBlit(&whole, &src, 0, 0, 8, 8, kTrapezoid, 2, 2, 1.0f, mode);
    PIX_TransformBlit(&part, &src, -3, -2, 8, 8, kTrapezoid, 2, 2, 1.0f, mode);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(part.get(x, y), whole.get(x + 3, y + 2)) << x << "," << y;
  }
}

// An identity grid of 3 x 3 points draws the source as it is, cell by cell; grid rows narrower
// than one destination pixel are skipped, so with five grid rows over two pixels the drawn rows
// come from grid rows 1 and 3.
TEST(PixTransformBlit, GridCellsAndNarrowRows)
{
  GuardedBitmap src(8, 40);
  Positions(src);
  float identity[18];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
    {
      identity[(i * 3 + j) * 2] = 4.0f * j;
      identity[(i * 3 + j) * 2 + 1] = 4.0f * i;
    }
  GuardedBitmap dst(8, 8);
  PIX_TransformBlit(&dst, &src, 0, 0, 8, 8, identity, 3, 3, 1.0f, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.get(x, y), At(x, y));

  float rows[20];
  for (int i = 0; i < 5; ++i)
  {
    rows[i * 4] = 0;
    rows[i * 4 + 1] = 8.0f * i;
    rows[i * 4 + 2] = 8;
    rows[i * 4 + 3] = 8.0f * i;
  }
  GuardedBitmap two(8, 3, kBlank);
  PIX_TransformBlit(&two, &src, 0, 0, 8, 2, rows, 2, 5, 1.0f, 0);
  EXPECT_EQ(two.get(0, 0), At(0, 8));
  EXPECT_EQ(two.get(0, 1), At(0, 24));
  EXPECT_EQ(two.get(0, 2), kBlank);
}
