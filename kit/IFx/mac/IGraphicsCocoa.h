#pragma once
// The Cocoa view that shows the editor: it runs the repaint timer, turns AppKit's paint callback
// into IGraphics::Draw, and turns mouse and wheel events into the surface's mouse operations in
// editor coordinates (origin top left, y down; the view itself is not flipped).

#include <Cocoa/Cocoa.h>

#include "IGraphicsStructs.h"

class IGraphicsMac;

class IGraphicsCocoa_v1002 : public NSView
{
public:
  IGraphicsCocoa_v1002* init() override;
  // Serves the surface, with the surface's size, and starts the repaint timer at its frame rate.
  IGraphicsCocoa_v1002* initWithIGraphics(IGraphicsMac* pGraphics);

  BOOL isOpaque() override { return YES; }
  BOOL acceptsFirstResponder() override { return YES; }
  BOOL acceptsFirstMouse(NSEvent*) override { return YES; }
  void viewDidMoveToWindow() override;
  // Stops the repaint timer.
  void killTimer();
  // Closes the editor first when the host takes the view out.
  void removeFromSuperview() override;
  void doCommandBySelector(SEL selector) override;

  // The event's position in editor coordinates.
  void getMouseXY(NSEvent* pEvent, int* pX, int* pY);
  // Position and modifiers of a mouse or wheel event; false once the view has lost its surface.
  bool getMouseEvent(NSEvent* pEvent, int* pX, int* pY, IMouseMod* pMod);
  // The repaint timer's tick: asks for a repaint of the dirty area.
  void onTimer(id pTimer);
  void drawRect(NSRect rect) override;
  void mouseDown(NSEvent* pEvent) override;
  void mouseUp(NSEvent* pEvent) override;
  void mouseDragged(NSEvent* pEvent) override;
  void mouseMoved(NSEvent* pEvent) override;
  void scrollWheel(NSEvent* pEvent) override;

  const char* className() const override { return "IGraphicsCocoa_v1002"; }

  // Not retained; cleared when the editor closes.
  IGraphicsMac* mGraphics = nullptr;
  NSTimer* mTimer = nil;

protected:
  ~IGraphicsCocoa_v1002() override = default;
};

// The editor's modifier state of a Cocoa event: the left button always, the right button from
// bit 3 or the command key, then shift, control and option.
IMouseMod GetCocoaMouseMod(NSUInteger modifierFlags);
