// The scaled blit's bilinear walk in SSE2 vectors, giving the scalar walk's bytes.
//
// The scalar filter of a 2 x 2 block is (tl * wtl + tr * wtr + bl * wbl + br * wbr) / 65536 with
// c = (xf * yf) >> 16, wtl = 65536 - xf - yf + c, wtr = xf - c, wbl = yf - c and wbr = c, which
// is 65536 * tl + xf * dx + yf * dy + c * D for dx = tr - tl, dy = bl - tl, D = tl - tr - bl + br.
// With each fraction f moved to the signed 16 bits f' = f - 32768 it is
//   32768 * (tl + br) + yf' * dy + xf' * dx + c' * D,
// two pairs of 16-bit products a channel that _mm_madd_epi16 sums exactly in 32 bits. The sum
// is never negative, so the arithmetic shift by 16 is the scalar quotient. The last column and
// row of the clip range blend with themselves (dx, or dy, and D are 0): the scalar walk's
// one-way and no-way filters.
//
// The terms of a cell (a source column on the current pair of source rows) are made once per
// cell and pair of rows; each destination pixel on the cell takes them with its own fractions.

#include <algorithm>
#include <cstring>
#include <vector>

#include "pix_blit_scaled.h"
#include "pix_blit_template.h"

#ifdef __SSE2__
#include <emmintrin.h>

namespace
{
// The walk along a row, the same for every row: the run of destination pixels inside the clip
// range (the walk is monotonic, so they are one run), the cell each samples and its fraction.
struct Columns
{
  int first = 0, count = 0;
  std::vector<int32_t> cellOf;  // per pixel of the run, padded to whole groups of 8
  std::vector<uint16_t> frac;
  std::vector<int32_t> cellX;  // source column of each cell, in walk order

  explicit Columns(const PIX_ScaledWalk& a)
  {
    using namespace pix_walk;
    int64_t icx = Pos(a.srcx);
    const int64_t idx = Step(a.dx, a.w);
    cellOf.reserve((size_t)a.w + 8);
    frac.reserve((size_t)a.w + 8);
    for (int i = 0; i < a.w; ++i, icx += idx)
    {
      const int64_t sx = Cell(icx);
      if (sx < a.clipx || sx >= a.clipright)
      {
        if (count > 0) break;
        continue;
      }
      if (count++ == 0) first = i;
      if (cellX.empty() || cellX.back() != (int32_t)sx) cellX.push_back((int32_t)sx);
      cellOf.push_back((int32_t)cellX.size() - 1);
      frac.push_back((uint16_t)Frac(icx));
    }
    // The padding samples the last cell; its results are never stored.
    while (cellOf.size() % 8)
    {
      cellOf.push_back(cellOf.empty() ? 0 : cellOf.back());
      frac.push_back(0);
    }
  }
};

// A cell's terms: the pairs (-(tl + br), dy) and (dx, D) of each channel, in 16-bit lanes.
struct CellTerms
{
  __m128i pair, diff;
};

void MakeCells(CellTerms* cells, const Columns& cols, const unsigned char* top, const unsigned char* bot,
               int lastcol)
{
  const __m128i z = _mm_setzero_si128();
  for (size_t k = 0; k < cols.cellX.size(); ++k)
  {
    const int x = cols.cellX[k];
    __m128i t, b;
    if (x == lastcol)
    {
      int tv, bv;
      memcpy(&tv, top + (ptrdiff_t)x * 4, 4);
      memcpy(&bv, bot + (ptrdiff_t)x * 4, 4);
      t = _mm_shuffle_epi32(_mm_cvtsi32_si128(tv), 0x00);
      b = _mm_shuffle_epi32(_mm_cvtsi32_si128(bv), 0x00);
    }
    else
    {
      t = _mm_loadl_epi64((const __m128i*)(top + (ptrdiff_t)x * 4));
      b = _mm_loadl_epi64((const __m128i*)(bot + (ptrdiff_t)x * 4));
    }
    const __m128i t16 = _mm_unpacklo_epi8(t, z), b16 = _mm_unpacklo_epi8(b, z);  // left, right
    const __m128i dy = _mm_sub_epi16(b16, t16);
    const __m128i dx = _mm_sub_epi16(_mm_srli_si128(t16, 8), t16);
    const __m128i d2 = _mm_sub_epi16(_mm_srli_si128(dy, 8), dy);
    const __m128i s = _mm_sub_epi16(_mm_sub_epi16(z, t16), _mm_srli_si128(b16, 8));
    cells[k].pair = _mm_unpacklo_epi16(s, dy);
    cells[k].diff = _mm_unpacklo_epi16(dx, d2);
  }
}

// One pixel: its cell's terms under the row's pair (-32768, yf') and its own (xf', c').
inline __m128i Pixel(const CellTerms& cell, __m128i wy, __m128i wx)
{
  return _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(cell.pair, wy), _mm_madd_epi16(cell.diff, wx)), 16);
}

