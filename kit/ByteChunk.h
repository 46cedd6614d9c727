#pragma once
// The byte buffer all state is serialised through. Values are stored little-endian (the
// processor's order here), a bool as one byte, a string as an int32 length and its bytes.
// Every get takes a start position and returns the position after what it read, or -1.

#include "heapbuf.h"
#include "kitstring.h"

class ByteChunk
{
public:
  ByteChunk() : m_bytes(4096) {}

  ByteChunk(const ByteChunk&) = delete;
  ByteChunk& operator=(const ByteChunk&) = delete;

  // Appends the bytes of *val; returns the size after the append (unchanged when it failed).
  template <class T>
  int Put(const T* val)
  {
    return PutBytes(val, (int)sizeof(T));
  }

  template <class T>
  int Get(T* val, int startPos) const
  {
    if (startPos < 0 || (int64_t)startPos + (int64_t)sizeof(T) > Size()) return -1;
    memcpy(val, m_bytes.Get() + startPos, sizeof(T));
    return startPos + (int)sizeof(T);
  }

  int PutBool(bool b)
  {
    const unsigned char byte = b ? 1 : 0;
    return PutBytes(&byte, 1);
  }

  int GetBool(bool* b, int startPos) const
  {
    unsigned char byte = 0;
    const int pos = Get(&byte, startPos);
    if (pos >= 0) *b = byte != 0;
    return pos;
  }

  int PutStr(const char* str)
  {
    if (!str) str = "";
    const int64_t len = (int64_t)strlen(str);
    if (len > INT_MAX - 4) return Size();
    const int32_t n = (int32_t)len;
    const int before = Size();
    if (Put(&n) == before) return before;
    const int after = PutBytes(str, n);
    if (after != before + 4 + n) Resize(before);
    return Size();
  }

  // Reads a length L and L bytes into *str (stopping early at a zero byte). A length of 0 leaves
  // *str alone and returns pos + 4; a positive length that reaches past the chunk returns its end
  // so that the next get fails. A negative length, or one whose end overflows, returns -1.
  int GetStr(KIT_String* str, int startPos) const
  {
    int32_t len = 0;
    const int pos = Get(&len, startPos);
    if (pos < 0) return -1;
    if (len < 0) return -1;
    const int64_t end = (int64_t)pos + len;
    if (end > INT_MAX) return -1;
    if (len > 0 && end <= Size()) str->Set((const char*)m_bytes.Get() + pos, len);
    return (int)end;
  }

  int PutChunk(const ByteChunk* other)
  {
    if (other == this)
    {
      // Appending to itself: the source may move when the buffer grows.
      const int n = Size();
      const int before = Size();
      if (Resize(n * 2) != before || Size() != n * 2) return before;
      memcpy(m_bytes.Get() + n, m_bytes.Get(), (size_t)n);
      return Size();
    }
    return PutBytes(other->GetBytes(), other->Size());
  }

  void Clear() { m_bytes.Resize(0); }

  // Resizes to n bytes, zeroing what growth adds; returns the previous size.
  int Resize(int n)
  {
    const int old = Size();
    m_bytes.Resize(n);
    if (Size() > old) memset(m_bytes.Get() + old, 0, (size_t)(Size() - old));
    return old;
  }

  int Size() const { return m_bytes.GetSize(); }
  unsigned char* GetBytes() const { return m_bytes.Get(); }

  bool IsEqual(const ByteChunk& other) const
  {
    return Size() == other.Size() && (!Size() || !memcmp(GetBytes(), other.GetBytes(), (size_t)Size()));
  }

private:
  int PutBytes(const void* src, int n)
  {
    const int old = Size();
    if (n <= 0) return old;
    if ((int64_t)old + n > INT_MAX) return old;
    m_bytes.Resize(old + n);
    if (Size() != old + n) return old;
    memcpy(m_bytes.Get() + old, src, (size_t)n);
    return Size();
  }

  KIT_TypedBuf<unsigned char> m_bytes;
};
