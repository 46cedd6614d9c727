// Bezier curves: point and chord modes, the column clip, point splats (and points just outside
// the bitmap), and the cubic's y at x.

#include <gtest/gtest.h>

#include <cmath>

#include "pix.h"
#include "pix_curve_class.h"
#include "pix_testkit.h"

using namespace pixtest;

namespace
{
const PIX_PixelValue kWhite = 0xffffffffu, kOne = Px(64, 64, 64, 64);

// Draws (in add mode with kOne, a quarter in every channel), and counts each pixel's visits.
template <class Draw>
std::string Visits(int w, int h, Draw draw)
{
  GuardedBitmap bm(w, h);
  draw(bm);
  EXPECT_TRUE(bm.GuardsIntact());
  std::string s;
  for (int y = 0; y < h; ++y)
  {
    for (int x = 0; x < w; ++x)
    {
      const int n = (R(bm.get(x, y)) + 32) / 64;
      s += n == 0 ? '.' : (char)('0' + std::min(n, 9));
    }
    s += '\n';
  }
  return s;
}
}  // namespace

TEST(PixCurve, PointSplat)
{
  GuardedBitmap bm(16, 16);
  Recorder::Begin(bm);
  _PIX_CurveDrawer<Recorder>::DrawClippedFPt(&bm, 10.25f, 5.5f, 16, 16, kWhite, 1.0f);
  EXPECT_EQ(Recorder::hits, (std::vector<Hit>{{10, 5, 95}, {11, 5, 31}, {10, 6, 95}, {11, 6, 31}}));

  // A point just left of the bitmap shares its weight between column -1 (not drawn) and column 0
  // by where it lies; one just above, between row -1 and row 0.
  Recorder::Begin(bm);
  _PIX_CurveDrawer<Recorder>::DrawClippedFPt(&bm, -0.9f, 5.0f, 16, 16, kWhite, 1.0f);
  EXPECT_EQ(Recorder::hits, (std::vector<Hit>{{0, 5, 25}, {0, 6, 0}}));
  Recorder::Begin(bm);
  _PIX_CurveDrawer<Recorder>::DrawClippedFPt(&bm, 3.0f, -0.75f, 16, 16, kWhite, 1.0f);
  EXPECT_EQ(Recorder::hits, (std::vector<Hit>{{3, 0, 63}, {4, 0, 0}}));
}

