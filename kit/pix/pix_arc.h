#pragma once
// Circular arcs and rounded rectangles. Angles are radians, 0 at the top of the circle and
// growing clockwise on the screen: the point at angle a is (cx + r sin a, cy - r cos a).

#include "gdi-types.h"
#include "pix_bitmap.h"

// The arc from a0 clockwise to a1: the circle drawn through clip rectangles, one
// for each quadrant the arc crosses, bounded by the arc's ends. An end not past the start draws
// nothing; a turn or more draws the whole circle.
void PIX_Arc(PIX_IBitmap* bm, float cx, float cy, float r, float a0, float a1, PIX_PixelValue color, float alpha,
             int mode, bool aa);

// An outline with quarter-circle corners of radius `radius` (at most half the width and height);
// corners under 2 pixels give a plain rectangle outline.
void PIX_RoundRect(PIX_IBitmap* bm, float x, float y, float w, float h, int radius, PIX_PixelValue color,
                   float alpha, int mode, bool aa);

// The clip rectangles of an arc within a width x height bitmap: the whole bitmap once for a full
// circle (*whole set), or one rectangle per quadrant piece. Returns the number of rectangles.
int PIX_ArcClips(float cx, float cy, float r, float a0, float a1, int width, int height, RECT clips[6], bool* whole);
