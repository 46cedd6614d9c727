// Dictionaries as a list of retained pairs: the few entries a set of text attributes has are
// found faster by a scan than through a table.

#include <Foundation/NSDictionary.h>

namespace
{
bool SameKey(id a, id b)
{
  return a == b || (a->hash() == b->hash() && a->isEqual(b));
}
}  // namespace

NSDictionary::~NSDictionary()
{
  std::vector<std::pair<id, id>> entries;
  entries.swap(mEntries);
  for (auto& e : entries)
  {
    e.first->release();
    e.second->release();
  }
}

id NSDictionary::objectForKey(id key) const
{
  if (!key) return nil;
  for (const auto& e : mEntries)
  {
    if (SameKey(e.first, key)) return e.second;
  }
  return nil;
}

NSMutableDictionary* NSMutableDictionary::dictionary()
{
  return static_cast<NSMutableDictionary*>((new NSMutableDictionary)->autorelease());
}

void NSMutableDictionary::setObject(id object, id key)
{
  if (!object || !key) return;
  object->retain();
  for (auto& e : mEntries)
  {
    if (SameKey(e.first, key))
    {
      id old = e.second;
      e.second = object;
      old->release();
      return;
    }
  }
  mEntries.emplace_back(key->retain(), object);
}

void NSMutableDictionary::removeObjectForKey(id key)
{
  if (!key) return;
  for (auto it = mEntries.begin(); it != mEntries.end(); ++it)
  {
    if (SameKey(it->first, key))
    {
      const std::pair<id, id> e = *it;
      mEntries.erase(it);
      e.first->release();
      e.second->release();
      return;
    }
  }
}

void NSMutableDictionary::removeAllObjects()
{
  std::vector<std::pair<id, id>> entries;
  entries.swap(mEntries);
  for (auto& e : entries)
  {
    e.first->release();
    e.second->release();
  }
}
