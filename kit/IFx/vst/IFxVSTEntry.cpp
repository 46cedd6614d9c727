// The exported entry points of a VST module. Compiled into each plug-in module, which defines
// IFxVSTMakePlug for its product; the module's symbol list exports these two names only.

#include "IFxVST.h"

#define IFX_VST_EXPORT extern "C" __attribute__((visibility("default")))

IFX_VST_EXPORT AEffect* VSTPluginMain(audioMasterCallback hostCallback);

// Creates one instance; instances are made one at a time across threads. A product that cannot be
// made (no memory) gives the host a null record instead of an exception through its call.
AEffect* VSTPluginMain(audioMasterCallback hostCallback)
{
  static KIT_Mutex sMutex;
  KIT_MutexScope lock(&sMutex);

  IFxInstanceInfo instanceInfo;
  instanceInfo.mVSTHostCallback = hostCallback;
  IFxVST* pPlug = nullptr;
  try
  {
    pPlug = IFxVSTMakePlug(instanceInfo);
  }
  catch (...)
  {
    return nullptr;
  }
  if (!pPlug) return nullptr;
  pPlug->EnsureDefaultPreset();
  AEffect* pEffect = pPlug->GetAEffect();
  if (pEffect->numPrograms <= 0) pEffect->numPrograms = 1;
  return pEffect;
}

// The same entry under the name older hosts look for. A C++ function may not be called main, so
// the symbol gets that name through an assembler label.
IFX_VST_EXPORT AEffect* IFxVSTMainEntry(audioMasterCallback hostCallback) __asm__("main");

AEffect* IFxVSTMainEntry(audioMasterCallback hostCallback)
{
  return VSTPluginMain(hostCallback);
}
