#pragma once
// The input device list: the keyboard, the mouse and any controllers, each
// with its event snapshots. Entry 0 is never used.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

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

// Touched by the application thread only.
extern std::array<device_record, device_table_size> devices;
extern int32_t device_last;

// Bytes per snapshot: one float per axis and wheel, a byte per button and
// an 8-byte event number, rounded up to a multiple of 8.
constexpr int32_t device_snapshot_size(int32_t buttons, int32_t axes, int32_t wheels) {
  const int32_t raw = axes * 4 + wheels * 4 + buttons + 8;
  return (raw + 7) / 8 * 8;
}

// Start-up: device 1 is the keyboard, device 2 the mouse.
void devices_init();
