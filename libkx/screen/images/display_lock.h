#pragma once
// What the pages and the composer share: the lock that keeps the composer
// out while the application thread rebuilds or reallocates screen pages, and
// the requests and sequence numbers that tell it when to compose anew.
#include <atomic>
#include <cstdint>
#include <mutex>

// 0 idle, 1 requested (application thread), 2 granted (composer). While it
// is not 0 the composer composes nothing.
inline std::atomic<int32_t> lock_display{0};

// Composer: the next composition's sequence number (hardware commands are
// stamped with it).
inline std::atomic<int64_t> display_frame_order_next{1};
// _FULLSCREEN and the full-screen key (application and window threads):
// the next composition makes a frame even if nothing changed.
inline std::atomic<int32_t> force_display_update{0};
// SCREEN clears it (application thread) to force a full recomposition; the
// composer sets it.
inline std::atomic<int32_t> screen_last_valid{0};

namespace kx {

// Serialises compositions: the main-loop thread's and those of _DISPLAY
// while automatic display is off.
std::mutex& composer_mutex();

// The composer's side of the handshake, on entry to and exit from a
// composition: grants a pending request. True while the lock is held.
bool display_lock_answer();

// Held while pages are rebuilt. With automatic display on (and the lock
// required) it asks the main-loop thread and waits for its answer; it also
// takes the composer's mutex, so no composition is in flight. Waits end
// with the application thread parked when the process is stopping.
class display_lock {
 public:
  display_lock();
  ~display_lock();
  display_lock(const display_lock&) = delete;
  display_lock& operator=(const display_lock&) = delete;

 private:
  bool requested_ = false;
  std::unique_lock<std::mutex> composing_;
};

}  // namespace kx
