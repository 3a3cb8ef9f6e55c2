#include "screen/compose/presentation_statements.h"

#include <atomic>
#include <mutex>
#include <string>

#include "base/clock.h"
#include "base/error.h"
#include "base/flags.h"
#include "base/hooks.h"
#include "base/window_wake.h"
#include "screen/compose/composer.h"
#include "screen/compose/frame_slots.h"
#include "screen/compose/presentation_state.h"
#include "values/string_descriptor.h"

namespace {

constexpr uint32_t display_wait_ms = 1;
constexpr uint32_t window_wait_ms = 100;

// The title, guarded: the application thread sets it while the window
// thread may be reading it to create the window or apply it.
std::mutex title_mutex;
std::string window_title;  // empty = never set
bool title_requested = false;

// Application thread sets, window thread takes.
std::atomic<int32_t> iconify_requested{0};

// Waits until the condition holds; a stopping process parks the caller.
template <typename Condition>
void wait_until(Condition done, uint32_t step_ms) {
  while (!done()) {
    if (stop_program.load()) kx::park_application_thread();
    Sleep(step_ms);
  }
}

void wait_for_window() {
  wait_until([] { return window_exists.load() != 0; }, window_wait_ms);
}

}  // namespace

void sub__display() {
  if (new_error.load()) return;
  if (screen_hide.load()) return;
  if (autodisplay.load() != 0) {
    autodisplay = -1;
    wait_until([] { return autodisplay.load() == 0; }, display_wait_ms);
    return;
  }
  display();
}

void sub__autodisplay() {
  if (new_error.load()) return;
  autodisplay = 1;
}

int32_t func__autodisplay() { return autodisplay.load() != 0 ? -1 : 0; }

void display_now() {
  if (autodisplay.load() == 0) {
    display();
    return;
  }
  // Two completions: the first may have begun before the request.
  for (int i = 0; i < 2; ++i) {
    display_called = 0;
    wait_until([] { return display_called.load() != 0; }, display_wait_ms);
  }
}

void sub__fullscreen(int32_t mode, int32_t smooth, int32_t passed) {
  if (new_error.load()) return;
  int32_t wanted = 1;
  if (passed & 1) {
    switch (mode) {
      case 0:
      case 2: wanted = 1; break;
      case 3: wanted = 2; break;
      case 1:
      case 4: wanted = 0; break;
      default:
        error(err::illegal_function_call);
        return;
    }
  }
  fullscreen_smooth = (passed & 2) ? (smooth & 1) : 0;
  if (wanted != full_screen.load()) full_screen_set = wanted;
  force_display_update = 1;
  kx::wake_window_thread();
}

int32_t func__fullscreen() {
  const int32_t pending = full_screen_set.load();
  return pending != -1 ? pending : full_screen.load();
}

int32_t func__fullscreensmooth() { return fullscreen_smooth.load() ? -1 : 0; }

void sub__allowfullscreen(int32_t mode, int32_t smooth, int32_t passed) {
  if (new_error.load()) return;
  if (passed & 1) {
    fullscreen_allowed_mode = (mode == 3 || mode == 5) ? -1 : (mode == 4 || mode == 0) ? 0 : mode;
  }
  if (passed & 2) {
    fullscreen_allowed_smooth = (smooth == 2 || smooth == 4) ? -1 : (smooth == 3 || smooth == 0) ? 0 : smooth;
  }
}

void sub__resize(int32_t onoff, int32_t scaling, int32_t passed) {
  if (new_error.load()) return;
  if (passed & 1) {
    if (onoff == 1) resize_snapback = 0;
    if (onoff == 2) resize_snapback = 1;
  }
  if (passed & 2) {
    if (scaling < 0 || scaling > 2) {
      error(err::illegal_function_call);
      return;
    }
    resize_auto = scaling;
  }
}

int32_t func__resize() {
  if (resize_snapback.load()) return 0;
  int32_t event = -1;
  return resize_event.compare_exchange_strong(event, 0) ? -1 : 0;
}

int32_t func__resizewidth() { return resize_event_x.load(); }
int32_t func__resizeheight() { return resize_event_y.load(); }
int32_t func__scaledwidth() { return environment_2d__screen_scaled_width.load(); }
int32_t func__scaledheight() { return environment_2d__screen_scaled_height.load(); }

void sub__title(kxs* text) {
  if (new_error.load()) return;
  std::string title;
  if (text->length > 0) title.assign(reinterpret_cast<const char*>(text->chars), static_cast<size_t>(text->length));
  // The toolkit stops at a zero byte, as the title text did.
  const size_t zero = title.find('\0');
  if (zero != std::string::npos) title.resize(zero);
  std::lock_guard<std::mutex> hold(title_mutex);
  window_title = std::move(title);
  title_requested = true;
  kx::wake_window_thread();
}

std::string window_title_text() {
  std::lock_guard<std::mutex> hold(title_mutex);
  return window_title.empty() ? std::string("Untitled") : window_title;
}

bool kx::take_title_request(std::string* title) {
  std::lock_guard<std::mutex> hold(title_mutex);
  if (!title_requested) return false;
  title_requested = false;
  *title = window_title.empty() ? std::string("Untitled") : window_title;
  return true;
}

bool kx::take_iconify_request() { return iconify_requested.exchange(0) != 0; }

void sub__displayorder(int32_t a, int32_t b, int32_t c, int32_t d, int32_t passed) {
  if (new_error.load()) return;
  const int32_t given[4] = {a, b, c, d};
  int32_t layer_of[5] = {0, 0, 0, 0, 0};
  for (int32_t position = 0; position < 4; ++position) {
    if (!(passed & (1 << position))) continue;
    const int32_t kind = given[position];
    if (kind < 0 || kind > 4) {
      error(err::illegal_function_call);
      return;
    }
    if (kind == 0) continue;
    if (layer_of[kind]) {
      error(err::illegal_function_call);
      return;
    }
    layer_of[kind] = position + 1;
  }
  displayorder_screen = layer_of[1];
  displayorder_hardware = layer_of[2];
  displayorder_hardware1 = layer_of[3];
  displayorder_glrender = layer_of[4];
}

void sub__glrender(int32_t mode) {
  if (new_error.load()) return;
  switch (mode) {
    case 1: sub__displayorder(4, 1, 2, 3, 15); break;
    case 2: sub__displayorder(1, 2, 4, 3, 15); break;
    case 3: sub__displayorder(4, 0, 0, 0, 1); break;
    default: error(err::illegal_function_call); break;
  }
}

int32_t func_screenwidth() {
  wait_for_window();
  return desktop_width.load();
}

int32_t func_screenheight() {
  wait_for_window();
  return desktop_height.load();
}

void sub_screenicon() {
  if (new_error.load()) return;
  wait_for_window();
  iconify_requested = 1;
  kx::wake_window_thread();
}

int32_t func_screenicon() {
  if (screen_hide.load()) {
    error(err::illegal_function_call);
    return 0;
  }
  return 0;
}

int32_t func_windowexists() { return window_exists.load() ? -1 : 0; }
