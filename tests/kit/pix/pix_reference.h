#pragma once
// An independent scalar model of the pixel rules, written from the rules as stated (64-bit
// integers, one channel at a time), for comparison with the library's combiners and loops.

#include <algorithm>
#include <array>
#include <cstdint>

namespace ref
{
using Px = std::array<int64_t, 4>;  // bytes in memory order: alpha, red, green, blue

inline int64_t clamp(int64_t v) { return std::min<int64_t>(255, std::max<int64_t>(0, v)); }
// C++ integer division already truncates toward zero; spelled out so the model reads as the rule.
inline int64_t div(int64_t a, int64_t b) { return a / b; }

enum Kind { Copy, Add, Dodge, Mul, Overlay, HSV, HalfMix, Clobber, CopyIgnore };

inline int64_t channel(Kind k, int64_t d, int64_t s, int64_t w)
{
  switch (k)
  {
    case Copy: return clamp(div(s * w + d * (256 - w), 256));
    case Add: return clamp(d + div(s * w, 256));
    case Mul: return clamp(div(d * ((256 - w) * 256 + s * w), 65536));
    case Overlay:
    {
      const int64_t t = (256 - w) * 128 + s * w;
      return clamp(div(d * (div(d * (32768 - t), 256) + t), 32768));
    }
    case Dodge:
    {
      const int64_t s2 = div(s * w, 256);
      if (256 - s2 <= 1) return clamp(d * 256);
      return clamp(div(d * 256, 256 - s2));
    }
    case HalfMix: return div(s + d, 2);
    case Clobber: return clamp(s);
    default: return d;
  }
}

inline int64_t invtab(int64_t i) { return i == 0 ? 0 : 65536 / i - 1; }

// HSV adjust of destination d by shift amounts (r, g, b), alpha byte set to a (clamped).
inline Px hsv(const Px& d, int64_t r, int64_t g, int64_t b, int64_t a, int64_t w)
{
  const int64_t R = d[1], G = d[2], B = d[3];
  int64_t V, D, base, diff;
  if (R < G && B < G) { V = G; D = G - std::min(R, B); base = 128; diff = B - R; }
  else if (R < G) { V = B; D = B - R; base = 256; diff = R - G; }
  else if (B < R) { V = R; D = R - std::min(G, B); diff = G - B; base = G < B ? 383 : 0; }
  else { V = B; D = B - G; base = 256; diff = R - G; }
  int64_t H = base + div(diff * (invtab(D) + 1), 1024) + div(w * (r + div(r, 2) - 192), 256);
  while (H < 0) H += 384;
  while (H >= 384) H -= 384;
  const int64_t S = clamp(div(D * invtab(V), 256) + div(w * (g - 128), 256));
  int64_t V2 = V + div(w * (b - 128), 256), P;
  if (V2 < 0) { V2 = 0; P = 0; }
  else if (V2 > 255) { V2 = 255; P = 255 * (256 - S); }
  else P = V2 * (256 - S);
  const int64_t p = div(P, 256);
  auto f = [&](int64_t k) { return div(V2 * (16384 - S * k), 16384); };
  int64_t nr, ng, nb;
  if (H < 64) { nr = V2; ng = f(64 - H); nb = p; }
  else if (H < 128) { nr = f(H - 64); ng = V2; nb = p; }
  else if (H < 192) { nr = p; ng = V2; nb = f(192 - H); }
  else if (H < 256) { nr = p; ng = f(H - 192); nb = V2; }
  else if (H < 320) { nr = f(320 - H); ng = p; nb = V2; }
  else { nr = V2; ng = p; nb = f(H - 320); }
  return Px{clamp(a), clamp(nr), clamp(ng), clamp(nb)};
}

// The plain rule k, or its source-alpha form, on destination d with source (r, g, b, a).
inline Px combine(Kind k, bool sourceAlpha, const Px& d, int64_t r, int64_t g, int64_t b, int64_t a, int64_t w)
{
  if (k == CopyIgnore)
  {
    if (a == 0) return d;
    if (a == 255) return Px{255, clamp(r), clamp(g), clamp(b)};
    const int64_t m = a + 1;
    return Px{clamp(div(m * m + d[0] * (256 - m), 256)), clamp(div(r * m + d[1] * (256 - m), 256)),
              clamp(div(g * m + d[2] * (256 - m), 256)), clamp(div(b * m + d[3] * (256 - m), 256))};
  }
  if (sourceAlpha)
  {
    if ((k == Copy || k == Add || k == Mul) && a == 0) return d;
    w = div((a + 1) * w, 256);
  }
  if (k == HSV) return hsv(d, r, g, b, a, w);
  return Px{channel(k, d[0], a, w), channel(k, d[1], r, w), channel(k, d[2], g, w), channel(k, d[3], b, w)};
}

inline Px bytes(uint32_t v) { return Px{v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff, v >> 24}; }
inline uint32_t word(const Px& p)
{
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

// Pixel-on-pixel form: source pixel s (memory bytes) combined into destination pixel d.
inline uint32_t blend(Kind k, bool sourceAlpha, uint32_t d, uint32_t s, int64_t w)
{
  const Px sp = bytes(s);
  return word(combine(k, sourceAlpha, bytes(d), sp[1], sp[2], sp[3], sp[0], w));
}
}  // namespace ref
