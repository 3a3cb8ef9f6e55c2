#pragma once
// The input device list: the keyboard, the mouse and any controllers, each
// with its event snapshots. Entry 0 is never used.
#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct kxs;

enum class device_type : int32_t { none = 0, controller = 1, keyboard = 2, mouse = 3 };

struct device_record {
  int32_t used = 0;
  device_type type = device_type::none;
  std::string description;  // capability string, e.g. "[MOUSE][BUTTON][AXIS][WHEEL]"
  int32_t connected = 0;
  int32_t lastbutton = 0;
  int32_t lastaxis = 0;
  int32_t lastwheel = 0;
  int32_t max_events = 0;     // snapshots allocated
  int32_t queued_events = 0;  // snapshots held, at least 2 (previous and current)
  std::vector<uint8_t> events;
  int32_t event_size = 0;  // bytes per snapshot
  std::array<uint8_t, 256> STRIG_button_pressed{};
  std::string name;
};

inline constexpr int32_t device_table_size = 1001;

// The list is built at start-up. Snapshots are added on the window thread
// and taken on the application thread, both under kx::device_lock(); the
// other fields do not change after start-up.
extern std::array<device_record, device_table_size> devices;
extern int32_t device_last;
// The global event counter that orders the snapshots of all devices.
extern int64_t device_event_index;
// The device the reading functions look at, 0 = none (application thread).
extern int32_t device_selected;

// Snapshots beyond this many are not kept: the oldest goes.
inline constexpr int32_t device_event_limit = 1024;

// Bytes per snapshot: one float per axis and wheel, a byte per button and
// an 8-byte event number, rounded up to a multiple of 8.
constexpr int32_t device_snapshot_size(int32_t buttons, int32_t axes, int32_t wheels) {
  const int32_t raw = axes * 4 + wheels * 4 + buttons + 8;
  return (raw + 7) / 8 * 8;
}

// Start-up: device 1 is the keyboard, device 2 the mouse.
void devices_init();

// Adding a snapshot (caller holds kx::device_lock()): createDeviceEvent
// makes room and returns a copy of the newest snapshot with the next event
// number; the caller changes its values, and commitDeviceEvent queues it.
uint8_t* createDeviceEvent(device_record& d);
void commitDeviceEvent(device_record& d);
// Values of one snapshot; numbers are 1-based, out-of-range ones ignored.
void setDeviceEventButtonValue(const device_record& d, uint8_t* event, int32_t button, uint8_t value);
void setDeviceEventAxisValue(const device_record& d, uint8_t* event, int32_t axis, float value);
void setDeviceEventWheelValue(const device_record& d, uint8_t* event, int32_t wheel, float value);
uint8_t getDeviceEventButtonValue(const device_record& d, const uint8_t* event, int32_t button);
float getDeviceEventAxisValue(const device_record& d, const uint8_t* event, int32_t axis);
float getDeviceEventWheelValue(const device_record& d, const uint8_t* event, int32_t wheel);
int64_t getDeviceEventNumber(const device_record& d, const uint8_t* event);

namespace kx {

std::mutex& device_lock();

// Snapshot i of device d (0 previous, 1 current, 2 and up pending).
inline uint8_t* device_snapshot(device_record& d, int32_t i) {
  return d.events.data() + static_cast<size_t>(i) * static_cast<size_t>(d.event_size);
}
inline const uint8_t* device_snapshot(const device_record& d, int32_t i) {
  return d.events.data() + static_cast<size_t>(i) * static_cast<size_t>(d.event_size);
}

// Adds one snapshot to device number d, changed by change(record, event).
template <typename Change>
void add_device_event(int32_t d, Change&& change) {
  std::lock_guard guard(device_lock());
  if (d < 1 || d > device_last || !devices[static_cast<size_t>(d)].used) return;
  device_record& record = devices[static_cast<size_t>(d)];
  uint8_t* event = createDeviceEvent(record);
  change(record, event);
  commitDeviceEvent(record);
}

}  // namespace kx

// _DEVICES, _DEVICE$, _DEVICEINPUT and the readers of the selected device.
int32_t func__devices();
kxs* func__device(int32_t d, int32_t given);
int32_t func__deviceinput(int32_t d, int32_t given);
int32_t func__button(int32_t n, int32_t given);
int32_t func__buttonchange(int32_t n, int32_t given);
float func__axis(int32_t n, int32_t given);
float func__wheel(int32_t n, int32_t given);
int32_t func__lastbutton(int32_t d, int32_t given);
int32_t func__lastaxis(int32_t d, int32_t given);
int32_t func__lastwheel(int32_t d, int32_t given);

// STICK(n [, s]) and STRIG(n [, s]): game controllers (type 1 devices).
int32_t func_stick(int32_t n, int32_t s, int32_t given);
int32_t func_strig(int32_t n, int32_t s, int32_t given);
