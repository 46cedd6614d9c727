#pragma once
// URLs: file URLs built from POSIX paths, and URLs of any scheme built from their text.

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFString.h>

typedef const struct __CFURL* CFURLRef;

typedef enum : CFIndex
{
  kCFURLPOSIXPathStyle = 0
} CFURLPathStyle;

CFTypeID CFURLGetTypeID(void);
// A relative path is taken against the current directory. Null for an empty path or another style.
CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef alloc, CFStringRef filePath, CFURLPathStyle pathStyle,
                                       Boolean isDirectory);
CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef alloc, const UInt8* buffer, CFIndex bufLen,
                                                 Boolean isDirectory);
// The text must be "scheme:rest" with a letter-led scheme; baseURL is not supported and must be null.
CFURLRef CFURLCreateWithString(CFAllocatorRef alloc, CFStringRef urlString, CFURLRef baseURL);

// The URL's text ("file:///a/b%20c/" for a file URL), owned by the URL.
CFStringRef CFURLGetString(CFURLRef url);
// A new string with the scheme ("file", "http", ...).
CFStringRef CFURLCopyScheme(CFURLRef url);
// The file-system path without a trailing slash (except "/"); null for a URL that is not a file URL.
CFStringRef CFURLCopyFileSystemPath(CFURLRef url, CFURLPathStyle pathStyle);
// The path as a C string into buffer; false for a URL that is not a file URL or a buffer too small.
Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8* buffer, CFIndex maxBufLen);
Boolean CFURLHasDirectoryPath(CFURLRef url);
