#include "base/error.h"

#include <cstdio>

#include "base/build_options.h"
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

void error_division_by_zero_in_expression() {
  if (new_error.load() != 0) return;
  new_error = static_cast<uint32_t>(err::division_by_zero);
  kxevent = 1;
}

void sub__assert(int32_t condition, std::string_view message, int32_t passed) {
  // Assertions are a build option of the compiled program.
  if (!kx::program_options.asserts || new_error.load() != 0 || condition) return;
  if ((kx::program_options.console || kx::program_options.console_only) && passed) {
    // The console is standard output.
    std::fwrite(message.data(), 1, message.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    error(err::assert_failed_see_console);
    return;
  }
  error(err::assert_failed);
}
