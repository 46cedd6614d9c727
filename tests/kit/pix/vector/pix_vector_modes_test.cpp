// The drawing modes of the vector operations: every mode, drawn through each entry point that
// weights every pixel alike, against the scalar model of its rule, so a mode that reaches the
// wrong combiner is seen in the pixels.

#include <gtest/gtest.h>

#include <functional>

#include "kit/pix/pix_reference.h"
#include "pix.h"
#include "pix_testkit.h"

using namespace pixtest;

namespace
{
const PIX_PixelValue kBackground = Px(200, 90, 160, 40);
const PIX_PixelValue kColor = Px(180, 60, 200, 120);

const ref::Kind kKinds[] = {ref::Copy, ref::Add, ref::Dodge, ref::Mul, ref::Overlay, ref::HSV};

struct EntryPoint
{
  const char* name;
  std::function<void(PIX_IBitmap* bm, float alpha, int mode)> draw;
};

const EntryPoint kEntryPoints[] = {
    {"horizontal line", [](PIX_IBitmap* bm, float a, int m) { PIX_Line(bm, 1, 2, 6, 2, kColor, a, m, false); }},
    {"vertical line", [](PIX_IBitmap* bm, float a, int m) { PIX_Line(bm, 3, 0, 3, 5, kColor, a, m, false); }},
    {"sloped line", [](PIX_IBitmap* bm, float a, int m) { PIX_Line(bm, 0, 0, 7, 3, kColor, a, m, false); }},
    {"float line", [](PIX_IBitmap* bm, float a, int m) { PIX_FLine(bm, 0.0f, 4.0f, 7.0f, 4.0f, kColor, a, m, false); }},
    {"dashed line", [](PIX_IBitmap* bm, float a, int m) { PIX_DashedLine(bm, 0, 1, 8, 1, 2, 1, kColor, a, m, false); }},
    {"triangle", [](PIX_IBitmap* bm, float a, int m) { PIX_FillTriangle(bm, 1, 0, 7, 2, 2, 6, kColor, a, m); }},
};
}  // namespace

// The colours are chosen so that no two modes give the same pixel: a swapped case cannot pass.
TEST(PixVectorModes, TheFixtureTellsEveryModeApart)
{
  for (int w : {256, 153})
    for (int i = 0; i < 6; ++i)
      for (int j = i + 1; j < 6; ++j)
        EXPECT_NE(ref::blend(kKinds[i], false, kBackground, kColor, w), ref::blend(kKinds[j], false, kBackground, kColor, w))
            << "modes " << i << " and " << j << " at weight " << w;
}

// Where the opaque copy draws (the entry point's footprint), every mode puts its rule's result at
// the weight (int)(alpha * 256); elsewhere nothing changes. Bits above the low byte are ignored.
TEST(PixVectorModes, EveryModeThroughEveryEntryPointAgainstTheModel)
{
  for (const EntryPoint& e : kEntryPoints)
  {
    SCOPED_TRACE(e.name);
    GuardedBitmap footprint(8, 7, kBackground);
    e.draw(&footprint, 1.0f, PIX_MODE_COPY);
    ASSERT_NE(Marks(footprint, kBackground).find('#'), std::string::npos);

    for (int mode = PIX_MODE_COPY; mode <= PIX_MODE_HSVADJUST; ++mode)
      for (float alpha : {1.0f, 0.6f})
        for (int high : {0, PIX_MODE_SOURCEALPHA | PIX_MODE_FILTERBILINEAR})
        {
          GuardedBitmap bm(8, 7, kBackground);
          e.draw(&bm, alpha, mode | high);
          const PIX_PixelValue want = ref::blend(kKinds[mode], false, kBackground, kColor, (int)(alpha * 256));
          for (int y = 0; y < bm.height(); ++y)
            for (int x = 0; x < bm.width(); ++x)
              ASSERT_EQ(bm.get(x, y), footprint.get(x, y) == kBackground ? kBackground : want)
                  << "mode " << mode << " | 0x" << std::hex << high << std::dec << " alpha " << alpha << " at " << x
                  << "," << y;
          EXPECT_TRUE(bm.GuardsIntact());
        }
  }
}
