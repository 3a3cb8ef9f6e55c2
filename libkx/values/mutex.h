#pragma once
// Mutex wrappers. Mutexes live until the process ends: free_mutex does
// nothing, since a thread may still be about to take one.
#include <pthread.h>

using MUTEX = pthread_mutex_t;

// Null when no mutex can be made (memory exhausted); never throws.
MUTEX* new_mutex();
void free_mutex(MUTEX* m);
// Both do nothing for a null pointer, so a list without locks needs no test.
void lock_mutex(MUTEX* m);
void unlock_mutex(MUTEX* m);

namespace kx {

// Holds a MUTEX (or nothing, for null) for a scope.
class mutex_guard {
 public:
  explicit mutex_guard(MUTEX* m) : m_(m) { lock_mutex(m_); }
  ~mutex_guard() { unlock_mutex(m_); }
  mutex_guard(const mutex_guard&) = delete;
  mutex_guard& operator=(const mutex_guard&) = delete;

 private:
  MUTEX* m_;
};

}  // namespace kx
