// Blits: whole images and cut-outs, stretching, and pixels from memory with opacity and source
// alpha against the conversion's formulas, with negative offsets and spans.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "gdi_canvas.h"

namespace
{
uint32_t Pattern(int x, int y) { return (uint32_t)(x * 20) << 16 | (uint32_t)(y * 20) << 8 | 100; }

// A w x h source whose pixel (x, y) is Pattern(x, y).
struct Source
{
  GdiCanvas c;
  Source(int w, int h) : c(w, h)
  {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) c.Set(x, y, Pattern(x, y));
  }
};

// dest shows src's (sx, sy) cut-out of w x h at (dx, dy), scaled by `scale`, and nothing else.
void ExpectShows(const GdiCanvas& dest, int dx, int dy, int w, int h, int sx, int sy, int scale = 1)
{
  for (int y = 0; y < dest.H(); ++y)
    for (int x = 0; x < dest.W(); ++x)
    {
      const bool inside = x >= dx && x < dx + w * scale && y >= dy && y < dy + h * scale;
      const uint32_t want = inside ? Pattern(sx + (x - dx) / scale, sy + (y - dy) / scale) : 0xffffff;
      ASSERT_EQ(dest.At(x, y), want) << x << "," << y;
    }
}
}  // namespace

TEST(GdiBlit, WholeImagesAndCutOuts)
{
  Source src(10, 10);
  {
    GdiCanvas d(20, 20);
    BitBlt(d.DC(), 3, 4, 10, 10, src.c.DC(), 0, 0, 0);
    ExpectShows(d, 3, 4, 10, 10, 0, 0);
  }
  {
    GdiCanvas d(20, 20);
    BitBlt(d.DC(), 5, 6, 4, 3, src.c.DC(), 2, 5, 0);
    ExpectShows(d, 5, 6, 4, 3, 2, 5);
  }
  {
    // 20 x 5 has the image's area but not its shape: only the top half is cut out.
    GdiCanvas d(20, 20);
    BitBlt(d.DC(), 0, 0, 20, 5, src.c.DC(), 0, 0, 0);
    ExpectShows(d, 0, 0, 10, 5, 0, 0);
  }
  {
    // A cut-out reaching past the image's edge is drawn at the size that remains.
    GdiCanvas d(20, 20);
    BitBlt(d.DC(), 1, 1, 6, 6, src.c.DC(), 7, 8, 0);
    ExpectShows(d, 1, 1, 3, 2, 7, 8);
  }
  // Nothing for a source that owns no buffer, empty sizes or a cut-out outside the image.
  GdiCanvas d(8, 8);
  GDP_CTX borrowed = *src.c.Ctx();
  borrowed.framebuffer = nullptr;
  BitBlt(d.DC(), 0, 0, 4, 4, &borrowed, 0, 0, 0);
  BitBlt(d.DC(), 0, 0, 0, 4, src.c.DC(), 0, 0, 0);
  BitBlt(d.DC(), 0, 0, 4, -1, src.c.DC(), 0, 0, 0);
  BitBlt(d.DC(), 0, 0, 4, 4, src.c.DC(), 40, 40, 0);
  BitBlt(nullptr, 0, 0, 4, 4, src.c.DC(), 0, 0, 0);
  EXPECT_EQ(d.Inked(), 0);
}

TEST(GdiBlit, StretchDoublesASubRectangle)
{
  Source src(16, 16);
  GdiCanvas d(24, 24);
  StretchBlt(d.DC(), 2, 1, 20, 20, src.c.DC(), 3, 3, 10, 10, 0);
  ExpectShows(d, 2, 1, 10, 10, 3, 3, 2);

  Source small(6, 6);  // the whole image
  GdiCanvas e(12, 12);
  StretchBlt(e.DC(), 0, 0, 12, 12, small.c.DC(), 0, 0, 6, 6, 0);
  ExpectShows(e, 0, 0, 6, 6, 0, 0, 2);

  GdiCanvas f(8, 8);
  StretchBlt(f.DC(), 0, 0, 8, 8, src.c.DC(), 0, 0, 0, 4, 0);
  StretchBlt(f.DC(), 0, 0, 8, 8, src.c.DC(), 0, 0, 4, -4, 0);
  EXPECT_EQ(f.Inked(), 0);
}

namespace
{
struct Px
{
  int a, r, g, b;
};

// The formulas of the conversion: the premultiplied pixel drawn.
Px Converted(Px s, bool useAlpha, float opacity)
{
  const int o = useAlpha ? std::clamp((int)std::lround(opacity * 256), 0, 256)
                         : std::clamp((int)std::lround(opacity * 255), 0, 255);
  Px p;
  if (useAlpha)
  {
    p.a = o == 256 ? s.a : (s.a * o) >> 8;
    p.r = (s.r * p.a) >> 8, p.g = (s.g * p.a) >> 8, p.b = (s.b * p.a) >> 8;
  }
  else if (o < 255)
    p = {o, (s.r * o) >> 8, (s.g * o) >> 8, (s.b * o) >> 8};
  else
    p = {255, s.r, s.g, s.b};
  return p;
}

// Source-over onto an opaque white destination.
uint32_t OverWhite(Px s, bool useAlpha, float opacity)
{
  const Px p = Converted(s, useAlpha, opacity);
  return (uint32_t)(p.r + 255 - p.a) << 16 | (uint32_t)(p.g + 255 - p.a) << 8 | (uint32_t)(p.b + 255 - p.a);
}

// Onto opaque black the premultiplied channels show as they are: exact, no rounding between.
uint32_t OverBlack(Px s, bool useAlpha, float opacity)
{
  const Px p = Converted(s, useAlpha, opacity);
  return (uint32_t)p.r << 16 | (uint32_t)p.g << 8 | (uint32_t)p.b;
}

void ExpectNear(uint32_t got, uint32_t want, const std::string& what)
{
  EXPECT_NEAR(RedOf(got), RedOf(want), 2) << what;
  EXPECT_NEAR(GreenOf(got), GreenOf(want), 2) << what;
  EXPECT_NEAR(BlueOf(got), BlueOf(want), 2) << what;
}
}  // namespace

