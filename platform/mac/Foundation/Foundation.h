#pragma once
// The Foundation subset: objects, autorelease pools, strings, dictionaries, URLs, bundles, dates,
// timers and run loops.

#include <Foundation/NSObjCRuntime.h>
#include <Foundation/NSGeometry.h>
#include <Foundation/NSObject.h>
#include <Foundation/NSString.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSURL.h>
#include <Foundation/NSBundle.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSTimer.h>
#include <Foundation/NSRunLoop.h>
