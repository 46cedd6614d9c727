// State chunks through get-chunk and set-chunk: the header, bank and program rules, and the
// malformed or lying input a host may hand over.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "FailingAllocator.h"
#include "FakeVstHost.h"
#include "VstModule.h"
#include "VstTestPlug.h"

namespace
{
typedef std::vector<unsigned char> Bytes;

Bytes Header(int32_t magic = 0x70666674, int32_t version = 0x00010000)
{
  Bytes b(8);
  memcpy(b.data(), &magic, 4);
  memcpy(b.data() + 4, &version, 4);
  return b;
}

Bytes operator+(Bytes a, const Bytes& b)
{
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Body(std::vector<double> values)
{
  Bytes b(values.size() * 8);
  memcpy(b.data(), values.data(), b.size());
  return b;
}

Bytes Cut(Bytes b, size_t n)
{
  b.resize(n);
  return b;
}

class VstChunkTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mEffect = Make();
    // Live values that differ from what the current preset ("Default") stores.
    mEffect->setParameter(mEffect, 0, 1.0f);  // Gain 12
    mEffect->setParameter(mEffect, 1, 0.5f);  // Count 5
  }
  void TearDown() override
  {
    for (AEffect* e : mOpen) Dispatch(e, effClose);
  }

  AEffect* Make(bool doesChunks = false)
  {
    IFxInstanceInfo info;
    info.mVSTHostCallback = FakeVstHost::Callback;
    VstTestPlugConfig config;
    config.doesChunks = doesChunks;
    VstTestPlug* pPlug = new VstTestPlug(info, config);
    mOpen.push_back(pPlug->GetAEffect());
    return pPlug->GetAEffect();
  }
  static VstTestPlug* Plug(AEffect* e) { return (VstTestPlug*)(IFxVST*)e->object; }

  std::vector<double> Values(AEffect* e) const
  {
    std::vector<double> v;
    for (int i = 0; i < 4; ++i) v.push_back(Plug(e)->GetParam(i)->Value());
    return v;
  }
  // The values the current preset stores, read by restoring it into a scratch copy of the state.
  std::vector<double> StoredValues(AEffect* e) const
  {
    const std::vector<double> live = Values(e);
    Plug(e)->RestorePreset(Plug(e)->GetCurrentPresetIdx());
    const std::vector<double> stored = Values(e);
    for (int i = 0; i < 4; ++i) Plug(e)->GetParam(i)->Set(live[(size_t)i]);
    return stored;
  }

  Bytes GetChunk(AEffect* e, bool bank)
  {
    void* pData = nullptr;
    const VstIntPtr n = Dispatch(e, effGetChunk, bank ? 0 : 1, 0, &pData);
    const unsigned char* p = (const unsigned char*)pData;
    return n > 0 ? Bytes(p, p + n) : Bytes();
  }

  AEffect* mEffect = nullptr;
  std::vector<AEffect*> mOpen;
  FakeVstHost mHost;
};
}  // namespace

TEST_F(VstChunkTest, GetChunkIsTheHeaderThenTheState)
{
  for (bool bank : { false, true })
  {
    const Bytes chunk = GetChunk(mEffect, bank);
    ASSERT_EQ(chunk.size(), 40u);
    EXPECT_EQ(Cut(chunk, 8), (Bytes{ 0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00 }));
    EXPECT_EQ(chunk, Header() + Body({ 12.0, 5.0, 1.0, 1.0 }));
  }
  // Round trip into a second instance, as a program and as a bank.
  for (int kind : { 1, 0 })
  {
    AEffect* other = Make();
    Bytes chunk = GetChunk(mEffect, kind == 0);
    EXPECT_EQ(Dispatch(other, effSetChunk, kind, (VstIntPtr)chunk.size(), chunk.data()), 1);
    EXPECT_EQ(Values(other), Values(mEffect));
  }
  EXPECT_EQ(Dispatch(mEffect, effGetChunk, 0, 0, nullptr), 0);
}

TEST_F(VstChunkTest, BankGetChunkStoresTheCurrentPreset)
{
  EXPECT_EQ(StoredValues(mEffect), (std::vector<double>{ -6.0, 3.0, 1.0, 1.0 }));
  GetChunk(mEffect, false);
  EXPECT_EQ(StoredValues(mEffect)[0], -6.0) << "a program chunk leaves the preset alone";
  GetChunk(mEffect, true);
  EXPECT_EQ(StoredValues(mEffect), Values(mEffect));
}

