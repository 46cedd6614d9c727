#pragma once
// The Release knob: a film-strip knob whose double-click steps "Auto Release" through Off, Slow,
// Fast and Zorl instead of resetting the knob.

#include "IControls.h"

class IClickKnobControl : public IKnobMultiControl
{
public:
  // The parameter the double-click steps.
  enum { kAutoReleaseParam = 15 };

  using IKnobMultiControl::IKnobMultiControl;
  ~IClickKnobControl() override {}

  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
};
