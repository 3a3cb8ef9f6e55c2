#include "frame/clear.h"

#include "frame/process_exit.h"
#include "frame/program.h"
#include "frame/return_points.h"
#include "frame/statement_check.h"

void sub_clear(int32_t, int32_t, int32_t, int32_t) {
  if (auto reset = kx_current_program().clear_shared_variables) reset();
  // The DATA read position and the program's images return to their start
  // here once READ and the image table exist.
  kx_close_all_files();
  next_return_point = 0;
  error_goto_line = 0;
  error_handling = 0;
}