// Four pixels of the run from i, packed to bytes in memory order.
inline __m128i Four(const CellTerms* cells, const int32_t* cellOf, __m128i wy, __m128i w4)
{
  const __m128i p0 = Pixel(cells[cellOf[0]], wy, _mm_shuffle_epi32(w4, 0x00));
  const __m128i p1 = Pixel(cells[cellOf[1]], wy, _mm_shuffle_epi32(w4, 0x55));
  const __m128i p2 = Pixel(cells[cellOf[2]], wy, _mm_shuffle_epi32(w4, 0xaa));
  const __m128i p3 = Pixel(cells[cellOf[3]], wy, _mm_shuffle_epi32(w4, 0xff));
  return _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3));
}

// n filtered pixels of the run from i into out, for the row's y fraction.
void FilterRun(uint32_t* out, const CellTerms* cells, const Columns& cols, int i, int n, int yfrac)
{
  const __m128i wy = _mm_set1_epi32((int)(((uint32_t)(yfrac ^ 0x8000) << 16) | 0x8000u));
  const __m128i yv = _mm_set1_epi16((short)yfrac), flip = _mm_set1_epi16((short)0x8000);
  for (int k = 0; k < n; k += 8)
  {
    const __m128i xf = _mm_loadu_si128((const __m128i*)(cols.frac.data() + i + k));
    const __m128i c = _mm_mulhi_epu16(xf, yv);  // (xf * yf) >> 16
    const __m128i xs = _mm_xor_si128(xf, flip), cs = _mm_xor_si128(c, flip);
    const int32_t* at = cols.cellOf.data() + i + k;
    const __m128i lo = Four(cells, at, wy, _mm_unpacklo_epi16(xs, cs));
    const __m128i hi = Four(cells, at + 4, wy, _mm_unpackhi_epi16(xs, cs));
    if (n - k >= 8)
    {
      _mm_storeu_si128((__m128i*)(out + k), lo);
      _mm_storeu_si128((__m128i*)(out + k + 4), hi);
      continue;
    }
    alignas(16) uint32_t tail[8];
    _mm_store_si128((__m128i*)tail, lo);
    _mm_store_si128((__m128i*)(tail + 4), hi);
    memcpy(out + k, tail, (size_t)(n - k) * 4);
  }
}
}  // namespace

void PIX_ScaledBilinearSSE2(const PIX_ScaledWalk& a, PIX_ScaledRowFn combine, int weight)
{
  using namespace pix_walk;
  const Columns cols(a);
  if (cols.count < 1) return;
  std::vector<CellTerms> cells(cols.cellX.size());
  const int kChunk = 512;  // pixels a combined row is filtered ahead, a multiple of 8
  alignas(16) uint32_t buf[kChunk];

  int64_t cellRow = -1;  // the source row the cells hold (none yet)
  double cury = a.srcy;
  unsigned char* dest = a.d;
  for (int j = 0; j < a.h; ++j, cury += a.dy, dest += a.dspan)
  {
    const int64_t sy = PIX_TruncInt64(cury, kPosLimit);
    if (sy < a.clipy || sy >= a.clipbottom) continue;
    const int yfrac = cury < 0.0 ? 0 : (int)((cury - (double)sy) * 65536.0);
    if (sy != cellRow)
    {
      const unsigned char* top = a.s + (ptrdiff_t)sy * a.sspan;
      MakeCells(cells.data(), cols, top, sy == a.clipbottom - 1 ? top : top + a.sspan, a.clipright - 1);
      cellRow = sy;
    }
    uint32_t* d = (uint32_t*)dest + cols.first;
    if (!combine)
    {
      FilterRun(d, cells.data(), cols, 0, cols.count, yfrac);
      continue;
    }
    for (int i = 0; i < cols.count; i += kChunk)
    {
      const int n = std::min(kChunk, cols.count - i);
      FilterRun(buf, cells.data(), cols, i, n, yfrac);
      combine((unsigned char*)(d + i), buf, n, weight);
    }
  }
}
#endif
