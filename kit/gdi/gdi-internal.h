#pragma once
// What the GDI emulation's sources share and callers do not see.

#include "gdi-emulation.h"

namespace gdi
{
// The numbers 1, 2 and 3 stand for "no pen", "no brush" and "no font" where an object may go:
// never records to read through.
inline bool IsTypeNumber(const void* obj)
{
  const uintptr_t v = (uintptr_t)obj;
  return v >= kGdiObjPen && v <= kGdiObjFont;
}

// Counts a context slot taking or letting go of an object. Slots of contexts on different
// threads may share an object, so the count is atomic.
inline void Selected(GDP_OBJECT* obj)
{
  if (obj) __atomic_add_fetch(&obj->selections, 1, __ATOMIC_RELAXED);
}
inline void Deselected(GDP_OBJECT* obj)
{
  if (obj) __atomic_sub_fetch(&obj->selections, 1, __ATOMIC_RELAXED);
}

// Selected and with a width or flag that is not negative (the stock objects draw nothing).
inline bool UsablePen(const GDP_CTX* ctx) { return ctx->curpen && ctx->curpen->wid >= 0 && ctx->curpen->color; }
inline bool UsableBrush(const GDP_CTX* ctx) { return ctx->curbrush && ctx->curbrush->wid >= 0 && ctx->curbrush->color; }
}  // namespace gdi
