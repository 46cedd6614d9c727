// The parameter state body, the preset bank, and the parameter flow between editor, host and
// product.

#include <gtest/gtest.h>

#include <cmath>

#include "FailingAllocator.h"
#include "FakeGraphics.h"
#include "FakePlug.h"

namespace
{
FakePlugConfig Sixteen()
{
  FakePlugConfig c;
  c.nParams = 16;
  c.nPresets = 4;
  return c;
}

void InitSixteen(FakePlug& plug)
{
  for (int i = 0; i < 16; ++i) plug.GetParam(i)->InitDouble("p", i * 1.5 - 3.0, -100, 100, 0.1, "");
}

std::string Hex(const ByteChunk& c)
{
  static const char* kDigits = "0123456789abcdef";
  std::string s;
  for (int i = 0; i < c.Size(); ++i)
  {
    s += kDigits[c.GetBytes()[i] >> 4];
    s += kDigits[c.GetBytes()[i] & 15];
  }
  return s;
}

void PutDoubles(ByteChunk& c, std::initializer_list<double> values)
{
  for (double v : values) c.Put(&v);
}

std::vector<double> Values(const FakePlug& plug)
{
  std::vector<double> v;
  for (int i = 0; i < plug.NParams(); ++i) v.push_back(plug.GetParam(i)->Value());
  return v;
}
}  // namespace

TEST(IFxState, SixteenParametersGiveThe128ByteGoldenBody)
{
  FakePlug plug(Sixteen());
  InitSixteen(plug);
  ByteChunk chunk;
  EXPECT_TRUE(plug.SerializeParams(&chunk));
  ASSERT_EQ(chunk.Size(), 128);
  // Little-endian IEEE doubles -3.0, -1.5, 0, 1.5 ... 19.5, as packed by an independent tool.
  EXPECT_EQ(Hex(chunk),
            "00000000000008c0000000000000f8bf0000000000000000000000000000f83f"
            "0000000000000840000000000000124000000000000018400000000000001e40"
            "0000000000002240000000000000254000000000000028400000000000002b40"
            "0000000000002e40000000000080304000000000000032400000000000803340");

  FakePlug other(Sixteen());
  for (int i = 0; i < 16; ++i) other.GetParam(i)->InitDouble("p", 0, -100, 100, 0.1, "");
  EXPECT_EQ(other.UnserializeParams(&chunk, 0), 128);
  EXPECT_EQ(Values(other), Values(plug));
  EXPECT_EQ(other.mLog.size(), 16u);
}

TEST(IFxState, MalformedBodiesChangeNothing)
{
  struct Case
  {
    const char* what;
    void (*build)(ByteChunk&);
    int startPos;
  };
  const Case cases[] = {
    { "empty", [](ByteChunk&) {}, 0 },
    { "12 bytes", [](ByteChunk& c) { c.Resize(12); }, 0 },
    { "one value short", [](ByteChunk& c) { c.Resize(120); }, 0 },
    { "negative start", [](ByteChunk& c) { c.Resize(128); }, -1 },
    { "start past the end", [](ByteChunk& c) { c.Resize(128); }, 200 },
    { "whole but offset too far", [](ByteChunk& c) { c.Resize(128); }, 8 },
    { "a NaN value", [](ByteChunk& c) { c.Resize(128); const double n = std::nan(""); memcpy(c.GetBytes() + 40, &n, 8); }, 0 },
  };
  for (const Case& k : cases)
  {
    FakePlug plug(Sixteen());
    InitSixteen(plug);
    const std::vector<double> before = Values(plug);
    ByteChunk chunk;
    k.build(chunk);
    EXPECT_EQ(plug.UnserializeParams(&chunk, k.startPos), -1) << k.what;
    EXPECT_EQ(Values(plug), before) << k.what;
    EXPECT_TRUE(plug.mLog.empty()) << k.what;
  }
}

