// The product's identity, parameters, presets and parameter reactions.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "DspTestUtil.h"
#include "KestrovaneHarness.h"
#include "reference/ReferenceFigures.h"

using K = Kestrovane;

TEST(KestrovaneIdentity, NamesCodesVersionAndLayouts)
{
  Kestrovane k{ IFxInstanceInfo() };
  EXPECT_STREQ(k.GetEffectName(), "Kestrovane Buss Compressor");
  EXPECT_STREQ(k.GetProductName(), "");
  EXPECT_STREQ(k.GetMfrName(), "Tarnquill Audio");
  EXPECT_EQ(k.GetEffectVersion(false), 0x00020000);
  EXPECT_EQ(k.GetEffectVersion(true), 20000);
  EXPECT_EQ(k.GetUniqueID(), ('a' << 24) | ('k' << 16) | ('5' << 8) | 'c');
  EXPECT_EQ(k.GetMfrID(), ('K' << 24) | ('v' << 16) | ('r' << 8) | 'n');
  EXPECT_EQ(k.GetLatency(), 0);
  EXPECT_FALSE(k.DoesStateChunks());
  EXPECT_FALSE(k.IsInst());
  EXPECT_EQ(k.NParams(), 16);
  EXPECT_EQ(k.NPresets(), 120);

  const int layouts[][2] = { { 1, 1 }, { 2, 1 }, { 2, 2 }, { 3, 2 }, { 4, 2 } };
  ASSERT_EQ(k.NChannelIO(), 5);
  for (int i = 0; i < 5; ++i)
  {
    int nIn, nOut;
    k.GetChannelIO(i, &nIn, &nOut);
    EXPECT_EQ(nIn, layouts[i][0]);
    EXPECT_EQ(nOut, layouts[i][1]);
  }
  EXPECT_EQ(k.NInChannels(), 4);
  EXPECT_EQ(k.NOutChannels(), 2);
  EXPECT_TRUE(k.LegalIO(2, 2));
  EXPECT_FALSE(k.LegalIO(3, 1));
  EXPECT_TRUE(k.LegalIO(1, -1));
  EXPECT_FALSE(k.LegalIO(5, -1));
  // Run as in a host: every channel connected, 1024-frame blocks.
  EXPECT_EQ(k.GetBlockSize(), 1024);
  for (int c = 0; c < 4; ++c) EXPECT_TRUE(k.IsInChannelConnected(c));
}

