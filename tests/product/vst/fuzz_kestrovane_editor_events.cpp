// libFuzzer target: the product's editor (the VST build in process with its bundle's images, open
// in a memory-backed window, as the editor tests run it) under mouse, wheel and timer events in
// any order, with host parameter changes and meter values between them.
//
// After every event: every parameter is finite and in range, every automation the host hears is
// in [0, 1], and the host's begin and end edits pair up parameter by parameter, with none open
// while the mouse is up. After every quiet spell of the timer, and at the end of each input once
// the mouse is released: the redraw invariant (RedrawCheck.h), and the window shows the back buffer.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sanitizer/lsan_interface.h>

#include <AppKit/testkit.h>
#include <CoreFoundation/testkit.h>
#include <Foundation/testkit.h>

#include "BundleFolder.h"
#include "FakeVstHost.h"
#include "FuzzInput.h"
#include "HostedVstPlug.h"
#include "IControl.h"
#include "IGraphicsMac.h"
#include "Kestrovane.h"
#include "RedrawCheck.h"

namespace
{
constexpr int kMaxEvents = 40;
constexpr double kFrame = 1.0 / GUI_FPS;
constexpr int kQuietFrames = 3;  // "two quiet ticks", whatever the timer's phase

// One instance with its editor open for every input (making one would be most of the time an
// input takes); each input starts with the mouse up, the parameters and meters as they were made,
// and the editor painted and checked.
class Harness
{
public:
  Harness()
  {
    mPlug = MakeHostedVstPlug<Kestrovane>(mHost);
    mEffect = mPlug->GetAEffect();
    mGraphics = static_cast<IGraphicsMac*>(mPlug->GetGUI());
    if (!mGraphics) abort();  // no editor: are the images in the bundle?
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(effSetBlockSize, 0, 512);
    Dispatch(effMainsChanged, 0, 1);
    for (int i = 0; i < mPlug->NParams(); ++i) mBaseline.push_back((float)mPlug->GetParam(i)->GetNormalized());
    mWindow = AppKitTestKit::NewWindow(mGraphics->Width(), mGraphics->Height());
    if (Dispatch(effEditOpen, 0, 0, mWindow->contentView()) != 1) abort();
    mOpen.assign((size_t)mPlug->NParams(), false);
  }

  // Forgets what the last input left in the logs.
  void BeginInput()
  {
    mHost.Clear();
    AppKitTestKit::ClearDrawnTexts();
    AppKitTestKit::ClearPaints();
    mScanned = 0;
  }

