#include "IDetentKnob.h"

#include <cmath>

#include "IGraphics.h"

IDetentKnob::IDetentKnob(IFxBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap, int nDetents,
                         EDirection direction, double gearing)
  : IKnobMultiControl(pPlug, x, y, paramIdx, pBitmap, direction, gearing),
    mStep(nDetents > 1 ? 1.0 / (double)(nDetents - 1) : 1.0), mSnap(mStep / 2.0)
{
  SetRedraw();
}

double IDetentKnob::Detent() const
{
  std::lock_guard<std::mutex> lock(mLock);
  return mDetent;
}

double IDetentKnob::DragPosition() const
{
  std::lock_guard<std::mutex> lock(mLock);
  return mDrag;
}

template <class F>
void IDetentKnob::FollowValue(F baseHandler)
{
  double before;
  unsigned plugValues;
  {
    std::lock_guard<std::mutex> lock(mLock);
    before = GetValue();
    plugValues = mPlugValues;
  }
  baseHandler();
  std::lock_guard<std::mutex> lock(mLock);
  // A value from the host that came in while the handler ran is in the difference too, and the
  // image would land a whole step or more from the value: the next paint would take that for a
  // change from outside and send the value back as an edit, perhaps over a restore made
  // meanwhile. The image then goes to the value itself.
  if (mPlugValues == plugValues) mDrag += GetValue() - before;
  else mDrag = GetValue();
}

void IDetentKnob::OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod)
{
  FollowValue([&] { IKnobMultiControl::OnMouseDrag(x, y, dX, dY, pMod); });
}

void IDetentKnob::OnMouseWheel(int x, int y, IMouseMod* pMod, int d)
{
  FollowValue([&] { IControl::OnMouseWheel(x, y, pMod, d); });
}

void IDetentKnob::OnMouseDblClick(int x, int y, IMouseMod* pMod)
{
  // Left at the old detent, the knob would take a later host value near that detent for its own
  // (SetValueFromPlug keeps the control's value then) and its next paint would send the default
  // back over it: a restored setting lost. The base handler sends the value, so it runs unlocked.
  IKnobMultiControl::OnMouseDblClick(x, y, pMod);
  std::lock_guard<std::mutex> lock(mLock);
  mDetent = mDrag = GetValue();
}

void IDetentKnob::OnMouseUp(int, int, IMouseMod*)
{
  {
    std::lock_guard<std::mutex> lock(mLock);
    mDrag = mDetent;
    SetValue(mDetent);
  }
  SetDirty(true);
}

void IDetentKnob::SetValueFromPlug(double v)
{
  if (v - v != 0.0) return;
  // Under the lock, so that a paint never sees the new detent with the old value.
  std::lock_guard<std::mutex> lock(mLock);
  ++mPlugValues;
  double target = GetValue();
  if (std::fabs(v - mDetent) >= mSnap)
  {
    // However far the host or a preset moved "Mode", the knob shows where it went.
    double nearest = std::floor(IClampUnit(v) / mStep + 0.5) * mStep;
    if (nearest > 1.0) nearest = 1.0;
    mDetent = mDrag = target = nearest;
  }
  IControl::SetValueFromPlug(target);
}

int IDetentKnob::FrameFor(double drag) const
{
  const int frames = mBitmap.N;
  const double f = (double)(frames - 1) * drag + 0.5;
  int frame = (f > -1e9 && f < 1e9 ? (int)f : 0) + 1;
  if (frame <= 0) frame = 1;
  if (frame > frames) frame = frames;
  return frame;
}

bool IDetentKnob::Draw(IGraphics* pGraphics)
{
  bool send = false;
  double drag;
  {
    std::lock_guard<std::mutex> lock(mLock);
    const double value = GetValue();
    if (mFirstDraw)
    {
      mFirstDraw = false;
      mDetent = mDrag = value;
      SetRedraw();
    }
    else if (std::fabs(value - mDrag) >= 0.9 * mStep)
    {
      // Changed from outside: adopt it.
      mDetent = mDrag = value;
      send = true;
      SetRedraw();
    }
    else if (std::fabs(mDrag - mDetent) >= mSnap)
    {
      mDetent += mDrag > mDetent ? mStep : -mStep;
      mDrag = mDetent;
      SetValue(mDetent);
      SetRedraw();
    }
    drag = mDrag;
  }
  if (send) SetDirty(true);
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, FrameFor(drag), &mBlend);
}
