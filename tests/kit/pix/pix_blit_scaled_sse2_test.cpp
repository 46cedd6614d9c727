// The scaled blit's bilinear walk in SSE2 against the scalar walk, byte for byte: every mode and
// opacity, enlargements and reductions, odd sizes, cut destinations, source rectangles at and
// past the edges, mirrors, flipped bitmaps and rows longer than the vector walk's chunk. And the
// area filter's reciprocals against integer division over every total and sum it can meet.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pix.h"
#include "pix_blit_scaled.h"
#include "pix_blit_template.h"
#include "vector/pix_testkit.h"

using namespace pixtest;

namespace
{
uint32_t Lcg(uint32_t& s) { return s = s * 1664525u + 1013904223u; }

// Pixels with bytes at 0 and 255 as often as between (the filter's extremes), and alpha runs of
// opaque, clear and partial values for the source-alpha modes.
void Noise(GuardedBitmap& bm, uint32_t seed)
{
  for (int y = 0; y < bm.height(); ++y)
    for (int x = 0; x < bm.width(); ++x)
    {
      PIX_PixelValue p = 0;
      for (int c = 0; c < 4; ++c)
      {
        const uint32_t r = Lcg(seed) >> 24, k = r & 3;
        p |= (PIX_PixelValue)(k == 0 ? 0 : (k == 1 ? 255 : r)) << (8 * c);
      }
      bm.at(x, y) = p;
    }
}

// Pixels in a block of exactly their size (span = width): a read past the last one is outside it.
class TightBitmap : public PIX_IBitmap
{
public:
  TightBitmap(int w, int h, uint32_t seed) : m_w(w), m_h(h), m_px((size_t)w * h)
  {
    for (PIX_PixelValue& p : m_px) p = Lcg(seed);
  }
  PIX_PixelValue* getBits() override { return m_px.data(); }
  int getWidth() override { return m_w; }
  int getHeight() override { return m_h; }
  int getRowSpan() override { return m_w; }
  bool resize(int, int) override { return false; }

private:
  int m_w, m_h;
  std::vector<PIX_PixelValue> m_px;
};

struct Geometry
{
  const char* what;
  int srcW, srcH, dstW, dstH;
  int dstx, dsty, dstw, dsth;
  float srcx, srcy, srcw, srch;
  bool flipSrc = false, flipDst = false;
};

const Geometry kGeometries[] = {
    {"2x", 40, 20, 80, 40, 0, 0, 80, 40, 0.0f, 0.0f, 40.0f, 20.0f},
    {"2x from a fractional corner", 40, 20, 80, 40, 0, 0, 80, 40, 0.37f, 0.61f, 39.2f, 19.1f},
    {"odd 7 x 5 to 23 x 11", 7, 5, 23, 11, 0, 0, 23, 11, 0.0f, 0.0f, 7.0f, 5.0f},
    {"3.3x", 12, 7, 40, 20, 1, 2, 33, 17, 1.25f, 0.5f, 10.0f, 5.0f},
    {"1.25x", 30, 30, 40, 40, 0, 0, 38, 37, 0.1f, 0.2f, 30.4f, 29.6f},
    {"reduced 1.6 across, enlarged down", 40, 20, 30, 45, 2, 1, 25, 40, 0.0f, 0.0f, 40.0f, 20.0f},
    {"step 5 across, 0.5 down", 40, 20, 10, 40, 0, 0, 8, 40, 0.0f, 0.0f, 40.0f, 20.0f},
    {"reduced 1.6 both ways", 40, 32, 25, 20, 0, 0, 25, 20, 0.0f, 0.0f, 40.0f, 32.0f},
    {"source past every edge", 40, 20, 80, 40, 0, 0, 80, 40, -3.5f, -2.25f, 47.0f, 25.0f},
    {"source at the right and bottom edges", 40, 20, 60, 30, 3, 3, 57, 27, 30.5f, 14.2f, 9.5f, 5.8f},
    {"destination cut on every side", 40, 20, 70, 35, -7, -3, 90, 50, 0.0f, 0.0f, 40.0f, 20.0f},
    {"mirrored across", 40, 20, 80, 40, 80, 0, -80, 40, 0.0f, 0.0f, 40.0f, 20.0f},
    {"mirrored down", 40, 20, 80, 40, 0, 0, 80, 40, 0.0f, 20.0f, 40.0f, -20.0f},
    {"mirrored both, cut", 40, 20, 80, 40, 75, -2, -70, 44, 38.0f, 1.0f, -36.0f, 18.0f},
    {"one source column", 40, 20, 9, 30, 0, 0, 9, 30, 12.0f, 0.0f, 1.0f, 20.0f},
    {"the last source column", 40, 20, 9, 30, 0, 0, 9, 30, 39.0f, 0.0f, 1.0f, 20.0f},
    {"one source row", 40, 20, 60, 7, 0, 0, 60, 7, 0.0f, 19.0f, 40.0f, 1.0f},
    {"negative positions", 10, 10, 40, 40, 0, 0, 40, 40, -0.25f, -0.75f, 10.0f, 10.0f},
    {"flipped source", 20, 12, 37, 23, 0, 0, 37, 23, 0.5f, 0.5f, 19.0f, 11.0f, true, false},
    {"flipped destination", 20, 12, 37, 23, 1, 1, 35, 21, 0.5f, 0.5f, 19.0f, 11.0f, false, true},
    {"rows past the chunk", 550, 3, 1100, 5, 0, 0, 1100, 5, 0.0f, 0.0f, 550.0f, 3.0f},
};

// Every combine kind, plain and by source alpha, and the channel copy (which draws nothing).
std::vector<int> BilinearModes()
{
  std::vector<int> modes;
  for (int kind = PIX_MODE_COPY; kind <= PIX_MODE_HSVADJUST; ++kind)
  {
    modes.push_back(PIX_MODE_FILTERBILINEAR | kind);
    modes.push_back(PIX_MODE_FILTERBILINEAR | PIX_MODE_SOURCEALPHA | kind);
  }
  modes.push_back(PIX_MODE_FILTERBILINEAR | PIX_MODE_CHANNELCOPY);
  return modes;
}
// The store (copy at 1), each row kernel's weights and their ends, the scalar combiners' held
// weights beyond +-4.
const float kAlphas[] = {1.0f, 0.5f, 0.6f, 1.0f / 256.0f, 0.999f, -0.5f, -1.0f, 2.0f, 5.0f};

// The first pixel where two destinations differ, or "" when none does.
std::string FirstDifference(GuardedBitmap& a, GuardedBitmap& b)
{
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.get(x, y) != b.get(x, y))
      {
        char msg[96];
        snprintf(msg, sizeof msg, "(%d, %d): scalar %08x, vector %08x", x, y, a.get(x, y), b.get(x, y));
        return msg;
      }
  return "";
}

