#pragma once
// The drawing mode every raster and vector operation takes, and how the blits pick a combiner
// from it once per call.
//
//   bits 0-7   combine kind (PIX_MODE_COPY ... PIX_MODE_HSVADJUST), 0xf0-0xff channel copy (blits)
//   bits 8-15  filter: 1 bilinear, 0 nearest (scaled and affine blits)
//   bit 16     weight by the source pixel's alpha (blits); the colour's alpha (PIX_FillRect)

#include "pix_combine.h"

enum
{
  PIX_MODE_COPY = 0,
  PIX_MODE_ADD = 1,
  PIX_MODE_COLORDODGE = 2,
  PIX_MODE_MUL = 3,
  PIX_MODE_OVERLAY = 4,
  PIX_MODE_HSVADJUST = 5,
  PIX_MODE_CHANNELCOPY = 0xf0,
  PIX_MODE_KINDMASK = 0xff,
  PIX_MODE_FILTERBILINEAR = 0x100,
  PIX_MODE_SOURCEALPHA = 0x10000
};

// The per-pixel loops of the scaled, filtered and affine blits, one instance per combiner. Spans
// are in bytes (negative for flipped bitmaps); positions are pixel pointers.
template <class Combine>
class _PIX_Template_Blit
{
public:
  static void scaleBlit(unsigned char* dest, unsigned char* src, int w, int h, double srcx, double srcy,
                        double dx, double dy, int clipx, int clipy, int clipright, int clipbottom,
                        int src_span, int dest_span, float alpha, int filtermode);
  static void scaleBlitFilterDown(unsigned char* dest, unsigned char* src, int w, int h, double srcx,
                                  double srcy, double dx, double dy, int clipx, int clipy, int clipright,
                                  int clipbottom, int src_span, int dest_span, float alpha);
  static void deltaBlit(unsigned char* dest, unsigned char* src, int w, int h, double srcx, double srcy,
                        double dsdx, double dtdx, double dsdy, double dtdy, double dsdxdy, double dtdxdy,
                        int clipx, int clipy, int clipright, int clipbottom, int src_span, int dest_span,
                        float alpha, int filtermode);
};

// Picks the combiner the template blits use for (mode, alpha) and calls f.template run<Combine>().
// Copy at alpha exactly 1.0 becomes the plain store, copy at alpha 0 or below draws nothing, and
// copy with source alpha at exactly 1.0 ignores the weight. Returns false when nothing is drawn.
template <class F>
bool PIX_DispatchTemplateBlit(int mode, float alpha, F&& f)
{
  switch (mode & (PIX_MODE_SOURCEALPHA | PIX_MODE_KINDMASK))
  {
    case PIX_MODE_COPY:
      if (alpha == 1.0f) { f.template run<_PIX_CombinePixelsClobber>(); return true; }
      if (!(alpha > 0.0f)) return false;
      f.template run<_PIX_CombinePixelsCopy>();
      return true;
    case PIX_MODE_ADD: f.template run<_PIX_CombinePixelsAdd>(); return true;
    case PIX_MODE_COLORDODGE: f.template run<_PIX_CombinePixelsColorDodge>(); return true;
    case PIX_MODE_MUL: f.template run<_PIX_CombinePixelsMul>(); return true;
    case PIX_MODE_OVERLAY: f.template run<_PIX_CombinePixelsOverlay>(); return true;
    case PIX_MODE_HSVADJUST: f.template run<_PIX_CombinePixelsHSVAdjust>(); return true;
    case PIX_MODE_SOURCEALPHA | PIX_MODE_COPY:
      if (alpha == 1.0f) f.template run<_PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm>();
      else f.template run<_PIX_CombinePixelsCopySourceAlpha>();
      return true;
    case PIX_MODE_SOURCEALPHA | PIX_MODE_ADD: f.template run<_PIX_CombinePixelsAddSourceAlpha>(); return true;
    case PIX_MODE_SOURCEALPHA | PIX_MODE_COLORDODGE: f.template run<_PIX_CombinePixelsColorDodgeSourceAlpha>(); return true;
    case PIX_MODE_SOURCEALPHA | PIX_MODE_MUL: f.template run<_PIX_CombinePixelsMulSourceAlpha>(); return true;
    case PIX_MODE_SOURCEALPHA | PIX_MODE_OVERLAY: f.template run<_PIX_CombinePixelsOverlaySourceAlpha>(); return true;
    case PIX_MODE_SOURCEALPHA | PIX_MODE_HSVADJUST: f.template run<_PIX_CombinePixelsHSVAdjustSourceAlpha>(); return true;
    default: return false;
  }
}
