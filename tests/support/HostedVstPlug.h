#pragma once
// A plug-in made as a VST host makes it: the host's callback in the instance information, and the
// host answering for the effect from the start. For any host class with a static Callback and an
// Adopt (FakeVstHost, or a test's own).

#include <utility>

#include "IFxVST.h"

template <class Plug, class Host, class... Args>
Plug* MakeHostedVstPlug(Host& host, Args&&... args)
{
  IFxInstanceInfo info;
  info.mVSTHostCallback = Host::Callback;
  Plug* pPlug = new Plug(info, std::forward<Args>(args)...);
  host.Adopt(pPlug->GetAEffect());
  return pPlug;
}
