// Bitmap displays, switches and radio buttons.

#include "IControls.h"

int IFrameFromValue(double value, int nFrames)
{
  if (nFrames <= 1) return 1;
  // Clamped before the conversion: an out-of-range value picks the nearest end frame.
  const int frame = 1 + (int)(0.5 + IClampUnit(value) * (double)(nFrames - 1));
  return frame < nFrames ? frame : nFrames;
}

// ----- IBitmapControl -----

IBitmapControl::IBitmapControl(IFxBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                               IChannelBlend::EBlendKind blendMethod)
  : IControl(pPlug, IRECT(x, y, pBitmap), paramIdx, blendMethod), mBitmap(*pBitmap)
{
}

bool IBitmapControl::Draw(IGraphics* pGraphics)
{
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, IFrameFromValue(GetValue(), mBitmap.N), &mBlend);
}

// ----- ISwitchControl -----

void ISwitchControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* pMod)
{
  if (pMod && pMod->R) PromptUserInput();
  else SetValue(GetValue() + (mBitmap.N > 1 ? 1.0 / (double)(mBitmap.N - 1) : 1.0));
  if (GetValue() > 1.001) SetValue(0.0);
  SetDirty(true);
}

void IContactControl::OnMouseUp(int /*x*/, int /*y*/, IMouseMod* /*pMod*/)
{
  SetValue(0.0);
  SetDirty(true);
}

// ----- IBitmapOverlayControl -----

IBitmapOverlayControl::IBitmapOverlayControl(IFxBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                             IRECT* pTargetArea, IChannelBlend::EBlendKind blendMethod)
  : ISwitchControl(pPlug, x, y, paramIdx, pBitmap, blendMethod), mTargetArea(*pTargetArea)
{
}

bool IBitmapOverlayControl::Draw(IGraphics* pGraphics)
{
  if (GetValue() < 0.5)
  {
    mTargetRECT = mTargetArea;
    return true;
  }
  mTargetRECT = mRECT;
  return IBitmapControl::Draw(pGraphics);
}

// ----- IInvisibleSwitchControl -----

IInvisibleSwitchControl::IInvisibleSwitchControl(IFxBase* pPlug, IRECT* pR, int paramIdx)
  : IControl(pPlug, pR, paramIdx, IChannelBlend::kBlendClobber)
{
  mDisablePrompt = true;
}

void IInvisibleSwitchControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* /*pMod*/)
{
  SetValue(GetValue() < 0.5 ? 1.0 : 0.0);
  SetDirty(true);
}

// ----- IRadioButtonsControl -----

IRadioButtonsControl::IRadioButtonsControl(IFxBase* pPlug, IRECT* pR, int paramIdx, int nButtons,
                                           IBitmap* pBitmap, EDirection direction)
  : IControl(pPlug, pR, paramIdx), mRECTs(4096), mBitmap(*pBitmap)
{
  if (nButtons < 1 || mRECTs.Resize(nButtons) == nullptr || mRECTs.GetSize() != nButtons) return;
  const int n = nButtons, w = pBitmap->W, fh = pBitmap->FrameHeight();
  const int spaces = n > 1 ? n - 1 : 1;  // a single button needs no gap
  IRECT* r = mRECTs.Get();
  if (direction == kHorizontal)
  {
    const int gap = (int)((double)(pR->R - pR->L - n * w) / (double)spaces);
    for (int i = 0, x = pR->L; i < n; ++i, x += w + gap) r[i] = IRECT(x, pR->T, x + w, pR->T + fh);
  }
  else
  {
    const int gap = (int)((double)(pR->B - pR->T - n * fh) / (double)spaces);
    for (int i = 0, y = pR->T; i < n; ++i, y += fh + gap) r[i] = IRECT(pR->L, y, pR->L + w, y + fh);
  }
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  if (pMod && pMod->R)
  {
    PromptUserInput();
    return;
  }
  for (int i = 0; i < NButtons(); ++i)
  {
    if (mRECTs.Get()[i].Contains(x, y))
    {
      SetValue((double)i / (double)Steps());
      break;
    }
  }
  // Also between buttons: the unchanged value is sent again.
  SetDirty(true);
}

bool IRadioButtonsControl::Draw(IGraphics* pGraphics)
{
  const int n = NButtons();
  int active = (int)(0.5 + IClampUnit(GetValue()) * (double)(n - 1));
  if (active > n - 1) active = n - 1;
  if (active < 0) active = 0;
  for (int i = 0; i < n; ++i) pGraphics->DrawBitmap(&mBitmap, mRECTs.Get() + i, i == active ? 2 : 1, &mBlend);
  return true;
}
