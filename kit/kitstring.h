#pragma once
// A NUL-terminated text held in a KIT_HeapBuf of granularity 128.

#include "heapbuf.h"

// Copies src into dst of dstSize bytes, cut to fit and always terminated; returns dst.
inline char* KIT_strlcpy(char* dst, const char* src, size_t dstSize)
{
  if (!dst || !dstSize) return dst;
  size_t n = 0;
  if (src)
    while (n + 1 < dstSize && src[n]) ++n;
  if (n) memmove(dst, src, n);
  dst[n] = 0;
  return dst;
}

class KIT_String
{
public:
  KIT_String() : m_hb(128) {}
  explicit KIT_String(const char* text, int maxlen = 0) : m_hb(128) { Set(text, maxlen); }

  // Never null: an empty buffer reads as "" (a constant, so that readers on several threads never
  // write shared memory).
  const char* Get() const
  {
    if (m_hb.GetSize()) return (const char*)m_hb.Get();
    return "";
  }
  char* GetWritable() { return m_hb.GetSize() ? (char*)m_hb.Get() : nullptr; }
  int GetLength() const { return m_hb.GetSize() ? (int)strlen(Get()) : 0; }

  // Copies at most maxlen characters (all when maxlen <= 0), stopping at the terminator.
  void Set(const char* text, int maxlen = 0)
  {
    if (!text) text = "";
    int n = 0;
    while (text[n] && (maxlen <= 0 || n < maxlen)) ++n;
    char* buf = (char*)m_hb.Resize(n + 1);
    if (m_hb.GetSize() != n + 1) return;
    memmove(buf, text, (size_t)n);
    buf[n] = 0;
  }

  void Append(const char* text, int maxlen = 0)
  {
    if (!text) return;
    int n = 0;
    while (text[n] && (maxlen <= 0 || n < maxlen)) ++n;
    if (!n) return;
    const int old = GetLength();
    if ((int64_t)old + n + 1 > INT_MAX) return;
    char* buf = (char*)m_hb.Resize(old + n + 1);
    if (m_hb.GetSize() != old + n + 1) return;
    memcpy(buf + old, text, (size_t)n);
    buf[old + n] = 0;
  }

  // Cuts the text to n characters; a text already that short is left alone.
  void SetLen(int n)
  {
    if (n < 0 || n >= GetLength()) return;
    char* buf = (char*)m_hb.Resize(n + 1);
    if (buf) buf[n] = 0;
  }

  // Removes the character at pos; a text of pos characters or fewer is left alone.
  void DeleteSub(int pos)
  {
    const int len = GetLength();
    if (pos < 0 || len <= pos) return;
    char* buf = GetWritable();
    memmove(buf + pos, buf + pos + 1, (size_t)(len - pos));
    m_hb.Resize(len);
  }

  const KIT_HeapBuf& HeapBuf() const { return m_hb; }

private:
  KIT_HeapBuf m_hb;
};
