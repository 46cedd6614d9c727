#pragma once
// Ordered collections of values, immutable or mutable, with callbacks that say how values are
// retained, released and compared. Null callbacks keep raw pointers and compare them by identity.

#include <CoreFoundation/CFBase.h>

typedef const void* (*CFArrayRetainCallBack)(CFAllocatorRef allocator, const void* value);
typedef void (*CFArrayReleaseCallBack)(CFAllocatorRef allocator, const void* value);
typedef CFStringRef (*CFArrayCopyDescriptionCallBack)(const void* value);
typedef Boolean (*CFArrayEqualCallBack)(const void* value1, const void* value2);

typedef struct
{
  CFIndex version;
  CFArrayRetainCallBack retain;
  CFArrayReleaseCallBack release;
  CFArrayCopyDescriptionCallBack copyDescription;
  CFArrayEqualCallBack equal;
} CFArrayCallBacks;

// Retains with CFRetain, releases with CFRelease, compares with CFEqual.
extern const CFArrayCallBacks kCFTypeArrayCallBacks;

typedef const struct __CFArray* CFArrayRef;
typedef struct __CFArray* CFMutableArrayRef;

CFTypeID CFArrayGetTypeID(void);
CFArrayRef CFArrayCreate(CFAllocatorRef alloc, const void** values, CFIndex numValues, const CFArrayCallBacks* callBacks);
// capacity 0 means unbounded; a mutable array with a capacity refuses to grow past it.
CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef alloc, CFIndex capacity, const CFArrayCallBacks* callBacks);

CFIndex CFArrayGetCount(CFArrayRef array);
// Null for an index outside the array.
const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex idx);
CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef array, CFRange range, const void* value);

// Mutation of an immutable array, or at an index outside it, does nothing.
void CFArrayAppendValue(CFMutableArrayRef array, const void* value);
void CFArrayInsertValueAtIndex(CFMutableArrayRef array, CFIndex idx, const void* value);
void CFArraySetValueAtIndex(CFMutableArrayRef array, CFIndex idx, const void* value);
void CFArrayRemoveValueAtIndex(CFMutableArrayRef array, CFIndex idx);
void CFArrayRemoveAllValues(CFMutableArrayRef array);
