// The editor, the host and a state save run on different threads against one instance; the
// instance mutex keeps every save a consistent snapshot.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "FakePlug.h"

TEST(IFxConcurrency, EditorChangesAndStateSavesSerialise)
{
  FakePlugConfig config;
  config.nParams = 8;
  FakePlug plug(config);
  for (int i = 0; i < 8; ++i) plug.GetParam(i)->InitDouble("p", 0, 0, 1, 0.001, "");
  std::atomic<bool> stop{ false };

  // The editor thread moves all parameters together to the same value, one gesture at a time.
  std::thread editor([&] {
    for (int n = 0; n < 2000; ++n)
    {
      KIT_MutexScope gesture(plug.GetMutex());
      for (int i = 0; i < 8; ++i) plug.SetParameterFromGUI(i, (n % 100) / 100.0);
      plug.mLog.clear();
    }
    stop = true;
  });
  int snapshots = 0;
  do
  {
    ByteChunk chunk;
    ASSERT_TRUE(plug.SerializeParams(&chunk));
    double first, v;
    chunk.Get(&first, 0);
    for (int i = 1; i < 8; ++i)
    {
      chunk.Get(&v, i * 8);
      ASSERT_EQ(v, first);
    }
    ++snapshots;
  } while (!stop);
  editor.join();
  EXPECT_GT(snapshots, 0);
}
