// Every blit and shape entry point with non-finite and extreme arguments: each argument in turn,
// then all at once, in several modes, plain and flipped. Nothing may hang (the suite runs under a
// tight ctest timeout), recurse without end, overflow (the sanitizer build checks int overflow
// and float-to-int casts) or write outside the bitmap (guard pixels fence it).

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <set>

#include "pix.h"
#include "pix_circle_class.h"
#include "pix_curve_class.h"
#include "pix_line_class.h"
#include "pix_testkit.h"

using namespace pixtest;

namespace
{
const double kInf = std::numeric_limits<double>::infinity(), kNaN = std::numeric_limits<double>::quiet_NaN();
const std::vector<double> kBadFloats = {kNaN, kInf, -kInf, 3e38, -3e38, 1e30, -1e30, 1e9, -1e9, 65536.5, -0.5, 0.0};
const std::vector<double> kBadDoubles = {kNaN, kInf, -kInf, 1e300, -1e300, 1e30, -1e30, 1e9, -1e9, 65536.5, -0.5, 0.0};
const std::vector<int> kBadInts = {INT_MIN, INT_MAX, INT_MIN + 1, INT_MAX - 1, -(1 << 30), 1 << 30, 0, -1};

using Draw = std::function<void(PIX_IBitmap* bm, const std::vector<double>& f, const std::vector<int>& i, int mode,
                                bool flag)>;

struct Entry
{
  const char* name;
  std::vector<double> f;   // a reasonable call's float and double arguments
  std::vector<int> i;      // and its int arguments
  std::set<size_t> wide;   // positions in f that are doubles
  std::vector<int> modes;
  Draw draw;
};

GuardedBitmap& Source()
{
  static GuardedBitmap src = [] {
    GuardedBitmap s(32, 24);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 32; ++x) s.at(x, y) = Px(17 * x & 255, 9 * y & 255, 200, 77);
    return s;
  }();
  return src;
}

void Sweep(const Entry& e)
{
  SCOPED_TRACE(e.name);
  auto run = [&](const std::vector<double>& f, const std::vector<int>& i) {
    for (int mode : e.modes)
      for (bool flag : {false, true})
        for (bool flipped : {false, true})
        {
          GuardedBitmap bm(64, 48, Px(40, 50, 60, 70), flipped);
          e.draw(&bm, f, i, mode, flag);
          if (!bm.GuardsIntact())
          {
            std::string args;
            for (double v : f) args += std::to_string(v) + " ";
            for (int v : i) args += std::to_string(v) + " ";
            FAIL() << "wrote outside the bitmap: " << args << "mode " << mode << " flag " << flag;
          }
        }
  };
  run(e.f, e.i);
  for (size_t p = 0; p < e.f.size(); ++p)
    for (double v : e.wide.count(p) ? kBadDoubles : kBadFloats)
    {
      std::vector<double> f = e.f;
      f[p] = v;
      run(f, e.i);
    }
  for (size_t p = 0; p < e.i.size(); ++p)
    for (int v : kBadInts)
    {
      std::vector<int> i = e.i;
      i[p] = v;
      run(e.f, i);
    }
  // All at once, and alternating in sign.
  for (double v : kBadFloats)
  {
    std::vector<double> f = e.f, g = e.f;
    for (size_t p = 0; p < f.size(); ++p)
    {
      f[p] = v;
      g[p] = p & 1 ? -v : v;
    }
    run(f, e.i);
    run(g, e.i);
  }
  for (int v : kBadInts)
  {
    std::vector<int> i = e.i, j = e.i;
    for (size_t p = 0; p < i.size(); ++p)
    {
      i[p] = v;
      j[p] = p & 1 ? (v == INT_MIN ? INT_MAX : -v) : v;
    }
    run(e.f, i);
    run(e.f, j);
  }
}

float F(double v) { return (float)v; }
const std::vector<int> kBlitModes = {0, 0x100, 0x200, 0x10101, 0x10100};
const std::vector<int> kShapeModes = {0, 1, 5};
}  // namespace

