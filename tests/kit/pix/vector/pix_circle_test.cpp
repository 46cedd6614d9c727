// Circles: the cached masks, the midpoint and antialiased walks, the clip decision, circles at
// and beyond the bitmap's edges, and radii far larger than the bitmap.

#include <gtest/gtest.h>

#include <cmath>

#include "pix.h"
#include "pix_circle_class.h"
#include "pix_testkit.h"

using namespace pixtest;

namespace
{
const PIX_PixelValue kWhite = 0xffffffffu;
RECT Whole(GuardedBitmap& bm) { return RECT{0, 0, bm.width(), bm.height()}; }
}  // namespace

TEST(PixCircle, CachedRadiiStampTheirMasks)
{
  // Radius exactly 3 without antialiasing: the plain 7 x 7 mask, top-left at (7, 7).
  GuardedBitmap bm(18, 18);
  PIX_Circle(&bm, 10.5f, 10.9f, 3.0f, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Marks(bm).substr(19 * 6, 19 * 9), Map(R"(
      ..................
      .........###......
      ........#...#.....
      .......#.....#....
      .......#.....#....
      .......#.....#....
      ........#...#.....
      .........###......
      ..................
  )"));
  // Through the glyph's weighting: coverage 255 of weight 256 is 255, so white over black is 254.
  EXPECT_EQ(bm.get(9, 7), 0xfefefefeu);

  // 3.01 is walked instead (here to the same pixels), and the walk's copy at 1.0 stores the
  // colour itself.
  GuardedBitmap walked(18, 18);
  PIX_Circle(&walked, 10.5f, 10.9f, 3.01f, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Marks(walked), Marks(bm));
  EXPECT_EQ(walked.get(9, 7), kWhite);

  // Discs never use a mask; a mask drawn in mode 6 or at alpha 0 draws nothing.
  GuardedBitmap disc(18, 18);
  PIX_FillCircle(&disc, 10.5f, 10.9f, 3.0f, kWhite, 1.0f, 0, false);
  EXPECT_EQ(disc.get(10, 10), kWhite);
  GuardedBitmap none(18, 18);
  PIX_Circle(&none, 10.5f, 10.9f, 3.0f, kWhite, 1.0f, 6, false);
  PIX_Circle(&none, 10.5f, 10.9f, 3.5f, kWhite, 0.0f, 0, true);
  GuardedBitmap blank(18, 18);
  EXPECT_EQ(Marks(none), Marks(blank));

  // The smooth masks hold their tables' coverage: radius 4, row 1, column 1 is 240.
  GuardedBitmap smooth(12, 12);
  PIX_Circle(&smooth, 5.0f, 5.0f, 4.0f, Px(255, 255, 255, 255), 1.0f, 1, true);
  EXPECT_EQ(R(smooth.get(2, 2)), 255 * (256 * 240 / 256) / 256);
  EXPECT_EQ(R(smooth.get(5, 3)), 0);
}

// Radius 5 at (10, 10): the axis points, then eight points a step; the radius steps to 4 at
// x = 3 and to 3 at x = 4, where the walk ends.
TEST(PixCircle, MidpointWalk)
{
  GuardedBitmap bm(21, 21);
  Recorder::Begin(bm);
  _PIX_CircleDrawer<Recorder>::DrawClippedCircle(&bm, 10.0f, 10.0f, 5.0f, Whole(bm), kWhite, 1.0f, false, false);
  std::vector<Hit> expect = {{10, 15, 255}, {10, 5, 255}, {15, 10, 255}, {5, 10, 255}};
  const int steps[4][2] = {{1, 5}, {2, 5}, {3, 4}, {4, 3}};
  for (const auto& st : steps)
  {
    const int x = st[0], r = st[1];
    for (Hit h : {Hit{10 + x, 10 + r, 255}, Hit{10 - x, 10 + r, 255}, Hit{10 + x, 10 - r, 255}, Hit{10 - x, 10 - r, 255},
                  Hit{10 + r, 10 + x, 255}, Hit{10 - r, 10 + x, 255}, Hit{10 + r, 10 - x, 255}, Hit{10 - r, 10 - x, 255}})
      expect.push_back(h);
  }
  EXPECT_EQ(Recorder::hits, expect);

  // Radius 0 plots the centre four times; a negative radius the four axis points only.
  Recorder::Begin(bm);
  _PIX_CircleDrawer<Recorder>::DrawClippedCircle(&bm, 10.0f, 10.0f, 0.0f, Whole(bm), kWhite, 1.0f, true, false);
  EXPECT_EQ(Recorder::hits, std::vector<Hit>(4, Hit{10, 10, 255}));
  Recorder::Begin(bm);
  _PIX_CircleDrawer<Recorder>::DrawClippedCircle(&bm, 10.0f, 10.0f, -3.0f, Whole(bm), kWhite, 0.5f, true, true);
  EXPECT_EQ(Recorder::hits, (std::vector<Hit>{{10, 7, 127}, {10, 13, 127}, {7, 10, 127}, {13, 10, 127}}));

  // Through PIX_Circle in copy at 1.0: the colour itself at every point.
  GuardedBitmap drawn(21, 21);
  PIX_Circle(&drawn, 10.0f, 10.0f, 5.0f, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Ascii(drawn, {{0, '.'}, {kWhite, '#'}}, 4, 4, 13, 13), Map(R"(
      .............
      ....#####....
      ...#.....#...
      ..#.......#..
      .#.........#.
      .#.........#.
      .#.........#.
      .#.........#.
      .#.........#.
      ..#.......#..
      ...#.....#...
      ....#####....
      .............
  )"));
}

// Antialiased, each crossing is shared between the two pixels it falls between: radius 2.25
// puts 63 (a quarter) outside and 191 inside, and the first step draws its column twice.
TEST(PixCircle, AntialiasedStep)
{
  GuardedBitmap bm(12, 12);
  Recorder::Begin(bm);
  _PIX_CircleDrawer<Recorder>::DrawClippedCircleAA(&bm, 5.0f, 5.0f, 2.25f, Whole(bm), kWhite, 1.0f, false, false);
  const std::vector<Hit> first(Recorder::hits.begin(), Recorder::hits.begin() + 16);
  EXPECT_EQ(first, (std::vector<Hit>{{5, 8, 63}, {5, 7, 191}, {5, 3, 191}, {5, 2, 63}, {5, 8, 63}, {5, 7, 191},
                                     {5, 3, 191}, {5, 2, 63}, {8, 5, 63}, {7, 5, 191}, {8, 5, 63}, {7, 5, 191},
                                     {3, 5, 191}, {2, 5, 63}, {3, 5, 191}, {2, 5, 63}}));
  // Steps y = 1 and 2 follow (2 < sqrt(2.25^2 - 4) + 1), 16 points each; y = 3 has no root.
  EXPECT_EQ(Recorder::hits.size(), 48u);

  // Add mode at alpha 1.0 uses the weight 255.
  GuardedBitmap add(12, 12);
  PIX_Circle(&add, 5.0f, 5.0f, 5.5f, Px(0, 100, 0, 0), 1.0f, 1, false);
  EXPECT_EQ(R(add.get(5, 10)), 100 * 255 / 256);
}

// A circle well inside gives the same pixels whether or not its rasteriser tests each one.
TEST(PixCircle, ClipFlagChangesNothingInside)
{
  const float radii[] = {0.0f, 0.5f, 1.0f, 1.5f, 2.2f, 4.3f, 7.7f, 12.0f};
  for (float r : radii)
    for (bool aa : {false, true})
      for (bool fill : {false, true})
      {
        SCOPED_TRACE(std::to_string(r) + (aa ? " aa" : "") + (fill ? " fill" : ""));
        GuardedBitmap tested(48, 48, Px(90, 90, 90, 90)), untested(48, 48, Px(90, 90, 90, 90));
        for (bool clip : {true, false})
        {
          GuardedBitmap& bm = clip ? tested : untested;
          if (aa)
            _PIX_CircleDrawer<_PIX_CombinePixelsCopy>::DrawClippedCircleAA(&bm, 20.3f, 19.6f, r, Whole(bm), kWhite, 0.7f,
                                                                          fill, clip);
          else
            _PIX_CircleDrawer<_PIX_CombinePixelsCopy>::DrawClippedCircle(&bm, 20.3f, 19.6f, r, Whole(bm), kWhite, 0.7f,
                                                                        fill, clip);
        }
        for (int y = 0; y < 48; ++y)
          for (int x = 0; x < 48; ++x) ASSERT_EQ(tested.get(x, y), untested.get(x, y)) << x << "," << y;
      }
}

// A circle over the top-left corner draws only its inside part, and that part is exactly the
// matching part of the same circle drawn whole, ten pixels further in: nothing left of or above
// the bitmap is pulled into column or row 0.
TEST(PixCircle, CircleOverTheEdgeIsTheMatchingPart)
{
  for (bool aa : {false, true})
    for (bool fill : {false, true})
    {
      SCOPED_TRACE(std::string(aa ? "aa" : "plain") + (fill ? " fill" : ""));
      GuardedBitmap cut(20, 20), whole(30, 30);
      auto draw = fill ? PIX_FillCircle : PIX_Circle;
      draw(&cut, 2.0f, 3.0f, 6.0f, kWhite, 0.6f, 0, aa);
      draw(&whole, 12.0f, 13.0f, 6.0f, kWhite, 0.6f, 0, aa);
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(cut.get(x, y), whole.get(x + 10, y + 10)) << x << "," << y;
      EXPECT_TRUE(cut.GuardsIntact());
    }
}

// On a flipped bitmap the centre's row is mirrored, and the circle is rasterised there in memory.
TEST(PixCircle, FlippedBitmapMirrorsTheCentre)
{
  for (bool aa : {false, true})
  {
    GuardedBitmap mirrored(16, 16), flipped(16, 16, 0, true);
    PIX_FillCircle(&mirrored, 6.0f, 11.0f, 3.3f, kWhite, 1.0f, 0, aa);
    PIX_FillCircle(&flipped, 6.0f, 4.0f, 3.3f, kWhite, 1.0f, 0, aa);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) EXPECT_EQ(flipped.get(x, 15 - y), mirrored.get(x, y)) << x << "," << y;
  }
}

// Radii far beyond the bitmap are walked only where they can show; the arc that crosses the
// bitmap is where the circle is.
TEST(PixCircle, FarLargerThanTheBitmap)
{
  const float r = 1.0e6f, cx = 10.5f, cy = 1.0e6f + 5.5f;
  GuardedBitmap ring(24, 24), disc(24, 24), smooth(24, 24);
  PIX_Circle(&ring, cx, cy, r, kWhite, 1.0f, 0, false);
  PIX_FillCircle(&disc, cx, cy, r, kWhite, 1.0f, 0, false);
  PIX_Circle(&smooth, cx, cy, r, kWhite, 1.0f, 0, true);
  std::string line, filled;
  for (int y = 0; y < 24; ++y)
  {
    line += std::string(24, y == 5 ? '#' : '.') + "\n";
    filled += std::string(24, y >= 5 ? '#' : '.') + "\n";
  }
  EXPECT_EQ(Marks(ring), line);
  EXPECT_EQ(Marks(disc), filled);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x)
      if (y < 5 || y > 6)
      {
        EXPECT_EQ(smooth.get(x, y), 0u) << x << "," << y;
      }
  for (int x = 0; x < 24; ++x) EXPECT_NE(smooth.get(x, 5), 0u) << x;
  EXPECT_TRUE(ring.GuardsIntact() && disc.GuardsIntact() && smooth.GuardsIntact());

  // A far circle's side: every row of the bitmap crossed once, at the circle's column.
  GuardedBitmap side(24, 24);
  PIX_Circle(&side, -1.0e6f + 7.0f, 12.0f, 1.0e6f, kWhite, 1.0f, 0, false);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) EXPECT_EQ(side.get(x, y) != 0, x == 7) << x << "," << y;
}
