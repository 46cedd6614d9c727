#include "IClickKnobControl.h"

#include "IFxBase.h"

void IClickKnobControl::OnMouseDblClick(int, int, IMouseMod*)
{
  IParam* pAuto = mPlug ? mPlug->GetParam(kAutoReleaseParam) : nullptr;
  if (!pAuto) return;
  int current;
  {
    // The host sets "Auto Release" from its own thread under this mutex.
    KIT_MutexScope lock(mPlug->GetMutex());
    current = (int)pAuto->Value();
  }
  if (current >= 0 && current <= 3)
  {
    double next = (double)((current + 1) % 4);
    next = next < pAuto->GetMin() ? pAuto->GetMin() : (next > pAuto->GetMax() ? pAuto->GetMax() : next);
    // The host hears the change as one edit of its own, so its automation and display follow.
    mPlug->BeginInformHostOfParamChange(kAutoReleaseParam);
    {
      KIT_MutexScope lock(mPlug->GetMutex());
      pAuto->Set(next);
      mPlug->InformHostOfParamChange(kAutoReleaseParam, pAuto->GetNormalized());
    }
    mPlug->EndInformHostOfParamChange(kAutoReleaseParam);
  }
  SetDirty(true);
  mPlug->OnParamChange(kAutoReleaseParam);
}
