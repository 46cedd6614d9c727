#pragma once
// Object model of the CoreFoundation subset. Every object is reference counted: a Create or Copy
// call hands the caller one reference, CFRetain adds one and CFRelease drops one; the last
// release frees the object. A null object is accepted and ignored by CFRetain and CFRelease.

#include <MacTypes.h>

typedef long CFIndex;
typedef unsigned long CFTypeID;
typedef unsigned long CFHashCode;
typedef unsigned long CFOptionFlags;

typedef const void* CFTypeRef;
typedef const struct __CFAllocator* CFAllocatorRef;
typedef const struct __CFString* CFStringRef;
typedef struct __CFString* CFMutableStringRef;

// Allocators are accepted for the interface's sake; every object comes from the C heap.
#define kCFAllocatorDefault ((CFAllocatorRef)0)

typedef struct
{
  CFIndex location;
  CFIndex length;
} CFRange;

inline CFRange CFRangeMake(CFIndex location, CFIndex length)
{
  CFRange r = { location, length };
  return r;
}

typedef enum : CFIndex
{
  kCFCompareLessThan = -1,
  kCFCompareEqualTo = 0,
  kCFCompareGreaterThan = 1
} CFComparisonResult;

enum { kCFNotFound = -1 };

CFTypeRef CFRetain(CFTypeRef cf);
void CFRelease(CFTypeRef cf);
CFIndex CFGetRetainCount(CFTypeRef cf);
CFTypeID CFGetTypeID(CFTypeRef cf);
Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2);
CFHashCode CFHash(CFTypeRef cf);
