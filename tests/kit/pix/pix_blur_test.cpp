// Cross blur, 2:1 downsampling and bitmap comparison on small hand-computed images.

#include <gtest/gtest.h>

#include <vector>

#include "TestBitmaps.h"
#include "pix.h"

namespace
{
uint32_t Lcg(uint32_t& s)
{
  s = s * 1664525u + 1013904223u;
  return s;
}

std::vector<uint32_t> Pixels(PIX_IBitmap& bm)
{
  std::vector<uint32_t> v;
  for (int y = 0; y < bm.getHeight(); ++y)
    for (int x = 0; x < bm.getWidth(); ++x) v.push_back(bm.getBits()[y * bm.getRowSpan() + x]);
  return v;
}

// The blur's model, one byte at a time: the pixel's half plus its neighbours' shares, each share
// rounded down on its own (an eighth each with four neighbours; an edge neighbour along the row
// or column counts a quarter).
std::vector<uint32_t> RefBlur(const std::vector<uint32_t>& in, int w, int h)
{
  std::vector<uint32_t> out(in.size());
  auto byte = [&](int x, int y, int i) { return (int)((in[y * w + x] >> (8 * i)) & 0xff); };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      uint32_t v = 0;
      for (int i = 0; i < 4; ++i)
      {
        const bool edgeX = x == 0 || x == w - 1, edgeY = y == 0 || y == h - 1;
        int s = byte(x, y, i) / 2;
        const int nx = x == 0 ? 1 : w - 2, ny = y == 0 ? 1 : h - 2;
        if (!edgeX && !edgeY)
          s += byte(x - 1, y, i) / 8 + byte(x + 1, y, i) / 8 + byte(x, y - 1, i) / 8 + byte(x, y + 1, i) / 8;
        else if (edgeX && !edgeY)
          s += byte(nx, y, i) / 4 + byte(x, y - 1, i) / 8 + byte(x, y + 1, i) / 8;
        else if (!edgeX && edgeY)
          s += byte(x, ny, i) / 4 + byte(x - 1, y, i) / 8 + byte(x + 1, y, i) / 8;
        else
          s += byte(nx, y, i) / 4 + byte(x, ny, i) / 4;
        v |= (uint32_t)s << (8 * i);
      }
      out[y * w + x] = v;
    }
  return out;
}
}  // namespace

TEST(PixBlur, HandComputedTwoByTwo)
{
  PIX_MemBitmap src(2, 2), dst(2, 2);
  src.getBits()[0] = 200u << 8;  // red 200 at the top left
  PIX_Blur(&dst, &src, 0, 0, 0, 0, 2, 2);
  EXPECT_EQ(dst.getBits()[0], 100u << 8);
  EXPECT_EQ(dst.getBits()[1], 50u << 8);
  EXPECT_EQ(dst.getBits()[2], 50u << 8);
  EXPECT_EQ(dst.getBits()[3], 0u);
}

TEST(PixBlur, AgainstTheModelInPlaceOrNot)
{
  for (auto wh : {std::pair<int, int>{2, 2}, {3, 3}, {5, 4}, {2, 7}, {1100, 3}})
  {
    const int w = wh.first, h = wh.second;
    PIX_MemBitmap src(w, h), dst(w, h);
    uint32_t seed = 4;
    for (int i = 0; i < w * h; ++i) src.getBits()[i] = Lcg(seed);
    const std::vector<uint32_t> want = RefBlur(Pixels(src), w, h);
    PIX_Blur(&dst, &src, 0, 0, 0, 0, w, h);
    EXPECT_EQ(Pixels(dst), want) << w << "x" << h;
    // In place every row still reads the unblurred rows around it (the wide one on the heap).
    PIX_Blur(&src, &src, 0, 0, 0, 0, w, h);
    EXPECT_EQ(Pixels(src), want) << w << "x" << h << " in place";
  }
}

TEST(PixBlur, ClippingOffsetsAndDegenerateAreas)
{
  PIX_MemBitmap src(6, 5), dst(4, 4);
  uint32_t seed = 7;
  for (int i = 0; i < 30; ++i) src.getBits()[i] = Lcg(seed);
  // Source area from (1, 1), destination origin (-1, 0): the source start moves to (2, 1) and
  // the area is cut to what fits: 4 wide (2..5), 4 high (1..4).
  PIX_Blur(&dst, &src, -1, 0, 1, 1, 10, 10);
  std::vector<uint32_t> area;
  for (int y = 1; y < 5; ++y)
    for (int x = 2; x < 6; ++x) area.push_back(src.getBits()[y * 6 + x]);
  EXPECT_EQ(Pixels(dst), RefBlur(area, 4, 4));

  // Within one bitmap at another place: the same as blurring into a separate bitmap.
  PIX_MemBitmap self(6, 5), sep(6, 5);
  for (int i = 0; i < 30; ++i) self.getBits()[i] = sep.getBits()[i] = src.getBits()[i];
  PIX_Blur(&sep, &src, 1, 1, 0, 0, 4, 3);
  PIX_Blur(&self, &self, 1, 1, 0, 0, 4, 3);
  EXPECT_EQ(Pixels(self), Pixels(sep));

  // One pixel wide or high, or nothing left after clipping: nothing is drawn.
  const std::vector<uint32_t> before = Pixels(dst);
  PIX_Blur(&dst, &src, 0, 0, 0, 0, 1, 5);
  PIX_Blur(&dst, &src, 0, 0, 0, 0, 5, 1);
  PIX_Blur(&dst, &src, 3, 0, 0, 0, 5, 5);
  PIX_Blur(&dst, &src, 0, 0, 5, 0, 5, 5);
  PIX_Blur(&dst, nullptr, 0, 0, 0, 0, 5, 5);
  EXPECT_EQ(Pixels(dst), before);
}

