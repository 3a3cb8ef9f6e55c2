#pragma once
// Microseconds of the monotonic clock: the latency programs stamp the
// events they see with it, and the benchmarks compare with their send times.
#include <ctime>

inline long long monotonic_us() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000;
}
