#pragma once
// Four-pixel SSE2 forms of the common combiners, for the whole-row loops of blits and fills.
// Each gives exactly the bytes of its combiner's doPix within the weight range its caller checks.

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

#define PIX_HAVE_SSE2 1

inline __m128i PIX_Load4(const void* p) { return _mm_loadu_si128((const __m128i*)p); }
inline void PIX_Store4(void* p, __m128i v) { _mm_storeu_si128((__m128i*)p, v); }

// A 16-bit weight per pixel, repeated over its four channel lanes: lanes for pixels 0-1 and 2-3.
inline void PIX_SpreadWeights(__m128i w32, __m128i* lo, __m128i* hi)
{
  const __m128i w2 = _mm_or_si128(w32, _mm_slli_epi32(w32, 16));
  *lo = _mm_unpacklo_epi32(w2, w2);
  *hi = _mm_unpackhi_epi32(w2, w2);
}

// (s * w + d * (256 - w)) >> 8 per 16-bit lane; exact while every sum stays below 65536
// (s, d <= 255 and 0 <= w <= 256).
inline __m128i PIX_Mix16(__m128i s16, __m128i d16, __m128i w16)
{
  const __m128i iw16 = _mm_sub_epi16(_mm_set1_epi16(256), w16);
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(s16, w16), _mm_mullo_epi16(d16, iw16)), 8);
}

// The copy combiner on four pixels, one weight a pixel (lanes as PIX_SpreadWeights gives them).
inline __m128i PIX_Mix4(__m128i s, __m128i d, __m128i wlo, __m128i whi)
{
  const __m128i z = _mm_setzero_si128();
  const __m128i lo = PIX_Mix16(_mm_unpacklo_epi8(s, z), _mm_unpacklo_epi8(d, z), wlo);
  const __m128i hi = PIX_Mix16(_mm_unpackhi_epi8(s, z), _mm_unpackhi_epi8(d, z), whi);
  return _mm_packus_epi16(lo, hi);
}

// The packed halving sum of four pixels.
inline __m128i PIX_Half4(__m128i c, __m128i d)
{
  const __m128i m = _mm_set1_epi32(0x7f7f7f7f);
  return _mm_add_epi32(_mm_and_si128(_mm_srli_epi32(c, 1), m), _mm_and_si128(_mm_srli_epi32(d, 1), m));
}

// Stores v into n pixels.
inline void PIX_FillWords(uint32_t* d, int n, uint32_t v)
{
  const __m128i vv = _mm_set1_epi32((int)v);
  int x = 0;
  for (; x + 4 <= n; x += 4) PIX_Store4(d + x, vv);
  for (; x < n; ++x) d[x] = v;
}
#endif
