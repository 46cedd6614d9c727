// Blits between device contexts, and from memory pixels with opacity and source alpha.

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gdi-internal.h"

namespace
{
// A memory context (one that owns its buffer), else null.
GDP_CTX* MemorySource(HDC src)
{
  GDP_CTX* ctx = (GDP_CTX*)src;
  return ctx && ctx->framebuffer && ctx->ctx ? ctx : nullptr;
}

// Draws the image into the downward-running destination so that it lands upright in
// (x, y, w, h).
void DrawUpright(CGContextRef dest, CGImageRef img, double x, double y, double w, double h)
{
  CGContextSaveGState(dest);
  CGContextScaleCTM(dest, 1, -1);
  CGContextDrawImage(dest, CGRectMake(x, -y - h, w, h), img);
  CGContextRestoreGState(dest);
}

// The source image, or its (sx, sy, sw, sh) cut-out, drawn into (x, y) at w x h; with
// `ownSize`, the cut-out is drawn at its own size instead.
void BlitImage(CGContextRef dest, int x, int y, int w, int h, GDP_CTX* src, int sx, int sy, int sw, int sh,
               bool ownSize)
{
  CGImageRef img = CGBitmapContextCreateImage(src->ctx);
  if (!img) return;
  // The whole image only when the rectangle is all of it: equal areas of other shapes are not.
  if (sx == 0 && sy == 0 && (size_t)sw == CGImageGetWidth(img) && (size_t)sh == CGImageGetHeight(img))
  {
    DrawUpright(dest, img, x, y, w, h);
  }
  else if (CGImageRef cut = CGImageCreateWithImageInRect(img, CGRectMake(sx, sy, sw, sh)))
  {
    const double cw = ownSize ? (double)CGImageGetWidth(cut) : w, ch = ownSize ? (double)CGImageGetHeight(cut) : h;
    DrawUpright(dest, cut, x, y, cw, ch);
    CGImageRelease(cut);
  }
  CGImageRelease(img);
}

// v rounded and held to 0..hi.
int RoundClamped(float v, int hi)
{
  if (!(v > 0.0f)) return 0;
  if (v >= (float)hi) return hi;
  return (int)std::lround(v);
}
}  // namespace

void BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int)
{
  GDP_CTX* d = (GDP_CTX*)dest;
  GDP_CTX* s = MemorySource(src);
  if (!d || !d->ctx || !s || w <= 0 || h <= 0) return;
  BlitImage(d->ctx, x, y, w, h, s, sx, sy, w, h, true);
}

void StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, int)
{
  GDP_CTX* d = (GDP_CTX*)dest;
  GDP_CTX* s = MemorySource(src);
  if (!d || !d->ctx || !s || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  BlitImage(d->ctx, x, y, w, h, s, sx, sy, sw, sh, false);
}

void BitBltAlpha(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int rop, bool useAlpha,
                 float opacity)
{
  if (!useAlpha && opacity >= 0.9999f)
  {
    BitBlt(dest, x, y, w, h, src, sx, sy, rop);
    return;
  }
  GDP_CTX* s = MemorySource(src);
  if (!s) return;
  BitBltAlphaFromMem(dest, x, y, w, h, s->framebuffer, (int)CGBitmapContextGetWidth(s->ctx),
                     (int)CGBitmapContextGetHeight(s->ctx), sx, sy, rop, useAlpha, opacity);
}

void BitBltAlphaFromMem(HDC dest, int x, int y, int w, int h, const void* pixels, int span, int height, int sx,
                        int sy, int, bool useAlpha, float opacity)
{
  GDP_CTX* d = (GDP_CTX*)dest;
  if (!d || !d->ctx || !pixels) return;
  if (!(opacity >= 0.0001f) || w <= 0 || h <= 0 || span == 0 || height <= 0) return;
  const int64_t absSpan = std::llabs((int64_t)span);
  const int64_t cw = std::min<int64_t>((int64_t)w + std::min(sx, 0), absSpan - std::max(sx, 0));
  const int64_t ch = std::min<int64_t>((int64_t)h + std::min(sy, 0), (int64_t)height - std::max(sy, 0));
  if (cw < 1 || ch < 1 || cw * ch * 4 > INT32_MAX) return;
  const int64_t col0 = std::max(sx, 0), row0 = std::max(sy, 0);

  const int o = useAlpha ? RoundClamped(opacity * 256.0f, 256) : RoundClamped(opacity * 255.0f, 255);
  uint8_t* tmp = (uint8_t*)malloc((size_t)(cw * ch * 4));
  if (!tmp) return;
  const uint8_t* base = (const uint8_t*)pixels;
  for (int64_t r = 0; r < ch; ++r)
  {
    const int64_t srcRow = span > 0 ? row0 + r : (int64_t)height - 1 - (row0 + r);
    const uint8_t* in = base + (srcRow * absSpan + col0) * 4;
    uint8_t* out = tmp + r * cw * 4;
    // Bytes alpha, red, green, blue in, premultiplied alpha, red, green, blue out.
    if (useAlpha)
      for (int64_t i = 0; i < cw; ++i, in += 4, out += 4)
      {
        const unsigned a = o == 256 ? in[0] : (in[0] * (unsigned)o) >> 8;
        out[0] = (uint8_t)a;
        out[1] = (uint8_t)((in[1] * a) >> 8);
        out[2] = (uint8_t)((in[2] * a) >> 8);
        out[3] = (uint8_t)((in[3] * a) >> 8);
      }
    else if (o < 255)
      for (int64_t i = 0; i < cw; ++i, in += 4, out += 4)
      {
        out[0] = (uint8_t)o;
        out[1] = (uint8_t)((in[1] * (unsigned)o) >> 8);
        out[2] = (uint8_t)((in[2] * (unsigned)o) >> 8);
        out[3] = (uint8_t)((in[3] * (unsigned)o) >> 8);
      }
    else
      for (int64_t i = 0; i < cw; ++i, in += 4, out += 4)
      {
        out[0] = 0xff;
        out[1] = in[1];
        out[2] = in[2];
        out[3] = in[3];
      }
  }

  CGContextRef tc = CGBitmapContextCreate(tmp, (size_t)cw, (size_t)ch, 8, (size_t)cw * 4, GDI_SharedRGBColorSpace(),
                                          kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrderDefault);
  CGImageRef img = tc ? CGBitmapContextCreateImage(tc) : nullptr;
  if (img)
  {
    DrawUpright(d->ctx, img, sx < 0 ? (double)x - sx : x, sy < 0 ? (double)y - sy : y, (double)cw, (double)ch);
    CGImageRelease(img);
  }
  if (tc) CGContextRelease(tc);
  free(tmp);
}
