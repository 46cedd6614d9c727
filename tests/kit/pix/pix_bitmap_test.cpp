// Memory and system bitmaps: sizes, allocation growth, contexts kept and replaced, failures.

#include <gtest/gtest.h>

#include <CoreGraphics/testkit.h>

#include <climits>
#include <cstring>

#include "gdi-draw.h"
#include "pix.h"

TEST(PixMemBitmap, ResizeSequence)
{
  struct Step
  {
    int w, h;
    bool changed;
    int width, height, allocated;
  } steps[] = {
    {10, 10, false, 10, 10, 400},    // the current size: nothing changes
    {20, 20, true, 20, 20, 2000},    // 1,600 needed, a quarter more allocated
    {10, 10, true, 10, 10, 2000},    // shrinking keeps the block
    {20, 25, true, 20, 25, 2000},    // 2,000 fits exactly
    {21, 25, true, 21, 25, 2625},    // 2,100 needed: 2,625
    {0, 5, true, 0, 0, 0},           // no area: the block goes
    {0, 5, true, 0, 0, 0},           // an empty bitmap reports 0 x 0, so this is a change again
    {0, 0, false, 0, 0, 0},
    {3, 2, true, 3, 2, 24},          // from nothing: exactly what is needed
    {-4, -4, true, 0, 0, 0},         // negative sizes count as empty
  };
  PIX_MemBitmap bm(10, 10);
  ASSERT_NE(bm.getBits(), nullptr);
  for (const Step& s : steps)
  {
    EXPECT_EQ(bm.resize(s.w, s.h), s.changed) << s.w << "x" << s.h;
    EXPECT_EQ(bm.getWidth(), s.width);
    EXPECT_EQ(bm.getHeight(), s.height);
    EXPECT_EQ(bm.getRowSpan(), s.width);
    EXPECT_EQ(bm.getAllocated(), s.allocated);
    EXPECT_EQ(bm.getBits() != nullptr, s.allocated > 0);
  }
}

TEST(PixMemBitmap, SameSizeKeepsPixelsAndGrownPixelsAreZero)
{
  PIX_MemBitmap bm(4, 4);
  for (int i = 0; i < 16; ++i) ASSERT_EQ(bm.getBits()[i], 0u);
  for (int i = 0; i < 16; ++i) bm.getBits()[i] = 0x11111111u * (i % 15 + 1);
  PIX_PixelValue* before = bm.getBits();
  EXPECT_FALSE(bm.resize(4, 4));
  EXPECT_EQ(bm.getBits(), before);
  EXPECT_EQ(bm.getBits()[5], 0x66666666u);

  // Growing keeps the old bytes where they were and zeroes everything past them.
  ASSERT_TRUE(bm.resize(8, 8));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(bm.getBits()[i], 0x11111111u * (i % 15 + 1)) << i;
  for (int i = 16; i < 64; ++i) EXPECT_EQ(bm.getBits()[i], 0u) << i;

  // Shrinking and growing again inside the block: what the small size did not show reads as zero.
  for (int i = 0; i < 64; ++i) bm.getBits()[i] = 0xdeadbeefu;
  ASSERT_TRUE(bm.resize(2, 2));
  ASSERT_TRUE(bm.resize(8, 8));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bm.getBits()[i], 0xdeadbeefu);
  for (int i = 4; i < 64; ++i) EXPECT_EQ(bm.getBits()[i], 0u) << i;
}

TEST(PixMemBitmap, SizesBeyondTheAllocationRangeLeaveItEmpty)
{
  PIX_MemBitmap huge(65536, 65536);  // 16 GiB: not representable as the bitmap's allocation
  EXPECT_EQ(huge.getBits(), nullptr);
  EXPECT_EQ(huge.getWidth(), 0);
  EXPECT_EQ(huge.getHeight(), 0);

  PIX_MemBitmap bm(2, 2);
  EXPECT_TRUE(bm.resize(INT_MAX, 2));
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_EQ(bm.getHeight(), 0);
  EXPECT_TRUE(bm.resize(2, 3));
  EXPECT_NE(bm.getBits(), nullptr);

  PIX_MemBitmap empty(0, 7);
  EXPECT_EQ(empty.getBits(), nullptr);
  EXPECT_EQ(empty.getHeight(), 0);
  EXPECT_FALSE(empty.isFlipped());
  EXPECT_EQ(empty.getDC(), nullptr);
  EXPECT_EQ(empty.Extended(1, nullptr), 0);
}

