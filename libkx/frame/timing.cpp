#include "frame/timing.h"

#include <cmath>

#include "base/clock.h"
#include "base/error.h"
#include "base/flags.h"
#include "frame/shutdown.h"
#include "frame/statement_check.h"
#include "values/rounding.h"

namespace {

constexpr int64_t ms_per_day = 86'400'000;
constexpr double bios_ticks_per_second = 18.2;
// No wait sleeps longer than this between statement checks.
constexpr int64_t wait_slice_ms = 9;
// A _LIMIT pass later than this restarts the cadence instead of catching up.
constexpr double limit_catch_up_ms = 32;
constexpr double max_limit_period_ms = 60'000;
constexpr double max_delay_seconds = 2'147'483.647;
constexpr double max_fps_value = 200;

kx::wait_clock wait_time{GetTicks, Sleep};
double limit_prev_ms = 0;  // 0 = _LIMIT not called yet

void wait_check() { evnt(0, 0, nullptr); }

}  // namespace

void kx::set_wait_clock(const wait_clock& c) { wait_time = c; }
void kx::reset_wait_clock() { wait_time = {GetTicks, Sleep}; }
void kx::limit_reset() { limit_prev_ms = 0; }

double kx::timer_value(int64_t now_ms, int64_t first_ticks_ms, uint32_t midnight_offset_ms, double accuracy,
                       bool accuracy_given) {
  int64_t t = (now_ms - first_ticks_ms + midnight_offset_ms) % ms_per_day;
  if (t < 0) t += ms_per_day;
  const double d = static_cast<double>(t) / 1000.0;
  const double q = accuracy_given ? 1.0 / accuracy : bios_ticks_per_second;
  const double value = static_cast<double>(kxr(d * q)) / q;
  return accuracy_given ? value : static_cast<double>(static_cast<float>(value));
}

double func_timer(double accuracy, int32_t accuracy_given) {
  if (new_error.load()) return 0;
  if (accuracy_given && accuracy <= 0) {
    error(err::illegal_function_call);
    return 0;
  }
  return kx::timer_value(wait_time.now_ms(), clock_firsttimervalue.load(), tarn_firsttimervalue.load(), accuracy,
                         accuracy_given != 0);
}

void sub_sleep(int32_t seconds, int32_t) {
  if (new_error.load()) return;
  sleep_break = 0;
  const int64_t start = wait_time.now_ms();
  const int64_t span = 1000 * static_cast<int64_t>(seconds);
  for (;;) {
    wait_check();
    if (sleep_break.load() || stop_program.load()) return;
    if (span <= 0) {
      wait_time.sleep_ms(wait_slice_ms);
      continue;
    }
    const int64_t now = wait_time.now_ms();
    if (now < start) return;
    const int64_t elapsed = now - start;
    if (elapsed >= span) return;
    const int64_t remaining = std::max<int64_t>(1, span - elapsed);
    if (remaining <= wait_slice_ms) {
      wait_time.sleep_ms(static_cast<uint32_t>(remaining));
      return;
    }
    wait_time.sleep_ms(wait_slice_ms);
  }
}

void sub__delay(double seconds) {
  int64_t start = wait_time.now_ms();
  if (new_error.load()) return;
  if (seconds < 0 || seconds > max_delay_seconds) {
    error(err::illegal_function_call);
    return;
  }
  const double span = 1000.0 * seconds;
  int64_t previous = start;
  for (;;) {
    const int64_t now = wait_time.now_ms();
    if (now < start) start = now - (previous - start);  // the clock stepped back
    previous = now;
    const double elapsed = static_cast<double>(now - start);
    if (elapsed >= span) return;
    const int64_t remaining = std::max<int64_t>(1, static_cast<int64_t>(span - elapsed));
    if (remaining <= wait_slice_ms) {
      wait_time.sleep_ms(static_cast<uint32_t>(remaining));
      return;
    }
    wait_time.sleep_ms(wait_slice_ms);
    wait_check();
    if (stop_program.load()) return;
  }
}

void sub__limit(double rate) {
  if (new_error.load()) return;
  if (!(rate > 0)) {
    error(err::illegal_function_call);
    return;
  }
  // The period is kept as a fraction: 60 passes a second are 16 2/3 ms apart.
  const double period = 1000.0 / rate;
  if (period > max_limit_period_ms) {
    error(err::illegal_function_call);
    return;
  }
  for (;;) {
    const double now = static_cast<double>(wait_time.now_ms());
    if (limit_prev_ms == 0 || limit_prev_ms > now) {
      limit_prev_ms = now;
      return;
    }
    const double elapsed = now - limit_prev_ms;
    if (elapsed >= period) {
      limit_prev_ms = elapsed <= period + limit_catch_up_ms ? limit_prev_ms + period : now;
      return;
    }
    const auto wait = std::max<int64_t>(1, static_cast<int64_t>(period - elapsed));
    if (wait > wait_slice_ms) {
      wait_time.sleep_ms(wait_slice_ms);
      wait_check();
      if (stop_program.load()) return;
    } else {
      wait_time.sleep_ms(static_cast<uint32_t>(wait));
    }
  }
}

void sub__fps(double value, int32_t kind) {
  if (new_error.load()) return;
  if (kind != 1 && kind != 2) {
    error(err::illegal_function_call);
    return;
  }
  if (kind == 1) {
    auto_fps = 1;
    return;
  }
  if (!(value >= 1)) {
    error(err::illegal_function_call);
    return;
  }
  max_fps = std::min(value, max_fps_value);
  auto_fps = 0;
}