// Every chunk that cannot be loaded whole is refused and changes nothing: neither the live values
// nor the current preset's stored ones.
TEST_F(VstChunkTest, MalformedSetChunksChangeNothing)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Bytes good = Header() + Body({ 1.0, 2.0, 3.0, 0.0 });
  const struct
  {
    const char* what;
    Bytes bytes;
    VstIntPtr count;  // -1 here means: the size of the bytes
  } cases[] = {
    { "no bytes", {}, -1 },
    { "magic only", Header(), 4 },
    { "magic and half a version", Cut(Header(), 7), -1 },
    { "header only", Header(), -1 },
    { "body short by a byte", Cut(good, 39), -1 },
    { "bare body short by a value", Body({ 1.0, 2.0, 3.0 }), -1 },
    { "a value that is not a number", Header() + Body({ 1.0, nan, 3.0, 0.0 }), -1 },
    { "a count below zero", good, (VstIntPtr)-40 },
    { "a count beyond int", good, (VstIntPtr)1 << 40 },
    { "a count of one byte", good, 1 },
  };
  const std::vector<double> live = Values(mEffect), stored = StoredValues(mEffect);
  for (const auto& c : cases)
    for (int kind : { 0, 1 })
    {
      // A buffer of exactly the given size, so a read past it is caught by the sanitizer build.
      std::unique_ptr<unsigned char[]> exact(new unsigned char[c.bytes.size() + 1]);
      if (!c.bytes.empty()) memcpy(exact.get(), c.bytes.data(), c.bytes.size());
      const VstIntPtr count = c.count == -1 ? (VstIntPtr)c.bytes.size() : c.count;
      EXPECT_EQ(Dispatch(mEffect, effSetChunk, kind, count, exact.get()), 0) << c.what;
      EXPECT_EQ(Values(mEffect), live) << c.what;
      EXPECT_EQ(StoredValues(mEffect), stored) << c.what;
    }
  EXPECT_EQ(Dispatch(mEffect, effSetChunk, 0, 40, nullptr), 0);
}

TEST_F(VstChunkTest, WellFormedSetChunksLoad)
{
  const struct
  {
    const char* what;
    Bytes bytes;
    VstIntPtr count;
    std::vector<double> want;
  } cases[] = {
    { "header and body", Header() + Body({ 1.0, 2.0, 3.0, 0.0 }), 40, { 1.0, 2.0, 3.0, 0.0 } },
    { "a bare body", Body({ -1.0, 4.0, 2.0, 1.0 }), 32, { -1.0, 4.0, 2.0, 1.0 } },
    { "trailing bytes", Header() + Body({ 1.5, 6.0, 0.0, 1.0 }) + Bytes(100, 0xEE), 140, { 1.5, 6.0, 0.0, 1.0 } },
    // Values are rounded to their steps and held to their ranges.
    { "values out of range", Header() + Body({ 99.0, 2.6, -5.0, 0.7 }), 40, { 12.0, 3.0, 0.0, 1.0 } },
    // The count claims far more than the 40 bytes there are; only what the state uses is read.
    { "a count beyond the data", Header() + Body({ 2.0, 1.0, 1.0, 0.0 }), (VstIntPtr)1 << 20, { 2.0, 1.0, 1.0, 0.0 } },
  };
  for (const auto& c : cases)
  {
    std::unique_ptr<unsigned char[]> exact(new unsigned char[c.bytes.size()]);
    memcpy(exact.get(), c.bytes.data(), c.bytes.size());
    EXPECT_EQ(Dispatch(mEffect, effSetChunk, 1, c.count, exact.get()), 1) << c.what;
    EXPECT_EQ(Values(mEffect), c.want) << c.what;
  }
}

TEST_F(VstChunkTest, BankAndProgramChunksTreatThePresetDifferently)
{
  const Bytes ours = Header() + Body({ 1.0, 2.0, 3.0, 0.0 });
  const Bytes old = Header(0x70666674, 0x0000FFFF) + Body({ 4.0, 5.0, 0.0, 1.0 });
  const std::vector<double> stored = StoredValues(mEffect);

  // A bank of this framework's version leaves the preset's stored values alone.
  EXPECT_EQ(Dispatch(mEffect, effSetChunk, 0, (VstIntPtr)ours.size(), (void*)ours.data()), 1);
  EXPECT_EQ(StoredValues(mEffect), stored);
  // The same data as a program chunk, or a bank of an older header, becomes the preset's too.
  EXPECT_EQ(Dispatch(mEffect, effSetChunk, 1, (VstIntPtr)ours.size(), (void*)ours.data()), 1);
  EXPECT_EQ(StoredValues(mEffect), (std::vector<double>{ 1.0, 2.0, 3.0, 0.0 }));
  EXPECT_EQ(Dispatch(mEffect, effSetChunk, 0, (VstIntPtr)old.size(), (void*)old.data()), 1);
  EXPECT_EQ(StoredValues(mEffect), (std::vector<double>{ 4.0, 5.0, 0.0, 1.0 }));
}

