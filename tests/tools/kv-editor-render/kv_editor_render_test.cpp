// kv-editor-render run as a user runs it: a picture of the editor, the host's edits for a drag and
// a double-click, and a clear failure that writes nothing.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "pix_loaders.h"

namespace
{
struct ToolRun
{
  int status;
  std::string out;
};

ToolRun Render(const std::string& args)
{
  const std::string cmd = std::string("'") + KV_EDITOR_RENDER + "' " + args + " 2>&1";
  ToolRun r{ -1, "" };
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[512];
  while (fgets(buf, sizeof(buf), p)) r.out += buf;
  const int s = pclose(p);
  r.status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
  return r;
}

std::string Picture(const char* name)
{
  return testing::TempDir() + name;
}

bool Has(const std::string& out, const std::string& line)
{
  return out.find(line + "\n") != std::string::npos;
}
}  // namespace

TEST(KvEditorRender, DefaultsGiveAPictureOfTheEditor)
{
  const std::string png = Picture("kv_render_default.png");
  const ToolRun r = Render("-o '" + png + "'");
  ASSERT_EQ(r.status, 0) << r.out;
  std::unique_ptr<PIX_IBitmap> bm(PIX_LoadPNG(png.c_str(), nullptr));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bm->getWidth(), 800);
  EXPECT_EQ(bm->getHeight(), 400);
  EXPECT_TRUE(Has(r.out, "Attack = 20.00 mS")) << r.out;
  EXPECT_TRUE(Has(r.out, "Auto Release = Off ")) << r.out;
}

TEST(KvEditorRender, GesturesReachTheHost)
{
  const ToolRun drag = Render("--drag Attack=30 -o '" + Picture("kv_render_drag.png") + "'");
  ASSERT_EQ(drag.status, 0) << drag.out;
  EXPECT_TRUE(Has(drag.out, "begin 4"));
  EXPECT_NE(drag.out.find("automate 4 "), std::string::npos);
  EXPECT_TRUE(Has(drag.out, "end 4"));
  EXPECT_EQ(drag.out.find("Attack = 20.00 mS"), std::string::npos) << "the drag changed Attack";

  const ToolRun dbl = Render("--dblclick Release -p Release=300 -o '" + Picture("kv_render_dbl.png") + "'");
  ASSERT_EQ(dbl.status, 0) << dbl.out;
  EXPECT_TRUE(Has(dbl.out, "begin 15"));
  EXPECT_TRUE(Has(dbl.out, "end 15"));
  EXPECT_TRUE(Has(dbl.out, "Auto Release = Slow ")) << dbl.out;
}

TEST(KvEditorRender, BadRequestsFailAndWriteNothing)
{
  const char* bad[] = { "-p Nope=1", "-p Mode=Loud", "--program 'No Such Program'", "--meter in=2", "--drag Attack",
                        "--bogus", "--dblclick Nothing" };
  for (const char* args : bad)
  {
    const std::string png = Picture("kv_render_bad.png");
    unlink(png.c_str());
    const ToolRun r = Render(std::string(args) + " -o '" + png + "'");
    EXPECT_EQ(r.status, 2) << args << ": " << r.out;
    EXPECT_NE(r.out.find("kv-editor-render: "), std::string::npos) << args;
    EXPECT_NE(access(png.c_str(), F_OK), 0) << args << " wrote a picture";
  }
  EXPECT_EQ(Render("").status, 2) << "no output given";
}