TEST(GdiBlit, FromMemoryWithOpacityAndSourceAlpha)
{
  // Four pixels, bytes alpha, red, green, blue: opaque, half, quarter and clear.
  const std::vector<Px> row = {{255, 200, 100, 50}, {128, 80, 160, 240}, {64, 255, 0, 128}, {0, 90, 90, 90}};
  std::vector<uint8_t> pixels;
  for (const Px& p : row) pixels.insert(pixels.end(), {(uint8_t)p.a, (uint8_t)p.r, (uint8_t)p.g, (uint8_t)p.b});

  for (bool useAlpha : {true, false})
    for (float opacity : {1.0f, 0.75f, 0.5f, 0.25f})
    {
      GdiCanvas d(6, 3);
      BitBltAlphaFromMem(d.DC(), 1, 1, 4, 1, pixels.data(), 4, 1, 0, 0, 0, useAlpha, opacity);
      const std::string what = std::string(useAlpha ? "alpha " : "opaque ") + std::to_string(opacity);
      for (int i = 0; i < 4; ++i) ExpectNear(d.At(1 + i, 1), OverWhite(row[i], useAlpha, opacity), what + " #" + std::to_string(i));
      EXPECT_EQ(d.Inked(0, 0, 6, 1), 0) << what;
      EXPECT_EQ(d.Inked(0, 2, 6, 3), 0) << what;

      // Over black exactly: products shifted right by 8 (200 x 255 >> 8 is 199, not 200).
      GdiCanvas k(6, 3, 0);
      BitBltAlphaFromMem(k.DC(), 1, 1, 4, 1, pixels.data(), 4, 1, 0, 0, 0, useAlpha, opacity);
      for (int i = 0; i < 4; ++i) EXPECT_EQ(k.At(1 + i, 1), OverBlack(row[i], useAlpha, opacity)) << what << " #" << i;
    }

  // Below the smallest opacity, or with nothing to copy: nothing.
  GdiCanvas d(6, 3);
  for (float opacity : {0.0f, 0.00005f, -1.0f, NAN}) BitBltAlphaFromMem(d.DC(), 0, 0, 4, 1, pixels.data(), 4, 1, 0, 0, 0, false, opacity);
  BitBltAlphaFromMem(d.DC(), 0, 0, 4, 1, pixels.data(), 0, 1, 0, 0, 0, false, 1.0f);
  BitBltAlphaFromMem(d.DC(), 0, 0, 4, 1, pixels.data(), 4, 0, 0, 0, 0, false, 1.0f);
  BitBltAlphaFromMem(d.DC(), 0, 0, 4, 1, pixels.data(), 4, 1, 4, 0, 0, false, 1.0f);
  BitBltAlphaFromMem(d.DC(), 0, 0, 4, 1, nullptr, 4, 1, 0, 0, 0, false, 1.0f);
  EXPECT_EQ(d.Inked(), 0);
}

TEST(GdiBlit, FromMemoryWithNegativeOffsetsAndSpans)
{
  // A 4 x 3 source, opaque, pixel (x, y) = Pattern(x, y).
  std::vector<uint8_t> px;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
    {
      const uint32_t c = Pattern(x, y);
      px.insert(px.end(), {0xff, (uint8_t)(c >> 16), (uint8_t)(c >> 8), (uint8_t)c});
    }
  {
    // Negative offsets move the copy over by as much and shorten it.
    GdiCanvas d(8, 8);
    BitBltAlphaFromMem(d.DC(), 1, 1, 4, 3, px.data(), 4, 3, -2, -1, 0, false, 1.0f);
    ExpectShows(d, 3, 2, 2, 2, 0, 0);
  }
  {
    // Positive offsets start inside the source; the copy ends at its edge.
    GdiCanvas d(8, 8);
    BitBltAlphaFromMem(d.DC(), 0, 0, 4, 3, px.data(), 4, 3, 1, 2, 0, false, 1.0f);
    ExpectShows(d, 0, 0, 3, 1, 1, 2);
  }
  {
    // A negative span counts rows from the last one.
    GdiCanvas d(8, 8);
    BitBltAlphaFromMem(d.DC(), 0, 0, 4, 3, px.data(), -4, 3, 0, 0, 0, false, 1.0f);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(d.At(x, y), Pattern(x, 2 - y)) << x << "," << y;
  }
  {
    // From a memory context: its buffer, width and height; the opaque path is BitBlt's.
    Source src(5, 5);
    GdiCanvas a(8, 8), b(8, 8);
    BitBltAlpha(a.DC(), 1, 1, 5, 5, src.c.DC(), 0, 0, 0, false, 1.0f);
    ExpectShows(a, 1, 1, 5, 5, 0, 0);
    // With source alpha the channels go through c x alpha / 256, a shade darker.
    BitBltAlpha(b.DC(), 1, 1, 5, 5, src.c.DC(), 0, 0, 0, true, 1.0f);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x)
      {
        const uint32_t c = Pattern(x, y);
        ExpectNear(b.At(1 + x, 1 + y), OverWhite({255, RedOf(c), GreenOf(c), BlueOf(c)}, true, 1.0f), "alpha copy");
      }
  }
}
