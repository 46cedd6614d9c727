#include <gtest/gtest.h>

#include <string>

#include <Foundation/Foundation.h>

#include <Foundation/testkit.h>

namespace
{
class StringTest : public ::testing::Test
{
protected:
  void SetUp() override { mBase = FoundationTestKit::LiveObjectCount(); }
  void TearDown() override
  {
    FoundationTestKit::DrainImplicitPool();
    EXPECT_EQ(FoundationTestKit::LiveObjectCount(), mBase);
  }
  long mBase = 0;
};
}  // namespace

TEST_F(StringTest, CStringsAreUTF8WithLatin1ForInvalidBytes)
{
  struct Case
  {
    const char* what;
    const char* bytes;
    const char* utf8;
    NSUInteger length;
  } cases[] = {
    {"ascii", "abc", "abc", 3},
    {"empty", "", "", 0},
    {"utf-8 e acute", "caf\xC3\xA9", "caf\xC3\xA9", 4},
    {"latin-1 e acute", "caf\xE9", "caf\xC3\xA9", 4},
    {"mixed", "\xE9-\xC3\xA9", "\xC3\xA9-\xC3\xA9", 3},
    {"supplementary plane counts two units", "\xF0\x9F\x8E\xB5!", "\xF0\x9F\x8E\xB5!", 3},
    {"three-byte", "\xE2\x82\xAC", "\xE2\x82\xAC", 1},
    {"truncated sequence", "\xE2\x82", "\xC3\xA2\xC2\x82", 2},
    {"overlong slash", "\xC0\xAF", "\xC3\x80\xC2\xAF", 2},
    {"surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80", 3},
    {"above U+10FFFF", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80", 4},
    {"lone continuation", "a\x80z", "a\xC2\x80z", 3},
  };
  for (const Case& c : cases)
  {
    NSString* s = NSString::stringWithCString(c.bytes);
    ASSERT_NE(s, nil) << c.what;
    EXPECT_EQ(s->str(), c.utf8) << c.what;
    EXPECT_EQ(s->length(), c.length) << c.what;
    EXPECT_EQ(NSString::stringWithUTF8String(c.bytes)->str(), c.utf8) << c.what;
    // CoreFoundation agrees on the text and its UTF-16 length.
    CFStringRef cf = s->copyCFString();
    ASSERT_NE(cf, nullptr) << c.what;
    EXPECT_EQ((NSUInteger)CFStringGetLength(cf), c.length) << c.what;
    EXPECT_TRUE(NSString::stringWithCFString(cf)->isEqualToString(s)) << c.what;
    CFRelease(cf);
  }
  EXPECT_EQ(NSString::stringWithCString(nullptr), nil);
  EXPECT_EQ(NSString::stringWithUTF8String(nullptr), nil);
  EXPECT_EQ(NSString::stringWithCFString(nullptr), nil);
  EXPECT_EQ((new NSString)->initWithUTF8String(nullptr), nil);  // and the receiver is freed
  NSString* made = (new NSString)->initWithUTF8String("x\xFF");
  EXPECT_EQ(made->str(), "x\xC3\xBF");
  made->release();
  EXPECT_EQ(NSString::string()->length(), 0u);
}

TEST_F(StringTest, PathComponents)
{
  struct Case
  {
    const char* path;
    const char* last;
    const char* ext;
    const char* noExt;
    const char* parent;
  } cases[] = {
    {"a/b/c.png", "c.png", "png", "a/b/c", "a/b"},
    {"/usr/lib/", "lib", "", "/usr/lib", "/usr"},
    {"/x.tar.gz", "x.tar.gz", "gz", "/x.tar", "/"},
    {"/", "/", "", "/", "/"},
    {"", "", "", "", ""},
    {"name", "name", "", "name", ""},
    {"dir.d/file", "file", "", "dir.d/file", "dir.d"},
    {"a/.profile", ".profile", "", "a/.profile", "a"},
    {"a//b.c//", "b.c", "c", "a//b", "a"},
    {"trail.", "trail.", "", "trail", ""},
    {"/a", "a", "", "/a", "/"},
  };
  for (const Case& c : cases)
  {
    NSString* s = NSString::stringWithUTF8String(c.path);
    EXPECT_EQ(s->lastPathComponent()->str(), c.last) << c.path;
    EXPECT_EQ(s->pathExtension()->str(), c.ext) << c.path;
    EXPECT_EQ(s->stringByDeletingPathExtension()->str(), c.noExt) << c.path;
    EXPECT_EQ(s->stringByDeletingLastPathComponent()->str(), c.parent) << c.path;
  }
}

TEST_F(StringTest, EqualTextIsEqualWithEqualHash)
{
  NSString* a = NSString::stringWithUTF8String("Gain");
  NSString* b = NSString::stringWithCString("Gain");
  NSString* c = NSString::stringWithUTF8String("gain");
  EXPECT_NE(a, b);
  EXPECT_TRUE(a->isEqual(b));
  EXPECT_TRUE(a->isEqualToString(b));
  EXPECT_EQ(a->hash(), b->hash());
  EXPECT_FALSE(a->isEqual(c));
  EXPECT_FALSE(a->isEqualToString(nullptr));
  EXPECT_FALSE(a->isEqual(NSMutableDictionary::dictionary()));
  EXPECT_TRUE(NSSTR("Gain")->isEqual(a));
}

TEST_F(StringTest, ConstantsAreInternedPerText)
{
  NSString* a = NSSTR("interned text");
  EXPECT_EQ(NSSTR("interned text"), a);
  EXPECT_NE(NSSTR("other text"), a);
  EXPECT_EQ(NSStringConstant("interned text"), a);
  EXPECT_EQ(NSSTR("caf\xE9")->str(), "caf\xC3\xA9");
}
