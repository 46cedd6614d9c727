// The row kernels' bodies, written once over a vector of VN pixels. The including file defines
// the vector type and operations (V, VN, v_load ... v_movemask, V_ALLMASK) and PIX_KERNELS_NAME.
// The byte unpacks, packs and 32-bit interleaves work within 128-bit halves, so the lane order
// they produce is the same for every width.

namespace
{
// (s * w + d * (256 - w)) >> 8 per 16-bit lane; exact while each sum stays below 65536.
inline V Mix16(V s16, V d16, V w16)
{
  const V iw16 = v_sub16(v_set1_16(256), w16);
  return v_srli16(v_add16(v_mullo16(s16, w16), v_mullo16(d16, iw16)), 8);
}

// The copy rule on VN pixels with per-pixel weights in 16-bit lanes (two halves).
inline V Mix(V s, V d, V wlo, V whi)
{
  const V z = v_zero();
  return v_packus16(Mix16(v_unpacklo8(s, z), v_unpacklo8(d, z), wlo),
                    Mix16(v_unpackhi8(s, z), v_unpackhi8(d, z), whi));
}

// One weight a pixel (in 32-bit lanes) spread over its four channel lanes.
inline void Spread(V w32, V* lo, V* hi)
{
  const V w2 = v_or(w32, v_slli32(w32, 16));
  *lo = v_unpacklo32(w2, w2);
  *hi = v_unpackhi32(w2, w2);
}

int Half(uint32_t* d, const uint32_t* s, int n)
{
  const V m = v_set1_32(0x7f7f7f7f);
  int x = 0;
  for (; x + VN <= n; x += VN)
    v_store(d + x, v_add32(v_and(v_srli32(v_load(s + x), 1), m), v_and(v_srli32(v_load(d + x), 1), m)));
  return x;
}

int MixRow(uint32_t* d, const uint32_t* s, int n, int w)
{
  const V w16 = v_set1_16((short)w);
  int x = 0;
  for (; x + VN <= n; x += VN) v_store(d + x, Mix(v_load(s + x), v_load(d + x), w16, w16));
  return x;
}

int MixConst(uint32_t* d, uint32_t c, int n, int w)
{
  const V cv = v_set1_32((int)c), w16 = v_set1_16((short)w);
  int x = 0;
  for (; x + VN <= n; x += VN) v_store(d + x, Mix(cv, v_load(d + x), w16, w16));
  return x;
}

// d + s * w / 256 with the quotient truncated toward zero: add or take away (s * |w|) >> 8.
int AddRow(uint32_t* d, const uint32_t* s, int n, int w)
{
  const bool sub = w < 0;
  const V w16 = v_set1_16((short)(sub ? -w : w)), z = v_zero();
  int x = 0;
  for (; x + VN <= n; x += VN)
  {
    const V sv = v_load(s + x), dv = v_load(d + x);
    const V t = v_packus16(v_srli16(v_mullo16(v_unpacklo8(sv, z), w16), 8), v_srli16(v_mullo16(v_unpackhi8(sv, z), w16), 8));
    v_store(d + x, sub ? v_subs_u8(dv, t) : v_adds_u8(dv, t));
  }
  return x;
}

int SrcAlpha(uint32_t* d, const uint32_t* s, int n)
{
  const V amask = v_set1_32(0xff), one = v_set1_32(1), z = v_zero();
  int x = 0;
  for (; x + VN <= n; x += VN)
  {
    const V sv = v_load(s + x);
    const V alpha = v_and(sv, amask);
    const V opaque = v_cmpeq32(alpha, amask), clear = v_cmpeq32(alpha, z);
    if (v_movemask(opaque) == V_ALLMASK)
    {
      v_store(d + x, sv);  // all opaque: the source as it is
      continue;
    }
    if (v_movemask(clear) == V_ALLMASK) continue;  // all transparent: nothing
    // m = a + 1 blends the colour bytes; the alpha byte takes m in place of the source value.
    const V m = v_add32(alpha, one);
    const V sm = v_or(v_andnot(amask, sv), m);
    V wlo, whi;
    Spread(m, &wlo, &whi);
    const V dv = v_load(d + x);
    V r = Mix(sm, dv, wlo, whi);
    r = v_or(v_and(opaque, sv), v_andnot(opaque, r));
    r = v_or(v_and(clear, dv), v_andnot(clear, r));
    v_store(d + x, r);
  }
  return x;
}

// Below 256 the weight (a + 1) * w / 256 is 0 for a transparent source, which leaves the
// destination exactly as the skip would.
int SrcAlphaWeighted(uint32_t* d, const uint32_t* s, int n, int w)
{
  const V amask = v_set1_32(0xff), one = v_set1_32(1), w16 = v_set1_16((short)w);
  int x = 0;
  for (; x + VN <= n; x += VN)
  {
    const V sv = v_load(s + x);
    const V m = v_add32(v_and(sv, amask), one);
    const V wp = v_srli32(v_mullo16(m, w16), 8);  // (a + 1) * w / 256, below 256
    V wlo, whi;
    Spread(wp, &wlo, &whi);
    v_store(d + x, Mix(sv, v_load(d + x), wlo, whi));
  }
  return x;
}
}  // namespace

extern const PIX_RowKernels PIX_KERNELS_NAME = {Half, MixRow, MixConst, AddRow, SrcAlpha, SrcAlphaWeighted};
