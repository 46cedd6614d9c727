#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "IFxDebug.h"
#include "IFxStructs.h"

TEST(LookUpHost, ProductStringsToHostKinds)
{
  struct Case
  {
    const char* product;
    int host;
  };
  const Case cases[] = {
    { "Cubase SX", kHostCubase }, { "Steinberg Nuendo", kHostNuendo }, { "Ableton Live", kHostLive },
    { "", kHostUnknown }, { "REAPER and Cubase", kHostCubase }, { "REAPER", kHostReaper },
    { "Cakewalk SONAR", 5 }, { "Samplitude", 8 }, { "Fruity Wrapper", 7 }, { "Melodyne", 12 },
    { "vstmanlib", 13 }, { "AULab", 14 }, { "Forte", 15 }, { "Chainer", 16 }, { "Adobe Audition", 17 },
    { "Orion", 18 }, { "SAWStudio", 20 }, { "Logic Pro", 21 }, { "Digital Performer", 22 },
    { "Ardour", 23 }, { "Mixbus", 23 }, { "Some Other Host", 0 },
    { "Cakewalk Live", kHostCakewalk },  // the first entry of the table that matches decides
  };
  for (const Case& c : cases) EXPECT_EQ(LookUpHost(c.product), c.host) << c.product;
  EXPECT_EQ(LookUpHost(nullptr), kHostUnknown);
  // Only the first 255 characters are looked at.
  std::string longName(300, 'x');
  longName += "cubase";
  EXPECT_EQ(LookUpHost(longName.c_str()), kHostUnknown);
}

TEST(Versions, PartsDecimalAndText)
{
  int major, minor, rev;
  GetVersionParts(0x10203, &major, &minor, &rev);
  EXPECT_EQ(major, 1);
  EXPECT_EQ(minor, 2);
  EXPECT_EQ(rev, 3);
  EXPECT_EQ(GetDecimalVersion(0x10203), 10203);
  EXPECT_EQ(GetDecimalVersion(0x20000), 20000);
  char s[32];
  GetVersionStr(0x20000, s);
  EXPECT_STREQ(s, "v2.0");
}

TEST(IMidiMsg, MakersAndReaders)
{
  struct Case
  {
    const char* what;
    IMidiMsg msg;
    int status, note, velocity, program;
    double pitch;
  };
  IMidiMsg on, off, pwMid, pwTop, pwBottom, pwNaN, cc, pc(0, 0xC3, 12, 0), poly(0, 0xA0, 64, 33), clock(0, 0xF8, 0, 0), data(0, 0x40, 0, 0);
  on.MakeNoteOnMsg(60, 100, 12);
  off.MakeNoteOffMsg(61, 3);
  pwMid.MakePitchWheelMsg(0);
  pwTop.MakePitchWheelMsg(1);
  pwBottom.MakePitchWheelMsg(-1);
  pwNaN.MakePitchWheelMsg(std::nan(""));
  cc.MakeControlChangeMsg(IMidiMsg::kChannelVolume, 1.0);
  const Case cases[] = {
    { "note on", on, IMidiMsg::kNoteOn, 60, 100, -1, 0.0 },
    { "note off", off, IMidiMsg::kNoteOff, 61, 0, -1, 0.0 },
    { "pitch centre", pwMid, IMidiMsg::kPitchWheel, -1, -1, -1, 0.0 },
    { "pitch top", pwTop, IMidiMsg::kPitchWheel, -1, -1, -1, 8191.0 / 8192.0 },
    { "pitch bottom", pwBottom, IMidiMsg::kPitchWheel, -1, -1, -1, -1.0 },
    { "pitch NaN", pwNaN, IMidiMsg::kPitchWheel, -1, -1, -1, -1.0 },
    { "control change", cc, IMidiMsg::kControlChange, -1, -1, -1, 0.0 },
    { "program change", pc, IMidiMsg::kProgramChange, -1, -1, 12, 0.0 },
    { "poly aftertouch", poly, IMidiMsg::kPolyAftertouch, 64, -1, -1, 0.0 },
    { "system message", clock, IMidiMsg::kNone, -1, -1, -1, 0.0 },
    { "data byte", data, IMidiMsg::kNone, -1, -1, -1, 0.0 },
  };
  for (const Case& c : cases)
  {
    EXPECT_EQ(c.msg.StatusMsg(), c.status) << c.what;
    EXPECT_EQ(c.msg.NoteNumber(), c.note) << c.what;
    EXPECT_EQ(c.msg.Velocity(), c.velocity) << c.what;
    EXPECT_EQ(c.msg.Program(), c.program) << c.what;
    EXPECT_DOUBLE_EQ(c.msg.PitchWheel(), c.pitch) << c.what;
  }
  EXPECT_EQ(on.mOffset, 12);
  EXPECT_EQ(pwMid.mData1, 0);
  EXPECT_EQ(pwMid.mData2, 64);
  EXPECT_EQ(pwTop.mData1, 127);
  EXPECT_EQ(pwTop.mData2, 127);
  EXPECT_EQ(pwBottom.mData1, 0);
  EXPECT_EQ(pwBottom.mData2, 0);
  EXPECT_EQ(cc.mStatus, 0xB0);
  EXPECT_EQ(cc.ControlChangeIdx(), IMidiMsg::kChannelVolume);
  EXPECT_DOUBLE_EQ(cc.ControlChange(IMidiMsg::kChannelVolume), 1.0);
  EXPECT_DOUBLE_EQ(cc.ControlChange(IMidiMsg::kPan), -1.0);
  IMidiMsg half;
  half.MakeControlChangeMsg(IMidiMsg::kModWheel, 0.5);
  EXPECT_EQ(half.mData2, 63);
  half.Clear();
  EXPECT_EQ(half.mStatus | half.mData1 | half.mData2 | half.mOffset, 0);
}

