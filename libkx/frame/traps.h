#pragma once
// The ON KEY, ON STRIG and ON TIMER tables, and the dispatcher that runs
// fired traps at a statement check. Sources on other threads (the keyboard
// on the window thread, the timer thread) raise an entry's pending count and
// set kxevent; the handler runs on the application thread.
#include <atomic>
#include <cstdint>
#include <deque>
#include <vector>

#include "input/trap_sources.h"

// Pending states of a timer entry.
inline constexpr uint8_t timer_idle = 0;
inline constexpr uint8_t timer_fired = 1;
inline constexpr uint8_t timer_running = 2;

// The timer thread reads every field and writes pending (0 -> 1) and
// last_time; the program thread sets entries up.
struct ontimer_entry {
  std::atomic<uint8_t> allocated{0};
  std::atomic<int32_t> id{0};
  int64_t arg = 0;
  std::atomic<uint8_t> state{trap_off};
  std::atomic<uint8_t> pending{timer_idle};
  std::atomic<double> seconds{0};    // interval
  std::atomic<double> last_time{0};  // monotonic seconds of the last firing; 0 = not armed
};

// Grown by ON TIMER under the timer lock; entries never move.
extern std::deque<ontimer_entry> ontimer;
// One past the highest timer handle issued; the timer thread reads it.
extern std::atomic<int32_t> ontimer_nextfree;
// How many ON TIMER entries are armed (ON or STOP); while none is, the
// timer thread sleeps until woken. Written by the application thread.
inline std::atomic<int32_t> ontimer_armed{0};
extern int32_t onkey_inprogress;
extern int32_t onstrig_inprogress;

// The ON TIMER table's growth handshake: 0 the timer thread may scan, 1 the
// program thread asks it to keep off, 2 it has acknowledged and keeps off.
inline std::atomic<int32_t> ontimerthread_lock{0};
// Free timer handles, most recently freed last.
extern std::vector<int32_t> ontimer_freelist;

// Start-up: the predefined keys of ON KEY and the default timer entry 0.
void traps_init();

// ON KEY(n) GOSUB: n 1-31; sets the handler and clears pending events.
void onkey_setup(int32_t n, int32_t id, int64_t argument);
// KEY(n) ON (1), OFF (2), STOP (3); n 0 means every entry.
void sub_key(int32_t n, int32_t action);
// ON STRIG(n[, controller]) GOSUB.
void onstrig_setup(int32_t n, int32_t controller, int32_t controller_given, int32_t id, int64_t argument);
// STRIG(n[, controller]) ON / OFF / STOP; without n every entry.
void sub_strig(int32_t n, int32_t controller, int32_t action, int32_t passed);
// _FREETIMER: a new timer handle.
int32_t func__freetimer();
// ON TIMER([handle,] interval) GOSUB; the default timer is handle 0.
void ontimer_setup(int32_t handle, double interval, int32_t id, int64_t argument);
// TIMER[(handle)] ON (1), OFF (2), STOP (3), FREE (4).
void sub_timer(int32_t handle, int32_t action, int32_t handle_given);
// Releases a timer handle for reuse.
void freetimer(int32_t handle);

// One pass of the timer thread over the table at monotonic time now_s.
void timer_thread_pass(double now_s);

// Runs fired traps: every pending key and controller trap first, then one
// sweep over the timers. Nothing runs while an error handler runs.
void events();
