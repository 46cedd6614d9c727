// CGContextDrawImage: an image scaled into a user rectangle, nearest pixel, inside the clip. A
// mapping of one image pixel to one device pixel at whole-pixel offsets copies rows; any other
// (scale, rotation, mirroring) samples each device pixel's centre in double precision.

#include <CoreGraphics/CoreGraphics.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "CGPixelFormat.h"
#include "CGRecords.h"

namespace
{
// Device coordinates beyond this draw nothing: far past any bitmap, and safe to convert to long.
constexpr CGFloat kCoordLimit = 1073741824.0;  // 2^30

enum EMode
{
  kSameBytes,  // opaque image, same layout: the pixel's four bytes as they are
  kConvert,    // opaque image, other layout: channels moved, alpha byte opaque
  kOver        // premultiplied image: source-over
};

struct Blend
{
  CGPixels::Layout src, dst;
};

template <EMode M>
inline void PutPixel(const uint8_t* s, uint8_t* d, const Blend& k)
{
  if (M == kSameBytes)
  {
    memcpy(d, s, 4);
  }
  else if (M == kConvert)
  {
    d[k.dst.r] = s[k.src.r];
    d[k.dst.g] = s[k.src.g];
    d[k.dst.b] = s[k.src.b];
    d[k.dst.a] = 255;
  }
  else
  {
    const unsigned sa = s[k.src.a];
    if (sa == 0) return;
    const unsigned keep = 255 - sa;
    d[k.dst.r] = (uint8_t)(s[k.src.r] + CGPixels::Mul255(d[k.dst.r], keep));
    d[k.dst.g] = (uint8_t)(s[k.src.g] + CGPixels::Mul255(d[k.dst.g], keep));
    d[k.dst.b] = (uint8_t)(s[k.src.b] + CGPixels::Mul255(d[k.dst.b], keep));
    d[k.dst.a] = (uint8_t)(sa + CGPixels::Mul255(d[k.dst.a], keep));
  }
}

// image -> device: x = m00 u + m01 v + m02, y = m10 u + m11 v + m12, with (u, v) in image pixels,
// v counted downwards from the image's first row.
struct Mapping
{
  CGFloat m00, m01, m02, m10, m11, m12;
};

// Rows of a 1:1 mapping: image row v to device row py, columns offset by a whole number.
template <EMode M>
void CopyRows(CGContextRef c, CGImageRef img, const Mapping& map, const CGRecords::DeviceBox& box, const Blend& k)
{
  const long ox = (long)map.m02, oy = (long)map.m12;
  const bool down = map.m11 < 0;  // image rows run down device space
  const size_t n = (size_t)(box.x1 - box.x0);
  for (long py = box.y0; py < box.y1; ++py)
  {
    const long v = down ? oy - 1 - py : py - oy;
    const uint8_t* s = img->data + (size_t)v * img->bytesPerRow + (size_t)(box.x0 - ox) * 4;
    uint8_t* d = c->data + (c->height - 1 - (size_t)py) * c->bytesPerRow + (size_t)box.x0 * 4;
    if (M == kSameBytes)
    {
      memcpy(d, s, n * 4);
      continue;
    }
    for (size_t i = 0; i < n; ++i) PutPixel<M>(s + i * 4, d + i * 4, k);
  }
}

// The part of [lo, hi) of x where 0 <= u0 + du x < size, widened by one pixel (the caller tests
// each pixel exactly).
void NarrowSpan(CGFloat u0, CGFloat du, CGFloat size, long* lo, long* hi)
{
  if (du == 0)
  {
    if (!(u0 >= 0 && u0 < size)) *hi = *lo;
    return;
  }
  CGFloat a = -u0 / du, b = (size - u0) / du;
  if (a > b) std::swap(a, b);
  const CGFloat l = std::floor(a) - 1, h = std::ceil(b) + 1;
  if (l > (CGFloat)*lo) *lo = (long)std::min(l, (CGFloat)*hi);
  if (h < (CGFloat)*hi) *hi = (long)std::max(h, (CGFloat)*lo);
}

// Any other mapping: each device pixel whose centre falls inside the image takes the pixel there.
// A centre on an edge counts as a fill counts it (inside on the low-x and low-y device edges): the
// image coordinate whose low device edge is its far end (u = W or v = H) is measured from that end.
template <EMode M>
void SampleRows(CGContextRef c, CGImageRef img, const Mapping& map, const CGRecords::DeviceBox& box, const Blend& k)
{
  const CGFloat det = map.m00 * map.m11 - map.m01 * map.m10;
  CGFloat i00 = map.m11 / det, i01 = -map.m01 / det, i10 = -map.m10 / det, i11 = map.m00 / det;
  const CGFloat w = (CGFloat)img->width, h = (CGFloat)img->height;
  const bool uFromEnd = !(map.m00 > 0 || (map.m00 == 0 && map.m10 > 0));
  const bool vFromEnd = !(map.m01 > 0 || (map.m01 == 0 && map.m11 > 0));
  CGFloat u00 = 0, v00 = 0;  // u, v at the image origin's device point
  if (uFromEnd)
  {
    i00 = -i00;
    i01 = -i01;
    u00 = w;
  }
  if (vFromEnd)
  {
    i10 = -i10;
    i11 = -i11;
    v00 = h;
  }
  for (long py = box.y0; py < box.y1; ++py)
  {
    const CGFloat dy = (CGFloat)py + 0.5 - map.m12;
    const CGFloat dx0 = 0.5 - map.m02;  // pixel x's centre minus the image origin, less x
    const CGFloat u0 = u00 + i00 * dx0 + i01 * dy, v0 = v00 + i10 * dx0 + i11 * dy;
    long x0 = box.x0, x1 = box.x1;
    NarrowSpan(u0, i00, w, &x0, &x1);
    NarrowSpan(v0, i10, h, &x0, &x1);
    uint8_t* row = c->data + (c->height - 1 - (size_t)py) * c->bytesPerRow;
    for (long px = x0; px < x1; ++px)
    {
      const CGFloat dx = (CGFloat)px + 0.5 - map.m02;
      const CGFloat u = u00 + i00 * dx + i01 * dy, v = v00 + i10 * dx + i11 * dy;
      if (!(u >= 0 && u < w && v >= 0 && v < h)) continue;
      size_t iu = std::min((size_t)u, img->width - 1), iv = std::min((size_t)v, img->height - 1);
      if (uFromEnd) iu = img->width - 1 - iu;
      if (vFromEnd) iv = img->height - 1 - iv;
      PutPixel<M>(img->data + iv * img->bytesPerRow + iu * 4, row + (size_t)px * 4, k);
    }
  }
}

template <EMode M>
void Draw(CGContextRef c, CGImageRef img, const Mapping& map, const CGRecords::DeviceBox& box, const Blend& k,
          bool oneToOne)
{
  if (oneToOne)
    CopyRows<M>(c, img, map, box, k);
  else
    SampleRows<M>(c, img, map, box, k);
}

bool IsWhole(CGFloat v) { return v == std::floor(v); }
}  // namespace

