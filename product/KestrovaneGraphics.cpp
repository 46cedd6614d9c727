#include "KestrovaneGraphics.h"

#if !defined(KV_API_HEADLESS)

#include "IGraphicsMac.h"

IGraphicsMac* MakeGraphics(IFxAPI* pPlug, int w, int h, int fps)
{
  IGraphicsMac* pGraphics = new IGraphicsMac(pPlug, w, h, fps);
#if defined(KV_API_AU)
  pGraphics->SetBundleID(PLUG_BUNDLE_ID_AU);
#else
  pGraphics->SetBundleID(PLUG_BUNDLE_ID_VST);
#endif
  return pGraphics;
}

#endif
