// Kestrovane: the editor, its layout, and what a parameter change or a block shows in it.

#include "Kestrovane.h"

#if defined(KV_API_HEADLESS)

void Kestrovane::CreateEditor() {}
void Kestrovane::UpdateEditor(int) {}
void Kestrovane::ShowMeters() {}

#else

#include "IClickKnobControl.h"
#include "IControls.h"
#include "IDetentKnob.h"
#include "IGraphicsMac.h"
#include "IOdometerControl.h"
#include "KestrovaneGraphics.h"

namespace
{
// A readout: where it sits, its digits and decimals, and the parameter it shows.
struct Readout
{
  int x, y, digits, decimals, param;
};
}  // namespace

void Kestrovane::CreateEditor()
{
  IGraphicsMac* pGraphics = MakeGraphics(this, GUI_WIDTH, GUI_HEIGHT, GUI_FPS);
  pGraphics->AttachBackground(BG_ID, BG_FN);

  IBitmap attack = pGraphics->LoadIBitmap(ATTACK_ID, ATTACK_FN, 150);
  IBitmap release = pGraphics->LoadIBitmap(RELEASE_ID, RELEASE_FN, 150);
  IBitmap ratio = pGraphics->LoadIBitmap(RATIO_ID, RATIO_FN, 150);
  IBitmap dot = pGraphics->LoadIBitmap(DOT_ID, DOT_FN, 151);
  IBitmap faderIO = pGraphics->LoadIBitmap(FADER_IO_ID, FADER_IO_FN, 1);
  IBitmap faderGR = pGraphics->LoadIBitmap(FADER_GR_ID, FADER_GR_FN, 1);
  IBitmap faderComp = pGraphics->LoadIBitmap(FADER_COMP_ID, FADER_COMP_FN, 1);
  IBitmap oversample = pGraphics->LoadIBitmap(OVERSAMPLE_ID, OVERSAMPLE_FN, 2);
  IBitmap sidechain = pGraphics->LoadIBitmap(SIDECHAIN_ID, SIDECHAIN_FN, 2);
  IBitmap feedback = pGraphics->LoadIBitmap(FEEDBACK_ID, FEEDBACK_FN, 2);
  IBitmap mode = pGraphics->LoadIBitmap(MODE_ID, MODE_FN, 145);
  IBitmap vuGreen = pGraphics->LoadIBitmap(VU_GREEN_ID, VU_GREEN_FN, 376);
  IBitmap vuRed = pGraphics->LoadIBitmap(VU_RED_ID, VU_RED_FN, 376);
  IBitmap lcd = pGraphics->LoadIBitmap(LCD_ID, LCD_FN, 10);
  IBitmap lcdAuto = pGraphics->LoadIBitmap(LCD_AUTO_ID, LCD_AUTO_FN, 3);
  IBitmap lcdAttack = pGraphics->LoadIBitmap(LCD_ATTACK_ID, LCD_ATTACK_FN, 1);

  // Without all its images the editor would be a broken picture: the plug-in goes without one,
  // and the audio path is untouched.
  if (pGraphics->ImagesMissing())
  {
    delete pGraphics;
    return;
  }

  mMeters[kInputMeter] = new IBitmapControl(this, 291, 56, -1, &vuGreen);
  mMeters[kOutputMeter] = new IBitmapControl(this, 291, 134, -1, &vuGreen);
  mMeters[kGainReductionMeter] = new IBitmapControl(this, 291, 171, -1, &vuRed);
  for (IControl* pMeter : mMeters) pGraphics->AttachControl(pMeter);

  const Readout before[] = {
    { 206, 92, 4, 2, kThreshold }, { 107, 166, 3, 1, kKnee },  { 106, 215, 4, 1, kRMSSize }, { 199, 208, 4, 2, kRange },
    { 233, 277, 5, 2, kAttack },   { 531, 277, 4, 2, kRatio }, { 694, 277, 5, 1, kRelease },
  };
  for (const Readout& r : before)
  {
    mReadouts[r.param] = new IOdometerControl(this, r.x, r.y, r.digits, r.decimals, &lcd);
    pGraphics->AttachControl(mReadouts[r.param]);
  }
  mAutoReleaseIndicator = new IBitmapControl(this, 694, 277, -1, &lcdAuto);
  pGraphics->AttachControl(mAutoReleaseIndicator);
  mAutoReleaseIndicator->Hide(true);
  mInstantAttackIndicator = new IBitmapControl(this, 233, 277, -1, &lcdAttack);
  pGraphics->AttachControl(mInstantAttackIndicator);
  mInstantAttackIndicator->Hide(true);
  mReadouts[kParallel] = new IOdometerControl(this, 706, 360, 5, 2, &lcd);
  pGraphics->AttachControl(mReadouts[kParallel]);

  pGraphics->AttachControl(new IKnobMultiControl(this, 281, 245, kAttack, &attack));
  pGraphics->AttachControl(new IKnobMultiControl(this, 443, 245, kRatio, &ratio));
  pGraphics->AttachControl(new IClickKnobControl(this, 606, 245, kRelease, &release));
  pGraphics->AttachControl(new IKnobMultiControl(this, 76, 159, kKnee, &dot));
  pGraphics->AttachControl(new IKnobMultiControl(this, 76, 209, kRMSSize, &dot));
  pGraphics->AttachControl(new IKnobMultiControl(this, 236, 352, kDrive, &dot));
  pGraphics->AttachControl(new IKnobMultiControl(this, 279, 352, kSag, &dot));
  pGraphics->AttachControl(new IKnobMultiControl(this, 677, 352, kParallel, &dot));

  pGraphics->AttachControl(new IFaderControl(this, 276, 43, 407, kThreshold, &faderIO, kHorizontal));
  pGraphics->AttachControl(new IFaderControl(this, 276, 161, 407, kRange, &faderGR, kHorizontal));
  pGraphics->AttachControl(new IFaderControl(this, 349, 356, 260, kCompensation, &faderComp, kHorizontal));

  pGraphics->AttachControl(new ISwitchControl(this, 479, 0, kOversample, &oversample));
  pGraphics->AttachControl(new ISwitchControl(this, 359, 0, kSidechain, &sidechain));
  pGraphics->AttachControl(new ISwitchControl(this, 716, 79, kTopology, &feedback));

  mModeKnob = new IDetentKnob(this, 42, 41, kMode, &mode, 5);
  pGraphics->AttachControl(mModeKnob);

  const IColor black(255, 0, 0, 0), grey(255, 120, 120, 120);
  IText version(12, &black, DEFAULT_FONT, IText::kStyleNormal, IText::kAlignNear, 0);
  IRECT versionRect(187, 3, 355, 13);
  pGraphics->AttachControl(new ITextControl(this, &versionRect, &version, "Version 2.00.01"));
  version.mColor = grey;
  IRECT versionShade(187, 4, 355, 14);
  pGraphics->AttachControl(new ITextControl(this, &versionShade, &version, "Version 2.00.01"));

  AttachGraphics(pGraphics);
}

