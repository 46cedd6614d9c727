#pragma once
// Immutable Unicode strings. Lengths and ranges count UTF-16 units.

#include <CoreFoundation/CFBase.h>

typedef UInt32 CFStringEncoding;

enum
{
  kCFStringEncodingMacRoman = 0,
  kCFStringEncodingUTF16 = 0x0100,
  kCFStringEncodingISOLatin1 = 0x0201,
  kCFStringEncodingASCII = 0x0600,
  kCFStringEncodingUTF8 = 0x08000100
};

enum
{
  kCFCompareCaseInsensitive = 1
};

CFTypeID CFStringGetTypeID(void);

// Null when the bytes are not valid in the encoding (or the encoding is not one of the above;
// MacRoman is read as Latin-1 for its ASCII half and refused above it).
CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr, CFStringEncoding encoding);
CFStringRef CFStringCreateWithBytes(CFAllocatorRef alloc, const UInt8* bytes, CFIndex numBytes,
                                    CFStringEncoding encoding, Boolean isExternalRepresentation);
CFStringRef CFStringCreateWithCharacters(CFAllocatorRef alloc, const UniChar* chars, CFIndex numChars);
CFStringRef CFStringCreateCopy(CFAllocatorRef alloc, CFStringRef str);

CFIndex CFStringGetLength(CFStringRef str);
UniChar CFStringGetCharacterAtIndex(CFStringRef str, CFIndex idx);
// Copies the units of range, clipped to the string.
void CFStringGetCharacters(CFStringRef str, CFRange range, UniChar* buffer);

// False when the text cannot be represented in the encoding or does not fit bufferSize bytes
// with its terminator; then the buffer holds an empty string (when bufferSize > 0).
Boolean CFStringGetCString(CFStringRef str, char* buffer, CFIndex bufferSize, CFStringEncoding encoding);
// The string's own bytes in UTF-8 (or ASCII when it is pure ASCII), valid while it lives; else null.
const char* CFStringGetCStringPtr(CFStringRef str, CFStringEncoding encoding);
CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding);

CFComparisonResult CFStringCompare(CFStringRef a, CFStringRef b, CFOptionFlags options);

// A constant string: interned per literal, never freed, retain and release leave it alone.
CFStringRef __CFStringMakeConstantString(const char* cStr);
#define CFSTR(cStr) __CFStringMakeConstantString("" cStr "")
