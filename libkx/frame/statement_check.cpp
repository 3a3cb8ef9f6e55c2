#include "frame/statement_check.h"

#include "base/clock.h"
#include "base/error.h"
#include "base/error_report.h"
#include "frame/program.h"
#include "frame/shutdown.h"
#include "frame/traps.h"
#include "values/string_create.h"

#include <cstring>

void evnt(uint32_t line, uint32_t incline, const char* incfile) {
  kxevent = 0;
  r = 0;
  while (suspend_program.load() || stop_program.load()) {
    if (stop_program.load()) end();
    Sleep(10);
  }
  if (new_error.load() == 0) {
    // SUB _GL is never being called in this system, so traps always run.
    events();
    return;
  }
  ercl = line;
  inclercl = incline;
  includedfilename = incfile;
  fix_error();
  if (error_retry) {
    error_retry = 0;
    r = 1;
  }
}

void fix_error() {
  const uint32_t n = new_error.load();
  if (error_goto_line == 0 || error_handling == 1 || is_untrappable_error(n)) {
    if (report_untrapped_error(n, ercl, inclercl, includedfilename) == report_outcome::end_program) {
      close_program = 1;
      end();
    }
    new_error = 0;
    return;
  }
  error_err = n;
  new_error = 0;
  error_erl = last_line;
  error_occurred = 1;
  // The handler runs inside this call; its RESUME returns from the nested
  // main routine, and so from here.
  kx_current_program().main_routine(nullptr);
}

namespace {
bool leave_handler() {
  if (error_handling == 0) {
    error(err::resume_without_error);
    return false;
  }
  error_handling = 0;
  error_err = 0;
  return true;
}
}  // namespace

bool resume_next() { return leave_handler(); }

bool resume_retry() {
  if (!leave_handler()) return false;
  error_retry = 1;
  return true;
}

uint32_t get_error_err() { return error_err; }
double get_error_erl() { return error_erl; }
uint32_t func__errorline() { return ercl; }
uint32_t func__inclerrorline() { return inclercl; }

kxs* func__inclerrorfile() {
  const size_t length = includedfilename ? std::strlen(includedfilename) : 0;
  kxs* name = kxs_new(static_cast<int32_t>(length), 1);
  if (length) std::memcpy(name->chars, includedfilename, length);
  return name;
}
