// Where a value sits on the meters' and the faders' scales, and the marks of each fader's scale.

#include <algorithm>
#include <cmath>

#include "ArtLayout.h"

namespace art
{
double LevelMeterPosition(double dB)
{
  if (dB <= -60.0) return 0.0;
  if (dB >= 0.0) return 1.0;
  const double j = (dB + 60.0) / 60.0;
  return j * j;
}

double ReductionMeterPosition(double r)
{
  if (r <= 0.0) return 0.0;
  if (r >= 40.0) return 1.0;
  const double x = 1.0 - r / 40.0;
  return 1.0 - x * x;
}

int FaderValueX(const Fader& f, double value)
{
  const double v = std::min(std::max(value, f.min), f.max);
  const double position = std::pow((v - f.min) / (f.max - f.min), 1.0 / f.shape);
  return f.at.x + (int)(position * (f.length - f.handleW)) + f.handleW / 2;
}

// Threshold's and Range's ticks stand just over their slots, where the handle's value line meets
// them, with the numbers over them: Threshold's under the plate's edge, Range's under the output
// meter, whose own scale therefore sits over it.
FaderScale ThresholdScale()
{
  return { &kThresholdFader, kThresholdMarks, (int)(sizeof(kThresholdMarks) / sizeof(kThresholdMarks[0])), 45, true };
}

FaderScale RangeScale()
{
  return { &kRangeFader, kRangeMarks, (int)(sizeof(kRangeMarks) / sizeof(kRangeMarks[0])), 162, true };
}

FaderScale CompensationScale()
{
  return { &kCompFader, kCompMarks, (int)(sizeof(kCompMarks) / sizeof(kCompMarks[0])),
           kCompFader.at.y + kCompFader.handleH + 2, false };
}
}  // namespace art