void Kestrovane::UpdateEditor(int paramIdx)
{
  if (!mModeKnob) return;
  const double v = GetParam(paramIdx)->Value();
  switch (paramIdx)
  {
    case kThreshold:
    case kRange:
      mReadouts[paramIdx]->SetValueFromPlug(-v);
      break;
    case kRatio:
    case kAttack:
    case kRelease:
    case kRMSSize:
    case kKnee:
    case kParallel:
      mReadouts[paramIdx]->SetValueFromPlug(v);
      break;
    case kAutoRelease:
    {
      IOdometerControl* pAttack = mReadouts[kAttack];
      IOdometerControl* pRelease = mReadouts[kRelease];
      if (v == kAutoReleaseOff)
      {
        pAttack->Hide(false);
        pRelease->Hide(false);
        mAutoReleaseIndicator->Hide(true);
        mInstantAttackIndicator->Hide(true);
        mAutoReleaseIndicator->SetValueFromPlug(0.0);
      }
      else if (v == kAutoReleaseSlow || v == kAutoReleaseFast)
      {
        pRelease->Hide(true);
        pAttack->Hide(false);
        mAutoReleaseIndicator->Hide(false);
        mAutoReleaseIndicator->SetValueFromPlug(v == kAutoReleaseSlow ? 0.5 : 1.0);
        mInstantAttackIndicator->Hide(true);
      }
      else if (v == kAutoReleaseZorl)
      {
        pRelease->Hide(true);
        pAttack->Hide(true);
        mAutoReleaseIndicator->Hide(false);
        mInstantAttackIndicator->Hide(false);
        mAutoReleaseIndicator->SetValueFromPlug(0.0);
      }
      pAttack->SetDirty(true);
      mAutoReleaseIndicator->SetDirty(true);
      mInstantAttackIndicator->SetDirty(true);
      pRelease->SetDirty(true);
      break;
    }
    default: break;
  }
  mModeKnob->SetRedraw();
}

void Kestrovane::ShowMeters()
{
  if (!mMeters[kInputMeter]) return;
  for (int m = 0; m < kNumMeters; ++m) mMeters[m]->SetValueFromPlug(GetMeterValue((EMeter)m));
}

#endif
