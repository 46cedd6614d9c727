#pragma once
// The framework's ready-made controls: bitmap displays and film strips, switches, radio buttons,
// faders, line and rotating knobs, texts and parameter captions, a link and a file selector. All
// draw through the editor surface's primitives; none owns its images (the bitmap cache does).

#include "IControl.h"
#include "IGraphics.h"
#include "heapbuf.h"
#include "kitstring.h"

// Frame 1..N of an N-frame strip for a value in 0..1: 1 + int(0.5 + value * (N - 1)).
int IFrameFromValue(double value, int nFrames);

// Shows the frame of its strip that its value selects.
class IBitmapControl : public IControl
{
public:
  IBitmapControl(IFxBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                 IChannelBlend::EBlendKind blendMethod = IChannelBlend::kBlendNone);

  bool Draw(IGraphics* pGraphics) override;

protected:
  IBitmap mBitmap;
};

// Each click steps to the next frame, wrapping to the first after the last.
class ISwitchControl : public IBitmapControl
{
public:
  using IBitmapControl::IBitmapControl;

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
};

// A momentary switch: back to 0 when the button is released.
class IContactControl : public ISwitchControl
{
public:
  using ISwitchControl::ISwitchControl;

  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
};

// A switch that shows its image only while on; while off it is hit in a separate target area.
class IBitmapOverlayControl : public ISwitchControl
{
public:
  IBitmapOverlayControl(IFxBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap, IRECT* pTargetArea,
                        IChannelBlend::EBlendKind blendMethod = IChannelBlend::kBlendNone);

  bool Draw(IGraphics* pGraphics) override;

protected:
  IRECT mTargetArea;
};

// A toggle without a picture of its own.
class IInvisibleSwitchControl : public IControl
{
public:
  IInvisibleSwitchControl(IFxBase* pPlug, IRECT* pR, int paramIdx);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics*) override { return true; }
};

// nButtons buttons spread over the rectangle, the active one drawn with frame 2, the others with
// frame 1 of a two-frame strip. Button i stands for the value i / (nButtons - 1).
class IRadioButtonsControl : public IControl
{
public:
  IRadioButtonsControl(IFxBase* pPlug, IRECT* pR, int paramIdx, int nButtons, IBitmap* pBitmap,
                       EDirection direction = kVertical);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;

  int NButtons() const { return mRECTs.GetSize(); }
  const IRECT* GetButtonRECT(int i) const { return (i >= 0 && i < NButtons()) ? mRECTs.Get() + i : nullptr; }

protected:
  // The steps between the first button's value and the last's; one button is its own last.
  int Steps() const { return NButtons() > 1 ? NButtons() - 1 : 1; }

  KIT_TypedBuf<IRECT> mRECTs;
  IBitmap mBitmap;
};

// A handle that slides along len pixels; its centre follows the pointer.
class IFaderControl : public IControl
{
public:
  IFaderControl(IFxBase* pPlug, int x, int y, int len, int paramIdx, IBitmap* pBitmap,
                EDirection direction = kVertical);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;

  // The handle's rectangle for value, or for the current value when value is negative.
  IRECT GetHandleRECT(double value = -1.0) const;
  void SnapToMouse(int x, int y);

protected:
  int mLen, mHandleHeadroom;
  IBitmap mHandleBitmap;
  EDirection mDirection;
};

// Dragging along the direction moves the value: the control's full size changes it by
// 1 / gearing, a tenth of that with shift or control.
class IKnobControl : public IControl
{
public:
  IKnobControl(IFxBase* pPlug, IRECT* pR, int paramIdx, EDirection direction = kVertical,
               double gearing = DEFAULT_GEARING)
    : IKnobControl(pPlug, *pR, paramIdx, direction, gearing) {}
  IKnobControl(IFxBase* pPlug, const IRECT& r, int paramIdx, EDirection direction = kVertical,
               double gearing = DEFAULT_GEARING);

  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;

protected:
  EDirection mDirection;
  double mGearing;
};

// A line from the inner to the outer radius at the value's angle (radians, 0 up, clockwise).
class IKnobLineControl : public IKnobControl
{
public:
  IKnobLineControl(IFxBase* pPlug, IRECT* pR, int paramIdx, const IColor* pColor, double innerRadius = 0.0,
                   double outerRadius = 0.0, double minAngle = -0.75 * 3.141592653589793,
                   double maxAngle = 0.75 * 3.141592653589793, EDirection direction = kVertical,
                   double gearing = DEFAULT_GEARING);

