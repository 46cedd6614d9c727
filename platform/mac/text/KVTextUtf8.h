#pragma once
// UTF-8 decoding that never fails: a byte that starts no well-formed sequence (stray continuation,
// overlong form, surrogate, beyond U+10FFFF, cut short) stands for itself as Latin-1.

#include <cstddef>
#include <cstdint>

namespace KVText
{
// The code point at s[*i] (with *i < len); advances *i past it.
inline uint32_t NextCodePoint(const unsigned char* s, size_t len, size_t* i)
{
  const size_t at = *i;
  const uint32_t b0 = s[at];
  *i = at + 1;
  if (b0 < 0x80) return b0;
  size_t n;
  uint32_t cp;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF)
  {
    n = 1;
    cp = b0 & 0x1F;
  }
  else if (b0 >= 0xE0 && b0 <= 0xEF)
  {
    n = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;  // no overlong forms
    if (b0 == 0xED) hi = 0x9F;  // no surrogates
  }
  else if (b0 >= 0xF0 && b0 <= 0xF4)
  {
    n = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;  // nothing past U+10FFFF
  }
  else
  {
    return b0;
  }
  if (len - at <= n) return b0;
  for (size_t k = 1; k <= n; ++k)
  {
    const unsigned char c = s[at + k];
    if (c < (k == 1 ? lo : 0x80) || c > (k == 1 ? hi : 0xBF)) return b0;
    cp = (cp << 6) | (c & 0x3F);
  }
  *i = at + 1 + n;
  return cp;
}
}  // namespace KVText
