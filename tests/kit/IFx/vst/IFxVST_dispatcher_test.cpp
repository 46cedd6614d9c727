// The wrapper as a host sees it: the test plug-in built as a VST module, loaded with dlopen.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ElfSymbols.h"
#include "FakeVstHost.h"
#include "VstModule.h"
#include "VstOpcodeTable.h"

namespace
{
class VstDispatcherTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(mModule.Loaded()) << mModule.Error();
    mEffect = mModule.Create(FakeVstHost::Callback);
    ASSERT_NE(mEffect, nullptr);
    mHost.Adopt(mEffect);
  }

  FakeVstHost mHost;
  VstModule mModule{ KV_TEST_VST_MODULE };
  AEffect* mEffect = nullptr;
};

// A buffer that shows how far a reply wrote.
struct Canary
{
  char bytes[1024];
  Canary() { memset(bytes, 0x5A, sizeof(bytes)); }
  int Touched() const
  {
    int last = -1;
    for (int i = 0; i < (int)sizeof(bytes); ++i)
      if (bytes[i] != 0x5A) last = i;
    return last + 1;
  }
};
}  // namespace

TEST_F(VstDispatcherTest, EffectRecordFields)
{
  EXPECT_EQ(mEffect->magic, 0x56737450);
  EXPECT_EQ(mEffect->numParams, 4);
  EXPECT_EQ(mEffect->numPrograms, 8);
  EXPECT_EQ(mEffect->numInputs, 4);
  EXPECT_EQ(mEffect->numOutputs, 2);
  // Replacing, double replacing and mono; no chunks, no editor, not an instrument.
  EXPECT_EQ(mEffect->flags, 0x1018);
  EXPECT_EQ(mEffect->initialDelay, 0);
  EXPECT_EQ(mEffect->ioRatio, 1.0f);
  EXPECT_EQ(mEffect->uniqueID, 0x54737431);
  EXPECT_EQ(mEffect->version, 10203);
  EXPECT_NE(mEffect->object, nullptr);
  EXPECT_NE(mEffect->dispatcher, nullptr);
  EXPECT_NE(mEffect->process, nullptr);
  EXPECT_NE(mEffect->processReplacing, nullptr);
  EXPECT_NE(mEffect->processDoubleReplacing, nullptr);
  EXPECT_NE(mEffect->setParameter, nullptr);
  EXPECT_NE(mEffect->getParameter, nullptr);
  EXPECT_EQ(mEffect->realQualities, 0);
  EXPECT_EQ(mEffect->resvd1, 0);
  for (char c : mEffect->future) EXPECT_EQ(c, 0);
}

TEST_F(VstDispatcherTest, ModuleExportsOnlyItsTwoEntries)
{
  EXPECT_EQ(ExportedSymbols(KV_TEST_VST_MODULE), (std::set<std::string>{ "VSTPluginMain", "main" }));
  // The older name gives an instance of its own, filled the same way.
  AEffect* pOther = mModule.Create(FakeVstHost::Callback, "main");
  ASSERT_NE(pOther, nullptr);
  EXPECT_NE(pOther, mEffect);
  EXPECT_EQ(pOther->magic, mEffect->magic);
  EXPECT_EQ(pOther->flags, mEffect->flags);
  EXPECT_EQ(pOther->uniqueID, mEffect->uniqueID);
}

// Every opcode, handled or not: the answer, and whether the reply buffer was written.
TEST_F(VstDispatcherTest, EveryOpcodeAnswersAsTabled)
{
  CheckEveryOpcode(mEffect, WrapperOpcodeAnswers(40));
}

TEST_F(VstDispatcherTest, PointerOpcodesWithoutAPointerDoNothing)
{
  for (VstInt32 op : { effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName,
                       effEditGetRect, effGetChunk, effSetChunk, effProcessEvents, effGetProgramNameIndexed,
                       effGetInputProperties, effGetOutputProperties, effGetEffectName, effGetVendorString,
                       effGetProductString, effVendorSpecific, effCanDo, effGetMidiKeyName })
    EXPECT_EQ(Dispatch(mEffect, op, op == effVendorSpecific ? 7 : 0, 100, nullptr), 0) << "opcode " << op;
  EXPECT_EQ(Dispatch(mEffect, effGetSpeakerArrangement, 0, 0, nullptr), 1);
}

