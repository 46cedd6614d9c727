// Run loops: one a thread, made on first use and freed when the thread ends (the main thread's
// never), and the membership of timers and observers in them.

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "CFRunLoopInternal.h"

const CFStringRef kCFRunLoopDefaultMode = CFSTR("kCFRunLoopDefaultMode");
const CFStringRef kCFRunLoopCommonModes = CFSTR("kCFRunLoopCommonModes");

namespace
{
const char kDefaultModeName[] = "kCFRunLoopDefaultMode";
const char kCommonModesName[] = "kCFRunLoopCommonModes";

std::atomic<uint64_t> sNextSeq{1};
std::atomic<__CFRunLoop*> sMainLoop{nullptr};

bool IsMainThread()
{
  return (pid_t)syscall(SYS_gettid) == getpid();
}

__CFRunLoop* MainLoop()
{
  __CFRunLoop* rl = sMainLoop.load(std::memory_order_acquire);
  if (rl) return rl;
  __CFRunLoop* made = new __CFRunLoop;
  if (sMainLoop.compare_exchange_strong(rl, made, std::memory_order_acq_rel)) return made;
  delete made;
  return rl;
}

// Takes a loop out of the lists of the items it held, when the loop's thread ends. Items shared
// with other loops stay there.
void LeaveItem(__CFRunLoop* rl, CFRunLoopItem* item)
{
  bool listed = false;
  {
    std::lock_guard<std::mutex> lock(item->mLock);
    auto it = std::find(item->mLoops.begin(), item->mLoops.end(), rl);
    if (it != item->mLoops.end())
    {
      item->mLoops.erase(it);
      listed = true;
    }
  }
  if (listed) rl->Drop();
}

void Teardown(__CFRunLoop* rl)
{
  std::vector<__CFRunLoop::TimerEntry> timers;
  std::vector<__CFRunLoop::ObserverEntry> observers;
  {
    std::lock_guard<std::mutex> lock(rl->mLock);
    rl->mDead = true;
    timers.swap(rl->mTimers);
    observers.swap(rl->mObservers);
  }
  for (auto& e : timers)
  {
    LeaveItem(rl, e.mItem);
    CFRelease(e.mItem);
  }
  for (auto& e : observers)
  {
    LeaveItem(rl, e.mItem);
    CFRelease(e.mItem);
  }
  rl->Drop();
}

struct ThreadLoop
{
  ~ThreadLoop()
  {
    if (mLoop && mLoop != sMainLoop.load(std::memory_order_acquire)) Teardown(mLoop);
    mLoop = nullptr;
  }
  __CFRunLoop* mLoop = nullptr;
};

thread_local ThreadLoop tThreadLoop;

std::vector<__CFRunLoop::TimerEntry>& EntriesOf(__CFRunLoop* rl, __CFRunLoopTimer*)
{
  return rl->mTimers;
}

std::vector<__CFRunLoop::ObserverEntry>& EntriesOf(__CFRunLoop* rl, __CFRunLoopObserver*)
{
  return rl->mObservers;
}

// Under the item's lock, when a loop takes the item: where a timer starts on this loop.
void StartEntry(__CFRunLoop::TimerEntry* e, __CFRunLoopTimer* t)
{
  e->mNextFire = t->mNextFireDate;
}

void StartEntry(__CFRunLoop::ObserverEntry*, __CFRunLoopObserver*) {}

template <class Entry>
Entry* FindEntry(std::vector<Entry>& entries, const CFRunLoopItem* item)
{
  for (Entry& e : entries)
  {
    if (e.mItem == item) return &e;
  }
  return nullptr;
}

template <class Item>
void AddItem(CFRunLoopRef rl, Item* item, CFStringRef mode)
{
  std::string name;
  if (!rl || !item || !CFRunLoopModeName(mode, &name)) return;
  std::lock_guard<std::mutex> lock(rl->mLock);
  if (rl->mDead) return;
  auto& entries = EntriesOf(rl, item);
  if (auto* e = FindEntry(entries, item))
  {
    if (std::find(e->mModes.begin(), e->mModes.end(), name) == e->mModes.end()) e->mModes.push_back(name);
    rl->WakeLocked();
    return;
  }
  typename std::remove_reference<decltype(entries)>::type::value_type entry{};
  entry.mItem = item;
  entry.mModes.push_back(name);
  entry.mSeq = sNextSeq.fetch_add(1, std::memory_order_relaxed);
  {
    std::lock_guard<std::mutex> itemLock(item->mLock);
    if (!item->mValid.load(std::memory_order_relaxed)) return;
    item->mLoops.push_back(rl);
    rl->Hold();
    StartEntry(&entry, item);
  }
  CFRetain(item);
  entries.push_back(std::move(entry));
  rl->WakeLocked();
}

template <class Item>
void RemoveItem(CFRunLoopRef rl, Item* item, CFStringRef mode)
{
  std::string name;
  if (!rl || !item || !CFRunLoopModeName(mode, &name)) return;
  bool released = false, dropped = false;
  {
    std::lock_guard<std::mutex> lock(rl->mLock);
    auto& entries = EntriesOf(rl, item);
    auto* e = FindEntry(entries, item);
    if (!e) return;
    auto m = std::find(e->mModes.begin(), e->mModes.end(), name);
    if (m == e->mModes.end()) return;
    e->mModes.erase(m);
    if (e->mModes.empty())
    {
      entries.erase(entries.begin() + (e - entries.data()));
      released = true;
      std::lock_guard<std::mutex> itemLock(item->mLock);
      auto it = std::find(item->mLoops.begin(), item->mLoops.end(), rl);
      if (it != item->mLoops.end())
      {
        item->mLoops.erase(it);
        dropped = true;
      }
    }
    rl->WakeLocked();
  }
  if (released) CFRelease(item);
  if (dropped) rl->Drop();
}

template <class Item>
Boolean ContainsItem(CFRunLoopRef rl, Item* item, CFStringRef mode)
{
  std::string name;
  if (!rl || !item || !CFRunLoopModeName(mode, &name)) return false;
  std::lock_guard<std::mutex> lock(rl->mLock);
  auto* e = FindEntry(EntriesOf(rl, item), item);
  if (!e) return false;
  if (CFRunLoopIsCommonModesName(name))
    return std::find(e->mModes.begin(), e->mModes.end(), name) != e->mModes.end();
  return CFRunLoopModesMatch(rl, e->mModes, name);
}

__CFRunLoopTimer* AsTimer(CFRunLoopTimerRef timer)
{
  return CFCastToMutable<__CFRunLoopTimer>(timer, kCFTypeIDRunLoopTimer);
}

__CFRunLoopObserver* AsObserver(CFRunLoopObserverRef observer)
{
  return CFCastToMutable<__CFRunLoopObserver>(observer, kCFTypeIDRunLoopObserver);
}

__CFRunLoop* AsLoop(CFRunLoopRef rl)
{
  return CFCastToMutable<__CFRunLoop>(rl, kCFTypeIDRunLoop);
}

// Under the loop's lock: drops the item's entry; true when there was one.
bool EraseEntryLocked(__CFRunLoop* rl, CFRunLoopItem* item)
{
  if (item->mTypeID == kCFTypeIDRunLoopTimer)
  {
    auto& v = rl->mTimers;
    auto it = std::find_if(v.begin(), v.end(), [item](const __CFRunLoop::TimerEntry& e) { return e.mItem == item; });
    if (it == v.end()) return false;
    v.erase(it);
    return true;
  }
  auto& v = rl->mObservers;
  auto it = std::find_if(v.begin(), v.end(), [item](const __CFRunLoop::ObserverEntry& e) { return e.mItem == item; });
  if (it == v.end()) return false;
  v.erase(it);
  return true;
}
}  // namespace

