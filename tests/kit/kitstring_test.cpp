#include <gtest/gtest.h>

#include "FailingAllocator.h"
#include "kitstring.h"

TEST(KitString, EmptyReadsAsEmptyTextNeverNull)
{
  KIT_String s;
  ASSERT_NE(s.Get(), nullptr);
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.GetLength(), 0);
}

TEST(KitString, OneCharacterAllocates130Bytes)
{
  KIT_String s;
  s.Set("x");
  EXPECT_EQ(s.HeapBuf().GetAllocated(), 130);
  EXPECT_EQ(s.HeapBuf().GetSize(), 2);
}

TEST(KitString, SetAppendTruncateDelete)
{
  struct Case
  {
    const char* start;
    int maxlen;
    const char* append;
    int truncate;   // -1: none
    int deletePos;  // -1: none
    const char* expected;
  };
  const Case cases[] = {
    { "hello", 0, " world", -1, -1, "hello world" },
    { "hello", 3, "", -1, -1, "hel" },
    { "hello", 10, "!", 2, -1, "he" },
    { "hello", 0, "", 9, -1, "hello" },  // cutting to more than the length leaves it
    { "hello", 0, "", -1, 0, "ello" },
    { "hello", 0, "", -1, 4, "hell" },
    { "hello", 0, "", -1, 5, "hello" },  // a text of the position's length is left alone
    { "", 0, "abc", -1, -1, "abc" },
  };
  for (const Case& c : cases)
  {
    KIT_String s;
    s.Set(c.start, c.maxlen);
    s.Append(c.append);
    if (c.truncate >= 0) s.SetLen(c.truncate);
    if (c.deletePos >= 0) s.DeleteSub(c.deletePos);
    EXPECT_STREQ(s.Get(), c.expected) << c.start << " / " << c.append;
  }
}

TEST(KitString, FailedGrowthKeepsText)
{
  KIT_String s("abc");
  FailingAllocator fail(0);
  s.Append(std::string(500, 'x').c_str());
  EXPECT_STREQ(s.Get(), "abc");
}

TEST(KitString, BoundedCopy)
{
  char dst[6];
  EXPECT_STREQ(KIT_strlcpy(dst, "abcdefgh", sizeof(dst)), "abcde");
  EXPECT_STREQ(KIT_strlcpy(dst, nullptr, sizeof(dst)), "");
  EXPECT_STREQ(KIT_strlcpy(dst, "ab", sizeof(dst)), "ab");
}
