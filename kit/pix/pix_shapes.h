#pragma once
// Rectangle outlines, bordered fills, dashed horizontal and vertical lines and filled triangles.
// Integer coordinates, rows from the top; only the mode's low byte is read (bordered fills pass
// the whole mode to the fill); the weight is (int)(alpha * 256).

#include "pix_bitmap.h"

// Outlines columns x..x + w and rows y..y + h; each corner is drawn by two of the four lines.
void PIX_DrawRect(PIX_IBitmap* bm, int x, int y, int w, int h, PIX_PixelValue color, float alpha, int mode);
// Fills the inside of that outline with bg, then draws the outline with fg.
void PIX_BorderedRect(PIX_IBitmap* bm, int x, int y, int w, int h, PIX_PixelValue bg, PIX_PixelValue fg,
                      float alpha, int mode);
// Dashes of pixels_on pixels with gaps of pixels_off, from the lesser end over the half-open range
// up to the greater end (which is never drawn). Only horizontal and vertical lines are drawn; the
// bitmap's flip is not applied. A dash length of 0 or less draws nothing; a negative gap counts as 0.
void PIX_DashedLine(PIX_IBitmap* bm, int x1, int y1, int x2, int y2, int pixels_on, int pixels_off,
                    PIX_PixelValue color, float alpha, int mode, bool antialias);
// Rows from the top vertex's down to the one above the bottom vertex's.
void PIX_FillTriangle(PIX_IBitmap* bm, int x1, int y1, int x2, int y2, int x3, int y3, PIX_PixelValue color,
                      float alpha, int mode);
