#pragma once
// What the plug-in core and the wrappers need of an editor surface. The surface is owned by the
// plug-in once attached and deleted with it.

class IGraphics
{
public:
  virtual ~IGraphics() {}

  // Creates the back buffer; called once when the plug-in takes the surface.
  virtual void PrepDraw() = 0;
  // Pushes a parameter value to the controls bound to it.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;

  virtual void* OpenWindow(void* pParentWnd) = 0;
  virtual void* OpenWindow(void* /*pWindow*/, void* /*pControl*/) { return nullptr; }
  virtual void CloseWindow() = 0;

  virtual int Width() = 0;
  virtual int Height() = 0;
};
