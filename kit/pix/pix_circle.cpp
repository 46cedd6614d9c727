// Circles and discs: the small-radius masks, the clip decision and the dispatch on mode.

#include <array>
#include <cmath>

#include "pix.h"
#include "pix_circle_class.h"

namespace
{
// A mask from a pattern of rows: 'F' full coverage, '0' none, 'h' 'l' 'm' 'o' 'q' the given values.
template <int N>
struct Mask
{
  std::array<unsigned char, N * N> v{};
  Mask(const char* rows, int h, int l, int m, int o, int q)
  {
    int i = 0;
    for (const char* p = rows; *p && i < N * N; ++p)
    {
      int c;
      switch (*p)
      {
        case 'F': c = 255; break;
        case '0': c = 0; break;
        case 'h': c = h; break;
        case 'l': c = l; break;
        case 'm': c = m; break;
        case 'o': c = o; break;
        case 'q': c = q; break;
        default: continue;
      }
      v[i++] = (unsigned char)c;
    }
  }
};

const char kRadius2[] = "00F00 0F0F0 F000F 0F0F0 00F00";
const char kRadius25[] = "hlFFlh lmooml Fo00oF Fo00oF lmooml hlFFlh";
const char kRadius3[] = "0hFFFh0 hFlmlFh Fo000oF Fq000qF Fo000oF hFlmlFh 0hFFFh0";
const char kRadius35[] = "0hlFFlh0 hFmoomFh lm0000ml Fo0000oF Fo0000oF lm0000ml hFmoomFh 0hlFFlh0";
const char kRadius4[] =
    "00FFFFF00 0FF000FF0 FF00000FF F0000000F F0000000F F0000000F FF00000FF 0FF000FF0 00FFFFF00";

// The smooth masks of radius 2 and 4 are tables of their own.
const unsigned char kSmooth2[25] = {15,  191, 255, 191, 15,  191, 209, 79, 209, 191, 255, 79, 0,
                                    79,  255, 191, 209, 79,  209, 191, 15, 191, 255, 191, 15};
const unsigned char kSmooth4[81] = {
    0,   31,  176, 255, 255, 255, 176, 31,  0,   31,  240, 209, 79,  64,  79,  209, 240, 31,  176, 209, 15,
    0,   0,   0,   15,  209, 176, 255, 79,  0,   0,   0,   0,   0,   79,  255, 255, 48,  0,   0,   0,   0,
    0,   48,  255, 255, 79,  0,   0,   0,   0,   0,   79,  255, 176, 209, 15,  0,   0,   0,   15,  209, 176,
    31,  240, 209, 79,  64,  79,  209, 240, 31,  0,   31,  176, 255, 255, 255, 176, 31,  0};

const Mask<5> kPlain2(kRadius2, 0, 0, 0, 0, 0);
const Mask<6> kPlain25(kRadius25, 0, 0, 255, 0, 0), kSmooth25(kRadius25, 15, 191, 209, 79, 0);
const Mask<7> kPlain3(kRadius3, 0, 0, 0, 0, 0), kSmooth3(kRadius3, 143, 97, 64, 112, 48);
const Mask<8> kPlain35(kRadius35, 0, 255, 255, 0, 0), kSmooth35(kRadius35, 79, 222, 176, 64, 0);
const Mask<9> kPlain4(kRadius4, 0, 0, 0, 0, 0);

void Circle(PIX_IBitmap* bm, float cx, float cy, float r, PIX_PixelValue color, float alpha, int mode, bool aa,
            bool fill)
{
  if (!bm || !PIX_AllFinite(cx, cy, r, alpha)) return;
  if (!fill && CachedCircle(bm, cx, cy, r, color, alpha, mode, aa)) return;
  if (bm->isFlipped()) cy = (float)(bm->getHeight() - 1) - cy;
  const RECT clip = {0, 0, bm->getWidth(), bm->getHeight()};
  const bool clipped = pix_circle::NeedsClip(bm, cx, cy, r);
  alpha = PIX_HoldAlpha(alpha);
  PIX_DispatchVector(mode, alpha, !aa, [&](auto tag) {
    using D = _PIX_CircleDrawer<typename decltype(tag)::type>;
    if (aa) D::DrawClippedCircleAA(bm, cx, cy, r, clip, color, alpha, fill, clipped);
    else D::DrawClippedCircle(bm, cx, cy, r, clip, color, alpha, fill, clipped);
  });
}
}  // namespace

bool CachedCircle(PIX_IBitmap* bm, float cx, float cy, float r, PIX_PixelValue color, float alpha, int mode, bool aa)
{
  const unsigned char* mask;
  int size;
  if (r == 2.0f)
  {
    mask = aa ? kSmooth2 : kPlain2.v.data();
    size = 5;
  }
  else if (r == 2.5f)
  {
    mask = aa ? kSmooth25.v.data() : kPlain25.v.data();
    size = 6;
  }
  else if (r == 3.0f)
  {
    mask = aa ? kSmooth3.v.data() : kPlain3.v.data();
    size = 7;
  }
  else if (r == 3.5f)
  {
    mask = aa ? kSmooth35.v.data() : kPlain35.v.data();
    size = 8;
  }
  else if (r == 4.0f)
  {
    mask = aa ? kSmooth4 : kPlain4.v.data();
    size = 9;
  }
  else
    return false;
  // Rounded down, like every circle pixel, so a mask just off the top or left edge is not pulled in.
  PIX_DrawGlyph(bm, PIX_FloorInt(cx - r), PIX_FloorInt(cy - r), color, mask, size, size, alpha, mode);
  return true;
}

void PIX_Circle(PIX_IBitmap* bm, float cx, float cy, float r, PIX_PixelValue color, float alpha, int mode, bool aa)
{
  Circle(bm, cx, cy, r, color, alpha, mode, aa, false);
}

void PIX_FillCircle(PIX_IBitmap* bm, float cx, float cy, float r, PIX_PixelValue color, float alpha, int mode,
                    bool aa)
{
  Circle(bm, cx, cy, r, color, alpha, mode, aa, true);
}
