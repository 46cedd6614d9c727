#pragma once
// Audio Unit scopes, property ids and the records properties carry. Sizes are those of these
// records on this target (sizeof), larger than on 32-bit systems wherever a record holds a pointer.

#include <CoreFoundation/CoreFoundation.h>
#include <AudioUnit/AUComponent.h>

enum : AudioUnitScope
{
  kAudioUnitScope_Global = 0,
  kAudioUnitScope_Input = 1,
  kAudioUnitScope_Output = 2,
  kAudioUnitScope_Group = 3,
  kAudioUnitScope_Part = 4,
  kAudioUnitScope_Note = 5
};

enum : AudioUnitPropertyID
{
  kAudioUnitProperty_ClassInfo = 0,
  kAudioUnitProperty_MakeConnection = 1,
  kAudioUnitProperty_SampleRate = 2,
  kAudioUnitProperty_ParameterList = 3,
  kAudioUnitProperty_ParameterInfo = 4,
  kAudioUnitProperty_FastDispatch = 5,
  kAudioUnitProperty_CPULoad = 6,
  kAudioUnitProperty_StreamFormat = 8,
  kAudioUnitProperty_ElementCount = 11,
  kAudioUnitProperty_Latency = 12,
  kAudioUnitProperty_SupportedNumChannels = 13,
  kAudioUnitProperty_MaximumFramesPerSlice = 14,
  kAudioUnitProperty_SetExternalBuffer = 15,
  kAudioUnitProperty_ParameterValueStrings = 16,
  kAudioUnitProperty_GetUIComponentList = 18,
  kAudioUnitProperty_AudioChannelLayout = 19,
  kAudioUnitProperty_TailTime = 20,
  kAudioUnitProperty_BypassEffect = 21,
  kAudioUnitProperty_LastRenderError = 22,
  kAudioUnitProperty_SetRenderCallback = 23,
  kAudioUnitProperty_FactoryPresets = 24,
  kAudioUnitProperty_ContextName = 25,
  kAudioUnitProperty_RenderQuality = 26,
  kAudioUnitProperty_HostCallbacks = 27,
  kAudioUnitProperty_CurrentPreset = 28,
  kAudioUnitProperty_InPlaceProcessing = 29,
  kAudioUnitProperty_ElementName = 30,
  kAudioUnitProperty_CocoaUI = 31,
  kAudioUnitProperty_SupportedChannelLayoutTags = 32,
  kAudioUnitProperty_ParameterStringFromValue = 33,
  kAudioUnitProperty_ParameterIDName = 34,
  kAudioUnitProperty_ParameterClumpName = 35,
  kAudioUnitProperty_PresentPreset = 36,
  kAudioUnitProperty_OfflineRender = 37,
  kAudioUnitProperty_ParameterValueFromString = 38,
  kAudioUnitProperty_IconLocation = 39,
  kAudioUnitProperty_PresentationLatency = 40,
  kMusicDeviceProperty_InstrumentCount = 1000
};

enum : OSType
{
  kAudioUnitCarbonViewComponentType = 0x61757677  // 'auvw'
};

typedef UInt32 AudioUnitParameterUnit;
enum : AudioUnitParameterUnit
{
  kAudioUnitParameterUnit_Generic = 0,
  kAudioUnitParameterUnit_Indexed = 1,
  kAudioUnitParameterUnit_Boolean = 2,
  kAudioUnitParameterUnit_Percent = 3,
  kAudioUnitParameterUnit_Seconds = 4,
  kAudioUnitParameterUnit_SampleFrames = 5,
  kAudioUnitParameterUnit_Phase = 6,
  kAudioUnitParameterUnit_Rate = 7,
  kAudioUnitParameterUnit_Hertz = 8,
  kAudioUnitParameterUnit_Cents = 9,
  kAudioUnitParameterUnit_RelativeSemiTones = 10,
  kAudioUnitParameterUnit_MIDINoteNumber = 11,
  kAudioUnitParameterUnit_MIDIController = 12,
  kAudioUnitParameterUnit_Decibels = 13,
  kAudioUnitParameterUnit_LinearGain = 14,
  kAudioUnitParameterUnit_Degrees = 15,
  kAudioUnitParameterUnit_EqualPowerCrossfade = 16,
  kAudioUnitParameterUnit_MixerFaderCurve1 = 17,
  kAudioUnitParameterUnit_Pan = 18,
  kAudioUnitParameterUnit_Meters = 19,
  kAudioUnitParameterUnit_AbsoluteCents = 20,
  kAudioUnitParameterUnit_Octaves = 21,
  kAudioUnitParameterUnit_BPM = 22,
  kAudioUnitParameterUnit_Beats = 23,
  kAudioUnitParameterUnit_Milliseconds = 24,
  kAudioUnitParameterUnit_Ratio = 25,
  kAudioUnitParameterUnit_CustomUnit = 26
};

