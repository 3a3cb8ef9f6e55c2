#include "input/devices.h"

std::array<device_record, device_table_size> devices;
int32_t device_last = 0;

namespace {
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
}  // namespace

void devices_init() {
  device_last = 0;
  add_device(device_type::keyboard, "[KEYBOARD][BUTTON]", "Keyboard", 512, 0, 0);
  add_device(device_type::mouse, "[MOUSE][BUTTON][AXIS][WHEEL]", "Mouse", 3, 2, 3);
}
