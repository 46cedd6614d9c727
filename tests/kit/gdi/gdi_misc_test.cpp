// String and module helpers.

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "gdi-misc.h"

TEST(GdiMisc, BoundedStringCopy)
{
  char buf[8];
  memset(buf, 'x', sizeof(buf));
  EXPECT_EQ(lstrcpyn(buf, "hello", 0), buf);
  EXPECT_EQ(buf[0], 'x');  // n = 0: untouched
  lstrcpyn(buf, "hello", -3);
  EXPECT_EQ(buf[0], 'x');
  lstrcpyn(buf, "hello", 1);
  EXPECT_EQ(buf[0], 0);  // only the NUL
  EXPECT_EQ(buf[1], 'x');
  lstrcpyn(buf, "hello world", 8);
  EXPECT_STREQ(buf, "hello w");
  lstrcpyn(buf, "hi", 8);
  EXPECT_STREQ(buf, "hi");
  lstrcpyn(buf, nullptr, 8);
  EXPECT_STREQ(buf, "");
}

TEST(GdiMisc, CStringToCFString)
{
  struct Case
  {
    const char* in;
    const char* out;
  } cases[] = {{nullptr, ""}, {"", ""}, {"bg.png", "bg.png"}, {"caf\xc3\xa9", "caf\xc3\xa9"}};
  for (const Case& c : cases)
  {
    CFStringRef s = GDI_CStringToCFString(c.in);
    ASSERT_NE(s, nullptr);
    char buf[64];
    ASSERT_TRUE(CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8));
    EXPECT_STREQ(buf, c.out);
    CFRelease(s);
  }
}

TEST(GdiMisc, ModuleFileNameIsTheMainBundlesPath)
{
  // A test program's main bundle is the folder it runs from.
  char exe[PATH_MAX];
  ASSERT_NE(realpath("/proc/self/exe", exe), nullptr);
  std::string folder(exe);
  folder.resize(folder.rfind('/'));

  char buf[4096];
  const int n = GetModuleFileName(nullptr, buf, sizeof(buf));
  EXPECT_EQ(std::string(buf), folder);
  EXPECT_EQ(n, (int)folder.size());

  memset(buf, 'x', sizeof(buf));
  EXPECT_EQ(GetModuleFileName(nullptr, buf, 1), 0);  // room for the NUL only
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(GetModuleFileName(nullptr, buf, 5), 4);
  EXPECT_EQ(std::string(buf), folder.substr(0, 4));
  EXPECT_EQ(GetModuleFileName(nullptr, buf, 0), 0);

  // The holder is a Cocoa object: counted, and known for what it is from its pointer.
  int value = 3;
  GDI_APP_PREFIX_kvt* fresh = new GDI_APP_PREFIX_kvt;
  EXPECT_EQ(fresh->getValue(), nullptr);
  GDI_APP_PREFIX_kvt* holder = fresh->initWithVal(&value);
  EXPECT_EQ(holder, fresh);
  EXPECT_EQ(holder->getValue(), &value);
  EXPECT_EQ(objc_objectForPointer(holder), (id)holder);
  EXPECT_STREQ(holder->className(), "GDI_APP_PREFIX_kvt");
  holder->release();
  EXPECT_EQ(objc_objectForPointer(holder), nil);
}
