// Lines: clipping by every edge and corner, the integer walks in all eight octants (plain and
// antialiased), diagonals with the packed form, the dispatch on mode and alpha, and float lines.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "pix.h"
#include "pix_line_class.h"
#include "pix_testkit.h"

using namespace pixtest;

namespace
{
const PIX_PixelValue kWhite = 0xffffffffu;
const std::map<PIX_PixelValue, char> kInk = {{0, '.'}, {kWhite, '#'}};
}  // namespace

TEST(PixLine, ClipLineByEveryEdgeAndCorner)
{
  struct Case
  {
    const char* what;
    int in[4];
    bool accepted;
    int out[4];
  } cases[] = {
      {"inside", {1, 2, 8, 7}, true, {1, 2, 8, 7}},
      {"through left and right", {-10, 5, 20, 5}, true, {0, 5, 9, 5}},
      {"left", {-5, 1, 5, 6}, true, {0, 3, 5, 6}},
      {"top", {1, -4, 5, 4}, true, {3, 0, 5, 4}},
      // The crossing is taken on y = height, one row below the last, and y set to height - 1.
      {"bottom", {2, 2, 6, 12}, true, {2, 2, 5, 9}},
      {"right", {5, 2, 15, 7}, true, {5, 2, 9, 4}},
      {"top-left corner", {-5, -5, 5, 5}, true, {0, 0, 5, 5}},
      {"bottom-right corner", {5, 5, 15, 15}, true, {5, 5, 9, 9}},
      {"wholly left", {-5, -1, -1, 20}, false, {-5, -1, -1, 20}},
      // Rejected once the first point's crossing lands above the top, as far as clipping got.
      {"past the corner", {-5, 4, 4, -5}, false, {0, -1, 4, -5}},
      {"extreme ends", {INT_MIN, 0, INT_MAX, 0}, true, {0, 0, 9, 0}},
      {"extreme diagonal", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, true, {0, 0, 9, 9}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    int x1 = c.in[0], y1 = c.in[1], x2 = c.in[2], y2 = c.in[3];
    EXPECT_EQ(ClipLine(&x1, &y1, &x2, &y2, 10, 10), c.accepted);
    EXPECT_EQ(x1, c.out[0]);
    EXPECT_EQ(y1, c.out[1]);
    EXPECT_EQ(x2, c.out[2]);
    EXPECT_EQ(y2, c.out[3]);
  }

  // A rectangle's high bounds are outside.
  int x1 = 0, y1 = 10, x2 = 20, y2 = 10;
  EXPECT_TRUE(PIX_ClipLine(&x1, &y1, &x2, &y2, 5, 5, 15, 15));
  EXPECT_EQ(x1, 5);
  EXPECT_EQ(x2, 14);
  EXPECT_EQ(y2, 10);
}

TEST(PixLine, ClipFLine)
{
  // Truncation decides: a coordinate between -1 and 0 counts as inside.
  float x1 = -0.5f, y1 = 5.0f, x2 = 9.5f, y2 = 5.0f;
  EXPECT_TRUE(ClipFLine(&x1, &y1, &x2, &y2, 10, 10));
  EXPECT_EQ(x1, -0.5f);
  EXPECT_EQ(x2, 9.5f);

  x1 = -10.0f, y1 = 5.0f, x2 = 20.0f, y2 = 5.0f;
  EXPECT_TRUE(ClipFLine(&x1, &y1, &x2, &y2, 10, 10));
  EXPECT_EQ(x1, 0.0f);
  EXPECT_EQ(x2, 9.0f);

  x1 = 2.0f, y1 = 2.0f, x2 = 6.0f, y2 = 12.0f;
  EXPECT_TRUE(ClipFLine(&x1, &y1, &x2, &y2, 10, 10));
  EXPECT_FLOAT_EQ(x2, 5.2f);
  EXPECT_EQ(y2, 9.0f);

  const float inf = INFINITY, nan = NAN;
  const float bad[][4] = {{nan, 1, 5, 5}, {1, 1, inf, 5}, {-inf, 1, inf, 1}, {-3e38f, -3e38f, 3e38f, 3e38f}};
  for (const auto& b : bad)
  {
    float a = b[0], c = b[1], d = b[2], e = b[3];
    if (ClipFLine(&a, &c, &d, &e, 10, 10))
    {
      EXPECT_TRUE(std::isfinite(a) && std::isfinite(c) && std::isfinite(d) && std::isfinite(e));
      EXPECT_TRUE(a > -1 && a < 10 && d > -1 && d < 10);
    }
  }
}

// The plain integer walk in all eight octants: the same pixels mirrored and swapped, ending
// exactly on the end point and covering max(|dx|, |dy|) + 1 pixels.
TEST(PixLine, IntegerWalkInEveryOctant)
{
  const int minor[5] = {0, 0, 0, 1, 1};  // minor offsets of the walk from (0, 0) to (4, 1)
  for (int swap = 0; swap < 2; ++swap)
    for (int sx : {1, -1})
      for (int sy : {1, -1})
      {
        const int dx = (swap ? 1 : 4) * sx, dy = (swap ? 4 : 1) * sy;
        SCOPED_TRACE(std::to_string(dx) + "," + std::to_string(dy));
        GuardedBitmap bm(11, 11);
        Recorder::Begin(bm);
        __PIX_LineClass<Recorder>::PIX_LineImpl(&bm, 5, 5, 5 + dx, 5 + dy, kWhite, 1.0f, false);
        std::vector<Hit> expect;
        for (int i = 0; i <= 4; ++i)
          expect.push_back(swap ? Hit{5 + minor[i] * sx, 5 + i * sy, 256} : Hit{5 + i * sx, 5 + minor[i] * sy, 256});
        EXPECT_EQ(Recorder::hits, expect);
      }
}

// Antialiased, each inner step shares the weight with the pixel one minor step on; the minor step
// is taken only when the error exceeds 1.0, so an error that reaches exactly 1.0 leaves the last
// pixel one row short at weight 0 and the end point undrawn.
TEST(PixLine, AntialiasedWalk)
{
  GuardedBitmap bm(8, 8);
  Recorder::Begin(bm);
  __PIX_LineClass<Recorder>::PIX_LineImpl(&bm, 0, 0, 4, 1, kWhite, 1.0f, true);
  const std::vector<Hit> expect = {{0, 0, 256}, {1, 0, 192}, {1, 1, 64}, {2, 0, 128},
                                   {2, 1, 128}, {3, 0, 64},  {3, 1, 192}, {4, 0, 0}};
  EXPECT_EQ(Recorder::hits, expect);

  // Mirrored along y (a minor step of minus one row) with half the weight.
  Recorder::Begin(bm);
  __PIX_LineClass<Recorder>::PIX_LineImpl(&bm, 1, 6, 2, 2, kWhite, 0.5f, true);
  const std::vector<Hit> up = {{1, 6, 128}, {1, 5, 96}, {2, 5, 32}, {1, 4, 64}, {2, 4, 64}, {1, 3, 32}, {2, 3, 96}, {1, 2, 0}};
  EXPECT_EQ(Recorder::hits, up);
}

TEST(PixLine, Diagonals)
{
  // Combined: three quarters on the line, a quarter on the pixels it passes between.
  GuardedBitmap bm(4, 4);
  Recorder::Begin(bm);
  __PIX_LineClass<Recorder>::PIX_DiagLine(&bm, 0, 0, 2, 2, kWhite, 1.0f, true);
  EXPECT_EQ(Recorder::hits, (std::vector<Hit>{{0, 0, 192}, {1, 0, 64}, {0, 1, 64}, {1, 1, 192}, {2, 1, 64}, {1, 2, 64}, {2, 2, 192}}));

  // Copy at full opacity uses the packed form: 0xbe (half plus quarter) and 0x3f on black.
  GuardedBitmap packed(4, 4);
  PIX_Line(&packed, 3, 0, 0, 3, kWhite, 1.0f, 0, true);
  const std::map<PIX_PixelValue, char> legend = {{0, '.'}, {0xbebebebeu, 'X'}, {0x3f3f3f3fu, 'x'}};
  EXPECT_EQ(Ascii(packed, legend), Map(R"(
      ..xX
      .xXx
      xXx.
      Xx..
  )"));

  // Plain, the diagonal is the colour itself, every pixel from end to end.
  GuardedBitmap plain(4, 4);
  PIX_Line(&plain, 0, 3, 3, 0, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Ascii(plain, kInk), Map(R"(
      ...#
      ..#.
      .#..
      #...
  )"));
}

TEST(PixLine, Dispatch)
{
  struct Case
  {
    const char* what;
    int x1, y1, x2, y2;
    float alpha;
    int mode;
    bool aa;
    const char* map;
  } cases[] = {
      {"a single point", 2, 2, 2, 2, 1.0f, 0, false, "....\n....\n..#.\n....\n"},
      {"horizontal ignores antialias", 0, 1, 3, 1, 1.0f, 0, true, "....\n####\n....\n....\n"},
      {"vertical ignores antialias", 1, 3, 1, 0, 1.0f, 0, true, ".#..\n.#..\n.#..\n.#..\n"},
      {"source-alpha bit ignored", 0, 0, 3, 0, 1.0f, 0x10000, false, "####\n....\n....\n....\n"},
      {"mode 6 draws nothing", 0, 0, 3, 3, 1.0f, 6, false, "....\n....\n....\n....\n"},
      {"alpha 0 draws nothing", 0, 0, 3, 3, 0.0f, 1, false, "....\n....\n....\n....\n"},
      {"copy below 0 draws nothing", 0, 0, 3, 1, -1.0f, 0, false, "....\n....\n....\n....\n"},
      {"sloped", 0, 0, 3, 2, 1.0f, 0, false, "#...\n.##.\n...#\n....\n"},
      {"clipped both ends", -10, 2, 20, 2, 1.0f, 0, false, "....\n....\n####\n....\n"},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    GuardedBitmap bm(4, 4);
    PIX_Line(&bm, c.x1, c.y1, c.x2, c.y2, kWhite, c.alpha, c.mode, c.aa);
    EXPECT_EQ(Ascii(bm, kInk), c.map);
    EXPECT_TRUE(bm.GuardsIntact());
  }
}

// Copy at 0.5: without antialias every pixel is the half mix of colour and pixel; with it a
// sloped line shares the 128 weight between neighbours.
TEST(PixLine, CopyAtHalf)
{
  GuardedBitmap plain(6, 3), smooth(6, 3);
  PIX_Line(&plain, 0, 0, 4, 1, kWhite, 0.5f, 0, false);
  PIX_Line(&smooth, 0, 0, 4, 1, kWhite, 0.5f, 0, true);
  EXPECT_EQ(plain.get(2, 0), 0x7f7f7f7fu);
  EXPECT_EQ(plain.get(3, 1), 0x7f7f7f7fu);
  EXPECT_EQ(smooth.get(1, 0), 0x5f5f5f5fu);  // 255 * 96 / 256
  EXPECT_EQ(smooth.get(1, 1), 0x1f1f1f1fu);  // 255 * 32 / 256
}

TEST(PixLine, FlippedBitmapDrawsAtTheSameVisualPlace)
{
  GuardedBitmap up(5, 5), flipped(5, 5, 0, true);
  for (PIX_IBitmap* bm : {(PIX_IBitmap*)&up, (PIX_IBitmap*)&flipped})
  {
    PIX_Line(bm, 0, 0, 4, 2, kWhite, 1.0f, 0, false);
    PIX_FLine(bm, 0.0f, 4.0f, 4.0f, 4.0f, kWhite, 1.0f, 0, false);
  }
  EXPECT_EQ(Ascii(up, kInk), Ascii(flipped, kInk));
  EXPECT_EQ(Ascii(up, kInk), Map(R"(
      ##...
      ..##.
      ....#
      .....
      #####
  )"));
}

// Float lines: equal x counts as the negative direction, so a vertical line at 10.3 puts about
// 0.3 of the weight on column 10 and 0.7 on column 9; at 10.0 all of it on column 10.
TEST(PixLine, FloatWalk)
{
  GuardedBitmap bm(16, 16);
  Recorder::Begin(bm);
  __PIX_LineClass<Recorder>::PIX_FLineImpl(&bm, 10.3f, 2.0f, 10.3f, 4.0f, kWhite, 1.0f, true);
  EXPECT_EQ(Recorder::hits, (std::vector<Hit>{{10, 2, 77}, {9, 2, 179}, {10, 3, 77}, {9, 3, 179}, {10, 4, 77}, {9, 4, 179}}));

  Recorder::Begin(bm);
  __PIX_LineClass<Recorder>::PIX_FLineImpl(&bm, 10.0f, 2.0f, 10.0f, 4.0f, kWhite, 1.0f, true);
  EXPECT_EQ(Recorder::hits, (std::vector<Hit>{{10, 2, 256}, {10, 3, 256}, {10, 4, 256}}));

  // Plain: one pixel a step, the minor step taken when the error passes 0.5.
  Recorder::Begin(bm);
  __PIX_LineClass<Recorder>::PIX_FLineImpl(&bm, 1.5f, 1.25f, 5.5f, 2.25f, kWhite, 1.0f, false);
  EXPECT_EQ(Recorder::hits, (std::vector<Hit>{{1, 1, 256}, {2, 1, 256}, {3, 1, 256}, {4, 2, 256}, {5, 2, 256}}));
}

// The float walk may step a pixel past the clipped end points; those steps never reach memory
// outside the bitmap, along any edge, antialiased or not.
TEST(PixLine, FloatLinesStayInside)
{
  const float ends[][4] = {{-0.9f, 0.5f, 9.9f, 9.5f}, {9.99f, -0.99f, -0.99f, 9.99f}, {-0.5f, -0.5f, -0.5f, 9.9f},
                           {9.9f, 9.9f, -0.9f, 9.9f}, {-30, 4.5f, 40, 5.5f},         {4.5f, -30, 5.5f, 40}};
  for (bool aa : {false, true})
    for (int mode : {0, 1})
      for (const auto& e : ends)
      {
        GuardedBitmap bm(10, 10);
        PIX_FLine(&bm, e[0], e[1], e[2], e[3], kWhite, 0.8f, mode, aa);
        EXPECT_TRUE(bm.GuardsIntact()) << e[0] << "," << e[1] << " " << e[2] << "," << e[3];
      }
}
