// The one lock of the ATSUI calls and the registry of live handles.

#include <unordered_map>

#include "ATSUInternal.h"

namespace
{
struct Registry
{
  std::unordered_map<const void*, uint64_t> mLive[ATSUInternal::kKindCount];
  uint64_t mNextSerial = 1;
};

// Never destroyed: handles may be disposed from static destructors.
Registry& TheRegistry()
{
  static Registry* sRegistry = new Registry;
  return *sRegistry;
}
}  // namespace

namespace ATSUInternal
{
std::mutex& Lock()
{
  static std::mutex* sLock = new std::mutex;
  return *sLock;
}

uint64_t Add(EKind kind, const void* p)
{
  Registry& r = TheRegistry();
  const uint64_t serial = r.mNextSerial++;
  r.mLive[kind][p] = serial;
  return serial;
}

void Remove(EKind kind, const void* p)
{
  TheRegistry().mLive[kind].erase(p);
}

bool Contains(EKind kind, const void* p)
{
  return p && TheRegistry().mLive[kind].count(p) != 0;
}

bool Alive(EKind kind, const void* p, uint64_t serial)
{
  if (!p) return false;
  const auto& live = TheRegistry().mLive[kind];
  auto it = live.find(p);
  return it != live.end() && it->second == serial;
}
}  // namespace ATSUInternal
