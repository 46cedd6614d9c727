// Whole-row loops of the plain blit for copy (1.0, 0.5 and weighted), add and the source-alpha
// copies, through the vector row kernels. Blits within one bitmap whose rows share memory and
// weights outside a kernel's exact range go pixel by pixel through the combiner's doPix, which
// also finishes each row after the kernel.

#include <cstring>

#include "pix_blit_rows.h"
#include "pix_kernels.h"

namespace
{
// Each row: the kernel for as much as it takes, then doPix for the rest.
template <class Combine, class Kernel>
void KernelRows(const PIX_BlitRows& a, int weight, Kernel kernel)
{
  for (int y = 0; y < a.h; ++y)
  {
    PIX_PixelValue* d = a.row_d(y);
    const PIX_PixelValue* s = a.row_s(y);
    for (int x = kernel(d, s, a.w); x < a.w; ++x)
    {
      const unsigned char* sp = (const unsigned char*)(s + x);
      Combine::doPix((unsigned char*)(d + x), sp[1], sp[2], sp[3], sp[0], weight);
    }
  }
}
}  // namespace

void PIX_CopyRows(const PIX_BlitRows& a)
{
  // memmove: a blit within one row of one bitmap may overlap itself.
  for (int y = 0; y < a.h; ++y) memmove(a.row_d(y), a.row_s(y), (size_t)a.w * 4);
}

void PIX_HalfRows(const PIX_BlitRows& a)
{
  const bool wide = !a.overlaps();
  const PIX_RowKernels& k = PIX_Kernels();
  for (int y = 0; y < a.h; ++y)
  {
    PIX_PixelValue* d = a.row_d(y);
    const PIX_PixelValue* s = a.row_s(y);
    for (int x = wide ? k.half(d, s, a.w) : 0; x < a.w; ++x) d[x] = _PIX_PackedHalf(s[x], d[x]);
  }
}

template <>
void PIX_CombineRows<_PIX_CombinePixelsCopy>(const PIX_BlitRows& a, int weight)
{
  using C = _PIX_CombinePixelsCopy;
  if (weight <= 0 || weight > 256 || a.overlaps()) return PIX_CombineRowsScalar<C>(a, weight);
  const PIX_RowKernels& k = PIX_Kernels();
  KernelRows<C>(a, weight, [&](uint32_t* d, const uint32_t* s, int n) { return k.mix(d, s, n, weight); });
}

template <>
void PIX_CombineRows<_PIX_CombinePixelsAdd>(const PIX_BlitRows& a, int weight)
{
  using C = _PIX_CombinePixelsAdd;
  if (weight < -256 || weight > 256 || a.overlaps()) return PIX_CombineRowsScalar<C>(a, weight);
  const PIX_RowKernels& k = PIX_Kernels();
  KernelRows<C>(a, weight, [&](uint32_t* d, const uint32_t* s, int n) { return k.add(d, s, n, weight); });
}

template <>
void PIX_CombineRows<_PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm>(const PIX_BlitRows& a, int weight)
{
  using C = _PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm;
  if (a.overlaps()) return PIX_CombineRowsScalar<C>(a, weight);
  const PIX_RowKernels& k = PIX_Kernels();
  KernelRows<C>(a, weight, [&](uint32_t* d, const uint32_t* s, int n) { return k.srcAlpha(d, s, n); });
}

template <>
void PIX_CombineRows<_PIX_CombinePixelsCopySourceAlpha>(const PIX_BlitRows& a, int weight)
{
  using C = _PIX_CombinePixelsCopySourceAlpha;
  if (weight <= 0 || weight >= 256 || a.overlaps()) return PIX_CombineRowsScalar<C>(a, weight);
  const PIX_RowKernels& k = PIX_Kernels();
  KernelRows<C>(a, weight, [&](uint32_t* d, const uint32_t* s, int n) { return k.srcAlphaWeighted(d, s, n, weight); });
}
