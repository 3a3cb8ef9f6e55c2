#include "files/console_switches.h"

#include "base/error.h"
#include "base/flags.h"
#include "base/window_wake.h"

namespace {
// A build option of the compiled program, off in this one.
constexpr bool has_console = false;
// Application thread: the console output is active (only with a console).
int32_t console_active = 0;
}  // namespace

int32_t func__console() {
  if (new_error) return -1;
  return 0;  // no console image
}

void sub__console(int32_t on) {
  if (new_error) return;
  if (has_console) console_active = on ? 1 : 0;
}

void sub__screenshow() {
  if (new_error) return;
  screen_hide = 0;
  // The window thread creates the window once this is set, or shows it
  // again when it exists.
  create_window = 1;
  kx::wake_window_thread();
}

void sub__screenhide() {
  if (new_error) return;
  screen_hide = 1;
  kx::wake_window_thread();
}

int32_t func__screenhide() { return screen_hide.load() ? -1 : 0; }

void sub__consoletitle(kxs*) {}

void sub__echo(kxs*) {
  if (new_error) return;
  if (func__console() == 0) return;  // no console image in this build
}
