// IFxAU: the Carbon view component, which opens the instance's editor as a control in a host
// window.

#include "IFxAU.h"

namespace
{
// The unit is kept as the host's handle and its plug-in looked up at every use: the unit may
// close before the view does, and a closed unit has no plug-in.
struct CarbonViewRecord
{
  ComponentInstance mViewInstance;
  AudioUnit mUnit;
};

IGraphics* EditorOf(AudioUnit unit)
{
  IFxAU* pPlug = (IFxAU*)GetComponentInstanceStorage(unit);
  return pPlug ? pPlug->GetGUI() : nullptr;
}
}  // namespace

ComponentResult IFxAU::IFxAUCarbonViewEntry(ComponentParameters* params, void* storage)
{
  if (!params) return paramErr;
  CarbonViewRecord* pRecord = (CarbonViewRecord*)storage;
  switch (params->what)
  {
    case kComponentOpenSelect:
    {
      ComponentInstance viewInstance = ComponentParamAt<ComponentInstance>(params, 0);
      SetComponentInstanceStorage(viewInstance, (Handle) new CarbonViewRecord{ viewInstance, nullptr });
      return noErr;
    }
    case kComponentCloseSelect:
      if (pRecord && pRecord->mUnit)
        if (IGraphics* pGraphics = EditorOf(pRecord->mUnit)) pGraphics->CloseWindow();
      delete pRecord;
      return noErr;
    case kAudioUnitCarbonViewCreateSelect:
    {
      // Arguments: the unit, the window, the parent control, the location, the size, the out control.
      if (!pRecord) return badComponentSelector;
      AudioUnit unit = ComponentParamAt<AudioUnit>(params, 1);
      void* window = ComponentParamAt<void*>(params, 2);
      void* parentControl = ComponentParamAt<void*>(params, 3);
      void** pOutControl = ComponentParamAt<void**>(params, 6);
      IGraphics* pGraphics = EditorOf(unit);
      if (!pGraphics) return badComponentSelector;
      pRecord->mUnit = unit;
      void* control = pGraphics->OpenWindow(window, parentControl);
      if (pOutControl) *pOutControl = control;
      return noErr;
    }
    default: return badComponentSelector;
  }
}
