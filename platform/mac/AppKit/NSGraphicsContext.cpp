// Graphics contexts and the per-thread current context with its save stack.

#include <AppKit/NSGraphicsContext.h>

#include <vector>

#include <AppKit/NSBitmapImageRep.h>

namespace
{
struct ContextState
{
  NSGraphicsContext* mCurrent = nil;
  std::vector<NSGraphicsContext*> mSaved;  // each retained (nil entries too)

  ~ContextState()
  {
    for (NSGraphicsContext* c : mSaved)
    {
      if (c) c->release();
    }
    if (mCurrent) mCurrent->release();
  }
};

thread_local ContextState tState;
}  // namespace

NSGraphicsContext::~NSGraphicsContext()
{
  CGContextRelease(mPort);
  if (mPixelsOwner) mPixelsOwner->release();
}

NSGraphicsContext* NSGraphicsContext::graphicsContextWithGraphicsPort(void* graphicsPort, BOOL initialFlippedState)
{
  if (!graphicsPort) return nil;
  NSGraphicsContext* c = new NSGraphicsContext;
  c->mPort = CGContextRetain(static_cast<CGContextRef>(graphicsPort));
  c->mFlipped = initialFlippedState;
  return static_cast<NSGraphicsContext*>(c->autorelease());
}

NSGraphicsContext* NSGraphicsContext::graphicsContextWithBitmapImageRep(NSBitmapImageRep* rep)
{
  CGContextRef port = rep ? rep->newContextOverPixels(0, 0, rep->pixelsWide(), rep->pixelsHigh()) : nullptr;
  if (!port) return nil;
  NSGraphicsContext* c = new NSGraphicsContext;
  c->mPort = port;
  c->mPixelsOwner = rep->retain();
  return static_cast<NSGraphicsContext*>(c->autorelease());
}

NSGraphicsContext* NSGraphicsContext::currentContext()
{
  return tState.mCurrent;
}

void NSGraphicsContext::setCurrentContext(NSGraphicsContext* context)
{
  ContextState& s = tState;
  if (context) context->retain();
  NSGraphicsContext* old = s.mCurrent;
  s.mCurrent = context;
  if (old) old->release();
}

void NSGraphicsContext::saveGraphicsState()
{
  ContextState& s = tState;
  NSGraphicsContext* c = s.mCurrent;
  if (c)
  {
    c->retain();
    CGContextSaveGState(c->mPort);
  }
  s.mSaved.push_back(c);
}

void NSGraphicsContext::restoreGraphicsState()
{
  ContextState& s = tState;
  if (s.mSaved.empty()) return;
  NSGraphicsContext* c = s.mSaved.back();
  s.mSaved.pop_back();
  if (c) CGContextRestoreGState(c->mPort);
  setCurrentContext(c);
  if (c) c->release();
}

void NSGraphicsContext::setShouldAntialias(BOOL antialias)
{
  CGContextSetShouldAntialias(mPort, antialias != NO);
}

BOOL NSGraphicsContext::shouldAntialias() const
{
  return CGContextGetShouldAntialias(mPort) ? YES : NO;
}

void NSGraphicsContext::flushGraphics()
{
  CGContextFlush(mPort);
}
