// Faders and knobs.

#include <cmath>

#include "IControls.h"

// ----- IFaderControl -----

IFaderControl::IFaderControl(IFxBase* pPlug, int x, int y, int len, int paramIdx, IBitmap* pBitmap,
                             EDirection direction)
  : IControl(pPlug,
             direction == kHorizontal ? IRECT(x, y, x + len, y + pBitmap->H) : IRECT(x, y, x + pBitmap->W, y + len),
             paramIdx),
    mLen(len), mHandleHeadroom(direction == kHorizontal ? pBitmap->W : pBitmap->H), mHandleBitmap(*pBitmap),
    mDirection(direction)
{
}

IRECT IFaderControl::GetHandleRECT(double value) const
{
  if (value < 0.0) value = GetValue();
  value = IClampUnit(value);
  IRECT r(mRECT.L, mRECT.T, mRECT.L + mHandleBitmap.W, mRECT.T + mHandleBitmap.H);
  const double travel = (double)(mLen - mHandleHeadroom);
  if (mDirection == kHorizontal)
  {
    const int offs = (int)(value * travel);
    r.L += offs;
    r.R += offs;
  }
  else
  {
    const int offs = (int)((1.0 - value) * travel);
    r.T += offs;
    r.B += offs;
  }
  return r;
}

void IFaderControl::SnapToMouse(int x, int y)
{
  const double travel = (double)(mLen - mHandleHeadroom);
  if (mDirection == kHorizontal) SetValue((double)(x - mRECT.L - mHandleHeadroom / 2) / travel);
  else SetValue(1.0 - (double)(y - mRECT.T - mHandleHeadroom / 2) / travel);
  SetDirty(true);
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  if (pMod && pMod->R) PromptUserInput();
  else SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int /*dX*/, int /*dY*/, IMouseMod* /*pMod*/)
{
  SnapToMouse(x, y);
}

bool IFaderControl::Draw(IGraphics* pGraphics)
{
  IRECT r = GetHandleRECT();
  return pGraphics->DrawBitmap(&mHandleBitmap, &r, 1, &mBlend);
}

// ----- IKnobControl -----

IKnobControl::IKnobControl(IFxBase* pPlug, const IRECT& r, int paramIdx, EDirection direction, double gearing)
  : IControl(pPlug, r, paramIdx), mDirection(direction), mGearing(gearing)
{
}

void IKnobControl::OnMouseDrag(int /*x*/, int /*y*/, int dX, int dY, IMouseMod* pMod)
{
  double d;
  if (mDirection == kVertical) d = (double)dY / (double)(mRECT.T - mRECT.B) / mGearing;
  else d = (double)dX / (double)(mRECT.R - mRECT.L) / mGearing;
  if (pMod && (pMod->S || pMod->C)) d /= 10.0;
  SetValue(GetValue() + d);  // a control without size gives no finite step and stays put
  SetDirty(true);
}

// ----- IKnobLineControl -----

IKnobLineControl::IKnobLineControl(IFxBase* pPlug, IRECT* pR, int paramIdx, const IColor* pColor,
                                   double innerRadius, double outerRadius, double minAngle, double maxAngle,
                                   EDirection direction, double gearing)
  : IKnobControl(pPlug, pR, paramIdx, direction, gearing), mColor(*pColor), mMinAngle((float)minAngle),
    mMaxAngle((float)maxAngle), mInnerRadius((float)innerRadius),
    mOuterRadius(outerRadius == 0.0 ? 0.5f * (float)pR->W() : (float)outerRadius)
{
  mBlend = IChannelBlend(IChannelBlend::kBlendClobber, 1.0f);
}

bool IKnobLineControl::Draw(IGraphics* pGraphics)
{
  const double angle = mMinAngle + GetValue() * (mMaxAngle - mMinAngle);
  const float cx = (float)(mRECT.L + mRECT.R) * 0.5f, cy = (float)(mRECT.T + mRECT.B) * 0.5f;
  const float s = (float)sin(angle), c = (float)cos(angle);
  return pGraphics->DrawLine(&mColor, cx + s * mInnerRadius, cy - c * mInnerRadius, cx + s * mOuterRadius,
                             cy - c * mOuterRadius, &mBlend, true);
}

// ----- IKnobRotaterControl -----

IKnobRotaterControl::IKnobRotaterControl(IFxBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                         double minAngle, double maxAngle, int yOffset, EDirection direction,
                                         double gearing)
  : IKnobControl(pPlug, IRECT(x, y, pBitmap), paramIdx, direction, gearing), mBitmap(*pBitmap),
    mMinAngle(minAngle), mMaxAngle(maxAngle), mYOffset(yOffset)
{
}

bool IKnobRotaterControl::Draw(IGraphics* pGraphics)
{
  const double angle = mMinAngle + GetValue() * (mMaxAngle - mMinAngle);
  return pGraphics->DrawRotatedBitmap(&mBitmap, (mRECT.L + mRECT.R) / 2, (mRECT.T + mRECT.B) / 2, angle, mYOffset,
                                      &mBlend);
}

// ----- IKnobMultiControl -----

IKnobMultiControl::IKnobMultiControl(IFxBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                     EDirection direction, double gearing)
  : IKnobControl(pPlug, IRECT(x, y, pBitmap), paramIdx, direction, gearing), mBitmap(*pBitmap)
{
}

bool IKnobMultiControl::Draw(IGraphics* pGraphics)
{
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, IFrameFromValue(GetValue(), mBitmap.N), &mBlend);
}

// ----- IKnobRotatingMaskControl -----

IKnobRotatingMaskControl::IKnobRotatingMaskControl(IFxBase* pPlug, int x, int y, int paramIdx, IBitmap* pBase,
                                                   IBitmap* pMask, IBitmap* pTop, double minAngle, double maxAngle,
                                                   EDirection direction, double gearing)
  : IKnobControl(pPlug, IRECT(x, y, pBase), paramIdx, direction, gearing), mBase(*pBase), mMask(*pMask),
    mTop(*pTop), mMinAngle(minAngle), mMaxAngle(maxAngle)
{
}

bool IKnobRotatingMaskControl::Draw(IGraphics* pGraphics)
{
  const double angle = mMinAngle + GetValue() * (mMaxAngle - mMinAngle);
  return pGraphics->DrawRotatedMask(&mBase, &mMask, &mTop, mRECT.L, mRECT.T, angle, &mBlend);
}
