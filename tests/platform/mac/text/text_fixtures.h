#pragma once
// What the text engine's tests share: laying out a string in one call, and the ink a drawing
// left on a canvas against its background.

#include <text/KVText.h>

#include <cstring>
#include <string>

#include "platform/mac/CoreGraphics/cg_canvas.h"

inline const CGAffineTransform kIdentity{1, 0, 0, 1, 0, 0};

inline KVText::Layout Lay(const std::string& text, double size = 20, CGRect rect = CGRectMake(0, 0, 200, 40),
                          KVText::EAlign align = KVText::kAlignLeft, bool flipped = true,
                          CGAffineTransform ctm = kIdentity, bool deviceMetrics = false)
{
  KVText::Style style;
  style.size = size;
  style.deviceMetrics = deviceMetrics;
  KVText::Layout out;
  KVText::LayoutLine(style, text.data(), text.size(), rect, align, flipped, ctm, &out);
  return out;
}

// The box of memory pixels that differ from the background, and how many do.
struct Ink
{
  long x0 = -1, y0 = -1, x1 = -1, y1 = -1;  // half-open; -1 when there is no ink
  long count = 0;
};

inline Ink InkOf(const CGCanvas& cv, const uint8_t background[4])
{
  Ink ink;
  for (size_t y = 0; y < cv.Height(); ++y)
    for (size_t x = 0; x < cv.Width(); ++x)
    {
      if (memcmp(cv.Pixel(x, y), background, 4) == 0) continue;
      if (ink.count++ == 0)
      {
        ink.x0 = ink.x1 = (long)x;
        ink.y0 = ink.y1 = (long)y;
      }
      ink.x0 = std::min(ink.x0, (long)x);
      ink.y0 = std::min(ink.y0, (long)y);
      ink.x1 = std::max(ink.x1, (long)x + 1);
      ink.y1 = std::max(ink.y1, (long)y + 1);
    }
  return ink;
}
