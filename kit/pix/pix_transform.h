#pragma once
// Blits that resample: scaled (nearest, bilinear, and an area filter when shrinking), affine walks
// with per-row changes of the step (delta), rotations about a point, and warps through a grid of
// source points. Source positions name pixel corners; the mode's filter byte 0x100 selects
// bilinear sampling. None reads a sample outside its source clip range.

#include "pix_bitmap.h"

void PIX_ScaledBlit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                    float srcy, float srcw, float srch, float alpha, int mode);

void PIX_DeltaBlit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                   float srcy, float srcw, float srch, double dsdx, double dtdx, double dsdy, double dtdy,
                   double dsdxdy, double dtdxdy, bool clip_to_source, float alpha, int mode);

// angle in radians; the picture turns about the centre of the source rectangle moved by
// (rot_offset_x, rot_offset_y).
void PIX_RotatedBlit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                     float srcy, float srcw, float srch, float angle, bool clip_to_source, float alpha, int mode,
                     float rot_offset_x, float rot_offset_y);

// grid_points: grid_w * grid_h (x, y) source points, row by row, spread evenly over the destination
// rectangle; each cell is the bilinear map of its four corners.
void PIX_TransformBlit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                       float* grid_points, int grid_w, int grid_h, float alpha, int mode);