TEST_F(VstChunkTest, AHostMayHandBackTheChunkItWasGiven)
{
  const std::vector<double> before = Values(mEffect);
  for (int kind : { 0, 1 })
  {
    const struct
    {
      int setKind;
      VstIntPtr extra;  // bytes the host claims past the end of our chunk
    } uses[] = { { kind, 0 }, { kind, 100000 }, { 1 - kind, 100000 } };
    for (const auto& u : uses)
    {
      void* pData = nullptr;
      const VstIntPtr n = Dispatch(mEffect, effGetChunk, kind, 0, &pData);
      ASSERT_EQ(n, 40);
      EXPECT_EQ(Dispatch(mEffect, effSetChunk, u.setKind, n + u.extra, pData), 1);
      EXPECT_EQ(Values(mEffect), before);
    }
  }
}

TEST_F(VstChunkTest, NoMemoryForTheCopyRefusesTheChunk)
{
  const Bytes chunk = Header() + Body({ 1.0, 2.0, 3.0, 0.0 });
  const std::vector<double> live = Values(mEffect);
  {
    FailingAllocator fail(16);
    EXPECT_EQ(Dispatch(mEffect, effSetChunk, 1, (VstIntPtr)chunk.size(), (void*)chunk.data()), 0);
  }
  EXPECT_EQ(Values(mEffect), live);
}

TEST_F(VstChunkTest, APlugInWithItsOwnStateReadsTheWholeCount)
{
  AEffect* e = Make(true);
  EXPECT_EQ(e->flags & effFlagsProgramChunks, effFlagsProgramChunks);
  const Bytes chunk = Header() + Body({ 1.0, 2.0, 3.0, 0.0 }) + Bytes(5000, 0);
  EXPECT_EQ(Dispatch(e, effSetChunk, 0, (VstIntPtr)chunk.size(), (void*)chunk.data()), 1);
  EXPECT_EQ(Values(e), (std::vector<double>{ 1.0, 2.0, 3.0, 0.0 }));
  // Leaving a program does not store into it when the state is the plug-in's own.
  e->setParameter(e, 0, 0.0f);
  Dispatch(e, effSetProgram, 0, 1);
  Dispatch(e, effSetProgram, 0, 0);
  EXPECT_EQ(Values(e)[0], -6.0);
}

TEST(VstChunkHeader, VersionFromChunk)
{
  const struct
  {
    Bytes bytes;
    int startPos;
    int version;
    int pos;
  } cases[] = {
    { Header(), 0, 0x00010000, 8 },
    { Header(0x70666674, 7) + Bytes(4, 0), 0, 7, 8 },
    { Bytes(4, 0) + Header(), 4, 0x00010000, 12 },
    { Cut(Header(), 6), 0, 0, -1 },     // the magic, and no room for the version
    { Header(0x12345678), 0, 0, 0 },    // no magic: position unchanged
    { Bytes(2, 0x74), 0, 0, 0 },
  };
  for (const auto& c : cases)
  {
    ByteChunk chunk;
    chunk.Resize((int)c.bytes.size());
    if (!c.bytes.empty()) memcpy(chunk.GetBytes(), c.bytes.data(), c.bytes.size());
    int pos = c.startPos;
    EXPECT_EQ(IFxVST::GetIFxVerFromChunk(&chunk, &pos), c.version);
    EXPECT_EQ(pos, c.pos);
  }
  ByteChunk chunk;
  chunk.PutStr("old contents");
  IFxVST::InitializeVSTChunk(&chunk);
  ASSERT_EQ(chunk.Size(), 8);
  EXPECT_EQ(Bytes(chunk.GetBytes(), chunk.GetBytes() + 8), Header());
}

// The set-chunk fuzzer feeds one test plug-in millions of chunks, each of which logs a change per
// parameter: the log keeps the latest entries and never grows past its bound.
TEST_F(VstChunkTest, TheTestPlugInsLogStaysBoundedOverManyChunks)
{
  VstTestPlug* pPlug = Plug(mEffect);
  const Bytes chunk = Header() + Body({ 1.0, 2.0, 3.0, 0.0 });
  std::unique_ptr<unsigned char[]> exact(new unsigned char[chunk.size()]);
  memcpy(exact.get(), chunk.data(), chunk.size());
  for (size_t i = 0; i < 3 * VstTestPlug::kMaxLog; ++i)
    ASSERT_EQ(Dispatch(mEffect, effSetChunk, 1, (VstIntPtr)chunk.size(), exact.get()), 1);
  EXPECT_LE(pPlug->mLog.size(), VstTestPlug::kMaxLog);
  EXPECT_GE(pPlug->mLog.size(), VstTestPlug::kMaxLog / 2);
  mEffect->setParameter(mEffect, 2, 0.0f);
  EXPECT_EQ(pPlug->mLog.back(), "change 2") << "the newest entry is kept";
}
