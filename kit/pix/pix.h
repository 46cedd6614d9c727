#pragma once
// The raster library: bitmaps, drawing modes and combiners, blits, fills, gradients, glyphs,
// blur and the image loaders. Operations report nothing: a null or empty bitmap, an area that
// clips away, an alpha of exactly 0 or an unknown mode draws nothing.

#include "gdi-types.h"
#include "pix_bitmap.h"
#include "pix_modes.h"

// ---- blits
void PIX_Blit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, RECT* srcrect, float alpha, int mode);
void PIX_Blit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch,
              float alpha, int mode);
void PIX_Copy(PIX_IBitmap* dest, PIX_IBitmap* src);

// ---- fills and pixels
void PIX_Clear(PIX_IBitmap* bm, PIX_PixelValue color);
void PIX_ClearRect(PIX_IBitmap* bm, int x, int y, int w, int h, unsigned int mask, unsigned int bits);
PIX_PixelValue PIX_GetPixel(PIX_IBitmap* bm, int x, int y);
void PIX_PutPixel(PIX_IBitmap* bm, int x, int y, PIX_PixelValue color, float alpha, int mode);
void PIX_FillRect(PIX_IBitmap* bm, int x, int y, int w, int h, PIX_PixelValue color, float alpha, int mode);
void PIX_SetAlphaFromColorMask(PIX_IBitmap* bm, PIX_PixelValue color);
void PIX_SimpleFill(PIX_IBitmap* bm, int x, int y, unsigned int newbits, unsigned int comparemask,
                    unsigned int keepmask);
void PIX_MultiplyAddRect(PIX_IBitmap* bm, int x, int y, int w, int h, float rs, float gs, float bs, float as,
                         float ro, float go, float bo, float ao);
void PIX_GradRect(PIX_IBitmap* bm, int x, int y, int w, int h, float ir, float ig, float ib, float ia,
                  float drdx, float dgdx, float dbdx, float dadx, float drdy, float dgdy, float dbdy, float dady,
                  int mode);
void PIX_DrawGlyph(PIX_IBitmap* bm, int x, int y, PIX_PixelValue color, const unsigned char* alphas, int glyph_w,
                   int glyph_h, float alpha, int mode);

// ---- reading one bitmap into another
void PIX_Blur(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch);
void PIX_HalveBlitAA(PIX_IBitmap* dest, PIX_IBitmap* src);
int PIX_BitmapCmp(PIX_IBitmap* a, PIX_IBitmap* b);

#include "pix_transform.h"
#include "pix_line.h"
#include "pix_shapes.h"
#include "pix_circle.h"
#include "pix_arc.h"
#include "pix_curve.h"
