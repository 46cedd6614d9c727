// The test plug-in as a VST module, loaded by the tests with dlopen.

#include "VstTestPlug.h"

IFxVST* IFxVSTMakePlug(const IFxInstanceInfo& instanceInfo)
{
  return new VstTestPlug(instanceInfo);
}
