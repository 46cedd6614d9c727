#pragma once
// The pixel and the bitmap classes every raster and vector operation works on.
//
// A pixel is 32 bits whose bytes in memory are alpha, red, green, blue: read as a little-endian
// integer, A | R << 8 | G << 16 | B << 24. Rows are row-major, `getRowSpan()` pixels apart; a
// flipped bitmap keeps row 0 at the bottom of its memory.

#include <cstdint>

typedef uint32_t PIX_PixelValue;

class PIX_IBitmap
{
public:
  virtual ~PIX_IBitmap() {}

  virtual PIX_PixelValue* getBits() = 0;
  virtual int getWidth() = 0;
  virtual int getHeight() = 0;
  virtual int getRowSpan() = 0;
  virtual bool isFlipped() { return false; }
  // True when the bitmap changed. Callers fetch getBits() and getRowSpan() afresh afterwards.
  virtual bool resize(int w, int h) = 0;
  virtual void* getDC() { return nullptr; }
  virtual int Extended(int, void*) { return 0; }
};

// Pixels in a heap block, row span = width. The block grows by a quarter more than needed and
// never shrinks; pixels beyond what the bitmap held before are zero.
class PIX_MemBitmap : public PIX_IBitmap
{
public:
  PIX_MemBitmap(int w = 0, int h = 0);
  ~PIX_MemBitmap() override;

  PIX_MemBitmap(const PIX_MemBitmap&) = delete;
  PIX_MemBitmap& operator=(const PIX_MemBitmap&) = delete;

  PIX_PixelValue* getBits() override { return m_bits; }
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return m_width; }
  bool resize(int w, int h) override;

  int getAllocated() const { return m_allocsize; }

private:
  PIX_PixelValue* m_bits;
  int m_width;
  int m_height;
  int m_allocsize;
};

// Pixels in the frame buffer of a memory drawing context, so the platform can draw text into
// them and copy them to the screen. The context never shrinks: the row span can exceed the width.
class PIX_SysBitmap : public PIX_IBitmap
{
public:
  PIX_SysBitmap(int w = 0, int h = 0);
  ~PIX_SysBitmap() override;

  PIX_SysBitmap(const PIX_SysBitmap&) = delete;
  PIX_SysBitmap& operator=(const PIX_SysBitmap&) = delete;

  PIX_PixelValue* getBits() override { return m_bits; }
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return m_allocw; }
  bool resize(int w, int h) override;
  void* getDC() override { return m_dc; }

private:
  int m_width;
  int m_height;
  void* m_dc;
  PIX_PixelValue* m_bits;
  int m_allocw;
  int m_alloch;
};