void ExpectSameBothWays(const Geometry& g, PIX_IBitmap& src, float alpha, int mode)
{
  GuardedBitmap scalar(g.dstW, g.dstH, 0, g.flipDst), vector(g.dstW, g.dstH, 0, g.flipDst);
  Noise(scalar, 99);
  Noise(vector, 99);
  PIX_ScaledBlitWith(kPIX_ScaledScalar, &scalar, &src, g.dstx, g.dsty, g.dstw, g.dsth, g.srcx, g.srcy, g.srcw,
                     g.srch, alpha, mode);
  PIX_ScaledBlitWith(kPIX_ScaledVector, &vector, &src, g.dstx, g.dsty, g.dstw, g.dsth, g.srcx, g.srcy, g.srcw,
                     g.srch, alpha, mode);
  ASSERT_EQ(FirstDifference(scalar, vector), "") << g.what << ", mode " << std::hex << mode << ", alpha " << alpha;
  ASSERT_TRUE(vector.GuardsIntact()) << g.what;
}
}  // namespace

TEST(PixScaledBlitSSE2, EveryModeAlphaAndGeometryAsTheScalarWalk)
{
  for (const Geometry& g : kGeometries)
  {
    GuardedBitmap src(g.srcW, g.srcH, 0, g.flipSrc);
    Noise(src, 7u + (uint32_t)g.srcW * 31u + (uint32_t)g.dstw);
    for (int mode : BilinearModes())
      for (float alpha : kAlphas) ExpectSameBothWays(g, src, alpha, mode);
  }
}

// Random source rectangles and sizes over the bilinear range (steps up to 1.7 both ways, or any
// step one way): the fractions of both axes take values all over 0..65535.
TEST(PixScaledBlitSSE2, RandomWalksAsTheScalarWalk)
{
  GuardedBitmap src(33, 29);
  Noise(src, 5);
  uint32_t seed = 2024;
  auto uniform = [&seed](float lo, float hi) { return lo + (hi - lo) * (float)(Lcg(seed) >> 8) / 16777216.0f; };
  for (int round = 0; round < 300; ++round)
  {
    Geometry g = {"random", 33, 29, 41, 37, 0, 0, 0, 0, 0.0f, 0.0f, 0.0f, 0.0f};
    g.dstx = (int)(Lcg(seed) % 9) - 4;
    g.dsty = (int)(Lcg(seed) % 9) - 4;
    g.dstw = 1 + (int)(Lcg(seed) % 48);
    g.dsth = 1 + (int)(Lcg(seed) % 44);
    g.srcx = uniform(-2.0f, 30.0f);
    g.srcy = uniform(-2.0f, 26.0f);
    g.srcw = uniform(0.3f, 1.65f) * (float)g.dstw;
    g.srch = round % 3 ? uniform(0.3f, 1.65f) * (float)g.dsth : uniform(1.8f, 6.0f) * (float)g.dsth;
    const int mode = round % 2 ? PIX_MODE_FILTERBILINEAR : PIX_MODE_FILTERBILINEAR | PIX_MODE_SOURCEALPHA;
    SCOPED_TRACE("round " + std::to_string(round));
    ExpectSameBothWays(g, src, round % 4 < 2 ? 1.0f : 0.7f, mode);
  }
}