TEST_F(VstDispatcherTest, ARecordWithoutItsObjectAnswersNothing)
{
  AEffect dead = *mEffect;
  dead.object = nullptr;
  Canary scratch;
  for (VstInt32 op = 0; op < kVstNumEffectOpcodes; ++op)
    EXPECT_EQ(dead.dispatcher(&dead, op, 0, 0, scratch.bytes, 0.0f), 0) << "opcode " << op;
  EXPECT_EQ(scratch.Touched(), 0);
  EXPECT_EQ(dead.getParameter(&dead, 0), 0.0f);
  dead.setParameter(&dead, 0, 0.5f);
  float* none[4] = {};
  dead.processReplacing(&dead, none, none, 64);
  EXPECT_EQ(dead.dispatcher(nullptr, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
}

TEST_F(VstDispatcherTest, TextsAreCutToTheirFields)
{
  // Preset 2's name is longer than the 24 bytes the interface gives program names.
  Canary name;
  EXPECT_EQ(Dispatch(mEffect, effGetProgramNameIndexed, 2, 0, name.bytes), 1);
  EXPECT_EQ(std::string(name.bytes), "A preset name longer th");
  EXPECT_EQ(name.Touched(), 24);

  Dispatch(mEffect, effSetProgram, 0, 2);
  Canary current;
  Dispatch(mEffect, effGetProgramName, 0, 0, current.bytes);
  EXPECT_EQ(current.Touched(), 24);

  // A name from the host is read only as far as its field.
  char longName[64];
  memset(longName, 'x', sizeof(longName));  // no terminator within the field, nor after it
  Dispatch(mEffect, effSetProgramName, 0, 0, longName);
  EXPECT_EQ(DispatchText(mEffect, effGetProgramName), std::string(23, 'x'));

  for (VstInt32 op : { effGetParamName, effGetParamLabel, effGetParamDisplay })
    for (VstInt32 idx = 0; idx < 4; ++idx)
    {
      Canary text;
      Dispatch(mEffect, op, idx, 0, text.bytes);
      EXPECT_LE(text.Touched(), 32) << "opcode " << op;
      EXPECT_GT(text.Touched(), 0) << "opcode " << op;
    }
  Canary effectName, vendor, product;
  Dispatch(mEffect, effGetEffectName, 0, 0, effectName.bytes);
  Dispatch(mEffect, effGetVendorString, 0, 0, vendor.bytes);
  Dispatch(mEffect, effGetProductString, 0, 0, product.bytes);
  EXPECT_EQ(std::string(effectName.bytes), "Test Effect");
  EXPECT_EQ(std::string(vendor.bytes), "Test Maker");
  EXPECT_EQ(std::string(product.bytes), "Test Product");
  EXPECT_LE(effectName.Touched(), 32);
}

TEST_F(VstDispatcherTest, ParametersOutsideTheRangeAreLeftAlone)
{
  for (VstInt32 op : { effGetParamName, effGetParamLabel, effGetParamDisplay })
    for (VstInt32 idx : { -1, 4, 1000 })
    {
      Canary text;
      EXPECT_EQ(Dispatch(mEffect, op, idx, 0, text.bytes), 0);
      EXPECT_EQ(text.Touched(), 0) << "opcode " << op << " index " << idx;
    }
  // The vendor-specific display request answers for any parameter index, but writes only for one.
  Canary text;
  EXPECT_EQ(Dispatch(mEffect, effVendorSpecific, 7, 99, text.bytes, 0.5f), 0xBEEF);
  EXPECT_EQ(Dispatch(mEffect, effVendorSpecific, 7, (VstIntPtr)1 << 32, text.bytes, 0.5f), 0xBEEF);
  EXPECT_EQ(text.Touched(), 0);
  EXPECT_EQ(Dispatch(mEffect, effVendorSpecific, 7, 1, text.bytes, 0.5f), 0xBEEF);
  EXPECT_EQ(std::string(text.bytes), "5") << "Count 0..10 at one half";
  EXPECT_EQ(mEffect->getParameter(mEffect, -1), 0.0f);
  EXPECT_EQ(mEffect->getParameter(mEffect, 4), 0.0f);
}

TEST_F(VstDispatcherTest, ProgramsAndTheirNames)
{
  EXPECT_EQ(DispatchText(mEffect, effGetProgramName), "Default");
  EXPECT_EQ(DispatchText(mEffect, effGetProgramNameIndexed, 1), "Loud");
  // An unfilled slot has its placeholder name; a slot past the table has none.
  char text[64];
  EXPECT_EQ(Dispatch(mEffect, effGetProgramNameIndexed, 5, 0, text), 1);
  EXPECT_STREQ(text, "- 6 -");
  EXPECT_EQ(Dispatch(mEffect, effGetProgramNameIndexed, 500, 0, text), 0);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(Dispatch(mEffect, effGetProgramNameIndexed, -1, 0, text), 0);

  // Leaving a program stores the current values into it first (no state chunks here).
  mEffect->setParameter(mEffect, 1, 1.0f);  // Count 10
  Dispatch(mEffect, effSetProgram, 0, 1);
  EXPECT_EQ(Dispatch(mEffect, effGetProgram), 1);
  EXPECT_EQ(DispatchText(mEffect, effGetParamDisplay, 0), "6.0") << "Loud sets the gain";
  Dispatch(mEffect, effSetProgram, 0, 0);
  EXPECT_EQ(DispatchText(mEffect, effGetParamDisplay, 1), "10") << "Default kept the count it was left with";

  // Program numbers that do not fit, whatever their high bits, change nothing.
  for (VstIntPtr bad : { (VstIntPtr)-1, (VstIntPtr)8, ((VstIntPtr)1 << 32) + 1 })
  {
    Dispatch(mEffect, effSetProgram, 0, bad);
    EXPECT_EQ(Dispatch(mEffect, effGetProgram), 0);
  }
}

TEST_F(VstDispatcherTest, PinsSpeakersAndQuestions)
{
  VstPinProperties pin;
  memset(&pin, 0, sizeof(pin));
  EXPECT_EQ(Dispatch(mEffect, effGetInputProperties, 1, 0, &pin), 1);
  EXPECT_EQ(pin.flags, kVstPinIsActive);
  EXPECT_STREQ(pin.label, "Input 2");
  EXPECT_EQ(Dispatch(mEffect, effGetOutputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
  EXPECT_STREQ(pin.label, "Output 1");
  EXPECT_EQ(Dispatch(mEffect, effGetInputProperties, 4, 0, &pin), 0);
  EXPECT_EQ(Dispatch(mEffect, effGetOutputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(Dispatch(mEffect, effGetInputProperties, -1, 0, &pin), 0);

  VstSpeakerArrangement* pIn = nullptr;
  VstSpeakerArrangement* pOut = nullptr;
  EXPECT_EQ(Dispatch(mEffect, effGetSpeakerArrangement, 0, (VstIntPtr)&pIn, &pOut), 1);
  ASSERT_NE(pIn, nullptr);
  ASSERT_NE(pOut, nullptr);
  EXPECT_EQ(pIn->numChannels, 4);
  EXPECT_EQ(pOut->numChannels, 2);

  // This plug-in does MIDI, so it answers the MIDI questions; exact, case-sensitive names only.
  const struct
  {
    const char* question;
    VstIntPtr answer;
  } questions[] = { { "receiveVstTimeInfo", 1 }, { "receiveVstMidiEvent", 1 }, { "sendVstMidiEvent", 1 },
                    { "receiveVstEvents", 1 },   { "sendVstEvents", 1 },       { "ReceiveVstTimeInfo", 0 },
                    { "bypass", 0 },             { "", 0 } };
  for (const auto& q : questions)
    EXPECT_EQ(Dispatch(mEffect, effCanDo, 0, 0, (void*)q.question), q.answer) << q.question;
}

TEST_F(VstDispatcherTest, NoEditorIsOfferedAndForeignHandlesAreNotTouched)
{
  EXPECT_EQ(mEffect->flags & effFlagsHasEditor, 0);
  ERect* pRect = (ERect*)0x1;
  EXPECT_EQ(Dispatch(mEffect, effEditGetRect, 0, 0, &pRect), 0);
  EXPECT_EQ(pRect, (ERect*)0x1);
  // An X11 window id, a stray address and null: all refused without being read.
  for (void* handle : { (void*)(uintptr_t)0x3a00007, (void*)(uintptr_t)0xdeadbeef, (void*)nullptr })
    EXPECT_EQ(Dispatch(mEffect, effEditOpen, 0, 0, handle), 0);
  EXPECT_EQ(Dispatch(mEffect, effEditClose), 0);
  EXPECT_EQ(Dispatch(mEffect, effEditIdle), 0);
}

TEST_F(VstDispatcherTest, CloseDeletesTheInstance)
{
  AEffect* pOther = mModule.Create(FakeVstHost::Callback);
  ASSERT_NE(pOther, nullptr);
  mModule.Forget(pOther);
  EXPECT_EQ(Dispatch(pOther, effOpen), 0);
  EXPECT_EQ(Dispatch(pOther, effClose), 0);  // the sanitizer builds catch any use after this
}
