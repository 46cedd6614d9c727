#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#define TEST_AU_PLUG_DEFINE_MAKEPLUG
#include "AUTestUnit.h"

// Counts every allocation made through operator new or the heap buffers while armed.
namespace
{
std::atomic<bool> s_armed{ false };
std::atomic<long> s_allocations{ 0 };

void* CountingRealloc(void* p, size_t n)
{
  if (s_armed) ++s_allocations;
  return realloc(p, n);
}

void* CountingMalloc(size_t n)
{
  if (s_armed) ++s_allocations;
  return malloc(n);
}
}  // namespace

// The replacements pair malloc with free, which GCC cannot see through.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(size_t n)
{
  if (s_armed) ++s_allocations;
  if (void* p = malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
  free(p);
}

void operator delete(void* p, size_t) noexcept
{
  free(p);
}

using AURenderAllocations = AUTestUnit;

namespace
{
OSStatus CountNotify(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32, AudioBufferList*)
{
  ++*(int*)refCon;
  return noErr;
}
}  // namespace

TEST_F(AURenderAllocations, AThousandRendersAllocateNothing)
{
  RampSource src;
  ASSERT_EQ(SetFormat(kAudioUnitScope_Input, 0, 2), noErr);
  ASSERT_EQ(SetFormat(kAudioUnitScope_Output, 0, 2), noErr);
  ASSERT_EQ(SetInputCallback(0, RampSource::Callback, &src), noErr);
  src.mSeenData.reserve(8);
  int notified = 0;
  ASSERT_EQ(AudioUnitAddRenderNotify(mUnit, CountNotify, &notified), noErr);
  ASSERT_EQ(AudioUnitInitialize(mUnit), noErr);
  AudioUnitRenderProc render = nullptr;
  ASSERT_EQ(Get(kAudioUnitProperty_FastDispatch, 0, kAudioUnitRenderSelect, &render), noErr);
  HostBuffers out(2, 512);
  HostBuffers noMemory(2, 512, false);
  AudioTimeStamp ts = {};
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  AudioUnitRenderActionFlags flags = 0;
  ASSERT_EQ(render(mPlug, &flags, &ts, 0, 512, out.mList), noErr);  // the first render connects the output

  const KIT_HeapBufAllocator saved = s_heapBufAllocator;
  s_heapBufAllocator = { CountingRealloc, CountingMalloc, free };
  s_armed = true;
  for (int i = 0; i < 1000; ++i)
  {
    ts.mSampleTime += 512;
    if (render(mPlug, &flags, &ts, 0, 512, out.mList) != noErr) break;
    if (AudioUnitRender(mUnit, &flags, &ts, 0, 512, (i & 1) ? noMemory.mList : out.mList) != noErr) break;
    if (i & 1) noMemory.mList->mBuffers[0].mData = noMemory.mList->mBuffers[1].mData = nullptr;
  }
  s_armed = false;
  s_heapBufAllocator = saved;
  EXPECT_EQ(s_allocations.load(), 0);
  EXPECT_EQ(src.mCalls, 1001);
  EXPECT_EQ(notified, 2 * 2001);
  EXPECT_EQ(out.Out(1)[511], 1511.0f);
}
