#include <gtest/gtest.h>

#include "ByteChunk.h"
#include "FailingAllocator.h"

namespace
{
void Fill(ByteChunk& c, int n)
{
  c.Resize(n);
  for (int i = 0; i < n; ++i) c.GetBytes()[i] = (unsigned char)(i + 1);
}

void PutLength(ByteChunk& c, int32_t len)
{
  c.Put(&len);
}
}  // namespace

TEST(ByteChunk, TypedGetsAtTheBoundaries)
{
  ByteChunk c;
  Fill(c, 11);
  struct Case
  {
    int pos;
    int expected;
  };
  // A double at 3 ends exactly at 11; at 4 it would pass the end; negative never reads.
  for (const Case& k : { Case{ 3, 11 }, Case{ 4, -1 }, Case{ 0, 8 }, Case{ -1, -1 }, Case{ 11, -1 }, Case{ INT_MAX - 2, -1 } })
  {
    double d = 42.0;
    EXPECT_EQ(c.Get(&d, k.pos), k.expected) << k.pos;
    if (k.expected < 0) { EXPECT_EQ(d, 42.0); }
  }
}

TEST(ByteChunk, ValuesAreLittleEndianAndBoolsOneByte)
{
  ByteChunk c;
  const int32_t i = 0x01020304;
  EXPECT_EQ(c.Put(&i), 4);
  EXPECT_EQ(c.PutBool(true), 5);
  EXPECT_EQ(c.PutBool(false), 6);
  const double d = 1.0;
  EXPECT_EQ(c.Put(&d), 14);
  const unsigned char expected[] = { 4, 3, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F };
  ASSERT_EQ(c.Size(), (int)sizeof(expected));
  EXPECT_EQ(memcmp(c.GetBytes(), expected, sizeof(expected)), 0);

  c.GetBytes()[4] = 7;  // any non-zero byte is true
  bool b = false;
  EXPECT_EQ(c.GetBool(&b, 4), 5);
  EXPECT_TRUE(b);
  EXPECT_EQ(c.GetBool(&b, 5), 6);
  EXPECT_FALSE(b);
}

TEST(ByteChunk, StringRoundTripAndLayout)
{
  ByteChunk c;
  EXPECT_EQ(c.PutStr("abc"), 7);
  const unsigned char expected[] = { 3, 0, 0, 0, 'a', 'b', 'c' };
  EXPECT_EQ(memcmp(c.GetBytes(), expected, sizeof(expected)), 0);
  KIT_String s;
  EXPECT_EQ(c.GetStr(&s, 0), 7);
  EXPECT_STREQ(s.Get(), "abc");
}

TEST(ByteChunk, StringReadsNeverLeaveTheChunk)
{
  struct Case
  {
    const char* what;
    int32_t len;
    int payload;     // bytes after the length
    int expected;    // position returned
    const char* str; // destination afterwards (starts as "keep")
  };
  const Case cases[] = {
    { "zero length keeps the destination", 0, 0, 4, "keep" },
    { "length past the end returns its end", 10, 3, 14, "keep" },
    { "negative length", -1, 3, -1, "keep" },
    { "huge negative length", INT_MIN, 3, -1, "keep" },
    { "length that overflows the position", INT_MAX, 3, -1, "keep" },
    { "exact fit", 3, 3, 7, "\x01\x02\x03" },
  };
  for (const Case& k : cases)
  {
    ByteChunk c;
    PutLength(c, k.len);
    const int start = c.Size();
    c.Resize(start + k.payload);
    for (int i = 0; i < k.payload; ++i) c.GetBytes()[start + i] = (unsigned char)(i + 1);
    KIT_String s("keep");
    EXPECT_EQ(c.GetStr(&s, 0), k.expected) << k.what;
    EXPECT_STREQ(s.Get(), k.str) << k.what;
  }
  // A string stops early at a zero byte; a read after a past-the-end string fails.
  ByteChunk c;
  PutLength(c, 4);
  const char bytes[] = { 'a', 0, 'b', 'c' };
  for (char ch : bytes) c.Put(&ch);
  KIT_String s;
  EXPECT_EQ(c.GetStr(&s, 0), 8);
  EXPECT_STREQ(s.Get(), "a");
  int32_t v;
  EXPECT_EQ(c.Get(&v, 14), -1);
}

TEST(ByteChunk, ResizeZeroesGrowthAndReturnsPreviousSize)
{
  ByteChunk c;
  Fill(c, 4);
  EXPECT_EQ(c.Resize(8), 4);
  for (int i = 4; i < 8; ++i) EXPECT_EQ(c.GetBytes()[i], 0);
  EXPECT_EQ(c.Resize(2), 8);
  c.Clear();
  EXPECT_EQ(c.Size(), 0);
}

TEST(ByteChunk, PutChunkIncludingItself)
{
  ByteChunk a, b;
  Fill(a, 3);
  Fill(b, 2);
  EXPECT_EQ(a.PutChunk(&b), 5);
  EXPECT_EQ(a.PutChunk(&a), 10);
  const unsigned char expected[] = { 1, 2, 3, 1, 2, 1, 2, 3, 1, 2 };
  EXPECT_EQ(memcmp(a.GetBytes(), expected, sizeof(expected)), 0);
}

TEST(ByteChunk, FailedPutLeavesTheSize)
{
  ByteChunk c;
  FailingAllocator fail(0);
  const double d = 3.0;
  EXPECT_EQ(c.Put(&d), 0);
  EXPECT_EQ(c.PutStr("abc"), 0);
  EXPECT_EQ(c.Size(), 0);
}
