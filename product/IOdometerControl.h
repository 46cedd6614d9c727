#pragma once
// A numeric readout drawn from a strip of ten digit images (frame 1 = digit 0 ... frame 10 = digit 9):
// nDigits digits 6 pixels apart, the last nDecimals of them after a decimal point that the
// background draws in the 2-pixel gap before them. Bound to no parameter: the product hands it the
// value to show.

#include <atomic>
#include <cstdint>

#include "IControl.h"

class IOdometerControl : public IControl
{
public:
  enum { kMaxDigits = 10, kDigitWidth = 6 };

  IOdometerControl(IFxBase* pPlug, int x, int y, int nDigits, int nDecimals, IBitmap* pBitmap);
  ~IOdometerControl() override {}

  // The value in the parameter's own units. The digits are taken from it rounded to the shown
  // precision; a value with more integer digits than fit keeps only the last ones.
  void SetValueFromPlug(double v) override;
  bool Draw(IGraphics* pGraphics) override;

  // The frame each position draws (1-based).
  int DigitFrame(int i) const;
  // Every position's frame, read at once as the drawing reads them, into frames[0..NDigits).
  void DigitFrames(int* frames) const;
  int NDigits() const { return mNDigits; }
  int NDecimals() const { return mNDecimals; }

private:
  IBitmap mBitmap;
  int mNDigits;
  // Every position's digit (0-9) in 4 bits, written whole by whatever thread delivers the value
  // and read whole by the drawing, so no paint shows half of one number and half of another.
  std::atomic<uint64_t> mDigits{0};
  int mX, mY;
  int mDigitWidth = kDigitWidth;
  int mDigitHeight;
  int mNDecimals;
};
