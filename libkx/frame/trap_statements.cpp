// ON KEY, ON STRIG and ON TIMER: the statements that set trap entries up,
// switch them and free timer handles, and the timer thread's pass.
#include <cmath>

#include "base/clock.h"
#include "base/error.h"
#include "base/flags.h"
#include "frame/threads.h"
#include "frame/traps.h"
#include "input/devices.h"

std::vector<int32_t> ontimer_freelist;

namespace {

constexpr int32_t action_on = 1;
constexpr int32_t action_off = 2;
constexpr int32_t action_stop = 3;
constexpr int32_t action_free = 4;

bool pending_error() { return new_error.load() != 0; }

template <typename Entry>
void switch_counted_entry(Entry& e, int32_t action) {
  switch (action) {
    case action_on:
      e.state = trap_on;
      if (e.pending.load()) kxevent = 1;
      break;
    case action_off:
      e.state = trap_off;
      e.pending = 0;
      break;
    case action_stop:
      e.state = trap_stop;
      if (e.pending.load()) e.pending = 1;
      break;
    default:
      break;
  }
}

// The timer thread sleeps while no entry can fire; it is told whenever that
// may have changed.
void refresh_timer_arming() {
  int32_t armed = 0;
  for (int32_t i = 0; i < ontimer_nextfree; ++i) {
    const ontimer_entry& t = ontimer[static_cast<size_t>(i)];
    if (t.allocated.load() && t.id.load() != 0 && t.state.load() != trap_off) ++armed;
  }
  ontimer_armed = armed;
  if (armed) wake_timer_thread();
}

bool valid_timer(int32_t handle) {
  return handle >= 0 && handle < ontimer_nextfree && ontimer[static_cast<size_t>(handle)].allocated.load();
}

// Maps ON STRIG / STRIG numbering to a table entry: -1 for an error, -2 for
// numbers that are ignored.
int32_t strig_entry(int32_t n, int32_t controller, int32_t controller_given) {
  if (n < 0 || n > 65535) return -1;
  if (!controller_given) {
    controller = 1;
    if (n & 2) {
      controller = 2;
      n -= 2;
    }
  } else if (controller < 1 || controller > 65535) {
    return -1;
  }
  if (n & 1) return -1;
  if (controller > 256 || n >= 1024) return -2;
  const int32_t button = n / 4 + 1;
  return (controller - 1) * 256 + (button - 1);
}

}  // namespace

void onkey_setup(int32_t n, int32_t id, int64_t argument) {
  if (pending_error()) return;
  if (n < 1 || n > 31) {
    error(err::illegal_function_call);
    return;
  }
  onkey[n].id = id;
  onkey[n].arg = argument;
  onkey[n].pending = 0;
}

void sub_key(int32_t n, int32_t action) {
  if (pending_error()) return;
  if (n < 0 || n > 31) {
    error(err::illegal_function_call);
    return;
  }
  if (n == 0) {
    for (auto& e : onkey) switch_counted_entry(e, action);
    return;
  }
  switch_counted_entry(onkey[n], action);
}

void onstrig_setup(int32_t n, int32_t controller, int32_t controller_given, int32_t id, int64_t argument) {
  if (pending_error()) return;
  const int32_t entry = strig_entry(n, controller, controller_given);
  if (entry == -1) {
    error(err::illegal_function_call);
    return;
  }
  if (entry < 0) return;
  onstrig[entry].id = id;
  onstrig[entry].arg = argument;
  onstrig[entry].pending = 0;
  if (device_last == 0) devices_init();
}

void sub_strig(int32_t n, int32_t controller, int32_t action, int32_t passed) {
  if (pending_error()) return;
  if (passed <= 0) {
    for (auto& e : onstrig) switch_counted_entry(e, action);
    return;
  }
  const int32_t entry = strig_entry(n, controller, passed > 1);
  if (entry == -1) {
    error(err::illegal_function_call);
    return;
  }
  if (entry < 0) return;
  switch_counted_entry(onstrig[entry], action);
}

int32_t func__freetimer() {
  if (pending_error()) return 0;
  int32_t handle;
  if (!ontimer_freelist.empty()) {
    handle = ontimer_freelist.back();
    ontimer_freelist.pop_back();
  } else {
    // Grow the table while the timer thread keeps off it.
    ontimerthread_lock = 1;
    wake_timer_thread();
    while (ontimerthread_lock.load() != 2 && !stop_program.load()) Sleep(0);
    try {
      while (static_cast<int32_t>(ontimer.size()) <= ontimer_nextfree) ontimer.emplace_back();
    } catch (const std::bad_alloc&) {
      error(err::out_of_memory_timers);
    }
    ontimerthread_lock = 0;
    handle = ontimer_nextfree;
    ontimer[static_cast<size_t>(handle)].pending = timer_idle;
  }
  ontimer_entry& t = ontimer[static_cast<size_t>(handle)];
  t.state = trap_off;
  t.id = 0;
  t.allocated = 1;
  if (handle == ontimer_nextfree) ++ontimer_nextfree;
  return handle;
}

void ontimer_setup(int32_t handle, double interval, int32_t id, int64_t argument) {
  if (pending_error()) return;
  if (!valid_timer(handle)) {
    error(err::illegal_function_call);
    return;
  }
  ontimer_entry& t = ontimer[static_cast<size_t>(handle)];
  uint8_t fired = timer_fired;
  t.pending.compare_exchange_strong(fired, timer_idle);  // a fired event not yet run is dropped
  t.seconds = interval;
  t.arg = argument;
  t.id = id;
  t.last_time = 0;
  refresh_timer_arming();
}

void sub_timer(int32_t handle, int32_t action, int32_t handle_given) {
  if (pending_error()) return;
  if (!handle_given) handle = 0;
  if (!valid_timer(handle)) {
    error(err::illegal_function_call);
    return;
  }
  ontimer_entry& t = ontimer[static_cast<size_t>(handle)];
  uint8_t fired = timer_fired;
  switch (action) {
    case action_on:
      t.state = trap_on;
      break;
    case action_off:
      t.state = trap_off;
      t.pending.compare_exchange_strong(fired, timer_idle);
      t.last_time = 0;
      break;
    case action_stop:
      t.state = trap_stop;
      break;
    case action_free:
      if (handle == 0) {
        error(err::illegal_function_call);
        return;
      }
      t.state = trap_off;
      t.pending.compare_exchange_strong(fired, timer_idle);
      freetimer(handle);
      break;
    default:
      break;
  }
  refresh_timer_arming();
}

void freetimer(int32_t handle) {
  ontimer_entry& t = ontimer[static_cast<size_t>(handle)];
  t.allocated = 0;
  t.id = 0;
  ontimer_freelist.push_back(handle);
}

void timer_thread_pass(double now) {
  for (int32_t i = 0; i < ontimer_nextfree && i < static_cast<int32_t>(ontimer.size()); ++i) {
    ontimer_entry& t = ontimer[static_cast<size_t>(i)];
    if (!t.allocated.load() || t.id.load() == 0 || t.state.load() == trap_off || t.pending.load() != timer_idle) {
      continue;
    }
    const double interval = t.seconds.load();
    double last = t.last_time.load();
    if (now - last > interval) {
      if (last == 0) {
        t.last_time = now;  // armed: the first event comes one interval later
      } else {
        last += interval;
        if (std::fabs(now - last) >= interval) last = now;  // fell a whole period behind
        t.last_time = last;
        t.pending = timer_fired;
        kxevent = 1;
      }
    }
    if (ontimerthread_lock.load() == 1) return;
  }
}
