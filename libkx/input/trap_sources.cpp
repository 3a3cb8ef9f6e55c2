#include "input/trap_sources.h"

#include <algorithm>
#include <mutex>

onkey_entry onkey[onkey_entries];
onstrig_entry onstrig[onstrig_entries];

void trap_count_event(std::atomic<uint8_t>& pending) {
  uint8_t count = pending.load();
  while (count < 255 && !pending.compare_exchange_weak(count, static_cast<uint8_t>(count + 1))) {
  }
}

namespace {
// Guards every entry's soft-key text; held only for a copy.
std::mutex softkey_lock;
}  // namespace

soft_key_text kx::soft_key_text_of(const onkey_entry& e) {
  if (!e.has_softkey.load()) return {};
  std::lock_guard hold(softkey_lock);
  return e.softkey;
}

void kx::set_soft_key_text(onkey_entry& e, const uint8_t* bytes, int length) {
  const int kept = std::clamp(length, 0, soft_key_text_max);
  std::lock_guard hold(softkey_lock);
  e.softkey = {};
  std::copy_n(bytes, kept, e.softkey.bytes.begin());
  e.softkey.length = static_cast<uint8_t>(kept);
  e.has_softkey = kept > 0;
}
