#pragma once
// Immutable byte blocks.

#include <CoreFoundation/CFBase.h>

typedef const struct __CFData* CFDataRef;

CFTypeID CFDataGetTypeID(void);
// Copies length bytes; null for a negative length or null bytes with a positive length.
CFDataRef CFDataCreate(CFAllocatorRef alloc, const UInt8* bytes, CFIndex length);
CFIndex CFDataGetLength(CFDataRef data);
// Null for an empty block.
const UInt8* CFDataGetBytePtr(CFDataRef data);
// Copies the bytes of range, clipped to the block.
void CFDataGetBytes(CFDataRef data, CFRange range, UInt8* buffer);