TEST(KestrovaneParams, TableOfParameters)
{
  struct Row { const char* name; IParam::EValueKind kind; double def, min, max, step; const char* label; double shape; };
  const Row rows[] = {
    { "Threshold", IParam::kTypeDouble, 0, -60, 0, 0.1, "dB", 0.5 },
    { "Ratio", IParam::kTypeDouble, 2, 1, 20, 0.01, ":1", 1.5 },
    { "Range", IParam::kTypeDouble, -40, -40, 0, 0.1, "dB", 0.5 },
    { "Compensation", IParam::kTypeDouble, 0, -20, 20, 0.1, "dB", 1 },
    { "Attack", IParam::kTypeDouble, 20, 0.01, 100, 0.01, "mS", 1.5 },
    { "Release", IParam::kTypeDouble, 200, 1, 2000, 0.1, "mS", 1.5 },
    { "RMS Size", IParam::kTypeDouble, 20, 0.1, 300, 0.1, "mS", 1.7 },
    { "Knee", IParam::kTypeDouble, 3, 0, 20, 0.1, "dB", 1.7 },
    { "Parallel", IParam::kTypeDouble, 0, 0, 100, 0.01, "%", 1 },
    { "Mode", IParam::kTypeEnum, 0, 0, 4, 1, "", 1 },
    { "Topology", IParam::kTypeEnum, 0, 0, 1, 1, "", 1 },
    { "Sag", IParam::kTypeDouble, 0, 0, 100, 0.01, "%", 1 },
    { "Drive", IParam::kTypeDouble, 0, 0, 100, 0.01, "%", 1 },
    { "Oversample", IParam::kTypeEnum, 0, 0, 1, 1, "", 1 },
    { "Sidechain", IParam::kTypeEnum, 0, 0, 1, 1, "", 1 },
    { "Auto Release", IParam::kTypeEnum, 0, 0, 3, 1, "", 1 },
  };
  Kestrovane k{ IFxInstanceInfo() };
  for (int i = 0; i < 16; ++i)
  {
    const IParam* p = k.GetParam(i);
    const Row& r = rows[i];
    SCOPED_TRACE(r.name);
    EXPECT_STREQ(p->GetNameForHost(), r.name);
    EXPECT_EQ(p->Type(), r.kind);
    EXPECT_EQ(p->Value(), r.def);
    EXPECT_EQ(p->GetMin(), r.min);
    EXPECT_EQ(p->GetMax(), r.max);
    EXPECT_EQ(p->GetStep(), r.step);
    EXPECT_STREQ(p->GetLabelForHost(), r.label);
    EXPECT_EQ(p->GetShape(), r.shape);
  }

  const std::pair<int, std::vector<std::string>> texts[] = {
    { K::kMode, { "I", "II", "III", "IV", "Flat" } },
    { K::kTopology, { "Feedforward", "Feedback" } },
    { K::kOversample, { "Off", "On" } },
    { K::kSidechain, { "Off", "On" } },
    { K::kAutoRelease, { "Off", "Slow", "Fast", "Zorl" } },
  };
  for (const auto& t : texts)
  {
    const IParam* p = k.GetParam(t.first);
    ASSERT_EQ(p->GetNDisplayTexts(), (int)t.second.size());
    for (int v = 0; v < (int)t.second.size(); ++v)
    {
      char s[64];
      p->GetDisplayForHost((double)v, false, s);
      EXPECT_EQ(std::string(s), t.second[(size_t)v]);
    }
  }
  char s[64];
  k.GetParam(K::kAttack)->GetDisplayForHost(1.44, false, s);
  EXPECT_STREQ(s, "1.44");
  k.GetParam(K::kThreshold)->GetDisplayForHost(-16.0, false, s);
  EXPECT_STREQ(s, "-16.0");
}

