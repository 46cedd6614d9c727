#pragma once
// The Win32-style operations of the GDI emulation over CoreGraphics, ATSUI and Cocoa images:
// pens, brushes, fonts and bitmaps; device contexts of windows and views; lines, shapes, pixels,
// text; blits between contexts. Handles are untyped pointers to the records of gdi-draw.h.
// Colours are 0x00RRGGBB. Every drawing call does nothing for a null context.

#include "gdi-draw.h"

struct POINT
{
  int32_t x, y;
};

// Face names are held inline, as in the Win32 record.
constexpr int LF_FACESIZE = 32;

struct LOGFONT
{
  int32_t lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight;
  char lfItalic, lfUnderline, lfStrikeOut, lfCharSet, lfOutPrecision, lfClipPrecision, lfQuality, lfPitchAndFamily;
  char lfFaceName[LF_FACESIZE];
};

struct TEXTMETRIC
{
  int tmHeight, tmAscent, tmDescent, tmInternalLeading, tmAveCharWidth;
};

// The type numbers SelectObject hands back for "no pen", "no brush" and "no font".
#define GDI_NO_PEN ((HGDIOBJ)(intptr_t)kGdiObjPen)
#define GDI_NO_BRUSH ((HGDIOBJ)(intptr_t)kGdiObjBrush)
#define GDI_NO_FONT ((HGDIOBJ)(intptr_t)kGdiObjFont)

// GDI_DrawText flags.
enum : int
{
  DT_CALCRECT = 0x1,     // measure only: set the rectangle's right and bottom
  DT_VCENTER = 0x2,
  DT_CENTER = 0x4,
  DT_PIXELALIGN = 0x8,   // glyphs on whole device pixels
  DT_BOTTOM = 0x10,
  DT_RIGHT = 0x20,
  DT_SINGLELINE = 0x40,  // each line break drawn as a space
  DT_NOPREFIX = 0x80,    // '&' drawn as itself
  DT_NOCLIP = 0x100
};

// GetSysColor indices.
enum : int
{
  COLOR_3DSHADOW = 0,
  COLOR_3DHILIGHT = 1,
  COLOR_3DFACE = 2,
  COLOR_WINDOW = 4,
  COLOR_BTNTEXT = 5,
  COLOR_WINDOWTEXT = 6,
  COLOR_BTNFACE = 7,
  COLOR_INFOBK = 8
};

// What a window or view class that paints through the emulation answers getGdiPaintInfo: with:
// the device context of the paint in progress, if any. GetDC hands that context out instead of
// making one, and ReleaseDC leaves it to the paint.
struct GDI_PaintInfo
{
  HDC hdc;
};
class GDI_PaintInfoSource
{
public:
  virtual void getGdiPaintInfo(GDI_PaintInfo* info) = 0;

protected:
  ~GDI_PaintInfoSource() = default;
};

// ----- Objects -----
HGDIOBJ CreatePen(int style, int width, int rgb);
HGDIOBJ CreatePenAlpha(int style, int width, int rgb, float alpha);
HGDIOBJ CreateSolidBrush(int rgb);
HGDIOBJ CreateSolidBrushAlpha(int rgb, float alpha);
// A new colour in the shared device-RGB space; the caller releases it.
CGColorRef CreateColor(int rgb, float alpha);
HGDIOBJ CreateFont(long height, long width, long escapement, long orientation, long weight, char italic,
                   char underline, char strikeOut, char charSet, char outPrecision, char clipPrecision,
                   char quality, char pitchAndFamily, const char* faceName);
HGDIOBJ CreateFontIndirect(const LOGFONT* lf);
// A bitmap object of a named image, or of the image file a name with '/' names; with the colour
// key, opaque magenta pixels become transparent. Null when there is no such image.
HGDIOBJ LoadNamedImage(const char* name, bool colorKey);
// 1: the empty pen; 2: the empty brush; anything else: null.
HGDIOBJ GetStockObject(int which);
// The object the slot held before, or the slot's type number when it was empty; 0 for a null
// context or object or a type with no slot. Selecting the result restores the former state.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
// Releases what the object owns and recycles its record. A stock object is left alone (and 1 is
// returned); null, a type number and an object still selected into a context are refused (0).
int DeleteObject(HGDIOBJ obj);
// Zero-fills size bytes of buf; a bitmap object with an image and a size of 8 gets the image's
// width and height as two ints and returns 1; otherwise 0. A negative size writes nothing.
int GetObject(HGDIOBJ obj, int size, void* buf);
// The NSImage of a bitmap object, else null.
void* GetNSImageFromHICON(HGDIOBJ obj);
int GetSysColor(int index);

// ----- Device contexts -----
HDC GetDC(void* windowOrView);
HDC GetWindowDC(void* windowOrView);
void ReleaseDC(void* windowOrView, HDC hdc);
// A context over an NSGraphicsContext's graphics port; it owns no buffer.
HDC GDI_CreateGfxContext(void* nsGraphicsContext);
CGContextRef GDI_GetCtxGC(HDC hdc);
void SetTextColor(HDC hdc, int rgb);
void SetBkColor(HDC hdc, int rgb);
void SetBkMode(HDC hdc, int mode);
void GDI_PushClipRegion(HDC hdc);
void GDI_PopClipRegion(HDC hdc);
void GDI_SetClipRegion(HDC hdc, const RECT* r);

// ----- Drawing -----
void MoveToEx(HDC hdc, int x, int y, POINT* oldPos);
void GDI_LineTo(HDC hdc, int x, int y);
void PolyBezierTo(HDC hdc, const POINT* pts, int count);
void PolyPolyline(HDC hdc, const POINT* pts, const uint32_t* counts, int n);
void GDI_Polygon(HDC hdc, const POINT* pts, int count);
void RoundRect(HDC hdc, int left, int top, int right, int bottom, int ew, int eh);
void Rectangle(HDC hdc, int left, int top, int right, int bottom);
void Ellipse(HDC hdc, int left, int top, int right, int bottom);
void GDI_FillRect(HDC hdc, const RECT* r, HGDIOBJ brush);
void GDI_FillDialogBackground(HDC hdc, const RECT* r, int unused);
void GDI_SetPixel(HDC hdc, int x, int y, int rgb);
void DrawImageInRect(HDC hdc, HGDIOBJ bitmap, const RECT* r);
// Draws (or with DT_CALCRECT measures) a line of text in the rectangle; returns its height, 0 for
// a null context or when no font can be had.
int GDI_DrawText(HDC hdc, const char* text, int len, RECT* r, int flags);
bool GetTextMetrics(HDC hdc, TEXTMETRIC* tm);

// ----- Blits (the raster operation is not used) -----
void BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int rop);
void StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, int rop);
void BitBltAlpha(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int rop, bool useAlpha,
                 float opacity);
// Source pixels bytes alpha, red, green, blue; a negative span counts rows from the last one.
void BitBltAlphaFromMem(HDC dest, int x, int y, int w, int h, const void* pixels, int span, int height, int sx,
                        int sy, int rop, bool useAlpha, float opacity);
