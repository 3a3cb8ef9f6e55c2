#include "values/mutex.h"

#include <mutex>
#include <new>

namespace {

struct mutex_node {
  MUTEX m;
  mutex_node* next;
};

// Every mutex ever made, kept reachable and released at process exit. A
// linked list of nodes: making a mutex never throws, and running out of
// memory gives a null pointer for the caller to report.
struct mutex_store {
  std::mutex guard;  // new_mutex may be called from any thread
  mutex_node* all = nullptr;
  ~mutex_store() {
    while (all) {
      mutex_node* n = all;
      all = n->next;
      pthread_mutex_destroy(&n->m);
      delete n;
    }
  }
};

mutex_store& store() {
  static mutex_store s;
  return s;
}

}  // namespace

MUTEX* new_mutex() {
  auto* n = new (std::nothrow) mutex_node{};  // zero-initialised, then initialised
  if (!n) return nullptr;
  if (pthread_mutex_init(&n->m, nullptr) != 0) {
    delete n;
    return nullptr;
  }
  mutex_store& s = store();
  std::lock_guard hold(s.guard);
  n->next = s.all;
  s.all = n;
  return &n->m;
}

void free_mutex(MUTEX*) {}

void lock_mutex(MUTEX* m) {
  if (m) pthread_mutex_lock(m);
}

void unlock_mutex(MUTEX* m) {
  if (m) pthread_mutex_unlock(m);
}
