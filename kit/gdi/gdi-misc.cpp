// String and module helpers of the GDI emulation.

#include "gdi-misc.h"

#include <cstring>

char* lstrcpyn(char* dest, const char* src, int n)
{
  if (n <= 0 || !dest) return dest;
  if (!src) src = "";
  int i = 0;
  for (; i < n - 1 && src[i]; ++i) dest[i] = src[i];
  dest[i] = 0;
  return dest;
}

CFStringRef GDI_CStringToCFString(const char* str)
{
  if (!str) str = "";
  CFStringRef s = CFStringCreateWithCString(nullptr, str, kCFStringEncodingUTF8);
  if (!s) s = CFStringCreateWithCString(nullptr, str, kCFStringEncodingASCII);
  return s;
}

int GetModuleFileName(void*, char* buf, unsigned int len)
{
  if (!buf) return 0;
  buf[0] = 0;
  char path[8192];
  path[0] = 0;
  if (CFURLRef url = CFBundleCopyBundleURL(CFBundleGetMainBundle()))
  {
    if (!CFURLGetFileSystemRepresentation(url, true, (UInt8*)path, sizeof(path))) path[0] = 0;
    CFRelease(url);
  }
  if (len > 0) lstrcpyn(buf, path, len > 0x7fffffffu ? 0x7fffffff : (int)len);
  return (int)strlen(buf);
}
