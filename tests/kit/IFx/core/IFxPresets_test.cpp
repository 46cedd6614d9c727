#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "FakeGraphics.h"
#include "FakePlug.h"

namespace
{
enum { kGain = 0, kCount, kMode, kSwitch };

FakePlugConfig Presets(int n)
{
  FakePlugConfig c;
  c.nPresets = n;
  return c;
}

// Reads the values a preset holds by restoring it into the plug-in.
std::vector<double> PresetValues(FakePlug& plug, int idx)
{
  EXPECT_TRUE(plug.RestorePreset(idx));
  std::vector<double> v;
  for (int i = 0; i < plug.NParams(); ++i) v.push_back(plug.GetParam(i)->Value());
  return v;
}
}  // namespace

TEST(IFxPresets, NamedParamsFillTheNextSlotWithCurrentValuesForTheRest)
{
  FakePlug plug(Presets(4));
  InitFakeParams(&plug);
  plug.MakeDefaultPreset(nullptr, 1);
  // Int literals for the double parameter and a double for the int one both read correctly.
  plug.MakePresetFromNamedParams("Loud", 2, kGain, 6, kCount, 7.9);
  plug.MakePresetFromNamedParams("Modes", { { kMode, 3 }, { kSwitch, 0 } });
  EXPECT_STREQ(plug.GetPresetName(0), "Default");
  EXPECT_STREQ(plug.GetPresetName(1), "Loud");
  EXPECT_STREQ(plug.GetPresetName(2), "Modes");
  EXPECT_STREQ(plug.GetPresetName(3), "- 4 -");

  // The parameters themselves do not change while presets are made.
  EXPECT_EQ(plug.GetParam(kGain)->Value(), -6.0);
  EXPECT_EQ(PresetValues(plug, 1), std::vector<double>({ 6, 7, 1, 1 }));
  EXPECT_EQ(PresetValues(plug, 2), std::vector<double>({ -6, 3, 3, 0 }));  // the rest as they were when it was made
  EXPECT_EQ(PresetValues(plug, 0), std::vector<double>({ -6, 3, 1, 1 }));
}

TEST(IFxPresets, StoredValuesAreNotClampedButRestoringClamps)
{
  FakePlug plug(Presets(2));
  InitFakeParams(&plug);
  plug.MakePresetFromNamedParams("Out of range", 1, kGain, 100.0);
  plug.MakePreset("All", -1000.0, 3, 2, true);
  FakePlug probe(Presets(2));
  InitFakeParams(&probe);
  EXPECT_EQ(PresetValues(plug, 0)[kGain], 12.0);
  EXPECT_EQ(PresetValues(plug, 1), std::vector<double>({ -60, 3, 2, 1 }));
}

TEST(IFxPresets, SentinelValueMeansCurrent)
{
  FakePlug plug(Presets(1));
  InitFakeParams(&plug);
  plug.MakePresetFromNamedParams("S", 1, kGain, 9.999e-8);
  EXPECT_EQ(PresetValues(plug, 0)[kGain], -6.0);
}

TEST(IFxPresetsDeathTest, NamingAParameterOutOfRangeStopsWithThePinnedCheck)
{
  FakePlug plug(Presets(2));
  InitFakeParams(&plug);
  const char* kMessage = "paramIdx >= 0 && paramIdx < n.*kit/IFx/IFxBase.*470";
  EXPECT_DEATH(plug.MakePresetFromNamedParams("Bad", 1, 4, 1.0), kMessage);
  EXPECT_DEATH(plug.MakePresetFromNamedParams("Bad", 1, -1, 1.0), kMessage);
}

TEST(IFxPresets, MakersOnAFullTableDoNothing)
{
  FakePlug plug(Presets(1));
  InitFakeParams(&plug);
  plug.MakeDefaultPreset("A", 3);
  plug.MakePresetFromNamedParams("B", 1, 99, 1.0);  // not even checked: no slot left
  EXPECT_EQ(plug.NPresets(), 1);
  EXPECT_STREQ(plug.GetPresetName(0), "A");
}

