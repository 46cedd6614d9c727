// Plain blits: geometry and clipping, every mode against the model, sentinel-bordered sources,
// flipped bitmaps, blits within one bitmap, and PIX_Copy.

#include <gtest/gtest.h>

#include <vector>

#include "TestBitmaps.h"
#include "pix.h"
#include "pix_reference.h"

namespace
{
uint32_t Lcg(uint32_t& s)
{
  s = s * 1664525u + 1013904223u;
  return s;
}

// Pixels with a realistic alpha mix: mostly opaque or clear, some partial, some extreme bytes.
void FillRandom(PIX_IBitmap& bm, uint32_t seed)
{
  for (int y = 0; y < bm.getHeight(); ++y)
    for (int x = 0; x < bm.getWidth(); ++x)
    {
      uint32_t v = Lcg(seed);
      const uint32_t k = (v >> 5) % 8;
      const uint32_t alpha = k < 3 ? 255 : (k < 5 ? 0 : (k == 5 ? 1 : (v >> 13) & 0xff));
      bm.getBits()[y * bm.getRowSpan() + x] = (v & ~0xffu) | alpha;
    }
}

std::vector<uint32_t> Pixels(PIX_IBitmap& bm)
{
  std::vector<uint32_t> v;
  for (int y = 0; y < bm.getHeight(); ++y)
    for (int x = 0; x < bm.getWidth(); ++x) v.push_back(bm.getBits()[y * bm.getRowSpan() + x]);
  return v;
}

// The model of a blit of src (sw x sh, visual rows) onto dst (dw x dh), written from the rules:
// clip the source rectangle, shift for a negative origin, cut to the destination, then apply the
// mode's rule pixel by pixel in row order.
void RefBlit(std::vector<uint32_t>& dst, int dw, int dh, const std::vector<uint32_t>& src, int sw, int sh, int dstx,
             int dsty, const RECT* rc, float alpha, int mode)
{
  if (alpha == 0.0f) return;
  long long sl = rc ? std::max(rc->left, 0) : 0, st = rc ? std::max(rc->top, 0) : 0;
  long long sr = rc ? std::min(rc->right, sw) : sw, sb = rc ? std::min(rc->bottom, sh) : sh;
  long long dx = dstx, dy = dsty;
  if (dx < 0) { sl -= dx; dx = 0; }
  if (dy < 0) { st -= dy; dy = 0; }
  if (dx + (sr - sl) > dw) sr = sl + dw - dx;
  if (dy + (sb - st) > dh) sb = st + dh - dy;
  const int ia = (int)((double)alpha * 256);
  const int kind = mode & 0xff;
  const bool sa = (mode & 0x10000) != 0;
  for (long long y = st; y < sb; ++y)
    for (long long x = sl; x < sr; ++x)
    {
      uint32_t& d = dst[(size_t)((dy + y - st) * dw + dx + x - sl)];
      const uint32_t s = src[(size_t)(y * sw + x)];
      if (kind >= 0xf0)
      {
        const int di = (mode >> 2) & 3, si = mode & 3;
        const uint32_t byte = (s >> (8 * si)) & 0xff;
        d = (d & ~(0xffu << (8 * di))) | byte << (8 * di);
        continue;
      }
      if (kind > 5) continue;
      if (kind == 0 && !sa)
      {
        if (alpha == 1.0f) d = s;
        else if (alpha == 0.5f) d = ((d >> 1) & 0x7f7f7f7f) + ((s >> 1) & 0x7f7f7f7f);
        else if (alpha > 0) d = ref::blend(ref::Copy, false, d, s, ia);
        continue;
      }
      if (kind == 0 && sa && alpha == 1.0f)
      {
        d = ref::blend(ref::CopyIgnore, true, d, s, ia);
        continue;
      }
      const ref::Kind kinds[] = {ref::Copy, ref::Add, ref::Dodge, ref::Mul, ref::Overlay, ref::HSV};
      d = ref::blend(kinds[kind], sa, d, s, ia);
    }
}
}  // namespace

