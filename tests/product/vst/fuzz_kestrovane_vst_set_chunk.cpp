// libFuzzer target: arbitrary bytes to set-chunk of the product on the VST wrapper (see
// VstSetChunkFuzz.h): its state is either fully restored or unchanged.

#include "Kestrovane.h"
#include "VstSetChunkFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static Kestrovane* sPlug = new Kestrovane(IFxInstanceInfo());
  vst_fuzz::SetChunkOnce(sPlug, data, size);
  return 0;
}
