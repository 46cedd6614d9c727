#pragma once
// Audio data formats, buffers and time stamps.

#include <MacTypes.h>

struct AudioStreamBasicDescription
{
  Float64 mSampleRate;
  UInt32 mFormatID;
  UInt32 mFormatFlags;
  UInt32 mBytesPerPacket;
  UInt32 mFramesPerPacket;
  UInt32 mBytesPerFrame;
  UInt32 mChannelsPerFrame;
  UInt32 mBitsPerChannel;
  UInt32 mReserved;
};
static_assert(sizeof(AudioStreamBasicDescription) == 40, "the stream format is 40 bytes");

enum : UInt32
{
  kAudioFormatLinearPCM = 0x6C70636D  // 'lpcm'
};

enum : UInt32
{
  kAudioFormatFlagIsFloat = 1u << 0,
  kAudioFormatFlagIsBigEndian = 1u << 1,
  kAudioFormatFlagIsSignedInteger = 1u << 2,
  kAudioFormatFlagIsPacked = 1u << 3,
  kAudioFormatFlagIsAlignedHigh = 1u << 4,
  kAudioFormatFlagIsNonInterleaved = 1u << 5,
  kAudioFormatFlagIsNonMixable = 1u << 6
};

struct AudioBuffer
{
  UInt32 mNumberChannels;
  UInt32 mDataByteSize;
  void* mData;
};

// Declared with one buffer; callers allocate room for mNumberBuffers.
struct AudioBufferList
{
  UInt32 mNumberBuffers;
  AudioBuffer mBuffers[1];
};

struct SMPTETime
{
  SInt16 mSubframes;
  SInt16 mSubframeDivisor;
  UInt32 mCounter;
  UInt32 mType;
  UInt32 mFlags;
  SInt16 mHours;
  SInt16 mMinutes;
  SInt16 mSeconds;
  SInt16 mFrames;
};

struct AudioTimeStamp
{
  Float64 mSampleTime;
  UInt64 mHostTime;
  Float64 mRateScalar;
  UInt64 mWordClockTime;
  SMPTETime mSMPTETime;
  UInt32 mFlags;
  UInt32 mReserved;
};

enum : UInt32
{
  kAudioTimeStampSampleTimeValid = 1u << 0,
  kAudioTimeStampHostTimeValid = 1u << 1,
  kAudioTimeStampRateScalarValid = 1u << 2,
  kAudioTimeStampWordClockTimeValid = 1u << 3,
  kAudioTimeStampSMPTETimeValid = 1u << 4
};
