// The HALCYONIX boot shell, as compiled from its BASIC source. Every
// statement is followed by its check; the numbers passed to evnt are the
// source lines an error report shows.
#include "kxx/kxmain.h"

#include "frame/arithmetic_fault.h"
#include "frame/process_exit.h"
#include "frame/shutdown.h"
#include "frame/statement_check.h"

namespace {

// Shared variables, allocated on the first entry and kept across the
// nested entries that run the error handler.
bool shared_allocated = false;
float __SINGLE_INCON = 0;

void clear_shared_variables() { __SINGLE_INCON = 0; }

// ERR > 51 and the other conditions: a condition counts as true when an
// error is pending after it.
bool condition(bool value) { return value || new_error.load() != 0; }

}  // namespace

void KXMAIN(void*) {
  install_division_by_zero_handler();
  if (!shared_allocated) {
    shared_allocated = true;
    __SINGLE_INCON = 0;
  }
  if (error_occurred) {
    error_occurred = 0;
    if (error_goto_line == 1) {
      error_handling = 1;
      goto LABEL_ERRORHANDLER;
    }
    kx_exit_process(99);
  }

  // Line 2: ON ERROR GOTO ErrorHandler
  do {
    sub_on_error_goto(1);
    if (!kxevent) break;
    evnt(2);
  } while (r);
  // Line 8: INCON = 1
  do {
    __SINGLE_INCON = 1;
    if (!kxevent) break;
    evnt(8);
  } while (r);
  // Line 23: END
  do {
    sub_end();
  } while (false);

LABEL_ERRORHANDLER:
  // Line 24: the handler's label; its check ignores r.
  if (kxevent) evnt(24);
  r = 0;
  // Line 25: IF ERR > 51 THEN
  do {
    const bool taken = condition(get_error_err() > 51);
    if (kxevent) {
      evnt(25);
      if (r) continue;
    }
    if (taken) {
      // Line 26: IF INCON <> 1 THEN END
      do {
        const bool stop = condition(__SINGLE_INCON != 1);
        if (kxevent) {
          evnt(26);
          if (r) continue;
        }
        if (stop) sub_end();
      } while (r);
      // Line 30: RESUME NEXT
      do {
        if (resume_next()) return;
        if (!kxevent) break;
        evnt(30);
      } while (r);
    } else {
      // Line 40: SYSTEM
      sub_system();
    }
  } while (r);
}

const kx_program& halcyonix_program() {
  static const kx_program program{KXMAIN, clear_shared_variables, nullptr, nullptr, nullptr};
  return program;
}