TEST(PixSysBitmap, KeepsItsContextWhileTheSizeFits)
{
  PIX_SysBitmap bm(800, 400);
  ASSERT_NE(bm.getDC(), nullptr);
  ASSERT_NE(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getBits(), GDI_GetCtxFrameBuffer(bm.getDC()));
  EXPECT_EQ(bm.getRowSpan(), 800);
  void* dc = bm.getDC();
  PIX_PixelValue* bits = bm.getBits();
  bits[799] = 0x12345678u;

  EXPECT_FALSE(bm.resize(800, 400));
  EXPECT_TRUE(bm.resize(400, 200));
  EXPECT_EQ(bm.getWidth(), 400);
  EXPECT_EQ(bm.getHeight(), 200);
  EXPECT_EQ(bm.getRowSpan(), 800);
  EXPECT_EQ(bm.getBits(), bits);
  EXPECT_EQ(bm.getDC(), dc);
  EXPECT_EQ(bm.getBits()[799], 0x12345678u);

  // Growing past the buffer in either direction: a new context of exactly the new size.
  EXPECT_TRUE(bm.resize(801, 200));
  EXPECT_EQ(bm.getRowSpan(), 801);
  EXPECT_EQ(bm.getWidth(), 801);
  ASSERT_NE(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getBits()[799], 0u);  // the new buffer starts zeroed
  EXPECT_TRUE(bm.resize(801, 201));
  EXPECT_EQ(bm.getRowSpan(), 801);
  EXPECT_NE(bm.getDC(), nullptr);
  CGContextRef cg = ((GDP_CTX*)bm.getDC())->ctx;
  EXPECT_EQ(CGBitmapContextGetWidth(cg), 801u);
  EXPECT_EQ(CGBitmapContextGetHeight(cg), 201u);
}

TEST(PixSysBitmap, ZeroSizesHoldNoContext)
{
  const CGTestKit::LiveCounts before = CGTestKit::Live();
  {
    PIX_SysBitmap none(0, 0);
    EXPECT_EQ(none.getDC(), nullptr);
    EXPECT_EQ(none.getBits(), nullptr);

    PIX_SysBitmap bm(800, 400);
    EXPECT_EQ(CGTestKit::Live().contexts, before.contexts + 1);
    EXPECT_FALSE(bm.resize(0, 200));
    EXPECT_EQ(bm.getWidth(), 0);
    EXPECT_EQ(bm.getHeight(), 200);
    EXPECT_EQ(bm.getBits(), nullptr);
    EXPECT_EQ(bm.getDC(), nullptr);
    EXPECT_EQ(CGTestKit::Live().contexts, before.contexts);
    EXPECT_TRUE(bm.resize(10, 10));
    EXPECT_NE(bm.getDC(), nullptr);
  }
  // Both bitmaps gone: their contexts and text colours went with them.
  EXPECT_EQ(CGTestKit::Live().contexts, before.contexts);
  EXPECT_EQ(CGTestKit::Live().colors, before.colors);
}

TEST(PixSysBitmap, FailedContextLeavesAnEmptyBitmap)
{
  CGTestKit::FailNext(CGTestKit::kContext);
  PIX_SysBitmap bm(64, 32);
  CGTestKit::ClearFailures();
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_EQ(bm.getHeight(), 0);
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getDC(), nullptr);
  EXPECT_TRUE(bm.resize(64, 32));
  EXPECT_NE(bm.getBits(), nullptr);
}
