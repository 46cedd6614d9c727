// Both builds of the row kernels (the processor picks one at run time) against the combiners'
// doPix, over rows of every length up to two vectors past a multiple, with every weight they take.

#include <gtest/gtest.h>

#include <vector>

#include "pix.h"
#include "pix_kernels.h"
#include "pix_reference.h"

namespace
{
uint32_t Lcg(uint32_t& s)
{
  s = s * 1664525u + 1013904223u;
  return s;
}

// Rows with opaque and clear runs, partial alphas and extreme bytes.
std::vector<uint32_t> Row(uint32_t seed, int n)
{
  std::vector<uint32_t> v;
  for (int i = 0; i < n; ++i)
  {
    const uint32_t r = Lcg(seed);
    const uint32_t k = (i / 5 + (r >> 29)) % 6;
    const uint32_t alpha = k < 2 ? 255 : (k < 4 ? 0 : (r >> 7) & 0xff);
    v.push_back((r & ~0xffu) | alpha);
  }
  return v;
}

void CheckKernels(const PIX_RowKernels& k, const char* which)
{
  for (int n = 0; n <= 19; ++n)
    for (int w : {1, 2, 64, 127, 128, 129, 200, 255, 256, -1, -128, -256})
    {
      const std::vector<uint32_t> s = Row(3u + n, n), d0 = Row(1000u + n + w, n);
      auto run = [&](auto kernel, ref::Kind kind, bool sa, int weight) {
        std::vector<uint32_t> d = d0;
        const int done = kernel(d.data(), s.data(), n);
        ASSERT_LE(done, n);
        ASSERT_GE(done, n - 7);
        for (int i = 0; i < done; ++i)
          ASSERT_EQ(d[i], ref::blend(kind, sa, d0[i], s[i], weight)) << which << " n " << n << " w " << weight << " at " << i;
        for (int i = done; i < n; ++i) ASSERT_EQ(d[i], d0[i]);  // the rest is left to the caller
      };
      if (w > 0)
      {
        run([&](uint32_t* d, const uint32_t* sp, int m) { return k.mix(d, sp, m, w); }, ref::Copy, false, w);
        // The fill form: one colour carrying the weight as its alpha.
        std::vector<uint32_t> d = d0;
        const uint32_t c = (s.empty() ? 0x12345600u : s[0] & ~0xffu) | (uint32_t)(w & 0xff);
        const int done = w < 256 ? k.mixConst(d.data(), c, n, w) : 0;
        for (int i = 0; i < done; ++i) ASSERT_EQ(d[i], ref::blend(ref::Copy, false, d0[i], c, w)) << which;
      }
      if (w > 0 && w < 256)
        run([&](uint32_t* d, const uint32_t* sp, int m) { return k.srcAlphaWeighted(d, sp, m, w); }, ref::Copy, true, w);
      run([&](uint32_t* d, const uint32_t* sp, int m) { return k.add(d, sp, m, w); }, ref::Add, false, w);
      run([&](uint32_t* d, const uint32_t* sp, int m) { return k.srcAlpha(d, sp, m); }, ref::CopyIgnore, true, 256);
      std::vector<uint32_t> d = d0;
      const int done = k.half(d.data(), s.data(), n);
      for (int i = 0; i < done; ++i) ASSERT_EQ(d[i], ((s[i] >> 1) & 0x7f7f7f7fu) + ((d0[i] >> 1) & 0x7f7f7f7fu));
    }
}
}  // namespace

TEST(PixRowKernels, FourPixelBuild) { CheckKernels(PIX_KernelsSSE2, "sse2"); }

TEST(PixRowKernels, EightPixelBuild)
{
  if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "no AVX2 on this processor";
  CheckKernels(PIX_KernelsAVX2, "avx2");
}