TEST(PixVectorRobust, ScaledBlit)
{
  Sweep({"PIX_ScaledBlit", {1.5, 2.5, 20, 15, 0.8}, {3, 2, 40, 30}, {}, kBlitModes,
         [](PIX_IBitmap* bm, const auto& f, const auto& i, int mode, bool) {
           PIX_ScaledBlit(bm, &Source(), i[0], i[1], i[2], i[3], F(f[0]), F(f[1]), F(f[2]), F(f[3]), F(f[4]), mode);
           PIX_ScaledBlit(bm, &Source(), i[0], i[1], i[2] / 8, i[3] / 8, F(f[0]), F(f[1]), F(f[2]), F(f[3]), 1.0f, mode);
         }});
}

TEST(PixVectorRobust, DeltaAndRotatedBlits)
{
  Sweep({"PIX_DeltaBlit", {1.5, 2.5, 20, 15, 0.9, -0.3, 0.4, 0.8, 0.01, -0.02, 0.7}, {3, 2, 40, 30},
         {4, 5, 6, 7, 8, 9}, kBlitModes, [](PIX_IBitmap* bm, const auto& f, const auto& i, int mode, bool clip) {
           PIX_DeltaBlit(bm, &Source(), i[0], i[1], i[2], i[3], F(f[0]), F(f[1]), F(f[2]), F(f[3]), f[4], f[5], f[6], f[7],
                         f[8], f[9], clip, F(f[10]), mode);
         }});
  Sweep({"PIX_RotatedBlit", {1.5, 2.5, 20, 15, 0.6, 0.8, 3, -2}, {3, 2, 40, 30}, {}, kBlitModes,
         [](PIX_IBitmap* bm, const auto& f, const auto& i, int mode, bool clip) {
           PIX_RotatedBlit(bm, &Source(), i[0], i[1], i[2], i[3], F(f[0]), F(f[1]), F(f[2]), F(f[3]), F(f[4]), clip, F(f[5]),
                           mode, F(f[6]), F(f[7]));
         }});
}

TEST(PixVectorRobust, TransformBlit)
{
  std::vector<double> grid = {0, 0, 10, 1, 20, 0, 1, 10, 11, 12, 19, 9, 0, 20, 10, 22, 21, 19, 0.9};
  Sweep({"PIX_TransformBlit", grid, {3, 2, 40, 30}, {}, kBlitModes,
         [](PIX_IBitmap* bm, const auto& f, const auto& i, int mode, bool) {
           float pts[18];
           for (int k = 0; k < 18; ++k) pts[k] = F(f[k]);
           for (int gw : {0, 1, 2, 3})
             PIX_TransformBlit(bm, &Source(), i[0], i[1], i[2], i[3], pts, gw, 3, F(f[18]), mode);
           PIX_TransformBlit(bm, &Source(), i[0], i[1], i[2], i[3], nullptr, 3, 3, F(f[18]), mode);
         }});
}

