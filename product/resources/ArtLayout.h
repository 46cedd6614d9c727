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

// Faders: the handle's size, the fader's corner and length (horizontal).
struct Fader
{
  Spot at;
  int length, handleW, handleH;
};
constexpr Fader kThresholdFader{ { 276, 43 }, 407, 13, 13 };
constexpr Fader kRangeFader{ { 276, 161 }, 407, 13, 10 };
constexpr Fader kCompFader{ { 349, 356 }, 260, 16, 22 };

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
};
constexpr Readout kReadouts[] = {
  { { 206, 92 }, 4, 2, false },   // Threshold
  { { 107, 166 }, 3, 1, false },  // Knee
  { { 106, 215 }, 4, 1, false },  // RMS Size
  { { 199, 208 }, 4, 2, false },  // Range
  { { 233, 277 }, 5, 2, true },   // Attack
  { { 531, 277 }, 4, 2, false },  // Ratio
  { { 694, 277 }, 5, 1, true },   // Release
  { { 706, 360 }, 5, 2, false },  // Parallel
};

// The version line the editor prints itself.
constexpr int kVersionL = 187, kVersionR = 355;

// Where on a meter a level shows: the meters light v = ((dB + 60) / 60)^2 of their width for the
// input and output, v = 1 - (1 - r / 40)^2 for r dB of gain reduction.
double LevelMeterPosition(double dB);
double ReductionMeterPosition(double reductionDB);
}  // namespace art
