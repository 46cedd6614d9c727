#pragma once
// The VST build of the product in process, its bundle (with the editor images) registered as a
// host's process would find it, and a recording host.

#include <gtest/gtest.h>

#include <AppKit/testkit.h>
#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/testkit.h>

#include "BundleFolder.h"
#include "FakeVstHost.h"
#include "HostedVstPlug.h"
#include "IGraphicsMac.h"
#include "Kestrovane.h"
#include "VstModule.h"

inline void RegisterKestrovaneVSTBundle()
{
  static const bool registered = RegisterBundleFolder(KV_KESTROVANE_VST_BUNDLE);
  (void)registered;
}

class KestrovaneEditorTest : public ::testing::Test
{
protected:
  KestrovaneEditorTest()
  {
    RegisterKestrovaneVSTBundle();
    mPlug = MakeHostedVstPlug<Kestrovane>(mHost);
    mEffect = mPlug->GetAEffect();
    mGraphics = static_cast<IGraphicsMac*>(mPlug->GetGUI());
  }
  ~KestrovaneEditorTest() override
  {
    Dispatch(mEffect, effClose);
    FoundationTestKit::DrainImplicitPool();
  }

  std::vector<std::string> EditsOf(int idx) const { return mHost.EditsOf(idx); }

  FakeVstHost mHost;
  Kestrovane* mPlug;
  AEffect* mEffect;
  IGraphicsMac* mGraphics;
};
