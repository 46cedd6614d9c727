#pragma once
// How the vector operations (lines, shapes, circles, arcs, curves) pick a combiner: only the
// mode's low byte counts; copy draws nothing at an alpha of 0 or below, and where an operation
// takes the copy shortcuts, copy at exactly 1.0 is the plain store and at exactly 0.5 the half mix.

#include "pix_bitmap.h"
#include "pix_combine.h"
#include "pix_modes.h"

template <class C>
struct PIX_Tag
{
  using type = C;
};

// Calls f(PIX_Tag<C>()) once with the combiner for (mode, alpha); false when nothing is drawn.
template <class F>
bool PIX_DispatchVector(int mode, float alpha, bool copyShortcuts, F&& f)
{
  if (alpha == 0.0f) return false;
  switch (mode & PIX_MODE_KINDMASK)
  {
    case PIX_MODE_COPY:
      if (!(alpha > 0.0f)) return false;
      if (copyShortcuts && alpha == 1.0f) f(PIX_Tag<_PIX_CombinePixelsClobber>());
      else if (copyShortcuts && alpha == 0.5f) f(PIX_Tag<_PIX_CombinePixelsHalfMix>());
      else f(PIX_Tag<_PIX_CombinePixelsCopy>());
      return true;
    case PIX_MODE_ADD: f(PIX_Tag<_PIX_CombinePixelsAdd>()); return true;
    case PIX_MODE_COLORDODGE: f(PIX_Tag<_PIX_CombinePixelsColorDodge>()); return true;
    case PIX_MODE_MUL: f(PIX_Tag<_PIX_CombinePixelsMul>()); return true;
    case PIX_MODE_OVERLAY: f(PIX_Tag<_PIX_CombinePixelsOverlay>()); return true;
    case PIX_MODE_HSVADJUST: f(PIX_Tag<_PIX_CombinePixelsHSVAdjust>()); return true;
    default: return false;
  }
}

// The colour's channels as the combiners take them.
struct PIX_Source
{
  int r, g, b, a;
  explicit PIX_Source(PIX_PixelValue c)
      : r((int)((c >> 8) & 0xff)), g((int)((c >> 16) & 0xff)), b((int)(c >> 24)), a((int)(c & 0xff))
  {
  }
  template <class C>
  void put(PIX_PixelValue* p, int w) const
  {
    C::doPix((unsigned char*)p, r, g, b, a, w);
  }
};
