#include "IGraphics.h"

#include <cmath>
#include <cstring>

#include "IControl.h"
#include "IControls.h"
#include "IFxBase.h"

namespace
{
// True when a drawing pass over area redrew every pixel of r that lies in the visible part of the
// surface (a rectangle with L < R and T < B, or nothing visible at all).
bool AreaCovers(const IRECT& area, const IRECT& r, const IRECT& visible)
{
  const int l = std::max(r.L, visible.L), t = std::max(r.T, visible.T);
  const int rr = std::min(r.R, visible.R), b = std::min(r.B, visible.B);
  if (r.Empty() || rr <= l || b <= t) return true;  // nothing of it is shown
  return area.L <= l && area.T <= t && rr <= area.R && b <= area.B;
}
}  // namespace

IGraphics::IGraphics(IFxBase* pPlug, int width, int height, int fps)
  : mControls(4096), mPlug(pPlug), mWidth(width), mHeight(height), mFPS(fps > 0 ? fps : 24)
{
}

void IGraphics::DeleteControls()
{
  mControls.Empty(true);
}

// ----- Controls -----

int IGraphics::AttachControl(IControl* pControl)
{
  if (!pControl || !mControls.Add(pControl))
  {
    delete pControl;  // the surface owns what it is given, even when the list cannot grow
    return -1;
  }
  return mControls.GetSize() - 1;
}

void IGraphics::InsertBackground(int ID, const char* name)
{
  IBitmap bg = LoadIBitmap(ID, name, 1);
  IControl* pBg = new IBitmapControl(mPlug, 0, 0, -1, &bg, IChannelBlend::kBlendClobber);
  const int n = mControls.GetSize();
  if (!mControls.Add(pBg))
  {
    delete pBg;
    return;
  }
  IControl** list = mControls.GetList();
  memmove(list + 1, list, (size_t)n * sizeof(IControl*));
  list[0] = pBg;
}

void IGraphics::HideControl(int paramIdx, bool hide)
{
  for (int i = 0; i < mControls.GetSize(); ++i)
    if (IControl* c = mControls.Get(i); c->ParamIdx() == paramIdx) c->Hide(hide);
}

void IGraphics::GrayOutControl(int paramIdx, bool gray)
{
  for (int i = 0; i < mControls.GetSize(); ++i)
    if (IControl* c = mControls.Get(i); c->ParamIdx() == paramIdx) c->GrayOut(gray);
}

void IGraphics::SetAllControlsDirty()
{
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->SetDirty(false);
}

void IGraphics::SetStrictDrawing(bool strict)
{
  mStrict = strict;
  SetAllControlsDirty();
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized)
{
  if (!normalized)
  {
    IParam* pParam = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!pParam) return;
    lo = pParam->GetNormalized(lo);
    hi = pParam->GetNormalized(hi);
  }
  for (int i = 0; i < mControls.GetSize(); ++i)
    if (IControl* c = mControls.Get(i); c->ParamIdx() == paramIdx) c->Clamp(lo, hi);
}

void IGraphics::OnGUIIdle()
{
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnGUIIdle();
}

// ----- Parameter binding -----

void IGraphics::SetControlsFromPlug(int paramIdx, double value, bool normalized)
{
  if (!normalized)
  {
    IParam* pParam = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!pParam) return;
    value = pParam->GetNormalized(value);
  }
  for (int i = 0; i < mControls.GetSize(); ++i)
    if (IControl* c = mControls.Get(i); c->ParamIdx() == paramIdx) c->SetValueFromPlug(value);
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue)
{
  if (IControl* c = mControls.Get(controlIdx)) c->SetValueFromPlug(normalizedValue);
}

void IGraphics::SetParameterFromGUI(int paramIdx, double normalizedValue)
{
  for (int i = 0; i < mControls.GetSize(); ++i)
    if (IControl* c = mControls.Get(i); c->ParamIdx() == paramIdx) c->SetValueFromUserInput(normalizedValue);
}

void IGraphics::PushParamToPlug(int paramIdx, double normalizedValue)
{
  if (!mPlug) return;
  const bool ownGesture = paramIdx != mGestureParam && paramIdx != mPressParam;
  if (ownGesture) mPlug->BeginInformHostOfParamChange(paramIdx);
  mPlug->SetParameterFromGUI(paramIdx, normalizedValue);
  if (ownGesture) mPlug->EndInformHostOfParamChange(paramIdx);
}

