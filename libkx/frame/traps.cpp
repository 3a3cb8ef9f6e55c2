#include "frame/traps.h"

#include "frame/program.h"
#include "frame/statement_check.h"
#include "input/devices.h"

std::deque<ontimer_entry> ontimer;
std::atomic<int32_t> ontimer_nextfree{1};
int32_t onkey_inprogress = 0;
int32_t onstrig_inprogress = 0;

namespace {

struct predefined_key {
  int index;
  int32_t keycode;
  int32_t alternate;
};

constexpr predefined_key cursor_and_extra_keys[] = {
    {11, 0x4800, 100264},  // Up, keypad 8
    {12, 0x4B00, 100260},  // Left, keypad 4
    {13, 0x4D00, 100262},  // Right, keypad 6
    {14, 0x5000, 100258},  // Down, keypad 2
    {30, 0x8500, 0},       // F11
    {31, 0x8600, 0},       // F12
};

constexpr int max_controllers = 256;
constexpr int buttons_per_controller = 256;

void dispatch(trap_dispatch handler, int32_t id, int64_t arg) {
  if (handler) handler(id, arg);  // a program without handlers of a kind runs nothing
}

// Whether an entry may run now: it has a handler, is ON and has events.
template <typename Entry>
bool ready(const Entry& e) {
  return e.id != 0 && e.state.load() == trap_on && e.pending.load() != 0;
}

// Runs one pending controller trap; false when none was ready.
bool run_one_strig_trap() {
  if (onstrig_inprogress) return false;
  int controller = 0;
  for (int32_t d = 1; d <= device_last && controller < max_controllers; ++d) {
    if (devices[static_cast<size_t>(d)].type != device_type::controller) continue;
    for (int b = 0; b < buttons_per_controller; ++b) {
      onstrig_entry& e = onstrig[controller * buttons_per_controller + b];
      if (!ready(e)) continue;
      onstrig_inprogress = 1;
      e.pending.fetch_sub(1);
      dispatch(kx_current_program().on_strig, e.id, e.arg);
      onstrig_inprogress = 0;
      return true;
    }
    ++controller;
  }
  return false;
}

bool run_one_key_trap() {
  if (onkey_inprogress) return false;
  for (int i = 1; i < onkey_entries; ++i) {
    onkey_entry& e = onkey[i];
    if (!ready(e)) continue;
    onkey_inprogress = 1;
    e.pending.fetch_sub(1);
    dispatch(kx_current_program().on_key, e.id, e.arg);
    onkey_inprogress = 0;
    return true;
  }
  return false;
}

}  // namespace

void traps_init() {
  for (int n = 1; n <= 10; ++n) onkey[n].keycode = 0x3B00 + (n - 1) * 256;
  for (const auto& key : cursor_and_extra_keys) {
    onkey[key.index].keycode = key.keycode;
    onkey[key.index].keycode_alternate = key.alternate;
  }
  while (ontimer.size() > 1) ontimer.pop_back();
  if (ontimer.empty()) ontimer.emplace_back();
  ontimer_freelist.clear();
  ontimer[0].allocated = 1;  // the default timer; handles start at 1
  ontimer[0].state = trap_off;
  ontimer_nextfree = 1;
}

void events() {
  while (error_handling == 0 && run_one_strig_trap()) {
  }
  while (error_handling == 0 && run_one_key_trap()) {
  }
  if (error_handling) return;
  for (int32_t i = 0; i < ontimer_nextfree && i < static_cast<int32_t>(ontimer.size()); ++i) {
    ontimer_entry& t = ontimer[static_cast<size_t>(i)];
    if (!t.allocated || t.id == 0 || t.state.load() != trap_on || t.pending.load() != timer_fired) continue;
    t.pending = timer_running;
    dispatch(kx_current_program().on_timer, t.id, t.arg);
    t.pending = timer_idle;
    sleep_break = 1;
  }
}
