// The background: the name strip, the section plates, the legends, the meter scales, the fader
// slots, the readouts' windows and decimal points, the Mode knob's detent names.

#include <cmath>
#include <cstdio>

#include "ArtCanvas.h"
#include "ArtImages.h"
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
  for (int i = 0; i < 5; ++i)
  {
    float x, y;
    Polar(kModeKnob.x + c, kModeKnob.y + c, 45.0f, KnobAngle(i / 4.0), &x, &y);
    Text(bm, (int)std::lround(x), (int)std::lround(y) + 4, names[i], 10, kLegend, kCentre, kCondensedBold);
  }
  Legend(bm, 158, 62, "Mode");
  Caption(bm, 158, 76, "detector", kCentre);
  Caption(bm, 158, 88, "voicing", kCentre);
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
    // The decimal point in the gap before the decimals.
    const int px = r.at.x + kDigitW * (r.digits - r.decimals);
    Fill(bm, px, r.at.y + kDigitH - 2, 2, 2, kAmber);
  }
}

void MeterScale(PIX_IBitmap* bm, int y, const double* marks, const char* const* labels, int n, bool reduction)
{
  for (int i = 0; i < n; ++i)
  {
    const double v = reduction ? ReductionMeterPosition(marks[i]) : LevelMeterPosition(marks[i]);
    const int x = kInputMeter.x + (int)std::lround((kMeterW - 1) * v);
    Fill(bm, x, y, 1, 3, kLegendDim);
    const EAlign align = i == 0 ? kLeft : (i == n - 1 ? kRight : kCentre);
    Text(bm, align == kRight ? x + 1 : x, y + 11, labels[i], 8, kLegendDim, align, kSans);
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
  MeterScale(bm, kOutputMeter.y + kMeterH + 1, level, levelText, 8, false);
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

void Faders(PIX_IBitmap* bm)
{
  FaderSlot(bm, kThresholdFader);
  FaderSlot(bm, kRangeFader);
  FaderSlot(bm, kCompFader);
  Legend(bm, 271, kThresholdFader.at.y + 10, "Threshold", kRight);
  Legend(bm, 271, kRangeFader.at.y + 9, "Range", kRight);
  Caption(bm, 236, 101, "dB", kLeft);
  Caption(bm, 229, 217, "dB", kLeft);
  // Compensation: -20 to +20 dB, linear under the handle's centre.
  const int travel = kCompFader.length - kCompFader.handleW;
  const char* texts[5] = { "-20", "-10", "0", "+10", "+20" };
  for (int i = 0; i < 5; ++i)
  {
    const int x = kCompFader.at.x + kCompFader.handleW / 2 + travel * i / 4;
    Fill(bm, x, kCompFader.at.y + kCompFader.handleH + 1, 1, 3, kLegendDim);
    Text(bm, x, kCompFader.at.y + kCompFader.handleH + 13, texts[i], 8, kLegendDim, kCentre, kSans);
  }
}

void Plates(PIX_IBitmap* bm)
{
  Plate(bm, 8, 28, 184, 214, 6, kPlate, kPlateEdge);    // detector
  Plate(bm, 196, 28, 510, 204, 6, kPlate, kPlateEdge);  // levels
  Plate(bm, 710, 28, 82, 204, 6, kPlate, kPlateEdge);   // topology
  Plate(bm, 196, 236, 596, 96, 6, kPlate, kPlateEdge);  // time
  Plate(bm, 8, 246, 184, 86, 6, kPlate, kPlateEdge);    // name
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

  Legend(bm, 751, 46, "Topology");
  Caption(bm, 751, 72, "Feedback", kCentre);
  Caption(bm, 751, 133, "Feedforward", kCentre);

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
