#pragma once
// Runs every dispatcher opcode, handled or not, against an effect and checks each answer and
// whether it wrote through its pointer. Each call gets a scratch buffer whose first 16 bytes are
// zero (an empty event list, an empty question or name, key number 0), index 0, value 0, opt 0.
// Opcodes missing from the table must answer 0 and write nothing. effClose is skipped.

#include <gtest/gtest.h>
#include <vst2_interface.h>

#include <cstring>
#include <map>

struct VstOpcodeExpect
{
  VstIntPtr result;
  bool writes;  // through the pointer
};

// What the wrapper answers, under the calls above, for a plug-in without an editor whose chunk
// holds chunkSize bytes and whose product name is not empty. Tests adjust entries for their plug-in.
inline std::map<VstInt32, VstOpcodeExpect> WrapperOpcodeAnswers(VstIntPtr chunkSize)
{
  return {
    { effOpen, { 0, false } },
    { effSetProgram, { 0, false } },
    { effGetProgram, { 0, false } },
    { effSetProgramName, { 0, false } },  // an empty name keeps the old one
    { effGetProgramName, { 0, true } },
    { effGetParamLabel, { 0, true } },
    { effGetParamDisplay, { 0, true } },
    { effGetParamName, { 0, true } },
    { effSetSampleRate, { 0, false } },  // rate 0 is ignored
    { effSetBlockSize, { 0, false } },   // size 0 is refused
    { effMainsChanged, { 0, false } },
    { effEditGetRect, { 0, false } },  // no editor attached
    { effEditOpen, { 0, false } },
    { effEditClose, { 0, false } },
    { effEditIdle, { 0, false } },
    { effIdentify, { 0x4E764566, false } },
    { effGetChunk, { chunkSize, true } },  // stores the data address
    { effSetChunk, { 0, false } },         // count 0: nothing to load, refused
    { effProcessEvents, { 1, false } },    // a list of no events
    { effCanBeAutomated, { 1, false } },
    { effGetProgramNameIndexed, { 1, true } },
    { effGetInputProperties, { 1, true } },
    { effGetOutputProperties, { 1, true } },
    { effGetPlugCategory, { 1, false } },
    { effSetSpeakerArrangement, { 1, false } },
    { effGetEffectName, { 1, true } },
    { effGetVendorString, { 1, true } },
    { effGetProductString, { 1, true } },
    { effVendorSpecific, { 0, false } },  // index 0 is no request of ours
    { effCanDo, { 0, false } },           // an empty question
    { effIdle, { 0, false } },
    { effGetVstVersion, { 2400, false } },
    { effGetMidiKeyName, { 0, true } },  // the key name is emptied, no name given
    { effGetSpeakerArrangement, { 1, true } },
  };
}

inline void CheckEveryOpcode(AEffect* pEffect, const std::map<VstInt32, VstOpcodeExpect>& handled)
{
  for (VstInt32 op = -2; op < kVstNumEffectOpcodes + 8; ++op)
  {
    if (op == effClose) continue;
    unsigned char scratch[1024], before[1024];
    memset(scratch, 0x5A, sizeof(scratch));
    memset(scratch, 0, 16);
    memcpy(before, scratch, sizeof(scratch));
    const VstIntPtr result = pEffect->dispatcher(pEffect, op, 0, 0, scratch, 0.0f);
    const bool wrote = memcmp(before, scratch, sizeof(scratch)) != 0;
    const auto it = handled.find(op);
    if (it == handled.end())
    {
      EXPECT_EQ(result, 0) << "unhandled opcode " << op;
      EXPECT_FALSE(wrote) << "unhandled opcode " << op << " wrote through its pointer";
      continue;
    }
    EXPECT_EQ(result, it->second.result) << "opcode " << op;
    EXPECT_EQ(wrote, it->second.writes) << "opcode " << op;
  }
}
