#pragma once
// The basic integer, float and status types the Mac interfaces are declared with. Widths are the
// platform's: a SInt32 is 32 bits on every target, status codes are signed 32-bit numbers.

#include <stddef.h>
#include <stdint.h>

typedef uint8_t UInt8;
typedef int8_t SInt8;
typedef uint16_t UInt16;
typedef int16_t SInt16;
typedef uint32_t UInt32;
typedef int32_t SInt32;
typedef uint64_t UInt64;
typedef int64_t SInt64;
typedef float Float32;
typedef double Float64;

typedef unsigned char Boolean;
typedef UInt16 UniChar;
typedef SInt16 OSErr;
typedef SInt32 OSStatus;
typedef UInt32 FourCharCode;
typedef FourCharCode OSType;
typedef SInt32 Fixed;  // 16.16 fixed point
typedef unsigned long ItemCount;
typedef unsigned long ByteCount;
typedef char* Ptr;
typedef Ptr* Handle;

// QuickDraw's colour: 16 bits a channel, 0xFFFF full.
struct RGBColor
{
  unsigned short red, green, blue;
};

enum
{
  noErr = 0,
  paramErr = -50,
  memFullErr = -108,
  nilHandleErr = -109
};