// Destination widths around every multiple of the vector walk's groups: the tail of each row
// is stored alone and nothing past it changes.
TEST(PixScaledBlitSSE2, EveryRowTail)
{
  GuardedBitmap src(12, 6);
  Noise(src, 11);
  for (int w = 1; w <= 19; ++w)
    for (int mode : {(int)PIX_MODE_FILTERBILINEAR, PIX_MODE_FILTERBILINEAR | PIX_MODE_SOURCEALPHA})
    {
      const Geometry g = {"tail", 12, 6, 20, 9, 0, 0, w, 9, 0.5f, 0.25f, 0.6f * (float)w, 5.0f};
      SCOPED_TRACE(w);
      ExpectSameBothWays(g, src, 1.0f, mode);
    }
}

// A source rectangle ending at the last pixel of a block of exactly the bitmap's size: the walk
// reads no neighbour past it (the sanitizer build sees any read beyond the block).
TEST(PixScaledBlitSSE2, ReadsNothingPastTheLastPixel)
{
  TightBitmap src(9, 7, 3);
  const Geometry g = {"bottom-right corner", 9, 7, 30, 30, 0, 0, 30, 30, 4.5f, 2.5f, 4.5f, 4.5f};
  for (int mode : {(int)PIX_MODE_FILTERBILINEAR, PIX_MODE_FILTERBILINEAR | PIX_MODE_ADD})
    ExpectSameBothWays(g, src, 1.0f, mode);
}

// Within one bitmap the walk reads rows it has already drawn (here each destination row is the
// next one's top source row): the vector walk, which reads a pair of rows once for all the rows
// on it, gives way to the scalar one, whose order decides the result.
TEST(PixScaledBlitSSE2, WithinOneBitmapAsTheScalarWalk)
{
  for (int mode : {(int)PIX_MODE_FILTERBILINEAR, PIX_MODE_FILTERBILINEAR | PIX_MODE_SOURCEALPHA})
  {
    GuardedBitmap a(40, 40), b(40, 40);
    Noise(a, 17);
    Noise(b, 17);
    PIX_ScaledBlitWith(kPIX_ScaledScalar, &a, &a, 0, 0, 30, 30, 0.0f, 0.0f, 15.0f, 15.0f, 0.8f, mode);
    PIX_ScaledBlit(&b, &b, 0, 0, 30, 30, 0.0f, 0.0f, 15.0f, 15.0f, 0.8f, mode);
    EXPECT_EQ(FirstDifference(a, b), "") << std::hex << mode;
  }
}

// A kernel cut by the source's edges keeps its own total: on a plain colour every pixel of an area
// filtered reduction, corners and edges too, is that colour (a sum divided by another cut's total
// is not).
TEST(PixScaledBlitSSE2, AreaFilterCutKernelsKeepTheColour)
{
  const PIX_PixelValue c = Px(201, 255, 1, 77);
  GuardedBitmap src(31, 23, c);
  struct Case
  {
    const char* what;
    int dstw, dsth;
    float srcx, srcy, srcw, srch;
  } cases[] = {
      {"2.5x smaller, 3 x 3", 12, 9, 0.0f, 0.0f, 31.0f, 23.0f},
      {"3.3x smaller, 5 x 5", 9, 7, 0.5f, 0.0f, 30.0f, 23.0f},
      {"5x smaller, corner", 4, 3, 11.0f, 8.0f, 20.0f, 15.0f},
      {"mirrored", -6, 5, 0.0f, 23.0f, 31.0f, -23.0f},
      {"one source column, 3x down", 1, 7, 30.0f, 0.0f, 1.0f, 23.0f},
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.what);
    const int w = k.dstw < 0 ? -k.dstw : k.dstw;
    GuardedBitmap dst(w, k.dsth, 0);
    PIX_ScaledBlit(&dst, &src, k.dstw < 0 ? w : 0, 0, k.dstw, k.dsth, k.srcx, k.srcy, k.srcw, k.srch, 1.0f,
                   PIX_MODE_FILTERBILINEAR);
    for (int y = 0; y < k.dsth; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(dst.get(x, y), c) << x << "," << y;
  }
}

// The area filter divides each sum n by its kernel's total d through a reciprocal. Totals run
// from 65536 (the centre alone) to 25 * 65536, and a sum is at most 255 * d. The quotient
// (n * m) >> s is never below n / d and never falls as n grows, so it equals n / d over the
// block q * d .. q * d + d - 1 exactly when it does at the block's top: checking each top up to
// 256 * d - 1 covers every sum of every total.
TEST(PixScaledBlitSSE2, AreaFilterReciprocalsAreExactForEveryTotalAndSum)
{
  for (int d = 65536; d <= 25 * 65536; ++d)
  {
    const pix_walk::Divider div(d);
    for (int q = 0; q < 256; ++q)
    {
      const int top = q * d + d - 1;
      if (div(top) != q) FAIL() << top << " / " << d << " gives " << div(top);
    }
  }
}
