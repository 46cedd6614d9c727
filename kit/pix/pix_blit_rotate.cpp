// Affine blits: the delta blit (a start position, its changes per pixel and per row, and the
// per-row change of the per-pixel step) and the rotation built on it.

#include <algorithm>
#include <cmath>

#include "pix.h"
#include "pix_blit_template.h"
#include "pix_rows.h"
#include "pix_transform.h"

namespace
{
struct ClipRange
{
  int x, y, right, bottom;
};

// From the caller's arguments, before any of them is changed.
ClipRange SourceClip(PIX_IBitmap* src, float srcx, float srcy, float srcw, float srch, bool clip_to_source)
{
  const double sw = src->getWidth(), sh = src->getHeight();
  if (!clip_to_source) return {0, 0, (int)sw, (int)sh};
  return {PIX_TruncInt(std::max((double)srcx, 0.0)), PIX_TruncInt(std::max((double)srcy, 0.0)),
          PIX_TruncInt(std::min((double)(srcx + srcw), sw)), PIX_TruncInt(std::min((double)(srcy + srch), sh))};
}

struct DeltaWalk
{
  unsigned char *d, *s;
  int w, h;
  double srcx, srcy, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy;
  ClipRange clip;
  int sspan, dspan;
  float alpha;
  int filtermode;

  template <class C>
  void run() const
  {
    _PIX_Template_Blit<C>::deltaBlit(d, s, w, h, srcx, srcy, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy, clip.x,
                                     clip.y, clip.right, clip.bottom, sspan, dspan, alpha, filtermode);
  }
};

// Clips the destination rectangle and runs the walk. Cutting columns or rows off the left or top
// moves the start there, and because the per-pixel step changes from row to row, also advances
// the steps: the row step by the cut columns' share and the pixel step by the cut rows', so the
// visible part is exactly that part of the uncut picture.
void RunDelta(PIX_IBitmap* dest, PIX_IBitmap* src, int64_t x, int64_t y, int64_t w, int64_t h, float srcx,
              float srcy, double dsdx, double dtdx, double dsdy, double dtdy, double dsdxdy, double dtdxdy,
              const ClipRange& clip, float alpha, int mode)
{
  if (x < 0)
  {
    srcx -= (float)(dsdx * (double)x);
    srcy -= (float)(dtdx * (double)x);
    dsdy -= dsdxdy * (double)x;
    dtdy -= dtdxdy * (double)x;
    w += x;
    x = 0;
  }
  if (y < 0)
  {
    srcx -= (float)(dsdy * (double)y);
    srcy -= (float)(dtdy * (double)y);
    dsdx -= dsdxdy * (double)y;
    dtdx -= dtdxdy * (double)y;
    h += y;
    y = 0;
  }
  const PIX_Rows d(dest), s(src);
  if (!d.bits || !s.bits) return;
  if (x + w > d.width) w = d.width - x;
  if (y + h > d.height) h = d.height - y;
  if (w < 1 || h < 1 || alpha == 0.0f) return;
  if (!PIX_AllFinite(srcx, srcy, dsdx, dtdx, dsdy, dtdy) || clip.x >= clip.right || clip.y >= clip.bottom) return;

  DeltaWalk walk{(unsigned char*)d.at((int)x, (int)y), (unsigned char*)s.bits, (int)w, (int)h, srcx, srcy, dsdx,
                 dtdx, dsdy, dtdy, dsdxdy, dtdxdy, clip, (int)(s.span * 4), (int)(d.span * 4), alpha,
                 mode & 0xff00};
  PIX_DispatchTemplateBlit(mode, alpha, walk);
}
}  // namespace

void PIX_DeltaBlit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                   float srcy, float srcw, float srch, double dsdx, double dtdx, double dsdy, double dtdy,
                   double dsdxdy, double dtdxdy, bool clip_to_source, float alpha, int mode)
{
  if (!dest || !src || dstw == 0 || dsth == 0) return;
  if (!PIX_AllFinite(srcx, srcy, srcw, srch, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy, alpha)) return;
  const ClipRange clip = SourceClip(src, srcx, srcy, srcw, srch, clip_to_source);

  int64_t x = dstx, y = dsty, w = dstw, h = dsth;
  if (w < 0)
  {
    x += w;
    w = -w;
    srcx += srcw;
  }
  if (h < 0)
  {
    y += h;
    h = -h;
    srcy += srch;
  }
  RunDelta(dest, src, x, y, w, h, srcx, srcy, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy, clip, alpha, mode);
}

void PIX_RotatedBlit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                     float srcy, float srcw, float srch, float angle, bool clip_to_source, float alpha, int mode,
                     float rot_offset_x, float rot_offset_y)
{
  if (!dest || !src || dstw == 0 || dsth == 0) return;
  if (!PIX_AllFinite(srcx, srcy, srcw, srch, angle, alpha, rot_offset_x, rot_offset_y)) return;
  const ClipRange clip = SourceClip(src, srcx, srcy, srcw, srch, clip_to_source);

  // A negative size mirrors: the steps below then walk the source backwards.
  int64_t x = dstx, y = dsty, w = dstw, h = dsth;
  if (w < 0)
  {
    w = -w;
    x -= w;
    srcx += srcw;
    srcw = -srcw;
  }
  if (h < 0)
  {
    h = -h;
    y -= h;
    srcy += srch;
    srch = -srch;
  }
  const double c = std::cos((double)angle), s = std::sin((double)angle);
  const double xs = (double)(srcw / (float)w), ys = (double)(srch / (float)h);
  const double dsdx = c * xs, dsdy = s * xs, dtdx = -s * ys, dtdy = c * ys;
  srcx = srcx - (float)((dsdx * (double)w + dsdy * (double)h - (double)srcw) * 0.5 - (double)rot_offset_x);
  srcy = srcy - (float)((dtdx * (double)w + dtdy * (double)h - (double)srch) * 0.5 - (double)rot_offset_y);
  RunDelta(dest, src, x, y, w, h, srcx, srcy, dsdx, dtdx, dsdy, dtdy, 0.0, 0.0, clip, alpha, mode);
}
