#pragma once
// The editor surface of one plug-in instance: it owns the controls, keeps them and the parameters
// in step both ways, collects dirty controls into one rectangle for the platform's repaint timer,
// redraws the affected controls into the back buffer, and routes mouse, wheel and key events to
// the right control, capturing it during a drag. Drawing, the window, text, prompts and image
// loading are virtual; the raster surface and the platform surface implement them.
//
// The plug-in core reaches the surface only through PrepDraw, SetParameterFromPlug, OpenWindow,
// CloseWindow, Width, Height and deletion; the surface is owned by the plug-in once attached.

#include "IGraphicsStructs.h"
#include "kitstring.h"
#include "ptrlist.h"

class IControl;
class IFxBase;
class IParam;

class IGraphics
{
public:
  enum EFileAction { kFileOpen = 0, kFileSave };

  // fps 0 or below means 24.
  IGraphics(IFxBase* pPlug, int width, int height, int fps = 0);
  // Deletes every control, last first. Loaded images stay in the bitmap cache.
  //
  // Every virtual operation with a body of its own is inline, so that the class has no key
  // function and its type information is emitted wherever it is used: the plug-in core and the
  // wrappers call the surface without linking this library.
  virtual ~IGraphics() { DeleteControls(); }

  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ----- Virtual operations -----
  // Creates the back buffer; called once when the plug-in takes the surface.
  virtual void PrepDraw() = 0;
  // Copies the back buffer to the window.
  virtual bool DrawScreen(IRECT* pR) = 0;
  // Draws the image with its (srcX, srcY) at the destination's top left, clipped to the area of
  // the drawing pass.
  virtual bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY,
                          const IChannelBlend* pBlend = nullptr) = 0;
  // angle in radians; the rotation centre lies yOffsetZeroDeg below the image centre.
  virtual bool DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle,
                                 int yOffsetZeroDeg = 0, const IChannelBlend* pBlend = nullptr) = 0;
  // angle in degrees.
  virtual bool DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y, double angle,
                               const IChannelBlend* pBlend = nullptr) = 0;
  virtual bool DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend = nullptr,
                         bool antiAlias = false) = 0;
  // One unblended pixel.
  virtual bool ForcePixel(const IColor* pColor, int x, int y) = 0;
  virtual bool DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2,
                        const IChannelBlend* pBlend = nullptr, bool antiAlias = false) = 0;
  virtual bool DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle, float maxAngle,
                       const IChannelBlend* pBlend = nullptr, bool antiAlias = false) = 0;
  virtual bool DrawCircle(const IColor* pColor, float cx, float cy, float r, const IChannelBlend* pBlend = nullptr,
                          bool antiAlias = false) = 0;
  virtual bool FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend = nullptr) = 0;
  virtual bool DrawIText(IText* pTxt, const char* str, IRECT* pR) = 0;
  virtual IColor GetPoint(int x, int y) = 0;
  // The back buffer's pixels.
  virtual void* GetData() = 0;
  // Deletes every control and asks the plug-in to attach a new set for the new size.
  virtual void Resize(int w, int h) { ResizeWithoutControls(w, h); }
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual void PromptUserInput(IControl* pControl, IParam* pParam) = 0;
  virtual void HostPath(KIT_String* pPath) = 0;
  virtual void PluginPath(KIT_String* pPath) = 0;
  virtual void PromptForFile(KIT_String* pFile, EFileAction action = kFileOpen, const char* dir = "",
                             const char* extensions = "") = 0;
  virtual bool PromptForColor(IColor* pColor, const char* prompt = "") = 0;
  virtual bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
                       const char* errMsgOnFailure = nullptr) = 0;
  virtual void* OpenWindow(void* pParentWnd) = 0;
  virtual void* OpenWindow(void* /*pWindow*/, void* /*pControl*/) { return nullptr; }
  virtual void CloseWindow() = 0;
  // The host's idle call on its editor thread: a surface whose platform loop nobody else runs
  // turns it here.
  virtual void OnHostIdle() {}
  virtual void* GetWindow() = 0;
  // Through the process-wide bitmap cache, keyed by ID alone.
  virtual IBitmap LoadIBitmap(int ID, const char* name, int nStates = 1) = 0;
  virtual IBitmap ScaleBitmap(IBitmap* pBitmap, int destW, int destH) = 0;
  virtual IBitmap CropBitmap(IBitmap* pBitmap, IRECT* pR) = 0;
  // Loads the image and inserts it as control 0, drawn first and overwriting.
  virtual void AttachBackground(int ID, const char* name) { InsertBackground(ID, name); }
  virtual bool DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi)
  {
    const IChannelBlend clobber(IChannelBlend::kBlendClobber, 1.0f);
    return DrawLine(pColor, (float)xi, (float)yLo, (float)xi, (float)yHi, &clobber, false);
  }
  virtual bool DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi)
  {
    const IChannelBlend clobber(IChannelBlend::kBlendClobber, 1.0f);
    return DrawLine(pColor, (float)xLo, (float)yi, (float)xHi, (float)yi, &clobber, false);
  }
  virtual void RetainBitmap(IBitmap* pBitmap) = 0;
  virtual void ReleaseBitmap(IBitmap* pBitmap) = 0;
  // Plug-in to editor: every control bound to paramIdx gets the value (normalised first unless
  // it already is), through SetControlsFromPlug. Virtual so that test surfaces can watch what the
  // core sends; pure here and bound by the concrete surface, so that no call of the core's can be
  // resolved to code of this library.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;

  // ----- Controls -----
  // Appends the control (the surface owns it from now on); returns its index.
  int AttachControl(IControl* pControl);
  IControl* GetControl(int idx) const { return mControls.Get(idx); }
  int NControls() const { return mControls.GetSize(); }
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);
  void SetAllControlsDirty();
  void SetStrictDrawing(bool strict);
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);
  void OnGUIIdle();
  void DisplayControlValue(IControl* /*pControl*/) {}

  // ----- Parameter binding -----
  // What SetParameterFromPlug does.
  void SetControlsFromPlug(int paramIdx, double value, bool normalized);
  // A control that shows a value without a parameter; an index out of range does nothing.
  void SetControlFromPlug(int controlIdx, double normalizedValue);
  // Editor to controls: every control bound to paramIdx takes the value as user input.
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  // A control's value to the plug-in as the user's edit (SetDirty(true) of a bound control). The
  // host records an edit only between a begin and an end of its parameter: a value sent inside the
  // gesture the host heard begin, or by the press that begins it next, goes as it is; any other (a
  // wheel step, a double-click, a value the control adopts on its own) is a gesture of its own.
  void PushParamToPlug(int paramIdx, double normalizedValue);

  // ----- Redraw -----
  // Unions the rectangles of the dirty controls into *pR (which the caller has emptied); false
  // when nothing is dirty, and every 21st clean call in a row runs the controls' idle handlers.
  bool IsDirty(IRECT* pR);
  // Redraws every control in *pR in list order, cleans the ones the area covered, and copies the
  // back buffer to the screen.
  bool Draw(IRECT* pR);
  // The part of the editor the platform shows (all of it until told): a control counts as covered
  // once the area covers its part inside it. An empty rectangle shows nothing.
  void SetVisibleArea(const IRECT& r)
  {
    mVisibleArea = r;
    mHasVisibleArea = true;
  }

  // ----- Events, in editor coordinates (origin top left) -----
  void OnMouseDown(int x, int y, IMouseMod* pMod);
  void OnMouseUp(int x, int y, IMouseMod* pMod);
  void OnMouseDrag(int x, int y, IMouseMod* pMod);
  bool OnMouseDblClick(int x, int y, IMouseMod* pMod);
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d);
  bool OnMouseOver(int x, int y, IMouseMod* pMod);
  void OnMouseOut();
  void OnKeyDown(int x, int y, int key);
  void ReleaseMouseCapture();
  // The captured control, else the topmost shown, enabled control under the pointer, else -1.
  int GetMouseControlIdx(int x, int y);

  // ----- Drawing built on the primitives -----
  // Frame bmpState (1-based) of a film strip.
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int bmpState = 1, const IChannelBlend* pBlend = nullptr);
  // The outline on T, B, L and R; the right and bottom lines lie one pixel outside the rectangle.
  bool DrawRect(const IColor* pColor, IRECT* pR);
  // At the fraction x (0..1) of the width, from top to bottom.
  bool DrawVerticalLine(const IColor* pColor, IRECT* pR, float x);
  // At the fraction y (0..1) of the height counted from the bottom, from left to right.
  bool DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y);
  // angle in radians, 0 pointing up, growing clockwise.
  bool DrawRadialLine(const IColor* pColor, float cx, float cy, float angle, float rMin, float rMax,
                      const IChannelBlend* pBlend = nullptr, bool antiAlias = false);

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFPS; }
  IFxBase* GetPlug() const { return mPlug; }
  // The area of the drawing pass under way; bitmap drawing clips to it.
  const IRECT* GetDrawRECT() const { return &mDrawRECT; }
  bool IsStrict() const { return mStrict; }
  int GetMouseCapture() const { return mMouseCapture; }
  void SetHandleMouseOver(bool handle) { mHandleMouseOver = handle; }

