#pragma once
// Selects the wrapper base the product derives from: exactly one of KV_API_VST, KV_API_AU or
// KV_API_HEADLESS is defined for each build of the product sources. The wrapper header defines
// IFxInstanceInfo, IFxAPI and IFX_CTOR (see IFxHeadless.h for the contract).

#include "resource.h"

#if defined(KV_API_VST)
#include "IFxVST.h"
#elif defined(KV_API_AU)
#include "IFxAU.h"
#elif defined(KV_API_HEADLESS)
#include "IFxHeadless.h"
#else
#error "define KV_API_VST, KV_API_AU or KV_API_HEADLESS"
#endif
