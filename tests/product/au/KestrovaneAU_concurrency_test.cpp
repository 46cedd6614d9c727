// The bundle under ThreadSanitizer: one thread renders through the fast render procedure while
// another sets and reads parameters, chooses factory presets, reads properties and adds and
// removes render notifications and property listeners.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "AUHostedUnit.h"

namespace
{
OSStatus CountNotify(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32, AudioBufferList*)
{
  ((std::atomic<int>*)refCon)->fetch_add(1, std::memory_order_relaxed);
  return noErr;
}

void Listener(void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {}
}  // namespace

TEST(KestrovaneAUConcurrency, FastRenderWhileTheHostChangesParametersPresetsNotificationsAndListeners)
{
  std::string err;
  kvau::ComponentEntry entry;
  Component component = kvau::RegisterBundleComponent(KV_KESTROVANE_AU, &entry, &err);
  ASSERT_NE(component, nullptr) << err;
  kvau::AUHostedUnit unit;
  ASSERT_TRUE(unit.Open(component, &err)) << err;
  ASSERT_EQ(unit.Prepare(44100.0, 256, 2, 0, 2, kvau::InputKind::kRenderCallback, &err), noErr) << err;
  AudioUnitRenderProc render = nullptr;
  UInt32 size = sizeof(render);
  ASSERT_EQ(AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_FastDispatch, 0, kAudioUnitRenderSelect, &render, &size), noErr);
  void* storage = GetComponentInstanceStorage(unit.Unit());

  kvtool::AudioBuffer input;
  input.Resize(2, 256 * 400);
  for (int s = 0; s < input.NumFrames(); ++s) input.channels[0][(size_t)s] = input.channels[1][(size_t)s] = 0.8f * (float)std::sin(0.03 * s);
  kvtool::AudioBuffer out;
  // Feeds the callback its audio (Process wires the feed) before the threads start.
  ASSERT_EQ(unit.Process(input, nullptr, 256, &out), noErr);

  std::atomic<bool> done{ false };
  std::atomic<int> renders{ 0 };
  std::atomic<int> notified{ 0 };
  bool finite = true;
  std::thread audio([&] {
    float memory[2][256];
    unsigned char listBytes[sizeof(AudioBufferList) + sizeof(AudioBuffer)];
    AudioBufferList* list = (AudioBufferList*)listBytes;
    AudioTimeStamp ts = {};
    ts.mFlags = kAudioTimeStampSampleTimeValid;
    AudioUnitRenderActionFlags flags = 0;
    while (!done.load() || renders.load() < 100)
    {
      list->mNumberBuffers = 2;
      for (int c = 0; c < 2; ++c) list->mBuffers[c] = { 1, sizeof(memory[c]), memory[c] };
      ts.mSampleTime = (double)((renders.load() % 400) * 256);
      if (render(storage, &flags, &ts, 0, 256, list) != noErr) break;
      for (float v : memory[0]) finite = finite && std::isfinite(v);
      renders.fetch_add(1);
    }
  });
  for (int i = 0; i < 400; ++i)
  {
    (void)unit.GetParameter((AudioUnitParameterID)(i % 16));
    unit.SetParameter((AudioUnitParameterID)(i % 16), (float)((i * 7) % 11) / 10.0f);
    if (i % 25 == 0) unit.ChoosePreset((i / 25) % 34);
    AudioUnitAddRenderNotify(unit.Unit(), CountNotify, &notified);
    AudioUnitAddPropertyListener(unit.Unit(), kAudioUnitProperty_Latency, Listener, nullptr);
    Float64 latency = 0;
    UInt32 latencySize = sizeof(latency);
    AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &latency, &latencySize);
    if (i % 2) AudioUnitRemoveRenderNotify(unit.Unit(), CountNotify, &notified);
    AudioUnitRemovePropertyListener(unit.Unit(), kAudioUnitProperty_Latency, Listener);
  }
  done.store(true);
  audio.join();
  EXPECT_TRUE(finite);
  EXPECT_GE(renders.load(), 100);
  unit.Close();
  UnregisterComponent(component);
}
