#pragma once
// String drawing (NSString::drawWithRect, declared with NSString): one line of text, never wrapped
// and not clipped to the rectangle, in the current graphics context. The rectangle's top edge is
// the top of the line box (its origin in a flipped context, origin.y + height in an unflipped one);
// the line is placed in the rectangle's width by the paragraph style's alignment (natural and
// justified: left). The font is NSFontAttributeName's (else the default face at 12 points), the
// colour NSForegroundColorAttributeName's (else black); NSStringDrawingUsesDeviceMetrics rounds
// glyph positions to whole device pixels. Glyphs stay upright in flipped and unflipped contexts;
// antialiasing follows the context's setting. Without a current context nothing is drawn.
//
// Every drawn line is reported to AppKitTestKit::DrawnTexts.

#include <AppKit/NSColor.h>
#include <AppKit/NSFont.h>
#include <AppKit/NSParagraphStyle.h>
#include <Foundation/Foundation.h>

extern NSString* const NSFontAttributeName;
extern NSString* const NSForegroundColorAttributeName;
extern NSString* const NSParagraphStyleAttributeName;
