// The panel's printed marks read against the editor's own controls over them: each fader's scale
// has its ticks where the handle's value line stands when the fader shows the tick's value, the
// readouts' decimal points sit on the digits' baseline between the digits the readouts draw, and a
// readout of a parameter that is never positive has its minus sign.

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <typeinfo>

#include "ArtLayout.h"
#include "IControls.h"
#include "IOdometerControl.h"
#include "KestrovaneEditorFixture.h"
#include "pix_loaders.h"

namespace
{
std::unique_ptr<PIX_IBitmap> BundleImage(const char* file)
{
  const std::string path = std::string(KV_KESTROVANE_VST_BUNDLE) + "/Contents/Resources/" + file;
  return std::unique_ptr<PIX_IBitmap>(PIX_LoadPNG(path.c_str(), nullptr));
}

struct Rgb
{
  int r, g, b;
};

Rgb At(PIX_IBitmap* bm, int x, int y)
{
  const PIX_PixelValue p = bm->getBits()[y * bm->getRowSpan() + x];
  return { (int)(p >> 8 & 255), (int)(p >> 16 & 255), (int)(p >> 24 & 255) };
}

// The fader scales' amber, the readouts' lit amber and the printed legend's near white.
bool Amber(Rgb c)
{
  return c.r > 90 && c.r > c.b + 40;
}
bool Lit(Rgb c)
{
  return c.r > 200 && c.g > 120 && c.b < 120;
}
bool Legend(Rgb c)
{
  return c.r > 150 && c.g > 150 && c.b > 150;
}

// The rows of a digit strip's frame where digit d lights something.
std::set<int> LitRows(PIX_IBitmap* strip, int frameH, int d)
{
  std::set<int> rows;
  for (int y = 0; y < frameH; ++y)
    for (int x = 0; x < strip->getWidth(); ++x)
      if (Lit(At(strip, x, d * frameH + y))) rows.insert(y);
  return rows;
}

IFaderControl* FaderOf(IGraphics* g, int param)
{
  for (int i = 0; i < g->NControls(); ++i)
    if (IControl* c = g->GetControl(i); c->ParamIdx() == param && typeid(*c) == typeid(IFaderControl))
      return static_cast<IFaderControl*>(c);
  return nullptr;
}
}  // namespace

using EditorPanelMarksTest = KestrovaneEditorTest;

TEST_F(EditorPanelMarksTest, FaderScalesTickWhereTheHandleShowsTheirValues)
{
  ASSERT_NE(mGraphics, nullptr);
  std::unique_ptr<PIX_IBitmap> bg = BundleImage("bg.png");
  ASSERT_NE(bg, nullptr);
  const struct
  {
    const char* name;
    int param;
    art::FaderScale scale;
  } faders[] = { { "Threshold", Kestrovane::kThreshold, art::ThresholdScale() },
                 { "Range", Kestrovane::kRange, art::RangeScale() },
                 { "Compensation", Kestrovane::kCompensation, art::CompensationScale() } };
  for (const auto& f : faders)
  {
    SCOPED_TRACE(f.name);
    IFaderControl* fader = FaderOf(mGraphics, f.param);
    ASSERT_NE(fader, nullptr);
    const IRECT& rect = *fader->GetRECT();
    std::set<int> expected;
    for (int i = 0; i < f.scale.count; ++i)
    {
      const double v = f.scale.marks[i].value;
      // The handle drawn at the value, its line down its middle column.
      const IRECT h = fader->GetHandleRECT(mPlug->GetParam(f.param)->GetNormalized(v));
      const int line = h.L + (h.R - h.L) / 2;
      EXPECT_EQ(art::FaderValueX(*f.scale.fader, v), line) << v << " dB";
      expected.insert(line);
    }
    // The scale's ticks on the panel, and nothing else of their colour along the fader.
    std::set<int> ticks;
    for (int x = rect.L; x < rect.R; ++x)
      if (Amber(At(bg.get(), x, f.scale.tickRow))) ticks.insert(x);
    EXPECT_EQ(ticks, expected);
  }
}

TEST_F(EditorPanelMarksTest, DecimalPointsSitOnTheBaselineBetweenTheDigits)
{
  ASSERT_NE(mGraphics, nullptr);
  std::unique_ptr<PIX_IBitmap> bg = BundleImage("bg.png"), lcd = BundleImage("lcd.png");
  ASSERT_TRUE(bg && lcd);
  const int digitH = lcd->getHeight() / 10;
  const int baseline = *LitRows(lcd.get(), digitH, 8).rbegin();
  int readouts = 0;
  for (int i = 0; i < mGraphics->NControls(); ++i)
  {
    IControl* c = mGraphics->GetControl(i);
    if (typeid(*c) != typeid(IOdometerControl)) continue;
    IOdometerControl* o = static_cast<IOdometerControl*>(c);
    if (o->NDecimals() == 0) continue;
    SCOPED_TRACE(i);
    ++readouts;
    // The last whole digit is drawn up to column 6 n - 2 of the readout, the first decimal from
    // 6 n + 2: the point has the three columns between, and should keep clear of both digits.
    const IRECT& r = *o->GetRECT();
    const int gap = r.L + IOdometerControl::kDigitWidth * (o->NDigits() - o->NDecimals()) - 1;
    std::set<std::pair<int, int>> lit;
    for (int y = r.T; y < r.T + digitH + 2; ++y)
      for (int x = gap; x < gap + 3; ++x)
        if (Lit(At(bg.get(), x, y))) lit.insert({ x - gap, y - r.T });
    EXPECT_EQ(lit, (std::set<std::pair<int, int>>{ { 1, baseline } })) << "one point, mid-gap, on the baseline";
  }
  EXPECT_EQ(readouts, 8);
}

TEST_F(EditorPanelMarksTest, ReadoutsOfNeverPositiveParametersHaveTheirMinusSign)
{
  ASSERT_NE(mGraphics, nullptr);
  std::unique_ptr<PIX_IBitmap> bg = BundleImage("bg.png"), lcd = BundleImage("lcd.png");
  ASSERT_TRUE(bg && lcd);
  const int digitH = lcd->getHeight() / 10;
  // The middle segment's row: lit in an 8, dark in a 0.
  int middle = -1;
  for (int y : LitRows(lcd.get(), digitH, 8))
    if (!LitRows(lcd.get(), digitH, 0).count(y)) middle = y;
  ASSERT_GE(middle, 0);
  int signs = 0;
  for (int p = 0; p < Kestrovane::kNumParams; ++p)
  {
    IOdometerControl* o = mPlug->GetReadout(p);
    if (!o) continue;
    SCOPED_TRACE(mPlug->GetParam(p)->GetNameForHost());
    // The readout shows magnitudes: a parameter that is never positive reads as negative only
    // with the sign printed in the few columns before the readout's window.
    const IRECT& r = *o->GetRECT();
    int run = 0, longest = 0;
    for (int x = r.L - 12; x < r.L - 2; ++x)
    {
      run = Legend(At(bg.get(), x, r.T + middle)) ? run + 1 : 0;
      longest = std::max(longest, run);
    }
    const bool negative = mPlug->GetParam(p)->GetMax() <= 0.0;
    EXPECT_EQ(longest >= 4, negative);
    signs += negative;
  }
  EXPECT_EQ(signs, 2) << "Threshold and Range";
}