TEST(IMidiMsg, StatusNames)
{
  const char* names[] = { "none", "noteoff", "noteon", "aftertouch", "controlchange", "programchange", "channelaftertouch", "pitchwheel" };
  const int kinds[] = { 0, 8, 9, 10, 11, 12, 13, 14 };
  for (int i = 0; i < 8; ++i) EXPECT_STREQ(StatusMsgStr((IMidiMsg::EStatusMsg)kinds[i]), names[i]);
  EXPECT_STREQ(StatusMsgStr((IMidiMsg::EStatusMsg)3), "unknown");
}

TEST(DebugHelpers, TextAndTimestamps)
{
  EXPECT_TRUE(IsWhitespace(' '));
  EXPECT_TRUE(IsWhitespace('\t'));
  EXPECT_TRUE(IsWhitespace('\n'));
  EXPECT_TRUE(IsWhitespace('\r'));
  EXPECT_FALSE(IsWhitespace('x'));
  char lower[8];
  EXPECT_EQ(ToLower(lower, "AbC", sizeof(lower)), 3);
  EXPECT_STREQ(lower, "abc");
  EXPECT_EQ(ToLower(lower, "ABCDEFGHIJ", sizeof(lower)), 7);
  EXPECT_STREQ(lower, "abcdefg");
  char stamp[32];
  CompileTimestamp("Jan 15 2010", "12:34:56", stamp);
  EXPECT_STREQ(stamp, "[Jan15 12:34]");
  EXPECT_STREQ(AppendTimestamp("Jan 15 2010", "12:34:56", "build"), "build [Jan15 12:34]");
  EXPECT_STREQ(AppendTimestamp("Feb  1 2011", "01:02:03", "ignored"), "build [Jan15 12:34] [Feb 1 01:02]");
  // "%Y%m%d %H:%M " then the zone's capitals: digits, a blank, a time, a blank.
  const std::string now = CurrentTime();
  ASSERT_GE(now.size(), 15u);
  EXPECT_EQ(now[8], ' ');
  EXPECT_EQ(now[11], ':');
  EXPECT_EQ(now[14], ' ');
  for (size_t i = 15; i < now.size(); ++i) EXPECT_TRUE(isupper((unsigned char)now[i])) << now;
  EXPECT_STREQ(VSTOpcodeStr(3), "");
  EXPECT_STREQ(AUSelectStr(3), "");
  Timer t;
  EXPECT_FALSE(t.Every(1000.0));
}