bool CFRunLoopModeName(CFStringRef mode, std::string* name)
{
  if (!CFRuntimeCast(mode, kCFTypeIDString)) return false;
  if (const char* p = CFStringGetCStringPtr(mode, kCFStringEncodingUTF8))
  {
    *name = p;
    return true;
  }
  const CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(mode), kCFStringEncodingUTF8) + 1;
  std::string buffer((size_t)size, '\0');
  if (!CFStringGetCString(mode, &buffer[0], size, kCFStringEncodingUTF8)) return false;
  buffer.resize(strlen(buffer.c_str()));
  *name = buffer;
  return true;
}

bool CFRunLoopIsCommonModesName(const std::string& name)
{
  return name == kCommonModesName;
}

bool CFRunLoopModesMatch(const __CFRunLoop* rl, const std::vector<std::string>& modes, const std::string& runMode)
{
  for (const std::string& m : modes)
  {
    if (m == runMode) return true;
    if (m != kCommonModesName) continue;
    if (runMode == kDefaultModeName) return true;
    const std::vector<std::string>& common = rl->mCommonModes;
    if (std::find(common.begin(), common.end(), runMode) != common.end()) return true;
  }
  return false;
}

void CFRunLoopAddCommonMode(CFRunLoopRef rl, CFStringRef mode)
{
  std::string name;
  __CFRunLoop* loop = AsLoop(rl);
  if (!loop || !CFRunLoopModeName(mode, &name) || CFRunLoopIsCommonModesName(name) || name == kDefaultModeName) return;
  std::lock_guard<std::mutex> lock(loop->mLock);
  std::vector<std::string>& common = loop->mCommonModes;
  if (std::find(common.begin(), common.end(), name) == common.end()) common.push_back(name);
  loop->WakeLocked();  // a run in that mode has new timers to look at
}