// A quadratic with tolerance 1 or less is drawn as points, one pixel each in add mode; the copy
// store at alpha 1.0 ignores the zero weights of a point's other three pixels and marks 2 x 2.
TEST(PixCurve, QuadraticPointMode)
{
  EXPECT_EQ(Visits(14, 5, [](GuardedBitmap& bm) { PIX_DrawQBezier(&bm, 1, 1, 6, 1, 11, 1, kOne, 1.0f, 1, false, 1.0f); }),
            Map(R"(
      ..............
      .22121221211..
      ..............
      ..............
      ..............
  )"));
  GuardedBitmap stored(14, 5);
  PIX_DrawQBezier(&stored, 1, 1, 6, 1, 11, 1, kWhite, 1.0f, 0, false, 0.5f);
  EXPECT_EQ(Marks(stored), Map(R"(
      ..............
      .###########..
      .###########..
      ..............
      ..............
  )"));
}

// Chord mode: a quadratic plots its end points at the point weight and draws chords over them;
// a cubic draws chords only. Halves are split while their squared chord is at least tol^2.
TEST(PixCurve, ChordMode)
{
  GuardedBitmap bm(40, 40);
  Recorder::Begin(bm);
  _PIX_CurveDrawer<Recorder>::DrawQBezRecurse(0, &bm, 2, 20, 38, 2, 38, 2, kWhite, 1.0f, false, 0.0, 2, 2, 1.0, 38, 2,
                                              40, 40, 4.0f);
  ASSERT_GE(Recorder::hits.size(), 3u);
  EXPECT_EQ(Recorder::hits[0], (Hit{2, 2, 255}));
  EXPECT_EQ(Recorder::hits[1], (Hit{38, 2, 255}));
  for (size_t i = 2; i < Recorder::hits.size(); ++i) EXPECT_EQ(Recorder::hits[i].weight, 256);

  GuardedBitmap cb(40, 40);
  Recorder::Begin(cb);
  _PIX_CurveDrawer<Recorder>::DrawCBezRecurse(0, &cb, 0, 0, 36, 2, 0, 0, 0, 2, kWhite, 1.0f, false, 0.0, 2, 2, 1.0, 38, 2,
                                              40, 40, 0.25f);
  for (const Hit& h : Recorder::hits) EXPECT_EQ(h.weight, 256);
  // A straight cubic in chord mode: one run of chords along row 2, every pixel drawn but the
  // last (each chord's float walk stops short of its end, and the end point is not plotted).
  std::vector<int> cols;
  for (const Hit& h : Recorder::hits)
  {
    EXPECT_EQ(h.y, 2);
    cols.push_back(h.x);
  }
  for (int x = 2; x < 38; ++x) EXPECT_NE(std::find(cols.begin(), cols.end(), x), cols.end()) << x;

  // The tolerance chooses the mode: 1 or less points for a quadratic, 0 points for a cubic.
  // Point mode (tol2 0): every hit a point, at the point weight.
  GuardedBitmap pb(40, 40);
  Recorder::Begin(pb);
  _PIX_CurveDrawer<Recorder>::DrawCBezRecurse(0, &pb, 0, 0, 20, 2, 0, 0, 20, 2, kWhite, 1.0f, false, 0.0, 2, 2, 1.0, 22, 22,
                                              40, 40, 0.0f);
  EXPECT_GT(Recorder::hits.size(), 20u);
  for (const Hit& h : Recorder::hits) EXPECT_EQ(h.weight, 255);
}

TEST(PixCurve, ColumnClip)
{
  // Wholly left of the bitmap: nothing. A right end exactly at x = 0: that end point alone (both
  // ends and the first mid point fall on it).
  EXPECT_EQ(Visits(6, 6, [](GuardedBitmap& bm) { PIX_DrawQBezier(&bm, -9, 1, -5, 4, -1, 2, kOne, 1.0f, 1, true, 0.0f); }),
            Visits(6, 6, [](GuardedBitmap&) {}));
  EXPECT_EQ(Visits(6, 6, [](GuardedBitmap& bm) { PIX_DrawQBezier(&bm, -9, 1, -5, 4, 0, 2, kOne, 1.0f, 1, false, 0.0f); }),
            Map(R"(
      ......
      ......
      3.....
      ......
      ......
      ......
  )"));
  EXPECT_EQ(Visits(6, 6, [](GuardedBitmap& bm) { PIX_DrawCBezier(&bm, -9, 1, -5, 4, -3, 4, -1, 2, kOne, 1.0f, 1, false, 0.0f); }),
            Visits(6, 6, [](GuardedBitmap&) {}));

  // With x0 - 2 xc + x2 = 0 the crossing of column 0 takes y on the end points' straight line:
  // t 0.5, y 5, while the curve itself is at 12.5 there; the subdivision joins the two by a chord
  // down column 0.
  {
    const std::string v =
        Visits(20, 16, [](GuardedBitmap& bm) { PIX_DrawQBezier(&bm, -10, 0, 0, 20, 10, 10, kOne, 1.0f, 1, false, 0.0f); });
    std::string column0;
    for (int y = 0; y < 16; ++y) column0 += v[y * 21] == '.' ? '.' : '#';
    EXPECT_EQ(column0, ".....########...");
  }

  // A cubic cut at both sides of a narrow bitmap stays inside it.
  GuardedBitmap narrow(8, 30);
  PIX_DrawCBezier(&narrow, -20, 3, 0, 30, 10, -10, 30, 20, kOne, 1.0f, 1, true, 0.5f);
  EXPECT_TRUE(narrow.GuardsIntact());
  GuardedBitmap blank(8, 30);
  EXPECT_NE(Marks(narrow), Marks(blank));
}

// Curves just above the bitmap (between row -1 and row 0) leave no dots in row 0.
TEST(PixCurve, PointsJustOutsideStayOutside)
{
  GuardedBitmap bm(10, 10);
  PIX_DrawQBezier(&bm, 2.0f, -0.5f, 5.0f, -0.5f, 8.0f, -0.5f, kWhite, 1.0f, 1, false, 0.0f);
  PIX_DrawCBezier(&bm, 1.0f, -0.6f, 3.0f, -0.9f, 6.0f, -0.9f, 9.0f, -0.6f, kWhite, 1.0f, 1, false, 0.0f);
  GuardedBitmap blank(10, 10);
  EXPECT_EQ(Marks(bm), Marks(blank));
}

TEST(PixCurve, CubicYAtX)
{
  float next = -1, slope = -1;
  double tlo = -1, thi = -1;
  EXPECT_EQ(PIX_CBezier_GetY(0.0f, 3.0f, 6.0f, 9.0f, 1.0f, 2.0f, 3.0f, 4.0f, -2.0f, &next, &slope, &tlo, &thi), 1.0f);
  EXPECT_EQ(next, 0.0f);
  EXPECT_EQ(slope, 0.0f);
  EXPECT_EQ(tlo, -1.0);  // left untouched
  EXPECT_EQ(PIX_CBezier_GetY(0.0f, 3.0f, 6.0f, 9.0f, 1.0f, 2.0f, 3.0f, 4.0f, 9.0f, &next, &slope, &tlo, &thi), 4.0f);
  EXPECT_EQ(next, 9.0f);

  // A straight cubic: y is on the line and the bracket of t is 1/256 wide.
  EXPECT_FLOAT_EQ(PIX_CBezier_GetY(0.0f, 3.0f, 6.0f, 9.0f, 1.0f, 2.0f, 3.0f, 4.0f, 4.1f, &next, &slope, &tlo, &thi),
                  1.0f + 4.1f / 3.0f);
  EXPECT_DOUBLE_EQ(thi - tlo, 1.0 / 256.0);
  EXPECT_FLOAT_EQ(slope, 1.0f / 3.0f);

  // A curved one: y lies between the curve's values at the bracket.
  const float y = PIX_CBezier_GetY(0.0f, 0.0f, 9.0f, 9.0f, 0.0f, 9.0f, 9.0f, 0.0f, 2.0f, &next, &slope, &tlo, &thi);
  auto Y = [](double t) { return 27.0 * t * (1 - t) * (1 - t) + 27.0 * t * t * (1 - t); };
  EXPECT_GE(y, std::min(Y(tlo), Y(thi)) - 1e-4);
  EXPECT_LE(y, std::max(Y(tlo), Y(thi)) + 1e-4);
}