// ----- Redraw -----

bool IGraphics::IsDirty(IRECT* pR)
{
  bool dirty = false;
  IControl** list = mControls.GetList();
  const int n = mControls.GetSize();
  for (int i = 0; i < n; ++i)
  {
    if (list[i]->IsDirty())
    {
      pR->Union(*list[i]->GetRECT());
      dirty = true;
    }
  }
  if (dirty)
  {
    mIdleTicks = 0;
    return true;
  }
  if (++mIdleTicks > 20)
  {
    OnGUIIdle();
    mIdleTicks = 0;
  }
  return false;
}

bool IGraphics::Draw(IRECT* pR)
{
  const int n = mControls.GetSize();
  if (!n) return true;
  IControl** list = mControls.GetList();

  if (mStrict)
  {
    mDrawRECT = *pR;
    IRECT visible(0, 0, mWidth, mHeight);
    if (mHasVisibleArea)
      visible = IRECT(std::max(mVisibleArea.L, 0), std::max(mVisibleArea.T, 0), std::min(mVisibleArea.R, mWidth),
                      std::min(mVisibleArea.B, mHeight));
    for (int i = 0; i < n; ++i)
    {
      IControl* c = list[i];
      if (!c->IsHidden() && pR->Intersects(*c->GetRECT())) c->Draw(this);
      // Only a control this pass redrew in full is cleaned: one outside the area, or only
      // partly inside it, stays dirty for the next tick. Its parts that are not shown need no
      // drawing, or a control the window clips would be repainted on every tick.
      if (AreaCovers(*pR, *c->GetRECT(), visible)) c->SetClean();
    }
  }
  else if (list[0]->IsDirty())
  {
    mDrawRECT = *list[0]->GetRECT();
    for (int i = 0; i < n; ++i)
    {
      IControl* c = list[i];
      if (i == 0 || !c->IsHidden())
      {
        c->Draw(this);
        c->SetClean();
      }
    }
  }
  else
  {
    for (int i = 1; i < n; ++i)
    {
      IControl* ci = list[i];
      if (!ci->IsDirty()) continue;
      mDrawRECT = *ci->GetRECT();
      for (int j = 0; j < n; ++j)
      {
        IControl* cj = list[j];
        if (j == i || (!cj->IsHidden() && cj->GetRECT()->Intersects(mDrawRECT))) cj->Draw(this);
      }
      ci->SetClean();
    }
  }
  return DrawScreen(pR);
}

void IGraphics::ResizeWithoutControls(int w, int h)
{
  mWidth = w;
  mHeight = h;
  EndGesture();
  ReleaseMouseCapture();
  mMouseOver = -1;
  mControls.Empty(true);
  ++mControlsEpoch;
  if (mPlug) mPlug->ResizeGraphics(w, h);
}

// ----- Events -----

int IGraphics::GetMouseControlIdx(int x, int y)
{
  if (mMouseCapture >= 0) return mMouseCapture;
  for (int i = mControls.GetSize() - 1; i >= 0; --i)
  {
    IControl* c = mControls.Get(i);
    if (!c->IsHidden() && !c->IsGrayed() && c->IsHit(x, y)) return i;
  }
  return -1;
}

void IGraphics::ReleaseMouseCapture()
{
  mMouseCapture = mMouseX = mMouseY = -1;
}

