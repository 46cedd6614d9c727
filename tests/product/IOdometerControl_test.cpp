// The readout: digits from a value, rounded to the shown precision, and where each is drawn.

#include <cmath>
#include <memory>

#include "IOdometerControl.h"
#include "ProductControlsFixture.h"

namespace
{
std::vector<int> Frames(const IOdometerControl& c)
{
  std::vector<int> f;
  for (int i = 0; i < c.NDigits(); ++i) f.push_back(c.DigitFrame(i));
  return f;
}
}  // namespace

TEST_F(ProductControlsTest, OdometerDigitsFromValues)
{
  struct Case
  {
    int digits, decimals;
    double value;
    std::vector<int> frames;  // frame 1 = digit 0
  } cases[] = {
    { 4, 2, 16.5, { 2, 7, 6, 1 } },          // 16.50
    { 4, 2, 0.29, { 1, 1, 3, 10 } },         // 00.29, not 00.28
    { 4, 2, 0.0, { 1, 1, 1, 1 } },           // leading zeros are digit 0
    { 3, 1, 5.0, { 1, 6, 1 } },              // 05.0
    { 4, 2, 123.45, { 3, 4, 5, 6 } },        // too many integer digits: the last ones stay
    { 5, 2, 100.0, { 2, 1, 1, 1, 1 } },      // 100.00
    { 4, 1, 19.99, { 1, 3, 1, 1 } },         // rounds up to 020.0
    { 5, 1, 2000.0, { 3, 1, 1, 1, 1 } },     // 2000.0
    { 3, 1, -12.3, { 2, 3, 4 } },            // the magnitude
    { 5, 2, 1e300, { 1, 1, 1, 1, 1 } },      // beyond every exact digit
  };
  IBitmap strip(nullptr, 6, 100, 10);
  for (const Case& c : cases)
  {
    IOdometerControl o(&mPlug, 0, 0, c.digits, c.decimals, &strip);
    o.SetValueFromPlug(c.value);
    EXPECT_EQ(Frames(o), c.frames) << c.value;
  }

  IOdometerControl o(&mPlug, 10, 20, 4, 2, &strip);
  EXPECT_EQ(*o.GetRECT(), IRECT(10, 20, 36, 30)) << "6 pixels a digit and 2 for the point";
  EXPECT_EQ(o.ParamIdx(), -1);
  o.SetValueFromPlug(16.5);
  o.SetValueFromPlug(std::nan(""));
  o.SetValueFromPlug(INFINITY);
  EXPECT_EQ(Frames(o), (std::vector<int>{ 2, 7, 6, 1 })) << "a value that is not finite keeps the number";
  EXPECT_DOUBLE_EQ(o.GetValue(), 0.0) << "the control's own value does not change";
  EXPECT_TRUE(mPlug.mLog.empty()) << "bound to nothing: the host hears nothing";
}

TEST_F(ProductControlsTest, OdometerIsDrawnTwiceForANewValue)
{
  IBitmap strip(nullptr, 6, 100, 10);
  IOdometerControl* o = new IOdometerControl(&mPlug, 0, 0, 3, 1, &strip);
  mGraphics->AttachControl(o);
  Attach();
  o->SetClean();
  o->SetClean();
  o->SetValueFromPlug(1.5);
  EXPECT_TRUE(o->IsDirty());
  o->SetClean();
  EXPECT_TRUE(o->IsDirty()) << "once more";
  o->SetClean();
  EXPECT_FALSE(o->IsDirty());
}

// Integer digits sit 6 pixels apart and decimals 2 pixels further right; each digit shows 5
// columns of its frame.
TEST_F(ProductControlsTest, OdometerDigitPositions)
{
  std::unique_ptr<PIX_MemBitmap> strip(new PIX_MemBitmap(6, 100));
  for (int f = 0; f < 10; ++f)
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 6; ++x) strip->getBits()[(f * 10 + y) * 6 + x] = TestPixel(255, 10 + 20 * f, 100 + x, 200);
  IBitmap bm(strip.get(), 6, 100, 10);
  IOdometerControl* o = new IOdometerControl(&mPlug, 20, 30, 4, 2, &bm);
  mGraphics->AttachControl(o);
  Attach();
  o->SetValueFromPlug(12.34);
  IRECT all(0, 0, 200, 100);
  mGraphics->Draw(&all);
  const int digits[] = { 1, 2, 3, 4 };
  const int left[] = { 20, 26, 34, 40 };  // the decimals shifted 2 pixels
  for (int i = 0; i < 4; ++i)
  {
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(mGraphics->Pixel(left[i] + x, 35), TestPixel(255, 10 + 20 * digits[i], 100 + x, 200)) << i << " " << x;
  }
  EXPECT_EQ(mGraphics->Pixel(25, 35), 0u) << "the sixth column is not drawn";
  EXPECT_EQ(mGraphics->Pixel(32, 35), 0u) << "the gap for the point";
  EXPECT_EQ(mGraphics->Pixel(33, 35), 0u);
}