TEST(PixBlit, EveryModeAndAlphaAgainstTheModel)
{
  const int modes[] = {0, 1, 2, 3, 4, 5, 6, 0x100, 0x10000, 0x10001, 0x10002, 0x10003, 0x10004, 0x10005,
                       0x10006, 0xf0, 0xf4, 0xfb, 0xff, 0x100f7, 0x10100};
  const float alphas[] = {1.0f, 0.5f, 0.6f, 0.25f, 0.999f, 0.0f, -0.5f, -1.0f, 1.5f, 1.002f};
  for (int w : {1, 3, 4, 5, 8, 13, 37})
    for (int mode : modes)
      for (float alpha : alphas)
      {
        PIX_MemBitmap src(w + 6, 7), dst(w + 3, 9);
        FillRandom(src, 11u + w);
        FillRandom(dst, 97u + w);
        std::vector<uint32_t> want = Pixels(dst);
        const std::vector<uint32_t> s = Pixels(src);
        RECT rc = {2, 1, 2 + w, 6};
        PIX_Blit(&dst, &src, 1, 2, &rc, alpha, mode);
        RefBlit(want, w + 3, 9, s, w + 6, 7, 1, 2, &rc, alpha, mode);
        ASSERT_EQ(Pixels(dst), want) << "w " << w << " mode " << std::hex << mode << std::dec << " alpha " << alpha;
      }
}

TEST(PixBlit, GeometryAndClipping)
{
  struct Case
  {
    const char* what;
    int dstx, dsty;
    RECT rc;
    bool whole;  // null rectangle
  } cases[] = {
    {"whole source", 2, 1, {0, 0, 0, 0}, true},
    {"rectangle left of and above the source", 10, 3, {-5, -2, 4, 3}, false},
    {"negative destination origin", -3, -2, {1, 1, 9, 6}, false},
    {"beyond the destination's right and bottom", 14, 8, {0, 0, 10, 6}, false},
    {"rectangle past the source's edges", 0, 0, {7, 4, 40, 40}, false},
    {"entirely left of the destination", -20, 0, {0, 0, 10, 6}, false},
    {"entirely below the destination", 0, 10, {0, 0, 10, 6}, false},
    {"empty rectangle", 3, 3, {5, 2, 5, 6}, false},
    {"inverted rectangle", 3, 3, {6, 2, 4, 6}, false},
    {"huge destination offset", 2147483000, 2147483000, {0, 0, 10, 6}, false},
    {"huge negative offset", -2147483000, 0, {0, 0, 10, 6}, false},
  };
  for (const Case& c : cases)
    for (int mode : {0, 0x10000})
    {
      PIX_MemBitmap src(10, 6), dst(16, 10);
      FillRandom(src, 5);
      FillRandom(dst, 6);
      std::vector<uint32_t> want = Pixels(dst);
      PIX_Blit(&dst, &src, c.dstx, c.dsty, c.whole ? nullptr : const_cast<RECT*>(&c.rc), 1.0f, mode);
      RefBlit(want, 16, 10, Pixels(src), 10, 6, c.dstx, c.dsty, c.whole ? nullptr : &c.rc, 1.0f, mode);
      EXPECT_EQ(Pixels(dst), want) << c.what;
    }

  // Clipping the source does not move the destination: column 0 of the source lands at 10.
  PIX_MemBitmap src(4, 1), dst(16, 1);
  for (int i = 0; i < 4; ++i) src.getBits()[i] = 0x01010101u * (i + 1);
  PIX_Blit(&dst, &src, 10, 0, -5, 0, 9, 1, 1.0f, 0);
  EXPECT_EQ(dst.getBits()[9], 0u);
  EXPECT_EQ(dst.getBits()[10], 0x01010101u);
  EXPECT_EQ(dst.getBits()[13], 0x04040404u);
  EXPECT_EQ(dst.getBits()[14], 0u);
  // A negative destination origin shifts the source by as much: what shows lines up.
  PIX_MemBitmap dst2(4, 1);
  PIX_Blit(&dst2, &src, -2, 0, 0, 0, 4, 1, 1.0f, 0);
  EXPECT_EQ(dst2.getBits()[0], 0x03030303u);
  EXPECT_EQ(dst2.getBits()[1], 0x04040404u);
  EXPECT_EQ(dst2.getBits()[2], 0u);
}

