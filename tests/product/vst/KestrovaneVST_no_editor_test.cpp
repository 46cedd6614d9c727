// A plug-in whose editor images cannot be found (a broken install, a host scanning its plug-ins)
// says so on the standard error stream and goes on without an editor: the host is not stopped,
// the VST announces no editor, and the audio path works as before. Its bundle is never registered
// in this process, so no image is found.

#include <gtest/gtest.h>

#include "FakeVstHost.h"
#include "Kestrovane.h"
#include "VstModule.h"

TEST(KestrovaneWithoutImages, CarriesOnWithoutAnEditor)
{
  FakeVstHost host;
  IFxInstanceInfo info;
  info.mVSTHostCallback = FakeVstHost::Callback;
  testing::internal::CaptureStderr();
  Kestrovane* plug = new Kestrovane(info);
  const std::string err = testing::internal::GetCapturedStderr();
  AEffect* e = plug->GetAEffect();
  host.Adopt(e);
  EXPECT_NE(err.find("Assertion failed: (imgResourceFound)"), std::string::npos) << err;
  EXPECT_EQ(plug->GetGUI(), nullptr);
  EXPECT_EQ(e->flags, 0x1018) << "no editor announced";
  ERect* pRect = nullptr;
  EXPECT_EQ(Dispatch(e, effEditGetRect, 0, 0, &pRect), 0);
  EXPECT_EQ(Dispatch(e, effEditOpen, 0, 0, nullptr), 0);
  EXPECT_EQ(Dispatch(e, effEditClose), 0);
  EXPECT_EQ(plug->GetMeterControl(Kestrovane::kInputMeter), nullptr);

  // The audio path as ever: parameters, readouts absent, processing.
  Dispatch(e, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  Dispatch(e, effSetBlockSize, 0, 256);
  Dispatch(e, effMainsChanged, 0, 1);
  e->setParameter(e, Kestrovane::kThreshold, 0.2f);
  e->setParameter(e, Kestrovane::kAutoRelease, 1.0f);
  std::vector<float> in(256), out(256);
  for (int i = 0; i < 256; ++i) in[i] = 0.5f * (float)std::sin(i * 0.1);
  float* ins[4] = { in.data(), in.data(), in.data(), in.data() };
  float* outs[2] = { out.data(), out.data() };
  for (int b = 0; b < 10; ++b) e->processReplacing(e, ins, outs, 256);
  double energy = 0.0;
  for (float v : out) energy += (double)v * v;
  EXPECT_GT(energy, 0.0);
  EXPECT_GT(plug->GetMeterValue(Kestrovane::kInputMeter), 0.0);
  Dispatch(e, effClose);
}
