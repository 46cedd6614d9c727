#pragma once
// Dictionaries: keys compared with isEqual:, keys and values retained while they are entries.

#include <utility>
#include <vector>

#include <Foundation/NSObject.h>

class NSDictionary : public NSObject
{
public:
  // nil when there is no such key (or the key is nil).
  id objectForKey(id key) const;
  NSUInteger count() const { return (NSUInteger)mEntries.size(); }
  const char* className() const override { return "NSDictionary"; }

protected:
  ~NSDictionary() override;
  std::vector<std::pair<id, id>> mEntries;
};

class NSMutableDictionary : public NSDictionary
{
public:
  // Autoreleased, empty.
  static NSMutableDictionary* dictionary();
  NSMutableDictionary* init() override { return this; }
  // Replaces the value of an equal key; a nil key or object does nothing.
  void setObject(id object, id key);
  void removeObjectForKey(id key);
  void removeAllObjects();
  const char* className() const override { return "NSMutableDictionary"; }
};
