#include <gtest/gtest.h>

#include "FailingAllocator.h"
#include "heapbuf.h"
#include "ptrlist.h"

namespace
{
struct ResizeStep
{
  int granul;
  int size;            // resize to this many bytes
  int expectedAlloc;   // bytes allocated afterwards
};

// Sequences of resizes on one buffer, with the allocation each step must leave.
const std::vector<std::vector<ResizeStep>> kSequences = {
  // Granularity 4096: 8 bytes take ((8 + 4096 + 96) & ~4095) - 96 = 4000; 4001 takes 8096.
  { { 4096, 8, 4000 }, { 4096, 4001, 8096 }, { 4096, 4000, 8096 }, { 4096, 0, 8096 } },
  // Shrinking to 0 from 8 of 4000 keeps the block: 0 is not below 4000 - 4 * 4096.
  { { 4096, 8, 4000 }, { 4096, 0, 4000 } },
  // Large growth: g = n / 2 rounded down to 4096, clamped to 4 MiB.
  { { 4096, 100000, 147360 }, { 4096, 20000000, 24190880 } },
  // Far shrink reallocates: 24 MB down to 1000 bytes.
  { { 4096, 20000000, 24190880 }, { 4096, 1000, 4000 } },
  // Granularity 128: n + max(n / 2, 128); growth within the block and mild shrinks keep it.
  { { 128, 2, 130 }, { 128, 129, 130 }, { 128, 400, 600 }, { 128, 300, 600 }, { 128, 10, 138 } },
};
}  // namespace

TEST(KitHeapBuf, GrowthAndShrinkFollowTheRule)
{
  for (size_t s = 0; s < kSequences.size(); ++s)
  {
    KIT_HeapBuf hb(kSequences[s][0].granul);
    for (const ResizeStep& step : kSequences[s])
    {
      hb.Resize(step.size);
      EXPECT_EQ(hb.GetSize(), step.size) << "sequence " << s;
      EXPECT_EQ(hb.GetAllocated(), step.expectedAlloc) << "sequence " << s << " size " << step.size;
      EXPECT_EQ(hb.Get() == nullptr, step.size == 0);
    }
  }
}

TEST(KitHeapBuf, KeepsContentsAcrossGrowth)
{
  KIT_TypedBuf<int> buf;
  buf.Resize(10);
  for (int i = 0; i < 10; ++i) buf.Get()[i] = i * 7;
  buf.Resize(100000);
  ASSERT_EQ(buf.GetSize(), 100000);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(buf.Get()[i], i * 7);
}

TEST(KitHeapBuf, FailedAllocationKeepsBlockAllocationAndSize)
{
  KIT_TypedBuf<double> buf;
  buf.Resize(16);
  for (int i = 0; i < 16; ++i) buf.Get()[i] = i;
  const double* before = buf.Get();
  const int allocBefore = buf.HeapBuf().GetAllocated();
  {
    FailingAllocator fail(8192);
    EXPECT_EQ(buf.Resize(100000), before);
    EXPECT_GT(FailingAllocator::sRefused, 0);
  }
  EXPECT_EQ(buf.GetSize(), 16);
  EXPECT_EQ(buf.HeapBuf().GetAllocated(), allocBefore);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(buf.Get()[i], i);
}

TEST(KitHeapBuf, RefusesNegativeAndUnrepresentableSizes)
{
  KIT_TypedBuf<double> buf;
  buf.Resize(4);
  buf.Resize(-1);
  EXPECT_EQ(buf.GetSize(), 4);
  buf.Resize(INT_MAX / 4);  // more than INT_MAX bytes of doubles
  EXPECT_EQ(buf.GetSize(), 4);
  KIT_HeapBuf hb;
  hb.Resize(INT_MAX - 10);  // the allocation would not fit an int
  EXPECT_EQ(hb.GetSize(), 0);
}

TEST(KitPtrList, AddGetDeleteEmpty)
{
  static int s_deleted = 0;
  struct Obj
  {
    int v;
    ~Obj() { ++s_deleted; }
  };
  KIT_PtrList<Obj> list;
  EXPECT_EQ(list.Get(0), nullptr);
  for (int i = 0; i < 5; ++i) list.Add(new Obj{ i });
  ASSERT_EQ(list.GetSize(), 5);
  EXPECT_EQ(list.Get(-1), nullptr);
  EXPECT_EQ(list.Get(5), nullptr);

  Obj* kept = list.Get(1);
  list.Delete(1, false);
  EXPECT_EQ(s_deleted, 0);
  delete kept;
  list.Delete(0, true);
  EXPECT_EQ(s_deleted, 2);
  ASSERT_EQ(list.GetSize(), 3);
  EXPECT_EQ(list.Get(0)->v, 2);
  EXPECT_EQ(list.Get(2)->v, 4);
  list.Delete(7, true);  // outside: nothing
  EXPECT_EQ(list.GetSize(), 3);

  list.Empty(true);
  EXPECT_EQ(s_deleted, 5);
  EXPECT_EQ(list.GetSize(), 0);
}

TEST(KitPtrList, AddFailsCleanly)
{
  KIT_PtrList<int> list;
  int x = 1;
  FailingAllocator fail(0);
  EXPECT_EQ(list.Add(&x), nullptr);
  EXPECT_EQ(list.GetSize(), 0);
}