namespace
{
// The factory presets as published: name | Thr | Ratio | Range | Comp | Att | Rel | RMS | Knee | Mode
// | Topo | Sag | Drive | AutoRel. Parallel, Oversample and Sidechain are 0 except where noted.
const char* const kPresetTable = R"(
| "Just the basics" | -10 | 2 | -5 | 0 | 12 | 200 | 30 | 2 | 0 | 0 | 14 | 0 | 0 |
| "2Buss - General" | -16 | 2 | -40 | -3 | 1.44 | 22.7 | 20 | 3 | 0 | 0 | 3.8 | 30.5 | 2 |
| "2Buss - Attack Rider" | -16 | 2 | -40 | 3 | 3.08 | 55.9 | 36 | 3 | 0 | 0 | 0.7 | 28 | 2 |
| "2Buss - Density Increaser" | -16 | 2 | -40 | 3 | 6.05 | 93.6 | 36 | 3 | 1 | 0 | 15.4 | 28 | 2 |
| "2Buss - Glue it up" | -16 | 2 | -40 | 3 | 9.91 | 156.2 | 36 | 3 | 1 | 0 | 63.5 | 75.4 | 2 |
| "2Buss - 2-inch in my cupboard" | -16 | 1.04 | -15.1 | 2 | 1.98 | 49.7 | 36 | 3 | 1 | 0 | 100 | 88 | 0 |
| "2Buss - Peak Control 1" | -16 | 4 | -15.1 | 2 | 3.08 | 15.8 | 13 | 0.5 | 1 | 0 | 0 | 94.3 | 1 |
| "2Buss - Peak Control 2" | -16 | 4 | -15.1 | 2 | 0.23 | 7.1 | 13 | 0.5 | 1 | 0 | 0 | 94.3 | 1 |
| "2Buss - Peak Control 3" | -16 | 4 | -15.1 | 2 | 0.01 | 1 | 13 | 0.5 | 1 | 0 | 0 | 94.3 | 1 |
| "2Buss - Unfair Child" | -16 | 3 | -40 | 5 | 0.01 | 1 | 250 | 8 | 1 | 0 | 14 | 94 | 1 |
| "2Buss - The Ambient Zone" | -20 | 1.86 | -40 | 6.4 | 17.48 | 635.4 | 91.1 | 3.6 | 4 | 0 | 14 | 94 | 0 |
| "2Buss - Tech Rider" | -9.9 | 1.1 | -1 | 2 | 57.44 | 616.5 | 16 | 1.5 | 4 | 0 | 0 | 0 | 2 |
| "2Buss - Final Cut" | -9.6 | 4.83 | -4.9 | 5.3 | 57.44 | 1338.6 | 38.3 | 1.5 | 1 | 0 | 0 | 78.26 | 2 |
| "Buss - String Ensemble" | -20.1 | 2 | -40 | 3 | 27.79 | 332.9 | 142.7 | 3 | 0 | 0 | 89.8 | 20.5 | 0 |
| "Buss - Solid Synths" | -18 | 4 | -40 | 2 | 16.11 | 104.6 | 12.8 | 5 | 1 | 0 | 0 | 70 | 0 |
| "Buss - Drum Power 1" | -11.9 | 2 | -40 | 2.9 | 0.89 | 20.7 | 21.3 | 0.9 | 2 | 0 | 0 | 70 | 0 |
| "Buss - Drum Power 2" | -11.2 | 4.15 | -40 | 3.8 | 3.66 | 95.8 | 11 | 0 | 2 | 0 | 11.7 | 74.7 | 0 |
| "Buss - Drum Power 3 - Dark-n-British" | -11.6 | 5.28 | -40 | 3 | 0.31 | 178.5 | 35.4 | 0 | 2 | 1 | 42.3 | 85.7 | 0 |
| "Buss - Drum Power 4 - Electronic" | -7 | 9 | -8.1 | 4 | 0.01 | 4.3 | 35.4 | 0 | 3 | 0 | 0 | 12 | 2 |
| "Buss - Drum Integration - Jazz Kit" | -14 | 3.83 | -40 | 3 | 20.54 | 558.8 | 35.4 | 8.3 | 2 | 0 | 73.6 | 6 | 0 |
| "Buss - Lush Piano" | -20 | 11.07 | -40 | 3 | 20.54 | 310 | 82.8 | 3.3 | 0 | 0 | 0 | 30.3 | 0 |
| "Buss - Bass Glue" | -9.5 | 4.03 | -40 | 1.5 | 1.3 | 1350 | 35.4 | 2.1 | 3 | 1 | 80.43 | 96.74 | 0 |
| "Buss - Backup Vocals" | -19.7 | 1.98 | -40 | 4 | 25.78 | 167.9 | 35.4 | 0 | 1 | 0 | 17.39 | 31.57 | 0 |
| "Buss - Tighter Backup Vocals" | -20 | 2 | -40 | 4 | 6.77 | 31.9 | 35.4 | 0 | 1 | 0 | 4 | 8.8 | 0 |
| "FX - Insert before reverb" | -10.1 | 2 | -17.7 | 5.5 | 6.77 | 31.9 | 30.9 | 3.3 | 3 | 0 | 25.7 | 0 | 2 |
| "QJ - Subtle 80s Hi-end" | -14.2 | 3 | -40 | 2.5 | 10 | 333 | 0.1 | 1.6 | 2 | 0 | 0 | 15.13 | 0 |
| "QJ - Cohesion Zorl" | -15 | 4.01 | -40 | 1.5 | 33.46 | 193.4 | 60.1 | 2 | 0 | 1 | 3 | 30 | 3 |
| "QJ - Mild Adhesive" | -12.3 | 4.01 | -40 | 0.8 | 6.77 | 170.5 | 24.9 | 1.3 | 0 | 0 | 27.17 | 15.3 | 0 |
| "QJ - Mojo Zorl" | -13.8 | 6.01 | -40 | 1.5 | 33.46 | 193.4 | 18.2 | 0 | 1 | 1 | 12 | 58 | 3 |
| "QJ - Subtle Saturation" | -10.2 | 4.1 | -40 | 0 | 0.01 | 1 | 6 | 0 | 1 | 1 | 38.04 | 80.3 | 0 |
| "QJ - Facehammer" | -17.4 | 4.01 | -40 | 3.6 | 6.41 | 1 | 10.2 | 1.3 | 1 | 0 | 28.26 | 21.22 | 0 |
| "QJ - Lip Gloss Zorl" | -12.2 | 2.02 | -40 | 1.2 | 18.62 | 90.4 | 10.4 | 1.3 | 2 | 0 | 8 | 31 | 3 |
| "QJ - That Cheap Thing You Had" | -12.3 | 4.01 | -40 | 4.6 | 17.94 | 200.3 | 9.4 | 0 | 3 | 0 | 100 | 81.52 | 0 |
)";

