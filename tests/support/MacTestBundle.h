#pragma once
// A plug-in bundle folder for editor tests and benchmarks, made and registered once a process.

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include <CoreFoundation/CoreFoundation.h>

#include "TestImages.h"
#include "kit/pix/image_fixtures.h"

inline constexpr const char* kTestEditorBundleID = "com.tarnquill.test.editor";

// Removes a scratch folder with everything in it when the process ends.
struct ScratchFolder
{
  std::string mPath;
  ~ScratchFolder()
  {
    nftw(mPath.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); }, 8,
         FTW_DEPTH | FTW_PHYS);
  }
};

// A bundle folder "<tmp>/KvTestEditor.vst" made and registered once a process, with
// Resources/bg.png (800 x 400), knob.jpg (16 x 16), sub.png (2 x 2) and broken.png (not an image).
inline const std::string& TestEditorBundlePath()
{
  static ScratchFolder scratch;
  static const std::string path = [] {
    char tmpl[] = "/tmp/kv_mac_editor_XXXXXX";
    scratch.mPath = mkdtemp(tmpl);
    const std::string root = scratch.mPath + "/KvTestEditor.vst";
    mkdir(root.c_str(), 0755);
    mkdir((root + "/Contents").c_str(), 0755);
    mkdir((root + "/Contents/Resources").c_str(), 0755);
    FILE* f = fopen((root + "/Contents/Info.plist").c_str(), "w");
    fprintf(f, "<plist><dict><key>CFBundleIdentifier</key><string>%s</string>"
               "<key>CFBundleExecutable</key><string>KvTestEditor</string></dict></plist>",
            kTestEditorBundleID);
    fclose(f);
    const std::string res = root + "/Contents/Resources/";
    PIX_MemBitmap* bg = MakeTestOpaque(800, 400);
    WriteTestPng(res + "bg.png", bg);
    delete bg;
    PIX_MemBitmap* small = MakeTestOpaque(2, 2, 9);
    WriteTestPng(res + "sub.png", small);
    delete small;
    fixtures::WriteJpeg(res + "knob.jpg", 16, 16, 3, std::vector<unsigned char>(16 * 16 * 3, 128));
    f = fopen((res + "broken.png").c_str(), "w");
    fputs("not a png", f);
    fclose(f);
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, (const UInt8*)root.c_str(),
                                                           (CFIndex)root.size(), true);
    CFBundleCreate(nullptr, url);
    CFRelease(url);
    return root;
  }();
  return path;
}

