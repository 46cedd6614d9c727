// Memory bitmaps and system bitmaps.

#include "pix_bitmap.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "gdi-draw.h"

namespace
{
// Bytes for w x h pixels, or -1 when that does not fit the int the allocation is kept in.
int64_t BytesFor(int w, int h)
{
  if (w <= 0 || h <= 0) return 0;
  const int64_t n = (int64_t)w * (int64_t)h * 4;
  return n > INT_MAX ? -1 : n;
}
}  // namespace

PIX_MemBitmap::PIX_MemBitmap(int w, int h) : m_bits(nullptr), m_width(w), m_height(h), m_allocsize(0)
{
  const int64_t need = BytesFor(w, h);
  if (need > 0)
  {
    m_allocsize = (int)need;
    m_bits = (PIX_PixelValue*)calloc(1, (size_t)need);
  }
  if (!m_bits)
  {
    m_width = m_height = 0;
    m_allocsize = 0;
  }
}

PIX_MemBitmap::~PIX_MemBitmap() { free(m_bits); }

bool PIX_MemBitmap::resize(int w, int h)
{
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  if (w == m_width && h == m_height) return false;

  int64_t held = m_bits ? BytesFor(m_width, m_height) : 0;  // bytes the old size showed
  m_width = w;
  m_height = h;
  const int64_t need = BytesFor(w, h);
  if (need <= 0)
  {
    free(m_bits);
    m_bits = nullptr;
    m_allocsize = 0;
  }
  else if (!m_bits)
  {
    m_allocsize = (int)need;
    m_bits = (PIX_PixelValue*)malloc((size_t)need);
    held = 0;
  }
  else if (m_allocsize < need)
  {
    const int64_t grown = need + (need >> 2);
    const int64_t alloc = grown > INT_MAX ? need : grown;
    void* nb = realloc(m_bits, (size_t)alloc);
    if (nb)
    {
      m_bits = (PIX_PixelValue*)nb;
      m_allocsize = (int)alloc;
    }
    else
    {
      free(m_bits);
      m_allocsize = (int)need;
      m_bits = (PIX_PixelValue*)malloc((size_t)need);
      held = 0;
    }
  }
  if (m_bits && need > held) memset((char*)m_bits + held, 0, (size_t)(need - held));
  if (!m_bits)
  {
    m_width = m_height = 0;
    m_allocsize = 0;
  }
  return true;
}

PIX_SysBitmap::PIX_SysBitmap(int w, int h)
  : m_width(0), m_height(0), m_dc(nullptr), m_bits(nullptr), m_allocw(0), m_alloch(0)
{
  resize(w, h);
}

PIX_SysBitmap::~PIX_SysBitmap()
{
  if (m_dc) GDI_DeleteGfxContext(m_dc);
}

bool PIX_SysBitmap::resize(int w, int h)
{
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  if (w == m_width && h == m_height) return false;
  m_width = w;
  m_height = h;
  if (w && h && m_bits && m_allocw >= w && m_alloch >= h) return true;

  m_allocw = w;
  m_alloch = h;
  if (m_dc) GDI_DeleteGfxContext(m_dc);
  m_dc = nullptr;
  m_bits = nullptr;
  if (!w || !h) return false;

  m_dc = GDI_CreateMemContext(nullptr, w, h);
  if (m_dc)
  {
    m_bits = (PIX_PixelValue*)GDI_GetCtxFrameBuffer(m_dc);
  }
  else
  {
    m_width = m_height = 0;
  }
  return true;
}
