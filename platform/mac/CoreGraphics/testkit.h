#pragma once
// What tests see of the CoreGraphics stand-in: how many objects of each kind are alive, reference
// counts, how often a context was flushed, an image's pixels, and a hook that makes the next
// creations fail.

#include <cstddef>
#include <cstdint>

#include <CoreGraphics/CoreGraphics.h>

namespace CGTestKit
{
struct LiveCounts
{
  int colorSpaces;
  int contexts;
  int colors;
  int images;
};

// Objects created and not yet released to a count of 0.
LiveCounts Live();

enum EKind : unsigned
{
  kColorSpace = 1,
  kContext = 2,
  kColor = 4,
  kImage = 8,
  kAll = 15
};

// The next `count` create calls of the given kinds return null (process-wide, thread-safe).
void FailNext(unsigned kinds, int count = 1);
void ClearFailures();

int RetainCount(CGContextRef c);
int RetainCount(CGColorRef c);
int RetainCount(CGImageRef i);

// CGContextFlush calls on this context so far.
int FlushCount(CGContextRef c);

// An image's pixel bytes (rows of CGImageGetBytesPerRow bytes, top row first).
const uint8_t* ImageBytes(CGImageRef image);
}  // namespace CGTestKit
