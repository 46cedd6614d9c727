#include <CoreGraphics/testkit.h>

#include "AppKitTestViews.h"

namespace
{
using GraphicsContextTest = WindowTest;
}  // namespace

TEST_F(GraphicsContextTest, SaveAndRestoreKeepAStackOfCurrentContextsAndTheirState)
{
  CGContextRef port = NewBitmap(8, 8);
  const int portRefs = CGTestKit::RetainCount(port);
  {
    NSAutoreleasePool* pool = new NSAutoreleasePool;
    EXPECT_EQ(NSGraphicsContext::graphicsContextWithGraphicsPort(nullptr, NO), nil);
    NSGraphicsContext* c = NSGraphicsContext::graphicsContextWithGraphicsPort(port, YES);
    ASSERT_NE(c, nil);
    EXPECT_EQ(c->graphicsPort(), port);
    EXPECT_TRUE(c->isFlipped());
    EXPECT_EQ(CGTestKit::RetainCount(port), portRefs + 1);

    EXPECT_EQ(NSGraphicsContext::currentContext(), nil);
    NSGraphicsContext::saveGraphicsState();  // saves "no context"
    NSGraphicsContext::setCurrentContext(c);
    EXPECT_EQ(c->retainCount(), 2u);  // the pool's and the current one's
    NSGraphicsContext::saveGraphicsState();  // saves c and its CoreGraphics state
    CGContextTranslateCTM(port, 3, 4);
    c->setShouldAntialias(NO);
    EXPECT_FALSE(c->shouldAntialias());
    EXPECT_FALSE(CGContextGetShouldAntialias(port));
    NSGraphicsContext* other = NSGraphicsContext::graphicsContextWithGraphicsPort(port, NO);
    NSGraphicsContext::setCurrentContext(other);
    NSGraphicsContext::restoreGraphicsState();
    EXPECT_EQ(NSGraphicsContext::currentContext(), c);
    EXPECT_EQ(CGContextGetCTM(port).tx, 0);
    EXPECT_TRUE(c->shouldAntialias());
    NSGraphicsContext::restoreGraphicsState();
    EXPECT_EQ(NSGraphicsContext::currentContext(), nil);
    NSGraphicsContext::restoreGraphicsState();  // nothing saved: nothing happens
    EXPECT_EQ(NSGraphicsContext::currentContext(), nil);

    const int flushes = CGTestKit::FlushCount(port);
    c->flushGraphics();
    EXPECT_EQ(CGTestKit::FlushCount(port), flushes + 1);
    pool->drain();
  }
  EXPECT_EQ(CGTestKit::RetainCount(port), portRefs);
  CGContextRelease(port);
}
