#pragma once
// Audio Unit component calls: selectors, errors, render callbacks, parameter events, and the calls
// a host (or another unit) makes on a unit through its component entry.

#include <CoreAudio/CoreAudioTypes.h>
#include <CoreServices/Components.h>

typedef ComponentInstance AudioUnit;
typedef UInt32 AudioUnitPropertyID;
typedef UInt32 AudioUnitScope;
typedef UInt32 AudioUnitElement;
typedef UInt32 AudioUnitParameterID;
typedef Float32 AudioUnitParameterValue;
typedef UInt32 AudioUnitRenderActionFlags;
typedef UInt32 AUParameterEventType;

enum : OSType
{
  kAudioUnitType_Output = 0x61756F75,          // 'auou'
  kAudioUnitType_MusicDevice = 0x61756D75,     // 'aumu'
  kAudioUnitType_MusicEffect = 0x61756D66,     // 'aumf'
  kAudioUnitType_FormatConverter = 0x61756663, // 'aufc'
  kAudioUnitType_Effect = 0x61756678,          // 'aufx'
  kAudioUnitType_Mixer = 0x61756D78,           // 'aumx'
  kAudioUnitType_Generator = 0x6175676E        // 'augn'
};

enum
{
  kAudioUnitRange = 0x0000,
  kAudioUnitInitializeSelect = 0x0001,
  kAudioUnitUninitializeSelect = 0x0002,
  kAudioUnitGetPropertyInfoSelect = 0x0003,
  kAudioUnitGetPropertySelect = 0x0004,
  kAudioUnitSetPropertySelect = 0x0005,
  kAudioUnitGetParameterSelect = 0x0006,
  kAudioUnitSetParameterSelect = 0x0007,
  kAudioUnitResetSelect = 0x0009,
  kAudioUnitAddPropertyListenerSelect = 0x000A,
  kAudioUnitRemovePropertyListenerSelect = 0x000B,
  kAudioUnitRenderSelect = 0x000E,
  kAudioUnitAddRenderNotifySelect = 0x000F,
  kAudioUnitRemoveRenderNotifySelect = 0x0010,
  kAudioUnitScheduleParametersSelect = 0x0011,
  kAudioUnitRemovePropertyListenerWithUserDataSelect = 0x0012
};

enum : OSStatus
{
  kAudioUnitErr_InvalidProperty = -10879,
  kAudioUnitErr_InvalidParameter = -10878,
  kAudioUnitErr_InvalidElement = -10877,
  kAudioUnitErr_NoConnection = -10876,
  kAudioUnitErr_FailedInitialization = -10875,
  kAudioUnitErr_TooManyFramesToProcess = -10874,
  kAudioUnitErr_InvalidFile = -10871,
  kAudioUnitErr_FormatNotSupported = -10868,
  kAudioUnitErr_Uninitialized = -10867,
  kAudioUnitErr_InvalidScope = -10866,
  kAudioUnitErr_PropertyNotWritable = -10865,
  kAudioUnitErr_CannotDoInCurrentContext = -10863,
  kAudioUnitErr_InvalidPropertyValue = -10851,
  kAudioUnitErr_PropertyNotInUse = -10850,
  kAudioUnitErr_Initialized = -10849,
  kAudioUnitErr_InvalidOfflineRender = -10848,
  kAudioUnitErr_Unauthorized = -10847
};

enum : UInt32
{
  kAudioUnitRenderAction_PreRender = 1u << 2,
  kAudioUnitRenderAction_PostRender = 1u << 3,
  kAudioUnitRenderAction_OutputIsSilence = 1u << 4,
  kAudioOfflineUnitRenderAction_Preflight = 1u << 5,
  kAudioOfflineUnitRenderAction_Render = 1u << 6,
  kAudioOfflineUnitRenderAction_Complete = 1u << 7,
  kAudioUnitRenderAction_PostRenderError = 1u << 8
};

typedef OSStatus (*AURenderCallback)(void* inRefCon, AudioUnitRenderActionFlags* ioActionFlags,
                                     const AudioTimeStamp* inTimeStamp, UInt32 inBusNumber, UInt32 inNumberFrames,
                                     AudioBufferList* ioData);

