#include "IOdometerControl.h"

#include <cmath>

#include "IGraphics.h"

IOdometerControl::IOdometerControl(IFxBase* pPlug, int x, int y, int nDigits, int nDecimals, IBitmap* pBitmap)
  : IControl(pPlug, IRECT(x, y, x + kDigitWidth * nDigits + 2, y + pBitmap->FrameHeight())), mBitmap(*pBitmap),
    mNDigits(nDigits < 0 ? 0 : (nDigits > kMaxDigits ? kMaxDigits : nDigits)), mX(x), mY(y),
    mDigitHeight(pBitmap->FrameHeight()), mNDecimals(nDecimals < 0 ? 0 : nDecimals)
{
}

void IOdometerControl::SetValueFromPlug(double v)
{
  if (v - v != 0.0) return;  // not finite: the last number stays
  // Rounded, not truncated, to the shown precision: 0.29 with two decimals is 29 hundredths, which
  // the binary fraction 0.28999... would otherwise show as 0.28. Digits past the largest exactly
  // representable integer carry no information and read as zero.
  const double scaled = std::round(std::fabs(v) * std::pow(10.0, mNDecimals));
  uint64_t n = scaled < 9007199254740992.0 ? (uint64_t)scaled : 0;
  uint64_t packed = 0;
  for (int i = mNDigits - 1; i >= 0; --i)
  {
    packed |= (n % 10) << (4 * i);
    n /= 10;
  }
  mDigits.store(packed, std::memory_order_release);
  SetDirty(true);
  SetRedraw();
}

int IOdometerControl::DigitFrame(int i) const
{
  if (i < 0 || i >= mNDigits) return 0;
  return (int)((mDigits.load(std::memory_order_acquire) >> (4 * i)) & 0xF) + 1;
}

void IOdometerControl::DigitFrames(int* frames) const
{
  const uint64_t digits = mDigits.load(std::memory_order_acquire);
  for (int i = 0; i < mNDigits; ++i) frames[i] = (int)((digits >> (4 * i)) & 0xF) + 1;
}

bool IOdometerControl::Draw(IGraphics* pGraphics)
{
  const uint64_t digits = mDigits.load(std::memory_order_acquire);
  const int nInteger = mNDigits - mNDecimals;
  bool all = true;
  for (int i = 0; i < mNDigits; ++i)
  {
    const int shift = i < nInteger ? 0 : 2;  // the decimals sit past the background's point
    IRECT r(mX + mDigitWidth * i + shift, mY, mX + mDigitWidth * (i + 1) - 1 + shift, mY + mDigitHeight);
    const int frame = (int)((digits >> (4 * i)) & 0xF) + 1;
    all = pGraphics->DrawBitmap(&mBitmap, &r, frame, nullptr) && all;
  }
  return all;
}
