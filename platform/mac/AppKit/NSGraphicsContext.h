#pragma once
// Graphics contexts: a CoreGraphics context with a flipped flag, and the thread's current context.
// The class methods saveGraphicsState and restoreGraphicsState keep a stack per thread: save pushes
// the current context (nil included) and saves its CoreGraphics state, restore pops it back as the
// current context and restores that state.

#include <CoreGraphics/CoreGraphics.h>
#include <Foundation/Foundation.h>

class NSBitmapImageRep;

class NSGraphicsContext : public NSObject
{
public:
  // Autoreleased; the context retains the CoreGraphics context. nil for a null port.
  static NSGraphicsContext* graphicsContextWithGraphicsPort(void* graphicsPort, BOOL initialFlippedState);
  // Autoreleased; a bitmap context over the rep's pixels (not flipped: origin bottom-left, y up),
  // which the context keeps alive. nil for nil or when the bitmap context cannot be made.
  static NSGraphicsContext* graphicsContextWithBitmapImageRep(NSBitmapImageRep* rep);
  static NSGraphicsContext* currentContext();
  // Retains the new one, releases the old one.
  static void setCurrentContext(NSGraphicsContext* context);
  static void saveGraphicsState();
  static void restoreGraphicsState();

  // The CGContextRef.
  void* graphicsPort() const { return mPort; }
  BOOL isFlipped() const { return mFlipped; }
  // Antialiasing of what is drawn from now on (the CoreGraphics context's state).
  void setShouldAntialias(BOOL antialias);
  BOOL shouldAntialias() const;
  void flushGraphics();
  const char* className() const override { return "NSGraphicsContext"; }

protected:
  ~NSGraphicsContext() override;

private:
  CGContextRef mPort = nullptr;
  NSObject* mPixelsOwner = nil;  // retained: what mPort draws into
  BOOL mFlipped = NO;
};