TEST(PixBlur, FlippedBitmapsByVisualRows)
{
  FlippedBitmap fs(3, 3), fd(3, 3);
  PIX_MemBitmap ms(3, 3), md(3, 3);
  uint32_t seed = 5;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) fs.pixel(x, y) = ms.getBits()[y * 3 + x] = Lcg(seed);
  PIX_Blur(&fd, &fs, 0, 0, 0, 0, 3, 3);
  PIX_Blur(&md, &ms, 0, 0, 0, 0, 3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(fd.pixel(x, y), md.getBits()[y * 3 + x]);
}

TEST(PixHalveBlitAA, QuarterSumsOfEachBlock)
{
  PIX_MemBitmap src(5, 5), dst(10, 10);
  for (int i = 0; i < 25; ++i) src.getBits()[i] = 0xffffffffu;
  // The first block: one byte lane holding 4, 8, 12, 255 -> 1 + 2 + 3 + 63 = 69.
  src.getBits()[0] = 4;
  src.getBits()[1] = 8;
  src.getBits()[5] = 12;
  src.getBits()[6] = 255;
  for (int i = 0; i < 100; ++i) dst.getBits()[i] = 0x01020304u;
  PIX_HalveBlitAA(&dst, &src);
  EXPECT_EQ(dst.getBits()[0] & 0xff, 69u);
  EXPECT_EQ(dst.getBits()[0] >> 8, 0u);
  EXPECT_EQ(dst.getBits()[1], 0xfcfcfcfcu);   // 4 x 63
  EXPECT_EQ(dst.getBits()[10], 0xfcfcfcfcu);
  EXPECT_EQ(dst.getBits()[11], 0xfcfcfcfcu);
  // Only a 2 x 2 area is written.
  EXPECT_EQ(dst.getBits()[2], 0x01020304u);
  EXPECT_EQ(dst.getBits()[20], 0x01020304u);
}

// Nothing to read or nowhere to write: the destination keeps every pixel, the source too.
TEST(PixHalveBlitAA, NullAndEmptyBitmapsChangeNothing)
{
  PIX_MemBitmap src(4, 4), dst(3, 3), one(1, 1), row(6, 1), column(1, 6), none;
  for (PIX_MemBitmap* bm : { &src, &one, &row, &column })
    for (int i = 0; i < bm->getWidth() * bm->getHeight(); ++i) bm->getBits()[i] = 0xffffffffu;
  for (int i = 0; i < 9; ++i) dst.getBits()[i] = 0x01020304u;
  const std::vector<uint32_t> dstBefore = Pixels(dst), srcBefore = Pixels(src);
  struct Case
  {
    const char* what;
    PIX_IBitmap* dest;
    PIX_IBitmap* src;
  };
  const Case cases[] = {
    { "null destination", nullptr, &src },
    { "null source", &dst, nullptr },
    { "source of one pixel", &dst, &one },
    { "source one row high", &dst, &row },
    { "source one column wide", &dst, &column },
    { "empty source", &dst, &none },
    { "empty destination", &none, &src },
  };
  for (const Case& c : cases)
  {
    PIX_HalveBlitAA(c.dest, c.src);
    EXPECT_EQ(Pixels(dst), dstBefore) << c.what;
    EXPECT_EQ(Pixels(src), srcBefore) << c.what;
    EXPECT_EQ(none.getWidth(), 0) << c.what;
  }
}

TEST(PixBitmapCmp, SizesFirstThenPixelsRowByRow)
{
  PIX_MemBitmap a(10, 10), b(12, 10), c(10, 12);
  EXPECT_EQ(PIX_BitmapCmp(&a, &b), 2);
  EXPECT_EQ(PIX_BitmapCmp(&b, &a), -2);
  EXPECT_EQ(PIX_BitmapCmp(&a, &c), 2);
  EXPECT_EQ(PIX_BitmapCmp(nullptr, nullptr), 0);
  EXPECT_EQ(PIX_BitmapCmp(nullptr, &a), -1);
  EXPECT_EQ(PIX_BitmapCmp(&a, nullptr), 1);

  // A system bitmap shrunk inside its buffer has a wider span: equal pixels still compare equal,
  // whatever lies in the unused part of each row.
  PIX_SysBitmap wide(20, 10);
  wide.resize(10, 10);
  ASSERT_EQ(wide.getRowSpan(), 20);
  PIX_MemBitmap m(10, 10);
  uint32_t seed = 3;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x)
    {
      const uint32_t v = Lcg(seed);
      wide.getBits()[y * 20 + x] = v;
      if (x < 10) m.getBits()[y * 10 + x] = v;
    }
  EXPECT_EQ(PIX_BitmapCmp(&wide, &m), 0);
  m.getBits()[95] ^= 0x100u;
  EXPECT_NE(PIX_BitmapCmp(&wide, &m), 0);
  EXPECT_EQ(PIX_BitmapCmp(&m, &m), 0);
}
