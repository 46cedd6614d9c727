#pragma once
// Fixtures for the blit and shape tests: a bitmap fenced by guard pixels (so a write anywhere
// outside its visible area is seen), ASCII maps of small areas, and a recording combiner that logs
// every (x, y, weight) a rasteriser hands it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pix.h"

namespace pixtest
{
const PIX_PixelValue kGuard = 0xdeadbeefu;

// Row span = width + pad; pad whole guard rows above and below; optionally flipped.
class GuardedBitmap : public PIX_IBitmap
{
public:
  GuardedBitmap(int w, int h, PIX_PixelValue fill = 0, bool flipped = false, int pad = 4)
      : m_w(w), m_h(h), m_pad(pad), m_span(w + pad), m_flipped(flipped),
        m_mem((size_t)(m_span * (h + 2 * pad)), kGuard)
  {
    Fill(fill);
  }

  PIX_PixelValue* getBits() override { return m_mem.data() + (size_t)m_pad * m_span; }
  int getWidth() override { return m_w; }
  int getHeight() override { return m_h; }
  int getRowSpan() override { return m_span; }
  bool isFlipped() override { return m_flipped; }
  bool resize(int, int) override { return false; }

  // Visual coordinates: row 0 is the top row whether or not the bitmap is flipped.
  PIX_PixelValue& at(int x, int y) { return getBits()[(size_t)(m_flipped ? m_h - 1 - y : y) * m_span + x]; }
  PIX_PixelValue get(int x, int y) { return at(x, y); }

  void Fill(PIX_PixelValue v)
  {
    for (int y = 0; y < m_h; ++y)
      for (int x = 0; x < m_w; ++x) at(x, y) = v;
  }

  // True when nothing outside the visible area was written.
  bool GuardsIntact() const
  {
    for (size_t i = 0; i < m_mem.size(); ++i)
    {
      const long long row = (long long)(i / m_span) - m_pad, col = (long long)(i % m_span);
      const bool visible = row >= 0 && row < m_h && col < m_w;
      if (!visible && m_mem[i] != kGuard) return false;
    }
    return true;
  }

  int width() const { return m_w; }
  int height() const { return m_h; }

private:
  int m_w, m_h, m_pad, m_span;
  bool m_flipped;
  std::vector<PIX_PixelValue> m_mem;
};

// A pixel from its bytes as they lie in memory: alpha, red, green, blue.
inline PIX_PixelValue Px(int a, int r, int g, int b)
{
  return (PIX_PixelValue)a | (PIX_PixelValue)r << 8 | (PIX_PixelValue)g << 16 | (PIX_PixelValue)b << 24;
}
inline int A(PIX_PixelValue p) { return (int)(p & 0xff); }
inline int R(PIX_PixelValue p) { return (int)((p >> 8) & 0xff); }
inline int G(PIX_PixelValue p) { return (int)((p >> 16) & 0xff); }
inline int B(PIX_PixelValue p) { return (int)(p >> 24); }

// The area (x, y, w, h) as rows of characters, one per pixel, joined by newlines: the legend's
// character for a known value, '?' for any other.
inline std::string Ascii(GuardedBitmap& bm, const std::map<PIX_PixelValue, char>& legend, int x, int y, int w, int h)
{
  std::string s;
  for (int j = y; j < y + h; ++j)
  {
    for (int i = x; i < x + w; ++i)
    {
      auto it = legend.find(bm.get(i, j));
      s += it == legend.end() ? '?' : it->second;
    }
    s += '\n';
  }
  return s;
}
inline std::string Ascii(GuardedBitmap& bm, const std::map<PIX_PixelValue, char>& legend)
{
  return Ascii(bm, legend, 0, 0, bm.width(), bm.height());
}

// '#' where a pixel differs from the background, '.' where it does not.
inline std::string Marks(GuardedBitmap& bm, PIX_PixelValue background = 0)
{
  std::string s;
  for (int j = 0; j < bm.height(); ++j)
  {
    for (int i = 0; i < bm.width(); ++i) s += bm.get(i, j) != background ? '#' : '.';
    s += '\n';
  }
  return s;
}

// An expected map written one row a line; blank lines and indentation are dropped.
inline std::string Map(const char* text)
{
  std::string out, line;
  for (const char* p = text;; ++p)
  {
    if (*p == '\n' || *p == 0)
    {
      const size_t b = line.find_first_not_of(' ');
      if (b != std::string::npos) out += line.substr(b) + '\n';
      line.clear();
      if (!*p) break;
    }
    else
      line += *p;
  }
  return out;
}

struct Hit
{
  int x, y, weight;
  bool operator==(const Hit& o) const { return x == o.x && y == o.y && weight == o.weight; }
  bool operator<(const Hit& o) const
  {
    return y != o.y ? y < o.y : (x != o.x ? x < o.x : weight < o.weight);
  }
};
inline std::ostream& operator<<(std::ostream& os, const Hit& h)
{
  return os << "(" << h.x << "," << h.y << " w" << h.weight << ")";
}

inline std::vector<Hit> Sorted(std::vector<Hit> v)
{
  std::sort(v.begin(), v.end());
  return v;
}

// A combiner that changes nothing and logs where and how strongly it was asked to draw, in the
// coordinates of the memory rows of the bitmap given to Begin.
struct Recorder
{
  static inline std::vector<Hit> hits;
  static inline const unsigned char* base = nullptr;
  static inline ptrdiff_t span = 1;

  static void Begin(PIX_IBitmap& bm)
  {
    hits.clear();
    base = (const unsigned char*)bm.getBits();
    span = (ptrdiff_t)bm.getRowSpan() * 4;
  }
  static void doPix(unsigned char* d, int, int, int, int, int w)
  {
    const ptrdiff_t off = d - base;
    ptrdiff_t y = off / span, rem = off % span;
    if (rem < 0)
    {
      rem += span;
      --y;
    }
    hits.push_back({(int)(rem / 4), (int)y, w});
  }
};
}  // namespace pixtest
