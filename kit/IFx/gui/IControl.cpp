#include "IControl.h"

#include "IFxBase.h"
#include "IGraphics.h"

IControl::IControl(IFxBase* pPlug, const IRECT& r, int paramIdx, IChannelBlend::EBlendKind blendMethod)
  : mPlug(pPlug), mRECT(r), mTargetRECT(r), mParamIdx(paramIdx), mBlend(blendMethod, 1.0f)
{
}

void IControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* pMod)
{
  if (pMod && pMod->R) PromptUserInput();
}

void IControl::OnMouseDblClick(int /*x*/, int /*y*/, IMouseMod* /*pMod*/)
{
  const double def = GetDefaultValue();
  if (def >= 0.0)
  {
    SetValue(def);
    SetDirty(true);
  }
}

void IControl::OnMouseWheel(int /*x*/, int /*y*/, IMouseMod* pMod, int d)
{
  const bool fine = pMod && (pMod->S || pMod->C);
  SetValue(GetValue() + d * (fine ? 0.001 : 0.01));
  SetDirty(true);
}

void IControl::SetValueFromPlug(double value)
{
  if (value - value != 0.0) return;  // not finite: the last finite value stays
  if (GetDefaultValue() < 0.0)
  {
    mDefaultValue.store(value, std::memory_order_release);
    SetValue(value);
  }
  else
  {
    if (value == GetValue()) return;
    SetValue(value);
  }
  // The redraw request goes first: a cleaning on the drawing thread between the two marks turns
  // it into "dirty", so the new value is drawn whatever the interleaving.
  SetRedraw();
  SetDirty(false);
}

void IControl::Hide(bool hide)
{
  SetRedraw();
  mHide.store(hide, std::memory_order_release);
  SetDirty(false);
}

void IControl::GrayOut(bool gray)
{
  mGrayed = gray;
  mBlend.mWeight = gray ? GRAYED_ALPHA : 1.0f;
  SetDirty(false);
}

void IControl::SetDirty(bool pushParamToPlug)
{
  double v = GetValue();
  const double lo = mClampLo.load(std::memory_order_relaxed), hi = mClampHi.load(std::memory_order_relaxed);
  const double clamped = lo > v ? lo : (hi < v ? hi : v);
  // Only a value nobody replaced meanwhile is clamped; a newer one brings its own SetDirty.
  if (clamped != v) mValue.compare_exchange_strong(v, clamped, std::memory_order_acq_rel);
  mDirtyState.fetch_or(kDirty, std::memory_order_acq_rel);
  if (!pushParamToPlug || !mPlug || mParamIdx < 0) return;
  // Through the editor, which knows the gesture under way; a control no editor holds yet goes
  // straight to the plug-in.
  if (IGraphics* pGraphics = mPlug->GetGUI()) pGraphics->PushParamToPlug(mParamIdx, clamped);
  else mPlug->SetParameterFromGUI(mParamIdx, clamped);
}

void IControl::SetClean()
{
  unsigned s = mDirtyState.load(std::memory_order_relaxed);
  while (!mDirtyState.compare_exchange_weak(s, (s & kRedraw) ? kDirty : 0u, std::memory_order_acq_rel))
  {
  }
}

void IControl::Clamp(double lo, double hi)
{
  // A bound that is not a number falls back to that end of the full range.
  mClampLo.store(lo == lo ? lo : 0.0, std::memory_order_relaxed);
  mClampHi.store(hi == hi ? hi : 1.0, std::memory_order_relaxed);
}

void IControl::SetValueFromUserInput(double value)
{
  if (value - value != 0.0 || value == GetValue()) return;
  SetValue(value);
  SetDirty(true);
  SetRedraw();
}

void IControl::PromptUserInput()
{
  if (mParamIdx < 0 || mDisablePrompt || !mPlug) return;
  if (IGraphics* pGraphics = mPlug->GetGUI()) pGraphics->PromptUserInput(this, mPlug->GetParam(mParamIdx));
  SetRedraw();
}
