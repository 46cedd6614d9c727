#pragma once
// The base of every element of the editor. A control draws into its rectangle, receives the mouse
// in its target rectangle, and may be bound to one plug-in parameter whose value it holds
// normalised to 0..1. Values come from the user (the mouse handlers change the value and call
// SetDirty(true), which hands it to the plug-in) and from the plug-in (SetValueFromPlug, which
// only marks the control for redrawing).
//
// Threads: the audio thread sets meter values and host automation sets bound values while the
// main thread draws and cleans, so the value, the dirty state and the hidden flag are atomics.
// The dirty state is one atomic word holding the two flags "dirty" (draw at the next pass) and
// "redraw" (stay dirty through one more pass); a value or visibility change from another thread
// always sets "redraw" before "dirty", so a cleaning that races with it still leaves the control
// dirty, and the change is drawn at the next tick. Nothing here locks.

#include <atomic>

#include "IGraphicsStructs.h"

class IFxBase;
class IGraphics;

class IControl
{
public:
  // Both rectangles become *pR. Controls without a parameter pass -1.
  IControl(IFxBase* pPlug, IRECT* pR, int paramIdx = -1,
           IChannelBlend::EBlendKind blendMethod = IChannelBlend::kBlendNone)
    : IControl(pPlug, *pR, paramIdx, blendMethod) {}
  IControl(IFxBase* pPlug, const IRECT& r, int paramIdx = -1,
           IChannelBlend::EBlendKind blendMethod = IChannelBlend::kBlendNone);
  virtual ~IControl() {}

  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // ----- Virtual operations -----
  // A right click asks for a typed value.
  virtual void OnMouseDown(int x, int y, IMouseMod* pMod);
  virtual void OnMouseUp(int /*x*/, int /*y*/, IMouseMod* /*pMod*/) {}
  // dX, dY: the pointer movement since the previous mouse-down or drag event.
  virtual void OnMouseDrag(int /*x*/, int /*y*/, int /*dX*/, int /*dY*/, IMouseMod* /*pMod*/) {}
  // Restores the first value the plug-in gave, once one has come.
  virtual void OnMouseDblClick(int x, int y, IMouseMod* pMod);
  // d whole wheel steps of 0.01 each, 0.001 with shift or control.
  virtual void OnMouseWheel(int x, int y, IMouseMod* pMod, int d);
  virtual void OnKeyDown(int /*x*/, int /*y*/, int /*key*/) {}
  virtual void OnMouseOver(int /*x*/, int /*y*/, IMouseMod* /*pMod*/) {}
  virtual void OnMouseOut() {}

  virtual bool Draw(IGraphics* pGraphics) = 0;

  // A normalised value from the plug-in: the first ever becomes the double-click default; an
  // equal value does nothing; a new one is drawn on the next two passes. Never sent back.
  virtual void SetValueFromPlug(double value);

  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y) { return mTargetRECT.Contains(x, y); }

  // Clamps the value, marks the control dirty and, when asked and bound, sends the value to the
  // plug-in as an editor change, through the editor surface that holds the plug-in's editor
  // (IGraphics::PushParamToPlug), which tells the host inside a begin and end of the parameter.
  virtual void SetDirty(bool pushParamToPlug = true);
  // Cleans the control, unless a redraw was requested: then it stays dirty for one more pass.
  virtual void SetClean();
  virtual bool IsDirty() { return mDirtyState.load(std::memory_order_acquire) & kDirty; }

  // Called on every control after the editor has been idle for a while.
  virtual void OnGUIIdle() {}

  // ----- Non-virtual operations -----
  // A value typed or set by the editor: a new one is sent to the plug-in and drawn twice.
  void SetValueFromUserInput(double value);
  // Asks the editor surface to prompt for a typed value of the bound parameter.
  void PromptUserInput();
  // Asks for the control to stay dirty through one more drawing pass.
  void SetRedraw() { mDirtyState.fetch_or(kRedraw, std::memory_order_acq_rel); }

  int ParamIdx() const { return mParamIdx; }
  IRECT* GetRECT() { return &mRECT; }
  IRECT* GetTargetRECT() { return &mTargetRECT; }
  double GetValue() const { return mValue.load(std::memory_order_acquire); }
  double GetDefaultValue() const { return mDefaultValue.load(std::memory_order_acquire); }
  bool IsHidden() const { return mHide.load(std::memory_order_acquire); }
  bool IsGrayed() const { return mGrayed; }
  const IChannelBlend* GetBlend() const { return &mBlend; }
  IFxBase* GetPlug() const { return mPlug; }
  void Clamp(double lo, double hi);
  void GetClamp(double* pLo, double* pHi) const { *pLo = mClampLo.load(); *pHi = mClampHi.load(); }
  bool GetDblAsSingleClick() const { return mDblAsSingleClick; }
  void SetDblAsSingleClick(bool on) { mDblAsSingleClick = on; }
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }

protected:
  // Stores a new value; a value that is not finite is refused and the last finite one stays, so
  // nothing that is not a number reaches the drawing, the plug-in or the saved state.
  void SetValue(double value)
  {
    if (value - value == 0.0) mValue.store(value, std::memory_order_release);
  }

  enum : unsigned { kDirty = 1, kRedraw = 2 };

  IFxBase* mPlug;
  IRECT mRECT, mTargetRECT;
  int mParamIdx;

private:
  std::atomic<double> mValue{0.0};
  std::atomic<double> mDefaultValue{-1.0};
  std::atomic<double> mClampLo{0.0}, mClampHi{1.0};
  std::atomic<unsigned> mDirtyState{kDirty};
  std::atomic<bool> mHide{false};

protected:
  bool mGrayed = false;
  bool mDisablePrompt = false;
  bool mDblAsSingleClick = false;
  IChannelBlend mBlend;
};

// A value clamped into 0..1 before it becomes a frame, an index or a position; not a number
// counts as 0.
inline double IClampUnit(double v)
{
  return v > 0.0 ? (v < 1.0 ? v : 1.0) : 0.0;
}
