#include "screen/compose/alt_enter_cycle.h"

#include <cstdint>

#include "screen/compose/frame_slots.h"
#include "screen/compose/presentation_state.h"

namespace {

constexpr int32_t cycle_states = 5;  // 0 windowed; 1-4 modes 1 and 2, unsmoothed then smoothed

constexpr int32_t mode_of(int32_t s) { return s == 0 ? 0 : (s + 1) / 2; }
constexpr bool smoothed(int32_t s) { return s != 0 && s % 2 == 0; }

bool accepted(int32_t s) {
  if (s == 0) return true;
  const int32_t allowed_mode = fullscreen_allowed_mode.load();
  if (!(allowed_mode < 1 || allowed_mode == mode_of(s))) return false;
  const int32_t allowed_smooth = fullscreen_allowed_smooth.load();
  if (allowed_smooth == 1 && !smoothed(s)) return false;
  if (allowed_smooth == -1 && smoothed(s)) return false;
  return true;
}

}  // namespace

bool kx::cycle_full_screen() {
  if (fullscreen_allowed_mode.load() < 0) return false;
  const int32_t pending = full_screen_set.load();
  const int32_t mode = pending != -1 ? pending : full_screen.load();
  int32_t s = mode == 0 ? 0 : (mode - 1) * 2 + 1 + (fullscreen_smooth.load() ? 1 : 0);
  // State 0 is always accepted, so the walk ends within one round.
  for (int32_t step = 0; step < cycle_states; ++step) {
    s = (s + 1) % cycle_states;
    fullscreen_smooth = smoothed(s) ? 1 : 0;
    if (accepted(s)) break;
  }
  const int32_t wanted = mode_of(s);
  // The mode already in force needs no request, and any other pending one
  // is withdrawn.
  full_screen_set = wanted != full_screen.load() ? wanted : -1;
  force_display_update = 1;
  return true;
}
