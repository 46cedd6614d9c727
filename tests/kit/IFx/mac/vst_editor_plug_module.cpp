// The VST test plug-in with a Mac editor, as a module loaded with dlopen.

#include "VstEditorPlug.h"

IFxVST* IFxVSTMakePlug(const IFxInstanceInfo& instanceInfo)
{
  return new VstEditorPlug(instanceInfo);
}