struct PublishedPreset
{
  std::string name;
  double values[16];
};

// Reads the table: the columns give indices 0-7, 9-13 and 15 (Parallel, Oversample and Sidechain 0).
std::vector<PublishedPreset> ParsePresetTable()
{
  const int columns[] = { K::kThreshold, K::kRatio, K::kRange, K::kCompensation, K::kAttack, K::kRelease, K::kRMSSize,
                          K::kKnee, K::kMode, K::kTopology, K::kSag, K::kDrive, K::kAutoRelease };
  std::vector<PublishedPreset> out;
  std::istringstream lines(kPresetTable);
  std::string line;
  while (std::getline(lines, line))
  {
    if (line.size() < 3) continue;
    PublishedPreset p{};
    const size_t q1 = line.find('"'), q2 = line.find('"', q1 + 1);
    p.name = line.substr(q1 + 1, q2 - q1 - 1);
    std::istringstream cells(line.substr(q2 + 1));
    std::string bar;
    for (int col : columns)
    {
      cells >> bar >> p.values[col];
    }
    if (p.name == "Buss - Lush Piano") p.values[K::kParallel] = 34.78;
    out.push_back(p);
  }
  return out;
}
}  // namespace

TEST(KestrovanePresets, DefaultThenTheThirtyThreeFactoryPresetsThenEmptySlots)
{
  const std::vector<PublishedPreset> table = ParsePresetTable();
  ASSERT_EQ(table.size(), 33u);

  Kestrovane k{ IFxInstanceInfo() };
  double defaults[16];
  for (int i = 0; i < 16; ++i) defaults[i] = k.GetParam(i)->Value();

  EXPECT_STREQ(k.GetPresetName(0), "Default");
  ASSERT_TRUE(k.RestorePreset(0));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(k.GetParam(i)->Value(), defaults[i]) << i;

  for (size_t n = 0; n < table.size(); ++n)
  {
    const int slot = (int)n + 1;
    SCOPED_TRACE(table[n].name);
    EXPECT_EQ(std::string(k.GetPresetName(slot)), table[n].name);
    ASSERT_TRUE(k.RestorePreset(slot));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(k.GetParam(i)->Value(), table[n].values[i]) << k.GetParam(i)->GetNameForHost();
  }
  for (int slot = 34; slot < 120; ++slot)
  {
    char name[16];
    snprintf(name, sizeof name, "- %d -", slot + 1);
    EXPECT_STREQ(k.GetPresetName(slot), name);
  }
  k.PruneUninitializedPresets();
  EXPECT_EQ(k.NPresets(), 34);
}

