#pragma once
// The records behind the CoreGraphics handles, shared by the stand-in's sources. Not part of the
// interface: product code sees only the opaque handles of CoreGraphics.h.

#include <CoreGraphics/CoreGraphics.h>

#include <atomic>
#include <vector>

namespace CGRecords
{
struct Counted
{
  std::atomic<int> refs{1};
};

// Whole device pixels [x0, x1) x [y0, y1), device space (origin bottom-left, y up). Empty when
// x0 >= x1 or y0 >= y1.
struct DeviceBox
{
  long x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

// What CGContextSaveGState keeps and CGContextRestoreGState brings back.
struct GState
{
  CGAffineTransform ctm{1, 0, 0, 1, 0, 0};
  DeviceBox clip;  // always inside the bitmap
  CGFloat fill[4] = {0, 0, 0, 1};
  CGFloat stroke[4] = {0, 0, 0, 1};
  CGFloat lineWidth = 1;
  CGLineCap lineCap = kCGLineCapButt;
  CGLineJoin lineJoin = kCGLineJoinMiter;
  bool antialias = true;
};

// The current path in device space: each point went through the CTM when it was added.
struct Path
{
  enum EOp : uint8_t
  {
    kMove,   // one point
    kLine,   // one point
    kCurve,  // two control points, then the end point
    kClose   // none
  };
  std::vector<EOp> ops;
  std::vector<CGPoint> points;
  CGPoint current{0, 0}, start{0, 0};  // device space, valid when hasCurrent
  bool hasCurrent = false;
  bool spoilt = false;  // a point was not finite or too far out: the path draws nothing

  // Empties the path, keeping the vectors' memory for the next one.
  void Clear()
  {
    ops.clear();
    points.clear();
    hasCurrent = spoilt = false;
  }
};

// The inverse of m; false (and m itself) when m is singular or not finite.
bool Invert(const CGAffineTransform& m, CGAffineTransform* inverse);

// The device pixels whose centres lie in [lo, hi) along one axis, clamped to [0, size). NaN
// bounds give an empty range; huge ones are clamped before any conversion to an integer.
void CentreRange(CGFloat lo, CGFloat hi, size_t size, long* first, long* end);

// The device-space bounding box of a user rectangle under a transformation, as pixel centres it
// covers, clamped to a bitmap of w x h pixels.
DeviceBox CoveredPixels(CGRect rect, const CGAffineTransform& m, size_t w, size_t h);

DeviceBox Intersect(const DeviceBox& a, const DeviceBox& b);
}  // namespace CGRecords

struct CGColorSpace : CGRecords::Counted
{
};

struct CGContext : CGRecords::Counted
{
  uint8_t* data = nullptr;
  bool ownsData = false;
  size_t width = 0, height = 0, bytesPerRow = 0;
  uint32_t info = 0;
  CGColorSpaceRef space = nullptr;
  CGRecords::GState gs;
  std::vector<CGRecords::GState> saved;
  CGRecords::Path path;  // not part of the graphics state
  std::atomic<int> flushes{0};
};

struct CGColor : CGRecords::Counted
{
  CGColorSpaceRef space = nullptr;
  CGFloat comps[4] = {0, 0, 0, 1};
};

struct CGImage : CGRecords::Counted
{
  uint8_t* data = nullptr;
  size_t width = 0, height = 0, bytesPerRow = 0;
  uint32_t info = 0;
};
