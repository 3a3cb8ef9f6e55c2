// The program's view of the device list: which devices exist, taking their
// events one at a time, and reading the selected device's snapshots.
#include <cstring>

#include "base/error.h"
#include "input/devices.h"
#include "values/string_results.h"

namespace {

bool device_number_ok(int32_t d) { return d >= 1 && d <= device_last; }

// Device d when given, else the selected device; raises 5 and gives 0 when
// there is no such device.
int32_t device_argument(int32_t d, int32_t given) {
  const int32_t number = given ? d : device_selected;
  if (!device_number_ok(number)) {
    error(err::illegal_function_call);
    return 0;
  }
  return number;
}

// Shifts the snapshots of d down by one: the current becomes the previous
// and the oldest pending becomes current. Caller holds the device lock.
void take_event(device_record& d) {
  const size_t size = static_cast<size_t>(d.event_size);
  std::memmove(d.events.data(), d.events.data() + size, size * static_cast<size_t>(d.queued_events - 1));
  --d.queued_events;
}

// Reads a value of the selected device's snapshot through read(record):
// 0 with error 5 when there is no selected device or n is out of range.
template <typename Read>
auto read_selected(int32_t n, int32_t given, int32_t device_record::*count, Read&& read) -> decltype(read(devices[0], 1)) {
  if (new_error.load()) return {};
  if (!given) n = 1;
  if (!device_number_ok(device_selected)) {
    error(err::illegal_function_call);
    return {};
  }
  std::lock_guard guard(kx::device_lock());
  const device_record& d = devices[static_cast<size_t>(device_selected)];
  if (n < 1 || n > d.*count) {
    error(err::illegal_function_call);
    return {};
  }
  return read(d, n);
}

int32_t device_count(int32_t d, int32_t given, int32_t device_record::*count) {
  if (new_error.load()) return 0;
  const int32_t number = device_argument(d, given);
  return number ? devices[static_cast<size_t>(number)].*count : 0;
}

}  // namespace

int32_t func__devices() { return device_last; }

kxs* func__device(int32_t d, int32_t given) {
  if (new_error.load()) return kx::empty_result();
  const int32_t number = device_argument(d, given);
  if (!number) return kx::empty_result();
  const std::string& text = devices[static_cast<size_t>(number)].description;
  return kx::text_result(text.data(), text.size());
}

int32_t func__deviceinput(int32_t d, int32_t given) {
  if (new_error.load()) return 0;
  std::lock_guard guard(kx::device_lock());
  int32_t chosen = 0;
  if (given) {
    if (!device_number_ok(d)) {
      error(err::illegal_function_call);
      return 0;
    }
    chosen = d;
  } else {
    int64_t oldest = 0;
    for (int32_t i = 1; i <= device_last; ++i) {
      device_record& r = devices[static_cast<size_t>(i)];
      if (r.queued_events <= 2) continue;
      const int64_t number = getDeviceEventNumber(r, kx::device_snapshot(r, 2));
      if (!chosen || number < oldest) {
        chosen = i;
        oldest = number;
      }
    }
    if (!chosen) return 0;
  }
  device_selected = chosen;
  device_record& r = devices[static_cast<size_t>(chosen)];
  if (r.queued_events <= 2) return 0;
  take_event(r);
  return given ? -1 : chosen;
}

int32_t func__button(int32_t n, int32_t given) {
  return read_selected(n, given, &device_record::lastbutton, [](const device_record& d, int32_t b) {
    return getDeviceEventButtonValue(d, kx::device_snapshot(d, 1), b) ? -1 : 0;
  });
}

int32_t func__buttonchange(int32_t n, int32_t given) {
  return read_selected(n, given, &device_record::lastbutton, [](const device_record& d, int32_t b) {
    const bool before = getDeviceEventButtonValue(d, kx::device_snapshot(d, 0), b) != 0;
    const bool now = getDeviceEventButtonValue(d, kx::device_snapshot(d, 1), b) != 0;
    if (!before && now) return -1;
    if (before && !now) return 1;
    return 0;
  });
}

float func__axis(int32_t n, int32_t given) {
  return read_selected(n, given, &device_record::lastaxis, [](const device_record& d, int32_t a) {
    return getDeviceEventAxisValue(d, kx::device_snapshot(d, 1), a);
  });
}

float func__wheel(int32_t n, int32_t given) {
  return read_selected(n, given, &device_record::lastwheel, [](const device_record& d, int32_t w) {
    return getDeviceEventWheelValue(d, kx::device_snapshot(d, 1), w);
  });
}

int32_t func__lastbutton(int32_t d, int32_t given) { return device_count(d, given, &device_record::lastbutton); }
int32_t func__lastaxis(int32_t d, int32_t given) { return device_count(d, given, &device_record::lastaxis); }
int32_t func__lastwheel(int32_t d, int32_t given) { return device_count(d, given, &device_record::lastwheel); }