TEST(IFxState, RestoredValuesAreClampedAndRoundedToTheirSteps)
{
  FakePlug plug;
  InitFakeParams(&plug);
  ByteChunk chunk;
  PutDoubles(chunk, { 1e9, 2.6, 2.5, 0.3 });
  EXPECT_EQ(plug.UnserializeParams(&chunk, 0), 32);
  EXPECT_EQ(Values(plug), std::vector<double>({ 12.0, 3.0, 3.0, 0.0 }));
  chunk.Clear();
  PutDoubles(chunk, { -INFINITY, -4, 9, 7 });
  EXPECT_EQ(plug.UnserializeParams(&chunk, 0), 32);
  EXPECT_EQ(Values(plug), std::vector<double>({ -60.0, 0.0, 3.0, 1.0 }));
}

TEST(IFxState, StateHooksDefaultToTheParameterBody)
{
  FakePlug a, b;
  InitFakeParams(&a);
  InitFakeParams(&b);
  a.GetParam(0)->Set(1.5);
  ByteChunk chunk;
  EXPECT_TRUE(a.SerializeState(&chunk));
  EXPECT_EQ(b.UnserializeState(&chunk, 0), 32);
  EXPECT_EQ(b.GetParam(0)->Value(), 1.5);
}

TEST(IFxState, SerializeReportsAFailedAppendAndLeavesTheChunk)
{
  FakePlug plug(Sixteen());
  InitSixteen(plug);
  ByteChunk chunk;
  chunk.Resize(3996);  // the values no longer fit the chunk's first block
  {
    FailingAllocator fail(0);
    EXPECT_FALSE(plug.SerializeParams(&chunk));
  }
  EXPECT_EQ(chunk.Size(), 3996);
  FakePlug none(FakePlugConfig{ 0, "1-1", 1, 0, 0 });
  ByteChunk empty;
  EXPECT_TRUE(none.SerializeParams(&empty));
}

TEST(IFxState, PresetBankRoundTrip)
{
  FakePlugConfig config;
  config.nPresets = 3;
  FakePlug a(config), b(config);
  InitFakeParams(&a);
  InitFakeParams(&b);
  a.MakePresetFromNamedParams("First", 1, 0, 1.0);
  a.MakePresetFromNamedParams("Second", 1, 1, 8);
  ByteChunk bank;
  EXPECT_TRUE(a.SerializePresets(&bank));
  // Name length, name, flag, body (32 bytes) for the two filled presets; the third is empty.
  EXPECT_EQ(bank.Size(), (4 + 5 + 1 + 32) + (4 + 6 + 1 + 32) + (4 + 5 + 1));
  EXPECT_EQ(b.UnserializePresets(&bank, 0), bank.Size());
  EXPECT_STREQ(b.GetPresetName(0), "First");
  EXPECT_STREQ(b.GetPresetName(1), "Second");
  EXPECT_STREQ(b.GetPresetName(2), "- 3 -");
  EXPECT_TRUE(b.RestorePreset(1));
  EXPECT_EQ(b.GetParam(1)->Value(), 8.0);
}

TEST(IFxState, PresetBankEmptyNameTakesThePreviousName)
{
  FakePlugConfig config;
  config.nPresets = 2;
  FakePlug plug(config);
  InitFakeParams(&plug);
  ByteChunk bank;
  bank.PutStr("Alpha");
  bank.PutBool(false);
  bank.PutStr("");
  bank.PutBool(false);
  EXPECT_EQ(plug.UnserializePresets(&bank, 0), bank.Size());
  EXPECT_STREQ(plug.GetPresetName(1), "Alpha");
}

