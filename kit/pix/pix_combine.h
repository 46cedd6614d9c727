#pragma once
// The pixel combiners: one stateless class per blending rule with one static doPix, so that every
// per-pixel loop is a template instance over its rule and no loop tests the mode per pixel.
//
// doPix(dest, r, g, b, a, weight): dest addresses the destination pixel's bytes (0 alpha, 1 red,
// 2 green, 3 blue); r, g, b, a are the source values (0..255, or averages of them); weight is in
// 1/256 units. Every rule runs on all four bytes, alpha included, unless it says otherwise;
// divisions truncate toward zero and results are clamped to 0..255.

#include <cmath>

// 65536 / i - 1 for i in 1..255, 0 for 0: the HSV conversion divides through it.
extern const unsigned short _PIX_RGB2HSV_invtab[256];

inline int _PIX_Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// The integer weight of an opacity: (int)(alpha * 256), truncated toward zero. Opacities beyond
// +-4 are held at +-4 (and NaN counts as 0): with weights and source values up to 1024 the
// combiners' integer arithmetic cannot overflow.
constexpr int kPIX_MaxWeight = 1024;
inline int PIX_AlphaToWeight(double alpha)
{
  if (!(alpha == alpha)) return 0;
  if (alpha > 4.0) alpha = 4.0;
  if (alpha < -4.0) alpha = -4.0;
  return (int)(alpha * 256.0);
}

inline void _PIX_MakePixel(unsigned char* dest, int r, int g, int b, int a)
{
  dest[0] = (unsigned char)_PIX_Clamp255(a);
  dest[1] = (unsigned char)_PIX_Clamp255(r);
  dest[2] = (unsigned char)_PIX_Clamp255(g);
  dest[3] = (unsigned char)_PIX_Clamp255(b);
}

// Applies a per-channel rule f(d, s) to the four bytes with the matching source value.
#define PIX_COMBINE_CHANNELS(F)                          \
  do                                                     \
  {                                                      \
    dest[0] = (unsigned char)_PIX_Clamp255(F(dest[0], a)); \
    dest[1] = (unsigned char)_PIX_Clamp255(F(dest[1], r)); \
    dest[2] = (unsigned char)_PIX_Clamp255(F(dest[2], g)); \
    dest[3] = (unsigned char)_PIX_Clamp255(F(dest[3], b)); \
  } while (0)

struct _PIX_CombinePixelsCopy
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    const int iw = 256 - w;
    auto f = [w, iw](int d, int s) { return (s * w + d * iw) / 256; };
    PIX_COMBINE_CHANNELS(f);
  }
};

struct _PIX_CombinePixelsAdd
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    auto f = [w](int d, int s) { return d + s * w / 256; };
    PIX_COMBINE_CHANNELS(f);
  }
};

struct _PIX_CombinePixelsMul
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    const int base = (256 - w) * 256;
    auto f = [w, base](int d, int s) { return d * (base + s * w) / 65536; };
    PIX_COMBINE_CHANNELS(f);
  }
};

struct _PIX_CombinePixelsOverlay
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    const int base = (256 - w) * 128;
    auto f = [w, base](int d, int s) {
      const int t = base + s * w;
      return d * (d * (32768 - t) / 256 + t) / 32768;
    };
    PIX_COMBINE_CHANNELS(f);
  }
};

struct _PIX_CombinePixelsColorDodge
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    auto f = [w](int d, int s) {
      const int den = 256 - s * w / 256;
      return den <= 1 ? d * 256 : d * 256 / den;
    };
    PIX_COMBINE_CHANNELS(f);
  }
};

struct _PIX_CombinePixelsHalfMix
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int)
  {
    auto f = [](int d, int s) { return (s + d) / 2; };
    PIX_COMBINE_CHANNELS(f);
  }
};

struct _PIX_CombinePixelsClobber
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int)
  {
    _PIX_MakePixel(dest, r, g, b, a);
  }
};

// Source values are shift amounts: red turns the hue (r + r/2 - 192 steps of 1/384 turn), green
// moves the saturation and blue the value (128 each is no change). Hue runs 0..383 in six sectors;
// the alpha byte becomes the source alpha.
struct _PIX_CombinePixelsHSVAdjust
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    const int R = dest[1], G = dest[2], B = dest[3];
    int V, D, base, diff;
    if (R < G)
    {
      if (B < G)
      {
        V = G;
        D = G - (R < B ? R : B);
        base = 128;
        diff = B - R;
      }
      else
      {
        V = B;
        D = B - R;
        base = 256;
        diff = R - G;
      }
    }
    else if (B < R)
    {
      V = R;
      D = R - (G < B ? G : B);
      diff = G - B;
      base = G < B ? 383 : 0;
    }
    else
    {
      V = B;
      D = B - G;
      base = 256;
      diff = R - G;
    }

    int H = base + diff * (_PIX_RGB2HSV_invtab[D] + 1) / 1024 + w * (r + r / 2 - 192) / 256;
    // Large weights can turn the hue by more than one turn: wrap it fully into 0..383.
    H %= 384;
    if (H < 0) H += 384;

    const int S = _PIX_Clamp255(D * _PIX_RGB2HSV_invtab[V] / 256 + w * (g - 128) / 256);
    int V2 = V + w * (b - 128) / 256;
    int P;
    if (V2 < 0)
    {
      V2 = 0;
      P = 0;
    }
    else if (V2 > 255)
    {
      V2 = 255;
      P = 255 * (256 - S);
    }
    else
    {
      P = V2 * (256 - S);
    }
    const int p = P / 256;
    auto f = [V2, S](int k) { return V2 * (16384 - S * k) / 16384; };

    int nr, ng, nb;
    switch (H >> 6)
    {
      case 0: nr = V2; ng = f(64 - H); nb = p; break;
      case 1: nr = f(H - 64); ng = V2; nb = p; break;
      case 2: nr = p; ng = V2; nb = f(192 - H); break;
      case 3: nr = p; ng = f(H - 192); nb = V2; break;
      case 4: nr = f(320 - H); ng = p; nb = V2; break;
      default: nr = V2; ng = p; nb = f(H - 320); break;
    }
    // The alpha byte takes the source alpha, clamped: fills pass their weight here, and 256
    // (alpha 1.0) must not wrap to a transparent 0.
    dest[0] = (unsigned char)_PIX_Clamp255(a);
    dest[1] = (unsigned char)_PIX_Clamp255(nr);
    dest[2] = (unsigned char)_PIX_Clamp255(ng);
    dest[3] = (unsigned char)_PIX_Clamp255(nb);
  }
};

