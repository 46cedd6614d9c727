#pragma once
// A test plug opened through the Component Manager as a host opens a unit, with helpers for the
// calls the tests repeat. Every test ends with no CoreFoundation object left alive.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include <CoreFoundation/testkit.h>

#include "TestAUPlug.h"

inline const ComponentDescription kTestAUDesc = { kAudioUnitType_Effect, TestAUPlug::kUniqueID, TestAUPlug::kMfrID, 0, 0 };

// Planar float buffers and a buffer list pointing at them.
struct HostBuffers
{
  HostBuffers(int nChannels, int nFrames, bool withMemory = true)
    : mData((size_t)nChannels * nFrames), mListBytes(sizeof(AudioBufferList) + sizeof(AudioBuffer) * nChannels)
  {
    mList = (AudioBufferList*)mListBytes.data();
    mList->mNumberBuffers = (UInt32)nChannels;
    for (int c = 0; c < nChannels; ++c)
      mList->mBuffers[c] = { 1, (UInt32)(nFrames * sizeof(float)), withMemory ? Channel(c, nFrames) : nullptr };
  }
  float* Channel(int c, int nFrames) { return mData.data() + (size_t)c * nFrames; }
  float* Out(int c) const { return (float*)mList->mBuffers[c].mData; }

  std::vector<float> mData;
  std::vector<unsigned char> mListBytes;
  AudioBufferList* mList;
};

inline AudioStreamBasicDescription MakeTestFormat(UInt32 channels, double rate = 44100.0,
                                                  UInt32 formatID = kAudioFormatLinearPCM, UInt32 flags = 41)
{
  AudioStreamBasicDescription f = {};
  f.mSampleRate = rate;
  f.mFormatID = formatID;
  f.mFormatFlags = flags;
  f.mBytesPerPacket = 4;
  f.mFramesPerPacket = 1;
  f.mBytesPerFrame = 4;
  f.mChannelsPerFrame = channels;
  f.mBitsPerChannel = 32;
  return f;
}

class AUTestUnit : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mLiveObjects = CFTestLiveObjectCount();
    mComponent = RegisterComponent(&kTestAUDesc, IFxAU::IFxAUEntry, 0, "Test: Unit");
    Open();
  }
  void TearDown() override
  {
    CloseComponent(mUnit);
    UnregisterComponent(mComponent);
    TestAUPlug::sConfig = TestAUConfig();
    EXPECT_EQ(CFTestLiveObjectCount(), mLiveObjects) << "CoreFoundation objects leaked";
  }

  // Reopens the unit with the current TestAUPlug::sConfig.
  void Open()
  {
    if (mUnit) CloseComponent(mUnit);
    ASSERT_EQ(OpenAComponent(mComponent, &mUnit), noErr);
    mPlug = (TestAUPlug*)GetComponentInstanceStorage(mUnit);
    ASSERT_NE(mPlug, nullptr);
  }

  static AudioStreamBasicDescription Format(UInt32 channels, double rate = 44100.0, UInt32 formatID = kAudioFormatLinearPCM,
                                            UInt32 flags = 41)
  {
    return MakeTestFormat(channels, rate, formatID, flags);
  }

  OSStatus SetFormat(AudioUnitScope scope, AudioUnitElement element, UInt32 channels, double rate = 44100.0)
  {
    const AudioStreamBasicDescription f = Format(channels, rate);
    return AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, scope, element, &f, sizeof(f));
  }

  UInt32 HostChannels(AudioUnitScope scope, AudioUnitElement element)
  {
    AudioStreamBasicDescription f = {};
    UInt32 size = sizeof(f);
    EXPECT_EQ(AudioUnitGetProperty(mUnit, kAudioUnitProperty_StreamFormat, scope, element, &f, &size), noErr);
    return f.mChannelsPerFrame;
  }

  OSStatus SetInputCallback(AudioUnitElement bus, AURenderCallback proc, void* refCon)
  {
    AURenderCallbackStruct cb = { proc, refCon };
    return AudioUnitSetProperty(mUnit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, bus, &cb, sizeof(cb));
  }

  OSStatus Render(AudioBufferList* list, UInt32 nFrames, double sampleTime = 0.0, UInt32 bus = 0)
  {
    AudioTimeStamp ts = {};
    ts.mSampleTime = sampleTime;
    ts.mFlags = kAudioTimeStampSampleTimeValid;
    AudioUnitRenderActionFlags flags = 0;
    return AudioUnitRender(mUnit, &flags, &ts, bus, nFrames, list);
  }

  template <class T>
  OSStatus Get(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, T* value)
  {
    UInt32 size = sizeof(T);
    return AudioUnitGetProperty(mUnit, id, scope, element, value, &size);
  }

  template <class T>
  OSStatus Set(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, const T& value)
  {
    return AudioUnitSetProperty(mUnit, id, scope, element, &value, sizeof(T));
  }

  Component mComponent = nullptr;
  AudioUnit mUnit = nullptr;
  TestAUPlug* mPlug = nullptr;
  long mLiveObjects = 0;
};

// An input source that writes a ramp for channel c: value = base + c * 1000 + frame, and counts calls.
struct RampSource
{
  float mBase = 0.0f;
  int mCalls = 0;
  UInt32 mLastBus = 99;
  std::vector<void*> mSeenData;
  OSStatus mResult = noErr;

  static OSStatus Callback(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32 bus, UInt32 nFrames,
                           AudioBufferList* ioData)
  {
    RampSource* s = (RampSource*)refCon;
    ++s->mCalls;
    s->mLastBus = bus;
    s->mSeenData.clear();
    for (UInt32 c = 0; c < ioData->mNumberBuffers; ++c)
    {
      s->mSeenData.push_back(ioData->mBuffers[c].mData);
      float* p = (float*)ioData->mBuffers[c].mData;
      for (UInt32 i = 0; p && i < nFrames; ++i) p[i] = s->mBase + (float)c * 1000.0f + (float)i;
    }
    return s->mResult;
  }
};
