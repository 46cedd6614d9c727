#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#define TEST_AU_PLUG_DEFINE_MAKEPLUG
#include "AUTestUnit.h"

using AUConcurrency = AUTestUnit;

namespace
{
OSStatus CountNotify(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32, AudioBufferList*)
{
  ((std::atomic<int>*)refCon)->fetch_add(1, std::memory_order_relaxed);
  return noErr;
}

void Listener(void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {}
}  // namespace

// One thread renders through the fast procedure while another sets parameters and adds and
// removes render notifications and property listeners through the entry.
TEST_F(AUConcurrency, FastRenderWhileTheMainThreadChangesNotificationsAndParameters)
{
  RampSource src;
  src.mSeenData.reserve(8);
  ASSERT_EQ(SetInputCallback(0, RampSource::Callback, &src), noErr);
  ASSERT_EQ(AudioUnitInitialize(mUnit), noErr);
  AudioUnitRenderProc render = nullptr;
  ASSERT_EQ(Get(kAudioUnitProperty_FastDispatch, 0, kAudioUnitRenderSelect, &render), noErr);
  std::atomic<int> notified{ 0 };
  std::atomic<bool> stop{ false };
  std::atomic<int> renders{ 0 };

  std::thread audio([&] {
    HostBuffers out(2, 128);
    AudioTimeStamp ts = {};
    ts.mFlags = kAudioTimeStampSampleTimeValid;
    AudioUnitRenderActionFlags flags = 0;
    while (!stop.load())
    {
      ts.mSampleTime += 128;
      if (render(mPlug, &flags, &ts, 0, 128, out.mList) != noErr) break;
      renders.fetch_add(1);
    }
  });

  for (int i = 0; i < 3000; ++i)
  {
    AudioUnitAddRenderNotify(mUnit, CountNotify, &notified);
    AudioUnitSetParameter(mUnit, (AudioUnitParameterID)(i % 4), kAudioUnitScope_Global, 0, (float)(i % 7), 0);
    AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_Latency, Listener, nullptr);
    if (i % 3 == 0) AudioUnitRemoveRenderNotify(mUnit, CountNotify, &notified);
    AudioUnitRemovePropertyListenerWithUserData(mUnit, kAudioUnitProperty_Latency, Listener, nullptr);
    if (i % 500 == 0) std::this_thread::yield();
  }
  while (renders.load() < 100) std::this_thread::yield();
  stop = true;
  audio.join();
  EXPECT_GT(notified.load(), 0);
}
