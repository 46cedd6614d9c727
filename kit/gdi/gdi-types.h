#pragma once
// The Win32-style types the GDI emulation and the raster library share.

#include <cstdint>

// Device-context and GDI-object handles: untyped pointers to GDP_CTX and GDP_OBJECT records.
typedef void* HDC;
typedef void* HGDIOBJ;

// A rectangle; right and bottom are exclusive.
struct RECT
{
  int32_t left, top, right, bottom;
};
