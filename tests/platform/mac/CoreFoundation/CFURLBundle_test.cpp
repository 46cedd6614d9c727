#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <CoreFoundation/CoreFoundation.h>

#include <CoreFoundation/testkit.h>

namespace
{
std::string UTF8(CFStringRef s)
{
  char buf[1024];
  return CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8) ? std::string(buf) : std::string("<none>");
}

std::string PathOf(CFURLRef url)
{
  char buf[1024];
  return CFURLGetFileSystemRepresentation(url, true, (UInt8*)buf, sizeof(buf)) ? std::string(buf) : std::string("<none>");
}

CFURLRef FileURL(const std::string& path, bool dir)
{
  return CFURLCreateFromFileSystemRepresentation(nullptr, (const UInt8*)path.data(), (CFIndex)path.size(), dir);
}

CFPropertyListRef ParsePlist(const std::string& xml)
{
  CFDataRef data = CFDataCreate(nullptr, (const UInt8*)xml.data(), (CFIndex)xml.size());
  CFPropertyListRef plist = CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, nullptr, nullptr);
  CFRelease(data);
  return plist;
}

void WriteFile(const std::string& path, const std::string& text)
{
  FILE* f = fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr) << path;
  fputs(text.c_str(), f);
  fclose(f);
}
}  // namespace

TEST(CFURL, FilePathsAndText)
{
  const long live = CFTestLiveObjectCount();
  struct Case
  {
    const char* path;
    bool dir;
    const char* text;
    const char* fsPath;
  } cases[] = {
    { "/tmp/a b/c.png", false, "file:///tmp/a%20b/c.png", "/tmp/a b/c.png" },
    { "/opt//bundles/./X.component/", true, "file:///opt/bundles/X.component/", "/opt/bundles/X.component" },
    { "/", true, "file:///", "/" },
  };
  for (const Case& c : cases)
  {
    CFStringRef path = CFStringCreateWithCString(nullptr, c.path, kCFStringEncodingUTF8);
    CFURLRef url = CFURLCreateWithFileSystemPath(nullptr, path, kCFURLPOSIXPathStyle, c.dir);
    EXPECT_EQ(UTF8(CFURLGetString(url)), c.text);
    EXPECT_EQ(PathOf(url), c.fsPath);
    CFStringRef back = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
    EXPECT_EQ(UTF8(back), c.fsPath);
    EXPECT_EQ((bool)CFURLHasDirectoryPath(url), c.dir);
    // The text reads back into the same URL.
    CFURLRef again = CFURLCreateWithString(nullptr, CFURLGetString(url), nullptr);
    EXPECT_TRUE(CFEqual(url, again)) << c.text;
    CFRelease(again);
    CFRelease(back);
    CFRelease(url);
    CFRelease(path);
  }

  char cwd[1024];
  ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
  CFURLRef rel = FileURL("sub/file", false);
  EXPECT_EQ(PathOf(rel), std::string(cwd) + "/sub/file");
  UInt8 tiny[4];
  EXPECT_FALSE(CFURLGetFileSystemRepresentation(rel, true, tiny, sizeof(tiny)));
  CFRelease(rel);

  CFURLRef web = CFURLCreateWithString(nullptr, CFSTR("https://example.com/x?y=1"), nullptr);
  ASSERT_NE(web, nullptr);
  CFStringRef scheme = CFURLCopyScheme(web);
  EXPECT_EQ(UTF8(scheme), "https");
  EXPECT_EQ(CFURLCopyFileSystemPath(web, kCFURLPOSIXPathStyle), nullptr);
  CFRelease(scheme);
  CFRelease(web);
  for (const char* bad : { "no scheme", "1http://x", "", "http://a b", "file://otherhost/x", "file:///%zz" })
  {
    CFStringRef s = CFStringCreateWithCString(nullptr, bad, kCFStringEncodingUTF8);
    EXPECT_EQ(CFURLCreateWithString(nullptr, s, nullptr), nullptr) << bad;
    CFRelease(s);
  }
  EXPECT_EQ(CFTestLiveObjectCount(), live);
}

