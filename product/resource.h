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

// The editor: its size and frame rate, and its images by resource id and file name.
#define GUI_WIDTH 800
#define GUI_HEIGHT 400
#define GUI_FPS 30

#define BG_ID 101
#define ATTACK_ID 102
#define RELEASE_ID 103
#define DOT_ID 104
#define FADER_IO_ID 105
#define FADER_GR_ID 106
#define FADER_COMP_ID 107
#define OVERSAMPLE_ID 108
#define SIDECHAIN_ID 109
#define FEEDBACK_ID 110
#define MODE_ID 111
#define VU_GREEN_ID 112
#define VU_RED_ID 113
#define LCD_ID 114
#define LCD_AUTO_ID 115
#define LCD_ATTACK_ID 116
#define RATIO_ID 118

#define BG_FN "bg.png"
#define ATTACK_FN "dial-attack.png"
#define RELEASE_FN "dial-release.png"
#define RATIO_FN "dial-ratio.png"
#define DOT_FN "dot.png"
#define FADER_IO_FN "fader_io.png"
#define FADER_GR_FN "fader_gr.png"
#define FADER_COMP_FN "fader_comp.png"
#define OVERSAMPLE_FN "oversample.png"
#define SIDECHAIN_FN "sidechain.png"
#define FEEDBACK_FN "feedback-switch.png"
#define MODE_FN "mode-knob.png"
#define VU_GREEN_FN "vu_green.png"
#define VU_RED_FN "vu_red.png"
#define LCD_FN "lcd.png"
#define LCD_AUTO_FN "lcd_auto.png"
#define LCD_ATTACK_FN "lcd_attack.png"
