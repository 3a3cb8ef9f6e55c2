#include "values/mutex.h"

#include <memory>
#include <mutex>
#include <vector>

namespace {

// Every mutex ever made, kept reachable and released at process exit.
struct mutex_store {
  std::mutex guard;  // new_mutex may be called from any thread
  std::vector<std::unique_ptr<MUTEX>> all;
  ~mutex_store() {
    for (auto& m : all) pthread_mutex_destroy(m.get());
  }
};

mutex_store& store() {
  static mutex_store s;
  return s;
}

}  // namespace

MUTEX* new_mutex() {
  auto m = std::make_unique<MUTEX>();  // zero-initialised, then initialised
  pthread_mutex_init(m.get(), nullptr);
  mutex_store& s = store();
  std::lock_guard hold(s.guard);
  s.all.push_back(std::move(m));
  return s.all.back().get();
}

void free_mutex(MUTEX*) {}

void lock_mutex(MUTEX* m) {
  if (m) pthread_mutex_lock(m);
}

void unlock_mutex(MUTEX* m) {
  if (m) pthread_mutex_unlock(m);
}