TEST(CFPropertyList, ReadsXMLAndRefusesMalformed)
{
  const long live = CFTestLiveObjectCount();
  CFPropertyListRef plist = ParsePlist(R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//x//DTD PLIST 1.0//EN" "x.dtd">
<plist version="1.0">
<dict>
  <!-- a comment -->
  <key>CFBundleIdentifier</key><string>com.example.a&amp;b</string>
  <key>Count</key><integer>-12</integer>
  <key>Rate</key><real>0.25</real>
  <key>On</key><true/>
  <key>Off</key><false />
  <key>Blob</key><data>AAEC/w==</data>
  <key>List</key><array><string>x</string><dict/><array/></array>
  <key>Empty</key><string/>
</dict>
</plist>)");
  ASSERT_NE(plist, nullptr);
  CFDictionaryRef d = (CFDictionaryRef)plist;
  EXPECT_EQ(CFDictionaryGetCount(d), 8);
  EXPECT_EQ(UTF8((CFStringRef)CFDictionaryGetValue(d, CFSTR("CFBundleIdentifier"))), "com.example.a&b");
  SInt32 count = 0;
  EXPECT_TRUE(CFNumberGetValue((CFNumberRef)CFDictionaryGetValue(d, CFSTR("Count")), kCFNumberSInt32Type, &count));
  EXPECT_EQ(count, -12);
  double rate = 0;
  CFNumberGetValue((CFNumberRef)CFDictionaryGetValue(d, CFSTR("Rate")), kCFNumberFloat64Type, &rate);
  EXPECT_EQ(rate, 0.25);
  EXPECT_TRUE(CFBooleanGetValue((CFBooleanRef)CFDictionaryGetValue(d, CFSTR("On"))));
  EXPECT_FALSE(CFBooleanGetValue((CFBooleanRef)CFDictionaryGetValue(d, CFSTR("Off"))));
  CFDataRef blob = (CFDataRef)CFDictionaryGetValue(d, CFSTR("Blob"));
  ASSERT_EQ(CFDataGetLength(blob), 4);
  EXPECT_EQ(CFDataGetBytePtr(blob)[3], 0xFF);
  EXPECT_EQ(CFArrayGetCount((CFArrayRef)CFDictionaryGetValue(d, CFSTR("List"))), 3);
  EXPECT_EQ(UTF8((CFStringRef)CFDictionaryGetValue(d, CFSTR("Empty"))), "");
  CFRelease(plist);

  const std::string deep = std::string(100, '<').replace(0, 100, "") + [] {
    std::string s;
    for (int i = 0; i < 100; ++i) s += "<array>";
    for (int i = 0; i < 100; ++i) s += "</array>";
    return s;
  }();
  for (const std::string& bad :
       { std::string("<dict><key>a</key></dict>"), std::string("<dict><string>x</string></dict>"),
         std::string("<integer>12x</integer>"), std::string("<string>unclosed"), std::string("<string>a</string>junk"),
         std::string("<plist><true/>"), std::string("<date>2020</date>"), std::string("<string>&bogus;</string>"),
         std::string("<data>!!</data>"), std::string(""), deep })
    EXPECT_EQ(ParsePlist(bad), nullptr) << bad.substr(0, 60);
  EXPECT_EQ(CFTestLiveObjectCount(), live);
}

