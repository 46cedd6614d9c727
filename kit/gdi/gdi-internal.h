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

// v held to the range of a 32-bit int (NaN gives 0): coordinates computed in a wider type come
// back without overflow or an out-of-range conversion.
inline int32_t ClampToInt32(double v)
{
  if (!(v == v)) return 0;
  if (v <= (double)INT32_MIN) return INT32_MIN;
  if (v >= (double)INT32_MAX) return INT32_MAX;
  return (int32_t)v;
}
inline int32_t ClampToInt32(int64_t v) { return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : (int32_t)v; }

// The rectangle from (left, top) to (right, bottom), its size computed without overflow.
inline CGRect RectOf(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
  return CGRectMake(left, top, (double)right - left, (double)bottom - top);
}
inline CGRect RectOf(const RECT& r) { return RectOf(r.left, r.top, r.right, r.bottom); }

// Selected and with a width or flag that is not negative (the stock objects draw nothing).
inline bool UsablePen(const GDP_CTX* ctx) { return ctx->curpen && ctx->curpen->wid >= 0 && ctx->curpen->color; }
inline bool UsableBrush(const GDP_CTX* ctx) { return ctx->curbrush && ctx->curbrush->wid >= 0 && ctx->curbrush->color; }
}  // namespace gdi
