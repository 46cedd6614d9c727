// Draws the editor's seventeen images into a folder:
//   kv_editor_artwork <folder> [--preview <file.png>]
// With --preview it also writes the panel with every control shown at a typical value, for a look.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "ArtCanvas.h"
#include "ArtImages.h"
#include "ArtLayout.h"
#include "ArtPng.h"

using namespace art;

namespace
{
struct Image
{
  const char* file;
  std::unique_ptr<PIX_MemBitmap> bm;
  bool opaque;
};

// Frame `frame` (0-based) of a strip of `frames` at (x, y) on the preview.
void Show(PIX_IBitmap* preview, PIX_MemBitmap* strip, int frames, int frame, int x, int y)
{
  const int h = strip->getHeight() / frames;
  PIX_Blit(preview, strip, x, y, 0, frame * h, strip->getWidth(), h, 1.0f, PIX_MODE_COPY);
}
}  // namespace

int main(int argc, char** argv)
{
  if (argc < 2)
  {
    fprintf(stderr, "usage: kv_editor_artwork <folder> [--preview <file.png>]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const char* preview = argc >= 4 && !strcmp(argv[2], "--preview") ? argv[3] : nullptr;
  if (!TextReady()) return 1;

  auto make = [] { return std::unique_ptr<PIX_MemBitmap>(new PIX_MemBitmap()); };
  std::unique_ptr<PIX_MemBitmap> panel(new PIX_MemBitmap(kPanelW, kPanelH));
  DrawPanel(panel.get());

  Image images[] = {
    { "bg.png", nullptr, true },           { "dial-attack.png", make(), true },   { "dial-release.png", make(), true },
    { "dial-ratio.png", make(), true },    { "dot.png", make(), true },           { "fader_io.png", make(), true },
    { "fader_gr.png", make(), true },      { "fader_comp.png", make(), true },    { "oversample.png", make(), true },
    { "sidechain.png", make(), true },     { "feedback-switch.png", make(), true }, { "mode-knob.png", make(), true },
    { "vu_green.png", make(), true },      { "vu_red.png", make(), true },        { "lcd.png", make(), true },
    { "lcd_auto.png", make(), true },      { "lcd_attack.png", make(), true },
  };
  DrawDial(images[1].bm.get(), panel.get(), kAttackKnob.x, kAttackKnob.y);
  DrawDial(images[2].bm.get(), panel.get(), kReleaseKnob.x, kReleaseKnob.y);
  DrawDial(images[3].bm.get(), panel.get(), kRatioKnob.x, kRatioKnob.y);
  DrawDot(images[4].bm.get(), panel.get());
  DrawFaderHandle(images[5].bm.get(), kThresholdFader.handleW, kThresholdFader.handleH);
  DrawFaderHandle(images[6].bm.get(), kRangeFader.handleW, kRangeFader.handleH);
  DrawFaderHandle(images[7].bm.get(), kCompFader.handleW, kCompFader.handleH);
  DrawButton(images[8].bm.get(), panel.get(), kOversampleSwitch.x, kOversampleSwitch.y);
  DrawButton(images[9].bm.get(), panel.get(), kSidechainSwitch.x, kSidechainSwitch.y);
  DrawToggle(images[10].bm.get(), panel.get());
  DrawModeKnob(images[11].bm.get(), panel.get());
  DrawMeter(images[12].bm.get(), false);
  DrawMeter(images[13].bm.get(), true);
  DrawDigits(images[14].bm.get());
  static const char* const autoWords[3] = { "AUTO", "SLOW", "FAST" };
  static const char* const attackWords[1] = { "INST" };
  DrawIndicator(images[15].bm.get(), autoWords, 3);
  DrawIndicator(images[16].bm.get(), attackWords, 1);

  for (Image& im : images)
  {
    PIX_IBitmap* bm = im.bm ? im.bm.get() : panel.get();
    if (!WritePng(folder + "/" + im.file, bm, im.opaque))
    {
      fprintf(stderr, "kv_editor_artwork: cannot write %s/%s\n", folder.c_str(), im.file);
      return 1;
    }
  }

  if (preview)
  {
    PIX_MemBitmap view(kPanelW, kPanelH);
    PIX_Copy(&view, panel.get());
    Show(&view, images[1].bm.get(), kDialFrames, 30, kAttackKnob.x, kAttackKnob.y);
    Show(&view, images[3].bm.get(), kDialFrames, 12, kRatioKnob.x, kRatioKnob.y);
    Show(&view, images[2].bm.get(), kDialFrames, 80, kReleaseKnob.x, kReleaseKnob.y);
    const Spot dots[] = { kKneeKnob, kRmsKnob, kDriveKnob, kSagKnob, kParallelKnob };
    for (int i = 0; i < 5; ++i) Show(&view, images[4].bm.get(), kDotFrames, 20 + 25 * i, dots[i].x, dots[i].y);
    Show(&view, images[11].bm.get(), kModeFrames, 36, kModeKnob.x, kModeKnob.y);
    Show(&view, images[12].bm.get(), kMeterFrames, 300, kInputMeter.x, kInputMeter.y);
    Show(&view, images[12].bm.get(), kMeterFrames, 260, kOutputMeter.x, kOutputMeter.y);
    Show(&view, images[13].bm.get(), kMeterFrames, 90, kReductionMeter.x, kReductionMeter.y);
    Show(&view, images[5].bm.get(), 1, 0, kThresholdFader.at.x + 200, kThresholdFader.at.y);
    Show(&view, images[6].bm.get(), 1, 0, kRangeFader.at.x + 394, kRangeFader.at.y);
    Show(&view, images[7].bm.get(), 1, 0, kCompFader.at.x + 122, kCompFader.at.y);
    Show(&view, images[8].bm.get(), 2, 1, kOversampleSwitch.x, kOversampleSwitch.y);
    Show(&view, images[9].bm.get(), 2, 0, kSidechainSwitch.x, kSidechainSwitch.y);
    Show(&view, images[10].bm.get(), 2, 0, kTopologySwitch.x, kTopologySwitch.y);
    for (const Readout& r : kReadouts)
      for (int i = 0; i < r.digits; ++i)
      {
        const int shift = i < r.digits - r.decimals ? 0 : 2;
        PIX_Blit(&view, images[14].bm.get(), r.at.x + kDigitW * i + shift, r.at.y, 0, kDigitH * ((i * 3 + 1) % 10), 5,
                 kDigitH, 1.0f, PIX_MODE_COPY);
      }
    Show(&view, images[15].bm.get(), 3, 1, 694, 277);
    if (!WritePng(preview, &view, true)) return 1;
  }
  return 0;
}
