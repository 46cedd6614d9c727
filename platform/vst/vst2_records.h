#pragma once
// The records the VST 2.4 interface passes through the dispatcher and the host callback: events and
// MIDI events, time information, pin properties, speaker arrangements, the editor rectangle and
// MIDI key names. Public 64-bit layout, pinned by the asserts below.

#include "vst2_effect.h"

// ----- Events -----

enum VstEventTypes
{
  kVstMidiType = 1,
  kVstSysExType = 6
};

struct VstEvent
{
  VstInt32 type;
  VstInt32 byteSize;  // of the whole event, after this field and the type
  VstInt32 deltaFrames;
  VstInt32 flags;
  char data[16];
};

struct VstMidiEvent
{
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  VstInt32 noteLength;
  VstInt32 noteOffset;
  char midiData[4];
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
};

struct VstMidiSysexEvent
{
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  VstInt32 dumpBytes;
  VstIntPtr resvd1;
  char* sysexDump;
  VstIntPtr resvd2;
};

enum VstMidiEventFlags
{
  kVstMidiEventIsRealtime = 1 << 0
};

// A list of events; hosts allocate room for numEvents pointers, the declared two are a minimum.
struct VstEvents
{
  VstInt32 numEvents;
  VstIntPtr reserved;
  VstEvent* events[2];
};

static_assert(sizeof(VstEvent) == 32, "event size");
static_assert(sizeof(VstMidiEvent) == 32, "MIDI event size");
static_assert(offsetof(VstMidiEvent, midiData) == 24, "MIDI data offset");
static_assert(sizeof(VstMidiSysexEvent) == 48, "system-exclusive event size");
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == 32, "system-exclusive data offset");
static_assert(offsetof(VstEvents, events) == 16, "event pointers offset");

// ----- Time information -----

enum VstTimeInfoFlags
{
  kVstTransportChanged = 1,
  kVstTransportPlaying = 1 << 1,
  kVstTransportCycleActive = 1 << 2,
  kVstTransportRecording = 1 << 3,
  kVstAutomationWriting = 1 << 6,
  kVstAutomationReading = 1 << 7,
  kVstNanosValid = 1 << 8,
  kVstPpqPosValid = 1 << 9,
  kVstTempoValid = 1 << 10,
  kVstBarsValid = 1 << 11,
  kVstCyclePosValid = 1 << 12,
  kVstTimeSigValid = 1 << 13,
  kVstSmpteValid = 1 << 14,
  kVstClockValid = 1 << 15
};

struct VstTimeInfo
{
  double samplePos;
  double sampleRate;
  double nanoSeconds;
  double ppqPos;
  double tempo;
  double barStartPos;
  double cycleStartPos;
  double cycleEndPos;
  VstInt32 timeSigNumerator;
  VstInt32 timeSigDenominator;
  VstInt32 smpteOffset;
  VstInt32 smpteFrameRate;
  VstInt32 samplesToNextClock;
  VstInt32 flags;
};

static_assert(sizeof(VstTimeInfo) == 88, "time information size");
static_assert(offsetof(VstTimeInfo, tempo) == 32, "tempo offset");
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64, "time signature offset");
static_assert(offsetof(VstTimeInfo, flags) == 84, "time flags offset");

// ----- Pins and speakers -----

enum VstPinPropertiesFlags
{
  kVstPinIsActive = 1 << 0,
  kVstPinIsStereo = 1 << 1,
  kVstPinUseSpeaker = 1 << 2
};

struct VstPinProperties
{
  char label[kVstMaxLabelLen];
  VstInt32 flags;
  VstInt32 arrangementType;
  char shortLabel[kVstMaxShortLabelLen];
  char future[48];
};

static_assert(sizeof(VstPinProperties) == 128, "pin properties size");
static_assert(offsetof(VstPinProperties, flags) == 64, "pin flags offset");

enum VstSpeakerArrangementType
{
  kSpeakerArrUserDefined = -2,
  kSpeakerArrEmpty = -1,
  kSpeakerArrMono = 0,
  kSpeakerArrStereo = 1
};

struct VstSpeakerProperties
{
  float azimuth;
  float elevation;
  float radius;
  float reserved;
  char name[kVstMaxNameLen];
  VstInt32 type;
  char future[28];
};

struct VstSpeakerArrangement
{
  VstInt32 type;
  VstInt32 numChannels;
  VstSpeakerProperties speakers[8];  // hosts may allocate more for numChannels above 8
};

static_assert(sizeof(VstSpeakerProperties) == 112, "speaker properties size");
static_assert(sizeof(VstSpeakerArrangement) == 904, "speaker arrangement size");

// ----- Editor and MIDI key names -----

struct ERect
{
  VstInt16 top;
  VstInt16 left;
  VstInt16 bottom;
  VstInt16 right;
};

static_assert(sizeof(ERect) == 8, "editor rectangle size");

struct MidiKeyName
{
  VstInt32 thisProgramIndex;
  VstInt32 thisKeyNumber;
  char keyName[kVstMaxNameLen];
  VstInt32 reserved;
  VstInt32 flags;
};

static_assert(sizeof(MidiKeyName) == 80, "MIDI key name size");
