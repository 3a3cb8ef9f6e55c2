#include "input/devices.h"

#include <cstring>

std::array<device_record, device_table_size> devices;
int32_t device_last = 0;
int64_t device_event_index = 0;
int32_t device_selected = 0;

namespace {

std::mutex lock;

void add_device(device_type type, const char* description, const char* name, int32_t buttons,
                int32_t axes, int32_t wheels) {
  device_record& d = devices[static_cast<size_t>(++device_last)];
  d = device_record{};
  d.used = 1;
  d.type = type;
  d.description = description;
  d.connected = 1;
  d.lastbutton = buttons;
  d.lastaxis = axes;
  d.lastwheel = wheels;
  d.event_size = device_snapshot_size(buttons, axes, wheels);
  d.max_events = 2;
  d.queued_events = 2;
  d.events.assign(static_cast<size_t>(d.event_size) * 2, 0);
  d.name = name;
}

// Offsets inside a snapshot: the axes, then the wheels, then the buttons.
size_t axis_offset(const device_record&, int32_t axis) { return static_cast<size_t>(axis - 1) * 4; }
size_t wheel_offset(const device_record& d, int32_t wheel) {
  return static_cast<size_t>(d.lastaxis + wheel - 1) * 4;
}
size_t button_offset(const device_record& d, int32_t button) {
  return static_cast<size_t>(d.lastaxis + d.lastwheel) * 4 + static_cast<size_t>(button - 1);
}
size_t number_offset(const device_record& d) { return static_cast<size_t>(d.event_size) - 8; }

}  // namespace

std::mutex& kx::device_lock() { return lock; }

void devices_init() {
  std::lock_guard guard(lock);
  device_last = 0;
  device_event_index = 0;
  device_selected = 0;
  add_device(device_type::keyboard, "[KEYBOARD][BUTTON]", "Keyboard", 512, 0, 0);
  add_device(device_type::mouse, "[MOUSE][BUTTON][AXIS][WHEEL]", "Mouse", 3, 2, 3);
}

uint8_t* createDeviceEvent(device_record& d) {
  const size_t size = static_cast<size_t>(d.event_size);
  if (d.queued_events == d.max_events) {
    if (d.max_events < device_event_limit) {
      d.max_events *= 2;
      d.events.resize(static_cast<size_t>(d.max_events) * size);
    } else {
      // Full: every snapshot moves down one place and the oldest is gone.
      std::memmove(d.events.data(), d.events.data() + size, size * static_cast<size_t>(d.queued_events - 1));
      --d.queued_events;
    }
  }
  uint8_t* event = kx::device_snapshot(d, d.queued_events);
  std::memcpy(event, kx::device_snapshot(d, d.queued_events - 1), size);
  const int64_t number = ++device_event_index;
  std::memcpy(event + number_offset(d), &number, 8);
  return event;
}

void commitDeviceEvent(device_record& d) { ++d.queued_events; }

void setDeviceEventButtonValue(const device_record& d, uint8_t* event, int32_t button, uint8_t value) {
  if (button >= 1 && button <= d.lastbutton) event[button_offset(d, button)] = value;
}
void setDeviceEventAxisValue(const device_record& d, uint8_t* event, int32_t axis, float value) {
  if (axis >= 1 && axis <= d.lastaxis) std::memcpy(event + axis_offset(d, axis), &value, 4);
}
void setDeviceEventWheelValue(const device_record& d, uint8_t* event, int32_t wheel, float value) {
  if (wheel >= 1 && wheel <= d.lastwheel) std::memcpy(event + wheel_offset(d, wheel), &value, 4);
}
uint8_t getDeviceEventButtonValue(const device_record& d, const uint8_t* event, int32_t button) {
  return button >= 1 && button <= d.lastbutton ? event[button_offset(d, button)] : 0;
}
float getDeviceEventAxisValue(const device_record& d, const uint8_t* event, int32_t axis) {
  float v = 0;
  if (axis >= 1 && axis <= d.lastaxis) std::memcpy(&v, event + axis_offset(d, axis), 4);
  return v;
}
float getDeviceEventWheelValue(const device_record& d, const uint8_t* event, int32_t wheel) {
  float v = 0;
  if (wheel >= 1 && wheel <= d.lastwheel) std::memcpy(&v, event + wheel_offset(d, wheel), 4);
  return v;
}
int64_t getDeviceEventNumber(const device_record& d, const uint8_t* event) {
  int64_t n = 0;
  std::memcpy(&n, event + number_offset(d), 8);
  return n;
}
