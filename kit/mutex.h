#pragma once
// The system's one lock: a recursive mutex over a plain POSIX mutex.

#include <pthread.h>
#include <atomic>

class KIT_Mutex
{
public:
  KIT_Mutex() { pthread_mutex_init(&m_mutex, nullptr); }
  ~KIT_Mutex() { pthread_mutex_destroy(&m_mutex); }

  KIT_Mutex(const KIT_Mutex&) = delete;
  KIT_Mutex& operator=(const KIT_Mutex&) = delete;

  void Enter()
  {
    // Only the calling thread ever stores its own id, and it clears it before unlocking, so a
    // relaxed read can equal the caller only while the caller holds the mutex.
    const pthread_t self = pthread_self();
    if (m_ownerthread.load(std::memory_order_relaxed) == self)
    {
      ++m_lockcnt;
      return;
    }
    pthread_mutex_lock(&m_mutex);
    m_lockcnt = 0;
    m_ownerthread.store(self, std::memory_order_relaxed);
  }

  void Leave()
  {
    if (--m_lockcnt < 0)
    {
      m_ownerthread.store(kNoOwner, std::memory_order_relaxed);
      pthread_mutex_unlock(&m_mutex);
    }
  }

  // How many extra times the owner has entered; -1 when nobody holds it.
  int LockCount() const { return m_lockcnt; }

private:
  pthread_mutex_t m_mutex;
  int m_lockcnt = -1;
  // glibc thread ids are descriptor addresses, never 0, so 0 stands for "none".
  static constexpr pthread_t kNoOwner = 0;
  std::atomic<pthread_t> m_ownerthread{kNoOwner};
};

class KIT_MutexScope
{
public:
  explicit KIT_MutexScope(KIT_Mutex* mutex) : m_mutex(mutex) { if (m_mutex) m_mutex->Enter(); }
  ~KIT_MutexScope() { if (m_mutex) m_mutex->Leave(); }

  KIT_MutexScope(const KIT_MutexScope&) = delete;
  KIT_MutexScope& operator=(const KIT_MutexScope&) = delete;

private:
  KIT_Mutex* m_mutex;
};
