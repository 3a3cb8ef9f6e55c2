// The window thread's wake-up: a wake from another thread makes the
// descriptor readable until the window thread drains it, and wakes made
// before a drain collapse into one.
#include <gtest/gtest.h>
#include <poll.h>

#include <thread>

#include "base/window_wake.h"

namespace {

bool readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

TEST(WindowWake, AWakeStaysReadableUntilDrainedAndWakesCollapse) {
  const int fd = kx::window_wake_fd();
  ASSERT_GE(fd, 0);
  EXPECT_EQ(kx::window_wake_fd(), fd) << "one descriptor for the process";
  kx::drain_window_wake();
  EXPECT_FALSE(readable(fd));

  std::thread other([] {
    kx::wake_window_thread();
    kx::wake_window_thread();
  });
  other.join();
  EXPECT_TRUE(readable(fd));
  EXPECT_TRUE(readable(fd)) << "looking does not consume the wake";
  kx::drain_window_wake();
  EXPECT_FALSE(readable(fd)) << "two wakes, one drain";
  kx::drain_window_wake();  // draining an empty descriptor does not block
  EXPECT_FALSE(readable(fd));
}

}  // namespace
