#pragma once
// The runtime's memory, strings and screen started once, without a window
// or main loop, for benchmarks that drive the screen layer directly.
#include "base/flags.h"
#include "screen/screen_startup.h"
#include "values/memory_startup.h"
#include "values/string_startup.h"

namespace bench {

inline void start_screen() {
  static bool started = false;
  if (started) return;
  started = true;
  lock_display_required = 0;
  mem_init();
  kxs_init();
  screen_start_without_window();
}

}  // namespace bench