TEST(KestrovanePresets, RestoringAPresetReachesTheSignalPath)
{
  Kestrovane k{ IFxInstanceInfo() };
  ASSERT_TRUE(k.RestorePreset("2Buss - General"));
  EXPECT_EQ(k.GetCompressor().getAttack(), 1.44);
  EXPECT_EQ(k.GetCompressor().getRelease(), 22.7);
  EXPECT_EQ(k.GetCompressor().getRatio(), 2.0);
  EXPECT_EQ(k.GetCompressor().getWindow(), 20.0);
  ASSERT_TRUE(k.RestorePreset("QJ - Cohesion Zorl"));
  EXPECT_TRUE(k.GetCompressor().getInstant());
  ASSERT_TRUE(k.RestorePreset("Just the basics"));
  EXPECT_FALSE(k.GetCompressor().getInstant());
  EXPECT_EQ(k.GetCompressor().getRelease(), 200.0);
}

TEST(KestrovaneParams, ModeSetsTheSharedShelvesOnlyForModesIAndII)
{
  KestrovaneHarness h;
  const Kestrovane& k = *h.plug;
  auto check = [&](double lowFreq, double lowGain, double lowS, double highFreq, double highGain, double highS) {
    const biquadfilter& lo = k.GetFilter(K::kModeLowShelf);
    const biquadfilter& hi = k.GetFilter(K::kModeHighShelf);
    EXPECT_EQ(lo.GetFreq(), lowFreq);
    EXPECT_EQ(lo.GetGain(), lowGain);
    EXPECT_EQ(lo.GetS(), lowS);
    EXPECT_EQ(hi.GetFreq(), highFreq);
    EXPECT_EQ(hi.GetGain(), highGain);
    EXPECT_EQ(hi.GetS(), highS);
    EXPECT_EQ(lo.GetType(), kLowShelf);
    EXPECT_EQ(hi.GetType(), kHighShelf);
  };
  check(20.0, -19.0, 0.1, 20000.0, 19.0, 0.1);  // mode I from the start
  // Q follows from the gain set just before S.
  EXPECT_CLOSE(k.GetFilter(K::kModeLowShelf).GetQ(), ref::kShelfQs[0].q);
  EXPECT_CLOSE(k.GetFilter(K::kModeHighShelf).GetQ(), ref::kShelfQs[1].q);
  h.Set(K::kMode, 1);
  check(100.0, -14.0, 0.4, 12000.0, 16.0, 0.4);
  EXPECT_CLOSE(k.GetFilter(K::kModeLowShelf).GetQ(), ref::kShelfQs[2].q);
  EXPECT_CLOSE(k.GetFilter(K::kModeHighShelf).GetQ(), ref::kShelfQs[3].q);
  for (int m : { 2, 3, 4 })
  {
    h.Set(K::kMode, m);
    check(100.0, -14.0, 0.4, 12000.0, 16.0, 0.4);
  }
  // The other shelves keep their constructor settings.
  const std::pair<K::EFilter, int> fixed[] = { { K::kModeIIILowShelf, 4 }, { K::kModeIIIHighShelf, 5 }, { K::kModeIVLowShelf, 6 } };
  for (const auto& f : fixed)
  {
    const ref::ShelfQ& q = ref::kShelfQs[f.second];
    EXPECT_EQ(k.GetFilter(f.first).GetGain(), q.gain);
    EXPECT_CLOSE(k.GetFilter(f.first).GetQ(), q.q);
  }
  EXPECT_EQ(k.GetFilter(K::kModeIIILowShelf).GetFreq(), 40.0);
  EXPECT_EQ(k.GetFilter(K::kModeIIIHighShelf).GetFreq(), 8000.0);
  EXPECT_EQ(k.GetFilter(K::kModeIVLowShelf).GetFreq(), 20.0);
}

