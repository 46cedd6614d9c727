// Arcs: by quadrant, within one quadrant, across quadrant and half-turn splits, whole turns,
// empty sweeps; rounded rectangles.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "pix.h"
#include "pix_testkit.h"

using namespace pixtest;

namespace
{
const PIX_PixelValue kWhite = 0xffffffffu, kGrey = Px(60, 60, 60, 60);
using Region = std::function<bool(int x, int y)>;

// The arc must be the whole circle (drawn the same way) inside the region and nothing outside.
void ExpectArc(float a0, float a1, const Region& in, bool aa)
{
  GuardedBitmap whole(100, 100, kGrey), arc(100, 100, kGrey);
  PIX_Circle(&whole, 50.0f, 50.0f, 10.0f, kWhite, 0.6f, 0, aa);
  PIX_Arc(&arc, 50.0f, 50.0f, 10.0f, a0, a1, kWhite, 0.6f, 0, aa);
  int drawn = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x)
    {
      ASSERT_EQ(arc.get(x, y), in(x, y) ? whole.get(x, y) : kGrey) << x << "," << y;
      drawn += arc.get(x, y) != kGrey;
    }
  EXPECT_GT(drawn, 0);
}
}  // namespace

TEST(PixArc, Quadrants)
{
  const float q = 1.5707964f;
  struct Case
  {
    const char* what;
    float a0, a1;
    Region in;
  } cases[] = {
      {"top right", 0.0f, q, [](int x, int y) { return x >= 50 && y < 50; }},
      {"bottom right", q, 2 * q, [](int x, int y) { return x >= 50 && y >= 50; }},
      {"bottom left", 2 * q, 3 * q, [](int x, int y) { return x < 50 && y >= 50; }},
      {"top left", 3 * q, 6.2831855f, [](int x, int y) { return x < 50 && y < 50; }},
      {"top left from -pi/2", -q, 0.0f, [](int x, int y) { return x < 50 && y < 50; }},
      {"right half", 0.0f, 2 * q, [](int x, int) { return x >= 50; }},
      {"bottom half", q, 3 * q, [](int, int y) { return y >= 50; }},
  };
  for (const Case& c : cases)
    for (bool aa : {false, true})
    {
      SCOPED_TRACE(std::string(c.what) + (aa ? " aa" : ""));
      ExpectArc(c.a0, c.a1, c.in, aa);
    }
}

// Between two angles of one quadrant the arc is bounded by both ends (here columns 50 to 58 and
// rows 40 to 49), not most of the circle.
TEST(PixArc, WithinOneQuadrant)
{
  for (bool aa : {false, true})
    ExpectArc(0.3f, 1.2f, [](int x, int y) { return x >= 50 && x < 59 && y >= 40 && y < 50; }, aa);
  // In the bottom left quadrant, from 3.6 (row 58) to 4.4 (column 40).
  for (bool aa : {false, true})
    ExpectArc(3.6f, 4.4f, [](int x, int y) { return x >= 40 && x < 50 && y >= 50 && y < 58; }, aa);
}

TEST(PixArc, AcrossSplits)
{
  struct Case
  {
    const char* what;
    float a0, a1;
    Region in;
  } cases[] = {
      // 0 to 3.5: the right half, and the bottom left down to column 46.
      {"0 to 3.5", 0.0f, 3.5f, [](int x, int y) { return x >= 50 || (x >= 46 && y >= 50); }},
      // -1 to 2.5: the top left from column 41, the top right, the bottom right above row 58.
      {"-1 to 2.5", -1.0f, 2.5f, [](int x, int y) { return (y < 50 && x >= 41) || (x >= 50 && y < 58); }},
      // 1.0 to 6.5 runs past the top: all but the top right between 0.2168 (x 52) and 1.0 (y 44).
      {"1.0 to 6.5", 1.0f, 6.5f, [](int x, int y) { return !(x >= 50 && y < 50) || y >= 44 || x < 52; }},
      {"a whole turn", 0.0f, 6.2831855f, [](int, int) { return true; }},
      {"more than a turn", -1.0f, 10.0f, [](int, int) { return true; }},
      {"huge angles, a whole turn", -1e30f, 1e30f, [](int, int) { return true; }},
  };
  for (const Case& c : cases)
    for (bool aa : {false, true})
    {
      SCOPED_TRACE(std::string(c.what) + (aa ? " aa" : ""));
      ExpectArc(c.a0, c.a1, c.in, aa);
    }
}

TEST(PixArc, EmptySweepsAndModes)
{
  struct Case
  {
    float a0, a1, alpha;
    int mode;
  } cases[] = {{1.0f, 1.0f, 1.0f, 0}, {2.0f, 1.0f, 1.0f, 0}, {1e30f, 1e30f + 1.0f, 1.0f, 0},
               {0.0f, 3.0f, 0.0f, 1}, {0.0f, 3.0f, 1.0f, 6}, {0.0f, 3.0f, -1.0f, 0}};
  for (const Case& c : cases)
  {
    GuardedBitmap bm(100, 100);
    PIX_Arc(&bm, 50.0f, 50.0f, 10.0f, c.a0, c.a1, kWhite, c.alpha, c.mode, false);
    GuardedBitmap blank(100, 100);
    EXPECT_EQ(Marks(bm), Marks(blank)) << c.a0 << " " << c.a1;
  }
}

// On a flipped bitmap an arc appears where it would on any other: the top right stays top right
// (its rasterisation is that of the mirrored circle, so its pixels are not a mirror image).
TEST(PixArc, FlippedBitmap)
{
  GuardedBitmap up(100, 100), flipped(100, 100, 0, true);
  PIX_Arc(&up, 50.0f, 40.0f, 10.0f, 0.3f, 1.2f, kWhite, 1.0f, 0, false);
  PIX_Arc(&flipped, 50.0f, 40.0f, 10.0f, 0.3f, 1.2f, kWhite, 1.0f, 0, false);
  int n = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x)
      if (flipped.get(x, y))
      {
        ++n;
        EXPECT_TRUE(x >= 50 && x < 60 && y > 29 && y <= 40) << x << "," << y;
      }
  EXPECT_GE(n, 3);
}

TEST(PixRoundRect, LinesAndQuarterArcs)
{
  GuardedBitmap bm(16, 12);
  PIX_RoundRect(&bm, 1.0f, 1.0f, 12.0f, 8.0f, 3, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Marks(bm), Map(R"(
      ................
      ...#########....
      ..#.........#...
      .#...........#..
      .#...........#..
      .#...........#..
      .#...........#..
      .#...........#..
      ..#.........#...
      ...#########....
      ................
      ................
  )"));

  // A radius under 2 after limiting, or none, draws the plain outline.
  struct Case
  {
    float x, y, w, h;
    int radius;
  } plain[] = {{2, 2, 10, 6, 1}, {2, 2, 10, 3, 5}, {2, 2, 10, 6, 0}, {2.7f, 2.2f, 10.9f, 6.5f, -3}};
  for (const Case& c : plain)
  {
    GuardedBitmap a(16, 12), b(16, 12);
    PIX_RoundRect(&a, c.x, c.y, c.w, c.h, c.radius, kWhite, 1.0f, 0, false);
    PIX_DrawRect(&b, (int)c.x, (int)c.y, (int)c.w, (int)c.h, kWhite, 1.0f, 0);
    EXPECT_EQ(Marks(a), Marks(b));
  }
}
