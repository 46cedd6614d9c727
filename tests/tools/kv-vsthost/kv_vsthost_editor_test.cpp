// kv-vsthost --editor on a virtual X server: the plug-in's editor in a window of the tool's own,
// the edits a drag makes printed as they come, and clear failures without a display or an editor.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

// Reads the tool's lines until one begins with `prefix` (or the output ends).
std::string ReadUntil(FILE* p, const std::string& prefix)
{
  std::string out;
  char line[512];
  while (fgets(line, sizeof(line), p))
  {
    out += line;
    if (std::string(line).rfind(prefix, 0) == 0) break;
  }
  return out;
}

std::string ReadRest(FILE* p)
{
  std::string out;
  char line[512];
  while (fgets(line, sizeof(line), p)) out += line;
  return out;
}

// The sizes of the shown top-level windows, "300x200 " each.
std::string ShownWindowSizes(XTestDisplay& x)
{
  std::string sizes;
  xcb_connection_t* c = x.Connection();
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, x.Root()), nullptr);
  if (!tree) return sizes;
  const xcb_window_t* kids = xcb_query_tree_children(tree);
  for (int i = 0; i < xcb_query_tree_children_length(tree); ++i)
  {
    xcb_get_window_attributes_reply_t* attrs =
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, kids[i]), nullptr);
    xcb_get_geometry_reply_t* geo = xcb_get_geometry_reply(c, xcb_get_geometry(c, kids[i]), nullptr);
    if (attrs && geo && attrs->map_state == XCB_MAP_STATE_VIEWABLE)
      sizes += std::to_string(geo->width) + "x" + std::to_string(geo->height) + " ";
    free(attrs);
    free(geo);
  }
  free(tree);
  return sizes;
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

TEST(KvVstHostEditor, AnEditorThatReportsItsSizeOnlyOnceOpenGetsAWindowOfThatSize)
{
  XTestDisplay x;
  ASSERT_TRUE(x.Ready());
  FILE* p = popen(Command(KV_LATE_SIZE_VST_PLUG, "--editor-seconds 2").c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out = ReadUntil(p, "Editor: opened");
  EXPECT_NE(out.find("Editor: opened 300 x 200 in X11 window"), std::string::npos) << out;
  x.Sync();
  EXPECT_EQ(ShownWindowSizes(x), "300x200 ");
  out += ReadRest(p);
  EXPECT_EQ(Status(p), 0) << out;
  EXPECT_NE(out.find("Editor: closed after"), std::string::npos) << out;

  // One that never reports a size is refused, its editor closed again.
  p = popen(("KV_LATE_SIZE_NEVER=1 " + Command(KV_LATE_SIZE_VST_PLUG, "--editor-seconds 1")).c_str(), "r");
  out = ReadRest(p);
  EXPECT_EQ(Status(p), 2) << out;
  EXPECT_NE(out.find("the plug-in opened its editor but reports no size for it"), std::string::npos) << out;
}