TEST(KestrovaneParams, OversampleMovesTheDetectorRatesAndKeepsTheTimes)
{
  KestrovaneHarness h;
  const Kestrovane& k = *h.plug;
  auto rates = [&](double detector) {
    EXPECT_EQ(k.GetCompressor().getSampleRate(), detector);
    for (K::EFilter f : { K::kModeLowShelf, K::kModeHighShelf, K::kModeIIILowShelf, K::kModeIIIHighShelf, K::kModeIVLowShelf })
      EXPECT_EQ(k.GetFilter(f).GetSampleRate(), (long)detector);
    EXPECT_EQ(k.GetEnvelope(K::kAutoReleaseFollower).getSampleRate(), detector);
    EXPECT_EQ(k.GetEnvelope(K::kGainReductionMeterEnvelope).getSampleRate(), detector);
    EXPECT_EQ(k.GetEnvelope(K::kInputMeterEnvelope).getSampleRate(), 44100.0);
    EXPECT_EQ(k.GetEnvelope(K::kOutputMeterEnvelope).getSampleRate(), 44100.0);
    for (K::EFilter f : { K::kOversampleInLowPass, K::kOversampleOutLowPass, K::kDetectorLowPass1, K::kDetectorLowPass2 })
      EXPECT_EQ(k.GetFilter(f).GetSampleRate(), 176400);
  };
  rates(44100.0);
  h.Set(K::kOversample, 1);
  rates(176400.0);
  EXPECT_EQ(k.GetCompressor().getAttack(), 20.0);
  EXPECT_EQ(k.GetCompressor().getRelease(), 200.0);
  EXPECT_EQ(k.GetCompressor().getWindow(), 20.0);
  EXPECT_CLOSE(k.GetCompressor().getAttackCoef(), std::exp(-1000.0 / (20.0 * 176400.0)));
  h.Set(K::kOversample, 0);
  rates(44100.0);

  // A new sample rate takes effect with the reset the wrapper runs after it.
  h.plug->SetSampleRate(48000.0);
  h.plug->Reset();
  EXPECT_EQ(k.GetCompressor().getSampleRate(), 48000.0);
  for (K::EFilter f : { K::kOversampleInLowPass, K::kOversampleOutLowPass, K::kDetectorLowPass1, K::kDetectorLowPass2 })
    EXPECT_EQ(k.GetFilter(f).GetSampleRate(), 192000);
  EXPECT_EQ(k.GetFilter(K::kOversampleInLowPass).GetFreq(), 24000.0);
  EXPECT_EQ(k.GetFilter(K::kDetectorLowPass1).GetFreq(), 21000.0);
  EXPECT_NEAR(k.GetFilter(K::kDetectorLowPass2).GetQ(), 0.7071067811865476, 1e-15);
}

TEST(KestrovaneParams, EnumeratedParametersReadAsTheNearestInteger)
{
  // A host can leave a value between two steps; it selects the nearer step instead of none.
  KestrovaneHarness h;
  const struct { int idx; double value; int read; } cases[] = {
    { K::kTopology, 0.5, 1 }, { K::kTopology, 0.49, 0 }, { K::kOversample, 0.6, 1 }, { K::kMode, 1.4, 1 },
    { K::kMode, 3.5, 4 }, { K::kSidechain, 0.5, 1 }, { K::kAutoRelease, 2.5, 3 }, { K::kAutoRelease, 0.2, 0 },
  };
  for (const auto& c : cases)
  {
    h.Set(c.idx, c.value);
    EXPECT_EQ(h.plug->EnumParam(c.idx), c.read) << c.idx << " " << c.value;
  }
  h.Set(K::kAutoRelease, 2.6);
  EXPECT_TRUE(h.plug->GetCompressor().getInstant());
  h.Set(K::kOversample, 0.7);
  EXPECT_EQ(h.plug->GetCompressor().getSampleRate(), 176400.0);
  h.Set(K::kMode, 0.3);
  EXPECT_EQ(h.plug->GetFilter(K::kModeLowShelf).GetFreq(), 20.0);
}

