// Rectangle outlines, bordered rectangles, dashed lines and filled triangles.

#include <gtest/gtest.h>

#include <algorithm>

#include "pix.h"
#include "pix_testkit.h"

using namespace pixtest;

namespace
{
const PIX_PixelValue kInkValue = 0xffffffffu;
const std::map<PIX_PixelValue, char> kInk = {{0, '.'}, {kInkValue, '#'}};
}  // namespace

TEST(PixRect, OutlineAndCornersDrawnTwice)
{
  GuardedBitmap bm(9, 10);
  PIX_DrawRect(&bm, 2, 3, 4, 5, kInkValue, 1.0f, 0);
  EXPECT_EQ(Ascii(bm, kInk), Map(R"(
      .........
      .........
      .........
      ..#####..
      ..#...#..
      ..#...#..
      ..#...#..
      ..#...#..
      ..#####..
      .........
  )"));

  // In add mode each corner is added by both of its lines.
  GuardedBitmap add(9, 10);
  PIX_DrawRect(&add, 2, 3, 4, 5, Px(0, 10, 0, 0), 1.0f, 1);
  const std::map<PIX_PixelValue, char> legend = {{0, '.'}, {Px(0, 10, 0, 0), '1'}, {Px(0, 20, 0, 0), '2'}};
  EXPECT_EQ(Ascii(add, legend, 2, 3, 5, 6), Map(R"(
      21112
      1...1
      1...1
      1...1
      1...1
      21112
  )"));
}

TEST(PixRect, BorderedFillsExactlyTheInside)
{
  GuardedBitmap bm(12, 12);
  const PIX_PixelValue bg = Px(255, 0, 0, 200);
  PIX_BorderedRect(&bm, 0, 0, 10, 10, bg, kInkValue, 1.0f, 0);
  const std::map<PIX_PixelValue, char> legend = {{0, '.'}, {bg, 'o'}, {kInkValue, '#'}};
  std::string expect = "###########.\n";
  for (int y = 1; y < 10; ++y) expect += "#ooooooooo#.\n";
  expect += "###########.\n............\n";
  EXPECT_EQ(Ascii(bm, legend), expect);
}

TEST(PixDashedLine, DashesRunOverTheHalfOpenRange)
{
  struct Case
  {
    const char* what;
    int x1, y1, x2, y2, on, off;
    float alpha;
    int mode;
    const char* rows;  // '#' for each drawn row (vertical) or column (horizontal), from 0
  } cases[] = {
      {"3 on 2 off", 5, 0, 5, 12, 3, 2, 1.0f, 0, "###..###..##."},
      {"either end first", 5, 12, 5, 0, 3, 2, 1.0f, 0, "###..###..##."},
      {"1 on 1 off to 4", 5, 0, 5, 4, 1, 1, 1.0f, 0, "#.#.........."},
      {"1 on 1 off to 5", 5, 0, 5, 5, 1, 1, 1.0f, 0, "#.#.#........"},
      {"1 on 1 off, general walk", 5, 0, 5, 5, 1, 1, 1.0f, 1, "#.#.#........"},
      {"horizontal", 0, 5, 12, 5, 3, 2, 1.0f, 0, "###..###..##."},
      {"a single point", 5, 5, 5, 5, 3, 2, 1.0f, 0, "............."},
      {"sloped", 0, 0, 12, 12, 3, 2, 1.0f, 0, "............."},
      {"no gap", 5, 0, 5, 7, 2, 0, 1.0f, 0, "#######......"},
      {"negative gap counts as none", 5, 0, 5, 7, 2, -5, 1.0f, 0, "#######......"},
      {"no dash", 5, 0, 5, 7, 0, 3, 1.0f, 0, "............."},
      {"negative dash", 5, 0, 5, 7, -2, 3, 1.0f, 0, "............."},
      {"clipped: the last row is the bitmap's", 5, -4, 5, 40, 3, 1, 1.0f, 0, "###.###.###.."},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    GuardedBitmap bm(13, 13);
    PIX_DashedLine(&bm, c.x1, c.y1, c.x2, c.y2, c.on, c.off, c.mode == 1 ? 0x01010101u : kInkValue, c.alpha, c.mode,
                   false);
    std::string got;
    const bool horizontal = c.y1 == c.y2 && c.x1 != c.x2;
    for (int i = 0; i < 13; ++i) got += bm.get(horizontal ? i : 5, horizontal ? 5 : i) != 0 ? '#' : '.';
    EXPECT_EQ(got, c.rows);
    EXPECT_TRUE(bm.GuardsIntact());
  }
}

namespace
{
std::string Triangle(int w, int h, const int (&v)[6], bool flipped = false)
{
  GuardedBitmap bm(w, h, 0, flipped);
  PIX_FillTriangle(&bm, v[0], v[1], v[2], v[3], v[4], v[5], kInkValue, 1.0f, 0);
  EXPECT_TRUE(bm.GuardsIntact());
  return Ascii(bm, kInk);
}
}  // namespace

TEST(PixTriangle, RowsFromTopToAboveTheBottomVertex)
{
  const int tri[6] = {0, 0, 10, 0, 0, 10};
  EXPECT_EQ(Triangle(12, 11, tri), Map(R"(
      ###########.
      ##########..
      #########...
      ########....
      #######.....
      ######......
      #####.......
      ####........
      ###.........
      ##..........
      ............
  )"));
  const int flat[6] = {0, 4, 9, 4, 5, 4};
  GuardedBitmap blank(12, 11);
  EXPECT_EQ(Triangle(12, 11, flat), Ascii(blank, kInk));
}

// Every order of the same three vertices gives the same pixels, flipped bitmaps included.
TEST(PixTriangle, EveryVertexOrder)
{
  const int shapes[][6] = {{1, 1, 14, 5, 4, 12}, {0, 0, 10, 0, 0, 10}, {7, -3, 15, 9, -2, 14}, {3, 2, 3, 9, 12, 9}};
  for (const auto& s : shapes)
  {
    const int P[3][2] = {{s[0], s[1]}, {s[2], s[3]}, {s[4], s[5]}};
    int order[3] = {0, 1, 2};
    const int first[6] = {s[0], s[1], s[2], s[3], s[4], s[5]};
    const std::string expect = Triangle(16, 16, first);
    do
    {
      const int v[6] = {P[order[0]][0], P[order[0]][1], P[order[1]][0], P[order[1]][1], P[order[2]][0], P[order[2]][1]};
      EXPECT_EQ(Triangle(16, 16, v), expect);
      const int up[6] = {v[0], 15 - v[1], v[2], 15 - v[3], v[4], 15 - v[5]};
      GuardedBitmap flipped(16, 16, 0, true);
      PIX_FillTriangle(&flipped, up[0], up[1], up[2], up[3], up[4], up[5], kInkValue, 1.0f, 0);
      std::string mirrored;  // the flipped bitmap's rows, bottom first, are the plain picture
      for (int y = 15; y >= 0; --y) mirrored += Ascii(flipped, kInk, 0, y, 16, 1);
      EXPECT_EQ(mirrored, expect);
    } while (std::next_permutation(order, order + 3));
  }
}

// A row whose edges straddle the bitmap's left edge is drawn from column 0 to the greater edge,
// whichever edge that is; a triangle past the right edge stops at the last column.
TEST(PixTriangle, RowsCrossingTheEdges)
{
  GuardedBitmap bm(100, 20);
  PIX_FillTriangle(&bm, -10, 0, 5, 10, 6, 20, kInkValue, 1.0f, 0);
  auto span = [&](int y) {
    int lo = -1, hi = -1;
    for (int x = 0; x < 100; ++x)
      if (bm.get(x, y))
      {
        if (lo < 0) lo = x;
        hi = x;
      }
    return std::make_pair(lo, hi);
  };
  EXPECT_EQ(span(8), std::make_pair(0, 2));  // long edge at -3.6, short edge at 2
  EXPECT_EQ(span(12), std::make_pair(0, 5));
  EXPECT_EQ(span(7), std::make_pair(0, 1));    // both edges left of 0.5: long -4.4, short 0.5
  EXPECT_EQ(span(6), std::make_pair(-1, -1));  // wholly left of the bitmap

  GuardedBitmap right(10, 10);
  PIX_FillTriangle(&right, 5, 0, 30, 5, 5, 9, kInkValue, 1.0f, 0);
  EXPECT_EQ(right.get(9, 4), kInkValue);
  EXPECT_TRUE(right.GuardsIntact());
}

// A triangle whose top lies far above the bitmap costs no more than its visible rows, and its
// edges arrive where stepping row by row would bring them.
TEST(PixTriangle, FarAboveTheTop)
{
  const int tri[6] = {-500000000, -1000000000, 500000000, 1000000000, -500000000, 1000000000};
  EXPECT_EQ(Triangle(6, 6, tri), Map(R"(
      #.....
      ##....
      ##....
      ###...
      ###...
      ####..
  )"));
  const int near[6] = {-500, -1000, 500, 1000, -500, 1000};
  EXPECT_EQ(Triangle(6, 6, near), Triangle(6, 6, tri));
}