TEST(CFBundle, RegisteredFolderResourcesAndIdentifier)
{
  char tmpl[] = "/tmp/cfbundleXXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string root = std::string(tmpl) + "/Thing.component";
  ASSERT_EQ(mkdir(root.c_str(), 0755), 0);
  ASSERT_EQ(mkdir((root + "/Contents").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((root + "/Contents/Resources").c_str(), 0755), 0);
  WriteFile(root + "/Contents/Info.plist",
            "<plist><dict><key>CFBundleIdentifier</key><string>com.example.thing</string>"
            "<key>CFBundleExecutable</key><string>Thing.so</string></dict></plist>");
  WriteFile(root + "/Contents/Resources/bg.png", "x");

  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.thing")), nullptr);
  const long live = CFTestLiveObjectCount();  // the registered bundle itself is not counted
  CFURLRef url = FileURL(root, true);
  CFBundleRef bundle = CFBundleCreate(nullptr, url);
  ASSERT_NE(bundle, nullptr);
  EXPECT_EQ(CFBundleCreate(nullptr, url), bundle);
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.thing")), bundle);
  EXPECT_EQ(UTF8(CFBundleGetIdentifier(bundle)), "com.example.thing");

  CFURLRef bundleURL = CFBundleCopyBundleURL(bundle);
  EXPECT_EQ(PathOf(bundleURL), root);
  CFURLRef res = CFBundleCopyResourceURL(bundle, CFSTR("bg"), CFSTR("png"), nullptr);
  EXPECT_EQ(PathOf(res), root + "/Contents/Resources/bg.png");
  EXPECT_EQ(CFBundleCopyResourceURL(bundle, CFSTR("missing"), CFSTR("png"), nullptr), nullptr);
  EXPECT_EQ(CFBundleCopyResourceURL(bundle, CFSTR("../Info"), CFSTR("plist"), nullptr), nullptr);
  CFURLRef exe = CFBundleCopyExecutableURL(bundle);
  EXPECT_EQ(PathOf(exe), root + "/Contents/x86_64-linux/Thing.so");
  EXPECT_FALSE(CFBundleLoadExecutable(bundle));  // no module there
  EXPECT_EQ(CFBundleGetFunctionPointerForName(bundle, CFSTR("Entry")), nullptr);
  CFRelease(exe);
  CFRelease(res);
  CFRelease(bundleURL);
  CFRelease(url);
  EXPECT_EQ(CFTestLiveObjectCount(), live);

  CFURLRef nowhere = FileURL(std::string(tmpl) + "/none", true);
  EXPECT_EQ(CFBundleCreate(nullptr, nowhere), nullptr);
  CFRelease(nowhere);
  EXPECT_EQ(system(("rm -rf " + std::string(tmpl)).c_str()), 0);
}

TEST(CFBundle, MainBundleIsTheExecutablesFolder)
{
  CFBundleRef main = CFBundleGetMainBundle();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(CFBundleGetMainBundle(), main);
  char exe[1024];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
  ASSERT_GT(n, 0);
  exe[n] = 0;
  CFURLRef url = CFBundleCopyBundleURL(main);
  EXPECT_EQ(PathOf(url), std::string(exe).substr(0, std::string(exe).rfind('/')));
  CFRelease(url);
  CFURLRef exeURL = CFBundleCopyExecutableURL(main);
  EXPECT_EQ(PathOf(exeURL), exe);
  CFRelease(exeURL);

  CFTestSetMainBundleIdentifier("com.example.host");
  EXPECT_EQ(UTF8(CFBundleGetIdentifier(main)), "com.example.host");
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.host")), main);
  CFTestSetMainBundleIdentifier(nullptr);
  EXPECT_EQ(CFBundleGetIdentifier(main), nullptr);
}

// The probe module lives in its own bundle folder and carries its own copy of the subset.
TEST(CFBundle, ModuleFindsItsOwnBundleAndObjectsCrossModules)
{
  const std::string root = KV_PROBE_BUNDLE;
  CFURLRef url = FileURL(root, true);
  CFBundleRef probe = CFBundleCreate(nullptr, url);
  CFRelease(url);
  ASSERT_NE(probe, nullptr);
  auto pathFor = (void (*)(const char*, char*, long))CFBundleGetFunctionPointerForName(probe, CFSTR("ProbeBundlePathFor"));
  auto makeDict = (CFDictionaryRef(*)())CFBundleGetFunctionPointerForName(probe, CFSTR("ProbeMakeDictionary"));
  auto probeLive = (long (*)())CFBundleGetFunctionPointerForName(probe, CFSTR("ProbeLiveObjects"));
  ASSERT_TRUE(pathFor && makeDict && probeLive);
  EXPECT_TRUE(CFBundleIsExecutableLoaded(probe));
  // Only the entry points are exported.
  EXPECT_EQ(CFBundleGetFunctionPointerForName(probe, CFSTR("CFRetain")), nullptr);

  char found[1024];
  pathFor("com.example.cfprobe", found, sizeof(found));
  char real[1024];
  ASSERT_NE(realpath(root.c_str(), real), nullptr);
  EXPECT_STREQ(found, real);
  pathFor("com.example.unknown", found, sizeof(found));
  EXPECT_STREQ(found, "");

  const long probeBefore = probeLive();
  const long ownBefore = CFTestLiveObjectCount();
  CFDictionaryRef d = makeDict();
  EXPECT_EQ(probeLive(), probeBefore + 3);
  EXPECT_EQ(CFTestLiveObjectCount(), ownBefore);
  SInt32 answer = 0;
  EXPECT_TRUE(CFNumberGetValue((CFNumberRef)CFDictionaryGetValue(d, CFSTR("answer")), kCFNumberSInt32Type, &answer));
  EXPECT_EQ(answer, 42);
  EXPECT_EQ(UTF8((CFStringRef)CFDictionaryGetValue(d, CFSTR("name"))), "probe");
  CFRelease(d);  // released here, freed by the probe's own code
  EXPECT_EQ(probeLive(), probeBefore);
}
