#include "base/clock.h"

#include <sched.h>
#include <time.h>

void Sleep(uint32_t ms) {
  if (ms == 0) {
    sched_yield();
    return;
  }
  timespec ts{};
  ts.tv_sec = ms / 1000;
  ts.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
  nanosleep(&ts, nullptr);
}

int64_t GetTicks() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}
