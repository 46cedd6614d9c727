#pragma once
// Property lists: trees of dictionaries, arrays, strings, numbers, booleans and data. Reading
// takes the XML form (what a bundle's Info.plist holds).

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFData.h>

typedef CFTypeRef CFPropertyListRef;
typedef struct __CFError* CFErrorRef;

typedef enum : CFIndex
{
  kCFPropertyListOpenStepFormat = 1,
  kCFPropertyListXMLFormat_v1_0 = 100,
  kCFPropertyListBinaryFormat_v1_0 = 200
} CFPropertyListFormat;

enum
{
  kCFPropertyListImmutable = 0
};

// Null for anything but a well-formed XML property list; error, when given, is set to null.
CFPropertyListRef CFPropertyListCreateWithData(CFAllocatorRef alloc, CFDataRef data, CFOptionFlags options,
                                               CFPropertyListFormat* format, CFErrorRef* error);
