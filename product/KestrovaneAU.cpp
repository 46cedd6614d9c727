// The Audio Unit build's factory and its Cocoa view factory: every instance the component entry
// opens is a Kestrovane on the Audio Unit wrapper (made one at a time), and Kestrovane_View hands
// a host the editor's Cocoa view of a unit.

#include <AudioUnit/AUCocoaUIView.h>
#include <Cocoa/Cocoa.h>

#include "IGraphicsMac.h"
#include "Kestrovane.h"

IFxAU* MakePlug()
{
  // Made on first use, under its own once-guard, and gone with the bundle.
  static KIT_Mutex s_mutex;
  KIT_MutexScope lock(&s_mutex);
  IFxInstanceInfo info(PLUG_BUNDLE_ID_AU, PLUG_VIEW_CLASS);
  return new Kestrovane(info);
}

class Kestrovane_View : public NSObject, public AUCocoaUIBase
{
public:
  Kestrovane_View* init() override
  {
    mPlug = nullptr;
    NSObject::init();
    return this;
  }

  // The unit's editor in a view of its own size, whatever size the host asks for.
  NSView* uiViewForAudioUnit(AudioUnit inAudioUnit, NSSize) override
  {
    mPlug = (IFxAU*)GetComponentInstanceStorage(inAudioUnit);
    IGraphics* pGraphics = mPlug ? mPlug->GetGUI() : nullptr;
    if (!pGraphics) return nil;
    return static_cast<NSView*>((id)pGraphics->OpenWindow(nullptr));
  }

  unsigned interfaceVersion() override { return 0; }
  NSString* description() override { return NSSTR("Kestrovane Buss Compressor View"); }
  void releaseFactory() override { release(); }
  const char* className() const override { return PLUG_VIEW_CLASS; }

  IFxBase* mPlug = nullptr;

protected:
  ~Kestrovane_View() override = default;
};

// The class as the bundle exports it: a host that read the name from the Cocoa view property finds
// this function under that name and makes a factory object with it.
extern "C" __attribute__((visibility("default"))) AUCocoaUIBase* KestrovaneViewClass() __asm__(PLUG_VIEW_CLASS);
AUCocoaUIBase* KestrovaneViewClass()
{
  return (new Kestrovane_View)->init();
}
