#pragma once
// Small helpers of the GDI emulation: a bounded string copy, C strings to CoreFoundation strings,
// the module's path, and a value-holder object.

#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/Foundation.h>

// Copies at most n - 1 characters and always ends with a NUL; n <= 0 writes nothing.
char* lstrcpyn(char* dest, const char* src, int n);

// A new string (the caller releases it) from UTF-8, or from ASCII when that fails; null is "".
CFStringRef GDI_CStringToCFString(const char* str);

// The path of the host application's main bundle into buf (at most len - 1 characters and a
// NUL); returns the length of what buf holds. The module argument is not used. buf must hold at
// least one byte.
int GetModuleFileName(void* module, char* buf, unsigned int len);

// Holds one untyped value for whoever made it; nothing in this system creates one.
class GDI_APP_PREFIX_kvt : public NSObject
{
public:
  GDI_APP_PREFIX_kvt* initWithVal(void* val)
  {
    if (NSObject::init()) m_data = val;
    return this;
  }
  void* getValue() const { return m_data; }
  const char* className() const override { return "GDI_APP_PREFIX_kvt"; }

private:
  void* m_data = nullptr;
};
