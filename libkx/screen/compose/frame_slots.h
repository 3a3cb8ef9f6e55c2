#pragma once
// The three frames handed from the composer (main-loop thread) to the
// renderer (window thread). Each side moves a frame only out of the states
// it owns: the composer 1 -> 2, 2 -> 3, 2 -> 1 and 3 -> 2 (taking back the
// oldest unshown frame); the renderer 3 -> 4 and 3 or 4 -> 1. Pixels are
// written only in state 2, and the state's release store publishes them.
#include <atomic>
#include <cstdint>

#include "screen/images/display_lock.h"

enum class frame_state : int32_t { free = 1, composing = 2, ready = 3, shown = 4 };

struct display_frame_record {
  std::atomic<frame_state> state{frame_state::free};
  std::atomic<int64_t> order{0};
  uint32_t* bgra = nullptr;  // 0xAARRGGBB, rows top first
  int32_t w = 0;
  int32_t h = 0;
  int64_t bytes = 0;  // allocated size of bgra; buffers only grow (64 bits: a
                      // 65535 x 65535 page needs more than 2^31 bytes)
  // Written with the pixels: the composition this frame was measured
  // against (0: none), and the pixel rows, inclusive, outside which the two
  // are the same. A renderer whose texture holds that composition uploads
  // only the band.
  int64_t changed_since = 0;
  int32_t changed_first = 0, changed_last = -1;
};

inline constexpr int display_frame_count = 3;
extern display_frame_record display_frame[display_frame_count];

// Composer: the sequence number of the latest composition, skipped or not.
inline std::atomic<int64_t> last_hardware_display_frame_order{0};
// Composer: set after every call of display().
inline std::atomic<int32_t> display_called{0};

// Start-up: all three frames free with order 0, no buffers.
void frame_slots_reset();

namespace kx {
// The frame with the highest order among those in state 3 or 4 other than
// skip, or null.
display_frame_record* newest_composed_frame(const display_frame_record* skip = nullptr);
}  // namespace kx
