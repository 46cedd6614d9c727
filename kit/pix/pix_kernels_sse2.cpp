// The row kernels on four pixels at a time (SSE2, every x86-64 processor), and the choice of
// kernels for the processor in use.

#include <emmintrin.h>

#include "pix_kernels.h"

#define V __m128i
#define VN 4
#define V_ALLMASK 0xffff
#define v_load(p) _mm_loadu_si128((const __m128i*)(p))
#define v_store(p, v) _mm_storeu_si128((__m128i*)(p), (v))
#define v_zero() _mm_setzero_si128()
#define v_set1_16(x) _mm_set1_epi16(x)
#define v_set1_32(x) _mm_set1_epi32(x)
#define v_add16 _mm_add_epi16
#define v_sub16 _mm_sub_epi16
#define v_mullo16 _mm_mullo_epi16
#define v_srli16 _mm_srli_epi16
#define v_add32 _mm_add_epi32
#define v_srli32 _mm_srli_epi32
#define v_slli32 _mm_slli_epi32
#define v_cmpeq32 _mm_cmpeq_epi32
#define v_and _mm_and_si128
#define v_or _mm_or_si128
#define v_andnot _mm_andnot_si128
#define v_unpacklo8 _mm_unpacklo_epi8
#define v_unpackhi8 _mm_unpackhi_epi8
#define v_unpacklo32 _mm_unpacklo_epi32
#define v_unpackhi32 _mm_unpackhi_epi32
#define v_packus16 _mm_packus_epi16
#define v_adds_u8 _mm_adds_epu8
#define v_subs_u8 _mm_subs_epu8
#define v_movemask _mm_movemask_epi8
#define PIX_KERNELS_NAME PIX_KernelsSSE2

#include "pix_kernels_body.h"

const PIX_RowKernels& PIX_Kernels()
{
  static const PIX_RowKernels& best = __builtin_cpu_supports("avx2") ? PIX_KernelsAVX2 : PIX_KernelsSSE2;
  return best;
}
