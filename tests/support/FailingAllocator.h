#pragma once
// Swaps the heap buffers' allocator for one that refuses requests above a size, for the scope.

#include <cstdlib>

#include "heapbuf.h"

class FailingAllocator
{
public:
  explicit FailingAllocator(size_t limit) : mSaved(s_heapBufAllocator)
  {
    sLimit = limit;
    s_heapBufAllocator = { Realloc, Malloc, free };
  }
  ~FailingAllocator() { s_heapBufAllocator = mSaved; }

  static inline size_t sLimit = 0;
  static inline int sRefused = 0;

private:
  static void* Realloc(void* p, size_t n)
  {
    if (n > sLimit) { ++sRefused; return nullptr; }
    return realloc(p, n);
  }
  static void* Malloc(size_t n)
  {
    if (n > sLimit) { ++sRefused; return nullptr; }
    return malloc(n);
  }

  KIT_HeapBufAllocator mSaved;
};
