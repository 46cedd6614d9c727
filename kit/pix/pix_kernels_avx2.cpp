// The row kernels on eight pixels at a time (AVX2); this file alone is built for AVX2 and only
// runs where the processor has it.

#include <immintrin.h>

#include "pix_kernels.h"

#define V __m256i
#define VN 8
#define V_ALLMASK -1
#define v_load(p) _mm256_loadu_si256((const __m256i*)(p))
#define v_store(p, v) _mm256_storeu_si256((__m256i*)(p), (v))
#define v_zero() _mm256_setzero_si256()
#define v_set1_16(x) _mm256_set1_epi16(x)
#define v_set1_32(x) _mm256_set1_epi32(x)
#define v_add16 _mm256_add_epi16
#define v_sub16 _mm256_sub_epi16
#define v_mullo16 _mm256_mullo_epi16
#define v_srli16 _mm256_srli_epi16
#define v_add32 _mm256_add_epi32
#define v_srli32 _mm256_srli_epi32
#define v_slli32 _mm256_slli_epi32
#define v_cmpeq32 _mm256_cmpeq_epi32
#define v_and _mm256_and_si256
#define v_or _mm256_or_si256
#define v_andnot _mm256_andnot_si256
#define v_unpacklo8 _mm256_unpacklo_epi8
#define v_unpackhi8 _mm256_unpackhi_epi8
#define v_unpacklo32 _mm256_unpacklo_epi32
#define v_unpackhi32 _mm256_unpackhi_epi32
#define v_packus16 _mm256_packus_epi16
#define v_adds_u8 _mm256_adds_epu8
#define v_subs_u8 _mm256_subs_epu8
#define v_movemask _mm256_movemask_epi8
#define PIX_KERNELS_NAME PIX_KernelsAVX2

#include "pix_kernels_body.h"
