#pragma once
// The product's identity as the plug-in core and the wrappers see it.

#define PLUG_NAME "Kestrovane Buss Compressor"
#define PLUG_PRODUCT_NAME ""
#define PLUG_MFR "Tarnquill Audio"
#define PLUG_VER 0x00020000         // 2.0.0
#define PLUG_UNIQUE_ID 0x616B3563   // 'ak5c'
#define PLUG_MFR_ID 0x4B76726E      // 'Kvrn'
#define PLUG_CHANNEL_IO "1-1 2-1 2-2 3-2 4-2"  // inputs 3 and 4 are the external sidechain pair
#define PLUG_LATENCY 0
#define PLUG_DOES_MIDI false
#define PLUG_DOES_STATE_CHUNKS false
#define PLUG_IS_INST false

// Reverse-domain bundle identifiers; the editor finds its images in the bundle they name.
#define PLUG_BUNDLE_ID_AU "com.tarnquill.audiounit.Kestrovane"
#define PLUG_BUNDLE_ID_VST "com.tarnquill.vst.Kestrovane"
// The Audio Unit's Cocoa view-factory class.
#define PLUG_VIEW_CLASS "Kestrovane_View"
