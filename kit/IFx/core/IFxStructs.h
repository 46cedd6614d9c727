#pragma once
// Small records and services of the plug-in core: presets, MIDI messages, host kinds, versions.

#include "ByteChunk.h"

// A named snapshot of every parameter value (the parameter state body in its chunk).
struct IPreset
{
  enum { kNameLen = 256 };

  bool mInitialized = false;
  char mName[kNameLen] = {};
  ByteChunk mChunk;
};

struct IMidiMsg
{
  int mOffset = 0;
  unsigned char mStatus = 0, mData1 = 0, mData2 = 0;

  enum EStatusMsg
  {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  // Controller numbers (data 1 of a control change).
  enum EControlChangeMsg
  {
    kModWheel = 1,
    kBreathController = 2,
    kFootController = 4,
    kPortamentoTime = 5,
    kChannelVolume = 7,
    kBalance = 8,
    kPan = 10,
    kExpressionController = 11,
    kSustainOnOff = 64,
    kPortamentoOnOff = 65,
    kSostenutoOnOff = 66,
    kSoftPedalOnOff = 67,
    kAllNotesOff = 123
  };

  IMidiMsg(int offs = 0, unsigned char s = 0, unsigned char d1 = 0, unsigned char d2 = 0)
    : mOffset(offs), mStatus(s), mData1(d1), mData2(d2) {}

  void MakeNoteOnMsg(int noteNumber, int velocity, int offset);
  void MakeNoteOffMsg(int noteNumber, int offset);
  void MakePitchWheelMsg(double value);  // -1.0 to 1.0
  void MakeControlChangeMsg(EControlChangeMsg idx, double value);  // 0.0 to 1.0

  EStatusMsg StatusMsg() const;
  int NoteNumber() const;
  int Velocity() const;
  int Program() const;
  double PitchWheel() const;
  EControlChangeMsg ControlChangeIdx() const { return (EControlChangeMsg)mData1; }
  double ControlChange(EControlChangeMsg idx) const;
  void Clear();
  void LogMsg() const {}
};

const char* StatusMsgStr(IMidiMsg::EStatusMsg msg);

// The host kinds LookUpHost tells apart; 2, 6, 10, 11 and 19 are numbered but never produced.
enum EHost
{
  kHostUninit = -1,
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostReserved2 = 2,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostCakewalk = 5,
  kHostReserved6 = 6,
  kHostFruity = 7,
  kHostSamplitude = 8,
  kHostLive = 9,
  kHostReserved10 = 10,
  kHostReserved11 = 11,
  kHostMelodyne = 12,
  kHostVSTManLib = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostReserved19 = 19,
  kHostSAWStudio = 20,
  kHostLogic = 21,
  kHostDigital = 22,
  kHostArdour = 23
};

EHost LookUpHost(const char* inHost);

// Versions are packed 0xMMMMmmbb; the decimal form is major * 10000 + minor * 100 + revision.
void GetVersionParts(int version, int* pVer, int* pMaj, int* pMin);
int GetDecimalVersion(int version);
void GetVersionStr(int version, char* str);
