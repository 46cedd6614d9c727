#pragma once
// The records behind the GDI emulation's device-context and object handles, the pools that
// recycle them, and memory drawing contexts: device contexts that own a 32-bit pixel buffer.
// Handles are untyped pointers at every interface.

#include <ApplicationServices/ApplicationServices.h>

#include "gdi-types.h"

struct GDP_OBJECT;

// A device context. All fields are zero in a new record.
struct GDP_CTX
{
  CGContextRef ctx;            // where all drawing goes
  void* framebuffer;           // owned pixels (memory contexts only)
  GDP_OBJECT* curpen;          // selected pen, brush and font: not owned
  GDP_OBJECT* curbrush;
  GDP_OBJECT* curfont;
  void* heldobj;               // a Cocoa object the context keeps a reference on
  CGColorRef curtextcolor;     // text colour, owned
  int curtextcolor_int;        // the same colour as 0x00RRGGBB
  int curbkcol;                // background colour, 0x00RRGGBB
  int curbkmode;
  float lastpos_x, lastpos_y;  // current position
};

enum EGdiObjectType
{
  kGdiObjPen = 1,
  kGdiObjBrush = 2,
  kGdiObjFont = 3,
  kGdiObjBitmap = 4
};

// A pen, brush, font or bitmap. All fields are zero in a new record.
struct GDP_OBJECT
{
  int type;             // EGdiObjectType
  CGColorRef color;     // pen and brush colour, owned
  int wid;              // pen width (negative: a stock object); bitmap: 1 when the image is owned
  void* bitmapptr;      // bitmap: the image
  void* heldobj;        // a Cocoa object released on deletion
  int selections;       // how many context slots hold the object: DeleteObject refuses it until none do
  void* fontstyle;      // font: the text style, owned
  float font_rotation;  // font: degrees
};

// Pools hold at most this many free records each.
constexpr int kGdiPoolMax = 1024;

GDP_CTX* GDI_GDP_CTX_NEW();
GDP_OBJECT* GDP_OBJECT_NEW();
// Return a record to its pool (or free it when the pool is full or cannot grow).
void GDI_GDP_CTX_FREE(GDP_CTX* ctx);
void GDP_OBJECT_FREE(GDP_OBJECT* obj);
// Free records waiting in each pool (for tests and diagnostics).
int GDI_CtxPoolSize();
int GDI_ObjPoolSize();

// The process-wide device-RGB space every colour is made in; created on first use, never released.
CGColorSpaceRef GDI_SharedRGBColorSpace();
// Sets the context's text colour (0x00RRGGBB) as an owned CoreGraphics colour.
void GDI_SetCtxTextColor(GDP_CTX* ctx, int rgb);

HDC GDI_CreateMemContext(HDC unused, int w, int h);
void* GDI_GetCtxFrameBuffer(HDC ctx);
void GDI_DeleteGfxContext(HDC ctx);