protected:
  KIT_PtrList<IControl> mControls;
  IFxBase* mPlug;
  IRECT mDrawRECT;
  int mWidth, mHeight;
  int mFPS;
  int mIdleTicks = 0;
  int mMouseCapture = -1;
  int mMouseOver = -1;
  int mMouseX = 0, mMouseY = 0;
  bool mHandleMouseOver = false;
  bool mStrict = true;
  IRECT mVisibleArea;
  bool mHasVisibleArea = false;

  // The window closed under a press that holds the mouse: the control lets go, and the host hears
  // the gesture end now, once; a later release or close finds nothing open. Every platform's
  // CloseWindow calls it.
  void ReleaseMouseOnClose()
  {
    EndGesture();
    ReleaseMouseCapture();
  }

private:
  void DeleteControls();
  void ResizeWithoutControls(int w, int h);
  void InsertBackground(int ID, const char* name);
  // Tells the host that the open gesture ended, if one is open.
  void EndGesture();

  // The parameter whose gesture the host heard begin and not yet end, or -1: the host hears an
  // end only after a begin, and every begin gets its end.
  int mGestureParam = -1;
  // The parameter of the control whose press handler runs, or -1: a value it sends goes before
  // the begin the press is followed by.
  int mPressParam = -1;
  // Counts the replacements of the control list, so an event handler that resized the editor
  // is not followed by calls on the controls it deleted.
  unsigned mControlsEpoch = 0;
};
