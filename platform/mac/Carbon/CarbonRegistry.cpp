// The registry of live handles and the call log.

#include <mutex>
#include <unordered_map>

#include "CarbonInternal.h"

namespace
{
struct Registry
{
  std::mutex mLock;
  std::unordered_map<const void*, uint64_t> mLive[CarbonRegistry::kKindCount];
  uint64_t mNextSerial = 1;
  std::vector<std::string> mCalls;
};

// Never destroyed: handles may be asked about from static destructors.
Registry& TheRegistry()
{
  static Registry* r = new Registry;
  return *r;
}
}  // namespace

namespace CarbonRegistry
{
uint64_t Add(EKind kind, const void* p)
{
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mLock);
  const uint64_t serial = r.mNextSerial++;
  r.mLive[kind][p] = serial;
  return serial;
}

void Remove(EKind kind, const void* p)
{
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mLock);
  r.mLive[kind].erase(p);
}

bool Contains(EKind kind, const void* p)
{
  if (!p) return false;
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mLock);
  return r.mLive[kind].count(p) != 0;
}

bool Alive(EKind kind, const void* p, uint64_t serial)
{
  if (!p) return false;
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mLock);
  auto it = r.mLive[kind].find(p);
  return it != r.mLive[kind].end() && it->second == serial;
}

int Count(EKind kind)
{
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mLock);
  return (int)r.mLive[kind].size();
}
}  // namespace CarbonRegistry

void CarbonLogCall(const std::string& line)
{
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mLock);
  r.mCalls.push_back(line);
}

namespace CarbonTestKit
{
std::vector<std::string> Calls()
{
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mLock);
  return r.mCalls;
}

void ClearCalls()
{
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mLock);
  r.mCalls.clear();
}
}  // namespace CarbonTestKit
