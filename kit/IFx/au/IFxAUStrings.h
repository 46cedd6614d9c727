#pragma once
// Text conversions at the Audio Unit boundary.

#include <CoreFoundation/CoreFoundation.h>

// A new string from a C string: UTF-8, else Latin-1, so that any bytes give a string.
inline CFStringRef NewCFString(const char* text)
{
  if (!text) text = "";
  CFStringRef s = CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8);
  if (!s) s = CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingISOLatin1);
  return s;
}

// The string as UTF-8 into buf; false for anything but a string that fits.
inline bool CFStringToUTF8(CFTypeRef str, char* buf, CFIndex size)
{
  if (CFGetTypeID(str) != CFStringGetTypeID()) return false;
  return CFStringGetCString((CFStringRef)str, buf, size, kCFStringEncodingUTF8);
}
