// Whole-row loops of the plain blit for copy (1.0, 0.5 and weighted), add and the source-alpha
// copies, four pixels at a time. Blits within one bitmap whose rows share memory, weights outside
// the exact range and row tails go through the combiners' doPix.

#include <cstring>

#include "pix_blit_rows.h"
#include "pix_simd.h"

void PIX_CopyRows(const PIX_BlitRows& a)
{
  // memmove: a blit within one row of one bitmap may overlap itself.
  for (int y = 0; y < a.h; ++y) memmove(a.row_d(y), a.row_s(y), (size_t)a.w * 4);
}

void PIX_HalfRows(const PIX_BlitRows& a)
{
  const bool wide = !a.overlaps();
  for (int y = 0; y < a.h; ++y)
  {
    PIX_PixelValue* d = a.row_d(y);
    const PIX_PixelValue* s = a.row_s(y);
    int x = 0;
#ifdef PIX_HAVE_SSE2
    if (wide)
      for (; x + 4 <= a.w; x += 4) PIX_Store4(d + x, PIX_Half4(PIX_Load4(s + x), PIX_Load4(d + x)));
#endif
    for (; x < a.w; ++x) d[x] = _PIX_PackedHalf(s[x], d[x]);
  }
}

#ifdef PIX_HAVE_SSE2
namespace
{
// Runs body(d, s) over each row's four-pixel groups and Combine::doPix over the tails.
template <class Combine, class Body>
void Rows4(const PIX_BlitRows& a, int weight, Body body)
{
  for (int y = 0; y < a.h; ++y)
  {
    PIX_PixelValue* d = a.row_d(y);
    const PIX_PixelValue* s = a.row_s(y);
    int x = 0;
    for (; x + 4 <= a.w; x += 4) body(d + x, s + x);
    for (; x < a.w; ++x)
    {
      const unsigned char* sp = (const unsigned char*)(s + x);
      Combine::doPix((unsigned char*)(d + x), sp[1], sp[2], sp[3], sp[0], weight);
    }
  }
}

const __m128i kAlphaMask = _mm_set1_epi32(0xff);
}  // namespace

template <>
void PIX_CombineRows<_PIX_CombinePixelsCopy>(const PIX_BlitRows& a, int weight)
{
  if (weight <= 0 || weight > 256 || a.overlaps()) return PIX_CombineRowsScalar<_PIX_CombinePixelsCopy>(a, weight);
  const __m128i w16 = _mm_set1_epi16((short)weight);
  Rows4<_PIX_CombinePixelsCopy>(a, weight, [w16](PIX_PixelValue* d, const PIX_PixelValue* s) {
    PIX_Store4(d, PIX_Mix4(PIX_Load4(s), PIX_Load4(d), w16, w16));
  });
}

template <>
void PIX_CombineRows<_PIX_CombinePixelsAdd>(const PIX_BlitRows& a, int weight)
{
  if (weight < -256 || weight > 256 || a.overlaps()) return PIX_CombineRowsScalar<_PIX_CombinePixelsAdd>(a, weight);
  // d + s * w / 256 with the quotient truncated toward zero: add or take away (s * |w|) >> 8.
  const bool sub = weight < 0;
  const __m128i w16 = _mm_set1_epi16((short)(sub ? -weight : weight));
  Rows4<_PIX_CombinePixelsAdd>(a, weight, [w16, sub](PIX_PixelValue* d, const PIX_PixelValue* s) {
    const __m128i z = _mm_setzero_si128();
    const __m128i sv = PIX_Load4(s), dv = PIX_Load4(d);
    const __m128i tlo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(sv, z), w16), 8);
    const __m128i thi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(sv, z), w16), 8);
    const __m128i t = _mm_packus_epi16(tlo, thi);
    PIX_Store4(d, sub ? _mm_subs_epu8(dv, t) : _mm_adds_epu8(dv, t));
  });
}

template <>
void PIX_CombineRows<_PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm>(const PIX_BlitRows& a, int weight)
{
  using C = _PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm;
  if (a.overlaps()) return PIX_CombineRowsScalar<C>(a, weight);
  Rows4<C>(a, weight, [](PIX_PixelValue* d, const PIX_PixelValue* s) {
    const __m128i sv = PIX_Load4(s);
    const __m128i alpha = _mm_and_si128(sv, kAlphaMask);
    const __m128i opaque = _mm_cmpeq_epi32(alpha, kAlphaMask);
    const __m128i clear = _mm_cmpeq_epi32(alpha, _mm_setzero_si128());
    const int om = _mm_movemask_epi8(opaque), cm = _mm_movemask_epi8(clear);
    if (om == 0xffff) return PIX_Store4(d, sv);  // all opaque: the source as it is
    if (cm == 0xffff) return;                     // all transparent: nothing
    // m = a + 1 blends the colour bytes; the alpha byte takes m in place of the source value.
    const __m128i m = _mm_add_epi32(alpha, _mm_set1_epi32(1));
    const __m128i sm = _mm_or_si128(_mm_andnot_si128(kAlphaMask, sv), m);
    __m128i wlo, whi;
    PIX_SpreadWeights(m, &wlo, &whi);
    const __m128i dv = PIX_Load4(d);
    __m128i r = PIX_Mix4(sm, dv, wlo, whi);
    r = _mm_or_si128(_mm_and_si128(opaque, sv), _mm_andnot_si128(opaque, r));
    r = _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, r));
    PIX_Store4(d, r);
  });
}

template <>
void PIX_CombineRows<_PIX_CombinePixelsCopySourceAlpha>(const PIX_BlitRows& a, int weight)
{
  using C = _PIX_CombinePixelsCopySourceAlpha;
  // Below 256 the weight (a + 1) * w / 256 is 0 for a transparent source, which leaves the
  // destination as the skip would.
  if (weight <= 0 || weight >= 256 || a.overlaps()) return PIX_CombineRowsScalar<C>(a, weight);
  const __m128i w16 = _mm_set1_epi16((short)weight);
  Rows4<C>(a, weight, [w16](PIX_PixelValue* d, const PIX_PixelValue* s) {
    const __m128i sv = PIX_Load4(s);
    const __m128i m = _mm_add_epi32(_mm_and_si128(sv, kAlphaMask), _mm_set1_epi32(1));
    const __m128i wp = _mm_srli_epi32(_mm_mullo_epi16(m, w16), 8);  // (a + 1) * w / 256, below 256
    __m128i wlo, whi;
    PIX_SpreadWeights(wp, &wlo, &whi);
    PIX_Store4(d, PIX_Mix4(sv, PIX_Load4(d), wlo, whi));
  });
}
#else
template <> void PIX_CombineRows<_PIX_CombinePixelsCopy>(const PIX_BlitRows& a, int w) { PIX_CombineRowsScalar<_PIX_CombinePixelsCopy>(a, w); }
template <> void PIX_CombineRows<_PIX_CombinePixelsAdd>(const PIX_BlitRows& a, int w) { PIX_CombineRowsScalar<_PIX_CombinePixelsAdd>(a, w); }
template <> void PIX_CombineRows<_PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm>(const PIX_BlitRows& a, int w)
{
  PIX_CombineRowsScalar<_PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm>(a, w);
}
template <> void PIX_CombineRows<_PIX_CombinePixelsCopySourceAlpha>(const PIX_BlitRows& a, int w)
{
  PIX_CombineRowsScalar<_PIX_CombinePixelsCopySourceAlpha>(a, w);
}
#endif