// The source-alpha forms weight by (a + 1) * w / 256 and then run the plain rule. Copy, add and
// multiply skip a source alpha of 0; dodge, overlay and HSV have no such test.
template <class Plain, bool SkipTransparent>
struct _PIX_CombineSourceAlpha
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    if (SkipTransparent && a == 0) return;
    Plain::doPix(dest, r, g, b, a, (a + 1) * w / 256);
  }
};

struct _PIX_CombinePixelsCopySourceAlpha : _PIX_CombineSourceAlpha<_PIX_CombinePixelsCopy, true> {};
struct _PIX_CombinePixelsAddSourceAlpha : _PIX_CombineSourceAlpha<_PIX_CombinePixelsAdd, true> {};
struct _PIX_CombinePixelsMulSourceAlpha : _PIX_CombineSourceAlpha<_PIX_CombinePixelsMul, true> {};
struct _PIX_CombinePixelsColorDodgeSourceAlpha : _PIX_CombineSourceAlpha<_PIX_CombinePixelsColorDodge, false> {};
struct _PIX_CombinePixelsOverlaySourceAlpha : _PIX_CombineSourceAlpha<_PIX_CombinePixelsOverlay, false> {};
struct _PIX_CombinePixelsHSVAdjustSourceAlpha : _PIX_CombineSourceAlpha<_PIX_CombinePixelsHSVAdjust, false> {};

// Copy by source alpha alone (the weight is ignored): m = a + 1 blends the colour bytes, and the
// alpha byte takes m * m in place of the source value.
struct _PIX_CombinePixelsCopySourceAlphaIgnoreAlphaParm
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int)
  {
    if (a == 0) return;
    if (a == 255)
    {
      _PIX_MakePixel(dest, r, g, b, 255);
      return;
    }
    const int m = a + 1, im = 256 - m;
    dest[0] = (unsigned char)_PIX_Clamp255((m * m + dest[0] * im) / 256);
    dest[1] = (unsigned char)_PIX_Clamp255((r * m + dest[1] * im) / 256);
    dest[2] = (unsigned char)_PIX_Clamp255((g * m + dest[2] * im) / 256);
    dest[3] = (unsigned char)_PIX_Clamp255((b * m + dest[3] * im) / 256);
  }
};

#undef PIX_COMBINE_CHANNELS

// Bilinear sample of a 2 x 2 block: tl addresses the top-left pixel (top-right follows it), bl the
// bottom-left (bottom-right follows it); xfrac and yfrac are 16.16 fractions toward right and bottom.
inline void __PIX_BilinearFilterI(int* r, int* g, int* b, int* a, const unsigned char* tl,
                                  const unsigned char* bl, int xfrac, int yfrac)
{
  const int c = (int)(((unsigned)xfrac * (unsigned)yfrac) >> 16);
  const int wtl = 65536 - xfrac - yfrac + c, wtr = xfrac - c, wbl = yfrac - c, wbr = c;
  auto mix = [&](int i) { return (tl[i] * wtl + tl[4 + i] * wtr + bl[i] * wbl + bl[4 + i] * wbr) / 65536; };
  *a = mix(0);
  *r = mix(1);
  *g = mix(2);
  *b = mix(3);
}

// Linear sample between pixels p and q, frac a 16.16 fraction toward q.
inline void __PIX_LinearFilterI(int* r, int* g, int* b, int* a, const unsigned char* p,
                                const unsigned char* q, int frac)
{
  auto mix = [&](int i) { return (p[i] * (65536 - frac) + q[i] * frac) / 65536; };
  *a = mix(0);
  *r = mix(1);
  *g = mix(2);
  *b = mix(3);
}

// Packed whole-pixel blends of copy mode at exact opacities, each channel rounded down separately.
inline unsigned _PIX_PackedHalf(unsigned c, unsigned d) { return ((c >> 1) & 0x7f7f7f7fu) + ((d >> 1) & 0x7f7f7f7fu); }
inline unsigned _PIX_PackedQuarter(unsigned c, unsigned d)
{
  return ((d >> 1) & 0x7f7f7f7fu) + ((d >> 2) & 0x3f3f3f3fu) + ((c >> 2) & 0x3f3f3f3fu);
}
inline unsigned _PIX_PackedThreeQuarter(unsigned c, unsigned d)
{
  return ((c >> 1) & 0x7f7f7f7fu) + ((c >> 2) & 0x3f3f3f3fu) + ((d >> 2) & 0x3f3f3f3fu);
}