  void Run(FuzzInput& in)
  {
    for (int i = 0; i < kMaxEvents && !in.Empty(); ++i)
    {
      Event(in);
      CheckParameters();
      CheckGestures();
    }
    // The user lets go: every gesture has ended. The host then puts back what the input moved,
    // and once the timer has run the picture is right; the next input starts from there. (One
    // repaint for both: a repaint costs most of the time an input takes.)
    if (mHeld)
    {
      AppKitTestKit::MouseUp(mWindow, mX, mY);
      mHeld = false;
      CheckGestures();
    }
    Restore();
    CheckRedraw();
  }

private:
  VstIntPtr Dispatch(VstInt32 op, VstInt32 idx = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
  {
    return mEffect->dispatcher(mEffect, op, idx, value, ptr, opt);
  }

  // A point in the window's base coordinates (y up): mostly on or near a control, else anywhere
  // around the editor.
  void PickPoint(FuzzInput& in)
  {
    const int w = mGraphics->Width(), h = mGraphics->Height();
    const uint8_t b = in.Byte();
    int x, y;
    if (b < 200)
    {
      const IRECT& r = *mGraphics->GetControl(b % mGraphics->NControls())->GetRECT();
      x = r.L - 4 + in.Byte() % (r.W() + 9);
      y = r.T - 4 + in.Byte() % (r.H() + 9);
    }
    else
    {
      x = in.U16() % (w + 17) - 8;
      y = in.U16() % (h + 17) - 8;
    }
    mX = x + (b & 3) / 4.0;
    mY = h - y - ((b >> 2) & 3) / 4.0;
  }

  static NSUInteger Modifiers(uint8_t m)
  {
    return (m & 1 ? NSShiftKeyMask : 0) | (m & 2 ? NSControlKeyMask : 0) | (m & 4 ? NSAlternateKeyMask : 0) |
           (m & 8 ? NSCommandKeyMask : 0);
  }

  void Event(FuzzInput& in)
  {
    const uint8_t op = in.Byte();
    const NSUInteger mods = (op & 0x80) ? Modifiers(in.Byte()) : 0;
    switch (op % 12)
    {
      case 0:
      case 1:
        PickPoint(in);
        AppKitTestKit::MouseDown(mWindow, mX, mY, mods, 1 + op % 2);
        mHeld = true;
        break;
      case 2:
      case 3:
      case 4:
        // A drag moves from where the mouse is, mostly by a little.
        if ((op & 0x40) == 0) PickPoint(in);
        else
        {
          mX += (int8_t)in.Byte() / 4.0;
          mY += (int8_t)in.Byte() / 4.0;
        }
        if (mHeld) AppKitTestKit::MouseDragged(mWindow, mX, mY, mods);
        else AppKitTestKit::MouseMoved(mWindow, mX, mY, mods);
        break;
      case 5:
        if ((op & 0x40) == 0) PickPoint(in);
        AppKitTestKit::MouseUp(mWindow, mX, mY, mods);
        mHeld = false;
        break;
      case 6:
        PickPoint(in);
        AppKitTestKit::MouseMoved(mWindow, mX, mY, mods);
        break;
      case 7:
      {
        PickPoint(in);
        const double dy = (int8_t)in.Byte() / (double)(1 + in.Byte() % 4), dx = (op & 0x40) ? (int8_t)in.Byte() : 0;
        AppKitTestKit::ScrollWheel(mWindow, mX, mY, dy, dx, mods);
        break;
      }
      case 8:
        PickPoint(in);
        AppKitTestKit::RightMouseDown(mWindow, mX, mY, mods);
        AppKitTestKit::RightMouseUp(mWindow, mX, mY, mods);
        break;
      case 9:
      {
        const int frames = 1 + in.Byte() % 4;
        FoundationTestKit::RunFor(frames * kFrame);
        if (frames >= 2) CheckRedraw();
        break;
      }
      case 10:
      {
        // The host automates a parameter, perhaps the one under the mouse.
        const int idx = in.Byte() % mPlug->NParams();
        const uint8_t v = in.Byte();
        mEffect->setParameter(mEffect, idx, v >= 250 ? (float)(v & 1) : v / 250.0f);
        break;
      }
      default:
        mPlug->GetMeterControl((Kestrovane::EMeter)(in.Byte() % Kestrovane::kNumMeters))->SetValueFromPlug(in.Byte() / 255.0);
        break;
    }
  }

  // Only what the input moved, through the host as a project reload would.
  void Restore()
  {
    for (int i = 0; i < mPlug->NParams(); ++i)
      if ((float)mPlug->GetParam(i)->GetNormalized() != mBaseline[(size_t)i]) mEffect->setParameter(mEffect, i, mBaseline[(size_t)i]);
    for (int m = 0; m < Kestrovane::kNumMeters; ++m)
    {
      IControl* pMeter = mPlug->GetMeterControl((Kestrovane::EMeter)m);
      if (pMeter->GetValue() != 0.0) pMeter->SetValueFromPlug(0.0);
    }
  }

  void CheckParameters()
  {
    for (int i = 0; i < mPlug->NParams(); ++i)
    {
      const IParam* p = mPlug->GetParam(i);
      const double v = p->Value(), n = p->GetNormalized();
      if (!std::isfinite(v) || v < p->GetMin() || v > p->GetMax() || !(n >= 0.0 && n <= 1.0)) abort();
    }
  }

  // Begin and end alternate for each parameter; once the mouse is up, none is open.
  void CheckGestures()
  {
    const std::vector<FakeVstHost::Call> calls = mHost.Calls();
    for (size_t i = mScanned; i < calls.size(); ++i)
    {
      const FakeVstHost::Call& c = calls[i];
      const bool known = c.index >= 0 && c.index < mPlug->NParams();
      if (c.opCode == audioMasterBeginEdit)
      {
        if (!known || mOpen[(size_t)c.index]) abort();
        mOpen[(size_t)c.index] = true;
      }
      else if (c.opCode == audioMasterEndEdit)
      {
        if (!known || !mOpen[(size_t)c.index]) abort();
        mOpen[(size_t)c.index] = false;
      }
      else if (c.opCode == audioMasterAutomate)
      {
        if (!known || !(c.opt >= 0.0f && c.opt <= 1.0f)) abort();
      }
    }
    mScanned = calls.size();
    if (!mHeld)
      for (bool open : mOpen)
        if (open) abort();
  }

  // After quiet ticks: nothing dirty, the back buffer what a redraw from scratch draws, and the
  // window showing it.
  void CheckRedraw()
  {
    FoundationTestKit::RunFor(kQuietFrames * kFrame);
    if (!redraw_check::Clean(mGraphics)) abort();
    if (!redraw_check::MatchesRedrawFromScratch(mGraphics, &mIncremental, &mScratch)) abort();
    int w = 0, h = 0, rowBytes = 0;
    const uint8_t* px = AppKitTestKit::WindowPixels(mWindow, &w, &h, &rowBytes);
    if (!px || w != mIncremental.getWidth() || h != mIncremental.getHeight()) abort();
    const PIX_PixelValue* bits = mIncremental.getBits();
    for (int y = 0; y < h; ++y)
    {
      // Bytes A, R, G, B on both sides; where a row differs, the window's alpha may be its own.
      const uint8_t* row = px + (size_t)y * rowBytes;
      const PIX_PixelValue* back = bits + (size_t)y * mIncremental.getRowSpan();
      if (!memcmp(row, back, (size_t)w * 4)) continue;
      for (int x = 0; x < w; ++x)
      {
        const uint8_t* p = row + 4 * x;
        if ((back[x] >> 8) != (PIX_PixelValue)(p[1] | p[2] << 8 | p[3] << 16)) abort();
      }
    }
  }

  FakeVstHost mHost;
  Kestrovane* mPlug;
  AEffect* mEffect;
  IGraphicsMac* mGraphics;
  NSWindow* mWindow = nullptr;
  std::vector<float> mBaseline;
  std::vector<bool> mOpen;  // per parameter: a begin the host heard without its end yet
  size_t mScanned = 0;      // host calls already checked
  bool mHeld = false;       // the left button is down
  double mX = 0, mY = 0;
  PIX_MemBitmap mIncremental, mScratch;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static Harness* sHarness = [] {
    // The first paint loads fontconfig's configuration, which keeps a few blocks it never frees
    // (its own, returned only by FcFini at exit); the leak checker is not to count the setup.
    __lsan::ScopedDisabler setup;
    RegisterBundleFolder(KV_KESTROVANE_VST_BUNDLE);
    Harness* pHarness = new Harness;
    FuzzInput none(nullptr, 0);
    pHarness->Run(none);  // the first paint, and what it makes once
    return pHarness;
  }();

  sHarness->BeginInput();
  FoundationTestKit::DrainImplicitPool();
  const long live = FoundationTestKit::LiveObjectCount(), cfLive = CFTestLiveObjectCount();
  FuzzInput in(data, size);
  sHarness->Run(in);
  FoundationTestKit::DrainImplicitPool();
  if (FoundationTestKit::LiveObjectCount() != live || CFTestLiveObjectCount() != cfLive) abort();
  return 0;
}