TEST(IFxState, MalformedPresetBanksApplyOnlyWhatValidated)
{
  struct Case
  {
    const char* what;
    void (*build)(ByteChunk&);
    const char* name0;  // an unread current preset is then restored, and so named as a user preset
    const char* name1;
    double value0;      // parameter 0 after the restore of the current preset
  };
  const Case cases[] = {
    { "truncated second body", [](ByteChunk& c) {
        c.PutStr("Good"); c.PutBool(true); for (double v : { 2.0, 1.0, 1.0, 1.0 }) c.Put(&v);
        c.PutStr("Cut"); c.PutBool(true); const double v = 5.0; c.Put(&v); },
      "Good", "- 2 -", 2.0 },
    { "name longer than the chunk", [](ByteChunk& c) { const int32_t n = 1000; c.Put(&n); c.PutStr("x"); },
      "user preset 1", "- 2 -", -6.0 },
    { "negative name length", [](ByteChunk& c) { const int32_t n = -5; c.Put(&n); c.PutBool(true); },
      "user preset 1", "- 2 -", -6.0 },
    { "missing flag", [](ByteChunk& c) { c.PutStr("NoFlag"); }, "user preset 1", "- 2 -", -6.0 },
    { "NaN in a body", [](ByteChunk& c) {
        c.PutStr("Bad"); c.PutBool(true); for (double v : { std::nan(""), 1.0, 1.0, 1.0 }) c.Put(&v); },
      "user preset 1", "- 2 -", -6.0 },
  };
  for (const Case& k : cases)
  {
    FakePlugConfig config;
    config.nPresets = 2;
    FakePlug plug(config);
    InitFakeParams(&plug);
    ByteChunk bank;
    k.build(bank);
    EXPECT_EQ(plug.UnserializePresets(&bank, 0), -1) << k.what;
    EXPECT_STREQ(plug.GetPresetName(0), k.name0) << k.what;
    EXPECT_STREQ(plug.GetPresetName(1), k.name1) << k.what;
    EXPECT_EQ(plug.GetParam(0)->Value(), k.value0) << k.what;
  }
}

TEST(IFxState, PresetBankNamesAreBounded)
{
  FakePlugConfig config;
  config.nPresets = 1;
  FakePlug plug(config);
  InitFakeParams(&plug);
  ByteChunk bank;
  bank.PutStr(std::string(5000, 'n').c_str());
  bank.PutBool(true);
  for (double v : { 0.0, 1.0, 1.0, 1.0 }) bank.Put(&v);
  EXPECT_EQ(plug.UnserializePresets(&bank, 0), bank.Size());
  EXPECT_EQ(strlen(plug.GetPresetName(0)), (size_t)IPreset::kNameLen - 1);
}

TEST(IFxParameterFlow, EditorChangeSetsInformsAndNotifiesUnderTheMutex)
{
  FakePlug plug;
  InitFakeParams(&plug);
  plug.SetParameterFromGUI(2, 0.7);
  EXPECT_EQ(plug.mLog, std::vector<std::string>({ "inform 2 0.7", "change 2" }));
  EXPECT_EQ(plug.GetParam(2)->Value(), 2.0);  // 0.7 * 3 rounded
  EXPECT_GE(plug.mLockCountSeen, 0);          // the product's handler ran inside the mutex
  EXPECT_EQ(plug.GetMutex()->LockCount(), -1);

  plug.mLog.clear();
  plug.SetParameterFromGUI(2, std::nan(""));
  plug.SetParameterFromGUI(9, 0.5);
  EXPECT_TRUE(plug.mLog.empty());
  plug.SetParameterFromGUI(0, 1.5);
  EXPECT_EQ(plug.mLog.front(), "inform 0 1");
  EXPECT_EQ(plug.GetParam(0)->Value(), 12.0);
}

TEST(IFxParameterFlow, AttachGraphicsPushesNormalisedValuesThenPrepares)
{
  auto log = std::make_shared<std::vector<std::string>>();
  FakePlug plug;
  InitFakeParams(&plug);
  plug.AttachGraphics(nullptr);
  EXPECT_EQ(plug.GetGUI(), nullptr);
  FakeGraphics* g = new FakeGraphics(log);
  plug.AttachGraphics(g);
  EXPECT_EQ(plug.GetGUI(), g);
  // Gain -6 of -60..12 with shape 2: sqrt(54 / 72).
  char expected0[64];
  snprintf(expected0, sizeof(expected0), "set 0 %g norm", std::sqrt(54.0 / 72.0));
  EXPECT_EQ(*log, std::vector<std::string>({ expected0, "set 1 0.3 norm", "set 2 0.333333 norm", "set 3 1 norm", "prepdraw" }));

  log->clear();
  plug.RedrawParamControls();
  EXPECT_EQ(*log, std::vector<std::string>({ "set 0 -6 plain", "set 1 3 plain", "set 2 1 plain", "set 3 1 plain" }));
  plug.mLog.clear();
  plug.OnParamReset();
  EXPECT_EQ(plug.mLog, std::vector<std::string>({ "change 0", "change 1", "change 2", "change 3" }));
}
