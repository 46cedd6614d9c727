#pragma once
// Inside the scaled blit: the clipped walk handed to its loops, the bilinear walk in SSE2 vectors,
// and the entry that names which bilinear walk runs, so that tests hold the vector walk to the
// scalar one in pix_blit_template.h.

#include <cstdint>

#include "pix_bitmap.h"

// One scaled blit after clipping: destination rows from d, the source walk and its clip range.
// Spans are in bytes.
struct PIX_ScaledWalk
{
  unsigned char *d, *s;
  int w, h;
  double srcx, srcy, dx, dy;
  int clipx, clipy, clipright, clipbottom, sspan, dspan;
  float alpha;
  int filtermode;
  bool filterDown;
};

// Combines n source pixels into n destination pixels at a weight: a combiner's row loop.
using PIX_ScaledRowFn = void (*)(unsigned char* d, const uint32_t* s, int n, int weight);

// The bilinear walk (not the area filter) with the 2 x 2 filter in SSE2 vectors, giving the scalar
// walk's pixels bit for bit. Each row's filtered pixels go through combine at weight; a null
// combine stores them as they are. The source must not share memory with the destination.
void PIX_ScaledBilinearSSE2(const PIX_ScaledWalk& walk, PIX_ScaledRowFn combine, int weight);

// Which walk draws the bilinear case of PIX_ScaledBlitWith; PIX_ScaledBlit takes the vectors.
enum EPIX_ScaledPath
{
  kPIX_ScaledScalar = 0,
  kPIX_ScaledVector
};

void PIX_ScaledBlitWith(EPIX_ScaledPath path, PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw,
                        int dsth, float srcx, float srcy, float srcw, float srch, float alpha, int mode);
