// The bundle under ThreadSanitizer: one thread processes audio while another drives the
// dispatcher, every parameter, programs, chunks, activation and sample-rate changes.

#include <gtest/gtest.h>

#include "FakeVstHost.h"
#include "VstAudioThread.h"
#include "VstModule.h"

TEST(KestrovaneVSTConcurrency, ProcessingWhileTheHostDrivesTheDispatcher)
{
  FakeVstHost host;
  VstModule module(KV_KESTROVANE_VST);
  ASSERT_TRUE(module.Loaded()) << module.Error();
  AEffect* e = module.Create(FakeVstHost::Callback);
  ASSERT_NE(e, nullptr);
  host.Adopt(e);
  Dispatch(e, effOpen);
  Dispatch(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  Dispatch(e, effSetBlockSize, 0, 256);
  Dispatch(e, effMainsChanged, 0, 1);

  VstAudioThread audio(e, 300, 100);  // more than a block: two sub-blocks each time

  char text[256];
  for (int i = 0; i < 1500; ++i)
  {
    e->setParameter(e, i % 16, (float)((i * 7) % 100) / 100.0f);
    (void)e->getParameter(e, (i + 3) % 16);
    Dispatch(e, effGetParamDisplay, i % 16, 0, text);
    if (i % 60 == 0)
    {
      void* pData = nullptr;
      const VstIntPtr n = Dispatch(e, effGetChunk, i % 2, 0, &pData);
      Dispatch(e, effSetChunk, i % 2, n, pData);
      Dispatch(e, effSetProgram, 0, (i / 60) % 34);
    }
    if (i % 400 == 0)
    {
      Dispatch(e, effMainsChanged, 0, 0);
      Dispatch(e, effSetSampleRate, 0, 0, nullptr, (i / 400) % 2 ? 48000.0f : 44100.0f);
      Dispatch(e, effMainsChanged, 0, 1);
    }
  }
  audio.Stop();
  EXPECT_TRUE(audio.AllFinite());
  EXPECT_GE(audio.Blocks(), 100);
}