typedef void (*AudioUnitPropertyListenerProc)(void* inRefCon, AudioUnit inUnit, AudioUnitPropertyID inID,
                                              AudioUnitScope inScope, AudioUnitElement inElement);

// The fast-dispatch procedures; the first argument is the unit's instance storage.
typedef ComponentResult (*AudioUnitGetParameterProc)(void* inComponentStorage, AudioUnitParameterID inID,
                                                     AudioUnitScope inScope, AudioUnitElement inElement,
                                                     AudioUnitParameterValue* outValue);
typedef ComponentResult (*AudioUnitSetParameterProc)(void* inComponentStorage, AudioUnitParameterID inID,
                                                     AudioUnitScope inScope, AudioUnitElement inElement,
                                                     AudioUnitParameterValue inValue, UInt32 inBufferOffsetInFrames);
typedef ComponentResult (*AudioUnitRenderProc)(void* inComponentStorage, AudioUnitRenderActionFlags* ioActionFlags,
                                               const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber,
                                               UInt32 inNumberFrames, AudioBufferList* ioData);

enum : AUParameterEventType
{
  kParameterEvent_Immediate = 1,
  kParameterEvent_Ramped = 2
};

struct AudioUnitParameterEvent
{
  AudioUnitScope scope;
  AudioUnitElement element;
  AudioUnitParameterID parameter;
  AUParameterEventType eventType;
  union
  {
    struct
    {
      SInt32 startBufferOffset;
      UInt32 durationInFrames;
      AudioUnitParameterValue startValue;
      AudioUnitParameterValue endValue;
    } ramp;
    struct
    {
      UInt32 bufferOffset;
      AudioUnitParameterValue value;
    } immediate;
  } eventValues;
};

// ----- Calls on a unit, through its component entry -----

ComponentResult AudioUnitInitialize(AudioUnit ci);
ComponentResult AudioUnitUninitialize(AudioUnit ci);
ComponentResult AudioUnitGetPropertyInfo(AudioUnit ci, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                         AudioUnitElement inElement, UInt32* outDataSize, Boolean* outWritable);
ComponentResult AudioUnitGetProperty(AudioUnit ci, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                     AudioUnitElement inElement, void* outData, UInt32* ioDataSize);
ComponentResult AudioUnitSetProperty(AudioUnit ci, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                     AudioUnitElement inElement, const void* inData, UInt32 inDataSize);
ComponentResult AudioUnitAddPropertyListener(AudioUnit ci, AudioUnitPropertyID inID,
                                             AudioUnitPropertyListenerProc inProc, void* inProcUserData);
ComponentResult AudioUnitRemovePropertyListener(AudioUnit ci, AudioUnitPropertyID inID,
                                                AudioUnitPropertyListenerProc inProc);
ComponentResult AudioUnitRemovePropertyListenerWithUserData(AudioUnit ci, AudioUnitPropertyID inID,
                                                            AudioUnitPropertyListenerProc inProc, void* inProcUserData);
ComponentResult AudioUnitAddRenderNotify(AudioUnit ci, AURenderCallback inProc, void* inProcRefCon);
ComponentResult AudioUnitRemoveRenderNotify(AudioUnit ci, AURenderCallback inProc, void* inProcRefCon);
ComponentResult AudioUnitGetParameter(AudioUnit ci, AudioUnitParameterID inID, AudioUnitScope inScope,
                                      AudioUnitElement inElement, AudioUnitParameterValue* outValue);
ComponentResult AudioUnitSetParameter(AudioUnit ci, AudioUnitParameterID inID, AudioUnitScope inScope,
                                      AudioUnitElement inElement, AudioUnitParameterValue inValue,
                                      UInt32 inBufferOffsetInFrames);
ComponentResult AudioUnitScheduleParameters(AudioUnit ci, const AudioUnitParameterEvent* inParameterEvent,
                                            UInt32 inNumParamEvents);
ComponentResult AudioUnitRender(AudioUnit ci, AudioUnitRenderActionFlags* ioActionFlags,
                                const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber, UInt32 inNumberFrames,
                                AudioBufferList* ioData);
ComponentResult AudioUnitReset(AudioUnit ci, AudioUnitScope inScope, AudioUnitElement inElement);
