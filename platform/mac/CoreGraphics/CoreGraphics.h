#pragma once
// The CoreGraphics calls the drawing-context layer makes: colour spaces, bitmap contexts over caller
// memory with their graphics state (transformation, clip, fill and stroke colours, line style,
// antialiasing), rectangle fills, paths filled and stroked, image drawing, colours, images made
// from a bitmap context or cut out of another image. Every object is reference counted; a create
// call that fails returns null. Every call given a null context does nothing.

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
enum CGPathDrawingMode : int32_t
{
  kCGPathFill = 0,
  kCGPathEOFill = 1,
  kCGPathStroke = 2,
  kCGPathFillStroke = 3,
  kCGPathEOFillStroke = 4
};
enum CGLineCap : int32_t
{
  kCGLineCapButt = 0,
  kCGLineCapRound = 1,
  kCGLineCapSquare = 2
};
enum CGLineJoin : int32_t
{
  kCGLineJoinMiter = 0,
  kCGLineJoinRound = 1,
  kCGLineJoinBevel = 2
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

// The graphics state: the CTM, the clip, the fill and stroke colours, the line width, cap and join,
// and the antialias flag (not the current path). Saves nest; a restore without a matching save
// does nothing.
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
// The fill colour from a colour's components (null: no change).
void CGContextSetFillColorWithColor(CGContextRef c, CGColorRef color);

// Stroke style. The width is in user space, measured through the CTM at the time of the stroke
// (default 1; widths that are not positive and finite stroke nothing); the cap (default butt)
// and join (default miter, miter limit 10) ignore values outside their enumerations. The stroke
// colour defaults to opaque black.
void CGContextSetLineWidth(CGContextRef c, CGFloat width);
void CGContextSetLineCap(CGContextRef c, CGLineCap cap);
void CGContextSetLineJoin(CGContextRef c, CGLineJoin join);
void CGContextSetRGBStrokeColor(CGContextRef c, CGFloat r, CGFloat g, CGFloat b, CGFloat a);
void CGContextSetStrokeColorWithColor(CGContextRef c, CGColorRef color);

// The current path. Points are user space, taken through the CTM as they are added, so a later
// CTM change does not move them. Each drawing call consumes the path and leaves it empty. A point
// that is not finite or lies absurdly far out of device space (beyond 2^21 pixels) spoils the
// path: drawing it draws nothing.
void CGContextBeginPath(CGContextRef c);
void CGContextMoveToPoint(CGContextRef c, CGFloat x, CGFloat y);
// With no current point, a line or curve starts a subpath at its first point (a curve: at cp1).
void CGContextAddLineToPoint(CGContextRef c, CGFloat x, CGFloat y);
void CGContextAddCurveToPoint(CGContextRef c, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x,
                              CGFloat y);
// Closes the subpath; the current point goes back to its start.
void CGContextClosePath(CGContextRef c);
// A closed subpath from the origin through (maxX, minY), (maxX, maxY), (minX, maxY).
void CGContextAddRect(CGContextRef c, CGRect rect);
// A closed subpath of four Bezier curves from (maxX, midY) through (midX, maxY), (minX, midY)
// and (midX, minY).
void CGContextAddEllipseInRect(CGContextRef c, CGRect rect);
bool CGContextIsPathEmpty(CGContextRef c);
// In user space of the current CTM; (0, 0) when there is none (or the CTM cannot be inverted).
CGPoint CGContextGetPathCurrentPoint(CGContextRef c);

// Painting the current path: coverage rendered with antialiasing as the context's flag says,
// the colour blended source-over (unlike CGContextFillRect) inside the clip. Fills use the
// non-zero winding rule (EO: even-odd) and close open subpaths; strokes leave them open. The
// pixels a paint touches in a skip-alpha bitmap get an opaque alpha byte.
void CGContextStrokePath(CGContextRef c);
void CGContextFillPath(CGContextRef c);
void CGContextEOFillPath(CGContextRef c);
// The fill-and-stroke modes fill first, then stroke the same path.
void CGContextDrawPath(CGContextRef c, CGPathDrawingMode mode);
// Shorthands that replace the current path with their shape, paint it and leave the path empty.
void CGContextStrokeRect(CGContextRef c, CGRect rect);
// With `width` for this stroke only.
void CGContextStrokeRectWithWidth(CGContextRef c, CGRect rect, CGFloat width);
void CGContextFillEllipseInRect(CGContextRef c, CGRect rect);
void CGContextStrokeEllipseInRect(CGContextRef c, CGRect rect);
// Strokes a line from points[2k] to points[2k + 1] for each pair (an odd last point is ignored).
void CGContextStrokeLineSegments(CGContextRef c, const CGPoint* points, size_t count);

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
// A new image of the pixels of `image` inside `rect`, in image coordinates (origin at the top-left
// pixel, y down, one unit a pixel), rounded out to whole pixels and cut to the image. Null for a
// null image or rectangle that is not finite or holds no pixel of the image.
CGImageRef CGImageCreateWithImageInRect(CGImageRef image, CGRect rect);

// The stand-in's own calls, with no platform counterpart: what text drawing reads of a context.
// The antialias flag as last set (true for null), and the clip as whole device pixels (origin
// bottom-left, y up; a zero rectangle for null or an empty clip).
bool CGContextGetShouldAntialias(CGContextRef c);
CGRect CGContextGetDeviceClipBox(CGContextRef c);
