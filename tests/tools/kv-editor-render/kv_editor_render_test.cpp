// kv-editor-render run as a user runs it: a picture of the editor that is the same on every run,
// programs and parameters set as a host sets them, meters lighting their own bars only, the host's
// edits for drags, double-clicks and the wheel, and clear failures that write nothing.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "pix_loaders.h"

namespace
{
struct ToolRun
{
  int status = -1;
  std::string out;  // standard output and error, in order

  bool Has(const std::string& line) const { return ("\n" + out).find("\n" + line + "\n") != std::string::npos; }
  bool HasPrefix(const std::string& start) const { return ("\n" + out).find("\n" + start) != std::string::npos; }

  // The number a parameter's final display starts with ("Attack = 31.91 mS" gives 31.91).
  double Shown(const std::string& name) const
  {
    const size_t at = ("\n" + out).find("\n" + name + " = ");
    return at == std::string::npos ? -1.0e9 : strtod(out.c_str() + at + name.size() + 3, nullptr);
  }
};

// Files of this process's own, so that builds testing side by side do not meet; removed at exit.
struct ScratchFiles
{
  std::vector<std::string> mFiles, mFolders;
  ~ScratchFiles()
  {
    for (const std::string& f : mFiles) unlink(f.c_str());
    for (auto it = mFolders.rbegin(); it != mFolders.rend(); ++it) rmdir(it->c_str());
  }
} sScratch;

std::string TempPath(const char* name)
{
  std::string path = testing::TempDir() + "kv_render_" + std::to_string(getpid()) + "_" + name;
  sScratch.mFiles.push_back(path);
  return path;
}

std::string TempFolder(const std::string& path)
{
  mkdir(path.c_str(), 0755);
  sScratch.mFolders.push_back(path);
  return path;
}

ToolRun Render(const std::string& args)
{
  const std::string cmd = std::string("'") + KV_EDITOR_RENDER + "' " + args + " 2>&1";
  ToolRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[512];
  while (fgets(buf, sizeof(buf), p)) r.out += buf;
  const int s = pclose(p);
  r.status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
  return r;
}

std::string FileBytes(const std::string& path)
{
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path)
{
  return access(path.c_str(), F_OK) == 0;
}

struct Picture
{
  int width = 0, height = 0;
  std::vector<PIX_PixelValue> pixels;
  PIX_PixelValue At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

Picture Load(const std::string& path)
{
  Picture pic;
  std::unique_ptr<PIX_IBitmap> bm(PIX_LoadPNG(path.c_str(), nullptr));
  if (!bm) return pic;
  pic.width = bm->getWidth();
  pic.height = bm->getHeight();
  for (int y = 0; y < pic.height; ++y)
    for (int x = 0; x < pic.width; ++x) pic.pixels.push_back(bm->getBits()[y * bm->getRowSpan() + x]);
  return pic;
}

// Renders with the arguments into a picture of its own name; fails the test on a bad run.
Picture RenderPicture(const std::string& args, const char* name)
{
  const std::string png = TempPath(name);
  const ToolRun r = Render(args + " -o '" + png + "'");
  EXPECT_EQ(r.status, 0) << args << "\n" << r.out;
  return Load(png);
}

struct Rect
{
  int l, t, r, b;
  bool Holds(int x, int y) const { return x >= l && x < r && y >= t && y < b; }
};
}  // namespace

TEST(KvEditorRender, DefaultsGiveTheSamePictureOfTheEditorEveryRun)
{
  const std::string a = TempPath("a.png"), b = TempPath("b.png");
  const ToolRun r = Render("-o '" + a + "'");
  ASSERT_EQ(r.status, 0) << r.out;
  ASSERT_EQ(Render("--output '" + b + "'").status, 0);

  const std::string bytes = FileBytes(a);
  ASSERT_GT(bytes.size(), 33u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  EXPECT_EQ(bytes[25], 2) << "an RGB picture";
  EXPECT_EQ(bytes.find("tIME"), std::string::npos) << "no time chunk";
  EXPECT_EQ(bytes, FileBytes(b)) << "two runs of the same state give the same bytes";

  const Picture pic = Load(a);
  ASSERT_EQ(pic.width, 800);
  ASSERT_EQ(pic.height, 400);
  int distinct = 0;
  for (size_t i = 1; i < pic.pixels.size(); ++i) distinct += pic.pixels[i] != pic.pixels[0];
  EXPECT_GT(distinct, 100000) << "the editor was painted, not a blank window";

  // The host was told nothing, and every parameter is listed with its unit.
  EXPECT_TRUE(r.HasPrefix("Threshold = ")) << r.out;
  EXPECT_FALSE(r.HasPrefix("automate ")) << r.out;
  EXPECT_TRUE(r.Has("Attack = 20.00 mS")) << r.out;
  EXPECT_TRUE(r.Has("Auto Release = Off")) << r.out;
  EXPECT_TRUE(r.Has("Mode = I")) << r.out;
}

TEST(KvEditorRender, ProgramsAndParametersAreSetAsAHostSetsThem)
{
  const ToolRun byName = Render("--program 'just the basics' -o '" + TempPath("p1.png") + "'");
  const ToolRun byNumber = Render("--program 1 -o '" + TempPath("p2.png") + "'");
  ASSERT_EQ(byName.status, 0) << byName.out;
  ASSERT_EQ(byNumber.status, 0) << byNumber.out;
  EXPECT_EQ(byName.out, byNumber.out);
  EXPECT_TRUE(byName.Has("Attack = 12.00 mS")) << byName.out;
  EXPECT_DOUBLE_EQ(byName.Shown("Threshold"), -10.0) << byName.out;

  // Parameters come after the program, whatever the order on the command line.
  const ToolRun set = Render("-p Attack=5 --program 1 -p 'mode=III' --param Threshold=-20 -o '" +
                             TempPath("p3.png") + "'");
  ASSERT_EQ(set.status, 0) << set.out;
  EXPECT_TRUE(set.Has("Attack = 5.00 mS")) << set.out;
  EXPECT_TRUE(set.Has("Mode = III")) << set.out;
  EXPECT_DOUBLE_EQ(set.Shown("Threshold"), -20.0) << set.out;
  EXPECT_DOUBLE_EQ(set.Shown("Ratio"), 2.0) << "the program's ratio stays";
}

TEST(KvEditorRender, EachMeterLightsItsOwnBar)
{
  const Picture dark = RenderPicture("", "m0.png");
  const Picture lit = RenderPicture("--meter in=1 --meter GR=0.5", "m1.png");
  ASSERT_EQ(dark.pixels.size(), 800u * 400u);
  ASSERT_EQ(lit.pixels.size(), dark.pixels.size());
  const Rect in{ 291, 56, 531, 70 }, gr{ 291, 171, 531, 185 };
  int leftmostIn = 800, rightmostIn = 0, rightmostGr = 0;
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 800; ++x)
    {
      if (lit.At(x, y) == dark.At(x, y)) continue;
      ASSERT_TRUE(in.Holds(x, y) || gr.Holds(x, y)) << "changed outside the two meters at " << x << "," << y;
      if (in.Holds(x, y))
      {
        leftmostIn = std::min(leftmostIn, x);
        rightmostIn = std::max(rightmostIn, x);
      }
      else rightmostGr = std::max(rightmostGr, x);
    }
  EXPECT_LT(leftmostIn, 291 + 6) << "the input meter lit along its whole length";
  EXPECT_GT(rightmostIn, 531 - 6);
  EXPECT_NEAR(rightmostGr, 291 + 120, 12) << "the gain-reduction bar lit to half its length";
}

TEST(KvEditorRender, GesturesReachTheHostInOrder)
{
  const ToolRun up = Render("--drag Attack=30 -o '" + TempPath("g1.png") + "'");
  ASSERT_EQ(up.status, 0) << up.out;
  EXPECT_TRUE(up.HasPrefix("begin 4\nautomate 4 ")) << up.out;
  EXPECT_NE(up.out.find("\nend 4\n"), std::string::npos) << up.out;
  EXPECT_GT(up.Shown("Attack"), 20.0) << "dragging up raises Attack";

  const ToolRun down = Render("--drag Attack=-20 -o '" + TempPath("g2.png") + "'");
  ASSERT_EQ(down.status, 0) << down.out;
  EXPECT_LT(down.Shown("Attack"), 20.0) << down.out;

  const ToolRun dbl = Render("--dblclick Release -o '" + TempPath("g3.png") + "'");
  ASSERT_EQ(dbl.status, 0) << dbl.out;
  EXPECT_TRUE(dbl.Has("begin 15")) << dbl.out;
  EXPECT_TRUE(dbl.Has("end 15")) << dbl.out;
  EXPECT_TRUE(dbl.Has("Auto Release = Slow")) << dbl.out;

  const ToolRun wheel = Render("--wheel Ratio=3 --wheel Knee=-2 -o '" + TempPath("g4.png") + "'");
  ASSERT_EQ(wheel.status, 0) << wheel.out;
  EXPECT_GT(wheel.Shown("Ratio"), 2.0) << wheel.out;
  EXPECT_LT(wheel.Shown("Knee"), 3.0) << wheel.out;
  EXPECT_LT(wheel.out.find("automate 1 "), wheel.out.find("automate 7 ")) << "gestures run in the order given";

  // The picture shows the editor after the gestures.
  const Picture before = RenderPicture("", "g5.png");
  const Picture after = Load(TempPath("g1.png"));
  ASSERT_EQ(after.pixels.size(), before.pixels.size());
  EXPECT_NE(after.pixels, before.pixels);
}

TEST(KvEditorRender, BadRequestsFailClearlyAndWriteNothing)
{
  // A bundle that names the plug-in but carries none of its images.
  const std::string bare = TempFolder(TempPath("bare.vst"));
  TempFolder(bare + "/Contents");
  TempFolder(bare + "/Contents/Resources");
  sScratch.mFiles.push_back(bare + "/Contents/Info.plist");
  std::ofstream((bare + "/Contents/Info.plist").c_str())
    << "<plist><dict><key>CFBundleIdentifier</key><string>com.tarnquill.vst.Kestrovane</string></dict></plist>";

  const std::string png = TempPath("bad.png");
  const struct
  {
    std::string args, says;
  } bad[] = {
    { "-p Nope=1", "no parameter \"Nope\"" },
    { "-p Mode=Loud", "parameter \"Mode\" takes I, II, III, IV or Flat (or their numbers, 0 to 4), not \"Loud\"" },
    { "-p Attack", "Attack" },
    { "--program 'No Such Program'", "no program" },
    { "--program 999", "no program" },
    { "--meter in=2", "0 to 1" },
    { "--meter side=0.5", "in, out and gr" },
    { "--drag Attack", "Attack" },
    { "--drag Attack=1.5", "1.5" },
    { "--wheel Ratio=many", "many" },
    { "--dblclick Nothing", "no parameter \"Nothing\"" },
    { "--bogus", "unknown option --bogus" },
    { "--bundle /nonexistent/KestrovaneVST.vst", "no bundle" },
    { "--bundle '" + bare + "'", "images are missing" },
  };
  for (const auto& c : bad)
  {
    unlink(png.c_str());
    const ToolRun r = Render(c.args + " -o '" + png + "'");
    EXPECT_EQ(r.status, 2) << c.args << ": " << r.out;
    EXPECT_NE(r.out.find("kv-editor-render: "), std::string::npos) << c.args << ": " << r.out;
    EXPECT_NE(r.out.find(c.says), std::string::npos) << c.args << ": " << r.out;
    EXPECT_FALSE(Exists(png)) << c.args << " wrote a picture";
  }
  EXPECT_EQ(Render("").status, 2) << "no picture to write";
  const ToolRun noValue = Render("-o '" + png + "' --program");
  EXPECT_EQ(noValue.status, 2);
  EXPECT_NE(noValue.out.find("--program needs a value"), std::string::npos) << noValue.out;
  EXPECT_FALSE(Exists(png));
  const ToolRun unwritable = Render("-o /nonexistent/folder/editor.png");
  EXPECT_EQ(unwritable.status, 2) << unwritable.out;
  EXPECT_NE(unwritable.out.find("cannot write"), std::string::npos) << unwritable.out;
  EXPECT_FALSE(unwritable.HasPrefix("Threshold = ")) << "nothing is reported after a failure";
}
