#pragma once
// Unicode text styles and layouts: styles carry a font, size, colour and QuickDraw face flags; a
// layout holds UTF-16 text in runs of styles and draws or measures one unjustified line through
// the text engine (<text/KVText.h>) into the CoreGraphics context set as its layout control.
//
// Handles are registered while they live: a null, disposed or foreign handle gets the matching
// invalid-handle error and is never read. Every call may come from any thread; the calls are
// serialised under one lock.
//
// What the engine allows, and what this stand-in does about it:
// - Bold and italic pick the family's bold or italic face where one is installed; otherwise bold
//   is synthetic (the glyphs drawn twice, size/24 units apart, at least one device pixel) and italic
//   an oblique shear. Synthetic emboldening leaves advances unchanged.
// - Underline is a one-unit line one unit below the baseline in the text colour, drawn with
//   CGContextFillRect, so only when the context's CTM does not rotate and the line rotation is a
//   multiple of 90 degrees.
// - A layout refers to its styles: changes to a live style show in the next draw or measurement;
//   a style disposed meanwhile keeps the attributes it last had for that layout. Each run is laid
//   out with its own face, size and metrics; a run boundary is a break in kerning (there is none).
// - Text is copied at creation; ATSUDrawText draws a range laid out on its own, starting at the
//   pen.

#include <MacTypes.h>

#include <CoreGraphics/CoreGraphics.h>

#include <cmath>

typedef struct OpaqueATSUStyle* ATSUStyle;
typedef struct OpaqueATSUTextLayout* ATSUTextLayout;
typedef UInt32 ATSUAttributeTag;
typedef void* ATSUAttributeValuePtr;
typedef const void* ConstATSUAttributeValuePtr;
typedef UInt32 ATSUFontID;
typedef Fixed ATSUTextMeasurement;
typedef UInt32 UniCharArrayOffset;
typedef UInt32 UniCharCount;
typedef UInt32 FontNameCode;
typedef UInt32 FontPlatformCode;
typedef UInt32 FontScriptCode;
typedef UInt32 FontLanguageCode;

// Fixed-point conversions (16.16). Out-of-range values saturate; NaN converts to 0.
inline Fixed Long2Fix(long x)
{
  if (x > 0x7FFF) return (Fixed)0x7FFFFFFF;
  if (x < -0x8000) return (Fixed)INT32_MIN;
  return (Fixed)(x * 65536);
}
// Rounds to the nearest whole number (halves upwards).
inline long Fix2Long(Fixed x) { return (long)(((int64_t)x + 0x8000) >> 16); }
inline Fixed X2Fix(double x)
{
  if (!(x == x)) return 0;
  const double v = std::round(x * 65536.0);
  if (v >= 2147483647.0) return (Fixed)0x7FFFFFFF;
  if (v <= -2147483648.0) return (Fixed)INT32_MIN;
  return (Fixed)v;
}
inline double Fix2X(Fixed x) { return x / 65536.0; }
// numerator / denominator as Fixed; a zero denominator saturates with the numerator's sign.
inline Fixed FixRatio(short numerator, short denominator)
{
  if (denominator == 0) return numerator < 0 ? (Fixed)INT32_MIN : (Fixed)0x7FFFFFFF;
  return (Fixed)(((int64_t)numerator * 65536) / denominator);
}

enum : UInt32
{
  kATSUFromTextBeginning = 0xFFFFFFFF,
  kATSUToTextEnd = 0xFFFFFFFF
};

enum : ATSUFontID
{
  kATSUInvalidFontID = 0
};

// Font name codes and the "any" codes for the other name fields (which are ignored here).
enum : UInt32
{
  kFontFamilyName = 1,
  kFontFullName = 4,
  kFontNoPlatformCode = 0xFFFFFFFF,
  kFontNoScriptCode = 0xFFFFFFFF,
  kFontNoLanguageCode = 0xFFFFFFFF
};

enum : OSStatus
{
  kATSUInvalidStyleErr = -8800,
  kATSUInvalidTextLayoutErr = -8801,
  kATSUInvalidAttributeValueErr = -8802,
  kATSUInvalidAttributeSizeErr = -8803,
  kATSUInvalidAttributeTagErr = -8804,
  kATSUInvalidFontErr = -8805,
  kATSUNotSetErr = -8808,
  kATSUNoFontNameErr = -8809
};

// Style attributes, with the value each takes.
enum : ATSUAttributeTag
{
  kATSUQDBoldfaceTag = 256,   // Boolean
  kATSUQDItalicTag = 257,     // Boolean
  kATSUQDUnderlineTag = 258,  // Boolean
  kATSUFontTag = 261,         // ATSUFontID from ATSUFindFontFromName
  kATSUSizeTag = 262,         // Fixed em size in points (user-space units), > 0
  kATSUColorTag = 263,        // RGBColor
  kATSUAscentTag = 284,       // ATSUTextMeasurement >= 0: the line's ascent instead of the font's
  kATSUDescentTag = 285,      // ATSUTextMeasurement >= 0
  kATSULeadingTag = 286       // ATSUTextMeasurement >= 0
};