void CFRunLoopItemInvalidate(CFRunLoopItem* item)
{
  std::vector<__CFRunLoop*> loops;
  {
    std::lock_guard<std::mutex> lock(item->mLock);
    if (!item->mValid.load(std::memory_order_relaxed)) return;
    item->mValid.store(false, std::memory_order_relaxed);
    loops.swap(item->mLoops);
  }
  CFRetain(item);  // the loops' references may be the last ones
  for (__CFRunLoop* rl : loops)
  {
    bool erased;
    {
      std::lock_guard<std::mutex> lock(rl->mLock);
      erased = EraseEntryLocked(rl, item);
      rl->WakeLocked();
    }
    if (erased) CFRelease(item);
    rl->Drop();
  }
  item->ReleaseInfo();
  CFRelease(item);
}

CFTypeID CFRunLoopGetTypeID(void)
{
  return kCFTypeIDRunLoop;
}

CFRunLoopRef CFRunLoopGetCurrent(void)
{
  ThreadLoop& t = tThreadLoop;
  if (!t.mLoop) t.mLoop = IsMainThread() ? MainLoop() : new __CFRunLoop;
  return t.mLoop;
}

CFRunLoopRef CFRunLoopGetMain(void)
{
  return MainLoop();
}

void CFRunLoopAddTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFStringRef mode)
{
  AddItem(AsLoop(rl), AsTimer(timer), mode);
}

void CFRunLoopRemoveTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFStringRef mode)
{
  RemoveItem(AsLoop(rl), AsTimer(timer), mode);
}

Boolean CFRunLoopContainsTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFStringRef mode)
{
  return ContainsItem(AsLoop(rl), AsTimer(timer), mode);
}

void CFRunLoopAddObserver(CFRunLoopRef rl, CFRunLoopObserverRef observer, CFStringRef mode)
{
  AddItem(AsLoop(rl), AsObserver(observer), mode);
}

void CFRunLoopRemoveObserver(CFRunLoopRef rl, CFRunLoopObserverRef observer, CFStringRef mode)
{
  RemoveItem(AsLoop(rl), AsObserver(observer), mode);
}