TEST(PixBlit, NothingOutsideTheClippedSourceIsRead)
{
  // The same blit from two sources that differ only outside the rectangle gives the same result.
  for (int mode : {0, 1, 2, 3, 4, 5, 0x10000, 0x10001, 0x10005, 0xf6})
    for (float alpha : {1.0f, 0.5f, 0.6f})
    {
      PIX_MemBitmap a(20, 12), b(20, 12), da(30, 30), db(30, 30);
      FillRandom(a, 1);
      for (int i = 0; i < 20 * 12; ++i) b.getBits()[i] = a.getBits()[i];
      for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
          if (x < 3 || x >= 3 + 9 || y < 2 || y >= 2 + 7) b.getBits()[y * 20 + x] = 0xa5a5a5a5u ^ (x * 77 + y);
      FillRandom(da, 2);
      FillRandom(db, 2);
      PIX_Blit(&da, &a, 5, 6, 3, 2, 9, 7, alpha, mode);
      PIX_Blit(&db, &b, 5, 6, 3, 2, 9, 7, alpha, mode);
      ASSERT_EQ(Pixels(da), Pixels(db)) << std::hex << mode << " " << alpha;
    }
}

TEST(PixBlit, ZeroAlphaNullsAndUnknownModesDrawNothing)
{
  PIX_MemBitmap src(8, 8), dst(8, 8), empty(0, 0);
  FillRandom(src, 3);
  FillRandom(dst, 4);
  const std::vector<uint32_t> before = Pixels(dst);
  for (int mode : {0, 1, 3, 0x10000, 0xf4, 0xf0})
  {
    PIX_Blit(&dst, &src, 0, 0, (RECT*)nullptr, 0.0f, mode);
    PIX_Blit(&dst, nullptr, 0, 0, (RECT*)nullptr, 1.0f, mode);
    PIX_Blit(nullptr, &src, 0, 0, (RECT*)nullptr, 1.0f, mode);
    PIX_Blit(&dst, &empty, 0, 0, (RECT*)nullptr, 1.0f, mode);
  }
  for (int mode : {6, 0x7f, 0xef, 0x10006, 0x100ef}) PIX_Blit(&dst, &src, 0, 0, (RECT*)nullptr, 1.0f, mode);
  PIX_Blit(&dst, &src, 0, 0, (RECT*)nullptr, -0.5f, 0);  // negative alpha in copy mode
  EXPECT_EQ(Pixels(dst), before);
  PIX_Blit(&empty, &src, 0, 0, (RECT*)nullptr, 1.0f, 0);
  EXPECT_EQ(empty.getBits(), nullptr);

  // In add mode a negative alpha subtracts.
  PIX_MemBitmap one(1, 1), d1(1, 1);
  one.getBits()[0] = 0x20202020u;
  d1.getBits()[0] = 0x50505050u;
  PIX_Blit(&d1, &one, 0, 0, (RECT*)nullptr, -1.0f, 1);
  EXPECT_EQ(d1.getBits()[0], 0x30303030u);
}

TEST(PixBlit, HandValues)
{
  PIX_MemBitmap white(1, 1), px(1, 1);
  white.getBits()[0] = 0xffffffffu;
  PIX_Blit(&px, &white, 0, 0, (RECT*)nullptr, 0.5f, 0);
  EXPECT_EQ(px.getBits()[0], 0x7f7f7f7fu);  // halves rounded down, not 0x80

  // Channel copy: 0xf4 puts the source alpha byte into the destination red byte; 0xf0 alpha to alpha.
  PIX_MemBitmap s(1, 1), d(1, 1);
  s.getBits()[0] = 0x44332211u;  // alpha 0x11, red 0x22, green 0x33, blue 0x44
  d.getBits()[0] = 0xddccbbaau;
  PIX_Blit(&d, &s, 0, 0, (RECT*)nullptr, 1.0f, 0xf4);
  EXPECT_EQ(d.getBits()[0], 0xddcc11aau);
  PIX_Blit(&d, &s, 0, 0, (RECT*)nullptr, 0.3f, 0x100f0);  // alpha and other bits play no part
  EXPECT_EQ(d.getBits()[0], 0xddcc1111u);
}

