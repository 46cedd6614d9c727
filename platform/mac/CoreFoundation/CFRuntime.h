#pragma once
// The object base every CoreFoundation subset object derives from. Objects are self-describing:
// their type id, equality, hash and destruction travel with them, so a module with its own copy of
// this code can read and release objects that another module created.

#include <atomic>

#include <CoreFoundation/CFBase.h>

enum : CFTypeID
{
  kCFTypeIDString = 7,
  kCFTypeIDDictionary = 18,
  kCFTypeIDArray = 19,
  kCFTypeIDData = 20,
  kCFTypeIDBoolean = 21,
  kCFTypeIDNumber = 22,
  kCFTypeIDURL = 29,
  kCFTypeIDBundle = 31
};

struct CFRuntimeBase
{
  static constexpr UInt32 kMagic = 0x43467631;  // 'CFv1'

  explicit CFRuntimeBase(CFTypeID typeID);
  virtual ~CFRuntimeBase();
  virtual Boolean Equal(const CFRuntimeBase* other) const { return this == other; }
  virtual CFHashCode Hash() const { return (CFHashCode)(uintptr_t)this; }
  // Makes the object and whatever it owns immortal and uncounted.
  virtual void MakeImmortal();

  CFRuntimeBase(const CFRuntimeBase&) = delete;
  CFRuntimeBase& operator=(const CFRuntimeBase&) = delete;

  const UInt32 mMagic = kMagic;
  const CFTypeID mTypeID;
  std::atomic<CFIndex> mRetainCount{1};
  bool mImmortal = false;
};

// The object behind a reference when it is one of ours of the given type (any type for 0); else null.
const CFRuntimeBase* CFRuntimeCast(CFTypeRef cf, CFTypeID typeID = 0);

template <class T>
inline const T* CFCastTo(CFTypeRef cf, CFTypeID typeID)
{
  return static_cast<const T*>(CFRuntimeCast(cf, typeID));
}

template <class T>
inline T* CFCastToMutable(CFTypeRef cf, CFTypeID typeID)
{
  return const_cast<T*>(static_cast<const T*>(CFRuntimeCast(cf, typeID)));
}

// Makes cf immortal when it is one of ours.
void CFRuntimeMakeImmortal(CFTypeRef cf);
