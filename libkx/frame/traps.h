#pragma once
// The ON KEY, ON STRIG and ON TIMER tables, and the dispatcher that runs
// fired traps at a statement check. Sources on other threads (the keyboard
// on the window thread, the timer thread) raise an entry's pending count and
// set kxevent; the handler runs on the application thread.
#include <atomic>
#include <cstdint>
#include <deque>

struct kxs;

// An entry's state byte.
inline constexpr uint8_t trap_off = 0;
inline constexpr uint8_t trap_on = 1;
inline constexpr uint8_t trap_stop = 2;  // events are counted but not run

struct onkey_entry {
  int32_t id = 0;  // handler id, 0 = none
  int64_t arg = 0;
  std::atomic<uint8_t> state{trap_off};
  std::atomic<uint8_t> pending{0};  // presses not yet handled
  int32_t keycode = 0;
  int32_t keycode_alternate = 0;
  uint8_t scancode = 0;
  uint8_t keyscan = 0;
  kxs* text = nullptr;  // soft-key text
};

struct onstrig_entry {
  int32_t id = 0;
  int64_t arg = 0;
  std::atomic<uint8_t> state{trap_off};
  std::atomic<uint8_t> pending{0};  // presses not yet handled
};

// Pending states of a timer entry.
inline constexpr uint8_t timer_idle = 0;
inline constexpr uint8_t timer_fired = 1;
inline constexpr uint8_t timer_running = 2;

struct ontimer_entry {
  uint8_t allocated = 0;
  int32_t id = 0;
  int64_t arg = 0;
  std::atomic<uint8_t> state{trap_off};
  std::atomic<uint8_t> pending{timer_idle};
  double seconds = 0;  // interval
  double last_time = 0;  // monotonic seconds of the last firing; 0 = not armed
};

inline constexpr int onkey_entries = 32;
inline constexpr int onstrig_entries = 65536;

extern onkey_entry onkey[onkey_entries];
extern onstrig_entry onstrig[onstrig_entries];
// Grown by ON TIMER under the timer lock; entries never move.
extern std::deque<ontimer_entry> ontimer;
extern int32_t ontimer_nextfree;
// How many ON TIMER entries are armed (ON or STOP); while none is, the
// timer thread sleeps until woken. Written by the application thread.
inline std::atomic<int32_t> ontimer_armed{0};
extern int32_t onkey_inprogress;
extern int32_t onstrig_inprogress;

// Raises a key or controller entry's pending count by one, saturating at 255
// rather than wrapping. Safe from any thread.
void trap_count_event(std::atomic<uint8_t>& pending);

// Start-up: the predefined keys of ON KEY and the default timer entry 0.
void traps_init();

// Runs fired traps: every pending key and controller trap first, then one
// sweep over the timers. Nothing runs while an error handler runs.
void events();
