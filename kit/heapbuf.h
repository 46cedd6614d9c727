#pragma once
// The one raw growable buffer behind every array, list, string and byte chunk, and its typed view.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <climits>

// Where heap buffers get their memory. Tests replace it to reach the allocation-failure paths.
struct KIT_HeapBufAllocator
{
  void* (*mRealloc)(void* p, size_t n);
  void* (*mMalloc)(size_t n);
  void (*mFree)(void* p);
};

inline KIT_HeapBufAllocator s_heapBufAllocator = { realloc, malloc, free };

class KIT_HeapBuf
{
public:
  explicit KIT_HeapBuf(int granul = 4096, int mas = 0)
    : m_buf(nullptr), m_granul(granul), m_alloc(0), m_size(0), m_mas(mas) {}
  ~KIT_HeapBuf() { s_heapBufAllocator.mFree(m_buf); }

  KIT_HeapBuf(const KIT_HeapBuf&) = delete;
  KIT_HeapBuf& operator=(const KIT_HeapBuf&) = delete;

  void* Get() const { return m_size ? m_buf : nullptr; }
  int GetSize() const { return m_size; }
  int GetAllocated() const { return m_alloc; }
  int GetGranul() const { return m_granul; }

  // Grows geometrically and keeps the block on moderate shrinks. On failure (no memory, a negative
  // or unrepresentable size) the buffer keeps its block, allocation and size; callers compare
  // GetSize() with what they asked for.
  void* Resize(int n)
  {
    if (n == m_size) return Get();
    if (n < 0) return Get();
    const bool grow = n > m_alloc;
    const bool shrinkFar = n < m_size && n < m_alloc / 2 && (int64_t)n < (int64_t)m_alloc - 4 * (int64_t)m_granul;
    if (grow || shrinkFar)
    {
      const int64_t newAlloc = AllocationFor(n);
      if (newAlloc > INT_MAX) return Get();
      if (newAlloc != m_alloc)
      {
        void* nb = s_heapBufAllocator.mRealloc(m_buf, (size_t)newAlloc);
        if (!nb && newAlloc > 0)
        {
          nb = s_heapBufAllocator.mMalloc((size_t)newAlloc);
          if (!nb) return Get();
          if (m_buf) memcpy(nb, m_buf, (size_t)(m_size < n ? m_size : n));
          s_heapBufAllocator.mFree(m_buf);
        }
        m_buf = nb;
        m_alloc = (int)newAlloc;
      }
    }
    m_size = n;
    return Get();
  }

  // The allocation the growth rule picks for n bytes.
  int64_t AllocationFor(int n) const
  {
    int64_t g = n / 2;
    if (g < m_granul) g = m_granul;
    int64_t a;
    if (m_granul < 4096)
    {
      a = (int64_t)n + g;
    }
    else
    {
      g &= ~(int64_t)4095;
      if (g < 4096) g = 4096;
      if (g > 4194304) g = 4194304;
      a = (((int64_t)n + g + 96) & ~(int64_t)4095) - 96;
    }
    if (a < m_mas) a = m_mas;
    return a;
  }

private:
  void* m_buf;
  int m_granul;
  int m_alloc;
  int m_size;
  int m_mas;
};

template <class T>
class KIT_TypedBuf
{
public:
  explicit KIT_TypedBuf(int granul = 4096) : m_hb(granul) {}

  T* Get() const { return (T*)m_hb.Get(); }
  int GetSize() const { return m_hb.GetSize() / (int)sizeof(T); }

  // Resizes to n elements; on failure the old contents and count stay.
  T* Resize(int n)
  {
    const int64_t bytes = (int64_t)n * (int64_t)sizeof(T);
    if (n < 0 || bytes > INT_MAX) return Get();
    return (T*)m_hb.Resize((int)bytes);
  }

  const KIT_HeapBuf& HeapBuf() const { return m_hb; }

private:
  KIT_HeapBuf m_hb;
};