enum : UInt32
{
  kAudioUnitParameterFlag_CFNameRelease = 1u << 4,
  kAudioUnitParameterFlag_HasClump = 1u << 20,
  kAudioUnitParameterFlag_HasName = 1u << 21,
  kAudioUnitParameterFlag_DisplayLogarithmic = 1u << 22,
  kAudioUnitParameterFlag_IsHighResolution = 1u << 23,
  kAudioUnitParameterFlag_NonRealTime = 1u << 24,
  kAudioUnitParameterFlag_CanRamp = 1u << 25,
  kAudioUnitParameterFlag_ExpertMode = 1u << 26,
  kAudioUnitParameterFlag_HasCFNameString = 1u << 27,
  kAudioUnitParameterFlag_IsGlobalMeta = 1u << 28,
  kAudioUnitParameterFlag_IsElementMeta = 1u << 29,
  kAudioUnitParameterFlag_IsReadable = 1u << 30,
  kAudioUnitParameterFlag_IsWritable = 1u << 31
};

enum { kAudioUnitParameterName_Full = -1 };

struct AudioUnitConnection
{
  AudioUnit sourceAudioUnit;
  UInt32 sourceOutputNumber;
  UInt32 destInputNumber;
};

struct AURenderCallbackStruct
{
  AURenderCallback inputProc;
  void* inputProcRefCon;
};

struct AUChannelInfo
{
  SInt16 inChannels;
  SInt16 outChannels;
};

struct AudioUnitParameterInfo
{
  char name[52];
  CFStringRef unitName;
  UInt32 clumpID;
  CFStringRef cfNameString;
  AudioUnitParameterUnit unit;
  AudioUnitParameterValue minValue;
  AudioUnitParameterValue maxValue;
  AudioUnitParameterValue defaultValue;
  UInt32 flags;
};

struct AUPreset
{
  SInt32 presetNumber;
  CFStringRef presetName;
};

struct AudioUnitCocoaViewInfo
{
  CFURLRef mCocoaAUViewBundleLocation;
  CFStringRef mCocoaAUViewClass[1];
};

struct AudioUnitParameterStringFromValue
{
  AudioUnitParameterID inParamID;
  const AudioUnitParameterValue* inValue;
  CFStringRef outString;
};

struct AudioUnitParameterIDName
{
  AudioUnitParameterID inID;
  SInt32 inDesiredLength;
  CFStringRef outName;
};

struct AudioUnitParameterValueFromString
{
  AudioUnitParameterID inParamID;
  CFStringRef inString;
  AudioUnitParameterValue outValue;
};

typedef OSStatus (*HostCallback_GetBeatAndTempo)(void* inHostUserData, Float64* outCurrentBeat, Float64* outCurrentTempo);
typedef OSStatus (*HostCallback_GetMusicalTimeLocation)(void* inHostUserData, UInt32* outDeltaSampleOffsetToNextBeat,
                                                        Float32* outTimeSig_Numerator, UInt32* outTimeSig_Denominator,
                                                        Float64* outCurrentMeasureDownBeat);
typedef OSStatus (*HostCallback_GetTransportState)(void* inHostUserData, Boolean* outIsPlaying,
                                                   Boolean* outTransportStateChanged, Float64* outCurrentSampleInTimeLine,
                                                   Boolean* outIsCycling, Float64* outCycleStartBeat,
                                                   Float64* outCycleEndBeat);

struct HostCallbackInfo
{
  void* hostUserData;
  HostCallback_GetBeatAndTempo beatAndTempoProc;
  HostCallback_GetMusicalTimeLocation musicalTimeLocationProc;
  HostCallback_GetTransportState transportStateProc;
};
