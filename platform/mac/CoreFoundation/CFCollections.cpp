// Arrays and dictionaries. Both keep their entries in insertion order; dictionaries find keys by
// hash and then by the key callbacks' equality.

#include <algorithm>
#include <vector>

#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFDictionary.h>

#include "CFRuntime.h"

namespace
{
const void* TypeRetain(CFAllocatorRef, const void* value)
{
  return CFRetain(value);
}

void TypeRelease(CFAllocatorRef, const void* value)
{
  CFRelease(value);
}

Boolean TypeEqual(const void* a, const void* b)
{
  return CFEqual(a, b);
}

CFHashCode TypeHash(const void* value)
{
  return CFHash(value);
}
}  // namespace

const CFArrayCallBacks kCFTypeArrayCallBacks = { 0, TypeRetain, TypeRelease, nullptr, TypeEqual };
const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = { 0, TypeRetain, TypeRelease, nullptr, TypeEqual, TypeHash };
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = { 0, TypeRetain, TypeRelease, nullptr, TypeEqual };

// ----- Arrays -----

struct __CFArray : CFRuntimeBase
{
  __CFArray(const CFArrayCallBacks* cb, bool isMutable, CFIndex capacity)
    : CFRuntimeBase(kCFTypeIDArray), mMutable(isMutable), mCapacity(capacity)
  {
    if (cb) mCallBacks = *cb;
  }
  ~__CFArray() override { RemoveAll(); }

  Boolean Equal(const CFRuntimeBase* other) const override
  {
    const __CFArray* o = static_cast<const __CFArray*>(other);
    if (mValues.size() != o->mValues.size()) return false;
    for (size_t i = 0; i < mValues.size(); ++i)
      if (!ValuesEqual(mValues[i], o->mValues[i])) return false;
    return true;
  }
  CFHashCode Hash() const override { return (CFHashCode)mValues.size(); }
  void MakeImmortal() override
  {
    CFRuntimeBase::MakeImmortal();
    if (mCallBacks.retain == TypeRetain)
      for (const void* v : mValues) CFRuntimeMakeImmortal(v);
  }

  bool ValuesEqual(const void* a, const void* b) const { return mCallBacks.equal ? mCallBacks.equal(a, b) : a == b; }
  const void* Retain(const void* v) const { return mCallBacks.retain ? mCallBacks.retain(nullptr, v) : v; }
  void Release(const void* v) const
  {
    if (mCallBacks.release) mCallBacks.release(nullptr, v);
  }
  void RemoveAll()
  {
    std::vector<const void*> values;
    values.swap(mValues);
    for (const void* v : values) Release(v);
  }
  bool Full() const { return mCapacity > 0 && (CFIndex)mValues.size() >= mCapacity; }

  CFArrayCallBacks mCallBacks = { 0, nullptr, nullptr, nullptr, nullptr };
  const bool mMutable;
  const CFIndex mCapacity;
  std::vector<const void*> mValues;
};

namespace
{
__CFArray* MutableArray(CFMutableArrayRef array)
{
  __CFArray* a = CFCastToMutable<__CFArray>(array, kCFTypeIDArray);
  return a && a->mMutable ? a : nullptr;
}
}  // namespace

CFTypeID CFArrayGetTypeID(void)
{
  return kCFTypeIDArray;
}

CFArrayRef CFArrayCreate(CFAllocatorRef, const void** values, CFIndex numValues, const CFArrayCallBacks* callBacks)
{
  if (numValues < 0 || (!values && numValues > 0)) return nullptr;
  __CFArray* a = new __CFArray(callBacks, false, 0);
  for (CFIndex i = 0; i < numValues; ++i) a->mValues.push_back(a->Retain(values[i]));
  return a;
}

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef, CFIndex capacity, const CFArrayCallBacks* callBacks)
{
  if (capacity < 0) return nullptr;
  return new __CFArray(callBacks, true, capacity);
}

CFIndex CFArrayGetCount(CFArrayRef array)
{
  const __CFArray* a = CFCastTo<__CFArray>(array, kCFTypeIDArray);
  return a ? (CFIndex)a->mValues.size() : 0;
}

const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex idx)
{
  const __CFArray* a = CFCastTo<__CFArray>(array, kCFTypeIDArray);
  if (!a || idx < 0 || (size_t)idx >= a->mValues.size()) return nullptr;
  return a->mValues[(size_t)idx];
}

CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef array, CFRange range, const void* value)
{
  const __CFArray* a = CFCastTo<__CFArray>(array, kCFTypeIDArray);
  if (!a || range.location < 0) return kCFNotFound;
  const CFIndex end = std::min<CFIndex>(range.location + range.length, (CFIndex)a->mValues.size());
  for (CFIndex i = range.location; i < end; ++i)
    if (a->ValuesEqual(a->mValues[(size_t)i], value)) return i;
  return kCFNotFound;
}

