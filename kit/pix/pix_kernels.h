#pragma once
// Whole-row forms of the common combiners, built once for SSE2 and once for AVX2 and picked for
// the processor at the first call. Each handles the longest run of whole vectors at the start of
// the row and returns how many pixels it did; the caller finishes the row with the combiner's
// doPix. Within the weight range each caller checks, they give exactly the combiner's bytes.

#include <cstdint>

struct PIX_RowKernels
{
  // Copy at 0.5: the packed halving sum.
  int (*half)(uint32_t* d, const uint32_t* s, int n);
  // Copy at weight w, 0 < w <= 256.
  int (*mix)(uint32_t* d, const uint32_t* s, int n, int w);
  // Copy of the one pixel c at weight w, 0 < w <= 256 (fills: c carries the weight as its alpha).
  int (*mixConst)(uint32_t* d, uint32_t c, int n, int w);
  // Add at weight w, -256 <= w <= 256.
  int (*add)(uint32_t* d, const uint32_t* s, int n, int w);
  // Copy by source alpha alone (copy with source alpha at 1.0).
  int (*srcAlpha)(uint32_t* d, const uint32_t* s, int n);
  // Copy with source alpha at weight w, 0 < w < 256.
  int (*srcAlphaWeighted)(uint32_t* d, const uint32_t* s, int n, int w);
};

const PIX_RowKernels& PIX_Kernels();

extern const PIX_RowKernels PIX_KernelsSSE2;
extern const PIX_RowKernels PIX_KernelsAVX2;