void IGraphics::EndGesture()
{
  const int paramIdx = mGestureParam;
  mGestureParam = -1;
  if (paramIdx >= 0 && mPlug) mPlug->EndInformHostOfParamChange(paramIdx);
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  EndGesture();  // a press whose release never came
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  if (c < 0) return;
  mMouseCapture = c;
  mMouseX = x;
  mMouseY = y;
  IControl* pControl = mControls.Get(c);
  const unsigned epoch = mControlsEpoch;
  mPressParam = pControl->ParamIdx();
  pControl->OnMouseDown(x, y, pMod);
  mPressParam = -1;
  if (epoch != mControlsEpoch) return;  // the handler replaced the controls
  // The host hears the begin after the control reacted, so a control that jumps to the pointer
  // has already sent its new value.
  const int paramIdx = pControl->ParamIdx();
  if (paramIdx >= 0 && mPlug)
  {
    mPlug->BeginInformHostOfParamChange(paramIdx);
    mGestureParam = paramIdx;
  }
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* pMod)
{
  const int c = GetMouseControlIdx(x, y);
  ReleaseMouseCapture();
  if (c >= 0) mControls.Get(c)->OnMouseUp(x, y, pMod);
  EndGesture();
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* pMod)
{
  IControl* pControl = mControls.Get(mMouseCapture);
  if (!pControl || (x == mMouseX && y == mMouseY)) return;
  const int dX = x - mMouseX, dY = y - mMouseY;
  mMouseX = x;
  mMouseY = y;
  pControl->OnMouseDrag(x, y, dX, dY, pMod);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* pMod)
{
  EndGesture();
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  if (c < 0) return false;
  IControl* pControl = mControls.Get(c);
  if (pControl->GetDblAsSingleClick())
  {
    mMouseCapture = c;
    mMouseX = x;
    mMouseY = y;
    pControl->OnMouseDown(x, y, pMod);
    return true;
  }
  pControl->OnMouseDblClick(x, y, pMod);
  return false;
}

void IGraphics::OnMouseWheel(int x, int y, IMouseMod* pMod, int d)
{
  if (IControl* c = mControls.Get(GetMouseControlIdx(x, y))) c->OnMouseWheel(x, y, pMod, d);
}

void IGraphics::OnKeyDown(int x, int y, int key)
{
  if (IControl* c = mControls.Get(GetMouseControlIdx(x, y))) c->OnKeyDown(x, y, key);
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* pMod)
{
  if (!mHandleMouseOver) return false;
  const int c = GetMouseControlIdx(x, y);
  if (c >= 0)
  {
    mMouseX = x;
    mMouseY = y;
    mControls.Get(c)->OnMouseOver(x, y, pMod);
    if (mMouseOver >= 0 && mMouseOver != c)
      if (IControl* pOld = mControls.Get(mMouseOver)) pOld->OnMouseOut();
    mMouseOver = c;
  }
  return true;
}

void IGraphics::OnMouseOut()
{
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnMouseOut();
  mMouseOver = -1;
}

// ----- Drawing built on the primitives -----

bool IGraphics::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int bmpState, const IChannelBlend* pBlend)
{
  if (!pBitmap || !pDest) return false;
  int srcY = 0;
  if (pBitmap->N > 1 && bmpState > 1) srcY = (int)(0.5 + (double)pBitmap->H * (double)(bmpState - 1) / (double)pBitmap->N);
  return DrawBitmap(pBitmap, pDest, 0, srcY, pBlend);
}

bool IGraphics::DrawRect(const IColor* pColor, IRECT* pR)
{
  bool ok = DrawHorizontalLine(pColor, pR->T, pR->L, pR->R);
  ok = DrawHorizontalLine(pColor, pR->B, pR->L, pR->R) && ok;
  ok = DrawVerticalLine(pColor, pR->L, pR->T, pR->B) && ok;
  ok = DrawVerticalLine(pColor, pR->R, pR->T, pR->B) && ok;
  return ok;
}

bool IGraphics::DrawVerticalLine(const IColor* pColor, IRECT* pR, float x)
{
  x = (float)IClampUnit(x);
  const int xi = pR->L + (int)((float)(pR->R - pR->L) * x);
  return DrawVerticalLine(pColor, xi, pR->T, pR->B);
}

bool IGraphics::DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y)
{
  y = (float)IClampUnit(y);
  const int yi = pR->B - (int)((float)(pR->B - pR->T) * y);
  return DrawHorizontalLine(pColor, yi, pR->L, pR->R);
}

bool IGraphics::DrawRadialLine(const IColor* pColor, float cx, float cy, float angle, float rMin, float rMax,
                               const IChannelBlend* pBlend, bool antiAlias)
{
  const float s = sinf(angle), c = cosf(angle);
  return DrawLine(pColor, cx + rMin * s, cy - rMin * c, cx + rMax * s, cy - rMax * c, pBlend, antiAlias);
}