TEST(IFxPresets, RestoreByIndexAndName)
{
  FakePlug plug(Presets(3));
  InitFakeParams(&plug);
  plug.MakePresetFromNamedParams("Low", 1, kGain, -40);
  plug.MakePresetFromNamedParams("High", 1, kGain, 10);
  plug.mLog.clear();
  EXPECT_TRUE(plug.RestorePreset("High"));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plug.GetParam(kGain)->Value(), 10.0);
  EXPECT_EQ(plug.mLog, std::vector<std::string>({ "change 0", "change 1", "change 2", "change 3" }));
  for (const char* bad : { "", "high", "Nope" }) EXPECT_FALSE(plug.RestorePreset(bad)) << bad;
  EXPECT_FALSE(plug.RestorePreset((const char*)nullptr));
  for (int bad : { -1, 3 }) EXPECT_FALSE(plug.RestorePreset(bad)) << bad;
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plug.GetParam(kGain)->Value(), 10.0);
}

TEST(IFxPresets, RestoringAnEmptySlotMakesTheNextUserPreset)
{
  FakePlug plug(Presets(5));
  InitFakeParams(&plug);
  plug.MakeDefaultPreset("user preset 1", 1);
  plug.MakeDefaultPreset("my user preset 2", 1);
  plug.GetParam(kGain)->Set(3.5);
  EXPECT_TRUE(plug.RestorePreset(3));
  EXPECT_STREQ(plug.GetPresetName(3), "user preset 3");
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 3);
  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(PresetValues(plug, 3)[kGain], 3.5);
}

TEST(IFxPresets, RestorePushesValuesToTheEditor)
{
  auto log = std::make_shared<std::vector<std::string>>();
  FakePlug plug(Presets(1));
  InitFakeParams(&plug);
  plug.MakeDefaultPreset();
  plug.AttachGraphics(new FakeGraphics(log));
  log->clear();
  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(*log, std::vector<std::string>({ "set 0 -6 plain", "set 1 3 plain", "set 2 1 plain", "set 3 1 plain" }));
}

TEST(IFxPresets, ModifyCurrentPreset)
{
  FakePlug plug(Presets(2));
  InitFakeParams(&plug);
  plug.MakeDefaultPreset("Keep", 1);
  plug.GetParam(kCount)->Set(9);
  plug.ModifyCurrentPreset("");
  EXPECT_STREQ(plug.GetPresetName(0), "Keep");
  plug.GetParam(kCount)->Set(1);
  EXPECT_EQ(PresetValues(plug, 0)[kCount], 9.0);
  plug.ModifyCurrentPreset("Renamed");
  EXPECT_STREQ(plug.GetPresetName(0), "Renamed");
}

TEST(IFxPresets, EnsureDefaultAndPrune)
{
  FakePlug empty(Presets(0));
  InitFakeParams(&empty);
  empty.EnsureDefaultPreset();
  ASSERT_EQ(empty.NPresets(), 1);
  EXPECT_STREQ(empty.GetPresetName(0), "Default");
  EXPECT_TRUE(empty.RestorePreset(0));

  FakePlug full(Presets(120));
  InitFakeParams(&full);
  full.EnsureDefaultPreset();
  EXPECT_EQ(full.NPresets(), 120);
  full.MakeDefaultPreset("A", 1);
  full.MakePresetFromNamedParams("B", 1, kGain, 0);
  full.PruneUninitializedPresets();
  ASSERT_EQ(full.NPresets(), 2);
  EXPECT_STREQ(full.GetPresetName(0), "A");
  EXPECT_STREQ(full.GetPresetName(1), "B");
}

TEST(IFxPresets, DumpPresetSourceCodeWritesEveryParameterOnce)
{
  FakePlug plug(Presets(1));
  InitFakeParams(&plug);
  const char* names[] = { "kGain", "kCount", "kMode", "kSwitch" };
  char path[] = "/tmp/kv_preset_dumpXXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_FALSE(plug.DumpPresetSrcCode("/nonexistent/dir/x.txt", names));
  EXPECT_TRUE(plug.DumpPresetSrcCode(path, names));
  EXPECT_FALSE(plug.DumpPresetSrcCode(path, names));  // once per process
  std::ifstream f(path);
  std::stringstream ss;
  ss << f.rdbuf();
  EXPECT_EQ(ss.str(), "  MakePresetFromNamedParams(\"name\", 4,\n    kGain, -6.00,\n    kCount, 3,\n    kMode, 1,\n    kSwitch, true);\n");
  unlink(path);
}
