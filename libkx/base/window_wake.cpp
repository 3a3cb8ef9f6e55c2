#include "base/window_wake.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace {

// Made once, on first use from whichever thread comes first; it lives as
// long as the process.
int wake_descriptor() {
  static const int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  return fd;
}

}  // namespace

int kx::window_wake_fd() { return wake_descriptor(); }

void kx::wake_window_thread() {
  const int fd = wake_descriptor();
  if (fd < 0) return;
  const uint64_t one = 1;
  // A full counter already means "wake up": a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = write(fd, &one, sizeof one);
}

void kx::drain_window_wake() {
  const int fd = wake_descriptor();
  if (fd < 0) return;
  uint64_t count = 0;
  [[maybe_unused]] const ssize_t got = read(fd, &count, sizeof count);
}
