#pragma once
// The protocol of an Audio Unit's Cocoa view factory. The unit's Cocoa view property names a class
// and the bundle that holds it; the bundle exports, under the class's name, a function that makes
// one factory object ([[class alloc] init] on the platform), which the host asks for views and
// then releases.

#include <AudioUnit/AudioUnit.h>
#include <Foundation/Foundation.h>

class NSView;

class AUCocoaUIBase
{
public:
  // The protocol's version.
  virtual unsigned interfaceVersion() = 0;
  // A view of the unit's editor (autoreleased on the platform; here the host's to place and, once
  // it takes it out, the editor's to free), or nil. The preferred size may be ignored.
  virtual NSView* uiViewForAudioUnit(AudioUnit inAudioUnit, NSSize inPreferredSize) = 0;
  virtual NSString* description() = 0;
  // Drops the host's reference to the factory object.
  virtual void releaseFactory() = 0;

protected:
  virtual ~AUCocoaUIBase() = default;
};

// What a bundle exports under a view-factory class's name.
typedef AUCocoaUIBase* (*AUCocoaUIFactoryClass)(void);
