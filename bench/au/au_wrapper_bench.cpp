// The Audio Unit wrapper's cost per 512-frame stereo block over calling the core directly: the
// same pass-through plug-in (4 inputs, 2 outputs, input by render callback) rendered through the
// component entry (the instance mutex, the selector call) and through the fast render procedure,
// against the core's own buffer calls on a plain copy. The difference between a render and the
// core pair is the wrapper's overhead (input pull, buffer attaching, notifications, checks); the
// goal is under 1 us.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#define TEST_AU_PLUG_DEFINE_MAKEPLUG
#include "TestAUPlug.h"

namespace
{
constexpr int kFrames = 512;

struct Source
{
  std::vector<float> data = std::vector<float>(kFrames, 0.25f);
};

// The host's input: a copy of a block into each buffer, as a host's callback does.
OSStatus Feed(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32 nFrames, AudioBufferList* io)
{
  const Source* s = (const Source*)refCon;
  for (UInt32 c = 0; c < io->mNumberBuffers; ++c) memcpy(io->mBuffers[c].mData, s->data.data(), nFrames * sizeof(float));
  return noErr;
}

struct Unit
{
  Unit()
  {
    static const ComponentDescription desc = { kAudioUnitType_Effect, TestAUPlug::kUniqueID, TestAUPlug::kMfrID, 0, 0 };
    static Component component = RegisterComponent(&desc, IFxAU::IFxAUEntry, 0, "Bench");
    unit = OpenComponent(component);
    UInt32 frames = kFrames;
    AudioUnitSetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &frames, sizeof(frames));
    AURenderCallbackStruct cb = { Feed, &source };
    AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, &cb, sizeof(cb));
    AudioUnitInitialize(unit);
    UInt32 size = sizeof(render);
    AudioUnitGetProperty(unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, kAudioUnitRenderSelect, &render, &size);
    list = (AudioBufferList*)listBytes.data();
    list->mNumberBuffers = 2;
    for (int c = 0; c < 2; ++c) list->mBuffers[c] = { 1, kFrames * sizeof(float), out[(size_t)c].data() };
    ts.mFlags = kAudioTimeStampSampleTimeValid;
  }
  ~Unit() { CloseComponent(unit); }

  AudioUnit unit = nullptr;
  AudioUnitRenderProc render = nullptr;
  Source source;
  std::vector<std::vector<float>> out{ 2, std::vector<float>(kFrames) };
  std::vector<unsigned char> listBytes = std::vector<unsigned char>(sizeof(AudioBufferList) + sizeof(AudioBuffer));
  AudioBufferList* list = nullptr;
  AudioTimeStamp ts = {};
  AudioUnitRenderActionFlags flags = 0;
};

// The core alone: the host's copy into input buffers, then the core's attach and process calls.
void BM_Core(benchmark::State& state)
{
  TestAUPlug plug;
  plug.SetBlockSize(kFrames);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  Source source;
  std::vector<std::vector<float>> in{ 2, std::vector<float>(kFrames) }, out{ 2, std::vector<float>(kFrames) };
  float* ins[2] = { in[0].data(), in[1].data() };
  float* outs[2] = { out[0].data(), out[1].data() };
  for (auto _ : state)
  {
    for (int c = 0; c < 2; ++c) memcpy(ins[c], source.data.data(), kFrames * sizeof(float));
    plug.AttachInputBuffers(0, 2, ins, kFrames);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0.0f, kFrames);
    benchmark::DoNotOptimize(outs[1][kFrames - 1]);
  }
}

void BM_RenderThroughEntry(benchmark::State& state)
{
  Unit u;
  for (auto _ : state)
  {
    u.ts.mSampleTime += kFrames;
    AudioUnitRender(u.unit, &u.flags, &u.ts, 0, kFrames, u.list);
    benchmark::DoNotOptimize(u.out[1][kFrames - 1]);
  }
}

void BM_RenderThroughFastProc(benchmark::State& state)
{
  Unit u;
  void* storage = GetComponentInstanceStorage(u.unit);
  for (auto _ : state)
  {
    u.ts.mSampleTime += kFrames;
    u.render(storage, &u.flags, &u.ts, 0, kFrames, u.list);
    benchmark::DoNotOptimize(u.out[1][kFrames - 1]);
  }
}
}  // namespace

BENCHMARK(BM_Core);
BENCHMARK(BM_RenderThroughEntry);
BENCHMARK(BM_RenderThroughFastProc);
BENCHMARK_MAIN();