  bool Draw(IGraphics* pGraphics) override;

protected:
  IColor mColor;
  float mMinAngle, mMaxAngle, mInnerRadius, mOuterRadius;
};

// The image turned about its centre (moved down by yOffset) to the value's angle in radians.
class IKnobRotaterControl : public IKnobControl
{
public:
  IKnobRotaterControl(IFxBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                      double minAngle = -0.75 * 3.141592653589793, double maxAngle = 0.75 * 3.141592653589793,
                      int yOffset = 0, EDirection direction = kVertical, double gearing = DEFAULT_GEARING);

  bool Draw(IGraphics* pGraphics) override;

protected:
  IBitmap mBitmap;
  double mMinAngle, mMaxAngle;
  int mYOffset;
};

// A knob drawn from a film strip, one frame per position.
class IKnobMultiControl : public IKnobControl
{
public:
  IKnobMultiControl(IFxBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                    EDirection direction = kVertical, double gearing = DEFAULT_GEARING);

  bool Draw(IGraphics* pGraphics) override;

protected:
  IBitmap mBitmap;
};

// A knob composited from a base image, a mask turned to the value's angle (degrees) and a top
// image turned with it; all three of one size.
class IKnobRotatingMaskControl : public IKnobControl
{
public:
  IKnobRotatingMaskControl(IFxBase* pPlug, int x, int y, int paramIdx, IBitmap* pBase, IBitmap* pMask,
                           IBitmap* pTop, double minAngle = -135.0, double maxAngle = 135.0,
                           EDirection direction = kVertical, double gearing = DEFAULT_GEARING);

  bool Draw(IGraphics* pGraphics) override;

protected:
  IBitmap mBase, mMask, mTop;
  double mMinAngle, mMaxAngle;
};

// A text in a style; an empty text draws nothing.
class ITextControl : public IControl
{
public:
  ITextControl(IFxBase* pPlug, IRECT* pR, IText* pText, const char* str = "");

  // A different text replaces the shown one and is drawn at the next tick; the same does nothing.
  void SetTextFromPlug(const char* str);
  const char* GetText() const { return mStr.Get(); }
  bool Draw(IGraphics* pGraphics) override;

protected:
  IText mText;
  KIT_String mStr;
};

// The bound parameter's display text, with a space and its label when asked.
class ICaptionControl : public ITextControl
{
public:
  ICaptionControl(IFxBase* pPlug, IRECT* pR, int paramIdx, IText* pText, bool showParamLabel = true);

  bool Draw(IGraphics* pGraphics) override;

protected:
  bool mShowParamLabel;
};

// Opens its link on a click, or the backup link when the first cannot be opened.
class IURLControl : public IControl
{
public:
  enum { kURLLen = 256, kErrMsgLen = 1024 };

  // Texts longer than their fields (255, 255 and 1023 characters) are cut to fit.
  IURLControl(IFxBase* pPlug, IRECT* pR, const char* url, const char* backupURL = nullptr,
              const char* errMsg = nullptr);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics*) override { return true; }

  const char* GetURL() const { return mURL; }
  const char* GetBackupURL() const { return mBackupURL; }
  const char* GetErrMsg() const { return mErrMsg; }

protected:
  char mURL[kURLLen] = {};
  char mBackupURL[kURLLen] = {};
  char mErrMsg[kErrMsgLen] = {};
};

// Asks for a file on a click; shows its image while the dialog is up, and reports itself dirty
// once after a selection.
class IFileSelectorControl : public IControl
{
public:
  enum EFileSelectorState { kFSNone = 0, kFSSelecting, kFSDone };

  IFileSelectorControl(IFxBase* pPlug, IRECT* pR, int paramIdx, IBitmap* pBitmap,
                       IGraphics::EFileAction action = IGraphics::kFileOpen, const char* dir = "",
                       const char* extensions = "");

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;
  bool IsDirty() override;

  void GetLastSelectedFileForPlug(KIT_String* pStr) const { pStr->Set(mFile.Get()); }
  void SetLastSelectedFileFromPlug(const char* file) { mFile.Set(file); }
  EFileSelectorState GetState() const { return mState; }

protected:
  IBitmap mBitmap;
  KIT_String mDir, mFile, mExtensions;
  IGraphics::EFileAction mFileAction;
  EFileSelectorState mState = kFSNone;
};
