// The VST build's factory: each instance the entry point makes is a Kestrovane on the VST wrapper.

#include "Kestrovane.h"

IFxVST* IFxVSTMakePlug(const IFxInstanceInfo& instanceInfo)
{
  return new Kestrovane(instanceInfo);
}
