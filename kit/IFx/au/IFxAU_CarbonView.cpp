// IFxAU: the Carbon view component, which opens the instance's editor as a control in a host
// window.

#include "IFxAU.h"

namespace
{
struct CarbonViewRecord
{
  ComponentInstance mViewInstance;
  IFxAU* mPlug;
};
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
      if (pRecord && pRecord->mPlug && pRecord->mPlug->GetGUI()) pRecord->mPlug->GetGUI()->CloseWindow();
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
      pRecord->mPlug = (IFxAU*)GetComponentInstanceStorage(unit);
      IGraphics* pGraphics = pRecord->mPlug ? pRecord->mPlug->GetGUI() : nullptr;
      if (!pGraphics) return badComponentSelector;
      void* control = pGraphics->OpenWindow(window, parentControl);
      if (pOutControl) *pOutControl = control;
      return noErr;
    }
    default: return badComponentSelector;
  }
}
