#pragma once
// An array of pointers over KIT_HeapBuf. It owns nothing itself: the caller says, when removing
// entries, whether the objects go too.

#include "heapbuf.h"

template <class T>
class KIT_PtrList
{
public:
  explicit KIT_PtrList(int granul = 4096) : m_hb(granul) {}

  T* Get(int i) const
  {
    T** list = GetList();
    return (list && i >= 0 && i < GetSize()) ? list[i] : nullptr;
  }
  T** GetList() const { return (T**)m_hb.Get(); }
  int GetSize() const { return m_hb.GetSize() / (int)sizeof(T*); }

  // Appends p; returns p, or null when the list could not grow.
  T* Add(T* p)
  {
    const int n = GetSize();
    m_hb.Resize((n + 1) * (int)sizeof(T*));
    if (GetSize() != n + 1) return nullptr;
    GetList()[n] = p;
    return p;
  }

  int Find(const T* p) const
  {
    for (int i = 0; i < GetSize(); ++i)
      if (GetList()[i] == p) return i;
    return -1;
  }

  void Delete(int i, bool wantDelete = false)
  {
    const int n = GetSize();
    if (i < 0 || i >= n) return;
    T** list = GetList();
    if (wantDelete) delete list[i];
    memmove(list + i, list + i + 1, (size_t)(n - i - 1) * sizeof(T*));
    m_hb.Resize((n - 1) * (int)sizeof(T*));
  }

  void Empty(bool wantDelete = false)
  {
    if (wantDelete)
    {
      for (int n = GetSize(); n > 0; n = GetSize())
      {
        T* p = GetList()[n - 1];
        m_hb.Resize((n - 1) * (int)sizeof(T*));
        delete p;
      }
    }
    m_hb.Resize(0);
  }

private:
  KIT_HeapBuf m_hb;
};
