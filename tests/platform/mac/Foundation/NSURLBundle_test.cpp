#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <Foundation/Foundation.h>

#include <Foundation/testkit.h>

namespace
{
void WriteFile(const std::string& path, const std::string& text)
{
  FILE* f = fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr) << path;
  fputs(text.c_str(), f);
  fclose(f);
}

NSString* Str(const char* s)
{
  return NSString::stringWithUTF8String(s);
}
}  // namespace

TEST(NSURL, ValidAndInvalidText)
{
  FoundationTestKit::DrainImplicitPool();
  const long base = FoundationTestKit::LiveObjectCount();
  struct Case
  {
    const char* text;
    bool valid;
    bool file;
    const char* path;  // for file URLs
  } cases[] = {
    {"https://example.com/manual.html", true, false, nullptr},
    {"mailto:someone@example.com", true, false, nullptr},
    {"file:///tmp/a%20b/c.pdf", true, true, "/tmp/a b/c.pdf"},
    {"no scheme", false, false, nullptr},
    {"", false, false, nullptr},
    {"http://a b", false, false, nullptr},
    {"1http://x", false, false, nullptr},
    {"http://tab\there", false, false, nullptr},
  };
  for (const Case& c : cases)
  {
    NSURL* url = NSURL::URLWithString(Str(c.text));
    if (!c.valid)
    {
      EXPECT_EQ(url, nil) << c.text;
      continue;
    }
    ASSERT_NE(url, nil) << c.text;
    EXPECT_EQ(url->absoluteString()->str(), c.text);
    EXPECT_EQ((bool)url->isFileURL(), c.file) << c.text;
    if (c.file)
      EXPECT_EQ(url->path()->str(), c.path);
    else
      EXPECT_EQ(url->path(), nil) << c.text;
  }
  EXPECT_EQ(NSURL::URLWithString(nil), nil);
  FoundationTestKit::DrainImplicitPool();
  EXPECT_EQ(FoundationTestKit::LiveObjectCount(), base);
}

TEST(NSURL, FileURLsFromPaths)
{
  NSURL* url = NSURL::fileURLWithPath(Str("/tmp/x y/readme.txt"));
  ASSERT_NE(url, nil);
  EXPECT_EQ(url->absoluteString()->str(), "file:///tmp/x%20y/readme.txt");
  EXPECT_TRUE(url->isFileURL());
  EXPECT_EQ(url->path()->str(), "/tmp/x y/readme.txt");
  // An existing folder is a directory URL.
  EXPECT_EQ(NSURL::fileURLWithPath(Str("/tmp"))->absoluteString()->str(), "file:///tmp/");
  char cwd[1024];
  ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
  EXPECT_EQ(NSURL::fileURLWithPath(Str("sub/file"))->path()->str(), std::string(cwd) + "/sub/file");
  EXPECT_EQ(NSURL::fileURLWithPath(Str("")), nil);
  EXPECT_EQ(NSURL::fileURLWithPath(nil), nil);
  FoundationTestKit::DrainImplicitPool();
}

TEST(NSBundle, ResourcesOfARegisteredBundleFolder)
{
  char tmpl[] = "/tmp/nsbundleXXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string root = std::string(tmpl) + "/Thing.vst";
  // Bundles stay registered for the process: a name of its own for each run of the test.
  const std::string identifier = "com.example.nsthing." + std::string(tmpl).substr(std::string(tmpl).size() - 6);
  NSString* identifierText = (new NSString)->initWithUTF8String(identifier.c_str());
  ASSERT_EQ(mkdir(root.c_str(), 0755), 0);
  ASSERT_EQ(mkdir((root + "/Contents").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((root + "/Contents/Resources").c_str(), 0755), 0);
  WriteFile(root + "/Contents/Info.plist",
            "<plist><dict><key>CFBundleIdentifier</key><string>" + identifier +
              "</string><key>CFBundleExecutable</key><string>Thing.so</string></dict></plist>");
  WriteFile(root + "/Contents/Resources/knob.png", "x");
  WriteFile(root + "/Contents/Resources/README", "x");

  EXPECT_EQ(NSBundle::bundleWithIdentifier(identifierText), nil);
  CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, (const UInt8*)root.data(), (CFIndex)root.size(), true);
  ASSERT_NE(CFBundleCreate(nullptr, url), nullptr);
  CFRelease(url);

  FoundationTestKit::DrainImplicitPool();
  const long base = FoundationTestKit::LiveObjectCount();
  NSBundle* bundle = NSBundle::bundleWithIdentifier(identifierText);
  ASSERT_NE(bundle, nil);
  EXPECT_EQ(NSBundle::bundleWithIdentifier(Str(identifier.c_str())), bundle);
  EXPECT_EQ(bundle->bundleIdentifier()->str(), identifier);
  EXPECT_EQ(bundle->bundlePath()->str(), root);
  EXPECT_EQ(bundle->executablePath()->str(), root + "/Contents/x86_64-linux/Thing.so");

  struct Case
  {
    const char* name;
    NSString* ext;
    const char* found;  // under Resources, or null
  } cases[] = {
    {"knob", NSSTR("png"), "knob.png"},
    {"knob", NSSTR("jpg"), nullptr},
    {"missing", NSSTR("png"), nullptr},
    {"README", nil, "README"},
    {"README", NSSTR(""), "README"},
    {"../Info", NSSTR("plist"), nullptr},
  };
  for (const Case& c : cases)
  {
    NSString* path = bundle->pathForResource(Str(c.name), c.ext);
    if (c.found)
    {
      ASSERT_NE(path, nil) << c.name;
      EXPECT_EQ(path->str(), root + "/Contents/Resources/" + c.found);
    }
    else
    {
      EXPECT_EQ(path, nil) << c.name;
    }
  }
  EXPECT_EQ(bundle->pathForResource(nil, NSSTR("png")), nil);
  FoundationTestKit::DrainImplicitPool();
  EXPECT_EQ(FoundationTestKit::LiveObjectCount(), base);  // the bundle object is immortal
  identifierText->release();

  EXPECT_EQ(NSBundle::bundleWithIdentifier(NSSTR("com.example.unknown")), nil);
  EXPECT_EQ(NSBundle::bundleWithIdentifier(nil), nil);
  EXPECT_EQ(system(("rm -rf " + std::string(tmpl)).c_str()), 0);
}

TEST(NSBundle, MainBundleIsTheExecutablesFolder)
{
  NSBundle* main = NSBundle::mainBundle();
  ASSERT_NE(main, nil);
  EXPECT_EQ(NSBundle::mainBundle(), main);
  char exe[1024];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
  ASSERT_GT(n, 0);
  exe[n] = 0;
  EXPECT_EQ(main->executablePath()->str(), exe);
  EXPECT_EQ(main->bundlePath()->str(), NSString::stringWithUTF8String(exe)->stringByDeletingLastPathComponent()->str());
  EXPECT_EQ(main->bundleIdentifier(), nil);
  FoundationTestKit::DrainImplicitPool();
}