void CFArrayAppendValue(CFMutableArrayRef array, const void* value)
{
  __CFArray* a = MutableArray(array);
  if (!a || a->Full()) return;
  a->mValues.push_back(a->Retain(value));
}

void CFArrayInsertValueAtIndex(CFMutableArrayRef array, CFIndex idx, const void* value)
{
  __CFArray* a = MutableArray(array);
  if (!a || a->Full() || idx < 0 || (size_t)idx > a->mValues.size()) return;
  a->mValues.insert(a->mValues.begin() + idx, a->Retain(value));
}

void CFArraySetValueAtIndex(CFMutableArrayRef array, CFIndex idx, const void* value)
{
  __CFArray* a = MutableArray(array);
  if (!a || idx < 0 || (size_t)idx > a->mValues.size()) return;
  if ((size_t)idx == a->mValues.size())
  {
    CFArrayAppendValue(array, value);
    return;
  }
  const void* old = a->mValues[(size_t)idx];
  a->mValues[(size_t)idx] = a->Retain(value);
  a->Release(old);
}

void CFArrayRemoveValueAtIndex(CFMutableArrayRef array, CFIndex idx)
{
  __CFArray* a = MutableArray(array);
  if (!a || idx < 0 || (size_t)idx >= a->mValues.size()) return;
  const void* old = a->mValues[(size_t)idx];
  a->mValues.erase(a->mValues.begin() + idx);
  a->Release(old);
}

void CFArrayRemoveAllValues(CFMutableArrayRef array)
{
  if (__CFArray* a = MutableArray(array)) a->RemoveAll();
}

// ----- Dictionaries -----

struct __CFDictionary : CFRuntimeBase
{
  struct Entry
  {
    CFHashCode mHash;
    const void* mKey;
    const void* mValue;
  };

  __CFDictionary(const CFDictionaryKeyCallBacks* kcb, const CFDictionaryValueCallBacks* vcb, bool isMutable,
                 CFIndex capacity)
    : CFRuntimeBase(kCFTypeIDDictionary), mMutable(isMutable), mCapacity(capacity)
  {
    if (kcb) mKeyCallBacks = *kcb;
    if (vcb) mValueCallBacks = *vcb;
  }
  ~__CFDictionary() override { RemoveAll(); }

  Boolean Equal(const CFRuntimeBase* other) const override
  {
    const __CFDictionary* o = static_cast<const __CFDictionary*>(other);
    if (mEntries.size() != o->mEntries.size()) return false;
    for (const Entry& e : mEntries)
    {
      const Entry* oe = o->Find(e.mKey);
      if (!oe) return false;
      const bool same = mValueCallBacks.equal ? mValueCallBacks.equal(e.mValue, oe->mValue) : e.mValue == oe->mValue;
      if (!same) return false;
    }
    return true;
  }
  CFHashCode Hash() const override { return (CFHashCode)mEntries.size(); }
  void MakeImmortal() override
  {
    CFRuntimeBase::MakeImmortal();
    for (const Entry& e : mEntries)
    {
      if (mKeyCallBacks.retain == TypeRetain) CFRuntimeMakeImmortal(e.mKey);
      if (mValueCallBacks.retain == TypeRetain) CFRuntimeMakeImmortal(e.mValue);
    }
  }

  CFHashCode HashOf(const void* key) const
  {
    return mKeyCallBacks.hash ? mKeyCallBacks.hash(key) : (CFHashCode)(uintptr_t)key;
  }
  const Entry* Find(const void* key) const
  {
    const CFHashCode h = HashOf(key);
    for (const Entry& e : mEntries)
    {
      if (e.mHash != h) continue;
      if (mKeyCallBacks.equal ? mKeyCallBacks.equal(e.mKey, key) : e.mKey == key) return &e;
    }
    return nullptr;
  }
  Entry* Find(const void* key) { return const_cast<Entry*>(static_cast<const __CFDictionary*>(this)->Find(key)); }

  void Add(const void* key, const void* value)
  {
    if (mCapacity > 0 && (CFIndex)mEntries.size() >= mCapacity) return;
    const void* k = mKeyCallBacks.retain ? mKeyCallBacks.retain(nullptr, key) : key;
    const void* v = mValueCallBacks.retain ? mValueCallBacks.retain(nullptr, value) : value;
    mEntries.push_back({ HashOf(key), k, v });
  }
  void Replace(Entry* e, const void* value)
  {
    const void* old = e->mValue;
    e->mValue = mValueCallBacks.retain ? mValueCallBacks.retain(nullptr, value) : value;
    if (mValueCallBacks.release) mValueCallBacks.release(nullptr, old);
  }
  void ReleaseEntry(const Entry& e)
  {
    if (mKeyCallBacks.release) mKeyCallBacks.release(nullptr, e.mKey);
    if (mValueCallBacks.release) mValueCallBacks.release(nullptr, e.mValue);
  }
  void RemoveAll()
  {
    std::vector<Entry> entries;
    entries.swap(mEntries);
    for (const Entry& e : entries) ReleaseEntry(e);
  }

