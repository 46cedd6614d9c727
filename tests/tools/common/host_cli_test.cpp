#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_cli.h"

TEST(HostCli, SharedOptionsAreTakenAndOthersLeft)
{
  std::vector<std::string> args = { "host", "plug.so", "-i", "in.wav", "--block", "128", "-p", "Ratio=4", "-p", "Mode=II",
                                     "--format", "pcm24", "--repeat", "3", "-q", "--list-properties" };
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  kvtool::HostOptions o;
  std::vector<std::string> left;
  for (int i = 1; i < (int)argv.size(); ++i)
    if (!kvtool::ParseSharedOption("test", (int)argv.size(), argv.data(), &i, &o)) left.push_back(argv[(size_t)i]);
  EXPECT_EQ(o.plugin, "plug.so");
  EXPECT_EQ(o.input, "in.wav");
  EXPECT_EQ(o.block, 128);
  EXPECT_EQ(o.params, (std::vector<std::string>{ "Ratio=4", "Mode=II" }));
  EXPECT_EQ(o.format, kvtool::SampleFormat::kPcm24);
  EXPECT_EQ(o.repeat, 3);
  EXPECT_TRUE(o.quiet);
  // A host's own option comes back to it.
  EXPECT_EQ(left, std::vector<std::string>{ "--list-properties" });
}

TEST(HostCli, ProgramsByNumberOrName)
{
  const std::vector<std::string> names = { "Default", "2Buss - General", "Drum Power" };
  EXPECT_EQ(kvtool::FindProgram(names, "1"), 1);
  EXPECT_EQ(kvtool::FindProgram(names, "drum power"), 2);
  EXPECT_EQ(kvtool::FindProgram(names, "3"), -1);
  EXPECT_EQ(kvtool::FindProgram(names, "-1"), -1);
  EXPECT_EQ(kvtool::FindProgram(names, "Nothing"), -1);
}

TEST(HostCli, ProgramsByNamesAHostCut)
{
  // Names as a host interface that keeps 10 characters hands them back.
  const std::vector<std::string> names = { "Short", "Drum Power", "Vocal Bus ", "Vocal Bus ", "Glue It Up" };
  const struct
  {
    const char* which;
    int want;
  } cases[] = {
    { "Drum Power 3 - Dark", 1 },  // cut to "Drum Power"
    { "drum power 3", 1 },
    { "Drum Power", 1 },           // whole
    { "Short and more", -1 },      // "Short" was not cut: it is not a beginning
    { "Vocal Bus Lead", -1 },      // two programs begin that way
    { "Glue It", -1 },             // shorter than the cut
    { "Glue It Up Hard", 4 },
  };
  for (const auto& c : cases) EXPECT_EQ(kvtool::FindProgram(names, c.which, 10), c.want) << c.which;
  EXPECT_EQ(kvtool::FindProgram(names, "Drum Power 3 - Dark"), -1) << "without a cut length, whole names only";
}