TEST(PixVectorRobust, LinesAndClipping)
{
  Sweep({"PIX_Line", {0.7}, {2, 3, 50, 40}, {}, kShapeModes,
         [](PIX_IBitmap* bm, const auto& f, const auto& i, int mode, bool aa) {
           PIX_Line(bm, i[0], i[1], i[2], i[3], 0xffffffffu, F(f[0]), mode, aa);
           PIX_Line(bm, i[0], i[1], i[2], i[1], 0xffffffffu, 1.0f, mode, aa);
           PIX_Line(bm, i[0], i[1], i[0] / 2 + i[2] / 2, i[1] / 2 + i[3] / 2, 0xffffffffu, 0.5f, mode, aa);
           int a = i[0], b = i[1], c = i[2], d = i[3];
           if (ClipLine(&a, &b, &c, &d, 64, 48))
           {
             ASSERT_TRUE(a >= 0 && a < 64 && c >= 0 && c < 64 && b >= 0 && d < 48);
           }
           a = i[0], b = i[1], c = i[2], d = i[3];
           if (PIX_ClipLine(&a, &b, &c, &d, -5, 3, 20, i[3]))
           {
             ASSERT_TRUE(a >= -5 && a < 20 && c >= -5 && c < 20 && b >= 3 && d >= 3);
           }
         }});
  Sweep({"PIX_FLine", {2.5, 3.25, 50.75, 40.5, 0.7}, {}, {}, kShapeModes,
         [](PIX_IBitmap* bm, const auto& f, const auto&, int mode, bool aa) {
           PIX_FLine(bm, F(f[0]), F(f[1]), F(f[2]), F(f[3]), 0xffffffffu, F(f[4]), mode, aa);
           __PIX_LineClass<_PIX_CombinePixelsAdd>::PIX_FLineImpl(bm, F(f[0]), F(f[1]), F(f[2]), F(f[3]), 0x10101010u,
                                                                 F(f[4]), aa);
           float a = F(f[0]), b = F(f[1]), c = F(f[2]), d = F(f[3]);
           if (ClipFLine(&a, &b, &c, &d, 64, 48))
           {
             ASSERT_TRUE(a > -1 && a < 64 && c > -1 && c < 64 && b > -1 && b < 48 && d > -1 && d < 48);
           }
         }});
}

TEST(PixVectorRobust, RectanglesDashesTriangles)
{
  Sweep({"PIX_DrawRect", {0.6}, {2, 3, 40, 30}, {}, kShapeModes,
         [](PIX_IBitmap* bm, const auto& f, const auto& i, int mode, bool) {
           PIX_DrawRect(bm, i[0], i[1], i[2], i[3], 0xffffffffu, F(f[0]), mode);
           PIX_BorderedRect(bm, i[0], i[1], i[2], i[3], 0x11223344u, 0xffffffffu, F(f[0]), mode);
         }});
  Sweep({"PIX_DashedLine", {0.6}, {5, 1, 5, 40, 3, 2}, {}, kShapeModes,
         [](PIX_IBitmap* bm, const auto& f, const auto& i, int mode, bool) {
           PIX_DashedLine(bm, i[0], i[1], i[2], i[3], i[4], i[5], 0xffffffffu, F(f[0]), mode, false);
           PIX_DashedLine(bm, i[1], i[0], i[3], i[2], i[4], i[5], 0xffffffffu, 1.0f, mode, false);
           PIX_DashedLine(bm, i[0], i[1], i[2], i[3], 1, 1, 0xffffffffu, 1.0f, mode, false);
         }});
  Sweep({"PIX_FillTriangle", {0.6}, {2, 3, 60, 10, 20, 45}, {}, kShapeModes,
         [](PIX_IBitmap* bm, const auto& f, const auto& i, int mode, bool) {
           PIX_FillTriangle(bm, i[0], i[1], i[2], i[3], i[4], i[5], 0xffffffffu, F(f[0]), mode);
         }});
}

