#pragma once
// Music-device selectors and records.

#include <AudioUnit/AUComponent.h>

typedef UInt32 MusicDeviceInstrumentID;
typedef UInt32 MusicDeviceGroupID;
typedef UInt32 NoteInstanceID;

struct NoteParamsControlValue
{
  AudioUnitParameterID mID;
  AudioUnitParameterValue mValue;
};

struct MusicDeviceNoteParams
{
  UInt32 argCount;
  Float32 mPitch;
  Float32 mVelocity;
  NoteParamsControlValue mControls[1];
};

enum
{
  kMusicDeviceRange = 0x0100,
  kMusicDeviceMIDIEventSelect = 0x0101,
  kMusicDeviceSysExSelect = 0x0102,
  kMusicDevicePrepareInstrumentSelect = 0x0103,
  kMusicDeviceReleaseInstrumentSelect = 0x0104,
  kMusicDeviceStartNoteSelect = 0x0105,
  kMusicDeviceStopNoteSelect = 0x0106
};

ComponentResult MusicDeviceMIDIEvent(AudioUnit ci, UInt32 inStatus, UInt32 inData1, UInt32 inData2,
                                     UInt32 inOffsetSampleFrame);
ComponentResult MusicDeviceStartNote(AudioUnit ci, MusicDeviceInstrumentID inInstrument, MusicDeviceGroupID inGroupID,
                                     NoteInstanceID* outNoteInstanceID, UInt32 inOffsetSampleFrame,
                                     const MusicDeviceNoteParams* inParams);
ComponentResult MusicDeviceStopNote(AudioUnit ci, MusicDeviceGroupID inGroupID, NoteInstanceID inNoteInstanceID,
                                    UInt32 inOffsetSampleFrame);
