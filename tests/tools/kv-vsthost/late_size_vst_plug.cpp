// A VST 2.4 module whose editor reports its size only once open, as several plug-ins do: get-rect
// answers nothing before edit-open and 300 x 200 after it (never, with KV_LATE_SIZE_NEVER set).
// Audio passes through; there are no parameters.

#include <vst2_interface.h>

#include <cstdlib>
#include <cstring>

namespace
{
bool sEditorOpen = false;
ERect sRect = { 0, 0, 200, 300 };

VstIntPtr VSTCALLBACK Dispatch(AEffect* e, VstInt32 opCode, VstInt32, VstIntPtr, void* ptr, float)
{
  switch (opCode)
  {
    case effEditGetRect:
      if (!ptr) return 0;
      if (!sEditorOpen || getenv("KV_LATE_SIZE_NEVER"))
      {
        *(ERect**)ptr = nullptr;
        return 0;
      }
      *(ERect**)ptr = &sRect;
      return 1;
    case effEditOpen: sEditorOpen = ptr != nullptr; return sEditorOpen;
    case effEditClose: sEditorOpen = false; return 1;
    case effGetEffectName:
      if (ptr) strcpy((char*)ptr, "Late Size");
      return 1;
    case effClose: delete e; return 1;
    default: return 0;
  }
}

void VSTCALLBACK Process(AEffect*, float** in, float** out, VstInt32 n)
{
  for (int c = 0; c < 2; ++c) memcpy(out[c], in[c], (size_t)n * sizeof(float));
}
}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback)
{
  AEffect* e = new AEffect();
  e->magic = kEffectMagic;
  e->dispatcher = Dispatch;
  e->processReplacing = Process;
  e->numInputs = e->numOutputs = 2;
  e->flags = effFlagsHasEditor | effFlagsCanReplacing;
  e->uniqueID = 0x6C617465;  // 'late'
  return e;
}
