#pragma once
// The pixman format of a bitmap context's pixels, for the stand-ins that composite with pixman
// (path painting, the text engine). Not part of the interface.

#include <pixman.h>

#include <CoreGraphics/CoreGraphics.h>

namespace CGPixels
{
// Pixels are 32-bit words whose bytes in memory are the context's channel order; 0 for an alpha
// setting pixman cannot address.
inline pixman_format_code_t PixmanFormat(uint32_t info)
{
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  switch (info & kCGBitmapAlphaInfoMask)
  {
    case kCGImageAlphaNoneSkipFirst: return PIXMAN_b8g8r8x8;      // X R G B
    case kCGImageAlphaPremultipliedFirst: return PIXMAN_b8g8r8a8;  // A R G B
    case kCGImageAlphaNoneSkipLast: return PIXMAN_x8b8g8r8;       // R G B X
    case kCGImageAlphaPremultipliedLast: return PIXMAN_a8b8g8r8;   // R G B A
    default: return (pixman_format_code_t)0;
  }
#else
  switch (info & kCGBitmapAlphaInfoMask)
  {
    case kCGImageAlphaNoneSkipFirst: return PIXMAN_x8r8g8b8;
    case kCGImageAlphaPremultipliedFirst: return PIXMAN_a8r8g8b8;
    case kCGImageAlphaNoneSkipLast: return PIXMAN_r8g8b8x8;
    case kCGImageAlphaPremultipliedLast: return PIXMAN_r8g8b8a8;
    default: return (pixman_format_code_t)0;
  }
#endif
}
}  // namespace CGPixels