TEST(PixVectorRobust, CirclesAndArcs)
{
  Sweep({"PIX_Circle", {30.5, 20.25, 12.5, 0.6}, {}, {}, kShapeModes,
         [](PIX_IBitmap* bm, const auto& f, const auto&, int mode, bool aa) {
           PIX_Circle(bm, F(f[0]), F(f[1]), F(f[2]), 0xffffffffu, F(f[3]), mode, aa);
           PIX_FillCircle(bm, F(f[0]), F(f[1]), F(f[2]), 0xffffffffu, F(f[3]), mode, aa);
           PIX_Circle(bm, F(f[0]), F(f[1]), 3.0f, 0xffffffffu, F(f[3]), mode, aa);
           CachedCircle(bm, F(f[0]), F(f[1]), 4.0f, 0xffffffffu, F(f[3]), mode, aa);
           PIX_Circle(bm, F(f[0]), F(f[1]), -F(f[2]), 0xffffffffu, F(f[3]), mode, aa);
           const RECT clip = {0, 0, bm->getWidth(), bm->getHeight()};
           _PIX_CircleDrawer<_PIX_CombinePixelsAdd>::DrawClippedCircle(bm, F(f[0]), F(f[1]), F(f[2]), clip, 0x10101010u,
                                                                      F(f[3]), true, true);
           _PIX_CircleDrawer<_PIX_CombinePixelsAdd>::DrawClippedCircleAA(bm, F(f[0]), F(f[1]), F(f[2]), clip,
                                                                        0x10101010u, F(f[3]), true, true);
         }});
  Sweep({"PIX_Arc", {30.5, 20.25, 12.5, 0.3, 4.1, 0.6}, {}, {}, kShapeModes,
         [](PIX_IBitmap* bm, const auto& f, const auto&, int mode, bool aa) {
           PIX_Arc(bm, F(f[0]), F(f[1]), F(f[2]), F(f[3]), F(f[4]), 0xffffffffu, F(f[5]), mode, aa);
           PIX_Arc(bm, F(f[0]), F(f[1]), F(f[2]), F(f[4]), F(f[3]), 0xffffffffu, F(f[5]), mode, aa);
           PIX_Arc(bm, F(f[0]), F(f[1]), F(f[2]), 1.0f, 6.5f, 0xffffffffu, F(f[5]), mode, aa);
           _PIX_CircleDrawer<_PIX_CombinePixelsCopy>::DrawArc(bm, F(f[0]), F(f[1]), F(f[2]), F(f[3]), F(f[4]),
                                                             0xffffffffu, F(f[5]), aa);
         }});
  Sweep({"PIX_RoundRect", {2.5, 3.5, 50, 30, 0.6}, {6}, {}, kShapeModes,
         [](PIX_IBitmap* bm, const auto& f, const auto& i, int mode, bool aa) {
           PIX_RoundRect(bm, F(f[0]), F(f[1]), F(f[2]), F(f[3]), i[0], 0xffffffffu, F(f[4]), mode, aa);
         }});
}

TEST(PixVectorRobust, Curves)
{
  Sweep({"PIX_DrawQBezier", {-5, 3, 30, 60, 70, 10, 0.6, 2}, {}, {}, kShapeModes,
         [](PIX_IBitmap* bm, const auto& f, const auto&, int mode, bool aa) {
           PIX_DrawQBezier(bm, F(f[0]), F(f[1]), F(f[2]), F(f[3]), F(f[4]), F(f[5]), 0xffffffffu, F(f[6]), mode, aa, F(f[7]));
           PIX_DrawQBezier(bm, F(f[0]), F(f[1]), F(f[2]), F(f[3]), F(f[4]), F(f[5]), 0xffffffffu, F(f[6]), mode, aa, 0.0f);
           _PIX_CurveDrawer<_PIX_CombinePixelsAdd>::DrawClippedFPt(bm, F(f[0]), F(f[1]), bm->getWidth(), bm->getHeight(),
                                                                   0x10101010u, F(f[6]));
         }});
  Sweep({"PIX_DrawCBezier", {-5, 3, 30, 60, 40, -20, 70, 10, 0.6, 0.5}, {}, {}, kShapeModes,
         [](PIX_IBitmap* bm, const auto& f, const auto&, int mode, bool aa) {
           PIX_DrawCBezier(bm, F(f[0]), F(f[1]), F(f[2]), F(f[3]), F(f[4]), F(f[5]), F(f[6]), F(f[7]), 0xffffffffu,
                           F(f[8]), mode, aa, F(f[9]));
           PIX_DrawCBezier(bm, F(f[0]), F(f[1]), F(f[2]), F(f[3]), F(f[4]), F(f[5]), F(f[6]), F(f[7]), 0xffffffffu,
                           F(f[8]), mode, aa, 0.0f);
           float next, slope;
           double lo, hi;
           PIX_CBezier_GetY(F(f[0]), F(f[2]), F(f[4]), F(f[6]), F(f[1]), F(f[3]), F(f[5]), F(f[7]), F(f[9]), &next, &slope,
                            &lo, &hi);
         }});
}
