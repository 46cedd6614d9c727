#pragma once
// The VST test plug-in with a Mac editor surface of 800 x 400 at 30 frames per second: one spy
// control over the whole editor bound to parameter 0, which a press sets to 0.75 and a drag moves.

#include "IGraphicsMac.h"
#include "SpyControl.h"
#include "kit/IFx/vst/VstTestPlug.h"

class VstEditorPlug : public VstTestPlug
{
public:
  explicit VstEditorPlug(IFxInstanceInfo info) : VstTestPlug(info)
  {
    IGraphicsMac* pGraphics = new IGraphicsMac(this, 800, 400, 30);
    pGraphics->SetBundleID("com.tarnquill.test.vsteditor");
    mSpy = new SpyControl(this, IRECT(0, 0, 800, 400), 0, &mEditorLog, "knob");
    mSpy->mValueOnDown = 0.75;
    mSpy->mDragScale = -0.01;
    pGraphics->AttachControl(mSpy);
    AttachGraphics(pGraphics);
  }

  IGraphicsMac* Graphics() { return static_cast<IGraphicsMac*>(GetGUI()); }

  std::vector<std::string> mEditorLog;
  SpyControl* mSpy;
};
