#include "IFxStructs.h"

#include <cstdio>
#include <cstring>

#include "IFxDebug.h"

void IMidiMsg::Clear()
{
  mOffset = 0;
  mStatus = mData1 = mData2 = 0;
}

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset)
{
  Clear();
  mStatus = 0x90;
  mData1 = (unsigned char)noteNumber;
  mData2 = (unsigned char)velocity;
  mOffset = offset;
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset)
{
  Clear();
  mStatus = 0x80;
  mData1 = (unsigned char)noteNumber;
  mOffset = offset;
}

void IMidiMsg::MakePitchWheelMsg(double value)
{
  Clear();
  mStatus = 0xE0;
  // Clamp before converting so that no value leaves int's range.
  double scaled = value * 8192.0;
  if (!(scaled > -8192.0)) scaled = -8192.0;
  if (scaled > 8192.0) scaled = 8192.0;
  int i = (int)scaled + 8192;
  if (i < 0) i = 0;
  if (i > 16383) i = 16383;
  mData1 = (unsigned char)(i & 0x7F);
  mData2 = (unsigned char)(i >> 7);
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value)
{
  Clear();
  mStatus = 0xB0;
  mData1 = (unsigned char)idx;
  double scaled = value * 127.0;
  if (!(scaled > 0.0)) scaled = 0.0;
  if (scaled > 127.0) scaled = 127.0;
  mData2 = (unsigned char)(int)scaled;
}

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const
{
  const unsigned int kind = mStatus >> 4;
  return (kind >= kNoteOff && kind <= kPitchWheel) ? (EStatusMsg)kind : kNone;
}

int IMidiMsg::NoteNumber() const
{
  switch (StatusMsg())
  {
    case kNoteOn:
    case kNoteOff:
    case kPolyAftertouch: return mData1;
    default: return -1;
  }
}

int IMidiMsg::Velocity() const
{
  switch (StatusMsg())
  {
    case kNoteOn:
    case kNoteOff: return mData2;
    default: return -1;
  }
}

int IMidiMsg::Program() const
{
  return StatusMsg() == kProgramChange ? mData1 : -1;
}

double IMidiMsg::PitchWheel() const
{
  if (StatusMsg() != kPitchWheel) return 0.0;
  const int iVal = (mData2 << 7) + mData1;
  return (double)(iVal - 8192) / 8192.0;
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const
{
  if (StatusMsg() == kControlChange && ControlChangeIdx() == idx) return (double)mData2 / 127.0;
  return -1.0;
}

const char* StatusMsgStr(IMidiMsg::EStatusMsg msg)
{
  switch (msg)
  {
    case IMidiMsg::kNone: return "none";
    case IMidiMsg::kNoteOff: return "noteoff";
    case IMidiMsg::kNoteOn: return "noteon";
    case IMidiMsg::kPolyAftertouch: return "aftertouch";
    case IMidiMsg::kControlChange: return "controlchange";
    case IMidiMsg::kProgramChange: return "programchange";
    case IMidiMsg::kChannelAftertouch: return "channelaftertouch";
    case IMidiMsg::kPitchWheel: return "pitchwheel";
    default: return "unknown";
  }
}

EHost LookUpHost(const char* inHost)
{
  static const struct
  {
    const char* mSubstring;
    EHost mHost;
  } kHosts[] = {
    { "cubase", kHostCubase },     { "reaper", kHostReaper },       { "nuendo", kHostNuendo },
    { "cakewalk", kHostCakewalk }, { "samplitude", kHostSamplitude }, { "fruity", kHostFruity },
    { "live", kHostLive },         { "melodyne", kHostMelodyne },   { "vstmanlib", kHostVSTManLib },
    { "aulab", kHostAULab },       { "forte", kHostForte },         { "chainer", kHostChainer },
    { "audition", kHostAudition }, { "orion", kHostOrion },         { "sawstudio", kHostSAWStudio },
    { "logic", kHostLogic },       { "digital", kHostDigital },     { "ardour", kHostArdour },
    { "mixbus", kHostArdour },
  };

  char host[256];
  ToLower(host, inHost ? inHost : "", sizeof(host));
  for (const auto& h : kHosts)
    if (strstr(host, h.mSubstring)) return h.mHost;
  return kHostUnknown;
}

void GetVersionParts(int version, int* pVer, int* pMaj, int* pMin)
{
  *pVer = (version & 0xFFFF0000) >> 16;
  *pMaj = (version & 0x0000FF00) >> 8;
  *pMin = version & 0x000000FF;
}

int GetDecimalVersion(int version)
{
  int ver, rmaj, rmin;
  GetVersionParts(version, &ver, &rmaj, &rmin);
  return 10000 * ver + 100 * rmaj + rmin;
}

void GetVersionStr(int version, char* str)
{
  int ver, rmaj, rmin;
  GetVersionParts(version, &ver, &rmaj, &rmin);
  sprintf(str, "v%d.%d", ver, rmaj);
}