TEST(PixBlit, FlippedBitmapsAreAddressedByVisualRows)
{
  FlippedBitmap fs(5, 4, 7), fd(6, 5, 6);
  PIX_MemBitmap ms(5, 4), md(6, 5);
  uint32_t seed = 9;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) ms.getBits()[y * 5 + x] = fs.pixel(x, y) = Lcg(seed);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) md.getBits()[y * 6 + x] = fd.pixel(x, y) = Lcg(seed);
  for (int mode : {0, 1, 0x10000})
    for (float alpha : {1.0f, 0.5f, 0.7f})
    {
      // Flipped source into a plain destination and plain source into a flipped destination
      // must give what the plain-to-plain blit gives, row for visual row.
      PIX_MemBitmap d1(6, 5), d2(6, 5);
      for (int i = 0; i < 30; ++i) d1.getBits()[i] = d2.getBits()[i] = md.getBits()[i];
      PIX_Blit(&d1, &fs, 1, 2, 1, 0, 4, 3, alpha, mode);
      PIX_Blit(&d2, &ms, 1, 2, 1, 0, 4, 3, alpha, mode);
      ASSERT_EQ(Pixels(d1), Pixels(d2));

      FlippedBitmap f2(6, 5, 6);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) f2.pixel(x, y) = md.getBits()[y * 6 + x];
      PIX_Blit(&f2, &ms, 1, 2, 1, 0, 4, 3, alpha, mode);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) ASSERT_EQ(f2.pixel(x, y), d2.getBits()[y * 6 + x]) << x << "," << y;
    }
}

TEST(PixBlit, WithinOneBitmap)
{
  // Overlapping rows of one bitmap: pixels are processed left to right, top to bottom, as the
  // model does, whichever loop the mode takes.
  for (int mode : {0, 1, 0x10000})
    for (float alpha : {1.0f, 0.5f, 0.6f})
      for (int dx : {-3, 0, 2})
      {
        PIX_MemBitmap bm(24, 6);
        FillRandom(bm, 77);
        std::vector<uint32_t> want = Pixels(bm);
        PIX_Blit(&bm, &bm, 4 + dx, 1, 4, 1, 16, 1, alpha, mode);
        const std::vector<uint32_t> copy = want;
        for (int x = 0; x < 16; ++x)
        {
          uint32_t& d = want[24 + 4 + dx + x];
          if (alpha == 1.0f && mode == 0)
          {
            d = copy[24 + 4 + x];  // one block move of the row
            continue;
          }
          // Pixel by pixel: each source pixel is read as it stands when its turn comes.
          std::vector<uint32_t> one(1, want[24 + 4 + x]), out(1, d);
          RefBlit(out, 1, 1, one, 1, 1, 0, 0, nullptr, alpha, mode);
          d = out[0];
        }
        ASSERT_EQ(Pixels(bm), want) << std::hex << mode << std::dec << " " << alpha << " " << dx;
      }
}

TEST(PixCopy, MakesAnExactCopyOfAnySize)
{
  PIX_MemBitmap src(13, 7), dst(3, 30);
  FillRandom(src, 21);
  PIX_Copy(&dst, &src);
  EXPECT_EQ(dst.getWidth(), 13);
  EXPECT_EQ(dst.getHeight(), 7);
  EXPECT_EQ(Pixels(dst), Pixels(src));
  EXPECT_EQ(PIX_BitmapCmp(&dst, &src), 0);

  // A null on either side changes neither bitmap, not even the destination's size.
  PIX_MemBitmap other(5, 2);
  FillRandom(other, 22);
  const std::vector<uint32_t> srcBefore = Pixels(src), otherBefore = Pixels(other);
  PIX_Copy(nullptr, &src);
  EXPECT_EQ(Pixels(src), srcBefore);
  PIX_Copy(&other, nullptr);
  EXPECT_EQ(other.getWidth(), 5);
  EXPECT_EQ(other.getHeight(), 2);
  EXPECT_EQ(Pixels(other), otherBefore);

  // A destination that cannot take the size gets what fits.
  CappedBitmap capped(4, 4);
  capped.resize(4, 4);
  PIX_Copy(&capped, &src);
  EXPECT_EQ(capped.getWidth(), 4);
  EXPECT_EQ(capped.getBits()[5], src.getBits()[14]);
}
