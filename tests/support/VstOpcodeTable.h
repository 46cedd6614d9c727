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
