#pragma once
// The bytes of one fuzz input, read front to back. Past the end every read gives zeros, so any
// input decodes to a whole sequence of operations and a short input is a short sequence.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class FuzzInput
{
public:
  FuzzInput(const uint8_t* data, size_t size) : mP(data), mEnd(data + size) {}

  bool Empty() const { return mP >= mEnd; }
  size_t Left() const { return Empty() ? 0 : (size_t)(mEnd - mP); }

  uint8_t Byte() { return Empty() ? 0 : *mP++; }
  uint16_t U16() { return (uint16_t)(Byte() | (Byte() << 8)); }
  uint32_t U32() { return (uint32_t)U16() | ((uint32_t)U16() << 16); }
  uint64_t U64() { return (uint64_t)U32() | ((uint64_t)U32() << 32); }
  float Float()
  {
    const uint32_t bits = U32();
    float f;
    memcpy(&f, &bits, sizeof(f));
    return f;
  }
  double Double()
  {
    const uint64_t bits = U64();
    double d;
    memcpy(&d, &bits, sizeof(d));
    return d;
  }

  // n bytes into dst, zeros past the end.
  void Read(void* dst, size_t n)
  {
    const size_t have = n < Left() ? n : Left();
    if (have) memcpy(dst, mP, have);
    if (n > have) memset((uint8_t*)dst + have, 0, n - have);
    mP += have;
  }

  // Up to maxLen bytes, the length taken from the input first.
  std::string Text(size_t maxLen)
  {
    size_t n = Byte() % (maxLen + 1);
    if (n > Left()) n = Left();
    std::string s((const char*)mP, n);
    mP += n;
    return s;
  }

  template <class T, size_t N>
  const T& Pick(const T (&table)[N])
  {
    return table[Byte() % N];
  }

private:
  const uint8_t* mP;
  const uint8_t* mEnd;
};
