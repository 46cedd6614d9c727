// Numbers (held as a 64-bit integer or a double, with the type they were made with) and booleans.

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include <CoreFoundation/CFNumber.h>

#include "CFRuntime.h"

struct __CFNumber : CFRuntimeBase
{
  __CFNumber() : CFRuntimeBase(kCFTypeIDNumber) {}

  Boolean Equal(const CFRuntimeBase* other) const override
  {
    const __CFNumber* o = static_cast<const __CFNumber*>(other);
    if (mIsFloat || o->mIsFloat) return AsDouble() == o->AsDouble();
    return mInt == o->mInt;
  }
  CFHashCode Hash() const override
  {
    if (mIsFloat && mFloat != std::floor(mFloat)) return (CFHashCode)std::hash<double>()(mFloat);
    return (CFHashCode)(mIsFloat ? (int64_t)mFloat : mInt);
  }
  double AsDouble() const { return mIsFloat ? mFloat : (double)mInt; }

  CFNumberType mType = kCFNumberSInt32Type;
  bool mIsFloat = false;
  int64_t mInt = 0;
  double mFloat = 0.0;
};

struct __CFBoolean : CFRuntimeBase
{
  explicit __CFBoolean(bool v) : CFRuntimeBase(kCFTypeIDBoolean), mValue(v) { MakeImmortal(); }
  Boolean Equal(const CFRuntimeBase* other) const override
  {
    return mValue == static_cast<const __CFBoolean*>(other)->mValue;
  }
  CFHashCode Hash() const override { return mValue ? 1 : 0; }
  const bool mValue;
};

namespace
{
struct TypeInfo
{
  bool mFloat;
  int mBytes;
};

// Width and kind of each number type on this target (char 1, short 2, int 4, long 8, CFIndex 8).
bool InfoFor(CFNumberType t, TypeInfo* info)
{
  switch (t)
  {
    case kCFNumberSInt8Type:
    case kCFNumberCharType: *info = { false, 1 }; return true;
    case kCFNumberSInt16Type:
    case kCFNumberShortType: *info = { false, 2 }; return true;
    case kCFNumberSInt32Type:
    case kCFNumberIntType: *info = { false, 4 }; return true;
    case kCFNumberSInt64Type:
    case kCFNumberLongType:
    case kCFNumberLongLongType:
    case kCFNumberCFIndexType: *info = { false, 8 }; return true;
    case kCFNumberFloat32Type:
    case kCFNumberFloatType: *info = { true, 4 }; return true;
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType: *info = { true, 8 }; return true;
    default: return false;
  }
}

template <class T>
bool StoreInt(int64_t v, void* out)
{
  const T t = (T)v;
  memcpy(out, &t, sizeof(T));
  return (int64_t)t == v;
}

template <class T>
bool StoreIntFromDouble(double d, void* out)
{
  T t;
  bool exact;
  if (std::isnan(d)) { t = 0; exact = false; }
  else if (d <= (double)std::numeric_limits<T>::min()) { t = std::numeric_limits<T>::min(); exact = d == (double)t; }
  else if (d >= (double)std::numeric_limits<T>::max()) { t = std::numeric_limits<T>::max(); exact = d == (double)t; }
  else { t = (T)d; exact = (double)t == d; }
  memcpy(out, &t, sizeof(T));
  return exact;
}
}  // namespace

const CFBooleanRef kCFBooleanTrue = new __CFBoolean(true);
const CFBooleanRef kCFBooleanFalse = new __CFBoolean(false);

CFTypeID CFNumberGetTypeID(void)
{
  return kCFTypeIDNumber;
}

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType theType, const void* valuePtr)
{
  TypeInfo info;
  if (!valuePtr || !InfoFor(theType, &info)) return nullptr;
  __CFNumber* n = new __CFNumber;
  n->mType = theType;
  n->mIsFloat = info.mFloat;
  if (info.mFloat)
  {
    if (info.mBytes == 4) { float f; memcpy(&f, valuePtr, 4); n->mFloat = f; }
    else memcpy(&n->mFloat, valuePtr, 8);
  }
  else
  {
    switch (info.mBytes)
    {
      case 1: { int8_t v; memcpy(&v, valuePtr, 1); n->mInt = v; break; }
      case 2: { int16_t v; memcpy(&v, valuePtr, 2); n->mInt = v; break; }
      case 4: { int32_t v; memcpy(&v, valuePtr, 4); n->mInt = v; break; }
      default: memcpy(&n->mInt, valuePtr, 8); break;
    }
  }
  return n;
}

CFNumberType CFNumberGetType(CFNumberRef number)
{
  const __CFNumber* n = CFCastTo<__CFNumber>(number, kCFTypeIDNumber);
  return n ? n->mType : (CFNumberType)0;
}

CFIndex CFNumberGetByteSize(CFNumberRef number)
{
  TypeInfo info;
  return InfoFor(CFNumberGetType(number), &info) ? info.mBytes : 0;
}

Boolean CFNumberIsFloatType(CFNumberRef number)
{
  const __CFNumber* n = CFCastTo<__CFNumber>(number, kCFTypeIDNumber);
  return n && n->mIsFloat;
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr)
{
  const __CFNumber* n = CFCastTo<__CFNumber>(number, kCFTypeIDNumber);
  TypeInfo info;
  if (!n || !valuePtr || !InfoFor(theType, &info)) return false;
  if (info.mFloat)
  {
    const double d = n->AsDouble();
    if (info.mBytes == 4)
    {
      const float f = (float)d;
      memcpy(valuePtr, &f, 4);
      return std::isnan(d) || (double)f == d;
    }
    memcpy(valuePtr, &d, 8);
    return !n->mIsFloat ? (int64_t)d == n->mInt : true;
  }
  if (n->mIsFloat)
  {
    switch (info.mBytes)
    {
      case 1: return StoreIntFromDouble<int8_t>(n->mFloat, valuePtr);
      case 2: return StoreIntFromDouble<int16_t>(n->mFloat, valuePtr);
      case 4: return StoreIntFromDouble<int32_t>(n->mFloat, valuePtr);
      default: return StoreIntFromDouble<int64_t>(n->mFloat, valuePtr);
    }
  }
  switch (info.mBytes)
  {
    case 1: return StoreInt<int8_t>(n->mInt, valuePtr);
    case 2: return StoreInt<int16_t>(n->mInt, valuePtr);
    case 4: return StoreInt<int32_t>(n->mInt, valuePtr);
    default: return StoreInt<int64_t>(n->mInt, valuePtr);
  }
}

CFTypeID CFBooleanGetTypeID(void)
{
  return kCFTypeIDBoolean;
}

Boolean CFBooleanGetValue(CFBooleanRef boolean)
{
  const __CFBoolean* b = CFCastTo<__CFBoolean>(boolean, kCFTypeIDBoolean);
  return b && b->mValue;
}
