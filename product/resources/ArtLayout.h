#pragma once
// Where the editor puts each control (its top-left corner on the 800 x 400 panel) and the size of
// each image's frame: the artwork is drawn to fit them. The editor's own layout is the authority;
// these numbers follow it.

namespace art
{
struct Spot
{
  int x, y;
};

constexpr int kPanelW = 800, kPanelH = 400;

// Knobs.
constexpr int kDialSize = 60, kDotSize = 26, kModeSize = 70;
constexpr Spot kAttackKnob{ 281, 245 }, kRatioKnob{ 443, 245 }, kReleaseKnob{ 606, 245 };
constexpr Spot kKneeKnob{ 76, 159 }, kRmsKnob{ 76, 209 }, kDriveKnob{ 236, 352 }, kSagKnob{ 279, 352 },
  kParallelKnob{ 677, 352 };
constexpr Spot kModeKnob{ 42, 41 };
constexpr int kDialFrames = 150, kDotFrames = 151, kModeFrames = 145;

// Faders: the fader's corner and length (horizontal), the handle's size, and the parameter it
// sets as the product declares it: from min to max with the shape that puts the value v at the
// normalised position ((v - min) / (max - min))^(1 / shape). The handle's left edge stands at
// int(position x (length - handle width)) and its value line down its middle column.
struct Fader
{
  Spot at;
  int length, handleW, handleH;
  double min, max, shape;
};
constexpr Fader kThresholdFader{ { 276, 43 }, 407, 13, 13, -60.0, 0.0, 0.5 };
constexpr Fader kRangeFader{ { 276, 161 }, 407, 13, 10, -40.0, 0.0, 0.5 };
constexpr Fader kCompFader{ { 349, 356 }, 260, 16, 22, -20.0, 20.0, 1.0 };

// A fader's scale: a tick at each mark's value, numbered unless the mark has no text. Threshold
// and Range have theirs above the slot, apart from the meters' scales; Compensation below.
struct Mark
{
  double value;
  const char* text;
};
struct FaderScale
{
  const Fader* fader;
  const Mark* marks;
  int count;
  int tickRow;  // a row every tick of the scale crosses
  bool above;   // numbers above the ticks, else below them
};
constexpr Mark kThresholdMarks[] = { { -60, "-60" }, { -50, nullptr }, { -45, nullptr }, { -40, "-40" },
                                     { -35, nullptr }, { -30, "-30" },  { -25, nullptr }, { -20, "-20" },
                                     { -15, "-15" },   { -10, "-10" },  { -6, "-6" },     { -5, nullptr },
                                     { -3, "-3" },     { 0, "0" } };
constexpr Mark kRangeMarks[] = { { -40, "-40" }, { -30, "-30" }, { -25, nullptr }, { -20, "-20" }, { -15, "-15" },
                                 { -10, "-10" }, { -6, "-6" },   { -5, nullptr },  { -3, "-3" },   { 0, "0" } };
constexpr Mark kCompMarks[] = { { -20, "-20" }, { -10, "-10" }, { 0, "0" }, { 10, "+10" }, { 20, "+20" } };

// Switches.
constexpr int kButtonW = 40, kButtonH = 18, kToggleW = 24, kToggleH = 40;
constexpr Spot kOversampleSwitch{ 479, 0 }, kSidechainSwitch{ 359, 0 }, kTopologySwitch{ 716, 79 };

// Meters.
constexpr int kMeterW = 240, kMeterH = 14, kMeterFrames = 376;
constexpr Spot kInputMeter{ 291, 56 }, kOutputMeter{ 291, 134 }, kReductionMeter{ 291, 171 };

// Readouts: digits are 6 pixels apart, the decimals 2 further right; indicators are 36 wide.
constexpr int kDigitW = 6, kDigitH = 10, kIndicatorW = 36;
struct Readout
{
  Spot at;
  int digits, decimals;
  bool indicator;  // an indicator is shown in its place at times
  bool negative;   // shows the magnitude of a value that is never positive
};
constexpr Readout kReadouts[] = {
  { { 206, 92 }, 4, 2, false, true },    // Threshold
  { { 107, 166 }, 3, 1, false, false },  // Knee
  { { 106, 215 }, 4, 1, false, false },  // RMS Size
  { { 199, 208 }, 4, 2, false, true },   // Range
  { { 233, 277 }, 5, 2, true, false },   // Attack
  { { 531, 277 }, 4, 2, false, false },  // Ratio
  { { 694, 277 }, 5, 1, true, false },   // Release
  { { 706, 360 }, 5, 2, false, false },  // Parallel
};

// The version line the editor prints itself.
constexpr int kVersionL = 187, kVersionR = 355;

// Where on a meter a level shows: the meters light v = ((dB + 60) / 60)^2 of their width for the
// input and output, v = 1 - (1 - r / 40)^2 for r dB of gain reduction.
double LevelMeterPosition(double dB);
double ReductionMeterPosition(double reductionDB);

// The column of a fader's panel under the handle's value line when the fader shows value.
int FaderValueX(const Fader& f, double value);
// The three fader scales, each with its ticks' row.
FaderScale ThresholdScale();
FaderScale RangeScale();
FaderScale CompensationScale();
}  // namespace art
