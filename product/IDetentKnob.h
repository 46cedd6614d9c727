#pragma once
// The Mode knob: a film-strip knob whose parameter snaps to equally spaced detents while its image
// follows the mouse; once the drag has gone half a step past the detent, the detent moves.

#include <mutex>

#include "IControls.h"

class IDetentKnob : public IKnobMultiControl
{
public:
  IDetentKnob(IFxBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap, int nDetents,
              EDirection direction = kVertical, double gearing = DEFAULT_GEARING);
  ~IDetentKnob() override {}

  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d) override;
  // The base's reset to the default value, with the detent and the image going there too.
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  // Goes at once to the detent nearest a value from the host or a preset.
  void SetValueFromPlug(double v) override;
  bool Draw(IGraphics* pGraphics) override;

  double Detent() const;
  double DragPosition() const;
  double Step() const { return mStep; }
  // The frame the image shows for a drag position.
  int FrameFor(double drag) const;

private:
  // Runs a base handler that moves the value, then moves the image by as much.
  template <class F>
  void FollowValue(F baseHandler);

  // The detent, the drag and the first-draw flag are shared by the host's thread (values from the
  // plug-in) and the editor's (mouse and drawing): each handler reads and writes them as one.
  mutable std::mutex mLock;
  double mDetent = 0.0;
  double mStep;
  double mSnap;
  double mDrag = 0.0;
  bool mFirstDraw = true;
  unsigned mPlugValues = 0;  // values from the plug-in so far, for the handlers to see one come in
};