// Layout controls, with the value each takes.
enum : ATSUAttributeTag
{
  kATSULineLayoutOptionsTag = 2,  // UInt32 options (kATSLine...)
  kATSULineRotationTag = 12,      // Fixed degrees, counter-clockwise in the y-up user space
  kATSUCGContextTag = 32767       // CGContextRef to draw into (retained while set; null clears)
};

enum : UInt32
{
  kATSLineUseDeviceMetrics = 2  // glyph positions and advances in whole device pixels
};

// Styles. Attributes not set read as their defaults: bold, italic and underline false, 12 points,
// black, the default face, and the font's own ascent, descent and leading at the style's size.
OSStatus ATSUCreateStyle(ATSUStyle* oStyle);
// A new style with every attribute the given one sets (kATSUInvalidStyleErr for a style that is gone).
OSStatus ATSUCreateAndCopyStyle(ATSUStyle style, ATSUStyle* oStyle);
OSStatus ATSUDisposeStyle(ATSUStyle style);
// Sets all or none: every size must be its tag's value size (kATSUInvalidAttributeSizeErr), every
// tag known (kATSUInvalidAttributeTagErr), a font id one ATSUFindFontFromName gave
// (kATSUInvalidFontErr), a size positive and ascent, descent and leading not negative
// (kATSUInvalidAttributeValueErr). Null arrays or values with a count: paramErr.
OSStatus ATSUSetAttributes(ATSUStyle style, ItemCount count, const ATSUAttributeTag tags[], const ByteCount sizes[],
                           const ATSUAttributeValuePtr values[]);
// The value (noErr), or the default value with kATSUNotSetErr when the style does not set it.
// oValue needs expectedSize >= the value's size (else kATSUInvalidAttributeSizeErr, the size still
// reported). oValue and oActualSize may be null.
OSStatus ATSUGetAttribute(ATSUStyle style, ATSUAttributeTag tag, ByteCount expectedSize, ATSUAttributeValuePtr oValue,
                          ByteCount* oActualSize);

// The id of the installed face a name (nameLength bytes of UTF-8, case-insensitive) names: a family
// name (kFontFamilyName), or a full name (kFontFullName): a family name with style words after it
// ("Liberation Sans Bold Italic"). Names resolve as the text engine resolves them ("Arial" to its
// metric-compatible face). The same face always gives the same non-zero id, valid for the process.
// Unknown name or other name code: kATSUInvalidFontErr and *oFontID = kATSUInvalidFontID.
OSStatus ATSUFindFontFromName(const void* iName, ByteCount iNameLength, FontNameCode iFontNameCode,
                              FontPlatformCode iFontNamePlatform, FontScriptCode iFontNameScript,
                              FontLanguageCode iFontNameLanguage, ATSUFontID* oFontID);

// A layout of text[offset, offset + length) of a buffer of totalLength code units, in runs of the
// given lengths (summing to length; a last run of kATSUToTextEnd takes the rest), run i in
// styles[i]. The text is copied. Null text with length 0 is an empty layout. Bad counts: paramErr;
// a bad style: kATSUInvalidStyleErr.
OSStatus ATSUCreateTextLayoutWithTextPtr(const UniChar* iText, UniCharArrayOffset iTextOffset,
                                         UniCharCount iTextLength, UniCharCount iTextTotalLength,
                                         ItemCount iNumberOfRuns, const UniCharCount iRunLengths[],
                                         ATSUStyle iStyles[], ATSUTextLayout* oTextLayout);
OSStatus ATSUDisposeTextLayout(ATSUTextLayout iTextLayout);
// All or none, checked as ATSUSetAttributes checks (a rotation is any Fixed; options any bits).
OSStatus ATSUSetLayoutControls(ATSUTextLayout iTextLayout, ItemCount iAttributeCount, const ATSUAttributeTag iTag[],
                               const ByteCount iValueSize[], const ATSUAttributeValuePtr iValue[]);

// Ranges: offsets into the buffer the layout was made from, within the layout's text; a start of
// kATSUFromTextBeginning is the layout's first character, a length of kATSUToTextEnd runs to its
// end. Out of range: paramErr.
//
// The range's line measured without justification, in user units: before = 0, after = its advance
// width, and the line's ascent and descent (positive; the largest of its runs). Outputs may be null.
OSStatus ATSUGetUnjustifiedBounds(ATSUTextLayout iTextLayout, UniCharArrayOffset iLineStart, UniCharCount iLineLength,
                                  ATSUTextMeasurement* oTextBefore, ATSUTextMeasurement* oTextAfter,
                                  ATSUTextMeasurement* oAscent, ATSUTextMeasurement* oDescent);
// Draws the range with the pen starting at (x, y) on the baseline in the context's current user
// space, taken as y-up: glyphs upright, the line turned by its rotation about the pen, under the
// context's CTM and clip. No context set: paramErr, nothing drawn.
OSStatus ATSUDrawText(ATSUTextLayout iTextLayout, UniCharArrayOffset iLineOffset, UniCharCount iLineLength,
                      ATSUTextMeasurement iLocationX, ATSUTextMeasurement iLocationY);
