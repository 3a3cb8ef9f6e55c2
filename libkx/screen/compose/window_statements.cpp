#include "screen/compose/window_statements.h"

#include <atomic>
#include <mutex>

#include "base/clock.h"
#include "base/error.h"
#include "base/flags.h"
#include "base/hooks.h"
#include "base/window_wake.h"
#include "screen/compose/presentation_state.h"

namespace {

std::mutex request_lock;
bool move_waiting = false;
kx::screenmove_request waiting;

constexpr int32_t form_middle = 1;
constexpr int32_t form_position = 2;

}  // namespace

void sub__screenmove(int32_t x, int32_t y, int32_t form) {
  if (new_error.load()) return;
  if (form != form_middle && form != form_position) {
    error(err::illegal_function_call);
    return;
  }
  if (full_screen.load() != 0) return;
  while (!window_exists.load()) {
    if (stop_program.load()) kx::park_application_thread();
    Sleep(100);
  }
  {
    std::lock_guard guard(request_lock);
    waiting = {form == form_middle, x, y};
    move_waiting = true;
  }
  kx::wake_window_thread();
}

bool kx::take_screenmove_request(screenmove_request* request) {
  std::lock_guard guard(request_lock);
  if (!move_waiting) return false;
  *request = waiting;
  move_waiting = false;
  return true;
}

int32_t func__screenx() { return 0; }
int32_t func__screeny() { return 0; }

void sub__screenclick(int32_t, int32_t, int32_t, int32_t) {}
void sub__screenprint(kxs*) {}
void sub__printimage(int32_t) {}
