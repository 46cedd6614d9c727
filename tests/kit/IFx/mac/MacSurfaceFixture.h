#pragma once
// An editor surface on the Mac layer for tests: a FakePlug with an IGraphicsMac of 800 x 400 at
// 30 frames per second, bound to a test bundle whose resources hold a few images, with spy
// controls that log and paint themselves.

#include <gtest/gtest.h>

#include <AppKit/testkit.h>
#include <Carbon/Carbon.h>
#include <Cocoa/Cocoa.h>
#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/testkit.h>

#include "FakePlug.h"
#include "IGraphicsMac.h"
#include "SpyControl.h"
#include "TestImages.h"
#include "MacTestBundle.h"

// A spy that paints its rectangle in its own colour and notes the drawing pass's area.
class PaintSpy : public SpyControl
{
public:
  PaintSpy(IFxBase* pPlug, const IRECT& r, int paramIdx, std::vector<std::string>* pLog, const char* name,
           const IColor& color)
    : SpyControl(pPlug, r, paramIdx, pLog, name), mColor(color) {}

  bool Draw(IGraphics* pGraphics) override
  {
    SpyControl::Draw(pGraphics);
    mPasses.push_back(*pGraphics->GetDrawRECT());
    const IChannelBlend clobber(IChannelBlend::kBlendClobber);
    return pGraphics->FillIRect(&mColor, &mRECT, &clobber);
  }

  IColor mColor;
  std::vector<IRECT> mPasses;
};

class MacSurfaceTest : public ::testing::Test
{
protected:
  explicit MacSurfaceTest(int w = 800, int h = 400)
  {
    TestEditorBundlePath();
    InitFakeParams(&mPlug);
    mGraphics = new IGraphicsMac(&mPlug, w, h, 30);
    mGraphics->SetBundleID(kTestEditorBundleID);
  }
  ~MacSurfaceTest() override
  {
    if (mPlug.GetGUI() != mGraphics) delete mGraphics;  // a surface never handed over
    FoundationTestKit::DrainImplicitPool();
  }

  // Hands the surface to the plug-in (which makes the back buffer) and forgets the log so far.
  void Attach()
  {
    mPlug.AttachGraphics(mGraphics);
    mPlug.mLog.clear();
  }

  PaintSpy* AddSpy(const IRECT& r, int paramIdx, const char* name, const IColor& color = COLOR_RED)
  {
    PaintSpy* c = new PaintSpy(&mPlug, r, paramIdx, &mPlug.mLog, name, color);
    mGraphics->AttachControl(c);
    return c;
  }

  // Every control clean (a value from the plug-in asks for one more pass: twice).
  void CleanAll()
  {
    for (int pass = 0; pass < 2; ++pass)
      for (int i = 0; i < mGraphics->NControls(); ++i) mGraphics->GetControl(i)->SetClean();
  }

  std::vector<std::string>& Log() { return mPlug.mLog; }

  FakePlug mPlug;
  IGraphicsMac* mGraphics;
};

// The bytes R, G, B of a pixel of the back buffer or of a window (A, R, G, B in memory).
inline uint32_t RGBAt(const uint8_t* pixels, int rowBytes, int x, int y)
{
  const uint8_t* p = pixels + (size_t)y * rowBytes + (size_t)x * 4;
  return (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

inline std::vector<std::string> Strings(std::initializer_list<const char*> l)
{
  return std::vector<std::string>(l.begin(), l.end());
}

inline uint32_t RGBOf(const IColor& c) { return (uint32_t)c.R << 16 | (uint32_t)c.G << 8 | (uint32_t)c.B; }
