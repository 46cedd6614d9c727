#pragma once
// Where a window's pixels go and where its events come from: the one seam between the windows of
// this stand-in and a real windowing system. The default backend keeps the pixels in memory and
// has no events of its own (tests send them with sendEvent:); a backend over a host's windowing
// system shows the pixels on screen in flush and turns the system's input into NSEvents in
// pumpEvents.

#include <Foundation/Foundation.h>

class NSWindow;

class NSWindowBackend
{
public:
  virtual ~NSWindowBackend() = default;
  // The window's backing store: a bitmap context of the window's content size whose bytes are
  // alpha (skipped), red, green, blue, with the identity transformation (origin bottom-left, y up).
  virtual CGContextRef backingContext() = 0;
  // The content size changed; false when the backing store could not follow (it keeps the old one).
  virtual bool resize(int width, int height) = 0;
  // display has painted the area (base coordinates) into the backing store.
  virtual void flush(NSWindow* window, NSRect area) { (void)window; (void)area; }
  // Delivers whatever input is pending to window->sendEvent(); called once a run-loop pass.
  virtual void pumpEvents(NSWindow* window) { (void)window; }
};

// A backing store as backends keep it (see backingContext); null when the size cannot be allocated.
CGContextRef NSNewBackingContext(int width, int height);

// A backend with its pixels in memory; null when the size cannot be allocated.
NSWindowBackend* NSNewMemoryWindowBackend(int width, int height);
