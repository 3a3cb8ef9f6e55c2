// STICK and STRIG: the axes and buttons of game controllers (type 1
// devices), read from their newest snapshots.
#include <cmath>

#include "base/error.h"
#include "input/devices.h"
#include "values/rounding.h"

namespace {

constexpr int32_t centred = 128;

// The number-th controller (0-based), or null. Caller holds the device lock.
device_record* controller(int32_t number) {
  for (int32_t i = 1; i <= device_last; ++i) {
    device_record& d = devices[static_cast<size_t>(i)];
    if (d.type != device_type::controller) continue;
    if (number-- == 0) return &d;
  }
  return nullptr;
}

bool in_range(int32_t v, int32_t low, int32_t high) { return v >= low && v <= high; }

}  // namespace

int32_t func_stick(int32_t n, int32_t s, int32_t given) {
  if (new_error.load()) return 0;
  if (!given) s = 1;
  if (!in_range(s, 1, 65535) || !in_range(n, 0, 65535)) {
    error(err::illegal_function_call);
    return 0;
  }
  std::lock_guard guard(kx::device_lock());
  const device_record* d = controller(n / 2);
  const int32_t axis = 2 * (s - 1) + (n & 1) + 1;
  if (!d || axis > d->lastaxis) return centred;
  float v = getDeviceEventAxisValue(*d, kx::device_snapshot(*d, d->queued_events - 1), axis);
  if (std::fabs(v) <= 0.01f) v = 0;
  int64_t r = kxr(127.0L * v) + 127;
  if (r < 1) r = 1;
  if (r > 254) r = 254;
  return static_cast<int32_t>(r);
}

int32_t func_strig(int32_t n, int32_t s, int32_t given) {
  if (new_error.load()) return 0;
  if (!in_range(n, 0, 65535)) {
    error(err::illegal_function_call);
    return 0;
  }
  if (!given) {
    s = 1;
    if (n & 2) {
      s = 2;
      n -= 2;
    }
  } else if (!in_range(s, 1, 65535)) {
    error(err::illegal_function_call);
    return 0;
  }
  std::lock_guard guard(kx::device_lock());
  device_record* d = controller(s - 1);
  const int32_t button = n / 4 + 1;
  if (!d || button > d->lastbutton) return 0;
  if (n & 1) return getDeviceEventButtonValue(*d, kx::device_snapshot(*d, d->queued_events - 1), button) ? -1 : 0;
  if (button > 256) return 0;
  uint8_t& pressed = d->STRIG_button_pressed[static_cast<size_t>(button - 1)];
  if (!pressed) return 0;
  pressed = 0;
  return -1;
}
