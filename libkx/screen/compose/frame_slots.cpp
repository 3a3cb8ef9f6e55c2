#include "screen/compose/frame_slots.h"

#include <cstdlib>

display_frame_record display_frame[display_frame_count];

void frame_slots_reset() {
  for (auto& f : display_frame) {
    std::free(f.bgra);
    f.bgra = nullptr;
    f.w = f.h = f.bytes = 0;
    f.order = 0;
    f.changed_since = 0;
    f.changed_first = 0;
    f.changed_last = -1;
    f.state = frame_state::free;
  }
  display_frame_order_next = 1;
  last_hardware_display_frame_order = 0;
}

display_frame_record* kx::newest_composed_frame(const display_frame_record* skip) {
  display_frame_record* best = nullptr;
  int64_t best_order = -1;
  for (auto& f : display_frame) {
    if (&f == skip) continue;
    const frame_state s = f.state.load(std::memory_order_acquire);
    if (s != frame_state::ready && s != frame_state::shown) continue;
    const int64_t o = f.order.load();
    if (o > best_order) {
      best_order = o;
      best = &f;
    }
  }
  return best;
}
