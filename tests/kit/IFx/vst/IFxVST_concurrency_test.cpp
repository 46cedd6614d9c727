// One thread processes audio while another drives the dispatcher, the parameters and the editor's
// path; the instance mutex keeps them apart (run under ThreadSanitizer).

#include <gtest/gtest.h>

#include "FakeVstHost.h"
#include "HostedVstPlug.h"
#include "VstAudioThread.h"
#include "VstModule.h"
#include "VstTestPlug.h"

TEST(VstConcurrency, ProcessingWhileTheHostDrivesTheDispatcher)
{
  FakeVstHost host;
  VstTestPlug* pPlug = MakeHostedVstPlug<VstTestPlug>(host);
  AEffect* e = pPlug->GetAEffect();
  Dispatch(e, effOpen);
  Dispatch(e, effSetBlockSize, 0, 256);
  Dispatch(e, effMainsChanged, 0, 1);

  VstAudioThread audio(e, 300, 200);  // more than a block: two sub-blocks each time

  for (int i = 0; i < 2000; ++i)
  {
    const float v = (float)(i % 100) / 100.0f;
    e->setParameter(e, i % 4, v);
    (void)e->getParameter(e, (i + 1) % 4);
    DispatchText(e, effGetParamDisplay, i % 4);
    if (i % 50 == 0)
    {
      void* pData = nullptr;
      const VstIntPtr n = Dispatch(e, effGetChunk, i % 2, 0, &pData);
      Dispatch(e, effSetChunk, i % 2, n, pData);
      Dispatch(e, effSetProgram, 0, (i / 50) % 3);
    }
    if (i % 100 == 0) pPlug->SetParameterFromGUI(0, v);  // the editor's path, on this thread
    if (i % 500 == 0)
    {
      Dispatch(e, effMainsChanged, 0, 0);
      Dispatch(e, effSetSampleRate, 0, 0, nullptr, i % 1000 ? 48000.0f : 44100.0f);
      Dispatch(e, effMainsChanged, 0, 1);
    }
  }
  audio.Stop();
  EXPECT_TRUE(audio.AllFinite());
  EXPECT_GE(audio.Blocks(), 200);
  EXPECT_EQ(pPlug->mMaxFrames, 256);
  Dispatch(e, effClose);
}
