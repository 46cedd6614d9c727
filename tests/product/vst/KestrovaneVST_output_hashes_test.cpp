// The bundle's output, sample for sample, against a committed table of hashes: every factory
// program with both topologies and Oversample off and on, and each program again in the stereo,
// sidechain and mono layouts through the float, double and accumulating calls. Work on the signal
// path's speed must leave the table as it is; a deliberate change of the sound regenerates it
// (KV_UPDATE_GOLDEN=1 writes tests/product/vst/golden/output_hashes.txt), reviewed like code.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "FakeVstHost.h"
#include "Kestrovane.h"
#include "VstModule.h"

namespace
{
constexpr int kFrames = 8192, kBlock = 512, kFactoryPrograms = 34;

// Loud and quiet passages, a stretch of silence, and sidechain bursts; every sample a float, so
// the float and double calls read the same input.
std::vector<std::vector<float>> TestSignal()
{
  std::vector<std::vector<float>> ch(4, std::vector<float>(kFrames));
  uint32_t noise = 12345;
  for (int s = 0; s < kFrames; ++s)
  {
    noise = noise * 1664525u + 1013904223u;
    const double n = ((noise >> 8) / 16777216.0 - 0.5) * 0.1;
    const double gain = s >= 5000 && s < 6000 ? 0.0 : (((s / 1500) % 2) ? 0.08 : 0.95);
    const double side = ((s / 700) % 3) ? 0.0 : 0.8;
    for (int c = 0; c < 4; ++c)
    {
      const double x = std::sin(0.013 * s * (c + 1)) + 0.3 * std::sin(0.17 * s) + n;
      ch[(size_t)c][(size_t)s] = (float)((c < 2 ? gain : side) * x * 0.7);
    }
  }
  return ch;
}

// FNV-1a over the samples' bytes.
struct Hash
{
  uint64_t h = 1469598103934665603ull;
  template <class T>
  void Add(const T* p, size_t n)
  {
    const unsigned char* b = (const unsigned char*)p;
    for (size_t i = 0; i < n * sizeof(T); ++i) h = (h ^ b[i]) * 1099511628211ull;
  }
  std::string Hex() const
  {
    char s[17];
    snprintf(s, sizeof(s), "%016llx", (unsigned long long)h);
    return s;
  }
};

enum ELayout { kStereo, kSidechain, kMono };
enum ECall { kDouble, kFloat, kAccumulate };
const char* const kLayoutNames[] = { "stereo", "sidechain", "mono" };
const char* const kCallNames[] = { "double", "float", "accumulate" };

class OutputHashes : public ::testing::Test
{
protected:
  void SetUp() override { ASSERT_TRUE(mModule.Loaded()) << mModule.Error(); }

  // The hash of the two outputs of one case, run in blocks as a host runs it.
  std::string Run(int program, int topology, int oversample, ELayout layout, ECall call)
  {
    AEffect* e = mModule.Create(FakeVstHost::Callback);
    if (!e) return "no effect";
    mHost.Adopt(e);
    e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    e->dispatcher(e, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
    VstSpeakerArrangement arr;
    memset(&arr, 0, sizeof(arr));
    arr.numChannels = layout == kMono ? 1 : layout == kStereo ? 2 : 4;
    e->dispatcher(e, effSetSpeakerArrangement, 0, (VstIntPtr)&arr, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    e->dispatcher(e, effSetProgram, 0, program, nullptr, 0.0f);
    if (topology >= 0) e->setParameter(e, Kestrovane::kTopology, (float)topology);
    if (oversample >= 0) e->setParameter(e, Kestrovane::kOversample, (float)oversample);
    if (layout == kSidechain) e->setParameter(e, Kestrovane::kSidechain, 1.0f);

    Hash hash;
    std::vector<float> fout[2] = { std::vector<float>(kBlock), std::vector<float>(kBlock) };
    std::vector<double> din[4], dout[2] = { std::vector<double>(kBlock), std::vector<double>(kBlock) };
    for (int start = 0; start < kFrames; start += kBlock)
    {
      float* fin[4];
      double* dinp[4];
      for (int c = 0; c < 4; ++c)
      {
        fin[c] = mSignal[(size_t)c].data() + start;
        din[c].assign(fin[c], fin[c] + kBlock);
        dinp[c] = din[c].data();
      }
      if (call == kDouble)
      {
        double* outs[2] = { dout[0].data(), dout[1].data() };
        e->processDoubleReplacing(e, dinp, outs, kBlock);
        for (auto& o : dout) hash.Add(o.data(), o.size());
      }
      else
      {
        for (int c = 0; c < 2; ++c)
          for (int s = 0; s < kBlock; ++s) fout[c][(size_t)s] = call == kAccumulate ? 0.25f * (float)(s - c) : 0.0f;
        float* outs[2] = { fout[0].data(), fout[1].data() };
        if (call == kFloat) e->processReplacing(e, fin, outs, kBlock);
        else e->process(e, fin, outs, kBlock);
        for (auto& o : fout) hash.Add(o.data(), o.size());
      }
    }
    mModule.Forget(e);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    return hash.Hex();
  }

  std::vector<std::vector<float>> mSignal = TestSignal();
  FakeVstHost mHost;
  VstModule mModule{ KV_KESTROVANE_VST };
};
}  // namespace

TEST_F(OutputHashes, EveryCaseMatchesTheCommittedTable)
{
  // "program topology oversample layout call" -> hash; -1 leaves the program's own setting.
  std::vector<std::pair<std::string, std::string>> got;
  auto add = [&](int p, int t, int o, ELayout l, ECall c) {
    std::ostringstream key;
    key << p << " " << t << " " << o << " " << kLayoutNames[l] << " " << kCallNames[c];
    got.emplace_back(key.str(), Run(p, t, o, l, c));
  };
  for (int p = 0; p < kFactoryPrograms; ++p)
  {
    for (int t : { 0, 1 })
      for (int o : { 0, 1 }) add(p, t, o, kSidechain, kDouble);
    add(p, -1, -1, kStereo, kFloat);
    add(p, -1, -1, kMono, kDouble);
    add(p, -1, -1, kSidechain, kAccumulate);
    add(p, -1, 1, kStereo, kFloat);
  }

  const std::string path = std::string(KV_GOLDEN_DIR) + "/output_hashes.txt";
  if (getenv("KV_UPDATE_GOLDEN"))
  {
    std::ofstream out(path);
    out << "# program topology oversample layout call hash (-1: the program's own setting)\n";
    for (const auto& [key, hash] : got) out << key << " " << hash << "\n";
    ASSERT_TRUE(out.good()) << path;
    return;
  }
  std::ifstream in(path);
  ASSERT_TRUE(in.good()) << path << " is missing";
  std::map<std::string, std::string> table;
  for (std::string line; std::getline(in, line);)
  {
    if (line.empty() || line[0] == '#') continue;
    const size_t sp = line.rfind(' ');
    table[line.substr(0, sp)] = line.substr(sp + 1);
  }
  EXPECT_EQ(table.size(), got.size());
  int differ = 0;
  for (const auto& [key, hash] : got)
  {
    const auto it = table.find(key);
    if (it == table.end() || it->second != hash)
    {
      ++differ;
      ADD_FAILURE() << "case " << key << ": output hash " << hash << ", table "
                    << (it == table.end() ? std::string("none") : it->second);
    }
    if (differ > 20) break;
  }
  // The cases differ from each other: the table would not notice a path that ignored a setting.
  std::map<std::string, int> distinct;
  for (const auto& [key, hash] : got) ++distinct[hash];
  EXPECT_GT(distinct.size(), got.size() / 2);
}