  CFDictionaryKeyCallBacks mKeyCallBacks = { 0, nullptr, nullptr, nullptr, nullptr, nullptr };
  CFDictionaryValueCallBacks mValueCallBacks = { 0, nullptr, nullptr, nullptr, nullptr };
  const bool mMutable;
  const CFIndex mCapacity;
  std::vector<Entry> mEntries;
};

namespace
{
const __CFDictionary* Dict(CFDictionaryRef dict)
{
  return CFCastTo<__CFDictionary>(dict, kCFTypeIDDictionary);
}

__CFDictionary* MutableDict(CFMutableDictionaryRef dict)
{
  __CFDictionary* d = CFCastToMutable<__CFDictionary>(dict, kCFTypeIDDictionary);
  return d && d->mMutable ? d : nullptr;
}
}  // namespace

CFTypeID CFDictionaryGetTypeID(void)
{
  return kCFTypeIDDictionary;
}

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef, const void** keys, const void** values, CFIndex numValues,
                                   const CFDictionaryKeyCallBacks* keyCallBacks,
                                   const CFDictionaryValueCallBacks* valueCallBacks)
{
  if (numValues < 0 || (numValues > 0 && (!keys || !values))) return nullptr;
  __CFDictionary* d = new __CFDictionary(keyCallBacks, valueCallBacks, false, 0);
  for (CFIndex i = 0; i < numValues; ++i)
  {
    if (__CFDictionary::Entry* e = d->Find(keys[i])) d->Replace(e, values[i]);
    else d->Add(keys[i], values[i]);
  }
  return d;
}

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks)
{
  if (capacity < 0) return nullptr;
  return new __CFDictionary(keyCallBacks, valueCallBacks, true, capacity);
}

CFIndex CFDictionaryGetCount(CFDictionaryRef dict)
{
  const __CFDictionary* d = Dict(dict);
  return d ? (CFIndex)d->mEntries.size() : 0;
}

const void* CFDictionaryGetValue(CFDictionaryRef dict, const void* key)
{
  const void* v = nullptr;
  CFDictionaryGetValueIfPresent(dict, key, &v);
  return v;
}

Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef dict, const void* key, const void** value)
{
  const __CFDictionary* d = Dict(dict);
  const __CFDictionary::Entry* e = d ? d->Find(key) : nullptr;
  if (!e) return false;
  if (value) *value = e->mValue;
  return true;
}

Boolean CFDictionaryContainsKey(CFDictionaryRef dict, const void* key)
{
  return CFDictionaryGetValueIfPresent(dict, key, nullptr);
}

void CFDictionaryGetKeysAndValues(CFDictionaryRef dict, const void** keys, const void** values)
{
  const __CFDictionary* d = Dict(dict);
  if (!d) return;
  for (size_t i = 0; i < d->mEntries.size(); ++i)
  {
    if (keys) keys[i] = d->mEntries[i].mKey;
    if (values) values[i] = d->mEntries[i].mValue;
  }
}

void CFDictionaryApplyFunction(CFDictionaryRef dict, CFDictionaryApplierFunction applier, void* context)
{
  const __CFDictionary* d = Dict(dict);
  if (!d || !applier) return;
  for (const __CFDictionary::Entry& e : d->mEntries) applier(e.mKey, e.mValue, context);
}

void CFDictionaryAddValue(CFMutableDictionaryRef dict, const void* key, const void* value)
{
  __CFDictionary* d = MutableDict(dict);
  if (d && !d->Find(key)) d->Add(key, value);
}

void CFDictionarySetValue(CFMutableDictionaryRef dict, const void* key, const void* value)
{
  __CFDictionary* d = MutableDict(dict);
  if (!d) return;
  if (__CFDictionary::Entry* e = d->Find(key)) d->Replace(e, value);
  else d->Add(key, value);
}

void CFDictionaryReplaceValue(CFMutableDictionaryRef dict, const void* key, const void* value)
{
  __CFDictionary* d = MutableDict(dict);
  if (!d) return;
  if (__CFDictionary::Entry* e = d->Find(key)) d->Replace(e, value);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef dict, const void* key)
{
  __CFDictionary* d = MutableDict(dict);
  if (!d) return;
  __CFDictionary::Entry* e = d->Find(key);
  if (!e) return;
  const __CFDictionary::Entry removed = *e;
  d->mEntries.erase(d->mEntries.begin() + (e - d->mEntries.data()));
  d->ReleaseEntry(removed);
}

void CFDictionaryRemoveAllValues(CFMutableDictionaryRef dict)
{
  if (__CFDictionary* d = MutableDict(dict)) d->RemoveAll();
}
