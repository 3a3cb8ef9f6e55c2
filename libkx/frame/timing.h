#pragma once
// TIMER and the waiting statements SLEEP, _DELAY and _LIMIT, and _FPS. The
// waits run the statement check at least every 9-10 ms, so traps run and
// shutdown is noticed while they wait.
#include <cstdint>

// TIMER and TIMER(accuracy): seconds since local midnight, counted on the
// monotonic clock from the start-up time base, in steps of 1/18.2 s (single
// precision) or of the accuracy given.
double func_timer(double accuracy, int32_t accuracy_given);

// SLEEP [seconds]: waits that long, or until a key or a timer event; 0 or
// less (or nothing) waits for a key or a timer event only.
void sub_sleep(int32_t seconds, int32_t passed);

// _DELAY seconds: waits that long; keys and timer events do not end it.
void sub__delay(double seconds);

// _LIMIT rate: holds a loop to rate passes a second.
void sub__limit(double rate);

// _FPS value (kind 2) or _FPS _AUTO (kind 1).
void sub__fps(double value, int32_t kind);
inline int32_t auto_fps = 0;

namespace kx {

// The clock the waits read and sleep on; tests put their own in place.
struct wait_clock {
  int64_t (*now_ms)();
  void (*sleep_ms)(uint32_t);
};
void set_wait_clock(const wait_clock& clock);
void reset_wait_clock();

// TIMER's value at monotonic time now_ms.
double timer_value(int64_t now_ms, int64_t first_ticks_ms, uint32_t midnight_offset_ms, double accuracy,
                   bool accuracy_given);

// Forgets _LIMIT's cadence (tests, and RUN).
void limit_reset();

}  // namespace kx