TEST(KestrovaneParams, TopologyBetweenStepsProcessesAsTheNearestStep)
{
  // The feedback path with "Topology" at 0.5 sounds exactly as at 1, not frozen on its last feed.
  auto run = [](double topology) {
    KestrovaneHarness h;
    h.Configure({ { K::kThreshold, -30.0 }, { K::kRatio, 8.0 }, { K::kTopology, topology } });
    h.Run(3000, [](int n) {
      const double x = 0.8 * std::sin(0.05 * n);
      return KestrovaneHarness::Frame{ x, x, 0.0, 0.0 };
    });
    return h.out[0];
  };
  const std::vector<double> half = run(0.5), one = run(1.0), zero = run(0.0);
  EXPECT_EQ(half, one);
  EXPECT_NE(half, zero);
}

TEST(KestrovaneParams, SagAndDriveSwitchTheirShapers)
{
  // At 0 the shaper is off and the sample passes bit for bit; at 0.01 it is on, very gently.
  const double x = ref::kShaperCases[4].x;
  for (double drive : { 0.0, 0.01 })
  {
    KestrovaneHarness h;
    h.Configure({ { K::kRatio, 1.0 }, { K::kDrive, drive } });
    h.RunDc(1, x);
    if (drive == 0.0)
    {
      EXPECT_EQ(h.out[0][0], x);
    }
    else
    {
      EXPECT_CLOSE(h.out[0][0], ref::kShaperCases[4].driven);
    }
  }
}

TEST(KestrovaneParams, AutoReleaseOffRestoresTheReleaseTime)
{
  KestrovaneHarness h;
  const simpledyn::SimpleCompRms& comp = h.plug->GetCompressor();
  h.Configure({ { K::kThreshold, -40.0 }, { K::kRatio, 20.0 }, { K::kRange, -20.0 }, { K::kRelease, 500.0 },
                { K::kMode, K::kModeFlat }, { K::kAutoRelease, K::kAutoReleaseSlow } });
  h.RunDc(4000, 0.5);
  EXPECT_EQ(comp.getRelease(), 40.0);  // 2 x 20 dB of reduction
  h.Set(K::kAutoRelease, K::kAutoReleaseOff);
  EXPECT_EQ(comp.getRelease(), 500.0);
  EXPECT_CLOSE(comp.getReleaseCoef(), std::exp(-1000.0 / (500.0 * 44100.0)));
  h.Set(K::kAutoRelease, K::kAutoReleaseZorl);
  EXPECT_TRUE(comp.getInstant());
  h.Set(K::kRange, -30.0);  // deeper reduction: a new peak sets the release again
  h.RunDc(12000, 0.5);
  EXPECT_EQ(comp.getRelease(), 24.0);  // 0.8 x 30 dB
  h.Set(K::kAutoRelease, K::kAutoReleaseOff);
  EXPECT_FALSE(comp.getInstant());
  EXPECT_EQ(comp.getRelease(), 500.0);
}

TEST(KestrovaneParams, ResetReturnsRunningStateAndSmoothedValuesToTheParameters)
{
  KestrovaneHarness h;
  h.Configure({ { K::kThreshold, -30.0 }, { K::kRatio, 4.0 }, { K::kAutoRelease, 1 } });
  h.RunDc(2000, 0.7);
  h.Set(K::kThreshold, -10.0);
  h.Set(K::kParallel, 40.0);
  EXPECT_LT(h.plug->GetCompressor().getGRdb(), -1.0);
  EXPECT_GT(h.plug->GetEnvelopeState(K::kInputMeterEnvelope), 0.5);
  h.plug->Reset();
  const Kestrovane& k = *h.plug;
  EXPECT_EQ(k.GetCompressor().getEnvdB(), 1e-15);
  EXPECT_EQ(k.GetCompressor().getAveOfSqrs(), 1e-15);
  for (int e = 0; e < K::kNumEnvelopes; ++e) EXPECT_EQ(k.GetEnvelopeState((K::EEnvelope)e), 0.0) << e;
  EXPECT_EQ(k.GetCompressor().getThresh(), -10.0);
  EXPECT_EQ(k.GetParallelMix(), 0.4);
  EXPECT_EQ(k.GetCompressor().getRange(), 40.0);
  EXPECT_EQ(k.GetCompressor().getKnee(), 3.0);
}
