// The Audio Unit build's factory: every instance the component entry opens is a Kestrovane on the
// Audio Unit wrapper. Instances are made one at a time.


#include "Kestrovane.h"

IFxAU* MakePlug()
{
  // Made on first use, under its own once-guard, and gone with the bundle.
  static KIT_Mutex s_mutex;
  KIT_MutexScope lock(&s_mutex);
  IFxInstanceInfo info(PLUG_BUNDLE_ID_AU, PLUG_VIEW_CLASS);
  return new Kestrovane(info);
}
