// kv-vsthost --editor on a virtual X server: the plug-in's editor in a window of the tool's own,
// the edits a drag makes printed as they come, and clear failures without a display or an editor.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

#include "XTestDisplay.h"

namespace
{
std::string Command(const std::string& plugin, const std::string& args)
{
  return std::string("'") + KV_VSTHOST + "' '" + plugin + "' -q " + args + " 2>&1";
}

int Status(FILE* p)
{
  const int s = pclose(p);
  return WIFEXITED(s) ? WEXITSTATUS(s) : -1;
}
}  // namespace

TEST(KvVstHostEditor, TheEditorRunsInAWindowAndEditsArePrinted)
{
  XTestDisplay x;
  ASSERT_TRUE(x.Ready());
  FILE* p = popen(Command(KV_KESTROVANE_VST, "--editor-seconds 3").c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  char line[512];
  while (fgets(line, sizeof(line), p))
  {
    out += line;
    if (std::string(line).rfind("Editor: opened 800 x 400", 0) == 0) break;
  }
  ASSERT_NE(out.find("Editor: opened 800 x 400"), std::string::npos) << out;
  // The tool's window sits at the top left of the screen: drag the Attack knob up.
  x.MoveTo(311, 275);
  usleep(100000);
  x.Press(1);
  for (int dy = 3; dy <= 24; dy += 3)
  {
    usleep(40000);
    x.MoveTo(311, 275 - dy);
  }
  usleep(100000);
  x.Release(1);
  while (fgets(line, sizeof(line), p)) out += line;
  EXPECT_EQ(Status(p), 0) << out;
  EXPECT_NE(out.find("Edit: begin 4"), std::string::npos) << out;
  EXPECT_NE(out.find("Edit: automate 4 "), std::string::npos) << out;
  EXPECT_NE(out.find("Edit: end 4"), std::string::npos) << out;
  EXPECT_NE(out.find("Editor: closed after"), std::string::npos) << out;
}

TEST(KvVstHostEditor, NoDisplayOrNoEditorFailsClearly)
{
  {
    XTestDisplay x;
    ASSERT_TRUE(x.Ready());
    FILE* p = popen(Command(KV_TEST_VST_PLUG, "--editor-seconds 1").c_str(), "r");
    std::string out;
    char line[512];
    while (fgets(line, sizeof(line), p)) out += line;
    EXPECT_EQ(Status(p), 2);
    EXPECT_NE(out.find("has no editor"), std::string::npos) << out;
  }
  FILE* p = popen(("env -u DISPLAY " + Command(KV_KESTROVANE_VST, "--editor-seconds 1")).c_str(), "r");
  std::string out;
  char line[512];
  while (fgets(line, sizeof(line), p)) out += line;
  EXPECT_EQ(Status(p), 2);
  EXPECT_NE(out.find("no X display"), std::string::npos) << out;
}
