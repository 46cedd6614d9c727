// kv-vsthost finds the product's factory programs by their full names, although the VST
// interface hands it names cut to 23 characters.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace
{
std::string RunHost(const std::string& args)
{
  const std::string cmd = std::string("'") + KV_VSTHOST + "' '" + KV_KESTROVANE_VST + "' -q " + args + " 2>&1";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r"))
  {
    char buf[512];
    while (fgets(buf, sizeof(buf), p)) out += buf;
    pclose(p);
  }
  return out;
}
}  // namespace

TEST(KvVstHostPrograms, FullNamesLongerThanTheInterfaceKeeps)
{
  const char* longNames[] = { "Buss - Drum Power 3 - Dark-n-British", "Buss - Drum Integration - Jazz Kit",
                              "Buss - Drum Power 4 - Electronic",     "QJ - That Cheap Thing You Had",
                              "2Buss - 2-inch in my cupboard",        "Buss - Tighter Backup Vocals",
                              "FX - Insert before reverb",            "2Buss - Density Increaser",
                              "2Buss - The Ambient Zone" };
  for (const char* name : longNames)
  {
    const std::string out = RunHost(std::string("--program '") + name + "' -b 512 --repeat 1");
    EXPECT_NE(out.find("Program: "), std::string::npos) << name << "\n" << out;
    EXPECT_NE(out.find("\"" + std::string(name).substr(0, 23) + "\""), std::string::npos) << name << "\n" << out;
  }
  EXPECT_NE(RunHost("--program 'Buss - Drum Power 9 - Nothing'").find("no program"), std::string::npos);
}
