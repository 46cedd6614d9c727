// libFuzzer target: arbitrary bytes to set-chunk of the test plug-in (see VstSetChunkFuzz.h).

#include "VstSetChunkFuzz.h"
#include "VstTestPlug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static VstTestPlug* sPlug = new VstTestPlug(IFxInstanceInfo());
  vst_fuzz::SetChunkOnce(sPlug, data, size);
  sPlug->mLog.clear();  // what one input logged tells nothing about the next
  return 0;
}
