#include "files/console_switches.h"

#include "base/error.h"
#include "base/flags.h"
#include "base/window_wake.h"
#include "screen/images/console_image.h"
#include "screen/images/image_statements.h"
#include "screen/text/print.h"

namespace {
// Application thread: the console output is active (only with a console).
int32_t console_active = 1;
}  // namespace

int32_t func__console() {
  if (new_error) return -1;
  return kx::console_image_handle;
}

void sub__console(int32_t on) {
  if (new_error) return;
  if (kx::console_image_handle != 0) console_active = on ? 1 : 0;
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

void sub__echo(kxs* text) {
  if (new_error) return;
  if (kx::console_image_handle == 0) return;  // no console: nowhere to print
  const int32_t dest = func__dest();
  sub__dest(kx::console_image_handle);
  makefit(text);
  kxs_print(text, 1);
  sub__dest(dest);
}
