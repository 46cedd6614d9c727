// The background: the name strip, the section plates, the legends, the meter scales, the fader
// slots with their scales, the readouts' windows, signs and decimal points, the Mode knob's
// detent names.

#include <cmath>
#include <cstdio>
#include <string>

#include "ArtCanvas.h"
#include "ArtImages.h"
#include "ArtLayout.h"

namespace art
{
namespace
{
using namespace colour;

void Legend(PIX_IBitmap* bm, int x, int y, const char* text, EAlign align = kCentre, int size = 10)
{
  Text(bm, x, y, text, size, kLegend, align, kCondensedBold);
}

void Caption(PIX_IBitmap* bm, int x, int y, const char* text, EAlign align = kLeft)
{
  Text(bm, x, y, text, 9, kLegendDim, align, kSans);
}

void NameStrip(PIX_IBitmap* bm)
{
  VGradient(bm, 0, 0, kPanelW, 22, kNameStrip, kNameStripDark);
  Fill(bm, 0, 22, kPanelW, 1, RGB(12, 12, 14));
  Text(bm, 12, 15, "TARNQUILL AUDIO", 11, kInk, kLeft, kCondensedBold);
  Text(bm, kSidechainSwitch.x + kButtonW + 5, 13, "Sidechain", 10, kInk, kLeft, kCondensedBold);
  Text(bm, kOversampleSwitch.x + kButtonW + 5, 13, "Oversample", 10, kInk, kLeft, kCondensedBold);
  Text(bm, 788, 15, "Kestrovane Buss Compressor", 11, kInk, kRight, kCondensedBold);
}

// A knob's scale: ticks around it from 7 to 5 o'clock.
void KnobScale(PIX_IBitmap* bm, Spot at, int size, float r0, float r1, int ticks)
{
  const float c = size / 2.0f - 0.5f;
  for (int i = 0; i < ticks; ++i)
  {
    float x0, y0, x1, y1;
    const double a = KnobAngle((double)i / (ticks - 1));
    Polar(at.x + c, at.y + c, r0, a, &x0, &y0);
    Polar(at.x + c, at.y + c, r1, a, &x1, &y1);
    Line(bm, x0, y0, x1, y1, kLegendDim);
  }
}

void ModeNames(PIX_IBitmap* bm)
{
  const char* names[5] = { "I", "II", "III", "IV", "Flat" };
  const float c = kModeSize / 2.0f - 0.5f;
  // Each name's box keeps the same clearance from the knob whatever its angle and width, so "III"
  // above it stays clear of the plate's edge.
  const float clear = kModeSize / 2.0f + 2.0f, halfH = 3.5f;
  for (int i = 0; i < 5; ++i)
  {
    const double a = KnobAngle(i / 4.0);
    const float halfW = TextWidth(names[i], 10, kCondensedBold) / 2.0f;
    const float r = clear + halfW * (float)std::fabs(std::sin(a)) + halfH * (float)std::fabs(std::cos(a));
    float x, y;
    Polar(kModeKnob.x + c, kModeKnob.y + c, r, a, &x, &y);
    Text(bm, (int)std::lround(x), (int)std::lround(y + halfH), names[i], 10, kLegend, kCentre, kCondensedBold);
  }
  Legend(bm, 150, 62, "Mode");
  Caption(bm, 150, 76, "detector", kCentre);
  Caption(bm, 150, 88, "voicing", kCentre);
}

void Readouts(PIX_IBitmap* bm)
{
  for (const Readout& r : kReadouts)
  {
    const int w = std::max(kDigitW * r.digits + 2, r.indicator ? kIndicatorW : 0);
    // A dark window a pixel wider than the digits all round, set into the plate.
    Fill(bm, r.at.x - 2, r.at.y - 2, w + 4, kDigitH + 4, kGroove);
    Fill(bm, r.at.x - 1, r.at.y - 1, w + 2, kDigitH + 2, kLcdBack);
    Fill(bm, r.at.x - 2, r.at.y + kDigitH + 1, w + 4, 1, Mix(kPlate, RGB(255, 255, 255), 0.15));
    // The decimal point: one lit pixel on the digits' baseline (their bottom segment's row), in the
    // middle of the three columns between the last whole digit and the first decimal, clear of both.
    const int px = r.at.x + kDigitW * (r.digits - r.decimals);
    Fill(bm, px, r.at.y + kDigitH - 2, 1, 1, kAmber);
    // A readout showing a value's magnitude has the sign printed before its window, level with the
    // digits' middle segment.
    if (r.negative) Fill(bm, r.at.x - 2 - 2 - 5, r.at.y + 4, 5, 1, kLegend);
  }
}

// A meter's scale in the dim legend colour, ticks against the meter's groove at row y and numbers
// below them, or above them when the scale sits over its meter.
void MeterScale(PIX_IBitmap* bm, int y, const double* marks, const char* const* labels, int n, bool reduction,
                bool above = false)
{
  for (int i = 0; i < n; ++i)
  {
    const double v = reduction ? ReductionMeterPosition(marks[i]) : LevelMeterPosition(marks[i]);
    const int x = kInputMeter.x + (int)std::lround((kMeterW - 1) * v);
    Fill(bm, x, y, 1, 3, kLegendDim);
    const EAlign align = i == 0 ? kLeft : (i == n - 1 ? kRight : kCentre);
    Text(bm, align == kRight ? x + 1 : x, above ? y - 3 : y + 11, labels[i], 8, kLegendDim, align, kSans);
  }
}

void Meters(PIX_IBitmap* bm)
{
  static const double level[] = { -60, -40, -30, -20, -12, -6, -3, 0 };
  static const char* const levelText[] = { "-60", "-40", "-30", "-20", "-12", "-6", "-3", "0" };
  static const double reduction[] = { 0, 1, 2, 3, 6, 10, 20, 40 };
  static const char* const reductionText[] = { "0", "1", "2", "3", "6", "10", "20", "40" };
  for (Spot m : { kInputMeter, kOutputMeter, kReductionMeter })
    Fill(bm, m.x - 2, m.y - 2, kMeterW + 4, kMeterH + 4, kGroove);
  MeterScale(bm, kInputMeter.y + kMeterH + 1, level, levelText, 8, false);
  // The output meter's scale sits over it: under it is the Range fader's own scale.
  MeterScale(bm, kOutputMeter.y - 5, level, levelText, 8, false, true);
  MeterScale(bm, kReductionMeter.y + kMeterH + 1, reduction, reductionText, 8, true);
  Legend(bm, 544, kInputMeter.y + 11, "Input", kLeft);
  Legend(bm, 544, kOutputMeter.y + 11, "Output", kLeft);
  Legend(bm, 544, kReductionMeter.y + 11, "Gain Reduction", kLeft);
}

void FaderSlot(PIX_IBitmap* bm, const Fader& f)
{
  const int cy = f.at.y + f.handleH / 2;
  Recess(bm, f.at.x + f.handleW / 2 - 1, cy - 1, f.length - f.handleW + 2, 4, RGB(10, 10, 12));
}

// A fader's scale in the amber of the handles' value lines, told apart from the meters' grey: a
// tick where the handle's line stands at each mark's value, brighter and numbered for a numbered mark.
void FaderScaleMarks(PIX_IBitmap* bm, const FaderScale& s)
{
  const PIX_PixelValue numbered = Mix(kAmber, kPlate, 0.3), minor = Mix(kAmber, kPlate, 0.6);
  for (int i = 0; i < s.count; ++i)
  {
    const Mark& m = s.marks[i];
    const int x = FaderValueX(*s.fader, m.value);
    Fill(bm, x, s.tickRow - 1, 1, 3, m.text ? numbered : minor);
    if (!m.text) continue;
    // The digits centred on the tick, the sign hanging before them.
    const std::string text = m.text;
    const int sign = text[0] == '-' || text[0] == '+' ? TextWidth(text.substr(0, 1), 8) : 0;
    const int left = x - (TextWidth(text, 8) + sign) / 2;
    Text(bm, left, s.above ? s.tickRow - 3 : s.tickRow + 11, text, 8, numbered, kLeft, kSans);
  }
}

void Faders(PIX_IBitmap* bm)
{
  FaderSlot(bm, kThresholdFader);
  FaderSlot(bm, kRangeFader);
  FaderSlot(bm, kCompFader);
  FaderScaleMarks(bm, ThresholdScale());
  FaderScaleMarks(bm, RangeScale());
  FaderScaleMarks(bm, CompensationScale());
  Legend(bm, 271, kThresholdFader.at.y + 10, "Threshold", kRight);
  Legend(bm, 271, kRangeFader.at.y + 9, "Range", kRight);
  Caption(bm, 236, 101, "dB", kLeft);
  Caption(bm, 229, 217, "dB", kLeft);
}

void Plates(PIX_IBitmap* bm)
{
  // The levels plate starts left of the signs before the Threshold and Range readouts, and the
  // topology plate is wide enough for its names centred on the switch.
  Plate(bm, 8, 28, 172, 214, 6, kPlate, kPlateEdge);    // detector
  Plate(bm, 184, 28, 504, 204, 6, kPlate, kPlateEdge);  // levels
  Plate(bm, 692, 28, 100, 204, 6, kPlate, kPlateEdge);  // topology
  Plate(bm, 184, 236, 608, 96, 6, kPlate, kPlateEdge);  // time
  Plate(bm, 8, 246, 172, 86, 6, kPlate, kPlateEdge);    // name
  Plate(bm, 8, 336, 784, 58, 6, kPlate, kPlateEdge);    // colour
}

void Legends(PIX_IBitmap* bm)
{
  Legend(bm, 70, kKneeKnob.y + 17, "Knee", kRight);
  Caption(bm, 131, kKneeKnob.y + 16, "dB");
  Legend(bm, 70, kRmsKnob.y + 17, "RMS Size", kRight);
  Caption(bm, 136, kRmsKnob.y + 15, "ms");

  Legend(bm, kAttackKnob.x + kDialSize / 2, 320, "Attack");
  Legend(bm, kRatioKnob.x + kDialSize / 2, 320, "Ratio");
  Legend(bm, kReleaseKnob.x + kDialSize / 2, 320, "Release");
  Caption(bm, 233, 301, "ms");
  Caption(bm, 561, 286, ":1");
  Caption(bm, 694, 301, "ms");
  Caption(bm, 700, 316, "double-click:");
  Caption(bm, 700, 327, "auto release");

  Legend(bm, kDriveKnob.x + kDotSize / 2, 348, "Drive");
  Legend(bm, kSagKnob.x + kDotSize / 2, 348, "Sag");
  Legend(bm, kCompFader.at.x + kCompFader.length / 2, 350, "Compensation");
  Legend(bm, kParallelKnob.x + kDotSize / 2, 348, "Parallel");
  Caption(bm, 741, 369, "%");

  // Centred on the switch: the lever's up and down positions under and over their names.
  const int topology = kTopologySwitch.x + kToggleW / 2;
  Legend(bm, topology, 46, "Topology");
  Caption(bm, topology, 72, "Feedback", kCentre);
  Caption(bm, topology, 133, "Feedforward", kCentre);

  Text(bm, 20, 280, "Kestrovane", 20, kLegend, kLeft, kSansBold);
  Text(bm, 21, 297, "BUSS COMPRESSOR", 9, kLegendDim, kLeft, kCondensedBold);
  Text(bm, 21, 318, "Tarnquill Audio", 10, kLegendDim, kLeft, kSans);
}
}  // namespace

void DrawPanel(PIX_IBitmap* bm)
{
  Fill(bm, 0, 0, kPanelW, kPanelH, kPanel);
  NameStrip(bm);
  Plates(bm);
  Meters(bm);
  Faders(bm);
  Readouts(bm);
  ModeNames(bm);
  KnobScale(bm, kAttackKnob, kDialSize, 28.5f, 30.5f, 11);
  KnobScale(bm, kRatioKnob, kDialSize, 28.5f, 30.5f, 11);
  KnobScale(bm, kReleaseKnob, kDialSize, 28.5f, 30.5f, 11);
  Legends(bm);
}
}  // namespace art
