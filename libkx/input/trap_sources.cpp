#include "input/trap_sources.h"

onkey_entry onkey[onkey_entries];
onstrig_entry onstrig[onstrig_entries];

void trap_count_event(std::atomic<uint8_t>& pending) {
  uint8_t count = pending.load();
  while (count < 255 && !pending.compare_exchange_weak(count, static_cast<uint8_t>(count + 1))) {
  }
}
