// The default window backend: the backing store is a bitmap context in memory, with no events of
// its own.

#include <AppKit/NSWindowBackend.h>

CGContextRef NSNewBackingContext(int width, int height)
{
  if (width <= 0 || height <= 0) return nullptr;
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  if (!space) return nullptr;
  CGContextRef ctx = CGBitmapContextCreate(nullptr, (size_t)width, (size_t)height, 8, (size_t)width * 4, space,
                                           kCGImageAlphaNoneSkipFirst);
  CGColorSpaceRelease(space);
  return ctx;
}

namespace
{
class MemoryWindowBackend : public NSWindowBackend
{
public:
  explicit MemoryWindowBackend(CGContextRef context) : mContext(context) {}
  ~MemoryWindowBackend() override { CGContextRelease(mContext); }

  CGContextRef backingContext() override { return mContext; }

  bool resize(int width, int height) override
  {
    CGContextRef made = NSNewBackingContext(width, height);
    if (!made) return false;
    CGContextRelease(mContext);
    mContext = made;
    return true;
  }

private:
  CGContextRef mContext;
};
}  // namespace

NSWindowBackend* NSNewMemoryWindowBackend(int width, int height)
{
  CGContextRef ctx = NSNewBackingContext(width, height);
  return ctx ? new MemoryWindowBackend(ctx) : nullptr;
}
