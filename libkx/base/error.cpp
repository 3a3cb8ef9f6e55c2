#include "base/error.h"

#include "base/error_report.h"
#include "base/flags.h"
#include "base/message_box.h"
#include "base/process_exit.h"

void error(int32_t n) {
  critical_error_info critical;
  if (critical_error_lookup(n, &critical)) {
    MessageBox(0, critical.text, critical.caption, MB_OK);
    kx_exit_process(kx::critical_error_status);
  }
  if (new_error.load() != 0) return;  // the first error wins
  if (n <= 0) n = err::illegal_function_call;
  new_error = static_cast<uint32_t>(n);
  kxevent = 1;
}

void sub__assert(int32_t condition, std::string_view message, int32_t passed) {
  // Assertions are a build option of the compiled program, off in this one.
  constexpr bool asserts_enabled = false;
  constexpr bool has_console = false;
  if (!asserts_enabled || new_error.load() != 0 || condition) return;
  if (has_console && passed) {
    error(err::assert_failed_see_console);
    return;
  }
  error(err::assert_failed);
}
