#pragma once
// The CoreGraphics calls the drawing-context layer makes: colour spaces, bitmap contexts over caller
// memory with their graphics state (transformation, clip, fill colour, antialiasing), rectangle
// fills and image drawing, colours, images made from a bitmap context. Every object is reference
// counted; a create call that fails returns null.

#include <cstddef>
#include <cstdint>

typedef double CGFloat;

struct CGPoint { CGFloat x, y; };
struct CGSize { CGFloat width, height; };
struct CGRect { CGPoint origin; CGSize size; };
struct CGAffineTransform { CGFloat a, b, c, d, tx, ty; };

inline CGPoint CGPointMake(CGFloat x, CGFloat y) { return CGPoint{x, y}; }
inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat w, CGFloat h) { return CGRect{{x, y}, {w, h}}; }
inline CGRect CGRectOffset(CGRect r, CGFloat dx, CGFloat dy)
{
  r.origin.x += dx;
  r.origin.y += dy;
  return r;
}
inline CGPoint CGPointApplyAffineTransform(CGPoint p, CGAffineTransform t)
{
  return CGPoint{t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty};
}

typedef struct CGColorSpace* CGColorSpaceRef;
typedef struct CGContext* CGContextRef;
typedef struct CGColor* CGColorRef;
typedef struct CGImage* CGImageRef;

typedef uint32_t CGBitmapInfo;
enum CGImageAlphaInfo : uint32_t
{
  kCGImageAlphaNone = 0,
  kCGImageAlphaPremultipliedLast = 1,
  kCGImageAlphaPremultipliedFirst = 2,
  kCGImageAlphaLast = 3,
  kCGImageAlphaFirst = 4,
  kCGImageAlphaNoneSkipLast = 5,
  kCGImageAlphaNoneSkipFirst = 6,
  kCGImageAlphaOnly = 7
};
enum : uint32_t
{
  kCGBitmapAlphaInfoMask = 0x1F,
  kCGBitmapByteOrderMask = 0x7000,
  kCGBitmapByteOrderDefault = 0
};

// Colour spaces. Only device RGB exists.
CGColorSpaceRef CGColorSpaceCreateDeviceRGB(void);
CGColorSpaceRef CGColorSpaceRetain(CGColorSpaceRef space);
void CGColorSpaceRelease(CGColorSpaceRef space);
size_t CGColorSpaceGetNumberOfComponents(CGColorSpaceRef space);

// Bitmap contexts: 8 bits per component, 32 bits per pixel, an RGB space and a skip-first,
// skip-last or premultiplied alpha setting in the default byte order. With null data the context
// allocates (and owns) zero-filled memory of its own.
CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                   size_t bytesPerRow, CGColorSpaceRef space, uint32_t bitmapInfo);
CGContextRef CGContextRetain(CGContextRef c);
void CGContextRelease(CGContextRef c);
void* CGBitmapContextGetData(CGContextRef c);
size_t CGBitmapContextGetWidth(CGContextRef c);
size_t CGBitmapContextGetHeight(CGContextRef c);
size_t CGBitmapContextGetBytesPerRow(CGContextRef c);
size_t CGBitmapContextGetBitsPerComponent(CGContextRef c);
size_t CGBitmapContextGetBitsPerPixel(CGContextRef c);
CGImageAlphaInfo CGBitmapContextGetAlphaInfo(CGContextRef c);
CGColorSpaceRef CGBitmapContextGetColorSpace(CGContextRef c);

// The user-to-device transformation; device space has its origin at the bottom-left corner of
// the bitmap, y upwards, one unit a pixel.
void CGContextTranslateCTM(CGContextRef c, CGFloat tx, CGFloat ty);
void CGContextScaleCTM(CGContextRef c, CGFloat sx, CGFloat sy);
// Rotates user space by `angle` radians (counter-clockwise in a y-up space).
void CGContextRotateCTM(CGContextRef c, CGFloat angle);
// CTM = t followed by the current CTM (t applies to user points first).
void CGContextConcatCTM(CGContextRef c, CGAffineTransform t);
CGAffineTransform CGContextGetCTM(CGContextRef c);
CGPoint CGContextConvertPointToDeviceSpace(CGContextRef c, CGPoint p);

// The graphics state: the CTM, the clip, the fill colour and the antialias flag. Saves nest; a
// restore without a matching save does nothing.
void CGContextSaveGState(CGContextRef c);
void CGContextRestoreGState(CGContextRef c);

// Clipping. The clip is a rectangle of whole device pixels, the whole bitmap at first. Clipping to
// a rectangle keeps the pixels whose centres lie in it (through the CTM; under a rotating CTM, in
// its device bounding box). The bounding box is the clip in user space (empty: a zero rectangle).
void CGContextClipToRect(CGContextRef c, CGRect rect);
CGRect CGContextGetClipBoundingBox(CGContextRef c);

// Antialiasing of what the context draws (default true).
void CGContextSetShouldAntialias(CGContextRef c, bool shouldAntialias);

// Filling: the fill colour and a rectangle fill of the pixels whose centres the transformed
// rectangle covers, inside the clip (the transformation must not rotate). The colour is written,
// not blended: premultiplied into a premultiplied context, with an opaque alpha byte otherwise.
void CGContextSetRGBFillColor(CGContextRef c, CGFloat r, CGFloat g, CGFloat b, CGFloat a);
void CGContextFillRect(CGContextRef c, CGRect rect);
void CGContextFlush(CGContextRef c);

// Draws `image` scaled into `rect` of user space: the image's first (top) row goes to the
// rectangle's maximum-y edge, so it shows upright in a y-up space and upside down under a y-down
// CTM. Device pixels whose centres lie inside the transformed rectangle (a centre on an edge
// counting as a fill counts it) and inside the clip take the nearest image pixel. Opaque (skip)
// images are copied, premultiplied ones composited source-over; a copy between different
// settings writes an opaque alpha byte. Rectangles that are empty, negative, not finite or too
// large for device coordinates draw nothing.
void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image);

// Colours: one component a channel of the space, then alpha.
CGColorRef CGColorCreate(CGColorSpaceRef space, const CGFloat* components);
CGColorRef CGColorRetain(CGColorRef color);
void CGColorRelease(CGColorRef color);
size_t CGColorGetNumberOfComponents(CGColorRef color);
const CGFloat* CGColorGetComponents(CGColorRef color);
CGColorSpaceRef CGColorGetColorSpace(CGColorRef color);

// Images: a snapshot of a bitmap context's pixels at the time of the call.
CGImageRef CGBitmapContextCreateImage(CGContextRef c);
CGImageRef CGImageRetain(CGImageRef image);
void CGImageRelease(CGImageRef image);
size_t CGImageGetWidth(CGImageRef image);
size_t CGImageGetHeight(CGImageRef image);
size_t CGImageGetBytesPerRow(CGImageRef image);
size_t CGImageGetBitsPerPixel(CGImageRef image);
CGImageAlphaInfo CGImageGetAlphaInfo(CGImageRef image);

// The stand-in's own calls, with no platform counterpart: what text drawing reads of a context.
// The antialias flag as last set (true for null), and the clip as whole device pixels (origin
// bottom-left, y up; a zero rectangle for null or an empty clip).
bool CGContextGetShouldAntialias(CGContextRef c);
CGRect CGContextGetDeviceClipBox(CGContextRef c);