void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image)
{
  if (!c || !image || !image->data || image->width == 0 || image->height == 0) return;
  const CGFloat rx = rect.origin.x, ry = rect.origin.y, rw = rect.size.width, rh = rect.size.height;
  if (!std::isfinite(rx) || !std::isfinite(ry) || !(rw > 0) || !(rh > 0) || !std::isfinite(rw) ||
      !std::isfinite(rh))
    return;

  const CGAffineTransform& t = c->gs.ctm;
  const CGFloat sx = rw / (CGFloat)image->width, sy = rh / (CGFloat)image->height;
  const CGFloat top = ry + rh;  // the image's first row lies on the maximum-y edge
  const Mapping map{t.a * sx, -t.c * sy, t.a * rx + t.c * top + t.tx,
                    t.b * sx, -t.d * sy, t.b * rx + t.d * top + t.ty};
  const CGFloat det = map.m00 * map.m11 - map.m01 * map.m10;
  if (!std::isfinite(det) || det == 0) return;

  // The image's corners in device space bound the pixels to visit; all of them must be finite and
  // within the coordinate limit.
  const CGFloat us[2] = {0, (CGFloat)image->width}, vs[2] = {0, (CGFloat)image->height};
  CGFloat lx = INFINITY, hx = -INFINITY, ly = INFINITY, hy = -INFINITY;
  for (CGFloat u : us)
    for (CGFloat v : vs)
    {
      const CGFloat x = map.m00 * u + map.m01 * v + map.m02, y = map.m10 * u + map.m11 * v + map.m12;
      if (!(std::fabs(x) <= kCoordLimit && std::fabs(y) <= kCoordLimit)) return;
      lx = std::fmin(lx, x);
      hx = std::fmax(hx, x);
      ly = std::fmin(ly, y);
      hy = std::fmax(hy, y);
    }
  CGRecords::DeviceBox box;
  CGRecords::CentreRange(lx, hx, c->width, &box.x0, &box.x1);
  CGRecords::CentreRange(ly, hy, c->height, &box.y0, &box.y1);
  box = CGRecords::Intersect(box, c->gs.clip);
  if (box.Empty()) return;

  const bool oneToOne = map.m00 == 1 && map.m01 == 0 && map.m10 == 0 && (map.m11 == 1 || map.m11 == -1) &&
                        IsWhole(map.m02) && IsWhole(map.m12);
  const Blend k{CGPixels::LayoutOf(image->info), CGPixels::LayoutOf(c->info)};
  if (k.src.premultiplied)
    Draw<kOver>(c, image, map, box, k, oneToOne);
  else if (CGPixels::SameLayout(k.src, k.dst))
    Draw<kSameBytes>(c, image, map, box, k, oneToOne);
  else
    Draw<kConvert>(c, image, map, box, k, oneToOne);
}
